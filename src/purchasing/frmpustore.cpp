#include "purchasing/frmpustore.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/codeentry.h"
#include "goods/frmchoosegys.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "partners/staffcombo.h"
#include "purchasing/purchasechecks.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frreport.h"
#include "warehouse/warehouseschema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("验收入库");
} // namespace

TfrmPuStore::TfrmPuStore(QWidget *parent)
    : EntryWindow(parent), m_posting(db()), frReport1(std::make_unique<TfrReport>()),
      frReport2(std::make_unique<TfrReport>())
{
    setObjectName("frmPuStore");
    setWindowTitle(kCaption);

    titleLabel = new QLabel(this);
    titleLabel->setObjectName("Label1");
    originalNoEdit = lineEdit("Edit8", this);
    numberEdit = lineEdit("EditStoreNo", this);
    setGreyReadOnly(numberEdit);
    clerkCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);
    dateEdit = lineEdit("Edit1Date", this);
    delivererCombo = new StaffCombo("ComboBox1", StaffRole::Deliverer, StaffText::NoDotName, this);
    inspectorCombo = new StaffCombo("ComboBox4", StaffRole::Inspector, StaffText::NoDotName, this);
    supplierLabel = new QLabel(QStringLiteral("供应商："), this);
    supplierLabel->setObjectName("Label5");
    supplierCombo = new QComboBox(this);
    supplierCombo->setObjectName("ComboBox3");
    supplierCombo->setEditable(true);
    supplierCombo->lineEdit()->setReadOnly(true);
    receiverCombo = new StaffCombo("ComboBox6", StaffRole::Receiver, StaffText::NoDotName, this);
    checkerCombo = new StaffCombo("ComboBox7", StaffRole::Checker, StaffText::NoDotName, this);
    memoEdit = lineEdit("EditMemo", this);
    productionLabel = new QLabel(QStringLiteral("生产部门："), this);
    productionLabel->setObjectName("Label13");
    productionCombo = new QComboBox(this);
    productionCombo->setObjectName("ComboBox5");

    // Widths set once: the goods row's ID and the conversion ratio hidden.
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, -1, 70, 70, 70, 70, -1},
                                  false, this);
    codeEdit = lineEdit("Edit3", this);
    payableLabel = new QLabel(QStringLiteral("合计应付："), this);
    payableLabel->setObjectName("Label8");
    payableEdit = amountEdit("Edit1", this);
    paidEdit = amountEdit("Edit2", this);
    onAccountEdit = amountEdit("Edit9", this);
    qtyLabel = new QLabel(QStringLiteral("0"), this);
    qtyLabel->setObjectName("Label7");
    qtyLabel->hide();
    auxQtyLabel = new QLabel(QStringLiteral("0"), this);
    auxQtyLabel->setObjectName("Label12");
    auxQtyLabel->hide();
    issueBox = new QCheckBox(QStringLiteral("直拨车间"), this);
    issueBox->setObjectName("CheckBox1");
    issueNoEdit = lineEdit("Edit5", this);
    issueNoEdit->hide();
    departmentEdit = lineEdit("Edit4", this);
    managerEdit = lineEdit("Edit6", this);
    departmentCodeEdit = lineEdit("Edit7", this);
    departmentCodeEdit->hide();
    pickerCombo = new StaffCombo("ComboBox8", StaffRole::Picker, StaffText::NameOnly, this);
    shipperCombo = new StaffCombo("ComboBox9", StaffRole::Shipper, StaffText::NameOnly, this);
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName("CheckBox2");
    printBox->setChecked(true);

    importButton = toolButton("SpeedButton3", QStringLiteral("从采购单导入(&A)"), this);
    supplierButton = toolButton("SpeedButton2", QStringLiteral("..."), this);
    dateButton = toolButton("SpeedButton1", QStringLiteral("..."), this);
    departmentButton = toolButton("SpeedButton14", QStringLiteral("..."), this);
    addButton = toolButton("SpeedButton6", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton7", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton8", QStringLiteral("删除"), this);
    printButton = toolButton("SpeedButton17", QStringLiteral("打印(&P)"), this);
    saveButton = toolButton("SpeedButton12", QStringLiteral("确定(&S)"), this);
    clearButton = toolButton("SpeedButton13", QStringLiteral("清空(&C)"), this);

    const QHash<StaffCombo *, QToolButton *> staffButtonOf = staffButtons({{"SpeedButton4", clerkCombo, 4},     {"SpeedButton5", delivererCombo, 5},
                                        {"SpeedButton9", inspectorCombo, 6}, {"SpeedButton10", receiverCombo, 7},
                                        {"SpeedButton11", checkerCombo, 8},  {"SpeedButton15", pickerCombo, 13},
                                        {"SpeedButton16", shipperCombo, 14}});

    HeaderGrid header(this);
    header.add(0, 0, QStringLiteral("原始编号："), originalNoEdit);
    header.add(0, 1, QStringLiteral("入库单号："), numberEdit);
    header.add(0, 2, QStringLiteral("经办人："), clerkCombo, staffButtonOf.value(clerkCombo));
    header.add(1, 0, QStringLiteral("制单日期："), dateEdit, dateButton);
    header.add(1, 1, QStringLiteral("送货员："), delivererCombo, staffButtonOf.value(delivererCombo));
    header.add(1, 2, QStringLiteral("验收员："), inspectorCombo, staffButtonOf.value(inspectorCombo));
    header.add(2, 0, supplierLabel, supplierCombo, supplierButton);
    header.add(2, 1, QStringLiteral("收货员："), receiverCombo, staffButtonOf.value(receiverCombo));
    header.add(2, 2, QStringLiteral("复核员："), checkerCombo, staffButtonOf.value(checkerCombo));
    header.add(3, 0, QStringLiteral("备注："), memoEdit, nullptr, 5);
    header.add(3, 2, productionLabel, productionCombo);

    auto *amounts = new QHBoxLayout;
    amounts->addWidget(redCaption(QStringLiteral("条码/编号："), this));
    amounts->addWidget(codeEdit);
    amounts->addWidget(payableLabel);
    amounts->addWidget(payableEdit);
    amounts->addWidget(new QLabel(QStringLiteral("实际付款："), this));
    amounts->addWidget(paidEdit);
    amounts->addWidget(new QLabel(QStringLiteral("挂账金额："), this));
    amounts->addWidget(onAccountEdit);
    amounts->addWidget(qtyLabel);
    amounts->addWidget(auxQtyLabel);

    auto *issue = new QHBoxLayout;
    issue->addWidget(issueBox);
    auto issueField = [&](const char *label, const QString &caption, QWidget *w, QWidget *button) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QString::fromUtf8(label));
        issue->addWidget(l);
        issue->addWidget(w);
        m_issueWidgets << l << w;
        if (button) {
            issue->addWidget(button);
            m_issueWidgets << button;
        }
    };
    issueField("Label17", QStringLiteral("领用单位："), departmentEdit, departmentButton);
    issueField("Label18", QStringLiteral("部门经理："), managerEdit, nullptr);
    issueField("Label19", QStringLiteral("领用员："), pickerCombo, staffButtonOf.value(pickerCombo));
    issueField("Label20", QStringLiteral("   发货员："), shipperCombo, staffButtonOf.value(shipperCombo));
    issue->addStretch();
    for (QWidget *w : m_issueWidgets)
        w->hide();

    layOutEntry({.title = titleLabel,
                 .header = header.layout(),
                 .lineButtons = {importButton, addButton, editButton, deleteButton},
                 .hintName = "Label22",
                 .grid = goodsGrid,
                 .below = {amounts, issue},
                 .boxes = {printBox},
                 .buttons = {printButton, saveButton, clearButton}});
    resize(861, 578);

    // The production department, the import, the supplier and the total payable belong to
    // another entry's layout of this window; this one keeps them hidden.
    for (QWidget *w : {static_cast<QWidget *>(importButton), static_cast<QWidget *>(supplierLabel),
                       static_cast<QWidget *>(supplierCombo), static_cast<QWidget *>(payableLabel),
                       static_cast<QWidget *>(payableEdit), static_cast<QWidget *>(productionLabel),
                       static_cast<QWidget *>(productionCombo)})
        w->hide();

    connect(saveButton, &QToolButton::clicked, this, &TfrmPuStore::savesuoyou);
    connect(clearButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton13Click);
    connect(printButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton17Click);
    connect(importButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton3Click);
    connect(addButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton6Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton7Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton8Click);
    connect(dateButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton1Click);
    connect(supplierButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton2Click);
    connect(departmentButton, &QToolButton::clicked, this, &TfrmPuStore::SpeedButton14Click);
    connect(paidEdit, &QLineEdit::textEdited, this, &TfrmPuStore::paidEdited);
    connect(issueBox, &QCheckBox::clicked, this, &TfrmPuStore::directIssueToggled);

    const auto takeOffDeleted = [this](const LineFigures &deleted) {
        takeOff(deleted, {payableEdit, paidEdit}, qtyLabel, auxQtyLabel);
        onAccountEdit->setText(QStringLiteral("0"));
    };
    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = 3, .mdfMode = 2,
                     .recompute = [this] { recomputeTotals(); }, .lineDeleted = takeOffDeleted, .backField = memoEdit});
    handleMessages({{WM_PUCH_FIT, [this] { importLine(); }},
                    {WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date); }}});
    // The supplier picker has just put the code of its pick into the shared record.
    fillFields({{FieldRole::Supplier, QString(), [this](const QString &v) { setSupplier(v, G.gCustom.UnitNo); }},
                {FieldRole::Department, QStringLiteral("领用单位"), departmentEdit},
                {FieldRole::Department, QStringLiteral("部门经理"), managerEdit},
                {FieldRole::Department, QStringLiteral("部门编号"), departmentCodeEdit},
                {FieldRole::Staff, QStringLiteral("经办人"), clerkCombo},
                {FieldRole::Staff, QStringLiteral("送货员"), delivererCombo},
                {FieldRole::Staff, QStringLiteral("验收员"), inspectorCombo},
                {FieldRole::Staff, QStringLiteral("收货员"), receiverCombo},
                {FieldRole::Staff, QStringLiteral("复核员"), checkerCombo},
                {FieldRole::Staff, QStringLiteral("领用员"), pickerCombo},
                {FieldRole::Staff, QStringLiteral("发货员"), shipperCombo}});

    m_keys = new EntryKeys(this);
    m_keys->chain(originalNoEdit, numberEdit, nullptr);
    m_keys->chain(numberEdit, clerkCombo, originalNoEdit);
    m_keys->chain(clerkCombo, dateEdit, numberEdit, [this] { staffButtonClick(4); });
    m_keys->chain(dateEdit, delivererCombo, clerkCombo, [this] { SpeedButton1Click(); });
    m_keys->chain(delivererCombo, inspectorCombo, dateEdit, [this] { staffButtonClick(5); });
    m_keys->chain(inspectorCombo, supplierCombo, delivererCombo, [this] { staffButtonClick(6); });
    m_keys->chain(supplierCombo, receiverCombo, inspectorCombo, [this] { SpeedButton2Click(); });
    m_keys->chain(receiverCombo, checkerCombo, supplierCombo, [this] { staffButtonClick(7); });
    m_keys->chain(checkerCombo, memoEdit, receiverCombo, [this] { staffButtonClick(8); });
    m_keys->chain(memoEdit, goodsGrid, checkerCombo, [this] { SpeedButton6Click(); });
    m_keys->codeEntry(codeEdit, [this] { codeEntered(); }, payableEdit, goodsGrid);
    m_keys->chain(payableEdit, paidEdit, codeEdit);
    m_keys->chain(paidEdit, onAccountEdit, payableEdit);
    m_keys->chain(onAccountEdit, issueBox, paidEdit);
    m_keys->custom(issueBox, [this](int key) {
        const bool shown = !departmentEdit->isHidden();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (shown) {
                departmentEdit->setFocus();
            } else {
                issueBox->setChecked(true);
                directIssueToggled();
            }
        } else if (key == Qt::Key_Down || key == Qt::Key_Right) {
            (shown ? static_cast<QWidget *>(departmentEdit) : static_cast<QWidget *>(printBox))->setFocus();
        } else if (EntryKeys::isBack(key)) {
            onAccountEdit->setFocus();
        } else {
            return false;
        }
        return true;
    });
    m_keys->chain(departmentEdit, managerEdit, issueBox, [this] { SpeedButton14Click(); });
    m_keys->chain(managerEdit, pickerCombo, departmentEdit);
    m_keys->chain(pickerCombo, shipperCombo, managerEdit, [this] { staffButtonClick(13); });
    m_keys->chain(shipperCombo, printBox, pickerCombo, [this] { staffButtonClick(14); });
    m_keys->custom(printBox, [this](int key) {
        if (EntryKeys::isBack(key)) {
            (!shipperCombo->isHidden() ? static_cast<QWidget *>(shipperCombo) : static_cast<QWidget *>(issueBox))
                ->setFocus();
            return true;
        }
        return false;
    });
}

