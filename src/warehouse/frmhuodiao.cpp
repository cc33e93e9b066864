#include "warehouse/frmhuodiao.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "partners/departments.h"
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
// A workshop's drop-down: typed text is refused, its entries come from 部门资料.
QComboBox *departmentCombo(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->lineEdit()->setReadOnly(true);
    return c;
}
} // namespace

TfrmHuoDiao::TfrmHuoDiao(QWidget *parent) : TransferWindow(QStringLiteral("车间调拨"), 9, 5, parent)
{
    setObjectName("frmHuoDiao");
    managerCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);
    shipperCombo = new StaffCombo("ComboBox1", StaffRole::Shipper, StaffText::NoDotName, this);
    receiverCombo = new StaffCombo("ComboBox4", StaffRole::Receiver, StaffText::NoDotName, this);
    checkerCombo = new StaffCombo("ComboBox3", StaffRole::Checker, StaffText::NoDotName, this);
    fromCombo = departmentCombo("ComboBox5", this);
    toCombo = departmentCombo("ComboBoxRen", this);
    fromCodeEdit = lineEdit("Edit3", this);
    toCodeEdit = lineEdit("Edit4", this);
    setGreyReadOnly(fromCodeEdit);
    setGreyReadOnly(toCodeEdit);
    receiptNoEdit = lineEdit("EditStoreNo1", this);
    requisitionNoEdit = lineEdit("EditStoreNo2", this);
    receiptNoEdit->hide();
    requisitionNoEdit->hide();

    auto button = [this](const char *name, std::function<void()> open) {
        QToolButton *b = toolButton(QString::fromUtf8(name), QStringLiteral("..."), this);
        connect(b, &QToolButton::clicked, this, std::move(open));
        return b;
    };
    auto staff = [this](int mode) { return [this, mode] { openStaffPicker(this, mode); }; };
    auto department = [this](int mode) { return [this, mode] { openDepartmentPicker(this, mode); }; };
    auto date = [this] { openModal(frmTime, true, this); };

    HeaderGrid header(this, Qt::AlignRight);
    header.add(0, 0, QStringLiteral("调拨单号："), numberEdit);
    header.add(0, 1, QStringLiteral("负责人："), managerCombo, button("SpeedButton1", staff(23)));
    header.add(0, 2, QStringLiteral("发货员："), shipperCombo, button("SpeedButton2", staff(24)));
    header.add(0, 3, QStringLiteral("收货员："), receiverCombo, button("SpeedButton3", staff(25)));
    header.add(1, 0, QStringLiteral("调出单位："), fromCombo, button("SpeedButton4", department(3)));
    header.add(1, 1, QStringLiteral("调入单位："), toCombo, button("SpeedButton7", department(4)));
    header.add(1, 2, QStringLiteral("日期："), dateEdit, button("SpeedButton5", date));
    header.add(1, 3, QStringLiteral("复核员："), checkerCombo, button("SpeedButton6", staff(26)));
    header.add(2, 0, QStringLiteral("调出单位编号："), fromCodeEdit);
    header.add(2, 1, QStringLiteral("调入单位编号："), toCodeEdit);
    header.add(2, 2, QStringLiteral("备注："), remarkEdit, nullptr, 4);
    header.shareWidth();
    layOutBelow(header.layout());

    chainHeader({{numberEdit, {}},
                 {managerCombo, staff(23)},
                 {shipperCombo, staff(24)},
                 {receiverCombo, staff(25)},
                 {fromCombo, department(3)},
                 {toCombo, department(4)},
                 {dateEdit, date},
                 {checkerCombo, staff(26)},
                 {fromCodeEdit, {}},
                 {toCodeEdit, {}},
                 {remarkEdit, {}}});
    setUpLowerKeys(toCodeEdit);

    QVector<PickedField> fields;
    for (int mode = 23; mode <= 26; ++mode)
        if (const StaffPickTarget *t = staffPickTarget(mode))
            fields.append({FieldRole::Staff, t->field, findChild<QWidget *>(QString::fromUtf8(t->control))});
    for (const auto &[mode, combo, code] : {std::tuple{3, fromCombo, fromCodeEdit}, std::tuple{4, toCombo, toCodeEdit}}) {
        const DepartmentPickTarget *t = departmentPickTarget(mode);
        fields.append({FieldRole::Department, t->textField, combo});
        fields.append({FieldRole::Department, t->codeField, code});
    }
    fillFields(fields);
}

