#include "sales/frmsalebilling.h"
#include "app/windowing.h"
#include "app/xuanzeriqi.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "partners/frmchoosecustom.h"
#include "partners/staffcombo.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kBoxCaption = QStringLiteral("Orvane仓库管理");

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    return l;
}

// The labels of the customer and the selling department stand on red.
void redBackground(QLabel *l)
{
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(255, 0, 0));
    l->setPalette(p);
}

// Captions of a mode, as the menu entry writes them.
struct ModeTexts {
    const char *caption, *number, *clerk, *customer, *due, *received, *save;
};
const ModeTexts &textsOf(SaleMode m)
{
    static const ModeTexts order{"销售订货", "订单编号", "经办人", "购买单位", "应收款", "实收款：", "售出(&S)"};
    static const ModeTexts back{"销售退货", "单据编号", "负责人", "退回单位", "应退款", "实退款", "退货(&S)"};
    static const ModeTexts direct{"销售开单", "单据编号", "经办人", "购买单位", "应收款", "实收款：", "售出(&S)"};
    return m == SaleMode::Order ? order : m == SaleMode::Return ? back : direct;
}
} // namespace

TfrmsaleBilling::TfrmsaleBilling(QWidget *parent)
    : EntryWindow(parent), m_posting(db()), m_lines(GoodsLineLayout::Sales19), frReport1(std::make_unique<TfrReport>())
{
    setObjectName("frmSaleBilling");
    setWindowTitle(QStringLiteral("销售订单"));
    m_lines.setEditableColumns({m_lines.columns().discount});

    titleLabel = label("Label1", QStringLiteral("销售订货"), this);
    QFont big = titleLabel->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    titleLabel->setFont(big);
    titleLabel->setAlignment(Qt::AlignCenter);
    numberLabel = label("Label2", QStringLiteral("订单编号："), this);
    clerkLabel = label("Label3", QStringLiteral("  经办人："), this);
    customerLabel = label("Label8", QStringLiteral("购买单位："), this);
    dueLabel = label("Label9", QStringLiteral("应收款："), this);
    receivedLabel = label("Label13", QStringLiteral("实收款："), this);
    departmentLabel = label("Label24", QStringLiteral("销售单位："), this);
    redBackground(customerLabel);
    redBackground(departmentLabel);

    numberEdit = lineEdit("Edit1", this);
    setGreyReadOnly(numberEdit);
    dateEdit = lineEdit("Edit2", this);
    clerkCombo = new StaffCombo("ComboBox1", std::nullopt, StaffText::NoDotName, this);
    delivererCombo = new StaffCombo("ComboBox2", StaffRole::Deliverer, StaffText::NoDotName, this);
    customerCodeEdit = lineEdit("Edit8", this);
    setGreyReadOnly(customerCodeEdit);
    customerEdit = lineEdit("Edit3", this);
    setGreyReadOnly(customerEdit);
    contactEdit = lineEdit("Edit4", this);
    shipperCombo = new StaffCombo("ComboBox3", StaffRole::Shipper, StaffText::NoDotName, this);
    phoneEdit = lineEdit("Edit5", this);
    addressEdit = lineEdit("Edit6", this);
    customerDiscountEdit = amountEdit("Edit15", this);
    customerDiscountEdit->setText(QStringLiteral("1"));
    checkerCombo = new StaffCombo("ComboBox4", StaffRole::Checker, StaffText::NoDotName, this);
    departmentEdit = lineEdit("Edit16", this);
    setGreyReadOnly(departmentEdit);
    departmentCodeEdit = lineEdit("Edit17", this);
    setGreyReadOnly(departmentCodeEdit);
    invoicerCombo = new StaffCombo("ComboBox5", StaffRole::Invoicer, StaffText::NoDotName, this);
    memoEdit = lineEdit("Edit7", this);

    // Widths set once: the goods row's ID and the conversion ratio hidden.
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, 70, 70, 70, 70, 70, -1, 70, 70, -1},
                                  true, this);
    goodsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    customerDiscountRadio = new QRadioButton(QStringLiteral("客户折扣"), this);
    customerDiscountRadio->setObjectName("RadioButton1");
    customerDiscountRadio->setChecked(true);
    goodsDiscountRadio = new QRadioButton(QStringLiteral("货品折扣"), this);
    goodsDiscountRadio->setObjectName("RadioButton2");
    goodsDiscountLabel = label("Label26", QStringLiteral("货品折扣："), this);
    goodsDiscountEdit = amountEdit("Edit18", this);
    goodsDiscountEdit->clear();
    codeEdit = lineEdit("Edit14", this);
    dueEdit = amountEdit("Edit9", this);
    setGreyReadOnly(dueEdit);
    receivedEdit = amountEdit("Edit10", this);
    onAccountEdit = amountEdit("Edit20", this);
    invoiceAmountLabel = label("Label16", QStringLiteral("开票额："), this);
    invoiceAmountEdit = amountEdit("Edit12", this);
    invoiceDateLabel = label("Label14", QStringLiteral("开票日期："), this);
    invoiceDateEdit = lineEdit("Edit11", this);
    invoiceNoLabel = label("Label17", QStringLiteral("发票号："), this);
    invoiceNoEdit = lineEdit("Edit13", this);
    invoiceNoEdit->setText(QStringLiteral("0"));
    qtyLabel = label("Label22", QStringLiteral("0"), this);
    qtyLabel->hide();
    auxQtyLabel = label("Label23", QStringLiteral("0"), this);
    auxQtyLabel->hide();
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName("CheckBox1");

    printButton = toolButton("SpeedButton15", QStringLiteral("打印单据(&P)"), this);
    saveButton = toolButton("SpeedButton9", QStringLiteral("售出(&S)"), this);
    clearButton = toolButton("SpeedButton10", QStringLiteral("清空(&C)"), this);
    importButton = toolButton("SpeedButton11", QStringLiteral("从成品入库单导入(&M)"), this);
    importButton->hide();
    addButton = toolButton("SpeedButton12", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton14", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton13", QStringLiteral("删除"), this);
    dateButton = toolButton("SpeedButton1", QStringLiteral("..."), this);
    customerButton = toolButton("SpeedButton2", QStringLiteral("..."), this);
    departmentButton = toolButton("SpeedButton8", QStringLiteral("..."), this);

    const QHash<StaffCombo *, QToolButton *> staffButtonOf = staffButtons({{"SpeedButton6", clerkCombo, 27},
                                        {"SpeedButton3", delivererCombo, 28},
                                        {"SpeedButton4", shipperCombo, 29},
                                        {"SpeedButton5", checkerCombo, 30},
                                        {"SpeedButton7", invoicerCombo, 31}});

    HeaderGrid header(this);
    header.add(0, 0, numberLabel, numberEdit);
    header.add(0, 1, QStringLiteral("制单日期："), dateEdit, dateButton)->setObjectName("Label4");
    header.add(0, 2, clerkLabel, clerkCombo, staffButtonOf.value(clerkCombo));
    header.add(1, 0, QStringLiteral("送货员："), delivererCombo, staffButtonOf.value(delivererCombo))->setObjectName("Label15");
    header.add(1, 1, QStringLiteral("单位编号："), customerCodeEdit)->setObjectName("Label5");
    header.add(1, 2, customerLabel, customerEdit, customerButton);
    header.add(2, 0, QStringLiteral("  联系人："), contactEdit)->setObjectName("Label6");
    header.add(2, 1, QStringLiteral("发货员："), shipperCombo, staffButtonOf.value(shipperCombo))->setObjectName("Label18");
    header.add(2, 2, QStringLiteral("联系电话："), phoneEdit)->setObjectName("Label10");
    header.add(3, 0, QStringLiteral("地址："), addressEdit)->setObjectName("Label11");
    header.add(3, 1, QStringLiteral("客户折扣："), customerDiscountEdit)->setObjectName("Label12");
    header.add(3, 2, QStringLiteral("复核员："), checkerCombo, staffButtonOf.value(checkerCombo))->setObjectName("Label20");
    header.add(4, 0, departmentLabel, departmentEdit, departmentButton);
    header.add(4, 1, QStringLiteral("部门编号："), departmentCodeEdit)->setObjectName("Label25");
    header.add(4, 2, QStringLiteral("开票员："), invoicerCombo, staffButtonOf.value(invoicerCombo))->setObjectName("Label21");
    header.add(5, 0, QStringLiteral("备注："), memoEdit, nullptr, 7)->setObjectName("Label7");
    header.shareWidth();

    auto *discounts = new QHBoxLayout;
    discounts->addWidget(customerDiscountRadio);
    discounts->addWidget(goodsDiscountRadio);
    discounts->addWidget(goodsDiscountLabel);
    discounts->addWidget(goodsDiscountEdit);
    QLabel *codeLabel = redCaption(QStringLiteral("条码/编号："), this);
    codeLabel->setObjectName("Label19");
    discounts->addWidget(codeLabel);
    discounts->addWidget(codeEdit);
    discounts->addStretch();

    auto *amounts = new QHBoxLayout;
    for (auto [l, e] : {std::pair<QLabel *, QWidget *>{dueLabel, dueEdit},
                        {receivedLabel, receivedEdit},
                        {label("Label28", QStringLiteral("挂账金额："), this), onAccountEdit},
                        {invoiceAmountLabel, invoiceAmountEdit},
                        {invoiceDateLabel, invoiceDateEdit},
                        {invoiceNoLabel, invoiceNoEdit}}) {
        amounts->addWidget(l);
        amounts->addWidget(e);
    }
    amounts->addWidget(qtyLabel);
    amounts->addWidget(auxQtyLabel);

    layOutEntry({.title = titleLabel,
                 .header = header.layout(),
                 .lineButtons = {importButton, addButton, editButton, deleteButton},
                 .hintName = "Label27",
                 .grid = goodsGrid,
                 .below = {discounts, amounts},
                 .boxes = {printBox},
                 .buttons = {printButton, saveButton, clearButton}});
    resize(980, 640);

    connect(saveButton, &QToolButton::clicked, this, &TfrmsaleBilling::savesuoyou);
    connect(clearButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton10Click);
    connect(printButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton15Click);
    connect(importButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton11Click);
    connect(addButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton12Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton14Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton13Click);
    connect(dateButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton1Click);
    connect(customerButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton2Click);
    connect(departmentButton, &QToolButton::clicked, this, &TfrmsaleBilling::SpeedButton8Click);
    connect(receivedEdit, &QLineEdit::textEdited, this, &TfrmsaleBilling::receivedEdited);
    connect(customerDiscountEdit, &QLineEdit::textEdited, this, &TfrmsaleBilling::customerDiscountEdited);
    connect(goodsDiscountEdit, &QLineEdit::textEdited, this, &TfrmsaleBilling::goodsDiscountEdited);
    connect(customerDiscountEdit, &QLineEdit::editingFinished, this,
            [this] { discountFieldLeft(customerDiscountEdit); });
    connect(goodsDiscountEdit, &QLineEdit::editingFinished, this, [this] { discountFieldLeft(goodsDiscountEdit); });

    // The totals are worked out again from the lines left (a return owes their 金额).
    const auto lineDeleted = [this](const LineFigures &) {
        if (!m_lines.totals().counted) {
            for (QLineEdit *e : {dueEdit, receivedEdit, onAccountEdit})
                e->setText(QStringLiteral("0"));
            qtyLabel->setText(QStringLiteral("0"));
            auxQtyLabel->setText(QStringLiteral("0"));
        }
        recomputeTotals();
    };
    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = 5, .mdfMode = 6, .fitPrice = kSalePrice,
                     .recompute = [this] { recomputeTotals(); }, .lineDeleted = lineDeleted,
                     .focusAfterDelete = numberEdit, .backField = memoEdit, .recomputeOnCellEdit = true});

    declarePicks();

    m_keys = new EntryKeys(this);
    m_keys->chain(numberEdit, dateEdit, nullptr);
    m_keys->chain(dateEdit, clerkCombo, numberEdit, [this] { SpeedButton1Click(); });
    m_keys->chain(clerkCombo, delivererCombo, dateEdit, [this] { staffButtonClick(27); });
    m_keys->chain(delivererCombo, customerCodeEdit, clerkCombo, [this] { staffButtonClick(28); });
    m_keys->chain(customerCodeEdit, customerEdit, delivererCombo);
    m_keys->chain(customerEdit, contactEdit, customerCodeEdit, [this] { SpeedButton2Click(); });
    m_keys->chain(contactEdit, shipperCombo, customerEdit);
    m_keys->chain(shipperCombo, phoneEdit, contactEdit, [this] { staffButtonClick(29); });
    m_keys->chain(phoneEdit, addressEdit, shipperCombo);
    m_keys->chain(addressEdit, customerDiscountEdit, phoneEdit);
    m_keys->chain(customerDiscountEdit, checkerCombo, addressEdit);
    m_keys->chain(checkerCombo, departmentEdit, customerDiscountEdit, [this] { staffButtonClick(30); });
    m_keys->chain(departmentEdit, departmentCodeEdit, checkerCombo, [this] { SpeedButton8Click(); });
    m_keys->chain(departmentCodeEdit, invoicerCombo, departmentEdit);
    m_keys->chain(invoicerCombo, memoEdit, departmentCodeEdit, [this] { staffButtonClick(31); });
    m_keys->chain(memoEdit, goodsGrid, invoicerCombo, [this] { SpeedButton12Click(); });
    m_keys->chain(goodsDiscountEdit, codeEdit, goodsGrid);
    m_keys->codeEntry(codeEdit, [this] { codeEntered(); }, dueEdit, [this]() -> QWidget * {
        return goodsDiscountEdit->isHidden() ? static_cast<QWidget *>(goodsGrid) : goodsDiscountEdit;
    });
    m_keys->chain(dueEdit, receivedEdit, codeEdit);
    m_keys->chain(receivedEdit, onAccountEdit, dueEdit);
    m_keys->custom(onAccountEdit, [this](int key) {
        if (EntryKeys::isForward(key)) {
            if (invoiceAmountEdit->isHidden())
                savesuoyou();
            else
                invoiceAmountEdit->setFocus();
        } else if (EntryKeys::isBack(key)) {
            receivedEdit->setFocus();
        } else {
            return false;
        }
        return true;
    });
    m_keys->chain(invoiceAmountEdit, invoiceDateEdit, onAccountEdit);
    m_keys->chain(invoiceDateEdit, invoiceNoEdit, invoiceAmountEdit);
    m_keys->chain(invoiceNoEdit, nullptr, invoiceDateEdit, [this] { savesuoyou(); });
}

