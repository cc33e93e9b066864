#include "app/appglobals.h"

namespace orv {
void SendMessage(QWidget *receiver, int message)
{
    if (!receiver)
        return;
    if (auto *r = dynamic_cast<MessageReceiver *>(receiver))
        r->onWindowMessage(message);
}
} // namespace orv
