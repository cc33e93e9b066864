// The stock-taking posting of 10,000 counted goods rows (equal, surplus and shortage counts)
// through StockTaking::post, against the same rows written by prepared statements, one per row
// and table, in one transaction (the goods row, the bill line, the voucher line, then the bill
// and voucher headers).
// Usage: bench_stocktaking [pg]
#include "benchdb.h"
#include "ledger/vouchers.h"
#include "stock/stockmenu.h"
#include "stock/stocktaking.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

using namespace orv;
using bench::median;

namespace {
constexpr int kRows = 10000;
constexpr int kRounds = 5;

QSqlQuery prepared(Connection &c, const QString &sql)
{
    QSqlQuery q(c.db());
    if (!q.prepare(sql))
        bench::failed(q);
    return q;
}

void run(QSqlQuery &q, const QVariantList &binds)
{
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds[i]);
    if (!q.exec())
        bench::failed(q);
}

// Every row counted again: a third equal, a third one more, a third one less.
void count(Connection &c)
{
    c.exec("update 货品目录 set 盘点库存 = cast(cast(库存 as integer) + (流水号 % 3) - 1 as varchar(20))");
}

// The same writes as the posting, row by row.
void postByStatements(Connection &c, int round)
{
    Transaction tx(c);
    QSqlQuery rows = prepared(c, "select 流水号,编号,名称,规格,单位,仓位,盘点库存,库存,进货价,换算比率 from 货品目录 "
                                 "where 盘点库存 <> '' order by 流水号");
    run(rows, {});
    QSqlQuery goods = prepared(c, "update 货品目录 set 库存 = ?, 辅助库存 = ?, 盘点库存 = '' where 流水号 = ?");
    QSqlQuery bill = prepared(c, "insert into 盘点明细(编号,名称,数量,单价,实盘数量,ID,盘盈盘亏,金额,盘盈亏金额,规格,仓位,单位,"
                                 "辅助数量) values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    QSqlQuery line = prepared(c, "insert into 出入库明细(编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,结存,原有库存数量,"
                                 "类型) values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    const QString billID = QString("B%1").arg(round), voucherID = QString("V%1").arg(round);
    double qty = 0, amount = 0;
    while (rows.next()) {
        const double s = rows.value(7).toDouble(), cnt = rows.value(6).toDouble(), p = rows.value(8).toDouble();
        const double r = rows.value(9).toDouble() > 0 ? rows.value(9).toDouble() : 1;
        const double d = cnt - s;
        run(goods, {cnt, round4(cnt / r), rows.value(0)});
        run(bill, {rows.value(1), rows.value(2), s, p, cnt, billID, d, round4(s * p), round4(d * p), rows.value(3),
                   rows.value(5), rows.value(4), round4(s / r)});
        run(line, {rows.value(1), rows.value(2), rows.value(3), rows.value(4), p, d, round4(d * p), voucherID,
                   rows.value(5), round4(s / r), cnt, s, d > 0 ? "入库" : d < 0 ? "出库" : "相同"});
        qty += d;
        amount += d * p;
    }
    c.exec("insert into 盘点单(单据编号,日期,负责人,盈亏金额,盈亏数量,ID,时间) values (?,?,?,?,?,?,?)",
           {QString("PD-X-%1").arg(round), "2024-01-01", "张三", round4(amount), round4(qty), billID, "10:00:00"});
    c.exec("insert into 出入库单(ID,单据编号,引用单号,引用ID,单据类别,制单日期) values (?,?,?,?,?,?)",
           {voucherID, QString("PD-Y-%1").arg(round), QString("PD-X-%1").arg(round), billID, "盘点", "2024-01-01"});
    tx.commit();
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
    {
        Transaction tx(c);
        QSqlQuery q = prepared(c, "insert into 货品目录(编号,名称,规格,单位,仓位,类别,库存,辅助库存,进货价,换算比率) "
                                  "values (?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kRows; ++i)
            run(q, {QString("HP%1").arg(i, 5, 10, QChar('0')), QString("货品%1").arg(i), "规格", "个",
                    QString("%1号库").arg(i % 5), "五金", 50 + i % 40, 0, 2.5 + i % 13, 1 + i % 4});
        tx.commit();
    }
    std::vector<qint64> posting, statements;
    StockTaking taking(c);
    for (int round = 0; round < kRounds; ++round) {
        count(c);
        QElapsedTimer t;
        t.start();
        const TakeResult r = taking.post({}, "张三");
        posting.push_back(t.nsecsElapsed());
        if (r.rows != kRows) {
            std::fprintf(stderr, "posted %d rows\n", r.rows);
            return 2;
        }
        count(c);
        t.restart();
        postByStatements(c, round);
        statements.push_back(t.nsecsElapsed());
    }
    std::printf("%s, stock taking of %d counted rows\n", pg ? "PostgreSQL" : "SQLite", kRows);
    std::printf("  prepared statements %.1f ms, posting %.1f ms, ratio %.2f\n", median(statements) / 1e6,
                median(posting) / 1e6, double(median(posting)) / double(median(statements)));
    return 0;
}