TfrmsaleBilling::~TfrmsaleBilling() = default;

int TfrmsaleBilling::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void TfrmsaleBilling::layOutForMode(int saleBillMode)
{
    m_mode = saleBillMode == 2 ? SaleMode::Return : saleBillMode == 3 ? SaleMode::Direct : SaleMode::Order;
    const ModeTexts &t = textsOf(m_mode);
    const QString caption = QString::fromUtf8(t.caption);
    setWindowTitle(caption);
    writeWindowStatus(caption);
    titleLabel->setText(caption);
    dueLabel->setText(QString::fromUtf8(t.due));
    receivedLabel->setText(QString::fromUtf8(t.received));
    saveButton->setText(QString::fromUtf8(t.save));
    numberLabel->setText(QString::fromUtf8(t.number));
    customerLabel->setText(QString::fromUtf8(t.customer));
    clerkLabel->setText(QString::fromUtf8(t.clerk));
    // A return keeps no invoice and no goods discount, and takes nothing from a receipt.
    const bool shown = m_mode != SaleMode::Return;
    for (QWidget *w : std::initializer_list<QWidget *>{importButton, customerDiscountRadio, goodsDiscountRadio,
                                                       goodsDiscountLabel, invoiceAmountLabel, invoiceNoLabel,
                                                       invoiceDateLabel, invoiceNoEdit, invoiceAmountEdit,
                                                       invoiceDateEdit, goodsDiscountEdit})
        w->setVisible(shown);
}

