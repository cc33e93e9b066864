#include "purchasing/frmpuch.h"
#include "app/frmpushtime.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/codeentry.h"
#include "goods/frmchoosegys.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "partners/staffcombo.h"
#include "purchasing/purchasechecks.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("采购订货");
} // namespace

TfrmPuch::TfrmPuch(QWidget *parent) : EntryWindow(parent), m_orders(db()), frReport1(std::make_unique<TfrReport>())
{
    setObjectName("frmPuch");
    setWindowTitle(kCaption);

    numberEdit = lineEdit("EditNo", this);
    setGreyReadOnly(numberEdit);
    managerCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);
    dateEdit = lineEdit("EditDate", this);
    applicantCombo = new StaffCombo("ComboBox3", std::nullopt, StaffText::NoDotName, this);
    supplierCombo = new QComboBox(this);
    supplierCombo->setObjectName("ComboBox1");
    supplierCombo->setEditable(true);
    supplierCombo->lineEdit()->setReadOnly(true);
    invoicerCombo = new StaffCombo("ComboBox4", StaffRole::Invoicer, StaffText::NoDotName, this);
    memoEdit = lineEdit("EditMemo", this);
    originalNoEdit = lineEdit("Edit2", this);
    auto *originalNoLabel = new QLabel(QStringLiteral("原始编号："), this);
    originalNoEdit->hide();
    originalNoLabel->hide();

    dateButton = toolButton("SpeedButton1", QStringLiteral("..."), this);
    dateButton->setToolTip(QStringLiteral("点击选择日期"));
    supplierButton = toolButton("SpeedButton3", QStringLiteral("..."), this);
    managerButton = toolButton("SpeedButton7", QStringLiteral("..."), this);
    applicantButton = toolButton("SpeedButton8", QStringLiteral("..."), this);
    invoicerButton = toolButton("SpeedButton9", QStringLiteral("..."), this);

    // Row number, 编号 and 名称 wide, the figures narrow, the goods row's ID hidden.
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, -1, 70, 70, 70, 70, 64},
                                  true, this);
    addButton = toolButton("SpeedButton2", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton5", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton6", QStringLiteral("删除"), this);
    codeEdit = lineEdit("Edit1", this);
    amountLabel = new QLabel(QStringLiteral("0"), this);
    amountLabel->setObjectName("Label4");
    QPalette red = amountLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    amountLabel->setPalette(red);
    qtyLabel = new QLabel(QStringLiteral("0"), this);
    qtyLabel->setObjectName("Label7");
    auxQtyLabel = new QLabel(QStringLiteral("0"), this);
    auxQtyLabel->setObjectName("Label12");
    auto *qtyCaption = new QLabel(QStringLiteral("数量合计"), this);
    auto *auxQtyCaption = new QLabel(QStringLiteral("辅助数量合计："), this);
    for (QWidget *w : {static_cast<QWidget *>(qtyLabel), static_cast<QWidget *>(auxQtyLabel),
                       static_cast<QWidget *>(qtyCaption), static_cast<QWidget *>(auxQtyCaption)})
        w->hide();
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName("CheckBox1");
    printBox->setToolTip(QStringLiteral("选择打印采购单据"));
    warningButton = toolButton("SpeedButton4", QStringLiteral("根据警戒库存查询(&A)"), this);
    saveButton = toolButton("SpeedButton10", QStringLiteral("确定(&S)"), this);
    clearButton = toolButton("SpeedButton11", QStringLiteral("清空(&C)"), this);
    printButton = toolButton("SpeedButton12", QStringLiteral("打印(&P)"), this);

    HeaderGrid header(this);
    header.add(0, 0, QStringLiteral("订单号："), numberEdit);
    header.add(0, 1, QStringLiteral("负责人："), managerCombo, managerButton);
    header.add(0, 2, QStringLiteral("制单日期："), dateEdit, dateButton);
    header.add(1, 0, QStringLiteral("申请人："), applicantCombo, applicantButton);
    header.add(1, 1, QStringLiteral("供应商："), supplierCombo, supplierButton);
    header.add(1, 2, QStringLiteral("开票员："), invoicerCombo, invoicerButton);
    header.add(2, 0, QStringLiteral("备注："), memoEdit, nullptr, 7);
    // The three field columns share the width, so a supplier's code and name show whole.
    header.shareWidth();
    header.add(3, 0, originalNoLabel, originalNoEdit);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(redCaption(QStringLiteral("条码/编号："), this));
    bottom->addWidget(codeEdit);
    bottom->addStretch();
    bottom->addWidget(new QLabel(QStringLiteral("金额合计："), this));
    bottom->addWidget(amountLabel);
    bottom->addWidget(qtyCaption);
    bottom->addWidget(qtyLabel);
    bottom->addWidget(auxQtyCaption);
    bottom->addWidget(auxQtyLabel);

    layOutEntry({.header = header.layout(),
                 .lineButtons = {addButton, editButton, deleteButton},
                 .grid = goodsGrid,
                 .below = {bottom},
                 .boxes = {printBox},
                 .buttons = {warningButton, saveButton, clearButton, printButton}});
    resize(860, 560);

    setTabOrder(numberEdit, managerCombo);
    setTabOrder(managerCombo, dateEdit);
    setTabOrder(dateEdit, applicantCombo);
    setTabOrder(applicantCombo, supplierCombo);
    setTabOrder(supplierCombo, invoicerCombo);
    setTabOrder(invoicerCombo, memoEdit);
    setTabOrder(memoEdit, codeEdit);
    setTabOrder(codeEdit, goodsGrid);
    setTabOrder(goodsGrid, printBox);

    connect(saveButton, &QToolButton::clicked, this, &TfrmPuch::savesuoyou);
    connect(clearButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton11Click);
    connect(printButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton12Click);
    connect(addButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton2Click);
    connect(warningButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton4Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton5Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton6Click);
    connect(dateButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton1Click);
    connect(supplierButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton3Click);
    connect(managerButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton7Click);
    connect(applicantButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton8Click);
    connect(invoicerButton, &QToolButton::clicked, this, &TfrmPuch::SpeedButton9Click);

    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = 1, .mdfMode = 1,
                     .recompute = [this] { recomputeTotals(); },
                     .lineDeleted = [this](const LineFigures &d) { takeOff(d, {amountLabel}, qtyLabel, auxQtyLabel); },
                     .focusAfterDelete = numberEdit, .backField = memoEdit, .recomputeOnCellEdit = true});
    handleMessages({{WM_FIT_CHOSEN, [this] { takeLine(); }},
                    {WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date); }}});
    fillFields({{FieldRole::Supplier, QString(), supplierCombo},
                {FieldRole::Staff, QStringLiteral("负责人"), managerCombo},
                {FieldRole::Staff, QStringLiteral("申请人"), applicantCombo},
                {FieldRole::Staff, QStringLiteral("开票员"), invoicerCombo}});

    m_keys = new EntryKeys(this);
    m_keys->chain(numberEdit, managerCombo, nullptr);
    m_keys->chain(managerCombo, dateEdit, numberEdit, [this] { SpeedButton7Click(); });
    m_keys->chain(dateEdit, applicantCombo, managerCombo, [this] { SpeedButton1Click(); });
    m_keys->chain(applicantCombo, supplierCombo, dateEdit, [this] { SpeedButton8Click(); });
    m_keys->chain(supplierCombo, invoicerCombo, applicantCombo, [this] { SpeedButton3Click(); });
    m_keys->chain(invoicerCombo, memoEdit, supplierCombo, [this] { SpeedButton9Click(); });
    m_keys->chain(memoEdit, goodsGrid, invoicerCombo, [this] {
        goodsGrid->setFocus();
        SpeedButton2Click();
    });
    m_keys->codeEntry(codeEdit, [this] { codeEntered(); }, printBox, goodsGrid);
    m_keys->chain(printBox, nullptr, codeEdit, [this] { savesuoyou(); });
}

