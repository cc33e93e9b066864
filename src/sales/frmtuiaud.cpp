#include "sales/frmtuiaud.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/goodslines.h"
#include "goods/listmodel.h"
#include "report/engine/frreport.h"
#include "sales/saleslists.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace orv {

namespace {
AuditListWindow::Setup setup()
{
    AuditListWindow::Setup s;
    s.auditCaption = QStringLiteral("销售退货审核");
    s.list = salesReturnListConfig;
    s.searchItems = {QStringLiteral("按照单据编号查询"), QStringLiteral("按照退回单位查询"), QStringLiteral("按照联系人查询"),
                     QStringLiteral("按照联系电话查询"), QStringLiteral("按照负责人查询"), QStringLiteral("按照红冲操作员查询")};
    s.searchColumns = {QStringLiteral("单据编号"), QStringLiteral("退回单位"), QStringLiteral("联系人"),
                       QStringLiteral("联系电话"), QStringLiteral("负责人"),   QStringLiteral("红冲操作员")};
    s.fromName = QStringLiteral("DateTimePicker2");
    s.toName = QStringLiteral("DateTimePicker3");
    s.printCaption = QStringLiteral("销售退货单");
    return s;
}
} // namespace

TfrmTuiAud::TfrmTuiAud(QWidget *parent)
    : AuditListWindow(setup(), parent), m_returns(db())
{
    setObjectName("frmTuiAud");
    QWidget *page = m_auditPage;
    receivableEdit = amountEdit("Edit5", page);
    receivableEdit->setReadOnly(true);
    paidEdit = amountEdit("Edit8", page);
    onAccountEdit = amountEdit("Edit9", page);
    partnerEdit = lineEdit("Edit2", page);
    contactEdit = lineEdit("Edit3", page);
    phoneEdit = lineEdit("Edit4", page);
    addressEdit = lineEdit("Edit6", page);
    memoEdit = new QPlainTextEdit(page);
    memoEdit->setObjectName("Memo1");
    memoEdit->setMaximumHeight(90);
    auditorEdit = lineEdit("Edit7", page);
    auditDate = datePicker("DateTimePicker1", page);

    AuditFieldPanel panel(page);
    panel.add(QStringLiteral("应退款："), receivableEdit);
    panel.add(QStringLiteral("实退款："), paidEdit);
    panel.add(QStringLiteral("挂账金额："), onAccountEdit);
    panel.add(QStringLiteral("退回单位："), partnerEdit);
    panel.add(QStringLiteral("联系人："), contactEdit);
    panel.add(QStringLiteral("联系电话："), phoneEdit);
    panel.add(QStringLiteral("地址："), addressEdit);
    panel.add(QStringLiteral("备注："), memoEdit);
    panel.add(QStringLiteral("审核人："), auditorEdit);
    panel.add(QStringLiteral("审核日期："), auditDate);
    layOut(auditLineTab(page, QStringLiteral("销售退货明细"), linesGrid, {}), panel);

    // Each amount typed puts the rest of 应退款 into the other.
    connect(paidEdit, &QLineEdit::textEdited, this, [this] { followOnAccount(receivableEdit, paidEdit, onAccountEdit); });
    connect(onAccountEdit, &QLineEdit::textEdited, this,
            [this] { followOnAccount(receivableEdit, onAccountEdit, paidEdit); });
    chainOnEnter({receivableEdit, paidEdit, onAccountEdit, partnerEdit});

    m_audit->openDocuments = [this](DataSet &ds) { m_returns.openPending(ds, pendingSearch()); };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_returns.openLines(ds, id); };
    m_audit->showDocument = [this](int row) { showReturn(row); };
    saveOnLeave(partnerEdit, SalesReturnField::Partner);
    saveOnLeave(contactEdit, SalesReturnField::Contact);
    saveOnLeave(phoneEdit, SalesReturnField::Phone);
    saveOnLeave(addressEdit, SalesReturnField::Address);
    saveOnLeave(memoEdit, SalesReturnField::Memo);
    saveOnLeave(auditorEdit, SalesReturnField::Auditor);
    saveOnLeave(auditDate, SalesReturnField::AuditDate);
    saveOnLeave(receivableEdit, SalesReturnField::Receivable);
    saveOnLeave(paidEdit, SalesReturnField::Paid);
    saveOnLeave(onAccountEdit, SalesReturnField::OnAccount);
}

TfrmTuiAud::~TfrmTuiAud() = default;

// Leaving any field shows 0 in the empty amounts; only the field left is written, and only
// while the return is pending. The list is opened again either way.
void TfrmTuiAud::saveOnLeave(QWidget *field, SalesReturnField which)
{
    m_audit->saveOnLeave(field, [this, field, which](const QString &id) {
        for (QLineEdit *e : {receivableEdit, paidEdit, onAccountEdit})
            if (e->text().isEmpty())
                e->setText(QStringLiteral("0"));
        if (auto *e = qobject_cast<QLineEdit *>(field); e && (which == SalesReturnField::Receivable ||
                                                              which == SalesReturnField::Paid || which == SalesReturnField::OnAccount)) {
            if (const auto amount = readAmountField(this, e, which == SalesReturnField::Paid ? "实退款" : which == SalesReturnField::OnAccount ? "挂账金额" : "应退款"))
                m_returns.saveAmount(id, which, *amount);
        } else if (field == auditDate) {
            m_returns.saveText(id, which, auditDate->date().toString(Qt::ISODate));
        } else if (field == memoEdit) {
            m_returns.saveText(id, which, memoEdit->toPlainText());
        } else {
            m_returns.saveText(id, which, static_cast<QLineEdit *>(field)->text());
        }
    });
}

void TfrmTuiAud::showReturn(int row)
{
    partnerEdit->setText(m_documentModel->text(row, "退回单位"));
    contactEdit->setText(m_documentModel->text(row, "联系人"));
    phoneEdit->setText(m_documentModel->text(row, "联系电话"));
    addressEdit->setText(m_documentModel->text(row, "地址"));
    receivableEdit->setText(m_documentModel->text(row, "应退款"));
    paidEdit->setText(m_documentModel->text(row, "实退款"));
    onAccountEdit->setText(m_documentModel->text(row, "挂账金额"));
    memoEdit->setPlainText(m_documentModel->text(row, "备注"));
}

void TfrmTuiAud::SpeedButton5Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty()) {
        listPending();
        return;
    }
    if (paidEdit->text().isEmpty())
        paidEdit->setText(receivableEdit->text());
    const auto paid = readAmountField(this, paidEdit, "实退款");
    const auto onAccount = paid ? readAmountField(this, onAccountEdit, "挂账金额") : std::nullopt;
    if (!paid || !onAccount)
        return;
    bool approved = false;
    try {
        approved = m_returns.approve(id, *paid, *onAccount);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // Not pending any more (approved or cancelled by another client first): only the list follows.
    if (approved)
        notice(this, QStringLiteral("财务审核完毕"));
    listPending();
}

void TfrmTuiAud::SpeedButton3Click()
{
    cancelCurrent([this](qint64 rowNo) { return m_returns.cancel(rowNo); });
}

void TfrmTuiAud::SpeedButton4Click()
{
    printCurrent([](const QString &id) { return salesReturnPrint(db(), id); });
}

} // namespace orv
