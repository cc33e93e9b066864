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

TfrmHuoDiao::TfrmHuoDiao(QWidget *parent) : TransferWindow(QStringLiteral("车间调拨"), 9, 5, parent)
{
    setObjectName("frmHuoDiao");
    shipperCombo = new StaffCombo("ComboBox1", StaffRole::Shipper, StaffText::NoDotName, this);
    receiverCombo = new StaffCombo("ComboBox4", StaffRole::Receiver, StaffText::NoDotName, this);
    checkerCombo = new StaffCombo("ComboBox3", StaffRole::Checker, StaffText::NoDotName, this);
    fromCombo = pickedOnlyCombo("ComboBox5", this);
    toCombo = pickedOnlyCombo("ComboBoxRen", this);
    fromCodeEdit = lineEdit("Edit3", this);
    toCodeEdit = lineEdit("Edit4", this);
    setGreyReadOnly(fromCodeEdit);
    setGreyReadOnly(toCodeEdit);
    receiptNoEdit = lineEdit("EditStoreNo1", this);
    requisitionNoEdit = lineEdit("EditStoreNo2", this);
    receiptNoEdit->hide();
    requisitionNoEdit->hide();

    auto staff = [this](int mode) { return [this, mode] { openStaffPicker(this, mode); }; };
    auto department = [this](int mode) { return [this, mode] { openDepartmentPicker(this, mode); }; };
    auto date = [this] { openModal(frmTime, true, this); };

    HeaderGrid header(this, Qt::AlignRight);
    header.add(0, 0, QStringLiteral("调拨单号："), numberEdit);
    header.add(0, 1, QStringLiteral("负责人："), managerCombo, pickerButton("SpeedButton1", staff(23)));
    header.add(0, 2, QStringLiteral("发货员："), shipperCombo, pickerButton("SpeedButton2", staff(24)));
    header.add(0, 3, QStringLiteral("收货员："), receiverCombo, pickerButton("SpeedButton3", staff(25)));
    header.add(1, 0, QStringLiteral("调出单位："), fromCombo, pickerButton("SpeedButton4", department(3)));
    header.add(1, 1, QStringLiteral("调入单位："), toCombo, pickerButton("SpeedButton7", department(4)));
    header.add(1, 2, QStringLiteral("日期："), dateEdit, pickerButton("SpeedButton5", date));
    header.add(1, 3, QStringLiteral("复核员："), checkerCombo, pickerButton("SpeedButton6", staff(26)));
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
    fillDepartments();
    TransferWindow::FormShow();
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

void TfrmHuoDiao::clearHeader()
{
    for (StaffCombo *c : {shipperCombo, receiverCombo, checkerCombo})
        c->setText(QString());
    fromCombo->setEditText(QString());
    toCombo->setEditText(QString());
}

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
    saveTransfer(checkWorkshopTransfer(h, m_lines), h.date, save, QStringLiteral("库存不足操作被取消"), given);
}

TransferPrintValues TfrmHuoDiao::printValues() const
{
    TransferPrintValues v = shownValues();
    v.source = fromCombo->currentText();
    v.target = toCombo->currentText();
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