void TfrmsaleBilling::FormShow()
{
    getTaskNo();
    dateEdit->setText(today());
    invoiceDateEdit->setText(today());
    m_lines.renumber();
    G.gRepFit.TargetRow = 0;
    clerkCombo->setFocus();
}

void TfrmsaleBilling::getTaskNo() { proposeNumberInto(this, numberEdit, m_posting.ledger().numbers(saleNumbers(m_mode))); }

void TfrmsaleBilling::declarePicks()
{
    handleMessages({{WM_FIT_CHOSEN,
                     [this] {
                         takeLine(LineOrigin::Picked);
                         goodsGrid->setFocus();
                     }},
                    {WM_PUCH_FIT, [this] { importLine(); }},
                    {WM_CUSTOM_CHOSEN, [this] { takeCustomer(); }}});
    QVector<PickedField> fields{{FieldRole::Date, kSalesDateField,
                                 [this](const QString &date) {
                                     dateEdit->setText(date);
                                     delivererCombo->setFocus();
                                 }},
                                {FieldRole::Department, QStringLiteral("销售单位"), departmentEdit},
                                {FieldRole::Department, QStringLiteral("部门编号"), departmentCodeEdit}};
    for (int mode = 27; mode <= 31; ++mode)
        if (const StaffPickTarget *t = staffPickTarget(mode))
            fields.append({FieldRole::Staff, t->field, findChild<StaffCombo *>(QString::fromUtf8(t->control))});
    fillFields(fields);
}

