// Posting five-line stock receipts (voucher number, header, lines, stock and moving average
// price) through the ledger's posting face against the same statements issued directly,
// with a ledger of 10,000 and then of 1,000,000 voucher lines.
// Usage: bench_posting [pg] [vouchers per round]
#include "benchdb.h"
#include "ledger/ledger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <random>

using namespace orv;

namespace {
const int kGoods = 2000;
const int kLinesPerVoucher = 5;

void must(QSqlQuery &q)
{
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastQuery()), qPrintable(q.lastError().text()));
        std::exit(2);
    }
}

void prep(QSqlQuery &q, const QString &sql)
{
    if (!q.prepare(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
        std::exit(2);
    }
}

struct Voucher {
    QVector<GoodsLine> lines;
};

QString goodsNo(int i) { return QString("HP%1").arg(i, 9, 10, QChar('0')); }

// The same five lines for both paths, in code order.
QVector<Voucher> makeVouchers(int n, std::mt19937 &rng)
{
    QVector<Voucher> out(n);
    std::uniform_int_distribution<int> pick(0, kGoods - 1);
    for (auto &v : out) {
        QVector<int> ids;
        while (ids.size() < kLinesPerVoucher) {
            const int id = pick(rng);
            if (!ids.contains(id))
                ids << id;
        }
        std::sort(ids.begin(), ids.end());
        for (int id : ids) {
            v.lines << bench::receiptLine(goodsNo(id), QString("货品%1").arg(id), id);
        }
    }
    return out;
}

VoucherHeader headerOf()
{
    VoucherHeader h;
    h.refNo = "CGJH-260101-001";
    h.refID = "202601010800001234567890";
    h.reason = "采购进货";
    h.date = "2026-01-01";
    h.maker = "001.张三";
    h.category = "入库";
    h.auditor = "";
    h.auditDate = "2026-01-01";
    h.partner = "DW1.供应商";
    h.partnerCode = "DW1";
    return h;
}

// Through the ledger's one posting face.
struct Services {
    Ledger ledger;
    explicit Services(Connection &c) : ledger(c) {}
    void post(Connection &c, const Voucher &v)
    {
        Transaction tx(c);
        Ledger::Posting p{VoucherIn, headerOf(), {}};
        for (const auto &l : v.lines)
            p.lines.append({StockModel::Op::Receive, l, {}, false, {}});
        if (!ledger.post(p).ok())
            std::exit(3);
        tx.commit();
    }
};

// The same rows by hand: statements prepared once, the same protocol as the services (rows
// locked and moved line by line, the lines in one insert, the number read last and stored
// under its unique index, the next serial when another client took it).
struct Direct {
    Connection &c;
    QSqlQuery last, header, find, update, lines;
    explicit Direct(Connection &conn)
        : c(conn), last(conn.db()), header(conn.db()), find(conn.db()), update(conn.db()), lines(conn.db())
    {
        prep(last, "select \"单据编号\" from \"出入库单\" where substr(\"单据编号\", 1, 9) = ? order by 流水号 desc limit 1");
        prep(header, "insert into 出入库单(ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,单据备注,"
                     "审核人,审核日期,相关单位,单位编号,联系人,联系电话,时间,相关部门) values "
                     "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) on conflict (单据编号) do nothing");
        prep(find, QString("select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), coalesce(换算比率,0), "
                           "助记码 from 货品目录 where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1") +
                       (c.isSqlite() ? "" : " for update"));
        prep(update, "update 货品目录 set 进货价 = ?, 库存 = round(coalesce(库存,0) + ?, 4), "
                     "辅助库存 = round(coalesce(辅助库存,0) + ?, 4), 供应商 = ? where 流水号 = ?");
        QString sql = "insert into 出入库明细 (编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码,结存,"
                      "原有库存数量,类型,换算比率,辅助库存结存,原有辅助数量,拼音码) values ";
        for (int i = 0; i < kLinesPerVoucher; ++i)
            sql += QString(i ? "," : "") + "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
        prep(lines, sql);
    }
    void post(const Voucher &v)
    {
        Transaction tx(c);
        const QString id = makeRecordID();
        const QVariant nullText(QMetaType::fromType<QString>());
        for (const auto &l : v.lines) {
            find.addBindValue(l.goodsNo);
            find.addBindValue(l.name);
            find.addBindValue(l.place);
            must(find);
            find.next();
            const qint64 row = find.value(0).toLongLong();
            const double stock = find.value(1).toDouble(), aux = find.value(2).toDouble();
            const double price = find.value(3).toDouble();
            const QString py = find.value(5).toString();
            find.finish();
            const double newPrice = StockModel::movingAverage(stock, price, l.qty, l.price);
            for (const QVariant &x : {QVariant(newPrice), QVariant(l.qty), QVariant(l.auxQty), QVariant(l.supplier),
                                      QVariant(row)})
                update.addBindValue(x);
            must(update);
            const QVariantList lv = {l.goodsNo, l.name, l.spec, l.unit, l.price, l.qty, l.amount, id, l.place,
                                     l.auxQty, nullText, l.category, l.supplier, nullText, round4(stock + l.qty),
                                     stock, "入库", l.ratio, round4(aux + l.auxQty), aux, py};
            for (const auto &x : lv)
                lines.addBindValue(x);
        }
        must(lines);
        const QString day = "RK-" + Clock::utcNow().toString("yyMMdd");
        last.addBindValue(day);
        must(last);
        int serial = 1;
        if (last.next())
            serial = last.value(0).toString().right(3).toInt() + 1;
        last.finish();
        const VoucherHeader h = headerOf();
        for (;; ++serial) {
            const QVariantList hv = {id, h.refNo, h.refID, h.reason, day + "-" + QString("%1").arg(serial, 3, 10, QChar('0')),
                                     h.date, h.maker, "已审核", h.reason, h.category, nullText, h.auditor, h.auditDate,
                                     h.partner, h.partnerCode, nullText, nullText,
                                     Clock::localNow().toString("hh:mm:ss"), nullText};
            for (const auto &x : hv)
                header.addBindValue(x);
            must(header);
            if (header.numRowsAffected() > 0)
                break;
        }
        tx.commit();
    }
};

// Vouchers of earlier days, five lines each, up to `lines` lines in all.
void fillLedger(Connection &c, qint64 fromLine, qint64 toLine)
{
    const qint64 fromH = fromLine / kLinesPerVoucher, toH = toLine / kLinesPerVoucher;
    if (toH <= fromH)
        return;
    Transaction tx(c);
    QString hs, ls;
    const QString h0 = QString::number(fromH), h1 = QString::number(toH - 1);
    const QString l0 = QString::number(fromH * kLinesPerVoucher), l1 = QString::number(toH * kLinesPerVoucher - 1);
    const QString goods = QString::number(kGoods);
    if (c.isSqlite()) {
        const QString s = "with recursive s(i) as (select " + h0 + " union all select i + 1 from s where i < " + h1 + ") ";
        hs = s + "insert into 出入库单 (ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,时间) "
                 "select printf('%024d', i), 'CGJH', printf('%024d', i), '采购进货', "
                 "'RK-20' || printf('%04d', i / 900) || '-' || printf('%03d', i % 900 + 1), '2020-01-01', '张三', "
                 "'已审核', '采购进货', '入库', '08:00:00' from s";
        const QString t = "with recursive s(i) as (select " + l0 + " union all select i + 1 from s where i < " + l1 + ") ";
        ls = t + "insert into 出入库明细 (编号,名称,单位,单价,数量,金额,ID,仓位,结存,原有库存数量,类型,换算比率) "
                 "select printf('HP%09d', i % " + goods + "), '货品', '个', 2.5, 1, 2.5, printf('%024d', i / 5), '一号库', "
                 "1, 0, '入库', 1 from s";
    } else {
        hs = "insert into 出入库单 (ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,时间) "
             "select lpad(i::text, 24, '0'), 'CGJH', lpad(i::text, 24, '0'), '采购进货', "
             "'RK-20' || lpad((i / 900)::text, 4, '0') || '-' || lpad((i % 900 + 1)::text, 3, '0'), "
             "'2020-01-01', '张三', '已审核', '采购进货', '入库', '08:00:00' from generate_series(" + h0 + ", " + h1 + ") i";
        ls = "insert into 出入库明细 (编号,名称,单位,单价,数量,金额,ID,仓位,结存,原有库存数量,类型,换算比率) "
             "select 'HP' || lpad((i % " + goods + ")::text, 9, '0'), '货品', '个', 2.5, 1, 2.5, lpad((i / 5)::text, 24, '0'), "
             "'一号库', 1, 0, '入库', 1 from generate_series(" + l0 + ", " + l1 + ") i";
    }
    c.exec(hs);
    c.exec(ls);
    tx.commit();
    // Settle the freshly written tables now rather than under the measurement.
    c.exec(c.isSqlite() ? "analyze" : "vacuum analyze");
}

struct Timing {
    double services = 0, direct = 0; // ms per voucher, median of the blocks
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

// Small blocks, alternating between the paths (and which goes first), and the median block:
// other work on the machine then hits both paths alike and spikes drop out.
Timing measure(Connection &c, Services &s, Direct &d, const QVector<Voucher> &vouchers, int &day)
{
    const int block = 8;
    const QDateTime servicesDay(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
    const QDateTime directDay(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
    QVector<double> sMs, dMs;
    for (int at = 0, b = 0; at + block <= vouchers.size(); at += block, ++b) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool services = (pass == 0) == (b % 2 == 0);
            Clock::pin(services ? servicesDay : directDay);
            QElapsedTimer t;
            t.start();
            for (int i = at; i < at + block; ++i)
                services ? s.post(c, vouchers[i]) : d.post(vouchers[i]);
            (services ? sMs : dMs) << t.nsecsElapsed() / 1e6 / block;
        }
    }
    return {median(sMs), median(dMs)};
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    int vouchers = 480;
    for (int i = 1; i < argc; ++i)
        if (QString(argv[i]).toInt() > 0)
            vouchers = std::min(QString(argv[i]).toInt(), 990);
    registerLedgerSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        prep(q, "insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) values (?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kGoods; ++i) {
            for (const QVariant &x : {QVariant(goodsNo(i)), QVariant(QString("货品%1").arg(i)), QVariant("一号库"),
                                      QVariant(10.0), QVariant(1.0), QVariant(3.0), QVariant(4.0), QVariant(10.0),
                                      QVariant("HP"), QVariant(makeRecordID())})
                q.addBindValue(x);
            must(q);
        }
        tx.commit();
    }
    std::mt19937 rng(42);
    Services s(c);
    Direct d(c);
    int day = 0;

    fillLedger(c, 0, 10000);
    measure(c, s, d, makeVouchers(32, rng), day); // warm-up
    const Timing small = measure(c, s, d, makeVouchers(vouchers, rng), day);
    QElapsedTimer fill;
    fill.start();
    QSqlQuery cnt(c.db());
    cnt.exec("select count(*) from 出入库明细");
    cnt.next();
    const qint64 now = cnt.value(0).toLongLong();
    cnt.finish();
    fillLedger(c, now, 1000000);
    const double fillS = fill.nsecsElapsed() / 1e9;
    measure(c, s, d, makeVouchers(32, rng), day);
    const Timing large = measure(c, s, d, makeVouchers(vouchers, rng), day);
    Clock::pin(QDateTime());

    cnt.exec("select count(*) from 出入库明细");
    cnt.next();
    const char *db = pg ? "PostgreSQL" : "SQLite";
    std::printf("%s: %d vouchers x %d lines per path and ledger size (median of blocks of 8); "
                "ledger filled to %lld lines in %.1f s\n",
                db, vouchers, kLinesPerVoucher, (long long)cnt.value(0).toLongLong(), fillS);
    std::printf("%s: ledger 10k: services %.3f ms/voucher, direct %.3f ms/voucher, ratio %.2f (goal <= 1.2)\n", db,
                small.services, small.direct, small.services / small.direct);
    std::printf("%s: ledger 1M:  services %.3f ms/voucher, direct %.3f ms/voucher, ratio %.2f (goal <= 1.2)\n", db,
                large.services, large.direct, large.services / large.direct);
    std::printf("%s: 1M ledger against 10k: services %.2f, direct %.2f (goal <= 1.2)\n", db,
                large.services / small.services, large.direct / small.direct);
    return 0;
}
