// Opening and walking 100,000 rows (every column of every row) through the dataset layer
// against plain QSqlQuery, as a query of its own and through a bound condition.
#include "benchdb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

using namespace orv;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    const int rows = 100000;
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    c.exec("create table bench_rows (流水号 integer primary key, 编号 varchar(20), 名称 varchar(50), 数量 numeric(19,4), 启用 boolean)");
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        q.prepare("insert into bench_rows values(?,?,?,?,?)");
        for (int i = 0; i < rows; ++i) {
            q.addBindValue(i);
            q.addBindValue(QString("HP%1").arg(i, 9, 10, QChar('0')));
            q.addBindValue(QString("货品名称%1").arg(i));
            q.addBindValue(i * 0.5);
            q.addBindValue(i % 2 == 0);
            q.exec();
        }
        tx.commit();
    }
    const QString sql = "select 流水号,编号,名称,数量,启用 from bench_rows";
    // The same rows through a bound condition: a prepared statement on both sides.
    const QString boundSql = sql + " where 流水号 >= ?";

    auto plain = [&](bool bound) {
        QSqlQuery q(c.db());
        q.setForwardOnly(true);
        if (bound) {
            q.prepare(boundSql);
            q.addBindValue(0);
            q.exec();
        } else {
            q.exec(sql);
        }
        qint64 sum = 0;
        while (q.next())
            sum += q.value(0).toLongLong() + q.value(1).toString().size() + q.value(2).toString().size() +
                   qint64(q.value(3).toDouble()) + q.value(4).toBool();
        return sum;
    };
    auto layered = [&](bool bound) {
        DataSet d(&c);
        d.setSql(bound ? boundSql : sql);
        if (bound)
            d.addBindValue(0);
        d.open();
        qint64 sum = 0;
        for (d.first(); !d.eof(); d.next())
            sum += d.fields(0).asInteger() + d.fields(1).asString().size() + d.fields(2).asString().size() +
                   qint64(d.fields(3).asFloat()) + d.fields(4).asBoolean();
        return sum;
    };
    // Alternate the two so both see the same machine; the median of each is compared.
    auto timed = [](auto fn, qint64 &check) {
        QElapsedTimer t;
        t.start();
        check = fn();
        return t.nsecsElapsed();
    };
    auto median = [](std::vector<qint64> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    for (const bool bound : {false, true}) {
        std::vector<qint64> plainRuns, layerRuns;
        qint64 a = 0, bsum = 0;
        for (int i = 0; i < 11; ++i) {
            plainRuns.push_back(timed([&] { return plain(bound); }, a));
            layerRuns.push_back(timed([&] { return layered(bound); }, bsum));
        }
        const qint64 plainNs = median(plainRuns), layerNs = median(layerRuns);
        if (a != bsum) {
            std::printf("results differ: %lld vs %lld\n", (long long)a, (long long)bsum);
            return 1;
        }
        std::printf("%s: walk %d rows%s: QSqlQuery %.1f ms, DataSet %.1f ms, ratio %.2f (goal <= 1.3)\n",
                    pg ? "PostgreSQL" : "SQLite", rows, bound ? " (bound condition)" : "", plainNs / 1e6,
                    layerNs / 1e6, double(layerNs) / double(plainNs));
    }
    return 0;
}