TfrmPuStore::~TfrmPuStore() = default;

int TfrmPuStore::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void TfrmPuStore::layOutForReceipt()
{
    productionLabel->hide();
    productionCombo->hide();
    for (QWidget *w : {static_cast<QWidget *>(importButton), static_cast<QWidget *>(supplierLabel),
                       static_cast<QWidget *>(supplierCombo), static_cast<QWidget *>(payableLabel),
                       static_cast<QWidget *>(payableEdit), static_cast<QWidget *>(supplierButton)})
        w->show();
    payableLabel->setText(QStringLiteral("合计应付"));
    titleLabel->setText(kCaption);
    getTaskNo();
}

void TfrmPuStore::FormShow()
{
    writeWindowStatus(kCaption);
    getTaskNo();
    getTaskNo1();
    m_lines.renumber();
    G.gRepFit.TargetRow = 0;
    originalNoEdit->setFocus();
    dateEdit->setText(today());
}

void TfrmPuStore::getTaskNo()
{
    proposeNumberInto(this, numberEdit, m_posting.ledger().numbers(receiptNumbers()));
}

void TfrmPuStore::getTaskNo1()
{
    proposeNumberInto(this, issueNoEdit, m_posting.ledger().numbers(internalDocNumbers(1)));
}

void TfrmPuStore::setSupplier(const QString &text, const QString &code)
{
    supplierCombo->setEditText(text);
    m_supplierCode = text.isEmpty() ? QString() : code;
}

