#include "common/clock.h"

#include <QMutex>

namespace orv {
namespace {
QDateTime g_pinned;
QMutex g_randomLock;
}

QDateTime Clock::utcNow() { return g_pinned.isValid() ? g_pinned : QDateTime::currentDateTimeUtc(); }
QDateTime Clock::localNow() { return g_pinned.isValid() ? g_pinned.toLocalTime() : QDateTime::currentDateTime(); }
void Clock::pin(const QDateTime &utc) { g_pinned = utc.isValid() ? utc.toUTC() : QDateTime(); }

std::mt19937_64 &Random::engine()
{
    static std::mt19937_64 e{std::random_device{}()};
    return e;
}

qint64 Random::between(qint64 lo, qint64 hi)
{
    QMutexLocker lock(&g_randomLock);
    return std::uniform_int_distribution<qint64>(lo, hi)(engine());
}

void Random::seed(quint64 s)
{
    QMutexLocker lock(&g_randomLock);
    engine().seed(s);
}

} // namespace orv
