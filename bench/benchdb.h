#pragma once
// Opens a scratch database for a benchmark: SQLite in a temporary folder, or the
// PostgreSQL server of ORV_TEST_PG_HOST (a throwaway database) when argv[1] is "pg".
#include "data/datamodule.h"
#include "data/schema.h"
#include "common/clock.h"
#include "common/paths.h"
#include "ledger/stockmodel.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QVector>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace orv::bench {

inline qint64 median(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median of a series of measures; 0 for none.
inline double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

// Run offscreen unless a platform is chosen; true when argv[1] asks for PostgreSQL. Call it
// before the QApplication is made.
inline bool benchOnPg(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc > 1 && QString::fromLocal8Bit(argv[1]) == QLatin1String("pg");
}

[[noreturn]] inline void failed(const QSqlQuery &q)
{
    std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    std::exit(2);
}

// Statements issued by hand: a failed prepare or exec stops the bench with the statement and
// its error.
inline void prep(QSqlQuery &q, const QString &sql)
{
    if (!q.prepare(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
        std::exit(2);
    }
}

inline void must(QSqlQuery &q)
{
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastQuery()), qPrintable(q.lastError().text()));
        std::exit(2);
    }
}

inline void bind(QSqlQuery &q, const QVariantList &values)
{
    for (const QVariant &v : values)
        q.addBindValue(v);
}

// Paths that do the same work, item by item, timed against each other.
struct BlockTimes {
    QVector<double> ms;    // per path: ms per item, median of the blocks
    QVector<double> total; // per path: s for all items
};

// Small blocks of items taking the paths in turn (each block starting with another path), each
// path on days of its own (the clock pinned), moved to a fresh day before `perDay` items, as a
// day's document numbers run out: other work on the machine hits the paths alike, and the median
// block drops the spikes. `day` counts the days used so far and goes on from call to call.
inline BlockTimes timeInBlocks(const QVector<std::function<void(int item)>> &paths, int items, int &day, int perDay,
                               int block = 8)
{
    const int n = int(paths.size());
    auto nextDay = [&day] { return QDateTime(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC); };
    QVector<QVector<double>> ms(n);
    BlockTimes t;
    t.total.fill(0, n);
    QVector<int> done(n, 0);
    QVector<QDateTime> days(n);
    for (auto &at : days)
        at = nextDay();
    for (int at = 0, b = 0; at + block <= items; at += block, ++b) {
        for (int pass = 0; pass < n; ++pass) {
            const int path = (pass + b) % n;
            if (done[path] + block > perDay) {
                days[path] = nextDay();
                done[path] = 0;
            }
            Clock::pin(days[path]);
            QElapsedTimer timer;
            timer.start();
            for (int i = at; i < at + block; ++i)
                paths[path](i);
            const double ns = double(timer.nsecsElapsed());
            ms[path] << ns / 1e6 / block;
            t.total[path] += ns / 1e9;
            done[path] += block;
        }
    }
    for (const auto &m : ms)
        t.ms << median(m);
    return t;
}

// One raw query walked to its end, every column read.
inline qint64 rawWalk(Connection &c, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(c.db());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        failed(q);
    qint64 sum = 0;
    const int cols = q.record().count();
    while (q.next())
        for (int i = 0; i < cols; ++i)
            sum += q.value(i).isNull() ? 0 : 1;
    return sum;
}

// A receipt line of goods `no` at 一号库: quantity and price vary with `id`, so the rows
// a bench posts to differ in what they hold.
inline GoodsLine receiptLine(const QString &no, const QString &name, int id)
{
    GoodsLine l;
    l.goodsNo = no;
    l.name = name;
    l.place = "一号库";
    l.spec = "规格";
    l.unit = "个";
    l.qty = 1 + id % 7;
    l.auxQty = 1;
    l.price = 2.5 + id % 5;
    l.amount = l.qty * l.price;
    l.supplier = "DW1.供应商";
    l.category = "五金";
    return l;
}

struct BenchDb {
    QTemporaryDir dir;
    ConnectionSettings settings;
    QString pgName;

    explicit BenchDb(bool pg)
    {
        registerAppSchema();
        Paths::setConfigDirOverride(dir.path());
        if (pg) {
            settings.server = qEnvironmentVariable("ORV_TEST_PG_HOST", "127.0.0.1");
            settings.user = qEnvironmentVariable("ORV_TEST_PG_USER", "postgres");
            settings.password = qEnvironmentVariable("ORV_TEST_PG_PASSWORD");
            pgName = "orv_bench_" + QUuid::createUuid().toString(QUuid::Id128).left(8);
            settings.database = pgName;
        } else {
            settings.server = "(local)";
        }
        frmDataModule = new TfrmDataModule();
        frmDataModule->ADOConnection1.open(settings);
    }
    ~BenchDb()
    {
        delete frmDataModule.data();
        if (!pgName.isEmpty()) {
            Connection admin("bench_admin");
            ConnectionSettings s = settings;
            s.database = "postgres";
            try {
                admin.open(s);
                admin.exec("drop database if exists " + pgName + " with (force)");
            } catch (...) {
            }
        }
    }
    Connection &conn() { return frmDataModule->ADOConnection1; }
};

} // namespace orv::bench