TfrmPuch::~TfrmPuch() = default;

int TfrmPuch::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void TfrmPuch::FormShow()
{
    writeWindowStatus(kCaption);
    managerCombo->setFocus();
    m_lines.renumber();
    getTaskNo();
    G.gRepFit.TargetRow = 0;
    dateEdit->setText(today());
}

void TfrmPuch::getTaskNo()
{
    proposeNumberInto(this, numberEdit, m_orders.ledger().numbers(purchaseOrderNumbers()));
}

void TfrmPuch::takeLine()
{
    if (takePickedLine())
        setFocus();
}

void TfrmPuch::recomputeTotals()
{
    showTotals(m_lines, {amountLabel}, nullptr, qtyLabel, auxQtyLabel, true);
}

void TfrmPuch::codeEntered()
{
    takeEnteredCode(this, codeEdit, m_lines, kPurchasePrice, [this] { takeLine(); });
}

void TfrmPuch::SpeedButton2Click() { addGoodsLine(1); }

void TfrmPuch::SpeedButton4Click() { addGoodsLine(2); }

void TfrmPuch::SpeedButton5Click() { editGoodsLine(); }

void TfrmPuch::SpeedButton6Click() { deleteGoodsLine(); }

void TfrmPuch::SpeedButton1Click() { openModal(frmPushTime, true, this); }

