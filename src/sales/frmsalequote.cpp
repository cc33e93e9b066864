#include "sales/frmsalequote.h"
#include "app/windowing.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/goodslines.h"
#include "goods/listmodel.h"
#include "report/engine/frreport.h"
#include "sales/saleslists.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolButton>

namespace orv {

namespace {
AuditListWindow::Setup setup()
{
    AuditListWindow::Setup s;
    s.auditCaption = QStringLiteral("销售订单审核");
    s.list = salesOrderListConfig;
    s.searchItems = {QStringLiteral("按照单据编号查询"), QStringLiteral("按照购买单位查询"), QStringLiteral("按照联系人查询"),
                     QStringLiteral("按照联系电话查询"), QStringLiteral("按照经办人查询")};
    s.searchColumns = {QStringLiteral("单据编号"), QStringLiteral("购买单位"), QStringLiteral("联系人"),
                       QStringLiteral("联系电话"), QStringLiteral("经办人")};
    s.fromName = QStringLiteral("DateTimePicker1");
    s.toName = QStringLiteral("DateTimePicker2");
    s.printCaption = QStringLiteral("销售订单");
    s.hiddenColumns = {QStringLiteral("传真")};
    return s;
}
} // namespace

TfrmSaleQuote::TfrmSaleQuote(QWidget *parent)
    : AuditListWindow(setup(), parent), m_orders(db())
{
    setObjectName("frmSaleQuote");
    QWidget *page = m_auditPage;
    const QList<QWidget *> lineButtons = addLineButtons();
    receivableEdit = amountEdit("Edit7", page);
    receivableEdit->setReadOnly(true);
    receivedEdit = amountEdit("Edit8", page);
    onAccountEdit = amountEdit("Edit9", page);
    buyerEdit = lineEdit("Edit2", page);
    contactEdit = lineEdit("Edit3", page);
    phoneEdit = lineEdit("Edit4", page);
    faxEdit = lineEdit("Edit5", page);
    addressEdit = lineEdit("Edit6", page);
    memoEdit = new QPlainTextEdit(page);
    memoEdit->setObjectName("Memo1");
    memoEdit->setMaximumHeight(90);
    printBillBox = new QCheckBox(QStringLiteral("打印销售单"), page);
    printBillBox->setObjectName("CheckBox1");
    billNumberEdit = lineEdit("No", page);
    billNumberEdit->hide();

    AuditFieldPanel panel(page);
    panel.add(QStringLiteral("合计应收："), receivableEdit);
    panel.add(QStringLiteral("实际收款："), receivedEdit);
    panel.add(QStringLiteral("挂账金额："), onAccountEdit);
    panel.add(QStringLiteral("购买单位："), buyerEdit);
    panel.add(QStringLiteral("  联系人："), contactEdit);
    panel.add(QStringLiteral("联系电话："), phoneEdit);
    panel.add(QStringLiteral("    地址："), addressEdit);
    panel.add(QStringLiteral("备注："), memoEdit);
    panel.add(QString(), printBillBox);
    layOut(auditLineTab(page, QStringLiteral("销售订单明细"), linesGrid, lineButtons), panel);
    faxEdit->hide(); // never shown nor saved: no window writes 传真

    connect(receivedEdit, &QLineEdit::textEdited, this,
            [this] { followPaid(receivableEdit, receivedEdit, onAccountEdit); });
    connect(onAccountEdit, &QLineEdit::textEdited, this,
            [this] { followOnAccount(receivableEdit, onAccountEdit, receivedEdit); });
    chainOnEnter({receivableEdit, receivedEdit, onAccountEdit, buyerEdit});

    m_audit->auditKind = 2;
    m_audit->openDocuments = [this](DataSet &ds) { m_orders.openPending(ds, pendingSearch()); };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_orders.openLines(ds, id); };
    m_audit->showDocument = [this](int row) { showOrder(row); };
    m_audit->recomputeTotal = [this](const QString &id) { m_orders.recomputeTotals(id); };
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_orders.deleteLine(id, rowNo); };
    saveTextOnLeave(buyerEdit, SalesOrderField::Buyer);
    saveTextOnLeave(contactEdit, SalesOrderField::Contact);
    saveTextOnLeave(phoneEdit, SalesOrderField::Phone);
    saveTextOnLeave(addressEdit, SalesOrderField::Address);
    saveTextOnLeave(memoEdit, SalesOrderField::Memo);
    saveAmountOnLeave(receivableEdit, SalesOrderField::Receivable, "合计应收");
    saveAmountOnLeave(receivedEdit, SalesOrderField::Received, "实际收款");
    saveAmountOnLeave(onAccountEdit, SalesOrderField::OnAccount, "挂账金额");
}

