#pragma once
// Opens a scratch database for a benchmark: SQLite in a temporary folder, or the
// PostgreSQL server of ORV_TEST_PG_HOST (a throwaway database) when argv[1] is "pg".
#include "data/datamodule.h"
#include "data/schema.h"
#include "common/paths.h"
#include "ledger/stockmodel.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orv::bench {

inline qint64 median(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
