#include "documents/auditdocuments.h"
#include "data/dataset.h"
#include "partners/partnerrules.h"
#include "documents/datesearch.h"
#include "app/appglobals.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
QString fieldText(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *m = qobject_cast<QPlainTextEdit *>(w))
        return m->toPlainText();
    return QString();
}

void setFieldText(QWidget *w, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        e->setText(text);
    } else if (auto *c = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker block(c);
        c->setEditText(text);
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(w)) {
        m->setPlainText(text);
    }
}

void hideKeys(QTableView *grid, const DataSetModel *model)
{
    for (const char *hidden : {"ID", "流水号"})
        grid->setColumnHidden(model->fieldIndex(QString::fromUtf8(hidden)), true);
}
} // namespace

AuditDocuments::AuditDocuments(QWidget *window, QTableView *documentGrid, DataSetModel *documentModel,
                               QTableView *lineGrid, DataSetModel *lineModel)
    : m_window(window), m_documentGrid(documentGrid), m_documentModel(documentModel), m_lineGrid(lineGrid),
      m_lineModel(lineModel)
{
    for (QWidget *w : {static_cast<QWidget *>(documentGrid), documentGrid->viewport(), lineGrid->viewport()})
        w->installEventFilter(this);
    QObject::connect(documentGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { makeCurrent(i.row()); });
    QObject::connect(lineGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { lineClicked(i.row()); });
}

AuditDocuments::~AuditDocuments() = default;

QString &AuditDocuments::documentIdGlobal() const { return auditKind == 1 ? G.gPuchDocID : G.gDocID; }

void AuditDocuments::reload(const QString &keepID)
{
    DataSet ds(&db());
    try {
        openDocuments(ds);
    } catch (const std::exception &e) {
        m_documentModel->clearRows();
        clearCurrent();
        showError(m_window, e);
        return;
    }
    m_documentModel->load(std::move(ds));
    hideKeys(m_documentGrid, m_documentModel);
    int row = keepID.isEmpty() ? -1 : m_documentModel->findRow("ID", keepID);
    if (row < 0 && m_documentModel->dataRowCount() > 0)
        row = 0;
    if (row < 0) {
        clearCurrent();
        return;
    }
    makeCurrent(row);
}

void AuditDocuments::makeCurrent(int row)
{
    if (row < 0 || row >= m_documentModel->dataRowCount())
        return;
    m_documentGrid->setCurrentIndex(m_documentModel->index(row, qMax(0, m_documentModel->fieldIndex("单据编号"))));
    m_documentGrid->selectRow(row);
    m_currentID = m_documentModel->text(row, "ID");
    m_currentRowNo = m_documentModel->text(row, "流水号").toLongLong();
    documentIdGlobal() = m_currentID;
    if (showDocument)
        showDocument(row);
    loadLines();
}

void AuditDocuments::clearCurrent()
{
    m_currentID.clear();
    m_currentRowNo = 0;
    m_lineModel->clearRows();
}

void AuditDocuments::loadLines(const QString &positionRowNo)
{
    if (m_currentID.isEmpty()) {
        m_lineModel->clearRows();
        return;
    }
    DataSet ds(&db());
    try {
        openLines(ds, m_currentID);
    } catch (const std::exception &e) {
        m_lineModel->clearRows();
        showError(m_window, e);
        return;
    }
    m_lineModel->load(std::move(ds));
    hideKeys(m_lineGrid, m_lineModel);
    const int row = positionRowNo.isEmpty() ? -1 : m_lineModel->findRow("流水号", positionRowNo);
    if (row >= 0) {
        m_lineGrid->setCurrentIndex(m_lineModel->index(row, m_lineModel->fieldIndex("编号")));
        m_lineGrid->selectRow(row);
    }
}

void AuditDocuments::moveCurrent(int delta)
{
    const QModelIndex i = m_documentGrid->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < m_documentModel->dataRowCount())
        makeCurrent(row);
}

void AuditDocuments::saveOnLeave(QWidget *field, std::function<void(const QString &)> save)
{
    m_saved.append({field, std::move(save)});
    field->installEventFilter(this);
}

void AuditDocuments::keepWhileReloading(QWidget *field) { m_kept.append(field); }

void AuditDocuments::reloadKeepingFields(const QString &id)
{
    QVector<QPair<QWidget *, QString>> typed;
    for (const SavedField &s : std::as_const(m_saved))
        typed.append({s.field, fieldText(s.field)});
    for (QWidget *w : std::as_const(m_kept))
        typed.append({w, fieldText(w)});
    reload(id);
    if (m_currentID == id)
        for (const auto &[field, text] : std::as_const(typed))
            setFieldText(field, text);
}

void AuditDocuments::leave(QWidget *field)
{
    if (m_currentID.isEmpty() || m_saving)
        return;
    const auto it = std::find_if(m_saved.cbegin(), m_saved.cend(), [&](const SavedField &s) { return s.field == field; });
    if (it == m_saved.cend())
        return;
    m_saving = true;
    try {
        it->save(m_currentID);
    } catch (const std::exception &e) {
        m_saving = false;
        showError(m_window, e);
        return;
    }
    // The list shows what was stored; the other fields keep what the operator typed.
    reloadKeepingFields(m_currentID);
    m_saving = false;
}