QString TfrmsaleBilling::newLineDiscount(LineOrigin origin) const
{
    return discountForNewLine(m_mode, origin,
                              goodsDiscountRadio->isChecked() ? DiscountChoice::Goods : DiscountChoice::Customer,
                              customerDiscountEdit->text(), goodsDiscountEdit->text());
}

void TfrmsaleBilling::takeLine(LineOrigin origin)
{
    const QString discount = newLineDiscount(origin);
    takePickedLine([&](int row) { setLineDiscount(m_lines, row, discount); });
}

void TfrmsaleBilling::importLine()
{
    const GoodsLineGrid::Taken taken = m_lines.append(G.gRepFit);
    setLineDiscount(m_lines, taken.row, newLineDiscount(LineOrigin::Imported));
    goodsGrid->setCurrentGridRow(taken.row + 1);
    goodsGrid->setFocus();
    recomputeTotals();
}

void TfrmsaleBilling::takeCustomer()
{
    const Custom &c = G.gCustom;
    customerDiscountEdit->setText(c.Discount);
    customerEdit->setText(c.CustomerNo + '.' + c.CustomerName);
    contactEdit->setText(c.Contact);
    phoneEdit->setText(c.Phone);
    addressEdit->setText(c.Address);
    customerCodeEdit->setText(c.CustomerNo);
    // The customer's discount goes onto every line, whichever discount new lines take.
    customerDiscountEdit->setText(discountOnLeave(customerDiscountEdit->text()));
    applyDiscount(m_lines, customerDiscountEdit->text());
    recomputeTotals();
}

