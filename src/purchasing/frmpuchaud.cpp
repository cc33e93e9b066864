#include "purchasing/frmpuchaud.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/pickers.h"
#include "goods/frmchoosegys.h"
#include "goods/listmodel.h"
#include "partners/staffcombo.h"
#include "purchasing/purchasingschema.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

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

    QTabWidget *tabs = auditLineTab(this, QStringLiteral("采购订单明细"), linesGrid,
                                    {newLineButton, editLineButton, deleteLineButton});
    AuditFieldPanel panel(this);
    panel.add(QStringLiteral("供应商："), supplierEdit, supplierButton);
    panel.add(QStringLiteral(" 日期："), dateEdit, dateButton);
    panel.add(QStringLiteral("负责人："), managerCombo);
    panel.add(QStringLiteral(" 备注："), memoEdit);
    panel.add(QStringLiteral("审核人："), auditorCombo);
    panel.layout->addWidget(printBox, panel.row++, 1);
    layOutAuditWindow(this, bar, ordersGrid, tabs, panel, passButton, cancelButton);

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

    for (QWidget *w : {static_cast<QWidget *>(searchEdit), static_cast<QWidget *>(managerCombo)})
        w->installEventFilter(this);
    if (managerCombo->lineEdit())
        managerCombo->lineEdit()->installEventFilter(this);

    m_audit = std::make_unique<AuditDocuments>(this, ordersGrid, m_orderModel, linesGrid, m_lineModel);
    m_audit->auditKind = 1;
    m_audit->openDocuments = [this](DataSet &ds) {
        m_orders.openPending(ds, OrderSearch(qMax(0, queryCombo->currentIndex())), searchEdit->text());
    };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_orders.openLines(ds, id); };
    m_audit->showDocument = [this](int row) { showOrder(row); };
    m_audit->recomputeTotal = [this](const QString &id) { m_orders.recomputeTotal(id); };
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_orders.deleteLine(id, rowNo); };
    m_audit->saveOnLeave(supplierEdit,
                         [this](const QString &id) { m_orders.saveField(id, OrderField::Supplier, supplierEdit->text()); });
    m_audit->saveOnLeave(dateEdit, [this](const QString &id) {
        m_orders.saveField(id, OrderField::Date, dateEdit->text());
        dateEdit->setText(storedDate(dateEdit->text()).value_or(dateEdit->text()));
    });
    m_audit->saveOnLeave(managerCombo,
                         [this](const QString &id) { m_orders.saveField(id, OrderField::Manager, managerCombo->text()); });
    m_audit->saveOnLeave(memoEdit, [this](const QString &id) { m_orders.saveField(id, OrderField::Memo, memoEdit->text()); });
}

TfrmPuchAud::~TfrmPuchAud() = default;

const QString &TfrmPuchAud::currentOrderID() const { return m_audit->currentID(); }

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
    m_audit->reload();
    searchEdit->setFocus();
}

void TfrmPuchAud::showOrder(int row)
{
    dateEdit->setText(m_orderModel->text(row, "日期"));
    managerCombo->setText(m_orderModel->text(row, "负责人"));
    supplierEdit->setText(m_orderModel->text(row, "供应商"));
    memoEdit->setText(m_orderModel->text(row, "备注"));
}

void TfrmPuchAud::emptyFields()
{
    supplierEdit->clear();
    dateEdit->clear();
    managerCombo->setText(QString());
    memoEdit->clear();
}

void TfrmPuchAud::search() { m_audit->reload(); }

void TfrmPuchAud::DBGrid1CellClick(int row) { m_audit->makeCurrent(row); }

void TfrmPuchAud::DBGrid2CellClick(int row) { m_audit->lineClicked(row); }

void TfrmPuchAud::fieldLeft(HeaderField field)
{
    QWidget *const fields[] = {supplierEdit, dateEdit, managerCombo, memoEdit};
    m_audit->leave(fields[int(field)]);
}

bool TfrmPuchAud::eventFilter(QObject *watched, QEvent *event)
{
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
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmPuchAud::onWindowMessage(int message)
{
    if (m_audit->lineMessage(message))
        return;
    if (message == WM_DATE_CHOSEN)
        dateEdit->setText(G.gDateAndTime.Date);
}

bool TfrmPuchAud::setField(FieldRole role, const QString &, const QString &value)
{
    if (role != FieldRole::Supplier)
        return false;
    supplierEdit->setText(value);
    return true;
}

void TfrmPuchAud::SpeedButtonnewClick() { m_audit->newLine(); }

void TfrmPuchAud::SpeedButtonMdfClick() { m_audit->editLine(); }

void TfrmPuchAud::SpeedButtonDelClick() { m_audit->deleteLine(); }

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
    if (m_audit->currentID().isEmpty())
        return;
    const QString id = m_audit->currentID();
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
        m_audit->reload();
        return;
    }
    billNoEdit->setText(*billNo);
    if (printBox->isChecked())
        printStored(true, id);
    m_audit->reload();
    if (m_audit->currentID().isEmpty())
        emptyFields();
    notice(this, QStringLiteral("审核完毕,采购单通过"));
}

void TfrmPuchAud::SpeedButton6Click()
{
    if (m_audit->currentID().isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    try {
        m_orders.cancel(m_audit->currentRowNo());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_audit->reload();
}

void TfrmPuchAud::SpeedButton3Click()
{
    if (m_audit->currentID().isEmpty())
        return;
    const QString id = m_audit->currentID();
    printStored(false, id);
    m_audit->reload(id);
}

void TfrmPuchAud::printStored(bool bill, const QString &id)
{
    const QString header = bill ? QStringLiteral("采购单") : QStringLiteral("采购订单");
    const QString lineTable = bill ? QStringLiteral("采购明细") : QStringLiteral("采购订单明细");
    DocumentPrint p;
    try {
        p = storedPrint(db(), {.templateName = QStringLiteral("tongyong.frf"),
                               .title = header,
                               .companyFromDatabase = true,
                               .header = header,
                               .lines = lineTable,
                               .partnerCaption = QStringLiteral("供应商单位:"),
                               .signatures = {{"Memo28", "开票员:", "开票员"},
                                              {"Memo30", "申请人:", "申请人"},
                                              {"Memo31", "负责人:", "负责人"}}},
                        id);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
