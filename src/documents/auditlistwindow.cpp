#include "documents/auditlistwindow.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "common/prompt.h"
#include "documents/auditdocuments.h"
#include "documents/documentlistwindow.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"
#include "report/engine/frreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedLayout>
#include <QTableView>
#include <QToolButton>

namespace orv {

namespace {
// The list of mode 2 keeps G.gDocID on its current document, as the audit does.
DocumentListConfig listOf(const AuditListWindow::Setup &s)
{
    DocumentListConfig c = s.list();
    c.currentChanged = [](const QString &id) { G.gDocID = id; };
    return c;
}
} // namespace

AuditListWindow::Setup AuditListWindow::Setup::auditOnly(const QString &caption, const QStringList &searchItems,
                                                        const QStringList &searchColumns, const QString &printCaption)
{
    Setup s;
    s.auditCaption = caption;
    s.searchItems = searchItems;
    s.searchColumns = searchColumns;
    s.fromName = QStringLiteral("DateTimePicker1");
    s.toName = QStringLiteral("DateTimePicker2");
    s.printCaption = printCaption;
    s.size = {1000, 640};
    s.enterSearchesEmpty = true;
    s.forgetsNoneListed = true;
    return s;
}

AuditListWindow::AuditListWindow(const Setup &setup, QWidget *parent)
    : QWidget(parent), m_report(std::make_unique<TfrReport>()), m_setup(setup)
{
    m_mode = setup.list && G.gSaleListMode == 2 ? 2 : 1;
    m_documentModel = new DataSetModel(this);
    m_lineModel = new DataSetModel(this);
    m_auditPage = new QWidget(this);
    QWidget *page = m_auditPage;
    fromDate = datePicker(setup.fromName, page);
    toDate = datePicker(setup.toName, page);
    queryCombo = new QComboBox(page);
    queryCombo->setObjectName("ComboBox1");
    queryCombo->addItems(QStringList{QStringLiteral("显示全部")} + setup.searchItems);
    searchEdit = lineEdit("Edit1", page);
    queryButton = toolButton("SpeedButton1", QStringLiteral("查询"), page);
    printButton = toolButton("SpeedButton4", setup.printCaption, page);
    documentsGrid = listGrid("DBGridsalequote", m_documentModel, page);
    linesGrid = listGrid("DBGridSaleFit", m_lineModel, page);

    pages = new QStackedLayout(this);
    pages->addWidget(m_auditPage);
    if (setup.list) {
        m_listPage = new DocumentListWindow(listOf(setup), this);
        pages->addWidget(m_listPage);
        m_listPage->installEventFilter(this);
    }
    resize(setup.size);

    connect(searchEdit, &QLineEdit::textChanged, this, &AuditListWindow::search);
    connect(queryButton, &QToolButton::clicked, this, &AuditListWindow::search);
    connect(queryCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i == 0)
            search();
    });
    searchEdit->installEventFilter(this);
    m_audit = std::make_unique<AuditDocuments>(this, documentsGrid, m_documentModel, linesGrid, m_lineModel);
    showMode(m_mode);
}

AuditListWindow::~AuditListWindow() = default;

