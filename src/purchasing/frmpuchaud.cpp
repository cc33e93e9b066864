#include "purchasing/frmpuchaud.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"
#include "documents/pickers.h"
#include "goods/frmchoosegys.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"
#include "partners/staffcombo.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("采购审核");
const QStringList kQueryItems = {QStringLiteral("显示全部"), QStringLiteral("按单据编号查询"),
                                 QStringLiteral("按供应商查询"), QStringLiteral("按负责人查询")};
} // namespace

TfrmPuchAud::TfrmPuchAud(QWidget *parent)
    : QWidget(parent), m_orders(db()), frReport1(std::make_unique<TfrReport>())
{
    setObjectName("frmPuchAud");
    setWindowTitle(kCaption);
    m_orderModel = new DataSetModel(this);
    m_lineModel = new DataSetModel(this);

    queryCombo = new QComboBox(this);
    queryCombo->setObjectName("ComboBoxQuery");
    queryCombo->addItems(kQueryItems);
    searchEdit = lineEdit("EditContent", this);
    queryButton = toolButton("SpeedButton4", QStringLiteral("查询"), this);
    printButton = toolButton("SpeedButton3", QStringLiteral("打印"), this);
    printButton->setToolTip(QStringLiteral("打印采购订单"));
    billNoEdit = lineEdit("EditNo", this);
    billNoEdit->hide();

    ordersGrid = listGrid("DBGrid1", m_orderModel, this);
    linesGrid = listGrid("DBGrid2", m_lineModel, this);
    newLineButton = toolButton("SpeedButtonnew", QStringLiteral("新建"), this);
    editLineButton = toolButton("SpeedButtonMdf", QStringLiteral("修改"), this);
    deleteLineButton = toolButton("SpeedButtonDel", QStringLiteral("删除"), this);

    supplierEdit = lineEdit("EditGongMan", this);
    supplierButton = toolButton("SpeedButton2", QStringLiteral("..."), this);
    dateEdit = lineEdit("EditDate", this);
    dateButton = toolButton("SpeedButton1", QStringLiteral("..."), this);
    managerCombo = new StaffCombo("ComboBoxman", StaffRole::StoreKeeper, StaffText::NameOnly, this);
    memoEdit = lineEdit("EditMemo", this);
    auditorCombo = new StaffCombo("ComboBox1", StaffRole::StoreKeeper, StaffText::NameOnly, this);
    printBox = new QCheckBox(QStringLiteral("打印采购单"), this);
    printBox->setObjectName("CheckBox1");
    passButton = toolButton("SpeedButton5", QStringLiteral("通过"), this);
    cancelButton = toolButton("SpeedButton6", QStringLiteral("取消"), this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(queryCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(queryButton);
    bar->addStretch();
    bar->addWidget(printButton);

    auto *linePage = new QWidget(this);
    auto *linePageLayout = new QVBoxLayout(linePage);
    auto *lineButtons = new QHBoxLayout;
    lineButtons->addWidget(newLineButton);
    lineButtons->addWidget(editLineButton);
    lineButtons->addWidget(deleteLineButton);
    lineButtons->addStretch();
    linePageLayout->addLayout(lineButtons);
    linePageLayout->addWidget(linesGrid, 1);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(linePage, QStringLiteral("采购订单明细"));

    auto *panel = new QGridLayout;
    int row = 0;
    auto field = [&](const QString &caption, QWidget *w, QWidget *button = nullptr) {
        panel->addWidget(new QLabel(caption, this), row, 0);
        panel->addWidget(w, row, 1);
        if (button)
            panel->addWidget(button, row, 2);
        ++row;
    };
    field(QStringLiteral("供应商："), supplierEdit, supplierButton);
    field(QStringLiteral(" 日期："), dateEdit, dateButton);
    field(QStringLiteral("负责人："), managerCombo);
    field(QStringLiteral(" 备注："), memoEdit);
    field(QStringLiteral("审核人："), auditorCombo);
    panel->addWidget(printBox, row++, 1);
    auto *passRow = new QHBoxLayout;
    passRow->addWidget(passButton);
    passRow->addWidget(cancelButton);
    panel->addLayout(passRow, row++, 1);
    panel->setRowStretch(row, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(ordersGrid, 1);
    left->addWidget(tabs, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(panel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addLayout(body, 1);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmPuchAud::search);
    connect(queryButton, &QToolButton::clicked, this, &TfrmPuchAud::search);
    connect(queryCombo, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (t == kQueryItems.first())
            search();
    });
    connect(printButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButton3Click);
    connect(passButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButton5Click);
    connect(cancelButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButton6Click);
    connect(newLineButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButtonnewClick);
    connect(editLineButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButtonMdfClick);
    connect(deleteLineButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButtonDelClick);
    connect(dateButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButton1Click);
    connect(supplierButton, &QToolButton::clicked, this, &TfrmPuchAud::SpeedButton2Click);
    connect(ordersGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { DBGrid1CellClick(i.row()); });
    connect(linesGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { DBGrid2CellClick(i.row()); });

    for (QWidget *w : {static_cast<QWidget *>(supplierEdit), static_cast<QWidget *>(dateEdit),
                       static_cast<QWidget *>(managerCombo), static_cast<QWidget *>(memoEdit),
                       static_cast<QWidget *>(searchEdit), static_cast<QWidget *>(ordersGrid),
                       static_cast<QWidget *>(ordersGrid->viewport()), static_cast<QWidget *>(linesGrid->viewport())})
        w->installEventFilter(this);
    if (managerCombo->lineEdit())
        managerCombo->lineEdit()->installEventFilter(this);
}

TfrmPuchAud::~TfrmPuchAud() = default;

void TfrmPuchAud::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void TfrmPuchAud::formShow()
{
    writeWindowStatus(kCaption);
    reloadOrders(QString());
    searchEdit->setFocus();
}

void TfrmPuchAud::reloadOrders(const QString &keepID)
{
    DataSet ds(&db());
    OrderSearch how = OrderSearch(qMax(0, queryCombo->currentIndex()));
    try {
        m_orders.openPending(ds, how, searchEdit->text());
    } catch (const std::exception &e) {
        m_orderModel->clearRows();
        clearCurrent(false);
        showError(this, e);
        return;
    }
    m_orderModel->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号"})
        ordersGrid->setColumnHidden(m_orderModel->fieldIndex(QString::fromUtf8(hidden)), true);
    int row = keepID.isEmpty() ? -1 : m_orderModel->findRow("ID", keepID);
    if (row < 0 && m_orderModel->dataRowCount() > 0)
        row = 0;
    if (row < 0) {
        clearCurrent(false);
        return;
    }
    makeCurrent(row);
}

void TfrmPuchAud::makeCurrent(int row)
{
    if (row < 0 || row >= m_orderModel->dataRowCount())
        return;
    ordersGrid->setCurrentIndex(m_orderModel->index(row, qMax(0, m_orderModel->fieldIndex("单据编号"))));
    ordersGrid->selectRow(row);
    m_currentID = m_orderModel->text(row, "ID");
    m_currentRowNo = m_orderModel->text(row, "流水号").toLongLong();
    G.gPuchDocID = m_currentID;
    dateEdit->setText(m_orderModel->text(row, "日期"));
    managerCombo->setText(m_orderModel->text(row, "负责人"));
    supplierEdit->setText(m_orderModel->text(row, "供应商"));
    memoEdit->setText(m_orderModel->text(row, "备注"));
    loadLines();
}

void TfrmPuchAud::clearCurrent(bool emptyFields)
{
    m_currentID.clear();
    m_currentRowNo = 0;
    m_lineModel->clearRows();
    if (emptyFields) {
        supplierEdit->clear();
        dateEdit->clear();
        managerCombo->setText(QString());
        memoEdit->clear();
    }
}

void TfrmPuchAud::loadLines(const QString &positionRowNo)
{
    if (m_currentID.isEmpty()) {
        m_lineModel->clearRows();
        return;
    }
    DataSet ds(&db());
    try {
        m_orders.openLines(ds, m_currentID);
    } catch (const std::exception &e) {
        m_lineModel->clearRows();
        showError(this, e);
        return;
    }
    m_lineModel->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号"})
        linesGrid->setColumnHidden(m_lineModel->fieldIndex(QString::fromUtf8(hidden)), true);
    const int row = positionRowNo.isEmpty() ? -1 : m_lineModel->findRow("流水号", positionRowNo);
    if (row >= 0) {
        linesGrid->setCurrentIndex(m_lineModel->index(row, m_lineModel->fieldIndex("编号")));
        linesGrid->selectRow(row);
    }
}

void TfrmPuchAud::search() { reloadOrders(QString()); }

void TfrmPuchAud::DBGrid1CellClick(int row) { makeCurrent(row); }

void TfrmPuchAud::DBGrid2CellClick(int row)
{
    if (row >= 0 && row < m_lineModel->dataRowCount())
        G.gRepFit.RowNo = m_lineModel->text(row, "流水号");
}

void TfrmPuchAud::moveOrder(int delta)
{
    const QModelIndex i = ordersGrid->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < m_orderModel->dataRowCount())
        makeCurrent(row);
}

void TfrmPuchAud::fieldLeft(HeaderField field)
{
    if (m_currentID.isEmpty() || m_saving)
        return;
    m_saving = true;
    try {
        switch (field) {
        case HeaderField::Supplier:
            m_orders.saveField(m_currentID, OrderField::Supplier, supplierEdit->text());
            break;
        case HeaderField::Date:
            m_orders.saveField(m_currentID, OrderField::Date, dateEdit->text());
            dateEdit->setText(storedDate(dateEdit->text()).value_or(dateEdit->text()));
            break;
        case HeaderField::Manager:
            m_orders.saveField(m_currentID, OrderField::Manager, managerCombo->text());
            break;
        case HeaderField::Memo:
            m_orders.saveField(m_currentID, OrderField::Memo, memoEdit->text());
            break;
        }
    } catch (const std::exception &e) {
        m_saving = false;
        showError(this, e);
        return;
    }
    // The list shows what was stored; the other fields keep what the operator typed.
    const QString id = m_currentID, supplier = supplierEdit->text(), date = dateEdit->text(),
                  manager = managerCombo->text(), memo = memoEdit->text();
    reloadOrders(id);
    if (m_currentID == id) {
        supplierEdit->setText(supplier);
        dateEdit->setText(date);
        managerCombo->setText(manager);
        memoEdit->setText(memo);
    }
    m_saving = false;
}

bool TfrmPuchAud::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // The window losing the operator's attention, or a drop-down opening, is no leaving.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) {
            if (watched == supplierEdit)
                fieldLeft(HeaderField::Supplier);
            else if (watched == dateEdit)
                fieldLeft(HeaderField::Date);
            else if (watched == managerCombo)
                fieldLeft(HeaderField::Manager);
            else if (watched == memoEdit)
                fieldLeft(HeaderField::Memo);
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == searchEdit && enter) {
            search();
            return true;
        }
        if ((watched == managerCombo || watched == managerCombo->lineEdit()) && enter) {
            memoEdit->setFocus();
            return true;
        }
        if (watched == ordersGrid && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            moveOrder(key == Qt::Key_Down ? 1 : -1);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0 && watched == ordersGrid->viewport()) {
            moveOrder(dy < 0 ? 1 : -1);
            return true;
        }
        if (dy != 0 && watched == linesGrid->viewport()) {
            const QModelIndex i = linesGrid->currentIndex();
            const int row = (i.isValid() ? i.row() : -1) + (dy < 0 ? 1 : -1);
            if (row >= 0 && row < m_lineModel->dataRowCount()) {
                linesGrid->setCurrentIndex(m_lineModel->index(row, qMax(0, m_lineModel->fieldIndex("编号"))));
                linesGrid->selectRow(row);
                DBGrid2CellClick(row);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmPuchAud::onWindowMessage(int message)
{
    switch (message) {
    case WM_AUD_FIT_NEW:
    case WM_AUD_FIT_UPDATE:
    case WM_AUD_FIT_MDF:
        afterLineChange(message);
        break;
    case WM_DATE_CHOSEN:
        dateEdit->setText(G.gDateAndTime.Date);
        break;
    default:
        break;
    }
}

bool TfrmPuchAud::setField(FieldRole role, const QString &, const QString &value)
{
    if (role != FieldRole::Supplier)
        return false;
    supplierEdit->setText(value);
    return true;
}

void TfrmPuchAud::afterLineChange(int message)
{
    bool position = message == WM_AUD_FIT_MDF;
    if (message == WM_AUD_FIT_UPDATE)
        position = m_lastLineMessage == WM_AUD_FIT_MDF;
    else
        m_lastLineMessage = message;
    const QString id = m_currentID;
    try {
        m_orders.recomputeTotal(id);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    // The header fields keep what the operator has typed and not yet left.
    const QString supplier = supplierEdit->text(), date = dateEdit->text(), manager = managerCombo->text(),
                  memo = memoEdit->text();
    reloadOrders(id);
    if (m_currentID == id) {
        supplierEdit->setText(supplier);
        dateEdit->setText(date);
        managerCombo->setText(manager);
        memoEdit->setText(memo);
    }
    loadLines(position ? G.gRepFit.RowNo : QString());
}

void TfrmPuchAud::SpeedButtonnewClick()
{
    if (m_currentID.isEmpty())
        return;
    G.gAuditKind = 1;
    G.gPuchDocID = m_currentID;
    shenhexinjian(this);
}

void TfrmPuchAud::SpeedButtonMdfClick()
{
    const QModelIndex i = linesGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_lineModel->dataRowCount())
        return;
    G.gRepFit.RowNo = m_lineModel->text(i.row(), "流水号");
    G.gAuditKind = 1;
    shenhe(this);
}

void TfrmPuchAud::SpeedButtonDelClick()
{
    const QModelIndex i = linesGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_lineModel->dataRowCount())
        return;
    const qint64 rowNo = m_lineModel->text(i.row(), "流水号").toLongLong();
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("删除后将不能恢复你确定要继续吗?")))
        return;
    try {
        m_orders.deleteLine(m_currentID, rowNo);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    SendMessage(this, WM_AUD_FIT_UPDATE);
}

void TfrmPuchAud::SpeedButton1Click() { openModal(frmTime, true, this); }

void TfrmPuchAud::SpeedButton2Click() { openSupplierPicker(this, 9); }

void TfrmPuchAud::SpeedButton5Click()
{
    try {
        billNoEdit->setText(m_orders.ledger().numbers(purchaseBillNumbers()).propose());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (m_currentID.isEmpty())
        return;
    const QString id = m_currentID;
    std::optional<QString> billNo;
    try {
        PurchaseOrders::Pass p;
        p.wantedNo = billNoEdit->text();
        p.auditor = auditorCombo->text();
        p.manager = managerCombo->text();
        p.supplier = supplierEdit->text();
        p.memo = memoEdit->text();
        p.today = today();
        billNo = m_orders.pass(id, p);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!billNo) {
        // Another client passed or cancelled it first: only the list follows.
        reloadOrders(QString());
        return;
    }
    billNoEdit->setText(*billNo);
    if (printBox->isChecked())
        printStored(true, id);
    reloadOrders(QString());
    if (m_currentID.isEmpty())
        clearCurrent(true);
    notice(this, QStringLiteral("审核完毕,采购单通过"));
}

void TfrmPuchAud::SpeedButton6Click()
{
    if (m_currentID.isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    try {
        m_orders.cancel(m_currentRowNo);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    reloadOrders(QString());
}

void TfrmPuchAud::SpeedButton3Click()
{
    if (m_currentID.isEmpty())
        return;
    const QString id = m_currentID;
    printStored(false, id);
    reloadOrders(id);
}

void TfrmPuchAud::printStored(bool bill, const QString &id)
{
    const QString header = bill ? QStringLiteral("采购单") : QStringLiteral("采购订单");
    const QString lineTable = bill ? QStringLiteral("采购明细") : QStringLiteral("采购订单明细");
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong.frf");
    p.headBands = documentHeadBands();
    try {
        DataSet h(&db());
        h.setSql("select 单据编号,日期,供应商,备注,开票员,申请人,负责人 from " + header + " where ID = ?");
        h.addBindValue(id);
        h.open();
        auto text = [&](const char *f) { return h.isEmpty() ? QString() : h.fieldByName(QString::fromUtf8(f)).asString(); };
        p.set("Memo1", companyName(db()) + header);
        p.set("Memo2", QStringLiteral("供应商单位:"));
        p.set("Memo9", text("单据编号"));
        p.set("Memo5", text("日期"));
        p.set("Memo3", text("供应商"));
        p.set("Memo7", text("备注"));
        p.set("Memo28", signature(QStringLiteral("开票员:"), text("开票员")));
        p.set("Memo30", signature(QStringLiteral("申请人:"), text("申请人")));
        p.set("Memo31", signature(QStringLiteral("负责人:"), text("负责人")));
        const LineSums sums = storedLineSums(db(), lineTable, id);
        p.set("Memo26", sums.qty);
        p.set("Memo25", sums.auxQty);
        p.set("Memo27", sums.amount);
        p.lines = storedPrintLines(db(), lineTable, id);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
