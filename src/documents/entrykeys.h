#pragma once
// The keys of an entry window's fields: Enter, Down and Right move forward along the window's
// chain (a staff, supplier, department or date field first opens its picker), Left and Up move
// back. Typed characters never move the focus. Fields with their own keys take a handler.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace orv {

class EntryKeys : public QObject {
public:
    explicit EntryKeys(QObject *parent) : QObject(parent) {}

    // Forward: `beforeNext` (a picker), then the focus to `next`; back: the focus to `prev`.
    // Either target may be null (no move that way).
    void chain(QWidget *field, QWidget *next, QWidget *prev, std::function<void()> beforeNext = {});
    // A field that decides itself: the handler gets the key and says whether it took it.
    void custom(QWidget *field, std::function<bool(int key)> handler);
    // A code entry: Enter runs `enter`; Down and Right go on to `next`; back goes to `back`.
    void codeEntry(QWidget *field, std::function<void()> enter, QWidget *next, QWidget *back);
    // The same with the way back chosen when the key comes.
    void codeEntry(QWidget *field, std::function<void()> enter, QWidget *next, std::function<QWidget *()> back);

    static bool isForward(int key);
    static bool isBack(int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *field);
    QHash<QObject *, std::function<bool(int)>> m_handlers;
};

} // namespace orv
