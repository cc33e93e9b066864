#include "app/windowing.h"

#include <QHash>

namespace orv {
namespace {
QHash<QString, MenuHandler> &handlers()
{
    static QHash<QString, MenuHandler> h;
    return h;
}
ChildHost *g_host = nullptr;
std::function<void(const QString &)> g_status;
} // namespace

void setMenuHandler(const QString &itemName, MenuHandler handler) { handlers().insert(itemName, std::move(handler)); }
MenuHandler menuHandler(const QString &itemName) { return handlers().value(itemName); }

ChildHost *childHost() { return g_host; }
void setChildHost(ChildHost *host) { g_host = host; }

void centreOnDesktop(QWidget *w)
{
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        w->adjustSize();
        w->move(r.center() - QPoint(w->width() / 2, w->height() / 2));
    }
}

} // namespace orv
