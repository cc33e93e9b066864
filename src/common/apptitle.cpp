#include "common/apptitle.h"

namespace orv {
namespace {
QString &title()
{
    static QString t = kAppTitle;
    return t;
}
} // namespace
QString appTitle() { return title(); }
void setAppTitle(const QString &t) { title() = t; }
} // namespace orv
