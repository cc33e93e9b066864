#include "admin/adminui.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QWheelEvent>

namespace orv::adminui {

QToolButton *flatButton(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setText(text);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return b;
}

void setEditable(QLineEdit *edit, bool editable)
{
    edit->setReadOnly(!editable);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, editable ? QColor(Qt::white) : edit->palette().color(QPalette::Button));
    edit->setPalette(p);
}

QTableWidget *listGrid(QWidget *parent, const QString &objectName, const QStringList &titles)
{
    auto *g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(objectName);
    g->setHorizontalHeaderLabels(titles);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

namespace {
int firstVisibleColumn(const QTableWidget *g)
{
    for (int c = 0; c < g->columnCount(); ++c)
        if (!g->isColumnHidden(c))
            return c;
    return 0;
}

class WheelRows : public QObject {
public:
    explicit WheelRows(QTableWidget *grid) : QObject(grid), m_grid(grid) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::Wheel || !m_grid->hasFocus())
            return false;
        const int dy = static_cast<QWheelEvent *>(e)->angleDelta().y();
        if (dy == 0)
            return false;
        // Turned towards the operator (negative delta): one row down.
        const int row = m_grid->currentRow() + (dy < 0 ? 1 : -1);
        if (row >= 0 && row < m_grid->rowCount())
            m_grid->setCurrentCell(row, firstVisibleColumn(m_grid));
        return true;
    }

private:
    QTableWidget *m_grid;
};
} // namespace

void wheelMovesCurrentRow(QTableWidget *grid)
{
    auto *f = new WheelRows(grid);
    grid->installEventFilter(f);
    grid->viewport()->installEventFilter(f);
}

QString cellText(const QTableWidget *grid, int row, int column)
{
    if (row < 0 || row >= grid->rowCount())
        return QString();
    const QTableWidgetItem *it = grid->item(row, column);
    return it ? it->text() : QString();
}

} // namespace orv::adminui
