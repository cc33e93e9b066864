#include "goods/fieldorder.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

namespace orv {

FieldOrder::FieldOrder(QWidget *window, const QList<QWidget *> &fields) : QObject(window)
{
    for (QWidget *f : fields) {
        m_fields << f;
        f->installEventFilter(this);
    }
}

void FieldOrder::onEnter(QWidget *field, std::function<void()> action) { m_enter.insert(field, std::move(action)); }

QWidget *FieldOrder::next(QWidget *field) const
{
    for (int i = 0; i + 1 < m_fields.size(); ++i)
        if (m_fields[i] == field)
            return m_fields[i + 1];
    return nullptr;
}

QWidget *FieldOrder::previous(QWidget *field) const
{
    if (QWidget *p = m_previous.value(field))
        return p;
    for (int i = 1; i < m_fields.size(); ++i)
        if (m_fields[i] == field)
            return m_fields[i - 1];
    return nullptr;
}

bool FieldOrder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field)
        return false;
    // An open drop-down list keeps its own keys.
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->view() && combo->view()->isVisible())
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter || key == Qt::Key_Down || key == Qt::Key_Right) {
        if (enter)
            if (auto action = m_enter.value(field))
                action();
        QWidget *n = next(field);
        if (!n && m_afterLast) {
            m_afterLast();
            return true;
        }
        if (n)
            n->setFocus();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Left) {
        if (QWidget *p = previous(field))
            p->setFocus();
        return true;
    }
    return false;
}

} // namespace orv
