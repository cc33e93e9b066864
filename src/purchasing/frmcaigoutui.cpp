#include "purchasing/frmcaigoutui.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/frmchoosegys.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "partners/staffcombo.h"
#include "purchasing/purchasechecks.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("采购退货");
} // namespace

TfrmCaiGouTui::TfrmCaiGouTui(QWidget *parent)
    : EntryWindow(parent), m_returns(db()), frReport1(std::make_unique<TfrReport>())
{
    setObjectName("frmCaiGouTui");
    setWindowTitle(kCaption);

    auto *titleLabel = new QLabel(kCaption, this);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    titleLabel->setFont(bold);
    titleLabel->setAlignment(Qt::AlignCenter);

    numberEdit = lineEdit("EditNo", this);
    clerkCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);
    dateEdit = lineEdit("EditDate", this);
    delivererCombo = new StaffCombo("ComboBox1", StaffRole::Deliverer, StaffText::NoDotName, this);
    supplierCombo = new QComboBox(this);
    supplierCombo->setObjectName("ComboBox3");
    supplierCombo->setEditable(true);
    supplierCombo->lineEdit()->setReadOnly(true);
    shipperCombo = new StaffCombo("ComboBox6", StaffRole::Shipper, StaffText::NoDotName, this);
    checkerCombo = new StaffCombo("ComboBox7", StaffRole::Checker, StaffText::NoDotName, this);
    memoEdit = lineEdit("EditMemo", this);

    // Whole rows, nothing edited in place; the goods row's ID and the ratio hidden.
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, -1, 70, 70, 70, 70, -1},
                                  false, this);
    codeEdit = lineEdit("EditMa", this);
    receivableEdit = amountEdit("EditHe", this);
    receivedEdit = amountEdit("Edit3", this);
    onAccountEdit = amountEdit("Edit4", this);
    qtyLabel = new QLabel(QStringLiteral("0"), this);
    qtyLabel->setObjectName("Label7");
    qtyLabel->hide();
    auxQtyLabel = new QLabel(QStringLiteral("0"), this);
    auxQtyLabel->setObjectName("Label12");
    auxQtyLabel->hide();
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName("CheckBox2");
    stockOutBox = new QCheckBox(QStringLiteral("出库审核"), this);
    stockOutBox->setObjectName("CheckBox1");
    stockOutBox->setChecked(true);
    stockOutBox->hide();

    importButton = toolButton("SpeedButton4", QStringLiteral("从采购入库单导入(&A)"), this);
    dateButton = toolButton("SpeedButton1", QStringLiteral("..."), this);
    supplierButton = toolButton("SpeedButton3", QStringLiteral("..."), this);
    addButton = toolButton("SpeedButton6", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton7", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton8", QStringLiteral("删除"), this);
    saveButton = toolButton("SpeedButton9", QStringLiteral("退货(&S)"), this);
    clearButton = toolButton("SpeedButton12", QStringLiteral("清空(&C)"), this);
    printButton = toolButton("SpeedButton13", QStringLiteral("打印(&P)"), this);

    const QHash<StaffCombo *, QToolButton *> staffButtonOf = staffButtons({{"SpeedButton2", clerkCombo, 9},
                                        {"SpeedButton5", delivererCombo, 10},
                                        {"SpeedButton10", shipperCombo, 11},
                                        {"SpeedButton11", checkerCombo, 12}});

    HeaderGrid header(this);
    header.add(0, 0, QStringLiteral("退货单号："), numberEdit);
    header.add(0, 1, QStringLiteral("经办人："), clerkCombo, staffButtonOf.value(clerkCombo));
    header.add(0, 2, QStringLiteral("制单日期："), dateEdit, dateButton);
    header.add(1, 0, QStringLiteral("送货员："), delivererCombo, staffButtonOf.value(delivererCombo));
    header.add(1, 1, QStringLiteral("供应商："), supplierCombo, supplierButton);
    header.add(1, 2, QStringLiteral("发货员："), shipperCombo, staffButtonOf.value(shipperCombo));
    header.add(2, 0, QStringLiteral("复核员："), checkerCombo, staffButtonOf.value(checkerCombo));
    header.add(2, 1, QStringLiteral("备注："), memoEdit, nullptr, 5);

    auto *amounts = new QHBoxLayout;
    amounts->addWidget(redCaption(QStringLiteral("条码/编号："), this));
    amounts->addWidget(codeEdit);
    amounts->addWidget(new QLabel(QStringLiteral("合计应收："), this));
    amounts->addWidget(receivableEdit);
    amounts->addWidget(new QLabel(QStringLiteral("实际收款："), this));
    amounts->addWidget(receivedEdit);
    amounts->addWidget(new QLabel(QStringLiteral("挂账金额："), this));
    amounts->addWidget(onAccountEdit);
    amounts->addWidget(qtyLabel);
    amounts->addWidget(auxQtyLabel);

    layOutEntry({.title = titleLabel,
                 .header = header.layout(),
                 .lineButtons = {importButton, addButton, editButton, deleteButton},
                 .grid = goodsGrid,
                 .below = {amounts},
                 .boxes = {printBox, stockOutBox},
                 .buttons = {saveButton, clearButton, printButton}});
    resize(861, 560);

    connect(saveButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton9Click);
    connect(clearButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton12Click);
    connect(printButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton13Click);
    connect(importButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton4Click);
    connect(addButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton6Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton7Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton8Click);
    connect(dateButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton1Click);
    connect(supplierButton, &QToolButton::clicked, this, &TfrmCaiGouTui::SpeedButton3Click);
    connect(receivedEdit, &QLineEdit::textEdited, this, &TfrmCaiGouTui::receivedEdited);

    const auto takeOffDeleted = [this](const LineFigures &deleted) {
        takeOff(deleted, {receivableEdit, receivedEdit}, qtyLabel, auxQtyLabel);
        onAccountEdit->setText(QStringLiteral("0"));
    };
    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = 2, .mdfMode = 3,
                     .recompute = [this] { recomputeTotals(); }, .lineDeleted = takeOffDeleted, .backField = memoEdit});
    handleMessages({{WM_PUCH_FIT, [this] { importLine(); }},
                    {WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date); }}});
    // The supplier picker has just put the code of its pick into the shared record.
    fillFields({{FieldRole::Supplier, QString(), [this](const QString &v) { setSupplier(v, G.gCustom.UnitNo); }},
                {FieldRole::Staff, QStringLiteral("经办人"), clerkCombo},
                {FieldRole::Staff, QStringLiteral("送货员"), delivererCombo},
                {FieldRole::Staff, QStringLiteral("发货员"), shipperCombo},
                {FieldRole::Staff, QStringLiteral("复核员"), checkerCombo}});

    m_keys = new EntryKeys(this);
    m_keys->chain(numberEdit, clerkCombo, nullptr);
    m_keys->chain(clerkCombo, dateEdit, numberEdit, [this] { staffButtonClick(9); });
    m_keys->chain(dateEdit, delivererCombo, clerkCombo, [this] { SpeedButton1Click(); });
    m_keys->chain(delivererCombo, supplierCombo, dateEdit, [this] { staffButtonClick(10); });
    m_keys->chain(supplierCombo, shipperCombo, delivererCombo, [this] { SpeedButton3Click(); });
    m_keys->chain(shipperCombo, checkerCombo, supplierCombo, [this] { staffButtonClick(11); });
    m_keys->chain(checkerCombo, memoEdit, shipperCombo, [this] { staffButtonClick(12); });
    m_keys->custom(memoEdit, [this](int key) {
        if (EntryKeys::isBack(key)) {
            checkerCombo->setFocus();
            return true;
        }
        if (!EntryKeys::isForward(key))
            return false;
        SpeedButton6Click();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            goodsGrid->setFocus();
        return true;
    });
    m_keys->codeEntry(codeEdit, [this] { codeEntered(); }, receivableEdit, goodsGrid);
    m_keys->chain(receivableEdit, receivedEdit, codeEdit);
    m_keys->chain(receivedEdit, onAccountEdit, receivableEdit);
    m_keys->chain(onAccountEdit, printBox, receivedEdit);
}