TfrmHuoDiao::~TfrmHuoDiao() = default;

void TfrmHuoDiao::FormShow()
{
    writeWindowStatus(windowTitle());
    fillDepartments();
    MakeNumbers();
    m_lines.renumber();
    G.gRepFit.TargetRow = 0;
    dateEdit->setText(today());
    managerCombo->setFocus();
}

void TfrmHuoDiao::fillDepartments()
{
    try {
        const QList<Department> rows = DepartmentStore(db()).rows();
        for (QComboBox *c : {fromCombo, toCombo}) {
            const QString shown = c->currentText();
            c->clear();
            for (const Department &d : rows)
                c->addItem(d.text());
            c->setEditText(shown);
        }
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

void TfrmHuoDiao::MakeNumbers()
{
    Ledger &ledger = m_transfers.ledger();
    proposeNumberInto(this, numberEdit, ledger.numbers(workshopTransferNumbers())) &&
        proposeNumberInto(this, receiptNoEdit, ledger.numbers(internalDocNumbers(2))) &&
        proposeNumberInto(this, requisitionNoEdit, ledger.numbers(internalDocNumbers(1)));
}

void TfrmHuoDiao::resetHeader()
{
    for (StaffCombo *c : {managerCombo, shipperCombo, receiverCombo, checkerCombo})
        c->setText(QString());
    fromCombo->setEditText(QString());
    toCombo->setEditText(QString());
    clearLines();
    MakeNumbers();
}

void TfrmHuoDiao::BitBtn2Click() { resetHeader(); }

void TfrmHuoDiao::BitBtn1Click()
{
    WorkshopTransferHeader h;
    h.number = numberEdit->text();
    h.receiptNo = receiptNoEdit->text();
    h.requisitionNo = requisitionNoEdit->text();
    h.manager = managerCombo->text();
    h.shipper = shipperCombo->text();
    h.receiver = receiverCombo->text();
    h.checker = checkerCombo->text();
    h.fromShop = fromCombo->currentText();
    h.fromCode = fromCodeEdit->text();
    h.toShop = toCombo->currentText();
    h.toCode = toCodeEdit->text();
    h.remark = remarkEdit->text();
    h.date = dateEdit->text();
    const auto save = [&](const QString &date) {
        h.date = date;
        return m_transfers.saveWorkshop(h, savedLines(m_lines));
    };
    // The hidden numbers show those given, as the transfer's number does.
    const auto given = [this](const Transfers::Result &r) {
        receiptNoEdit->setText(r.receiptNo);
        requisitionNoEdit->setText(r.requisitionNo);
    };
    if (saveTransfer(checkWorkshopTransfer(h, m_lines), h.date, save, QStringLiteral("库存不足操作被取消"), given))
        managerCombo->setFocus();
}

TransferPrintValues TfrmHuoDiao::printValues() const
{
    TransferPrintValues v = shownValues();
    v.source = fromCombo->currentText();
    v.target = toCombo->currentText();
    v.manager = managerCombo->text();
    v.shipper = shipperCombo->text();
    v.receiver = receiverCombo->text();
    v.checker = checkerCombo->text();
    return v;
}

DocumentPrint TfrmHuoDiao::transferPrint(const TransferPrintValues &values, const LineSlots &lineSlots,
                                         const QList<QStringList> &lines)
{
    return workshopTransferPrint(db(), values, lineSlots, lines);
}

} // namespace orv
