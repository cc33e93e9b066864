// The one posting face of the document windows: stock, then the voucher, numbered last.
#include "testdb.h"
#include "common/pinyin.h"
#include "ledger/documentlines.h"
#include "ledger/ledger.h"

using namespace orv;
using namespace orv::test;

namespace {
void addGoods(TestDb &t, const QString &no, const QString &place, double stock, double price)
{
    t.exec("insert into 货品目录(编号,名称,仓位,库存,进货价,换算比率) values(?,'螺丝',?,?,?,1)", {no, place, stock, price});
}

Ledger::Line lineOf(StockModel::Op op, const QString &no, double qty, double price = 0)
{
    Ledger::Line l;
    l.op = op;
    l.goods.goodsNo = no;
    l.goods.name = "螺丝";
    l.goods.place = "一号库";
    l.goods.qty = qty;
    l.goods.price = price;
    l.goods.amount = qty * price;
    return l;
}
} // namespace

class TestLedger : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerLedgerSchema(); }

    void receiptMovesStockAndWritesTheVoucher()
    {
        TestDb t;
        addGoods(t, "HP2", "一号库", 10, 5);
        Clock::pin(QDateTime(QDate(2026, 3, 5), QTime(2, 0), Qt::UTC));
        Ledger ledger(t.conn());
        Ledger::Posting p;
        p.kind = VoucherIn;
        p.header.reason = "采购进货";
        p.header.category = "入库";
        // Grid order, not code order: the voucher keeps the grid's order.
        p.lines = {lineOf(StockModel::Op::Receive, "HP2", 10, 7), lineOf(StockModel::Op::Receive, "HP1", 4, 3)};
        Transaction tx(t.conn());
        const Ledger::Result r = ledger.post(p);
        tx.commit();
        Clock::pin(QDateTime());
        QVERIFY(r.ok());
        QCOMPARE(r.voucher.number, QString("RK-260305-001"));
        QCOMPARE(r.moves[0].stockBefore, 10.0);
        QCOMPARE(r.moves[0].stockAfter, 20.0);
        QCOMPARE(r.moves[0].priceAfter, 6.0);
        QCOMPARE(int(r.moves[1].status), int(MoveStatus::Created));
        QCOMPARE(t.scalar("select ID from 出入库单").toString(), r.voucher.id);
        DataSet q(&t.conn());
        q.setSql("select 编号, 类型, 结存, 原有库存数量 from 出入库明细 where ID = ? order by 流水号");
        q.addBindValue(r.voucher.id);
        q.open();
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.fieldByName("编号").asString(), QString("HP2"));
        QCOMPARE(q.fieldByName("结存").asString(), QString("20"));
        QCOMPARE(q.fieldByName("原有库存数量").asString(), QString("10"));
        q.next();
        QCOMPARE(q.fieldByName("编号").asString(), QString("HP1"));
        QCOMPARE(q.fieldByName("类型").asString(), QString("入库"));
    }

    // A short line stops the posting: nothing of the voucher is written, and the caller's
    // rollback leaves every row as it was.
    void shortLineWritesNothing()
    {
        TestDb t;
        addGoods(t, "HP1", "一号库", 5, 2);
        addGoods(t, "HP2", "一号库", 1, 2);
        Ledger ledger(t.conn());
        const QVector<Ledger::Line> lines = {lineOf(StockModel::Op::Lower, "HP1", 3),
                                             lineOf(StockModel::Op::Lower, "HP2", 2)};
        QCOMPARE(ledger.firstShortLine(lines), 1);
        {
            Transaction tx(t.conn());
            const Ledger::Result r = ledger.post({VoucherOut, {}, lines});
            QVERIFY(!r.ok());
            QCOMPARE(r.failedLine, 1);
            QCOMPARE(int(r.failure), int(MoveStatus::Short));
            QVERIFY(r.voucher.number.isEmpty());
        }
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 出入库明细").toInt(), 0);
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 编号 = 'HP1'").toDouble(), 5.0);
        // Two lines drawing on one row count together.
        QCOMPARE(ledger.firstShortLine({lineOf(StockModel::Op::Lower, "HP1", 3), lineOf(StockModel::Op::Lower, "HP1", 3)}), 1);
        QCOMPARE(ledger.firstShortLine({lineOf(StockModel::Op::Lower, "HP1", 5)}), -1);
        QCOMPARE(ledger.firstShortLine({lineOf(StockModel::Op::Lower, "HP9", 1)}), 0);
    }

    // Two clients check and post issues naming the same rows in opposite line orders: the
    // check locks its rows in the fixed order too, so neither waits on the other in a circle.
    void shortCheckInOppositeOrdersDoesNotDeadlock()
    {
        TestDb t;
        const QStringList codes = {"HP1", "HP2", "HP3", "HP4", "HP5", "HP6"};
        for (const QString &c : codes)
            addGoods(t, c, "一号库", 100, 2);
        const int each = 15;
        const QString failure = runClients(t, 2, [&](int n, Connection &conn) {
            Ledger ledger(conn);
            QVector<Ledger::Line> lines;
            for (int k = 0; k < codes.size(); ++k)
                lines << lineOf(StockModel::Op::Lower, codes[n == 0 ? k : codes.size() - 1 - k], 1);
            for (int i = 0; i < each; ++i) {
                Transaction tx(conn);
                if (ledger.firstShortLine(lines) >= 0 || !ledger.post({VoucherOut, {}, lines}).ok())
                    throw DbError("short");
                tx.commit();
            }
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = ?", {100 - 2 * each}).toInt(), int(codes.size()));
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 2 * each);
    }

    // A posted document's lines carry the stock each line found and left, the table's own
    // columns where the table keeps them (here 成本价 between the stock columns, as a sales
    // return's lines do), and the voucher names the document by the number finally given.
    void documentLinesAndTheVoucherReference()
    {
        TestDb t;
        addGoods(t, "HP1", "一号库", 5, 2);
        t.exec("update 货品目录 set 助记码 = 'LS' where 编号 = 'HP1'");
        t.conn().exec("create table 退货明细 (编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), 单位 VARCHAR(200), "
               "辅助单位 VARCHAR(200), 辅助数量 DOUBLE PRECISION, 数量 DOUBLE PRECISION, 单价 DOUBLE PRECISION, "
               "金额 DOUBLE PRECISION, ID VARCHAR(50), 条码 VARCHAR(200), 仓位 VARCHAR(200), 供应商 VARCHAR(1300), "
               "类别 VARCHAR(200), 折扣 DOUBLE PRECISION, 结存 DOUBLE PRECISION, 原有库存数量 DOUBLE PRECISION, "
               "成本价 DOUBLE PRECISION, 换算比率 DOUBLE PRECISION, 辅助库存结存 DOUBLE PRECISION, "
               "原有辅助数量 DOUBLE PRECISION, 拼音码 VARCHAR(200))");
        Ledger::Posting p;
        p.kind = VoucherIn;
        p.header.refNo = "XSTH-1";
        p.lines = {lineOf(StockModel::Op::Raise, "HP1", 3, 4), lineOf(StockModel::Op::Raise, "HP7", 2, 4)};
        p.lines[0].goods.ratio = qQNaN();
        p.lines[0].goods.supplier = "DW1.某厂";
        p.lines[1].goods.auxQty = 4;
        DocumentLineWriter lines(t.conn(), "退货明细",
                                 {"折扣", "结存", "原有库存数量", "成本价", "换算比率", "辅助库存结存", "原有辅助数量",
                                  "拼音码"});
        Ledger ledger(t.conn());
        Transaction tx(t.conn());
        const Ledger::Result r = ledger.post(p);
        QVERIFY(r.ok());
        QVERIFY_THROWS_EXCEPTION(DbError, lines.row("D1", p.lines[0].goods, r.moves[0], {0.9}));
        lines.insert({lines.row("D1", p.lines[0].goods, r.moves[0], {0.9, 2.5}),
                      lines.row("D1", p.lines[1].goods, r.moves[1], {1, 3.5})});
        ledger.vouchers().followRefNo(r.voucher.id, "XSTH-1", "XSTH-1");
        QCOMPARE(t.scalar("select 引用单号 from 出入库单").toString(), QString("XSTH-1"));
        ledger.vouchers().followRefNo(r.voucher.id, "XSTH-1", "XSTH-2");
        tx.commit();
        QCOMPARE(t.scalar("select 引用单号 from 出入库单").toString(), QString("XSTH-2"));

        DataSet q(&t.conn());
        q.setSql("select 编号, ID, 供应商, 折扣, 结存, 原有库存数量, 成本价, 换算比率, 辅助库存结存, 拼音码 from 退货明细 "
                 "order by 编号");
        q.open();
        QCOMPARE(q.recordCount(), 2);
        auto row = [&] {
            QStringList out;
            for (int i = 0; i < q.fieldCount(); ++i)
                out << (q.fields(i).isNull() ? "NULL" : q.fields(i).asString());
            return out;
        };
        // An existing row: its stock before and after; no ratio on the line, none stored.
        QCOMPARE(row(), (QStringList{"HP1", "D1", "DW1.某厂", "0.9", "8", "5", "2.5", "NULL", "0", "LS"}));
        q.next();
        // A created row: the ratio worked out for it, its mnemonic.
        QCOMPARE(row(), (QStringList{"HP7", "D1", "NULL", "1", "2", "0", "3.5", "0.5", "4", ChnToPY(QString("螺丝"))}));
    }

    // The number the posting first claims is stored already (the day's last number has no
    // serial, so the search starts at 001): the rows and lines are written once, the header
    // takes the next free number.
    void claimedNumberTakenPostsOnce()
    {
        TestDb t;
        addGoods(t, "HP1", "一号库", 2, 4);
        t.exec("insert into 出入库单(单据编号) values('RK-260305-001')");
        t.exec("insert into 出入库单(单据编号) values('RK-260305-0x1')");
        Clock::pin(QDateTime(QDate(2026, 3, 5), QTime(2, 0), Qt::UTC));
        Ledger ledger(t.conn());
        Transaction tx(t.conn());
        const Ledger::Result r = ledger.post({VoucherIn, {}, {lineOf(StockModel::Op::Receive, "HP1", 3, 4)}});
        tx.commit();
        Clock::pin(QDateTime());
        QVERIFY(r.ok());
        QCOMPARE(r.voucher.number, QString("RK-260305-002"));
        QCOMPARE(t.scalar("select count(*) from 出入库单 where ID = ?", {r.voucher.id}).toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 出入库明细 where ID = ?", {r.voucher.id}).toInt(), 1);
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 编号 = 'HP1'").toDouble(), 5.0);
    }

    // More lines than one statement takes: every line moves and is written, in grid order.
    void longDocumentPostsEveryLine()
    {
        TestDb t;
        QVector<Ledger::Line> lines;
        for (int i = 0; i < 40; ++i) {
            const QString no = QString("HP%1").arg(40 - i, 2, 10, QChar('0'));
            if (i % 8 != 0)
                addGoods(t, no, "一号库", 1, 2);
            lines << lineOf(StockModel::Op::Receive, no, 2, 2);
        }
        lines << lineOf(StockModel::Op::Lower, "HP40", 1); // a second line on the first row
        Ledger ledger(t.conn());
        Transaction tx(t.conn());
        const Ledger::Result r = ledger.post({VoucherIn, {}, lines});
        tx.commit();
        QVERIFY(r.ok());
        QCOMPARE(t.scalar("select count(*) from 出入库明细 where ID = ?", {r.voucher.id}).toInt(), 41);
        QCOMPARE(t.scalar("select sum(库存) from 货品目录").toDouble(), 35 * 3 + 5 * 2 - 1.0);
        QCOMPARE(t.scalar("select 编号 from 出入库明细 where ID = ? order by 流水号 limit 1", {r.voucher.id}).toString(),
                 QString("HP40"));
        QCOMPARE(r.moves[40].stockBefore, 2.0); // HP40 was created by the first line
        QCOMPARE(r.moves[40].stockAfter, 1.0);
    }

    void refusedOutsideATransaction()
    {
        TestDb t;
        Ledger ledger(t.conn());
        QVERIFY_THROWS_EXCEPTION(DbError, ledger.post({VoucherIn, {}, {lineOf(StockModel::Op::Raise, "HP1", 1)}}));
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 0);
    }
};

ORV_DB_TEST_MAIN(TestLedger)
#include "tst_db_ledger.moc"
