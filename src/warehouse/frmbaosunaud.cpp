#include "warehouse/frmbaosunaud.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"
#include "report/engine/frreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("货品报损审核");
const QStringList kQueryItems = {QStringLiteral("显示全部"), QStringLiteral("按照单据编号查询"),
                                 QStringLiteral("按照报损部门查询"), QStringLiteral("按照开单员查询")};
constexpr int kAuditorStaffMode = 33;
} // namespace

TfrmBaoSunAud::TfrmBaoSunAud(QWidget *parent)
    : QWidget(parent), m_reports(db()), frReport2(std::make_unique<TfrReport>())
{
    setObjectName("frmBaoSunAud");
    setWindowTitle(kCaption);
    m_reportModel = new DataSetModel(this);
    m_lineModel = new DataSetModel(this);

    fromDate = datePicker("DateTimePicker1", this);
    toDate = datePicker("DateTimePicker2", this);
    queryCombo = new QComboBox(this);
    queryCombo->setObjectName("ComboBox1");
    queryCombo->addItems(kQueryItems);
    searchEdit = lineEdit("Edit1", this);
    queryButton = toolButton("SpeedButton1", QStringLiteral("查询"), this);
    printButton = toolButton("SpeedButton4", QStringLiteral("货品报损单"), this);

    reportsGrid = listGrid("DBGridsalequote", m_reportModel, this);
    linesGrid = listGrid("DBGridSaleFit", m_lineModel, this);
    newLineButton = toolButton("SpeedButton6", QStringLiteral("新建"), this);
    editLineButton = toolButton("SpeedButton7", QStringLiteral("修改"), this);
    deleteLineButton = toolButton("SpeedButton8", QStringLiteral("删除"), this);

    auditorEdit = lineEdit("Edit2", this);
    auditorButton = toolButton("SpeedButton2", QString(), this);
    auditorButton->setToolTip(QStringLiteral("选择审核人"));
    auditorButton->setText(QStringLiteral("…"));
    auditDate = datePicker("DateTimePicker3", this);
    passButton = toolButton("SpeedButton5", QStringLiteral("通过"), this);
    cancelButton = toolButton("SpeedButton3", QStringLiteral("取消"), this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("开单日期："), this));
    bar->addWidget(fromDate);
    bar->addWidget(new QLabel(QStringLiteral("----"), this));
    bar->addWidget(toDate);
    bar->addWidget(queryCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(queryButton);
    bar->addStretch();
    bar->addWidget(printButton);

    QTabWidget *tabs = auditLineTab(this, QStringLiteral("报损明细"), linesGrid,
                                    {newLineButton, editLineButton, deleteLineButton});
    AuditFieldPanel panel(this);
    panel.add(QStringLiteral("审核人："), auditorEdit, auditorButton);
    panel.add(QStringLiteral("审核日期："), auditDate);
    layOutAuditWindow(this, bar, reportsGrid, tabs, panel, passButton, cancelButton);
    resize(1000, 640);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmBaoSunAud::search);
    connect(queryButton, &QToolButton::clicked, this, &TfrmBaoSunAud::search);
    connect(queryCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i == 0)
            search();
    });
    connect(printButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton4Click);
    connect(passButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton5Click);
    connect(cancelButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton3Click);
    connect(newLineButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton6Click);
    connect(editLineButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton7Click);
    connect(deleteLineButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton8Click);
    connect(auditorButton, &QToolButton::clicked, this, &TfrmBaoSunAud::SpeedButton2Click);
    searchEdit->installEventFilter(this);

    m_audit = std::make_unique<AuditDocuments>(this, reportsGrid, m_reportModel, linesGrid, m_lineModel);
    m_audit->auditKind = 4;
    m_audit->openDocuments = [this](DataSet &ds) {
        LossQuery q;
        q.ranged = m_searched;
        q.from = fromDate->date();
        q.to = toDate->date();
        q.by = LossSearch(qMax(0, queryCombo->currentIndex()));
        q.text = searchEdit->text();
        m_reports.openPending(ds, q);
    };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_reports.openLines(ds, id); };
    m_audit->showDocument = [](int) {};
    m_audit->recomputeTotal = [this](const QString &id) { m_reports.recomputeTotal(id); };
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_reports.deleteLine(id, rowNo); };
}

TfrmBaoSunAud::~TfrmBaoSunAud() = default;

const QString &TfrmBaoSunAud::currentReportID() const { return m_audit->currentID(); }

void TfrmBaoSunAud::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void TfrmBaoSunAud::formShow()
{
    const QDate today = Clock::localNow().date();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
    auditDate->setDate(today);
    listPending();
    searchEdit->setFocus();
    writeWindowStatus(kCaption);
}

// With no report listed, none is current.
void TfrmBaoSunAud::afterList()
{
    if (m_audit->currentID().isEmpty())
        G.gDocID.clear();
}

void TfrmBaoSunAud::listPending(const QString &keepID)
{
    m_searched = false;
    m_audit->reload(keepID);
    afterList();
}

void TfrmBaoSunAud::search()
{
    m_searched = true;
    m_audit->reload();
    afterList();
}

void TfrmBaoSunAud::DBGridsalequoteCellClick(int row) { m_audit->makeCurrent(row); }

void TfrmBaoSunAud::DBGridSaleFitCellClick(int row) { m_audit->lineClicked(row); }

bool TfrmBaoSunAud::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmBaoSunAud::onWindowMessage(int message)
{
    // After a line change every pending report is listed again, the current one kept.
    if (message == WM_AUD_FIT_NEW || message == WM_AUD_FIT_UPDATE || message == WM_AUD_FIT_MDF)
        m_searched = false;
    if (m_audit->lineMessage(message))
        afterList();
}

bool TfrmBaoSunAud::setField(FieldRole role, const QString &which, const QString &value)
{
    if (role != FieldRole::Staff || which != QStringLiteral("审核人"))
        return false;
    auditorEdit->setText(value);
    return true;
}

void TfrmBaoSunAud::SpeedButton2Click() { openStaffPicker(this, kAuditorStaffMode); }

void TfrmBaoSunAud::SpeedButton6Click() { m_audit->newLine(); }

void TfrmBaoSunAud::SpeedButton7Click() { m_audit->editLine(); }

void TfrmBaoSunAud::SpeedButton8Click() { m_audit->deleteLine(); }

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
    switch (r.status) {
    case DocumentApproval::Status::NotPending:
        notice(this, QStringLiteral("该报损单已审核或已取消"));
        listPending();
        return;
    case DocumentApproval::Status::Short:
        notice(this, r.message);
        m_audit->loadLines();
        return;
    case DocumentApproval::Status::Approved:
        notice(this, QStringLiteral("货品报损成功"));
        // The newest pending report becomes current.
        listPending();
        return;
    }
}

void TfrmBaoSunAud::SpeedButton3Click()
{
    if (m_audit->currentID().isEmpty() || m_audit->currentRowNo() == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    bool cancelled = false;
    try {
        cancelled = m_reports.cancel(m_audit->currentRowNo());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!cancelled)
        notice(this, QStringLiteral("该报损单已审核或已取消"));
    listPending();
}

void TfrmBaoSunAud::SpeedButton4Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    DocumentPrint p;
    try {
        p = m_reports.print(id);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport2, p);
    // Every pending report listed again on the printed one.
    listPending(id);
}

} // namespace orv