TfrmSaleQuote::~TfrmSaleQuote() = default;

// A field saved on leaving it, only while the order is pending; the list is opened again either way.
void TfrmSaleQuote::saveTextOnLeave(QWidget *field, SalesOrderField which)
{
    m_audit->saveOnLeave(field, [this, field, which](const QString &id) {
        m_keepSelected = true;
        const QString text = field == memoEdit ? memoEdit->toPlainText() : static_cast<QLineEdit *>(field)->text();
        m_orders.saveText(id, which, text);
    });
}

void TfrmSaleQuote::saveAmountOnLeave(QLineEdit *field, SalesOrderField which, const char *name)
{
    m_audit->saveOnLeave(field, [this, field, which, name](const QString &id) {
        m_keepSelected = true;
        if (const auto amount = readAmountField(this, field, name))
            m_orders.saveAmount(id, which, *amount);
    });
}

// The partner of the selected order, as the approval's voucher names it.
void TfrmSaleQuote::takeSelected(int row)
{
    m_selectedID = m_documentModel->text(row, "ID");
    m_selected.partner = m_documentModel->text(row, "购买单位");
    m_selected.partnerCode = m_documentModel->text(row, "单位编号");
    m_selected.contact = m_documentModel->text(row, "联系人");
    m_selected.phone = m_documentModel->text(row, "联系电话");
    m_selected.department = m_documentModel->text(row, "销售单位");
}

void TfrmSaleQuote::showOrder(int row)
{
    const bool keep = m_keepSelected && m_documentModel->text(row, "ID") == m_selectedID;
    m_keepSelected = false;
    if (!keep)
        takeSelected(row);
    buyerEdit->setText(m_documentModel->text(row, "购买单位"));
    contactEdit->setText(m_documentModel->text(row, "联系人"));
    phoneEdit->setText(m_documentModel->text(row, "联系电话"));
    faxEdit->setText(m_documentModel->text(row, "传真"));
    addressEdit->setText(m_documentModel->text(row, "地址"));
    receivableEdit->setText(m_documentModel->text(row, "应收款"));
    receivedEdit->setText(m_documentModel->text(row, "实收款"));
    onAccountEdit->setText(m_documentModel->text(row, "挂账金额"));
    memoEdit->setPlainText(m_documentModel->text(row, "备注"));
}

void TfrmSaleQuote::onWindowMessage(int message)
{
    if (!lineMessage(message))
        return;
    // A line change set the amounts from the lines: the fields show them, the partner is taken again.
    const int row = m_documentModel->findRow("ID", m_audit->currentID());
    if (row < 0)
        return;
    takeSelected(row);
    receivableEdit->setText(m_documentModel->text(row, "应收款"));
    receivedEdit->setText(m_documentModel->text(row, "实收款"));
    onAccountEdit->setText(m_documentModel->text(row, "挂账金额"));
}

void TfrmSaleQuote::SpeedButton5Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty()) {
        listPending();
        return;
    }
    const auto onAccount = readAmountField(this, onAccountEdit, "挂账金额");
    if (!onAccount) {
        onAccountEdit->setFocus();
        return;
    }
    SalesOrders::Approval a = m_selected;
    a.remark = memoEdit->toPlainText();
    a.onAccount = *onAccount;
    SalesOrders::Approved done;
    try {
        done = m_orders.approve(id, a);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    switch (done.result.status) {
    case DocumentApproval::Status::NotPending:
        // Approved or cancelled by another client first: only the list follows.
        listPending();
        return;
    case DocumentApproval::Status::Short:
        notice(this, done.result.message);
        m_audit->loadLines();
        return;
    case DocumentApproval::Status::Approved:
        break;
    }
    billNumberEdit->setText(done.billNumber);
    notice(this, QStringLiteral("审核成功"));
    if (printBillBox->isChecked()) {
        try {
            m_lastPrint = printDocument(*m_report, salesBillPrint(db(), id));
        } catch (const std::exception &e) {
            showError(this, e);
        }
    }
    listPending(id);
}

void TfrmSaleQuote::SpeedButton3Click()
{
    const QModelIndex current = documentsGrid->currentIndex();
    if (!current.isValid() || m_audit->currentRowNo() == 0)
        return;
    // An order without 实收款 was never priced by its entry: it is not offered for cancelling.
    if (m_documentModel->text(current.row(), "实收款").isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    try {
        m_orders.cancel(m_documentModel->text(current.row(), "流水号").toLongLong());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // Cancelled now, or settled by another client first: the list follows.
    listPending();
}

void TfrmSaleQuote::SpeedButton4Click()
{
    printCurrent([](const QString &id) { return salesOrderPrint(db(), id); });
}

} // namespace orv
