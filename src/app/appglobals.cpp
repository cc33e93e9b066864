#include "app/appglobals.h"
#include "common/prompt.h"

#include <exception>

namespace orv {

bool MessageReceiver::setField(FieldRole, const QString &, const QString &) { return false; }

namespace {
// A receiver's failure stays on this side of the event loop: shown once, reported as false.
template <typename Fn> bool deliver(QWidget *receiver, Fn &&fn)
{
    auto *r = dynamic_cast<MessageReceiver *>(receiver);
    if (!r)
        return false;
    try {
        return fn(r);
    } catch (const std::exception &e) {
        showError(receiver, e);
    } catch (...) {
        notice(receiver, "操作失败：发生未知错误", QMessageBox::Critical);
    }
    return false;
}
} // namespace

bool SendMessage(QWidget *receiver, int message)
{
    return deliver(receiver, [&](MessageReceiver *r) {
        r->onWindowMessage(message);
        return true;
    });
}

bool setCallerField(QWidget *receiver, FieldRole role, const QString &which, const QString &value)
{
    return deliver(receiver, [&](MessageReceiver *r) { return r->setField(role, which, value); });
}

} // namespace orv