void TfrmPuStore::importLine()
{
    setSupplier(G.gRepFit.Supplier, G.gCustom.UnitNo);
    const GoodsLineGrid::Taken taken = m_lines.append(G.gRepFit);
    goodsGrid->setCurrentGridRow(taken.row + 1);
    recomputeTotals();
    setFocus();
}

void TfrmPuStore::recomputeTotals()
{
    showTotals(m_lines, {payableEdit, paidEdit}, onAccountEdit, qtyLabel, auxQtyLabel, true);
}

void TfrmPuStore::paidEdited() { followPaid(payableEdit, paidEdit, onAccountEdit); }

void TfrmPuStore::directIssueToggled()
{
    const bool on = issueBox->isChecked();
    for (QWidget *w : m_issueWidgets)
        w->setVisible(on);
}

void TfrmPuStore::codeEntered()
{
    takeEnteredCode(this, codeEdit, m_lines, kPurchasePrice, [this] { takePickedLine(); });
}

void TfrmPuStore::SpeedButton6Click() { addGoodsLine(); }

void TfrmPuStore::SpeedButton7Click() { editGoodsLine(); }

void TfrmPuStore::SpeedButton8Click() { deleteGoodsLine(); }

void TfrmPuStore::SpeedButton1Click() { openModal(frmTime, true, this); }

