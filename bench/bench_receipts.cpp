// Posting receipts into store of five lines each on a catalogue of 1,000 goods: through the
// receipt window's posting code (checks, lines, stock at the moving average, the RK- voucher, the
// numbered receipt) against the same rows written by prepared statements issued by hand, once
// batched as the posting batches (one locked read, multi-row writes, numbers read by the inserts)
// and once naively (a statement per line and row). Then it checks what all three posted: every
// goods row's stock is its opening stock plus its voucher lines, its 进货价 is the moving average
// worked out again here from those lines, every receipt has its five lines in both line tables.
// The disk's commit latency is printed beside the ratios: at synchronous=FULL (SQLite) or with
// fsync on (PostgreSQL) a small posting mostly waits for it.
// Usage: bench_receipts [pg] [receipts per path] [growth | trips]
//   growth: the receipt window's posting alone, on 100,000 goods, at 10,000 and then at
//   1,000,000 existing voucher lines.
//   trips: the receipt window's posting alone, between the lines "trips: start" and "trips: end"
//   (run it under "strace -f -e trace=sendto,write" and count the sends between them: a
//   request to the server each).
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
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <thread>

using namespace orv;

namespace {
const int kGoods = 1000;
const int kLines = 5;
// A day holds 999 numbers of a kind: each path moves to a fresh day well before that.
const int kPerDay = 900;

using bench::bind;
using bench::must;
using bench::prep;

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

// The same rows by hand, naively: numbers read and checked, and per line its goods row locked
// and updated and its two lines written, each by a statement of its own.
struct Naive {
    Connection &c;
    QSqlQuery lastNo, taken, lastRk, takenRk, find, update, line, vline, vheader, header;
    explicit Naive(Connection &conn)
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


// The same rows by hand, batched as the posting is: the goods rows read and locked by one
// statement, and on PostgreSQL everything else (rows, both line sets, both headers numbered by
// the inserts themselves) by one more; SQLite, whose statements cost no round trip and cannot
// write from a WITH, takes one statement a table, and one a goods row for the update (as the
// posting does: its planner walks the whole goods table for a join with a VALUES list).
struct Batched {
    Connection &c;
    QSqlQuery lock, write, update, line, vline, vheader, header;
    static QString marks(int n) { return "(?" + QString(",?").repeated(n - 1) + ")"; }
    static QString repeated(const QString &one, int n)
    {
        QStringList all;
        for (int i = 0; i < n; ++i)
            all << one;
        return all.join(',');
    }
    // The next serial of a day, read by the insert: "CGJH-yyMMdd-" and "CGJH-yyMMdd" bound.
    QString nextNo(const char *table) const
    {
        const QString serial = QString("cast(coalesce((select cast(substr(单据编号, length(单据编号) - 2) as integer) from %1 "
                                       "where substr(单据编号, 1, length(?)) = ? order by 流水号 desc limit 1), 0) + 1 as text)")
                                   .arg(table);
        return c.isSqlite() ? "? || substr('00' || " + serial + ", -3)" : "? || lpad(" + serial + ", 3, '0')";
    }
    const QString lineCols = "编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,结存,原有库存数量,换算比率,"
                             "辅助库存结存,原有辅助数量,拼音码";
    const QString vlineCols = "编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码,结存,原有库存数量,类型,"
                              "换算比率,辅助库存结存,原有辅助数量,拼音码";
    const QString vheaderCols = "ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,单据备注,审核人,审核日期,"
                                "相关单位,单位编号,联系人,联系电话,时间,相关部门";
    const QString headerCols = "单据编号,开单日期,开单人,ID,当前状态,备注,供应商,合计应付,供应商编号,送货员,验收员,收货员,复核员,原始编号,"
                               "实际付款,挂账金额,时间";
    explicit Batched(Connection &conn)
        : c(conn), lock(conn.db()), write(conn.db()), update(conn.db()), line(conn.db()), vline(conn.db()),
          vheader(conn.db()), header(conn.db())
    {
        QString lockSql = "select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), 助记码, 编号 from 货品目录 "
                          "where " + repeated("(编号 = ? and 名称 = ? and 仓位 = ?)", kLines).replace(",", " or ");
        if (!c.isSqlite())
            lockSql += " order by 编号, 仓位, 名称 for update";
        prep(lock, lockSql);
        const QString values = "v(r, p, q, a, s) as (values " +
                               repeated("(cast(? as bigint), cast(? as numeric), cast(? as numeric), cast(? as numeric), "
                                        "cast(? as text))",
                                        kLines) +
                               ")";
        const QString updateSql = "update 货品目录 set 进货价 = v.p, 库存 = 库存 + v.q, 辅助库存 = 辅助库存 + v.a, 供应商 = v.s "
                                  "from v where 货品目录.流水号 = v.r";
        const QString lineSql = "insert into 采购入库明细 (" + lineCols + ") values " + repeated(marks(20), kLines);
        const QString vlineSql = "insert into 出入库明细 (" + vlineCols + ") values " + repeated(marks(21), kLines);
        const QString vheaderSql = "insert into 出入库单 (" + vheaderCols + ") select ?, " + nextNo("采购入库单") + ", ?, ?, " +
                                   nextNo("出入库单") + ", ?,?,?,?,?,?,?,?,?,?,?,?,?,?";
        const QString headerSql = "insert into 采购入库单 (" + headerCols + ") select " + nextNo("采购入库单") +
                                  ", ?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?";
        if (c.isSqlite()) {
            prep(update, "update 货品目录 set 进货价 = ?, 库存 = 库存 + ?, 辅助库存 = 辅助库存 + ?, 供应商 = ? where 流水号 = ?");
            prep(line, lineSql);
            prep(vline, vlineSql);
            prep(vheader, vheaderSql);
            prep(header, headerSql);
        } else {
            prep(write, "with " + values + ", u as (" + updateSql + "), l as (" + lineSql + "), vl as (" + vlineSql +
                            "), vh as (" + vheaderSql + ") " + headerSql);
        }
    }
    void post(Receipt &r)
    {
        const QVector<SavedLine> lines = savedLines(r.grid);
        const ReceiptHeader h = headerOf();
        const QString id = makeRecordID(), vid = makeRecordID(), time = Clock::localNow().toString("hh:mm:ss");
        const QString day = Clock::utcNow().toString("yyMMdd");
        Transaction tx(c);
        for (const SavedLine &l : lines)
            bind(lock, {l.goodsNo, l.name, l.place});
        must(lock);
        struct Row {
            qint64 no;
            double stock, aux, price;
            QString py;
        };
        std::map<QString, Row> rows;
        while (lock.next())
            rows[lock.value(5).toString()] = {lock.value(0).toLongLong(), lock.value(1).toDouble(),
                                              lock.value(2).toDouble(), lock.value(3).toDouble(),
                                              lock.value(4).toString()};
        lock.finish();
        QVariantList ups, ls, vls;
        double total = 0;
        for (const SavedLine &l : lines) {
            const Row &g = rows.at(l.goodsNo);
            const double base = g.stock + l.qty;
            const double avg = base > 0 ? (g.stock < 0 ? l.price : (g.stock * g.price + l.qty * l.price) / base) : g.price;
            ups << g.no << round4(avg) << l.qty << l.auxQty << h.supplier;
            ls << l.goodsNo << l.name << l.spec << l.unit << l.auxUnit << l.auxQty << l.qty << l.price << l.amount << id
               << l.barcode << l.place << h.supplier << l.category << g.stock + l.qty << g.stock << *l.ratio
               << g.aux + l.auxQty << g.aux << g.py;
            vls << l.goodsNo << l.name << l.spec << l.unit << l.price << l.qty << l.amount << vid << l.place << l.auxQty
                << l.auxUnit << l.category << h.supplier << l.barcode << g.stock + l.qty << g.stock << "入库" << *l.ratio
                << g.aux + l.auxQty << g.aux << g.py;
            total += l.amount;
        }
        const QVariant null(QMetaType::fromType<QString>());
        const QString cg = "CGJH-" + day, rk = "RK-" + day;
        const QVariantList vh = {vid, cg + "-", cg, cg, id, "采购进货", rk + "-", rk, rk, h.date, h.clerk, "已审核", "采购进货",
                                 "入库", "", "", h.date, h.supplier, h.supplierCode, "", "", time, null};
        const QVariantList hd = {cg + "-", cg, cg, h.date, h.clerk, id, "已入库", "", h.supplier, total, h.supplierCode,
                                 h.deliverer, h.inspector, h.receiver, h.checker, "", total, 0.0, time};
        if (c.isSqlite()) {
            for (int i = 0; i < ups.size(); i += 5) {
                bind(update, {ups[i + 1], ups[i + 2], ups[i + 3], ups[i + 4], ups[i]});
                must(update);
            }
            bind(line, ls);
            must(line);
            bind(vline, vls);
            must(vline);
            bind(vheader, vh);
            must(vheader);
            bind(header, hd);
            must(header);
        } else {
            bind(write, ups + ls + vls + vh + hd);
            must(write);
        }
        tx.commit();
    }
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

using Path = std::function<void(Receipt &)>;

struct Timing {
    QVector<double> ms;    // per path: ms per receipt, median of the blocks
    QVector<double> total; // per path: s for all receipts
};

// Small blocks taking the paths in turn (each block starting with another path), each path on
// days of its own: other work on the machine hits them alike, and the median block drops the
// spikes.
Timing measure(const QVector<Path> &paths, QVector<std::shared_ptr<Receipt>> &receipts, int &day)
{
    const int block = 8;
    const int n = int(paths.size());
    QVector<QVector<double>> ms(n);
    Timing t;
    t.total.fill(0, n);
    QVector<int> done(n, 0);
    QVector<QDateTime> days(n);
    for (auto &at : days)
        at = QDateTime(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
    for (int at = 0, b = 0; at + block <= receipts.size(); at += block, ++b) {
        for (int pass = 0; pass < n; ++pass) {
            const int path = (pass + b) % n;
            if (done[path] + block > kPerDay) {
                days[path] = QDateTime(QDate(2026, 1, 1).addDays(day++), QTime(3, 0), Qt::UTC);
                done[path] = 0;
            }
            Clock::pin(days[path]);
            QElapsedTimer timer;
            timer.start();
            for (int i = at; i < at + block; ++i)
                paths[path](*receipts[i]);
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

// The median time of a commit that writes one small row: what the disk makes every save wait.
double commitLatencyMs(Connection &c)
{
    c.exec("create table bench_commit (x integer)");
    QVector<double> ms;
    for (int i = 0; i < 60; ++i) {
        QElapsedTimer timer;
        timer.start();
        Transaction tx(c);
        c.exec("insert into bench_commit values (?)", {i});
        tx.commit();
        ms << timer.nsecsElapsed() / 1e6;
    }
    c.exec("drop table bench_commit");
    return median(ms);
}

qint64 scalar(Connection &c, const QString &sql)
{
    QSqlQuery q(c.db());
    prep(q, sql);
    must(q);
    return q.next() ? q.value(0).toLongLong() : -1;
}

// What the paths posted, checked: faults, empty when none.
QStringList check(Connection &c, int receipts)
{
    QStringList faults;
    // Stock: the opening 10 plus every voucher line of the goods.
    const qint64 off = scalar(c, "select count(*) from 货品目录 g left join (select 编号, sum(数量) as moved from 出入库明细 "
                                 "group by 编号) d on d.编号 = g.编号 where abs(g.库存 - 10 - coalesce(d.moved, 0)) > 0.00005");
    if (off)
        faults << QString("stock differs from opening + voucher lines on %1 goods rows").arg(off);
    // 进货价: the moving average over the voucher lines in the order they were written, from 3.
    std::map<QString, std::pair<double, double>> state; // stock, price
    {
        QSqlQuery q(c.db());
        prep(q, "select 编号, 数量, 单价 from 出入库明细 order by 流水号");
        must(q);
        while (q.next()) {
            auto [it, fresh] = state.try_emplace(q.value(0).toString(), 10.0, 3.0);
            auto &[stock, price] = it->second;
            const double qty = q.value(1).toDouble(), linePrice = q.value(2).toDouble();
            const double base = stock + qty;
            if (base > 0)
                price = stock < 0 ? linePrice : std::round((stock * price + qty * linePrice) / base * 10000) / 10000;
            stock = base;
        }
    }
    int priceOff = 0;
    {
        QSqlQuery q(c.db());
        prep(q, "select 编号, 进货价 from 货品目录");
        must(q);
        while (q.next()) {
            const auto it = state.find(q.value(0).toString());
            const double want = it == state.end() ? 3.0 : it->second.second;
            if (std::abs(q.value(1).toDouble() - want) > 0.00015)
                ++priceOff;
        }
    }
    if (priceOff)
        faults << QString("进货价 differs from the moving average worked out again on %1 goods rows").arg(priceOff);
    const qint64 headers = scalar(c, "select count(*) from 采购入库单"), vouchers = scalar(c, "select count(*) from 出入库单");
    if (headers != receipts || vouchers != receipts)
        faults << QString("%1 receipts and %2 vouchers stored for %3 posted").arg(headers).arg(vouchers).arg(receipts);
    for (const char *sql : {"select count(*) from 采购入库单 h left join (select ID, count(*) as n from 采购入库明细 group by ID) d "
                            "on d.ID = h.ID where coalesce(d.n, 0) <> 5",
                            "select count(*) from 出入库单 h left join (select ID, count(*) as n from 出入库明细 group by ID) d "
                            "on d.ID = h.ID where coalesce(d.n, 0) <> 5"})
        if (const qint64 bad = scalar(c, QString::fromUtf8(sql)))
            faults << QString("%1 documents without their five lines (%2)").arg(bad).arg(QString::fromUtf8(sql).section(' ', 3, 3));
    for (const char *table : {"采购入库单", "出入库单"})
        if (const qint64 twice = scalar(c, QString("select count(*) from (select 单据编号 from %1 group by 单据编号 "
                                                   "having count(*) > 1) x").arg(table)))
            faults << QString("%1 numbers stored twice in %2").arg(twice).arg(table);
    return faults;
}

void insertGoods(Connection &c, int goods)
{
    Transaction tx(c);
    if (c.isSqlite()) {
        c.exec(QString("with recursive n(i) as (select 0 union all select i + 1 from n where i < %1) "
                       "insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) "
                       "select 'HP' || substr('000000' || i, -6), '货品' || i, '一号库', 10, 1, 3, 4, 1, 'HP', 'G' || i from n")
                   .arg(goods - 1));
    } else {
        c.exec(QString("insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) "
                       "select 'HP' || lpad(i::text, 6, '0'), '货品' || i, '一号库', 10, 1, 3, 4, 1, 'HP', 'G' || i "
                       "from generate_series(0, %1) i")
                   .arg(goods - 1));
    }
    tx.commit();
}

// Vouchers of earlier days, five lines each, on goods no receipt here names: `lines` in all.
void addOldVouchers(Connection &c, int fromVoucher, int vouchers)
{
    Transaction tx(c);
    const QString range = c.isSqlite() ? QString("with recursive n(i) as (select %1 union all select i + 1 from n where i < %2) ")
                                             .arg(fromVoucher)
                                             .arg(fromVoucher + vouchers - 1)
                                       : QString();
    const QString from = c.isSqlite() ? QString("from n") : QString("from generate_series(%1, %2) i").arg(fromVoucher).arg(fromVoucher + vouchers - 1);
    const QString i = c.isSqlite() ? "n.i" : "i";
    // 999 a day, on days counted back from 2025-12-31.
    const QString day = c.isSqlite() ? QString("strftime('%y%m%d', date('2025-12-31', '-' || (%1 / 999) || ' days'))").arg(i)
                                     : QString("to_char(date '2025-12-31' - (%1 / 999), 'YYMMDD')").arg(i);
    const QString serial = c.isSqlite() ? QString("substr('00' || (%1 % 999 + 1), -3)").arg(i)
                                        : QString("lpad((%1 % 999 + 1)::text, 3, '0')").arg(i);
    c.exec(range + "insert into 出入库单 (ID,单据编号,制单日期,当前状态,原因,单据类别) select 'OLD' || " + i + ", 'RK-' || " + day +
           " || '-' || " + serial + ", '2025-01-01', '已审核', '采购进货', '入库' " + from);
    c.exec(range + "insert into 出入库明细 (编号,名称,仓位,数量,单价,ID,类型) select 'OLD-' || (" + i + " % 1000), '旧货', '一号库', 1, 1, "
           "'OLD' || " + i + ", '入库' " + from + (c.isSqlite() ? ", (select 1 union all select 2 union all select 3 union all select 4 union all select 5)"
                                                                 : ", generate_series(1, 5)"));
    tx.commit();
}

void analyze(Connection &c) { c.exec(c.isSqlite() ? "analyze" : "vacuum analyze"); }

// The receipt window's posting alone at two sizes of the voucher tables.
int growth(Connection &c, const char *db, int receipts)
{
    const int goods = 100000;
    insertGoods(c, goods);
    std::mt19937 rng(42);
    Window w(c);
    int day = 0;
    const QVector<Path> paths = {[&](Receipt &r) { w.post(r); }};
    QVector<double> at;
    QElapsedTimer setup;
    for (const int lines : {10000, 1000000}) {
        setup.start();
        const int have = int(scalar(c, "select count(*) from 出入库明细"));
        addOldVouchers(c, have / 5, (lines - have) / 5);
        analyze(c);
        std::printf("%s: %d voucher lines in place (set up in %.0f s)\n", db, int(scalar(c, "select count(*) from 出入库明细")),
                    setup.nsecsElapsed() / 1e9);
        std::fflush(stdout);
        auto warmUp = makeReceipts(32, rng);
        measure(paths, warmUp, day);
        auto all = makeReceipts(receipts, rng);
        const Timing t = measure(paths, all, day);
        at << t.ms[0];
        std::printf("%s: receipt window's posting at %d voucher lines, %d goods: %.3f ms/receipt (%.0f receipts/s)\n", db,
                    lines, goods, t.ms[0], 1000.0 / t.ms[0]);
        std::fflush(stdout);
    }
    std::printf("%s: growth from 10,000 to 1,000,000 voucher lines: %.2f x (goal <= 1.2)\n", db, at[1] / at[0]);
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    int receipts = 1000;
    bool growthRun = false, tripsRun = false;
    for (int i = 1; i < argc; ++i) {
        if (QString(argv[i]).toInt() > 0)
            receipts = QString(argv[i]).toInt();
        growthRun = growthRun || QString(argv[i]) == "growth";
        tripsRun = tripsRun || QString(argv[i]) == "trips";
    }
    registerGoodsSchema();
    registerPurchasingSchema();
    registerWarehouseSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    const char *db = pg ? "PostgreSQL" : "SQLite";
    QString durability = "synchronous=FULL, WAL";
    if (pg) {
        QSqlQuery q(c.db());
        q.exec("select current_setting('fsync'), current_setting('synchronous_commit')");
        if (q.next())
            durability = "fsync " + q.value(0).toString() + ", synchronous_commit " + q.value(1).toString();
    }
    std::printf("%s (%s), %d cores; commit latency of the disk: %.3f ms\n", db, qPrintable(durability),
                int(std::thread::hardware_concurrency()), commitLatencyMs(c));
    if (growthRun)
        return growth(c, db, receipts);
    insertGoods(c, kGoods);
    analyze(c);
    std::mt19937 rng(42);
    Window w(c);
    if (tripsRun) {
        auto warmUp = makeReceipts(8, rng), all = makeReceipts(receipts, rng);
        for (auto &r : warmUp)
            w.post(*r);
        std::printf("trips: start\n");
        std::fflush(stdout);
        for (auto &r : all)
            w.post(*r);
        std::printf("trips: end\n");
        std::fflush(stdout);
        return 0;
    }
    Batched batched(c);
    Naive naive(c);
    const QVector<Path> paths = {[&](Receipt &r) { w.post(r); }, [&](Receipt &r) { batched.post(r); },
                                 [&](Receipt &r) { naive.post(r); }};
    int day = 0;
    auto warmUp = makeReceipts(32, rng);
    measure(paths, warmUp, day);
    auto all = makeReceipts(receipts, rng);
    // Each receipt is posted once by each path.
    const Timing t = measure(paths, all, day);
    Clock::pin(QDateTime());
    const QStringList faults = check(c, 3 * (32 / 8 * 8 + receipts / 8 * 8));

    std::printf("%s: %d receipts x %d lines per path on %d goods (median of blocks of 8)\n", db, receipts, kLines, kGoods);
    const char *names[] = {"receipt window's posting", "raw statements, batched as the posting", "raw statements, naive (one a line)"};
    for (int i = 0; i < 3; ++i)
        std::printf("%s: %-40s %.3f ms/receipt (%.0f receipts/s), all receipts %.2f s\n", db, names[i], t.ms[i],
                    1000.0 / t.ms[i], t.total[i]);
    std::printf("%s: posting / batched raw %.2f (goal <= 1.2), posting / naive raw %.2f\n", db, t.ms[0] / t.ms[1],
                t.ms[0] / t.ms[2]);
    std::printf("%s: checks: %s\n", db,
                faults.isEmpty() ? "stock = opening + voucher lines and 进货价 = the moving average on every goods row, "
                                   "every receipt and voucher with its 5 lines, no number twice"
                                 : qPrintable(faults.join("; ")));
    return faults.isEmpty() ? 0 : 1;
}
