#pragma once
// Keyboard order of an entry dialog's fields: Enter, Down and Right move to the next field,
// Up and Left to the previous one. A field may run an action on Enter first (the pickers
// beside the list fields), and the last field may hand Enter to the save button.
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace orv {

class FieldOrder : public QObject {
public:
    FieldOrder(QWidget *window, const QList<QWidget *> &fields);

    // Enter in `field` runs `action` before the focus moves on.
    void onEnter(QWidget *field, std::function<void()> action);
    // Enter, Down or Right in the last field runs `action` instead of moving on.
    void afterLast(std::function<void()> action) { m_afterLast = std::move(action); }
    // Up and Left in `field` go to `previous` rather than the field before it.
    void previousOf(QWidget *field, QWidget *previous) { m_previous.insert(field, previous); }

    QWidget *next(QWidget *field) const;
    QWidget *previous(QWidget *field) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QWidget>> m_fields;
    QHash<QWidget *, std::function<void()>> m_enter;
    QHash<QWidget *, QWidget *> m_previous;
    std::function<void()> m_afterLast;
};

} // namespace orv
