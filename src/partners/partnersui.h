#pragma once
// Small widget helpers shared by the partner and staff windows.
#include <QAbstractItemView>
#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

namespace orv::partnersui {

// A field is white and editable while a record is entered, grey and read-only otherwise.
template <typename Edit> void setLocked(Edit *edit, bool locked)
{
    edit->setReadOnly(locked);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, locked ? QColor(0xd4, 0xd0, 0xc8) : QColor(Qt::white));
    edit->setPalette(p);
}

inline QToolButton *flatButton(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setText(text);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

// A read-only grid that selects whole rows, one at a time.
inline QTableWidget *rowGrid(const QString &objectName, const QStringList &titles, QWidget *parent)
{
    auto *g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(objectName);
    g->setHorizontalHeaderLabels(titles);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setWordWrap(false);
    return g;
}

// Makes `row` of the grid current (nothing when out of range).
inline void setCurrentRow(QTableWidget *grid, int row)
{
    if (row >= 0 && row < grid->rowCount())
        grid->setCurrentCell(row, qMax(0, grid->currentColumn()));
}
// The same for a grid over any model.
void setCurrentRow(QAbstractItemView *grid, int row);

// Rows of a whole-row grid as the lists move them: turning the mouse wheel over the focused
// grid moves the current row one row down (towards the operator) or up instead of scrolling,
// and Home and End go to the first and the last row.
class RowMoves : public QObject {
public:
    explicit RowMoves(QAbstractItemView *grid, bool onlyWhenFocused = true);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_grid;
    bool m_onlyWhenFocused;
};

} // namespace orv::partnersui
