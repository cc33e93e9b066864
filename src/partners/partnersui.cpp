#include "partners/partnersui.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace orv::partnersui {

void setCurrentRow(QAbstractItemView *grid, int row)
{
    const QAbstractItemModel *m = grid->model();
    if (m && row >= 0 && row < m->rowCount())
        grid->setCurrentIndex(m->index(row, qMax(0, grid->currentIndex().column())));
}

RowMoves::RowMoves(QAbstractItemView *grid, bool onlyWhenFocused)
    : QObject(grid), m_grid(grid), m_onlyWhenFocused(onlyWhenFocused)
{
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

bool RowMoves::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Home || k->key() == Qt::Key_End) {
            setCurrentRow(m_grid, k->key() == Qt::Key_Home ? 0 : m_grid->model()->rowCount() - 1);
            return true;
        }
        return false;
    }
    if (watched == m_grid)
        return false;
    if (event->type() != QEvent::Wheel || (m_onlyWhenFocused && !m_grid->hasFocus()))
        return QObject::eventFilter(watched, event);
    const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
    if (dy != 0)
        setCurrentRow(m_grid, m_grid->currentIndex().row() + (dy < 0 ? 1 : -1));
    return true;
}

} // namespace orv::partnersui
