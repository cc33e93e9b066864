#include "documents/entrykeys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace orv {

bool EntryKeys::isForward(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Right;
}

bool EntryKeys::isBack(int key) { return key == Qt::Key_Left || key == Qt::Key_Up; }

void EntryKeys::watch(QWidget *field)
{
    field->installEventFilter(this);
    // An editable drop-down hands its keys to its line edit first.
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit()) {
        combo->lineEdit()->installEventFilter(this);
        m_handlers.insert(combo->lineEdit(), m_handlers.value(field));
    }
}

void EntryKeys::chain(QWidget *field, QWidget *next, QWidget *prev, std::function<void()> beforeNext)
{
    QPointer<QWidget> n(next), p(prev);
    m_handlers.insert(field, [n, p, beforeNext](int key) {
        if (isForward(key)) {
            if (beforeNext)
                beforeNext();
            if (n)
                n->setFocus();
            return true;
        }
        if (isBack(key)) {
            if (p)
                p->setFocus();
            return true;
        }
        return false;
    });
    watch(field);
}

void EntryKeys::custom(QWidget *field, std::function<bool(int)> handler)
{
    m_handlers.insert(field, std::move(handler));
    watch(field);
}

void EntryKeys::codeEntry(QWidget *field, std::function<void()> enter, QWidget *next, QWidget *back)
{
    QPointer<QWidget> b(back);
    codeEntry(field, std::move(enter), next, [b]() -> QWidget * { return b; });
}

void EntryKeys::codeEntry(QWidget *field, std::function<void()> enter, QWidget *next,
                          std::function<QWidget *()> back)
{
    QPointer<QWidget> n(next);
    custom(field, [enter = std::move(enter), n, back = std::move(back)](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enter();
        } else if (key == Qt::Key_Down || key == Qt::Key_Right) {
            if (n)
                n->setFocus();
        } else if (isBack(key)) {
            if (QWidget *b = back())
                b->setFocus();
        } else {
            return false;
        }
        return true;
    });
}

bool EntryKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto it = m_handlers.constFind(watched);
        if (it != m_handlers.constEnd() && it.value()) {
            auto *k = static_cast<QKeyEvent *>(event);
            if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
                return false;
            // The handler may close the window: keep a copy while it runs.
            const auto handler = it.value();
            return handler(k->key());
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orv
