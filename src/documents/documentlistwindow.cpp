#include "documents/documentlistwindow.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/pickers.h"
#include "report/engine/frreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
ReversalHandler &handlerSlot()
{
    static ReversalHandler h;
    return h;
}

const QString kShowAll = QStringLiteral("显示全部");

// Typing runs the search once the operator pauses, so a long list does not hold up the keys.
constexpr int kTypingPauseMs = 150;

// A button with its caption, or a glyph with the caption as a tooltip.
void label(QToolButton *b, const QString &caption, const QString &glyphTip, QStyle::StandardPixmap glyph)
{
    if (caption.isEmpty()) {
        b->setText(QString());
        b->setIcon(b->style()->standardIcon(glyph));
        b->setToolTip(glyphTip);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        b->setIcon(QIcon());
        b->setText(caption);
        b->setToolTip(QString());
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
}

// The model forgets hidden columns and widths when it is filled again: they are laid out anew.
void layColumns(QTableView *grid, const QList<ListColumn> &columns)
{
    for (int c = 0; c < columns.size(); ++c) {
        grid->setColumnHidden(c, columns[c].hidden);
        if (columns[c].width > 0)
            grid->setColumnWidth(c, columns[c].width);
    }
}

int firstShownColumn(const QList<ListColumn> &columns)
{
    for (int c = 0; c < columns.size(); ++c)
        if (!columns[c].hidden)
            return c;
    return 0;
}
} // namespace

void setReversalHandler(ReversalHandler handler) { handlerSlot() = std::move(handler); }

const ReversalHandler &reversalHandler() { return handlerSlot(); }