void AuditListWindow::layOut(QTabWidget *lineTab, AuditFieldPanel &panel)
{
    QWidget *page = m_auditPage;
    passButton = toolButton("SpeedButton5", QStringLiteral("通过"), page);
    cancelButton = toolButton("SpeedButton3", QStringLiteral("取消"), page);
    connect(passButton, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
    connect(cancelButton, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(printButton, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("开单日期："), page));
    bar->addWidget(fromDate);
    bar->addWidget(new QLabel(QStringLiteral("----"), page));
    bar->addWidget(toDate);
    bar->addWidget(queryCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(queryButton);
    bar->addStretch();
    bar->addWidget(printButton);
    layOutAuditWindow(page, bar, documentsGrid, lineTab, panel, passButton, cancelButton);
}

const QString &AuditListWindow::currentID() const { return m_mode == 2 ? m_listPage->currentID() : m_audit->currentID(); }

void AuditListWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void AuditListWindow::formShow()
{
    const QDate today = Clock::localNow().date();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
    if (auditDate)
        auditDate->setDate(today);
    writeWindowStatus(windowTitle());
    if (m_mode == 1) {
        listPending();
        searchEdit->setFocus();
    }
}

void AuditListWindow::showMode(int mode)
{
    m_mode = mode == 2 && m_listPage ? 2 : 1;
    const QString caption = m_mode == 2 ? m_listPage->configuration().caption : m_setup.auditCaption;
    setWindowTitle(caption);
    pages->setCurrentIndex(m_mode - 1);
    if (!m_shown)
        return; // the first showing lists the mode's documents
    writeWindowStatus(caption);
    if (m_mode == 1)
        listPending(m_audit->currentID());
    else if (m_listOpened)
        m_listPage->setConfiguration(listOf(m_setup)); // shown before: listed afresh; else its first showing lists
}

PendingSearch AuditListWindow::pendingSearch() const
{
    PendingSearch s;
    s.ranged = m_searched;
    s.from = fromDate->date();
    s.to = toDate->date();
    s.column = m_setup.searchColumns.value(queryCombo->currentIndex() - 1);
    s.text = searchEdit->text();
    return s;
}

void AuditListWindow::afterReload()
{
    for (const QString &c : std::as_const(m_setup.hiddenColumns))
        documentsGrid->setColumnHidden(m_documentModel->fieldIndex(c), true);
    if (m_setup.forgetsNoneListed && m_audit->currentID().isEmpty())
        G.gDocID.clear();
    afterList();
}

void AuditListWindow::listPending(const QString &keepID)
{
    m_searched = false;
    m_audit->reload(keepID);
    afterReload();
}

void AuditListWindow::search()
{
    m_searched = true;
    m_audit->reload();
    afterReload();
}

void AuditListWindow::chainOnEnter(const QList<QWidget *> &fields)
{
    m_enterChain = fields;
    for (QWidget *w : fields)
        w->installEventFilter(this);
}

bool AuditListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listPage && event->type() == QEvent::Show)
        m_listOpened = true;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == searchEdit) {
                if (m_setup.enterSearchesEmpty || !searchEdit->text().isEmpty())
                    search();
                return true;
            }
            const int i = m_enterChain.indexOf(static_cast<QWidget *>(watched));
            if (i >= 0 && i + 1 < m_enterChain.size()) {
                m_enterChain[i + 1]->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QList<QWidget *> AuditListWindow::addLineButtons()
{
    newLineButton = toolButton("SpeedButton6", QStringLiteral("新建"), m_auditPage);
    editLineButton = toolButton("SpeedButton7", QStringLiteral("修改"), m_auditPage);
    deleteLineButton = toolButton("SpeedButton8", QStringLiteral("删除"), m_auditPage);
    connect(newLineButton, &QToolButton::clicked, this, &AuditListWindow::SpeedButton6Click);
    connect(editLineButton, &QToolButton::clicked, this, &AuditListWindow::SpeedButton7Click);
    connect(deleteLineButton, &QToolButton::clicked, this, &AuditListWindow::SpeedButton8Click);
    return {newLineButton, editLineButton, deleteLineButton};
}

void AuditListWindow::SpeedButton6Click() { m_audit->newLine(); }

void AuditListWindow::SpeedButton7Click() { m_audit->editLine(); }

void AuditListWindow::SpeedButton8Click() { m_audit->deleteLine(); }

void AuditListWindow::DBGridsalequoteCellClick(int row) { m_audit->makeCurrent(row); }

void AuditListWindow::DBGridSaleFitCellClick(int row) { m_audit->lineClicked(row); }

void AuditListWindow::addAuditorRows(AuditFieldPanel &panel, int staffMode)
{
    auditorEdit = lineEdit("Edit2", m_auditPage);
    auditorButton = toolButton("SpeedButton2", QString(), m_auditPage);
    auditorButton->setToolTip(QStringLiteral("选择审核人"));
    auditDate = datePicker("DateTimePicker3", m_auditPage);
    connect(auditorButton, &QToolButton::clicked, this, [this, staffMode] { openStaffPicker(this, staffMode); });
    panel.add(QStringLiteral("审核人："), auditorEdit, auditorButton);
    panel.add(QStringLiteral("审核日期："), auditDate);
}

bool AuditListWindow::takeAuditor(FieldRole role, const QString &which, const QString &value)
{
    if (!auditorEdit || role != FieldRole::Staff || which != QStringLiteral("审核人"))
        return false;
    auditorEdit->setText(value);
    return true;
}

bool AuditListWindow::lineMessage(int message)
{
    if (message == WM_AUD_FIT_NEW || message == WM_AUD_FIT_UPDATE || message == WM_AUD_FIT_MDF)
        m_searched = false;
    if (!m_audit->lineMessage(message))
        return false;
    afterReload();
    return true;
}

void AuditListWindow::settle(const DocumentApproval::Result &r, const QString &approved, const QString &notPending)
{
    switch (r.status) {
    case DocumentApproval::Status::NotPending:
        if (!notPending.isEmpty())
            notice(this, notPending);
        listPending();
        return;
    case DocumentApproval::Status::Short:
        notice(this, r.message);
        m_audit->loadLines();
        return;
    case DocumentApproval::Status::Approved:
        notice(this, approved);
        listPending();
        return;
    }
}

void AuditListWindow::cancelCurrent(const std::function<bool(qint64)> &cancel, const QString &notCancelled)
{
    if (m_audit->currentID().isEmpty() || m_audit->currentRowNo() == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    bool cancelled = false;
    try {
        cancelled = cancel(m_audit->currentRowNo());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!cancelled && !notCancelled.isEmpty())
        notice(this, notCancelled);
    listPending();
}

void AuditListWindow::printCurrent(const std::function<DocumentPrint(const QString &)> &build, bool keepFields)
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    try {
        m_lastPrint = printDocument(*m_report, build(id));
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!keepFields) {
        listPending(id);
        return;
    }
    m_searched = false;
    m_audit->reloadKeepingFields(id);
    afterReload();
}

} // namespace orv