TfrmCaiGouTui::~TfrmCaiGouTui() = default;

int TfrmCaiGouTui::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void TfrmCaiGouTui::FormShow()
{
    getTaskNo();
    writeWindowStatus(kCaption);
    dateEdit->setText(today());
    m_lines.renumber();
    clerkCombo->setFocus();
    G.gRepFit.TargetRow = 0;
}

void TfrmCaiGouTui::getTaskNo()
{
    proposeNumberInto(this, numberEdit, m_returns.ledger().numbers(purchaseReturnNumbers()));
}

void TfrmCaiGouTui::setSupplier(const QString &text, const QString &code)
{
    supplierCombo->setEditText(text);
    m_supplierCode = text.isEmpty() ? QString() : code;
}

void TfrmCaiGouTui::importLine()
{
    // The bill picker has just put the receipt's supplier code into the shared record.
    setSupplier(G.gRepFit.Supplier, G.gCustom.UnitNo);
    const GoodsLineGrid::Taken taken = m_lines.append(G.gRepFit);
    goodsGrid->setCurrentGridRow(taken.row + 1);
    goodsGrid->setFocus();
    recomputeTotals();
}

void TfrmCaiGouTui::recomputeTotals()
{
    showTotals(m_lines, {receivableEdit, receivedEdit}, onAccountEdit, qtyLabel, auxQtyLabel, true);
}

void TfrmCaiGouTui::receivedEdited() { followPaid(receivableEdit, receivedEdit, onAccountEdit); }

void TfrmCaiGouTui::codeEntered()
{
    takeEnteredCode(this, codeEdit, m_lines, kPurchasePrice, [this] { takePickedLine(); }, true);
}

void TfrmCaiGouTui::SpeedButton6Click() { addGoodsLine(); }

