#include "purchasing/frmjintuiaud.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/entrylines.h"
#include "goods/listmodel.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

namespace orv {

namespace {
AuditListWindow::Setup setup()
{
    return AuditListWindow::Setup::auditOnly(QStringLiteral("进货退货审核"),
                                             {QStringLiteral("按照单据编号查询"), QStringLiteral("按照供应商查询"), QStringLiteral("按照经办人查询")},
                                             {QStringLiteral("单据编号"), QStringLiteral("供应商"), QStringLiteral("经办人")}, QStringLiteral("进货退货单"));
}
constexpr int kAuditorStaffMode = 32;

// A box left empty counts as 0; anything else must be a number.
std::optional<CheckFailure> amountBox(QLineEdit *box, const char *name)
{
    if (box->text().isEmpty())
        box->setText(QStringLiteral("0"));
    return checkNumberField(box->text(), name, box->objectName().toUtf8().constData());
}
} // namespace

TfrmJinTuiAud::TfrmJinTuiAud(QWidget *parent) : AuditListWindow(setup(), parent), m_returns(db())
{
    setObjectName("frmJinTuiAud");
    QWidget *page = m_auditPage;
    QTabWidget *tabs = auditLineTab(page, QStringLiteral("进货退货明细"), linesGrid, addLineButtons());
    receivableEdit = amountEdit("Edit5", page);
    receivableEdit->setReadOnly(true);
    receivedEdit = amountEdit("Edit3", page);
    onAccountEdit = amountEdit("Edit4", page);
    AuditFieldPanel panel(page);
    panel.add(QStringLiteral("合计应收："), receivableEdit);
    panel.add(QStringLiteral("实际收款："), receivedEdit);
    panel.add(QStringLiteral("挂账金额："), onAccountEdit);
    addAuditorRows(panel, kAuditorStaffMode);
    layOut(tabs, panel);

    connect(receivedEdit, &QLineEdit::textEdited, this, &TfrmJinTuiAud::receivedEdited);
    chainOnEnter({receivableEdit, receivedEdit, onAccountEdit, auditorEdit});

    m_audit->auditKind = 3;
    m_audit->openDocuments = [this](DataSet &ds) { m_returns.openPending(ds, pendingSearch()); };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_returns.openLines(ds, id); };
    m_audit->showDocument = [this](int row) { showReturn(row); };
    m_audit->recomputeTotal = [this](const QString &id) { m_returns.recomputeTotals(id); };
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_returns.deleteLine(id, rowNo); };
    // A line change leaves the boxes as the operator has them: they change when a return is
    // selected again.
    for (QWidget *w : {receivableEdit, receivedEdit, onAccountEdit})
        m_audit->keepWhileReloading(w);
}

TfrmJinTuiAud::~TfrmJinTuiAud() = default;

void TfrmJinTuiAud::showReturn(int row)
{
    receivableEdit->setText(m_documentModel->text(row, "合计应收"));
    receivedEdit->setText(m_documentModel->text(row, "实际收款"));
    onAccountEdit->setText(m_documentModel->text(row, "挂账金额"));
}

// With no return listed the boxes are empty.
void TfrmJinTuiAud::afterList()
{
    if (m_audit->currentID().isEmpty())
        for (QLineEdit *e : {receivableEdit, receivedEdit, onAccountEdit})
            e->clear();
}

void TfrmJinTuiAud::onWindowMessage(int message) { lineMessage(message); }

bool TfrmJinTuiAud::setField(FieldRole role, const QString &which, const QString &value)
{
    return takeAuditor(role, which, value);
}

void TfrmJinTuiAud::receivedEdited() { followPaid(receivableEdit, receivedEdit, onAccountEdit); }

void TfrmJinTuiAud::SpeedButton5Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    for (const auto &f : {amountBox(receivedEdit, "实际收款"), amountBox(onAccountEdit, "挂账金额")})
        if (f) {
            notice(this, f->message);
            if (QWidget *w = findChild<QWidget *>(f->focus))
                w->setFocus();
            return;
        }
    PurchaseReturns::Approval a;
    a.auditor = auditorEdit->text();
    a.auditDate = auditDate->date().toString(Qt::ISODate);
    a.received = toNumber(receivedEdit->text());
    a.onAccount = toNumber(onAccountEdit->text());
    DocumentApproval::Result r;
    try {
        r = m_returns.approve(id, a);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // Approved or cancelled by another client first: no message, only the list follows.
    settle(r, QStringLiteral("采购退货审核成功货品成功出库"));
}

void TfrmJinTuiAud::SpeedButton3Click()
{
    // Cancelled now, or approved or cancelled by another client first: the list follows.
    cancelCurrent([this](qint64 rowNo) { return m_returns.cancel(rowNo); });
}

void TfrmJinTuiAud::SpeedButton4Click()
{
    // Every pending return listed again on the printed one; the boxes keep what they show.
    printCurrent([this](const QString &id) { return m_returns.print(id); }, true);
}

} // namespace orv