void TfrmPuch::SpeedButton3Click() { openSupplierPicker(this, 0); }

void TfrmPuch::SpeedButton7Click() { openStaffPicker(this, 1); }

void TfrmPuch::SpeedButton8Click() { openStaffPicker(this, 2); }

void TfrmPuch::SpeedButton9Click() { openStaffPicker(this, 3); }

void TfrmPuch::savesuoyou()
{
    m_printSource = PrintSource::Stored;
    if (const auto v = parseNumber(amountLabel->text()))
        amountLabel->setText(generalNumber(*v));
    if (!m_lines.hasLines()) {
        notice(this, QStringLiteral("请输入货品"));
        return;
    }
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确实开单吗?"))) {
        resetAfterSave();
        return;
    }
    if (const auto f = checkOrder(m_lines, printBox->isChecked(), supplierCombo->currentText(), dateEdit->text())) {
        notice(this, f->message);
        if (QWidget *w = findChild<QWidget *>(f->focus))
            w->setFocus();
        return;
    }
    OrderHeader h;
    h.number = numberEdit->text();
    h.date = storedDate(dateEdit->text()).value_or(QString());
    h.manager = managerCombo->text();
    h.supplier = supplierCombo->currentText();
    h.memo = memoEdit->text();
    h.invoicer = invoicerCombo->text();
    h.applicant = applicantCombo->text();
    h.originalNo = originalNoEdit->text();
    try {
        const PurchaseOrders::Saved saved = m_orders.save(h, savedLines(m_lines));
        m_recordID = saved.id;
        numberEdit->setText(saved.number);
        dateEdit->setText(h.date);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    const bool print = printBox->isChecked();
    notice(this, print ? QStringLiteral("采购订单保存成功") : QStringLiteral("采购单保存成功"));
    if (print)
        printOrder();
    resetAfterSave();
}

void TfrmPuch::resetAfterSave()
{
    m_lines.clearLines();
    amountLabel->setText(QStringLiteral("0"));
    qtyLabel->setText(QStringLiteral("0"));
    auxQtyLabel->setText(QStringLiteral("0"));
    supplierCombo->setEditText(QString());
    managerCombo->setText(QString());
    memoEdit->clear();
    codeEdit->clear();
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
    getTaskNo();
}

void TfrmPuch::SpeedButton11Click()
{
    m_lines.clearLines();
    amountLabel->setText(QStringLiteral("0"));
    qtyLabel->setText(QStringLiteral("0"));
    auxQtyLabel->setText(QStringLiteral("0"));
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
    supplierCombo->setEditText(QString());
    managerCombo->setText(QString());
    codeEdit->clear();
    dateEdit->setText(today());
    memoEdit->clear();
}

void TfrmPuch::SpeedButton12Click()
{
    m_printSource = PrintSource::Grid;
    printOrder();
}

void TfrmPuch::printOrder()
{
    DocumentPrint p;
    try {
        p = entryPrint(db(), QStringLiteral("tongyong.frf"), QStringLiteral("采购订单"), m_printSource == PrintSource::Grid,
                       m_lines, QStringLiteral("采购订单明细"), m_recordID);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    p.set("Memo2", QStringLiteral("供应商单位:"));
    p.set("Memo9", numberEdit->text());
    p.set("Memo5", dateEdit->text());
    p.set("Memo3", supplierCombo->currentText());
    p.set("Memo7", memoEdit->text());
    // Signature mode prints the three captions without their colons.
    p.set("Memo28", signature(QStringLiteral("开票员:"), invoicerCombo->text(), QStringLiteral("开票员")));
    p.set("Memo30", signature(QStringLiteral("申请人:"), applicantCombo->text(), QStringLiteral("申请人")));
    p.set("Memo31", signature(QStringLiteral("负责人:"), managerCombo->text(), QStringLiteral("负责人")));
    p.set("Memo26", qtyLabel->text());
    p.set("Memo25", auxQtyLabel->text());
    p.set("Memo27", amountLabel->text());
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