void TfrmCaiGouTui::SpeedButton7Click() { editGoodsLine(); }

void TfrmCaiGouTui::SpeedButton8Click() { deleteGoodsLine(); }

void TfrmCaiGouTui::SpeedButton1Click() { openModal(frmTime, true, this); }

void TfrmCaiGouTui::SpeedButton3Click() { openSupplierPicker(this, 1); }

void TfrmCaiGouTui::staffButtonClick(int staffMode) { openStaffPicker(this, staffMode); }

void TfrmCaiGouTui::SpeedButton4Click()
{
    openBillPicker(this, 2, QStringLiteral("选择采购单"), QStringLiteral("双击选择采购单"));
}

bool TfrmCaiGouTui::refused(const std::optional<CheckFailure> &failure)
{
    if (!failure)
        return false;
    notice(this, failure->message);
    if (QWidget *w = findChild<QWidget *>(failure->focus))
        w->setFocus();
    return true;
}

void TfrmCaiGouTui::SpeedButton9Click()
{
    m_printSource = PrintSource::Stored;
    const ReturnFields fields{supplierCombo->currentText(), receivableEdit->text(), receivedEdit->text(),
                              onAccountEdit->text(), dateEdit->text()};
    if (refused(checkReturnLines(m_lines)))
        return;
    if (refused(checkReturnHeader(fields, printBox->isChecked()))) {
        printBox->setChecked(false);
        return;
    }
    if (refused(checkReturnNumbers(m_lines, fields)))
        return;
    receivableEdit->setText(generalNumber(toNumber(fields.receivable)));
    ReturnHeader h;
    h.number = numberEdit->text();
    h.date = storedDate(fields.date).value_or(QString());
    h.clerk = clerkCombo->text();
    h.supplier = fields.supplier;
    h.supplierCode = m_supplierCode;
    h.shipper = shipperCombo->text();
    h.checker = checkerCombo->text();
    h.deliverer = delivererCombo->text();
    h.memo = memoEdit->text();
    h.receivable = toNumber(fields.receivable);
    h.received = toNumber(fields.received);
    h.onAccount = toNumber(fields.onAccount);
    try {
        const PurchaseReturns::Saved saved = m_returns.save(h, savedLines(m_lines));
        m_recordID = saved.id;
        numberEdit->setText(saved.number);
        dateEdit->setText(h.date);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    notice(this, QStringLiteral("采购退货单保存成功"));
    if (printBox->isChecked())
        printReturn();
    resetAfterSave();
}

void TfrmCaiGouTui::resetAfterSave()
{
    m_lines.clearLines();
    for (QLineEdit *e : {receivableEdit, receivedEdit, onAccountEdit})
        e->setText(QStringLiteral("0"));
    for (StaffCombo *c : {clerkCombo, delivererCombo, shipperCombo, checkerCombo})
        c->setText(QString());
    setSupplier(QString(), QString());
    codeEdit->clear();
    memoEdit->clear();
    G.gRepFit.TargetRow = 0;
    getTaskNo();
    clerkCombo->setFocus();
    printBox->setChecked(false);
}

void TfrmCaiGouTui::SpeedButton12Click()
{
    // The number, the date and the delivering, shipping and checking staff stay.
    m_lines.clearLines();
    for (QLineEdit *e : {receivableEdit, receivedEdit, onAccountEdit})
        e->setText(QStringLiteral("0"));
    clerkCombo->setText(QString());
    setSupplier(QString(), QString());
    codeEdit->clear();
    memoEdit->clear();
    G.gRepFit.TargetRow = 0;
    printBox->setChecked(false);
}

void TfrmCaiGouTui::SpeedButton13Click()
{
    m_printSource = PrintSource::Grid;
    printReturn();
}

void TfrmCaiGouTui::printReturn()
{
    DocumentPrint p;
    try {
        p = entryPrint(db(), QStringLiteral("tongyong2.frf"), QStringLiteral("进货退货单"), m_printSource == PrintSource::Grid,
                       m_lines, QStringLiteral("采购退货明细"), m_recordID);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    p.set("Memo2", QStringLiteral("退回单位:"));
    p.set("Memo9", numberEdit->text());
    p.set("Memo5", dateEdit->text());
    p.set("Memo3", supplierCombo->currentText());
    p.set("Memo7", memoEdit->text());
    p.set("Memo6", QStringLiteral("实收款:"));
    p.set("Memo8", receivedEdit->text());
    p.set("Memo11", onAccountEdit->text());
    p.set("Memo28", signature(QStringLiteral("负责人:"), clerkCombo->text()));
    p.set("Memo29", signature(QStringLiteral("发货员:"), shipperCombo->text()));
    p.set("Memo30", signature(QStringLiteral("复核员:"), checkerCombo->text()));
    p.set("Memo31", signature(QStringLiteral("送货员:"), delivererCombo->text()));
    p.set("Memo26", qtyLabel->text());
    p.set("Memo25", auxQtyLabel->text());
    p.set("Memo27", receivableEdit->text());
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
