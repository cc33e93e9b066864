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

TfrmHuoPinDiao::TfrmHuoPinDiao(QWidget *parent) : TransferWindow(QStringLiteral("仓库调拨"), 20, 15, parent)
{
    setObjectName("frmHuoPinDiao");
    sourceCombo = pickedOnlyCombo("ComboBox5", this);
    targetCombo = pickedOnlyCombo("ComboBoxRen", this);

    auto staff = [this] { openStaffPicker(this, 37); };
    auto date = [this] { openModal(frmTime, true, this); };
    auto source = [this] { SpeedButton4Click(); };
    auto target = [this] { SpeedButton7Click(); };

    HeaderGrid header(this, Qt::AlignRight);
    header.add(0, 0, QStringLiteral("调拨单号："), numberEdit);
    header.add(0, 1, QStringLiteral("负责人："), managerCombo, pickerButton("SpeedButton1", staff));
    header.add(0, 2, QStringLiteral("日期："), dateEdit, pickerButton("SpeedButton5", date));
    header.add(1, 0, QStringLiteral("调出库："), sourceCombo, pickerButton("SpeedButton4", source));
    header.add(1, 1, QStringLiteral("调入库："), targetCombo, pickerButton("SpeedButton7", target));
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

void TfrmHuoPinDiao::clearHeader()
{
    sourceCombo->setEditText(QString());
    targetCombo->setEditText(QString());
}

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
    saveTransfer(checkWarehouseTransfer(h, m_lines), h.date, save, QStringLiteral("调出仓库不存在操作被取消"));
}

TransferPrintValues TfrmHuoPinDiao::printValues() const
{
    TransferPrintValues v = shownValues();
    v.source = sourceCombo->currentText();
    v.target = targetCombo->currentText();
    return v;
}

DocumentPrint TfrmHuoPinDiao::transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                            const QList<QStringList> &lines)
{
    return warehouseTransferPrint(db(), values, lineSlots, lines);
}

} // namespace orv