void AuditDocuments::selectLine(int row)
{
    m_lineGrid->setCurrentIndex(m_lineModel->index(row, qMax(0, m_lineModel->fieldIndex("编号"))));
    m_lineGrid->selectRow(row);
    lineClicked(row);
}

void AuditDocuments::lineClicked(int row)
{
    if (row >= 0 && row < m_lineModel->dataRowCount())
        G.gRepFit.RowNo = m_lineModel->text(row, "流水号");
}

void AuditDocuments::newLine()
{
    if (m_currentID.isEmpty())
        return;
    G.gAuditKind = auditKind;
    documentIdGlobal() = m_currentID;
    shenhexinjian(m_window);
}

void AuditDocuments::editLine()
{
    const QModelIndex i = m_lineGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_lineModel->dataRowCount())
        return;
    G.gRepFit.RowNo = m_lineModel->text(i.row(), "流水号");
    G.gAuditKind = auditKind;
    shenhe(m_window);
}

void AuditDocuments::deleteLine()
{
    const QModelIndex i = m_lineGrid->currentIndex();
    if (!i.isValid() || i.row() >= m_lineModel->dataRowCount())
        return;
    const qint64 rowNo = m_lineModel->text(i.row(), "流水号").toLongLong();
    if (!askYesNo(m_window, QStringLiteral("系统提示"), QStringLiteral("删除后将不能恢复你确定要继续吗?")))
        return;
    try {
        removeLine(m_currentID, rowNo);
    } catch (const std::exception &e) {
        showError(m_window, e);
        return;
    }
    SendMessage(m_window.data(), WM_AUD_FIT_UPDATE);
}

bool AuditDocuments::lineMessage(int message)
{
    if (message != WM_AUD_FIT_NEW && message != WM_AUD_FIT_UPDATE && message != WM_AUD_FIT_MDF)
        return false;
    // An update after an edit puts the edited line back; one after a new line does not.
    bool position = message == WM_AUD_FIT_MDF;
    if (message == WM_AUD_FIT_UPDATE)
        position = m_lastLineMessage == WM_AUD_FIT_MDF;
    else
        m_lastLineMessage = message;
    const QString id = m_currentID;
    try {
        if (recomputeTotal)
            recomputeTotal(id);
    } catch (const std::exception &e) {
        showError(m_window, e);
    }
    // The header fields keep what the operator has typed and not yet left.
    reloadKeepingFields(id);
    loadLines(position ? G.gRepFit.RowNo : QString());
    return true;
}

bool AuditDocuments::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut: {
        // The window losing the operator's attention, or a drop-down opening, is no leaving.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            if (auto *w = qobject_cast<QWidget *>(watched))
                leave(w);
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == m_documentGrid && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            moveCurrent(key == Qt::Key_Down ? 1 : -1);
            return true;
        }
        break;
    }
    case QEvent::Wheel: {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0 && watched == m_documentGrid->viewport()) {
            moveCurrent(dy < 0 ? 1 : -1);
            return true;
        }
        if (dy != 0 && watched == m_lineGrid->viewport()) {
            const QModelIndex i = m_lineGrid->currentIndex();
            const int row = (i.isValid() ? i.row() : -1) + (dy < 0 ? 1 : -1);
            if (row >= 0 && row < m_lineModel->dataRowCount())
                selectLine(row);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QTabWidget *auditLineTab(QWidget *window, const QString &caption, QTableView *lineGrid,
                         const QList<QWidget *> &buttons)
{
    auto *page = new QWidget(window);
    auto *pageLayout = new QVBoxLayout(page);
    auto *buttonRow = new QHBoxLayout;
    for (QWidget *b : buttons)
        buttonRow->addWidget(b);
    buttonRow->addStretch();
    pageLayout->addLayout(buttonRow);
    pageLayout->addWidget(lineGrid, 1);
    auto *tabs = new QTabWidget(window);
    tabs->addTab(page, caption);
    return tabs;
}

AuditFieldPanel::AuditFieldPanel(QWidget *w) : window(w), layout(new QGridLayout) {}

void AuditFieldPanel::add(const QString &caption, QWidget *field, QWidget *button)
{
    layout->addWidget(new QLabel(caption, window), row, 0);
    layout->addWidget(field, row, 1);
    if (button)
        layout->addWidget(button, row, 2);
    ++row;
}

void layOutAuditWindow(QWidget *window, QLayout *bar, QTableView *documentGrid, QTabWidget *lineTab,
                       AuditFieldPanel &panel, QWidget *passButton, QWidget *cancelButton)
{
    auto *passRow = new QHBoxLayout;
    passRow->addWidget(passButton);
    passRow->addWidget(cancelButton);
    panel.layout->addLayout(passRow, panel.row++, 1);
    panel.layout->setRowStretch(panel.row, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(documentGrid, 1);
    left->addWidget(lineTab, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(panel.layout);
    auto *main = new QVBoxLayout(window);
    main->addLayout(bar);
    main->addLayout(body, 1);
}

} // namespace orv