void TfrmsaleBilling::recomputeTotals()
{
    try {
        const auto t = saleTotals(m_lines, m_mode);
        if (!t)
            return;
        dueEdit->setText(t->due);
        receivedEdit->setText(t->due);
        onAccountEdit->setText(QStringLiteral("0"));
        qtyLabel->setText(t->qty);
        auxQtyLabel->setText(t->auxQty);
    } catch (const ConversionError &) {
        // A line whose figures do not read yet: the save's checks name it.
    }
}

void TfrmsaleBilling::receivedEdited() { followPaid(dueEdit, receivedEdit, onAccountEdit); }

void TfrmsaleBilling::applyFieldDiscount(QLineEdit *field)
{
    applyDiscount(m_lines, field->text());
    recomputeTotals();
}

void TfrmsaleBilling::customerDiscountEdited()
{
    if (customerDiscountRadio->isChecked() && appliesNow(customerDiscountEdit->text()))
        applyFieldDiscount(customerDiscountEdit);
}

void TfrmsaleBilling::goodsDiscountEdited()
{
    if (goodsDiscountRadio->isChecked() && appliesNow(goodsDiscountEdit->text()))
        applyFieldDiscount(goodsDiscountEdit);
}

void TfrmsaleBilling::discountFieldLeft(QLineEdit *field)
{
    const QString left = discountOnLeave(field->text());
    if (left == field->text())
        return;
    field->setText(left);
    const bool chosen = field == customerDiscountEdit ? customerDiscountRadio->isChecked() : goodsDiscountRadio->isChecked();
    if (chosen)
        applyFieldDiscount(field);
}

