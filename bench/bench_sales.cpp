// Direct sales of five lines each on a catalogue of 1,000 goods: through the sales bill's save code
// (checks, the lines of one goods row added up on locked rows, stock down, 销售明细, the CK- voucher
// at 折后金额, the numbered 销售单 under an 18-character ID) against the same rows written by
// prepared statements issued by hand.
// Usage: bench_sales [pg] [sales per path]
#include "benchdb.h"
#include "goods/goodsschema.h"
#include "purchasing/purchasingschema.h"
#include "sales/salesbill.h"
#include "sales/salesposting.h"
#include "sales/salesschema.h"
#include "warehouse/warehouseschema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <algorithm>
#include <numeric>
#include <tuple>
#include <random>

using namespace orv;
using bench::bind;
using bench::must;
using bench::prep;

namespace {
const int kGoods = 1000;
const int kLines = 5;
// A day holds 999 numbers of a kind: each path moves to a fresh day well before that.
const int kPerDay = 900;

QString goodsNo(int i) { return QString("HP%1").arg(i, 6, 10, QChar('0')); }
QString goodsName(int i) { return QString("货品%1").arg(i); }

// A sale as the window holds it: five different goods in its grid at a discount of 0.9.
struct Sale {
    GoodsLineGrid grid{GoodsLineLayout::Sales19};
};

QVector<std::shared_ptr<Sale>> makeSales(int n, std::mt19937 &rng)
{
    QVector<std::shared_ptr<Sale>> out;
    std::uniform_int_distribution<int> pick(0, kGoods - 1);
    for (int r = 0; r < n; ++r) {
        auto sale = std::make_shared<Sale>();
        QVector<int> ids;
        while (ids.size() < kLines) {
            const int id = pick(rng);
            if (!ids.contains(id))
                ids << id;
        }
        const GoodsLineColumns &c = sale->grid.columns();
        for (int row = 1; row <= kLines; ++row) {
            const int id = ids[row - 1];
            const double qty = 1 + id % 7, price = 2.5 + id % 5;
            GoodsLineGrid &g = sale->grid;
            g.setCell(row, 0, QString::number(row));
            g.setCell(row, c.goodsNo, goodsNo(id));
            g.setCell(row, c.name, goodsName(id));
            g.setCell(row, c.spec, "规格");
            g.setCell(row, c.unit, "个");
            g.setCell(row, c.auxUnit, "箱");
            g.setCell(row, c.auxQty, "1");
            g.setCell(row, c.qty, QString::number(qty));
            g.setCell(row, c.price, QString::number(price));
            g.setCell(row, c.amount, generalNumber(qty * price));
            g.setCell(row, c.barcode, "690");
            g.setCell(row, c.place, "一号库");
            g.setCell(row, c.supplier, "DW1.供应商");
            g.setCell(row, c.category, "五金");
            g.setCell(row, c.ratio, "1");
            g.setCell(row, c.purchasePrice, "3");
            setLineDiscount(g, row, "0.9");
        }
        sale->grid.setCell(kLines + 1, 0, QString()); // the empty row below the lines
        out << sale;
    }
    return out;
}

SaleHeader headerOf()
{
    SaleHeader h;
    h.date = "2026-01-01";
    h.clerk = "001.张三";
    h.checker = "003.王五";
    h.customer = "KH01.东方公司";
    h.customerCode = "KH01";
    h.department = "BM1.销售部";
    h.departmentCode = "BM1";
    h.invoiceDate = "2026-01-01";
    return h;
}

// The sales bill window's save: the checks, the lines, the posting.
struct Window {
    SalesPosting posting;
    explicit Window(Connection &c) : posting(c) {}
    void post(Sale &s)
    {
        const auto t = saleTotals(s.grid, SaleMode::Direct);
        const SaleFields f{"001.张三", t->due, t->due, "0", "KH01.东方公司", "1", "0", "2026-01-01", "2026-01-01"};
        if (checkSaleBill(SaleMode::Direct, s.grid, f))
            std::exit(3);
        SaleHeader h = headerOf();
        h.due = h.received = toNumber(t->due);
        h.number = posting.ledger().numbers(saleNumbers(SaleMode::Direct)).propose();
        if (!posting.save(SaleMode::Direct, h, saleLines(s.grid)).ok())
            std::exit(3);
    }
};

// The same rows by hand: numbers read and checked, the ID checked, goods rows locked, checked,
// lowered and written.
struct Direct {
    Connection &c;
    QSqlQuery lastNo, taken, lastCk, takenCk, idUsed, find, update, line, vline, vheader, header;
    explicit Direct(Connection &conn)
        : c(conn), lastNo(conn.db()), taken(conn.db()), lastCk(conn.db()), takenCk(conn.db()), idUsed(conn.db()),
          find(conn.db()), update(conn.db()), line(conn.db()), vline(conn.db()), vheader(conn.db()), header(conn.db())
    {
        prep(lastNo, "select 单据编号 from 销售单 where substr(单据编号, 1, 11) = ? order by 流水号 desc limit 1");
        prep(taken, "select 1 from 销售单 where 单据编号 = ?");
        prep(lastCk, "select 单据编号 from 出入库单 where substr(单据编号, 1, 9) = ? order by 流水号 desc limit 1");
        prep(takenCk, "select 1 from 出入库单 where 单据编号 = ?");
        prep(idUsed, "select 1 from 销售订单 where ID = ? union all select 1 from 销售单 where ID = ? union all "
                     "select 1 from 销售退货单 where ID = ?");
        prep(find, QString("select 流水号, coalesce(库存,0), coalesce(辅助库存,0), 助记码 from 货品目录 "
                           "where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1") +
                       (c.isSqlite() ? "" : " for update"));
        prep(update, "update 货品目录 set 库存 = 库存 - ?, 辅助库存 = 辅助库存 - ? where 流水号 = ?");
        prep(line, "insert into 销售明细 (编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,折扣,"
                   "折后金额,成本价,结存,原有库存数量,换算比率,辅助库存结存,原有辅助数量,拼音码) "
                   "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(vline, "insert into 出入库明细 (编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码,结存,"
                    "原有库存数量,类型,换算比率,辅助库存结存,原有辅助数量,拼音码) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(vheader, "insert into 出入库单(ID,引用单号,引用ID,引用类别,单据编号,制单日期,制单人,当前状态,原因,单据类别,单据备注,"
                      "审核人,审核日期,相关单位,单位编号,联系人,联系电话,时间,相关部门) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        prep(header, "insert into 销售单(单据编号,日期,应收款,实收款,挂账金额,购买单位,联系电话,联系人,地址,备注,经办人,客户折扣,ID,"
                     "单位编号,当前状态,单据类别,销售单位,销售单位编号,送货员,发货员,复核员,开票员,发票号码,开票金额,开票日期,时间) "
                     "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
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
    void post(Sale &s)
    {
        const QVector<SaleLine> lines = saleLines(s.grid);
        const SaleHeader h = headerOf();
        const QString vid = makeRecordID(), time = Clock::localNow().toString("hh:mm:ss");
        Transaction tx(c);
        QString id;
        for (;;) {
            id = makeShortRecordID();
            bind(idUsed, {id, id, id});
            must(idUsed);
            const bool used = idUsed.next();
            idUsed.finish();
            if (!used)
                break;
        }
        // Rows locked in the fixed order, the stock checked before anything moves.
        QVector<int> order(lines.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const SavedLine &x = lines[a].goods, &y = lines[b].goods;
            return std::tie(x.goodsNo, x.place, x.name) < std::tie(y.goodsNo, y.place, y.name);
        });
        struct Row {
            qint64 no = 0;
            double stock = 0, aux = 0;
            QString py;
        };
        QVector<Row> rows(lines.size());
        for (int k : order) {
            const SavedLine &l = lines[k].goods;
            bind(find, {l.goodsNo, l.name, l.place});
            must(find);
            if (!find.next() || find.value(1).toDouble() < l.qty)
                std::exit(4);
            rows[k] = {find.value(0).toLongLong(), find.value(1).toDouble(), find.value(2).toDouble(),
                       find.value(3).toString()};
            find.finish();
        }
        const QString no = number(lastNo, taken, "XSCK-");
        double total = 0;
        for (int k = 0; k < lines.size(); ++k) {
            const SavedLine &l = lines[k].goods;
            const Row &r = rows[k];
            bind(update, {l.qty, l.auxQty, r.no});
            must(update);
            bind(line, {l.goodsNo, l.name, l.spec, l.unit, l.auxUnit, l.auxQty, l.qty, l.price, l.amount, id, l.barcode,
                        l.place, l.supplier, l.category, lines[k].discount, lines[k].discounted, lines[k].cost,
                        r.stock - l.qty, r.stock, *l.ratio, r.aux - l.auxQty, r.aux, r.py});
            must(line);
            bind(vline, {l.goodsNo, l.name, l.spec, l.unit, l.price, l.qty, lines[k].discounted, vid, l.place, l.auxQty,
                         l.auxUnit, l.category, l.supplier, l.barcode, r.stock - l.qty, r.stock, "出库", *l.ratio,
                         r.aux - l.auxQty, r.aux, r.py});
            must(vline);
            total += lines[k].discounted;
        }
        bind(vheader, {vid, no, id, "货品销售", number(lastCk, takenCk, "CK-"), h.date, h.clerk, "已审核", "货品销售", "出库",
                       "", h.checker, h.date, h.customer, h.customerCode, "", "", time, h.department});
        must(vheader);
        bind(header, {no, h.date, total, total, 0.0, h.customer, "", "", "", "", h.clerk, 1.0, id, h.customerCode,
                      "已审核", "销售出库", h.department, h.departmentCode, "", "", h.checker, "", "", 0.0, h.invoiceDate,
                      time});
        must(header);
        tx.commit();
    }
};

struct Timing {
    double window = 0, direct = 0; // ms per sale, median of the blocks
    double windowTotal = 0, directTotal = 0; // s for all sales
};

// Each sale posted once by each path.
Timing measure(Window &w, Direct &d, QVector<std::shared_ptr<Sale>> &sales, int &day)
{
    const bench::BlockTimes t = bench::timeInBlocks(
        {[&](int i) { w.post(*sales[i]); }, [&](int i) { d.post(*sales[i]); }}, int(sales.size()), day, kPerDay);
    return {t.ms[0], t.ms[1], t.total[0], t.total[1]};
}
} // namespace

int main(int argc, char *argv[])
{
    const bool pg = bench::benchOnPg(argc, argv);
    QCoreApplication app(argc, argv);
    int sales = 1000;
    for (int i = 1; i < argc; ++i)
        if (QString(argv[i]).toInt() > 0)
            sales = QString(argv[i]).toInt();
    registerGoodsSchema();
    registerPurchasingSchema();
    registerWarehouseSchema();
    registerSalesSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        prep(q, "insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) values (?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kGoods; ++i) {
            bind(q, {goodsNo(i), goodsName(i), "一号库", 1000000.0, 1000000.0, 3.0, 4.0, 1.0, "HP", makeRecordID()});
            must(q);
        }
        tx.commit();
    }
    c.exec(c.isSqlite() ? "analyze" : "vacuum analyze");
    std::mt19937 rng(42);
    Window w(c);
    Direct d(c);
    int day = 0;
    auto warmUp = makeSales(32, rng);
    measure(w, d, warmUp, day);
    auto all = makeSales(sales, rng);
    const Timing t = measure(w, d, all, day);
    Clock::pin(QDateTime());

    const char *db = pg ? "PostgreSQL" : "SQLite";
    std::printf("%s: %d direct sales x %d lines per path on %d goods (median of blocks of 8)\n", db, sales, kLines, kGoods);
    std::printf("%s: sales bill save %.3f ms/sale (%.0f sales/s), direct statements %.3f ms/sale (%.0f sales/s), "
                "ratio %.2f (goal <= 1.5)\n",
                db, t.window, 1000.0 / t.window, t.direct, 1000.0 / t.direct, t.window / t.direct);
    std::printf("%s: wall time for all sales: save %.2f s, direct %.2f s\n", db, t.windowTotal, t.directTotal);
    return 0;
}
