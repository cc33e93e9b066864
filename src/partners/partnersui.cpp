#include "partners/partnersui.h"

#include <QWheelEvent>

namespace orv::partnersui {

WheelMovesRow::WheelMovesRow(QTableWidget *grid, bool onlyWhenFocused)
    : QObject(grid), m_grid(grid), m_onlyWhenFocused(onlyWhenFocused)
{
    grid->viewport()->installEventFilter(this);
}

bool WheelMovesRow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || (m_onlyWhenFocused && !m_grid->hasFocus()))
        return QObject::eventFilter(watched, event);
    const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
    if (dy != 0)
        setCurrentRow(m_grid, m_grid->currentRow() + (dy < 0 ? 1 : -1));
    return true;
}

} // namespace orv::partnersui