void TfrmsaleBilling::codeEntered()
{
    takeEnteredCode(this, codeEdit, m_lines, kSalePrice, [this] { takeLine(LineOrigin::Coded); });
}

void TfrmsaleBilling::SpeedButton12Click() { addGoodsLine(); }

void TfrmsaleBilling::SpeedButton14Click() { editGoodsLine(); }

void TfrmsaleBilling::SpeedButton13Click() { deleteGoodsLine(); }

void TfrmsaleBilling::SpeedButton1Click()
{
    G.gDatePickTarget = 2;
    openModal(xuanzeriqi, true, this);
}

void TfrmsaleBilling::SpeedButton2Click() { openModal(frmChooseCustom, true, this); }

void TfrmsaleBilling::SpeedButton8Click() { openDepartmentPicker(this, 5); }

void TfrmsaleBilling::staffButtonClick(int staffMode) { openStaffPicker(this, staffMode); }

void TfrmsaleBilling::SpeedButton11Click()
{
    openBillPicker(this, 3, QStringLiteral("选择成品入库单"), QStringLiteral("双击选择成品入库单"));
}

void TfrmsaleBilling::clearBill()
{
    for (StaffCombo *c : {clerkCombo, delivererCombo, shipperCombo, checkerCombo, invoicerCombo}) {
        c->clear();
        c->setText(QString());
    }
    for (QLineEdit *e : {customerEdit, contactEdit, phoneEdit, addressEdit, memoEdit, customerCodeEdit, invoiceNoEdit,
                         departmentEdit, departmentCodeEdit})
        e->clear();
    for (QLineEdit *e : {dueEdit, receivedEdit, onAccountEdit, invoiceAmountEdit})
        e->setText(QStringLiteral("0"));
    printBox->setChecked(false);
    customerDiscountEdit->setText(QStringLiteral("1"));
    dateEdit->setText(today());
    invoiceDateEdit->setText(today());
    m_lines.clearLines();
    G.gRepFit.TargetRow = 0;
}

void TfrmsaleBilling::SpeedButton10Click() { clearBill(); }

void TfrmsaleBilling::savesuoyou()
{
    const SaleFields fields{clerkCombo->text(),         dueEdit->text(),           receivedEdit->text(),
                            onAccountEdit->text(),      customerEdit->text(),      customerDiscountEdit->text(),
                            invoiceAmountEdit->text(),  dateEdit->text(),          invoiceDateEdit->text()};
    if (const auto f = checkSaleBill(m_mode, m_lines, fields)) {
        if (f->boxed)
            prompt().message(this, kBoxCaption, f->failure.message, QMessageBox::Information, QMessageBox::Ok);
        else
            notice(this, f->failure.message);
        if (QWidget *w = findChild<QWidget *>(f->failure.focus))
            w->setFocus();
        return;
    }
    const bool ret = m_mode == SaleMode::Return;
    SaleHeader h;
    h.number = numberEdit->text();
    h.date = storedDate(dateEdit->text()).value_or(QString());
    h.clerk = clerkCombo->text();
    h.deliverer = delivererCombo->text();
    h.shipper = shipperCombo->text();
    h.checker = checkerCombo->text();
    h.invoicer = invoicerCombo->text();
    h.customerCode = customerCodeEdit->text();
    h.customer = customerEdit->text();
    h.contact = contactEdit->text();
    h.phone = phoneEdit->text();
    h.address = addressEdit->text();
    h.memo = memoEdit->text();
    h.department = departmentEdit->text();
    h.departmentCode = departmentCodeEdit->text();
    h.due = parseNumber(fields.due).value_or(0);
    h.received = parseNumber(fields.received).value_or(0);
    h.onAccount = parseNumber(fields.onAccount).value_or(0);
    h.customerDiscount = parseNumber(fields.customerDiscount).value_or(1);
    if (!ret) {
        h.invoiceAmount = parseNumber(fields.invoiceAmount).value_or(0);
        h.invoiceNo = invoiceNoEdit->text();
        h.invoiceDate = storedDate(fields.invoiceDate).value_or(QString());
    }
    SalesPosting::Result r;
    try {
        r = m_posting.save(m_mode, h, saleLines(m_lines));
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!r.ok()) {
        notice(this, QStringLiteral("第%1行库存不足操作被取消").arg(r.shortRow));
        return;
    }
    m_billID = r.id;
    G.gDocID = r.id;
    numberEdit->setText(r.number);
    dateEdit->setText(h.date);
    const QString done = m_mode == SaleMode::Order  ? QStringLiteral("销售订单保存成功！")
                         : ret                      ? QStringLiteral("销售退货单保存成功！")
                                                    : QStringLiteral("销售单保存成功！");
    prompt().message(this, kBoxCaption, done, QMessageBox::Information, QMessageBox::Ok);
    if (printBox->isChecked())
        m_lastPrint = printDocument(*frReport1, billPrint(false));
    clearBill();
    getTaskNo();
}

