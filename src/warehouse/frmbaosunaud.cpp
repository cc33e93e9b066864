#include "warehouse/frmbaosunaud.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

namespace orv {

namespace {
AuditListWindow::Setup setup()
{
    return AuditListWindow::Setup::auditOnly(QStringLiteral("货品报损审核"),
                                             {QStringLiteral("按照单据编号查询"), QStringLiteral("按照报损部门查询"), QStringLiteral("按照开单员查询")},
                                             {QStringLiteral("单据编号"), QStringLiteral("报损部门"), QStringLiteral("开单员")}, QStringLiteral("货品报损单"));
}
constexpr int kAuditorStaffMode = 33;
} // namespace

TfrmBaoSunAud::TfrmBaoSunAud(QWidget *parent) : AuditListWindow(setup(), parent), m_reports(db())
{
    setObjectName("frmBaoSunAud");
    QWidget *page = m_auditPage;
    QTabWidget *tabs = auditLineTab(page, QStringLiteral("报损明细"), linesGrid, addLineButtons());
    AuditFieldPanel panel(page);
    addAuditorRows(panel, kAuditorStaffMode);
    auditorButton->setText(QStringLiteral("…"));
    layOut(tabs, panel);

    m_audit->auditKind = 4;
    m_audit->openDocuments = [this](DataSet &ds) { m_reports.openPending(ds, pendingSearch()); };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_reports.openLines(ds, id); };
    // No recomputation after a line message: each line change has stored the total with it.
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_reports.deleteLine(id, rowNo); };
}

TfrmBaoSunAud::~TfrmBaoSunAud() = default;

void TfrmBaoSunAud::onWindowMessage(int message) { lineMessage(message); }

bool TfrmBaoSunAud::setField(FieldRole role, const QString &which, const QString &value)
{
    return takeAuditor(role, which, value);
}

void TfrmBaoSunAud::SpeedButton5Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    DocumentApproval::Result r;
    try {
        r = m_reports.approve(id, auditorEdit->text(), auditDate->date().toString(Qt::ISODate));
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // Approved: the newest pending report becomes current.
    settle(r, QStringLiteral("货品报损成功"), QStringLiteral("该报损单已审核或已取消"));
}

void TfrmBaoSunAud::SpeedButton3Click()
{
    cancelCurrent([this](qint64 rowNo) { return m_reports.cancel(rowNo); }, QStringLiteral("该报损单已审核或已取消"));
}

void TfrmBaoSunAud::SpeedButton4Click()
{
    printCurrent([this](const QString &id) { return m_reports.print(id); });
}

} // namespace orv