void TfrmPuStore::SpeedButton2Click() { openSupplierPicker(this, 2); }

void TfrmPuStore::SpeedButton14Click() { openDepartmentPicker(this, 1); }

void TfrmPuStore::staffButtonClick(int staffMode) { openStaffPicker(this, staffMode); }

void TfrmPuStore::SpeedButton3Click()
{
    openBillPicker(this, 1, QStringLiteral("选择采购单"), QStringLiteral("双击选择采购单"));
}

void TfrmPuStore::SpeedButton13Click()
{
    m_lines.clearLines();
    payableEdit->setText(QStringLiteral("0"));
    paidEdit->setText(QStringLiteral("0"));
    onAccountEdit->setText(QStringLiteral("0"));
    // The hidden totals follow the emptied grid, so a print after clearing shows no old sums.
    qtyLabel->setText(QStringLiteral("0"));
    auxQtyLabel->setText(QStringLiteral("0"));
    clerkCombo->setText(QString());
    setSupplier(QString(), QString());
    codeEdit->clear();
    delivererCombo->setText(QString());
    memoEdit->clear();
    issueBox->setChecked(false);
    directIssueToggled();
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
}

void TfrmPuStore::savesuoyou()
{
    if (G.gPuStoreMode != 1)
        return;
    const ReceiptAmounts amounts{payableEdit->text(), paidEdit->text(), onAccountEdit->text()};
    if (const auto f = checkReceipt(m_lines, amounts, dateEdit->text())) {
        notice(this, f->message);
        if (QWidget *w = findChild<QWidget *>(f->focus))
            w->setFocus();
        return;
    }
    ReceiptHeader h;
    h.number = numberEdit->text();
    h.date = storedDate(dateEdit->text()).value_or(QString());
    h.clerk = clerkCombo->text();
    h.supplier = supplierCombo->currentText();
    h.supplierCode = m_supplierCode;
    h.deliverer = delivererCombo->text();
    h.inspector = inspectorCombo->text();
    h.receiver = receiverCombo->text();
    h.checker = checkerCombo->text();
    h.originalNo = originalNoEdit->text();
    h.memo = memoEdit->text();
    h.payable = parseNumber(amounts.payable).value_or(0);
    h.paid = parseNumber(amounts.paid).value_or(0);
    h.onAccount = parseNumber(amounts.onAccount).value_or(0);
    DirectIssue issue;
    issue.on = issueBox->isChecked();
    issue.number = issueNoEdit->text();
    issue.department = departmentEdit->text();
    issue.departmentCode = departmentCodeEdit->text();
    issue.manager = managerEdit->text();
    issue.picker = pickerCombo->text();
    issue.shipper = shipperCombo->text();
    ReceiptPosting::Result r;
    try {
        r = m_posting.post(h, issue, savedLines(m_lines));
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!r.ok()) {
        notice(this, QStringLiteral("第%1行库存不足不能进行车间领用操作").arg(r.shortRow));
        return;
    }
    m_receiptID = r.receiptID;
    numberEdit->setText(r.receiptNo);
    dateEdit->setText(h.date);
    if (issue.on)
        issueNoEdit->setText(r.issueNo);
    notice(this, QStringLiteral("采购货品已经入库"));
    m_prints.clear();
    // The requisition of a direct issue prints at every posting, the receipt only when asked.
    if (printBox->isChecked())
        m_prints << printDocument(*frReport1, receiptPrint(false));
    if (issue.on)
        m_prints << printDocument(*frReport2, requisitionPrint());
    resetAfterPosting();
}