void TfrmsaleBilling::SpeedButton15Click() { m_lastPrint = printDocument(*frReport1, billPrint(true)); }

DocumentPrint TfrmsaleBilling::billPrint(bool fromGrid)
{
    const bool ret = m_mode == SaleMode::Return;
    DocumentPrint p;
    p.templateName = ret ? QStringLiteral("tongyong2.frf") : QStringLiteral("tongyong1.frf");
    p.headBands = documentHeadBands(!ret);
    if (ret) {
        // A return prints 金额 of its stored lines, the grid's 折后金额 before it is saved.
        p.lineSlots = documentLineSlots();
        if (fromGrid)
            p.lineSlots.last().column = QStringLiteral("折后金额");
    } else {
        p.lineSlots = discountLineSlots();
    }
    const QString title = ret                          ? QStringLiteral("销售退货单")
                          : m_mode == SaleMode::Order ? QStringLiteral("货品销售订单")
                                                      : QStringLiteral("货品销售单");
    try {
        p.set("Memo1", companyName(db()) + title);
        p.lines = fromGrid ? gridPrintLines(m_lines, p.lineSlots)
                           : storedPrintLines(db(), saleLineTable(m_mode), m_billID, p.lineSlots);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    p.set("Memo5", dateEdit->text());
    p.set("Memo7", memoEdit->text());
    p.set("Memo9", numberEdit->text());
    if (ret) {
        p.set("Memo2", QStringLiteral("退回单位:"));
        p.set("Memo3", customerEdit->text());
        p.set("Memo6", QStringLiteral("实退款:"));
        p.set("Memo8", receivedEdit->text());
        p.set("Memo11", onAccountEdit->text());
        p.set("Memo28", signature(QStringLiteral("负责人:"), clerkCombo->text()));
        p.set("Memo29", signature(QStringLiteral("发货员:"), shipperCombo->text()));
        p.set("Memo30", signature(QStringLiteral("复核员:"), checkerCombo->text()));
        p.set("Memo31", signature(QStringLiteral("送货员:"), delivererCombo->text()));
    } else {
        p.set("Memo2", QStringLiteral("销售单位:"));
        p.set("Memo3", departmentEdit->text());
        p.set("Memo10", QStringLiteral("购买单位:"));
        p.set("Memo33", customerEdit->text());
        p.set("Memo12", QStringLiteral("实收款:"));
        p.set("Memo13", receivedEdit->text());
        p.set("Memo15", onAccountEdit->text());
        p.set("Memo6", QStringLiteral("地址：") + G.gCompanyAddress + QStringLiteral("  电话：") + G.gCompanyPhone +
                           QStringLiteral(" ") + QStringLiteral("  传真:") + G.gCompanyFax);
        p.set("Memo8", G.gCompanyBusiness);
        p.set("Memo28", signature(QStringLiteral("开票员:"), invoicerCombo->text()));
        p.set("Memo29", signature(QStringLiteral("送货员:"), delivererCombo->text()));
        p.set("Memo30", signature(QStringLiteral("发货员:"), shipperCombo->text()));
        p.set("Memo31", signature(QStringLiteral("复核员:"), checkerCombo->text()));
    }
    p.set("Memo26", qtyLabel->text());
    p.set("Memo25", auxQtyLabel->text());
    p.set("Memo27", dueEdit->text());
    return p;
}

} // namespace orv
