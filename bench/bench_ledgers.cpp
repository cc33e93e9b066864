// The in/out ledgers on a year of vouchers: 1,000,000 voucher lines (100,000 vouchers of ten lines
// on 10,000 goods items, some reversed). The summary for a month and for the year and the detail
// ledger's first screen with its totals, each through its window (the statement, the model filled,
// the grid painted), against the same result read by the raw statements; and the query plans.
// Usage: bench_ledgers [pg]
#include "benchdb.h"
#include "stock/detailledger.h"
#include "stock/frmmingoutin.h"
#include "stock/frmtongji.h"
#include "stock/ledgerstrip.h"
#include "stock/stockmenu.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

using namespace orv;
using bench::failed;
using bench::median;

namespace {
constexpr int kGoods = 10000;
constexpr int kVouchers = 100000;
constexpr int kLinesPerVoucher = 10;
constexpr int kRounds = 5;

qint64 rawWalk(Connection &c, const SqlCondition &st) { return bench::rawWalk(c, st.sql, st.binds); }

// Rows of many values per statement: one round trip per chunk, the full chunk's statement
// prepared once.
class ChunkInsert {
public:
    ChunkInsert(Connection &c, const QString &head, int values, int rowsPerStatement)
        : m_conn(c), m_head(head), m_values(values), m_rows(rowsPerStatement), m_full(c.db())
    {
        m_full.prepare(sql(m_rows));
    }
    void add(const QVariantList &row)
    {
        for (const QVariant &v : row)
            m_full.bindValue(m_bound++, v);
        if (m_bound == m_values * m_rows) {
            if (!m_full.exec())
                failed(m_full);
            m_bound = 0;
        }
    }
    // The rows of a last, partial chunk.
    void flush()
    {
        if (m_bound == 0)
            return;
        QSqlQuery q(m_conn.db());
        q.prepare(sql(m_bound / m_values));
        for (int i = 0; i < m_bound; ++i)
            q.bindValue(i, m_full.boundValue(i));
        if (!q.exec())
            failed(q);
        m_bound = 0;
    }

private:
    QString sql(int rows) const
    {
        const QString one = "(" + QString("?,").repeated(m_values - 1) + "?)";
        return m_head + " values " + QStringList(rows, one).join(',');
    }
    Connection &m_conn;
    QString m_head;
    int m_values, m_rows;
    QSqlQuery m_full;
    int m_bound = 0;
};

void fill(Connection &c)
{
    static const char *const kinds[] = {"入库", "出库", "盘点"};
    static const char *const sources[] = {"采购进货", "货品销售", "盘点"};
    std::vector<double> stock(kGoods, 100);
    quint64 seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(seed >> 33);
    };
    Transaction tx(c);
    ChunkInsert headers(c, "insert into 出入库单(ID,单据编号,引用单号,引用类别,制单日期,单据类别,是否红冲,相关单位,单位编号)", 9,
                        200);
    ChunkInsert lines(c, "insert into 出入库明细(编号,名称,规格,单位,仓位,单价,数量,金额,ID,类型,结存,原有库存数量)", 12, 400);
    const QDate first(2024, 1, 1);
    for (int v = 0; v < kVouchers; ++v) {
        const int kind = v % 10 == 9 ? 2 : v % 2;
        const QString id = QString("V%1").arg(v, 10, 10, QChar('0'));
        const QString date = first.addDays(qint64(v) * 366 / kVouchers).toString(Qt::ISODate);
        headers.add({id, QString("NO-%1").arg(v), QString("SRC-%1").arg(v), QString::fromUtf8(sources[kind]), date,
                     QString::fromUtf8(kinds[kind]), v % 50 == 7, "甲公司", "DW1"});
        for (int k = 0; k < kLinesPerVoucher; ++k) {
            const int g = int(next() % kGoods);
            double qty = 1 + next() % 9;
            QString type = kind == 0 ? "入库" : "出库";
            if (kind == 2) {
                const int d = int(next() % 3);
                qty = d == 0 ? 0 : d == 1 ? qty : -qty;
                type = qty > 0 ? "入库" : qty < 0 ? "出库" : "相同";
            }
            const double before = stock[size_t(g)];
            const double after = kind == 1 ? before - qty : before + qty;
            stock[size_t(g)] = after;
            const double price = 2.5 + g % 13;
            lines.add({QString("HP%1").arg(g, 5, 10, QChar('0')), QString("货品%1").arg(g), "规格", "个",
                       QString("%1号库").arg(g % 5), price, qty, qty * price, id, type, after, before});
        }
    }
    headers.flush();
    lines.flush();
    tx.commit();
    c.exec(c.isSqlite() ? "analyze" : "analyze 出入库单");
    if (!c.isSqlite())
        c.exec("analyze 出入库明细");
}

// The statement with its values written in, for EXPLAIN (the values are the bench's own dates).
QString literal(const SqlCondition &st)
{
    QString sql = st.sql;
    for (const QVariant &b : st.binds) {
        const QString v = b.typeId() == QMetaType::QString ? "'" + b.toString() + "'" : b.toString();
        sql.replace(sql.indexOf('?'), 1, v);
    }
    return sql;
}

