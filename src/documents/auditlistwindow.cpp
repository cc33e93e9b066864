#include "documents/auditlistwindow.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "documents/auditdocuments.h"
#include "documents/documentlistwindow.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"

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

AuditListWindow::AuditListWindow(const Setup &setup, QWidget *parent) : QWidget(parent), m_setup(setup)
{
    m_mode = G.gSaleListMode == 2 ? 2 : 1;
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

    m_listPage = new DocumentListWindow(listOf(setup), this);
    pages = new QStackedLayout(this);
    pages->addWidget(m_auditPage);
    pages->addWidget(m_listPage);
    resize(1100, 680);

    connect(searchEdit, &QLineEdit::textChanged, this, &AuditListWindow::search);
    connect(queryButton, &QToolButton::clicked, this, &AuditListWindow::search);
    connect(queryCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i == 0)
            search();
    });
    searchEdit->installEventFilter(this);
    m_listPage->installEventFilter(this);
    m_audit = std::make_unique<AuditDocuments>(this, documentsGrid, m_documentModel, linesGrid, m_lineModel);
    showMode(m_mode);
}

AuditListWindow::~AuditListWindow() = default;

void AuditListWindow::layOut(QTabWidget *lineTab, AuditFieldPanel &panel, QWidget *passButton, QWidget *cancelButton)
{
    QWidget *page = m_auditPage;
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
    writeWindowStatus(windowTitle());
    if (m_mode == 1) {
        listPending();
        searchEdit->setFocus();
    }
}

void AuditListWindow::showMode(int mode)
{
    m_mode = mode == 2 ? 2 : 1;
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
                if (!searchEdit->text().isEmpty())
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

} // namespace orv
