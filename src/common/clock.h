#pragma once
// Injectable time and randomness: numbers and record IDs read the UTC clock,
// windows show the local one; tests pin both.
#include <QDateTime>
#include <functional>
#include <random>

namespace orv {

class Clock {
public:
    static QDateTime utcNow();
    static QDateTime localNow();
    // Pins the clock at a UTC instant (tests); an invalid value restores the real clock.
    static void pin(const QDateTime &utc);
};

// One generator for the whole program, seeded once.
class Random {
public:
    static std::mt19937_64 &engine();
    // A uniformly chosen integer in [lo, hi].
    static qint64 between(qint64 lo, qint64 hi);
    static void seed(quint64 seed);
};

} // namespace orv