void printPlan(Connection &c, const QString &title, const SqlCondition &st)
{
    QSqlQuery q(c.db());
    const QString sql = c.isSqlite() ? "explain query plan " + literal(st)
                                     : "explain (analyze, buffers, costs off, timing off) " + literal(st);
    if (!q.exec(sql))
        failed(q);
    std::printf("\n  plan of %s:\n", qPrintable(title));
    while (q.next())
        std::printf("    %s\n", qPrintable(c.isSqlite() ? q.value(3).toString() : q.value(0).toString()));
}

struct Timing {
    qint64 raw, window;
};

void report(const char *what, const Timing &t)
{
    std::printf("  %-40s raw %8.1f ms, window %8.1f ms, ratio %.2f (goal <= 1.5)\n", what, t.raw / 1e6,
                t.window / 1e6, double(t.window) / double(t.raw));
}
} // namespace

int main(int argc, char *argv[])
{
    const bool pg = bench::benchOnPg(argc, argv);
    QApplication app(argc, argv);
    registerLedgerSchema();
    registerStockWindows();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    QElapsedTimer fillTime;
    fillTime.start();
    fill(c);
    std::printf("%s: %d voucher lines in %d vouchers on %d goods items (filled in %.1f s)\n",
                pg ? "PostgreSQL" : "SQLite", kVouchers * kLinesPerVoucher, kVouchers, kGoods,
                fillTime.elapsed() / 1000.0);

    const QDate june1(2024, 6, 1), june30(2024, 6, 30), jan1(2024, 1, 1), dec31(2024, 12, 31);
    qint64 check = 0;
    // A window's query for a period, through its 查询 with the first screen painted, against
    // `raw` (the same statements walked raw), alternately.
    auto timed = [&](LedgerWindow *w, const QDate &from, const QDate &to, const std::function<qint64()> &raw) {
        std::vector<qint64> rawTimes, windowTimes;
        w->resize(1200, 800);
        w->show();
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer t;
            t.start();
            check += raw();
            rawTimes.push_back(t.nsecsElapsed());
            w->strip()->fromDate->setDate(from);
            w->strip()->toDate->setDate(to);
            t.restart();
            w->SpeedButton1Click();
            w->grab();
            windowTimes.push_back(t.nsecsElapsed());
        }
        delete w;
        return Timing{median(rawTimes), median(windowTimes)};
    };
    auto summary = [&](const QDate &from, const QDate &to) {
        const SqlCondition st = summaryStatement({from, to, {}, {}}, pg);
        return timed(new Tfrmtongji(), from, to, [&] { return rawWalk(c, st); });
    };
    auto detail = [&](const QDate &from, const QDate &to) {
        const DetailQuery q{from, to, {}, {}};
        const SqlCondition page = detailPageStatement(q, pg);
        const SqlCondition range = detailRangeStatement(q);
        const SqlCondition totals = detailTotalsStatement(q, pg);
        // The same three statements: totals, the period's vouchers, the first page.
        return timed(new TfrmMingOutIn(), from, to, [&] {
            qint64 n = rawWalk(c, totals);
            QSqlQuery bounds(c.db());
            bounds.prepare(range.sql);
            for (const QVariant &v : range.binds)
                bounds.addBindValue(v);
            if (!bounds.exec() || !bounds.next())
                failed(bounds);
            SqlCondition first = page;
            first.binds << bounds.value(0) << bounds.value(1) << bounds.value(0).toLongLong() - 1 << 0 << 500;
            return n + rawWalk(c, first);
        });
    };
    report("summary, June:", summary(june1, june30));
    report("summary, the year:", summary(jan1, dec31));
    report("detail, June, first screen and totals:", detail(june1, june30));
    report("detail, the year, first screen and totals:", detail(jan1, dec31));
    std::printf("  (checksum %lld)\n", (long long)check);

    // The statements without the ledgers' index, as a database before it had it.
    c.exec("drop index ix_出入库明细_ledger");
    c.exec("create index ix_出入库明细_ID on 出入库明细 (ID)");
    c.exec(pg ? "analyze 出入库明细" : "analyze");
    const auto rawOnly = [&](const SqlCondition &st) {
        std::vector<qint64> t;
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            check += rawWalk(c, st);
            t.push_back(timer.nsecsElapsed());
        }
        return median(t);
    };
    std::printf("  without the index on 出入库明细 (ID, 流水号, 编号, …): summary June raw %.1f ms, the year raw %.1f ms\n",
                rawOnly(summaryStatement({june1, june30, {}, {}}, pg)) / 1e6,
                rawOnly(summaryStatement({jan1, dec31, {}, {}}, pg)) / 1e6);
    printPlan(c, "the summary for June without it", summaryStatement({june1, june30, {}, {}}, pg));
    c.exec("drop index ix_出入库明细_ID");
    c.exec("create index ix_出入库明细_ledger on 出入库明细 (ID, 流水号, 编号, 名称, 仓位, 规格, 单位, 类型, 数量, 金额)");
    c.exec(pg ? "analyze 出入库明细" : "analyze");

    printPlan(c, "the summary for June", summaryStatement({june1, june30, {}, {}}, pg));
    SqlCondition page = detailPageStatement({june1, june30, {}, {}}, pg);
    page.binds << 0 << kVouchers << -1 << 0 << 500;
    printPlan(c, "the detail ledger's first page for June", page);
    printPlan(c, "the detail ledger's totals for June", detailTotalsStatement({june1, june30, {}, {}}, pg));
    return 0;
}
