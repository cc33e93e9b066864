#include "warehouse/frmhuopindiao.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/lookupforms.h"
#include "partners/staff.h"
#include "partners/staffcombo.h"
#include "warehouse/warehouseschema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace orv {

namespace {
// A place box: filled by the place picker alone.
QComboBox *placeCombo(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->lineEdit()->setReadOnly(true);
    return c;
}
} // namespace

TfrmHuoPinDiao::TfrmHuoPinDiao(QWidget *parent) : TransferWindow(QStringLiteral("仓库调拨"), 20, 15, parent)
{
    setObjectName("frmHuoPinDiao");
    managerCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);
    sourceCombo = placeCombo("ComboBox5", this);
    targetCombo = placeCombo("ComboBoxRen", this);

    auto button = [this](const char *name, std::function<void()> open) {
        QToolButton *b = toolButton(QString::fromUtf8(name), QStringLiteral("..."), this);
        connect(b, &QToolButton::clicked, this, std::move(open));
        return b;
    };
    auto staff = [this] { openStaffPicker(this, 37); };
    auto date = [this] { openModal(frmTime, true, this); };
    auto source = [this] { SpeedButton4Click(); };
    auto target = [this] { SpeedButton7Click(); };

    HeaderGrid header(this, Qt::AlignRight);
    header.add(0, 0, QStringLiteral("调拨单号："), numberEdit);
    header.add(0, 1, QStringLiteral("负责人："), managerCombo, button("SpeedButton1", staff));
    header.add(0, 2, QStringLiteral("日期："), dateEdit, button("SpeedButton5", date));
    header.add(1, 0, QStringLiteral("调出库："), sourceCombo, button("SpeedButton4", source));
    header.add(1, 1, QStringLiteral("调入库："), targetCombo, button("SpeedButton7", target));
    header.add(1, 2, QStringLiteral("备注："), remarkEdit);
    header.shareWidth();
    layOutBelow(header.layout());

    chainHeader({{numberEdit, {}},
                 {managerCombo, staff},
                 {dateEdit, date},
                 {sourceCombo, source},
                 {targetCombo, target},
                 {remarkEdit, {}}});
    setUpLowerKeys(targetCombo);

    handleMessages({{WM_WEI_CHOSEN, [this] { sourceCombo->setEditText(G.gRepFit.Place); }},
                    {WM_WEI1_CHOSEN, [this] { targetCombo->setEditText(G.gRepFit.Place); }}});
    const StaffPickTarget *t = staffPickTarget(37);
    fillFields({{FieldRole::Staff, t->field, managerCombo}});
}

TfrmHuoPinDiao::~TfrmHuoPinDiao() = default;

void TfrmHuoPinDiao::FormShow()
{
    writeWindowStatus(windowTitle());
    MakeTransferNo();
    m_lines.renumber();
    G.gRepFit.TargetRow = 0;
    dateEdit->setText(today());
    managerCombo->setFocus();
}

void TfrmHuoPinDiao::MakeTransferNo()
{
    proposeNumberInto(this, numberEdit, m_transfers.ledger().numbers(warehouseTransferNumbers()));
}

void TfrmHuoPinDiao::SpeedButton4Click()
{
    G.gDirMode = 24;
    openModal(frmCamgWei, true, this);
}

void TfrmHuoPinDiao::SpeedButton7Click()
{
    G.gDirMode = 25;
    openModal(frmCamgWei, true, this);
}

void TfrmHuoPinDiao::resetHeader()
{
    managerCombo->setText(QString());
    sourceCombo->setEditText(QString());
    targetCombo->setEditText(QString());
    clearLines();
    MakeTransferNo();
}

void TfrmHuoPinDiao::BitBtn2Click() { resetHeader(); }

void TfrmHuoPinDiao::BitBtn1Click()
{
    WarehouseTransferHeader h;
    h.number = numberEdit->text();
    h.manager = managerCombo->text();
    h.source = sourceCombo->currentText();
    h.target = targetCombo->currentText();
    h.remark = remarkEdit->text();
    h.date = dateEdit->text();
    const auto save = [&](const QString &date) {
        h.date = date;
        return m_transfers.saveWarehouse(h, savedLines(m_lines));
    };
    if (saveTransfer(checkWarehouseTransfer(h, m_lines), h.date, save, QStringLiteral("调出仓库不存在操作被取消")))
        managerCombo->setFocus();
}

TransferPrintValues TfrmHuoPinDiao::printValues() const
{
    TransferPrintValues v = shownValues();
    v.source = sourceCombo->currentText();
    v.target = targetCombo->currentText();
    v.manager = managerCombo->text();
    return v;
}

DocumentPrint TfrmHuoPinDiao::transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                            const QList<QStringList> &lines)
{
    return warehouseTransferPrint(db(), values, lineSlots, lines);
}

} // namespace orv