void TfrmPuStore::resetAfterPosting()
{
    m_lines.clearLines();
    payableEdit->setText(QStringLiteral("0"));
    paidEdit->setText(QStringLiteral("0"));
    onAccountEdit->setText(QStringLiteral("0"));
    for (StaffCombo *c : {clerkCombo, inspectorCombo, receiverCombo, checkerCombo, pickerCombo, shipperCombo})
        c->setText(QString());
    setSupplier(QString(), QString());
    productionCombo->setEditText(QString());
    for (QLineEdit *e : {departmentEdit, managerEdit, departmentCodeEdit, codeEdit, memoEdit})
        e->clear();
    issueBox->setChecked(false);
    directIssueToggled();
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
    getTaskNo();
    getTaskNo1();
}

void TfrmPuStore::SpeedButton17Click()
{
    m_prints.clear();
    m_prints << printDocument(*frReport1, receiptPrint(true));
}

DocumentPrint TfrmPuStore::receiptPrint(bool fromGrid)
{
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong2.frf");
    p.headBands = documentHeadBands();
    try {
        p.set("Memo1", companyName(db()) + QStringLiteral("采购入库单"));
        p.lines = fromGrid ? gridPrintLines(m_lines) : storedPrintLines(db(), QStringLiteral("采购入库明细"), m_receiptID);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    p.set("Memo2", QStringLiteral("供应商单位:"));
    p.set("Memo9", numberEdit->text());
    p.set("Memo5", dateEdit->text());
    p.set("Memo3", supplierCombo->currentText());
    p.set("Memo7", memoEdit->text());
    p.set("Memo6", QStringLiteral("实付款:"));
    p.set("Memo8", paidEdit->text());
    p.set("Memo11", onAccountEdit->text());
    p.set("Memo28", signature(QStringLiteral("送货员:"), delivererCombo->text()));
    p.set("Memo29", signature(QStringLiteral("验收员:"), inspectorCombo->text()));
    p.set("Memo30", signature(QStringLiteral("收货员:"), receiverCombo->text()));
    p.set("Memo31", signature(QStringLiteral("复核员:"), checkerCombo->text()));
    p.set("Memo26", qtyLabel->text());
    p.set("Memo25", auxQtyLabel->text());
    p.set("Memo27", payableEdit->text());
    return p;
}

DocumentPrint TfrmPuStore::requisitionPrint()
{
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong.frf");
    p.headBands = documentHeadBands();
    try {
        p.set("Memo1", companyName(db()) + QStringLiteral("内部领用单"));
        p.lines = storedPrintLines(db(), QStringLiteral("车间领用明细"), m_receiptID);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    p.set("Memo2", QStringLiteral("领用单位:"));
    p.set("Memo9", issueNoEdit->text());
    p.set("Memo5", dateEdit->text());
    p.set("Memo3", departmentEdit->text());
    p.set("Memo7", memoEdit->text());
    p.set("Memo28", signature(QStringLiteral("部门经理:"), managerEdit->text()));
    p.set("Memo29", signature(QStringLiteral("领用员:"), pickerCombo->text()));
    p.set("Memo30", signature(QStringLiteral("发货员:"), shipperCombo->text()));
    p.set("Memo31", signature(QStringLiteral("复核员:"), checkerCombo->text()));
    p.set("Memo26", qtyLabel->text());
    p.set("Memo25", auxQtyLabel->text());
    p.set("Memo27", payableEdit->text());
    return p;
}

} // namespace orv
