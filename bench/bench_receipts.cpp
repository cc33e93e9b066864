// Posting receipts into store of five lines each on a catalogue of 1,000 goods: through the
// receipt window's posting code (checks, lines, stock at the moving average, the RK- voucher, the
// numbered receipt) against the same rows written by prepared statements issued by hand.
// Usage: bench_receipts [pg] [receipts per path]
#include "benchdb.h"
#include "goods/goodsschema.h"
#include "purchasing/purchasechecks.h"
#include "purchasing/purchasingschema.h"
#include "purchasing/receiptposting.h"
#include "warehouse/warehouseschema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <random>

using namespace orv;

namespace {
const int kGoods = 1000;
const int kLines = 5;
// A day holds 999 numbers of a kind: each path moves to a fresh day well before that.
const int kPerDay = 900;

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

void bind(QSqlQuery &q, const QVariantList &values)
{
    for (const QVariant &v : values)
        q.addBindValue(v);
}

QString goodsNo(int i) { return QString("HP%1").arg(i, 6, 10, QChar('0')); }
QString goodsName(int i) { return QString("货品%1").arg(i); }

// A receipt as the window holds it: five different goods in its grid.
struct Receipt {
    GoodsLineGrid grid;
};

QVector<std::shared_ptr<Receipt>> makeReceipts(int n, std::mt19937 &rng)
{
    QVector<std::shared_ptr<Receipt>> out;
    std::uniform_int_distribution<int> pick(0, kGoods - 1);
    for (int r = 0; r < n; ++r) {
        auto rec = std::make_shared<Receipt>();
        QVector<int> ids;
        while (ids.size() < kLines) {
            const int id = pick(rng);
            if (!ids.contains(id))
                ids << id;
        }
        for (int row = 1; row <= kLines; ++row) {
            const int id = ids[row - 1];
            const double qty = 1 + id % 7, price = 2.5 + id % 5;
            const QStringList cells = {QString::number(row), goodsNo(id), goodsName(id), "规格", "个", "箱", "1",
                                       QString::number(qty), QString::number(price), generalNumber(qty * price), "",
                                       "690", "一号库", "DW1.供应商", "五金", "1"};
            for (int c = 1; c < cells.size(); ++c)
                rec->grid.setCell(row, c, cells[c]);
        }
        rec->grid.setCell(kLines + 1, 0, QString()); // the empty row below the lines
        out << rec;
    }
    return out;
}

ReceiptHeader headerOf()
{
    ReceiptHeader h;
    h.date = "2026-01-01";
    h.clerk = "001.张三";
    h.supplier = "DW1.供应商";
    h.supplierCode = "DW1";
    h.deliverer = "002.李四";
    h.inspector = h.receiver = h.checker = "003.王五";
    h.memo = "";
    return h;
}

// The receipt window's posting: the checks, the saved lines, the posting.
struct Window {
    ReceiptPosting posting;
    explicit Window(Connection &c) : posting(c) {}
    void post(Receipt &r)
    {
        const GoodsLineGrid::Totals t = r.grid.totals();
        const ReceiptAmounts amounts{t.amount, t.amount, "0"};
        if (checkReceipt(r.grid, amounts, "2026-01-01"))
            std::exit(3);
        ReceiptHeader h = headerOf();
        h.payable = h.paid = toNumber(t.amount);
        h.number = posting.ledger().numbers(receiptNumbers()).propose();
        if (!posting.post(h, {}, savedLines(r.grid)).ok())
            std::exit(3);
    }
};

// The same rows by hand: numbers read and checked, goods rows locked, updated and written.
struct Direct {
    Connection &c;
    QSqlQuery lastNo, taken, lastRk, takenRk, find, update, line, vline, vheader, header;
    explicit Direct(Connection &conn)
        : c(conn), lastNo(conn.db()), taken(conn.db()), lastRk(conn.db()), takenRk(conn.db()), find(conn.db()),
          update(conn.db()), line(conn.db()), vline(conn.db()), vheader(conn.db()), header(conn.db())
    {
        prep(lastNo, "select 单据编号 from 采购入库单 where substr(单据编号, 1, 11) = ? order by 流水号 desc limit 1");
        prep(taken, "select 1 from 采购入库单 where 单据编号 = ?");
        prep(lastRk, "select 单据编号 from 出入库单 where substr(单据编号, 1, 9) = ? order by 流水号 desc limit 1");
        prep(takenRk, "select 1 from 出入库单 where 单据编号 = ?");
        prep(find, QString("select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), 助记码 from 货品目录 "
                           "where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1") +
                       (c.isSqlite() ? "" : " for update"));
        prep(update, "update 货品目录 set 进货价 = ?, 库存 = 库存 + ?, 辅助库存 = 辅助库存 + ?, 供应商 = ? where 流水号 = ?");
        prep(line, "insert into 采购入库明细 (编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,结存,"
                   "原有库存数量,换算比率,辅助库存结存,原有辅助数量,拼音码) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(vline, "insert into 出入库明细 (编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码,结存,"
                    "原有库存数量,类型,换算比率,辅助库存结存,原有辅助数量,拼音码) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(vheader, "insert into 出入库单(ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,单据备注,"
                      "审核人,审核日期,相关单位,单位编号,联系人,联系电话,时间,相关部门) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(header, "insert into 采购入库单(单据编号,开单日期,开单人,ID,当前状态,备注,供应商,合计应付,供应商编号,送货员,验收员,"
                     "收货员,复核员,原始编号,实际付款,挂账金额,时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    }
    QString number(QSqlQuery &last, QSqlQuery &isTaken, const QString &prefix)
    {
        const QString day = prefix + Clock::utcNow().toString("yyMMdd");
        last.addBindValue(day);
        must(last);
        int serial = last.next() ? last.value(0).toString().right(3).toInt() + 1 : 1;
        last.finish();
        for (;; ++serial) {
            const QString no = day + "-" + QString("%1").arg(serial, 3, 10, QChar('0'));
            isTaken.addBindValue(no);
            must(isTaken);
            const bool used = isTaken.next();
            isTaken.finish();
            if (!used)
                return no;
        }
    }
    void post(Receipt &r)
    {
        const QVector<SavedLine> lines = savedLines(r.grid);
        const ReceiptHeader h = headerOf();
        const QString id = makeRecordID(), vid = makeRecordID(), time = Clock::localNow().toString("hh:mm:ss");
        Transaction tx(c);
        const QString no = number(lastNo, taken, "CGJH-");
        double total = 0;
        for (const SavedLine &l : lines) {
            bind(find, {l.goodsNo, l.name, l.place});
            must(find);
            find.next();
            const qint64 row = find.value(0).toLongLong();
            const double stock = find.value(1).toDouble(), aux = find.value(2).toDouble(),
                         price = find.value(3).toDouble();
            const QString py = find.value(4).toString();
            find.finish();
            const double base = stock + l.qty;
            const double avg = base > 0 ? (stock < 0 ? l.price : (stock * price + l.qty * l.price) / base) : price;
            bind(update, {round4(avg), l.qty, l.auxQty, h.supplier, row});
            must(update);
            bind(line, {l.goodsNo, l.name, l.spec, l.unit, l.auxUnit, l.auxQty, l.qty, l.price, l.amount, id, l.barcode,
                        l.place, h.supplier, l.category, stock + l.qty, stock, *l.ratio, aux + l.auxQty, aux, py});
            must(line);
            bind(vline, {l.goodsNo, l.name, l.spec, l.unit, l.price, l.qty, l.amount, vid, l.place, l.auxQty, l.auxUnit,
                         l.category, h.supplier, l.barcode, stock + l.qty, stock, "入库", *l.ratio, aux + l.auxQty, aux,
                         py});
            must(vline);
            total += l.amount;
        }
        const QVariant null(QMetaType::fromType<QString>());
        bind(vheader, {vid, no, id, "采购进货", number(lastRk, takenRk, "RK-"), h.date, h.clerk, "已审核", "采购进货", "入库",
                       "", "", h.date, h.supplier, h.supplierCode, "", "", time, null});
        must(vheader);
        bind(header, {no, h.date, h.clerk, id, "已入库", "", h.supplier, total, h.supplierCode, h.deliverer, h.inspector,
                      h.receiver, h.checker, "", total, 0.0, time});
        must(header);
        tx.commit();
    }
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

struct Timing {
    double window = 0, direct = 0; // ms per receipt, median of the blocks
    double windowTotal = 0, directTotal = 0; // s for all receipts
};

// Small blocks alternating between the paths (and which goes first), each path on days of its
// own: other work on the machine hits both alike, and the median block drops the spikes.
Timing measure(Window &w, Direct &d, QVector<std::shared_ptr<Receipt>> &receipts, int &day)
{
    const int block = 8;
    QVector<double> wMs, dMs;
    Timing t;
    int done[2] = {0, 0};
    QDateTime days[2];
    for (auto &at : days)
        at = QDateTime(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
    for (int at = 0, b = 0; at + block <= receipts.size(); at += block, ++b) {
        for (int pass = 0; pass < 2; ++pass) {
            const int path = (pass == 0) == (b % 2 == 0) ? 0 : 1;
            if (done[path] + block > kPerDay) {
                days[path] = QDateTime(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
                done[path] = 0;
            }
            Clock::pin(days[path]);
            QElapsedTimer timer;
            timer.start();
            for (int i = at; i < at + block; ++i)
                path == 0 ? w.post(*receipts[i]) : d.post(*receipts[i]);
            const double ns = double(timer.nsecsElapsed());
            (path == 0 ? wMs : dMs) << ns / 1e6 / block;
            (path == 0 ? t.windowTotal : t.directTotal) += ns / 1e9;
            done[path] += block;
        }
    }
    t.window = median(wMs);
    t.direct = median(dMs);
    return t;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    int receipts = 1000;
    for (int i = 1; i < argc; ++i)
        if (QString(argv[i]).toInt() > 0)
            receipts = QString(argv[i]).toInt();
    registerGoodsSchema();
    registerPurchasingSchema();
    registerWarehouseSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        prep(q, "insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) values (?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kGoods; ++i) {
            bind(q, {goodsNo(i), goodsName(i), "一号库", 10.0, 1.0, 3.0, 4.0, 1.0, "HP", makeRecordID()});
            must(q);
        }
        tx.commit();
    }
    c.exec(c.isSqlite() ? "analyze" : "vacuum analyze");
    std::mt19937 rng(42);
    Window w(c);
    Direct d(c);
    int day = 0;
    auto warmUp = makeReceipts(32, rng);
    measure(w, d, warmUp, day);
    auto all = makeReceipts(receipts, rng);
    // Each receipt is posted once by each path.
    const Timing t = measure(w, d, all, day);
    Clock::pin(QDateTime());

    const char *db = pg ? "PostgreSQL" : "SQLite";
    std::printf("%s: %d receipts x %d lines per path on %d goods (median of blocks of 8)\n", db, receipts, kLines, kGoods);
    std::printf("%s: receipt window's posting %.3f ms/receipt (%.0f receipts/s), direct statements %.3f ms/receipt "
                "(%.0f receipts/s), ratio %.2f (goal <= 1.5)\n",
                db, t.window, 1000.0 / t.window, t.direct, 1000.0 / t.direct, t.window / t.direct);
    std::printf("%s: wall time for all receipts: posting %.2f s, direct %.2f s\n", db, t.windowTotal, t.directTotal);
    return 0;
}