DocumentListWindow::DocumentListWindow(const DocumentListConfig &config, QWidget *parent)
    : QWidget(parent), m_list(db()), frReport1(std::make_unique<TfrReport>())
{
    m_mayDelete = G.privilegeOn(51);

    dateLabel = new QLabel(this);
    fromDate = new QDateEdit(this);
    toDate = new QDateEdit(this);
    for (QDateEdit *d : {fromDate, toDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    searchItems = new QComboBox(this);
    searchText = new QLineEdit(this);
    searchTimer = new QTimer(this);
    searchTimer->setSingleShot(true);
    searchTimer->setInterval(kTypingPauseMs);
    queryButton = toolButton(QString(), QStringLiteral("查询"), this);
    printButton = toolButton(QString(), QString(), this);
    lineExportButton = toolButton(QString(), QString(), this);
    listExportButton = toolButton(QString(), QStringLiteral("导出主表"), this);
    deleteButton = toolButton(QString(), QStringLiteral("删除"), this);
    reversalButton = toolButton(QString(), QStringLiteral("红字反冲"), this);
    documentsGrid = listGrid(QString(), &m_list.documents(), this);
    linesGrid = listGrid(QString(), &m_list.lines(), this);
    tabs = new QTabWidget(this);
    tabs->addTab(linesGrid, QString());

    bar = new QHBoxLayout;
    bar->addWidget(dateLabel);
    bar->addWidget(fromDate);
    bar->addWidget(new QLabel(QStringLiteral("----"), this));
    bar->addWidget(toDate);
    bar->addWidget(searchItems);
    bar->addWidget(searchText, 1);
    bar->addWidget(queryButton);
    bar->addStretch();
    for (QToolButton *b : {printButton, lineExportButton, listExportButton, deleteButton, reversalButton})
        bar->addWidget(b);
    auto *grids = new QVBoxLayout;
    grids->addWidget(documentsGrid, 3);
    grids->addWidget(tabs, 2);
    body = new QHBoxLayout;
    body->addLayout(grids, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addLayout(body, 1);
    resize(1100, 680);

    connect(searchText, &QLineEdit::textChanged, searchTimer, qOverload<>(&QTimer::start));
    connect(searchTimer, &QTimer::timeout, this, &DocumentListWindow::search);
    connect(queryButton, &QToolButton::clicked, this, &DocumentListWindow::search);
    connect(searchItems, &QComboBox::currentIndexChanged, this, &DocumentListWindow::searchItemChosen);
    connect(documentsGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { documentClicked(i.row()); });
    connect(printButton, &QToolButton::clicked, this, &DocumentListWindow::printCurrent);
    connect(deleteButton, &QToolButton::clicked, this, &DocumentListWindow::deleteCurrent);
    connect(reversalButton, &QToolButton::clicked, this, &DocumentListWindow::reverseCurrent);
    connect(listExportButton, &QToolButton::clicked, this, &DocumentListWindow::exportList);
    connect(lineExportButton, &QToolButton::clicked, this, &DocumentListWindow::exportLines);
    connect(&m_list.documents(), &QAbstractItemModel::modelReset, this,
            [this] { layColumns(documentsGrid, m_list.config().columns); });
    connect(&m_list.lines(), &QAbstractItemModel::modelReset, this,
            [this] { layColumns(linesGrid, m_list.config().lineColumns); });
    for (QObject *o : {static_cast<QObject *>(searchText), static_cast<QObject *>(documentsGrid),
                       static_cast<QObject *>(documentsGrid->viewport()), static_cast<QObject *>(linesGrid->viewport())})
        o->installEventFilter(this);

    m_list.setConfig(config);
    applyConfiguration();
}

DocumentListWindow::~DocumentListWindow() = default;

void DocumentListWindow::applyConfiguration()
{
    const DocumentListConfig &c = m_list.config();
    const ListControlNames &n = c.names;
    setWindowTitle(c.caption);
    fromDate->setObjectName(n.from);
    toDate->setObjectName(n.to);
    searchItems->setObjectName(n.searchItems);
    searchText->setObjectName(n.searchText);
    queryButton->setObjectName(n.query);
    printButton->setObjectName(n.print);
    lineExportButton->setObjectName(n.lineExport);
    listExportButton->setObjectName(n.listExport);
    deleteButton->setObjectName(n.remove);
    reversalButton->setObjectName(n.reversal);
    documentsGrid->setObjectName(n.documents);
    linesGrid->setObjectName(n.lines);

    dateLabel->setText(c.dateLabel);
    for (QWidget *w : {static_cast<QWidget *>(dateLabel), static_cast<QWidget *>(fromDate), static_cast<QWidget *>(toDate)})
        w->setVisible(!c.dateColumn.isEmpty());
    {
        const QSignalBlocker block(searchItems);
        const int item = searchItems->currentIndex();
        searchItems->clear();
        searchItems->addItem(kShowAll);
        for (const ListSearch &s : c.searches)
            searchItems->addItem(s.caption);
        searchItems->setCurrentIndex(item >= 0 && item < searchItems->count() ? item : 0);
    }
    label(printButton, c.printCaption, QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    printButton->setVisible(bool(c.print));
    label(lineExportButton, c.lineExportCaption, QStringLiteral("导出明细"), QStyle::SP_DialogSaveButton);
    lineExportButton->setVisible(c.lineExport);
    listExportButton->setVisible(c.listExport);
    deleteButton->setVisible(m_mayDelete && c.remove.enabled);
    reversalButton->setVisible(c.reversalKind != 0);
    tabs->setTabText(0, c.linesTab);
    tabs->setVisible(!c.lineTable.isEmpty());
    layColumns(documentsGrid, c.columns);
    layColumns(linesGrid, c.lineColumns);
}

void DocumentListWindow::setConfiguration(const DocumentListConfig &config)
{
    searchTimer->stop();
    m_list.setConfig(config);
    applyConfiguration();
    if (!m_shown)
        return;
    writeWindowStatus(config.caption);
    runSafely([this] { m_list.openAll(); });
    afterOpen();
}

void DocumentListWindow::setSidePanel(QWidget *panel)
{
    if (sidePanel)
        body->removeWidget(sidePanel);
    sidePanel = panel;
    if (panel)
        body->addWidget(panel);
}

void DocumentListWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void DocumentListWindow::formShow()
{
    writeWindowStatus(m_list.config().caption);
    const QDate today = Clock::localNow().date();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
    runSafely([this] { m_list.openAll(); });
    afterOpen();
    searchText->setFocus();
}

void DocumentListWindow::runSafely(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

int DocumentListWindow::currentRow() const
{
    const QModelIndex i = documentsGrid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void DocumentListWindow::setCurrentRow(QTableView *grid, int row)
{
    const auto *model = static_cast<const DocumentListModel *>(grid->model());
    if (row < 0 || row >= model->rowCount())
        return;
    grid->setCurrentIndex(model->index(row, firstShownColumn(model->columns())));
    grid->selectRow(row);
}

// The grid's cursor stands on the current document, else on the first row.
void DocumentListWindow::afterOpen()
{
    const int row = currentID().isEmpty() ? 0 : m_list.documents().findRow(QStringLiteral("ID"), currentID());
    setCurrentRow(documentsGrid, qMax(0, row));
}

void DocumentListWindow::reopenOn(const QString &id)
{
    runSafely([&] { m_list.openAll(id); });
    afterOpen();
}

void DocumentListWindow::search()
{
    searchTimer->stop();
    const ListFilter f{fromDate->date(), toDate->date(), searchItems->currentIndex(), searchText->text()};
    runSafely([&] { m_list.search(f); });
    afterOpen();
}

bool DocumentListWindow::searchPending() const { return searchTimer->isActive(); }

void DocumentListWindow::searchItemChosen(int item)
{
    if (item == 0)
        search();
}

void DocumentListWindow::documentClicked(int row)
{
    runSafely([&] { m_list.follow(row); });
}

void DocumentListWindow::documentKey(int delta)
{
    const int row = currentRow() + delta;
    if (row < 0 || row >= m_list.documents().rowCount())
        return;
    setCurrentRow(documentsGrid, row);
    runSafely([&] { m_list.follow(row); });
}

void DocumentListWindow::documentWheel(int delta)
{
    const int row = currentRow() + delta;
    if (row < 0 || row >= m_list.documents().rowCount())
        return;
    setCurrentRow(documentsGrid, row);
    runSafely([&] { m_list.select(row); });
}

void DocumentListWindow::lineWheel(int delta)
{
    const QModelIndex i = linesGrid->currentIndex();
    setCurrentRow(linesGrid, (i.isValid() ? i.row() : -1) + delta);
}

void DocumentListWindow::printCurrent()
{
    const DocumentListConfig &c = m_list.config();
    if (!c.print || !m_list.isDocument(currentRow()) || currentID().isEmpty())
        return;
    const QString id = currentID();
    DocumentPrint p;
    try {
        p = c.print(db(), id);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport1, p);
    if (c.reloadAfterPrint)
        reopenOn(id);
}

void DocumentListWindow::deleteCurrent()
{
    const DocumentListConfig &c = m_list.config();
    const int row = currentRow();
    if (!m_mayDelete || !c.remove.enabled || m_list.rowNo(row).isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), c.remove.question))
        return;
    try {
        m_list.remove(row);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    reopenOn(QString());
    if (!c.remove.doneMessage.isEmpty())
        notice(this, c.remove.doneMessage);
}

void DocumentListWindow::reverseCurrent()
{
    const DocumentListConfig &c = m_list.config();
    const int row = currentRow();
    if (c.reversalKind == 0 || m_list.rowNo(row).isEmpty())
        return;
    std::optional<bool> reversed;
    try {
        reversed = m_list.storedReversed(row);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!reversed) // deleted meanwhile
        return;
    if (*reversed) {
        notice(this, c.reversedText);
        return;
    }
    const ReversalHandler &reverse = reversalHandler();
    if (!reverse) {
        notice(this, QStringLiteral("红字反冲功能尚未提供"));
        return;
    }
    const DocumentListModel &m = m_list.documents();
    const ReversalRequest r{c.reversalKind, m.text(row, QStringLiteral("ID")), m_list.rowNo(row).toLongLong(),
                            m.text(row, c.remarkColumn)};
    G.gReverseKind = r.kind;
    G.gDocID = r.docID;
    G.gRepFit.RowNo = QString::number(r.rowNo);
    G.gReverseRemark = r.remark;
    reverse(this, r);
    // The list shows the reversal (its row red, its amounts as the reversal left them).
    reopenOn(currentID());
}

void DocumentListWindow::exportList()
{
    if (!m_list.config().listExport || !m_list.isDocument(currentRow()))
        return;
    if (ExcelExport::run(this, m_list.listSheet(), m_list.config().caption).isEmpty())
        return;
    // The export walked the list: its last row, the totals row, is the grid's current row; the
    // current document and its lines stay.
    setCurrentRow(documentsGrid, m_list.documents().rowCount() - 1);
}

void DocumentListWindow::exportLines()
{
    const DocumentListConfig &c = m_list.config();
    if (!c.lineExport || m_list.lines().rowCount() == 0)
        return;
    if (ExcelExport::run(this, m_list.lineSheet(), c.caption + c.linesTab).isEmpty())
        return;
    setCurrentRow(linesGrid, m_list.lines().rowCount() - 1);
}

bool DocumentListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == searchText && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            search();
            return true;
        }
        if (watched == documentsGrid && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            documentKey(key == Qt::Key_Down ? 1 : -1);
            return true;
        }
    } else if (event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0 && watched == documentsGrid->viewport()) {
            documentWheel(dy < 0 ? 1 : -1);
            return true;
        }
        if (dy != 0 && watched == linesGrid->viewport()) {
            lineWheel(dy < 0 ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv
