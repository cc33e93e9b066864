#include "partners/partnersui.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace orv::partnersui {

RowMoves::RowMoves(QTableWidget *grid, bool onlyWhenFocused)
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
            setCurrentRow(m_grid, k->key() == Qt::Key_Home ? 0 : m_grid->rowCount() - 1);
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
        setCurrentRow(m_grid, m_grid->currentRow() + (dy < 0 ? 1 : -1));
    return true;
}

} // namespace orv::partnersui
