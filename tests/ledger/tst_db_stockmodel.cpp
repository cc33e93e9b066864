// The stock model of 货品目录, on both databases.
#include "testdb.h"
#include "common/pinyin.h"
#include "ledger/stockmodel.h"


using namespace orv;
using namespace orv::test;

namespace {
qint64 addGoods(TestDb &t, const QString &no, const QString &name, const QString &place, double stock, double price,
                double aux = 0, double ratio = 1)
{
    t.exec("insert into 货品目录(编号,名称,仓位,库存,进货价,辅助库存,换算比率) values(?,?,?,?,?,?,?)",
           {no, name, place, stock, price, aux, ratio});
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

GoodsLine line(const QString &no, const QString &name, const QString &place, double qty, double price = 0,
               double aux = 0)
{
    GoodsLine l;
    l.goodsNo = no;
    l.name = name;
    l.place = place;
    l.qty = qty;
    l.price = price;
    l.auxQty = aux;
    return l;
}

double num(TestDb &t, const char *col, qint64 row)
{
    return t.scalar(QString("select %1 from 货品目录 where 流水号 = ?").arg(col), {row}).toDouble();
}

} // namespace

class TestStockModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerLedgerSchema();
    }

    void movingAverage_data()
    {
        QTest::addColumn<double>("stock");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("qty");
        QTest::addColumn<double>("linePrice");
        QTest::addColumn<double>("expected");
        QTest::newRow("30 at 4 plus 10 at 6") << 30.0 << 4.0 << 10.0 << 6.0 << 4.5;
        QTest::newRow("10 at 5 plus 10 at 7") << 10.0 << 5.0 << 10.0 << 7.0 << 6.0;
        QTest::newRow("empty row takes the price") << 0.0 << 9.0 << 10.0 << 3.0 << 3.0;
        QTest::newRow("zero base keeps price") << -5.0 << 4.0 << 5.0 << 8.0 << 4.0;
        QTest::newRow("negative base keeps price") << -10.0 << 4.0 << 5.0 << 8.0 << 4.0;
        QTest::newRow("deficit covered: the receipt's price") << -5.0 << 4.0 << 10.0 << 6.0 << 6.0;
        QTest::newRow("nothing received, nothing held") << 0.0 << 9.0 << 0.0 << 3.0 << 9.0;
    }
    void movingAverage()
    {
        QFETCH(double, stock);
        QFETCH(double, price);
        QFETCH(double, qty);
        QFETCH(double, linePrice);
        QFETCH(double, expected);
        QCOMPARE(StockModel::movingAverage(stock, price, qty, linePrice), expected);
    }

    void receiptAveragesAndWritesVoucher()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库", 30, 4, 5, 6);
        const qint64 deficit = addGoods(t, "HP2", "垫片", "一号库", -10, 4);
        StockModel m(t.conn());
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        GoodsLine l = line("HP1", "螺丝", "一号库", 10, 6, 2);
        l.supplier = "DW1.某厂";
        const StockMove mv = m.receive(l);
        QCOMPARE(int(mv.status), int(MoveStatus::Moved));
        QCOMPARE(mv.rowNo, row);
        QCOMPARE(mv.stockBefore, 30.0);
        QCOMPARE(mv.stockAfter, 40.0);
        QCOMPARE(mv.auxBefore, 5.0);
        QCOMPARE(mv.auxAfter, 7.0);
        QCOMPARE(mv.priceAfter, 4.5);
        QCOMPARE(mv.ratio, 6.0);
        const StockMove d = m.receive(line("HP2", "垫片", "一号库", 5, 8));
        QCOMPARE(d.stockAfter, -5.0);
        QCOMPARE(d.priceAfter, 4.0);

        const VoucherRef ref = w.writeHeader(VoucherIn, {});
        l.ratio = 6;
        l.amount = 60;
        t.exec("update 货品目录 set 助记码 = 'LS' where 流水号 = ?", {row});
        const StockMove again = m.receive(l);
        const VoucherLine vl = voucherLine(l, again, "入库");
        w.writeLine(ref.id, vl);
        tx.commit();

        QCOMPARE(num(t, "库存", row), 50.0);
        QCOMPARE(num(t, "辅助库存", row), 9.0);
        QCOMPARE(num(t, "进货价", row), 4.8);
        QCOMPARE(t.scalar("select 供应商 from 货品目录 where 流水号 = ?", {row}).toString(), QString("DW1.某厂"));
        QCOMPARE(num(t, "库存", deficit), -5.0);
        QCOMPARE(num(t, "进货价", deficit), 4.0);
        DataSet r(&t.conn());
        r.setSql("select * from 出入库明细");
        r.open();
        QCOMPARE(r.recordCount(), 1);
        const QList<QPair<const char *, QString>> expected = {
            {"编号", "HP1"}, {"名称", "螺丝"}, {"仓位", "一号库"}, {"单价", "6"}, {"数量", "10"}, {"金额", "60"},
            {"ID", ref.id}, {"辅助数量", "2"}, {"供应商", "DW1.某厂"}, {"结存", "50"}, {"原有库存数量", "40"},
            {"类型", "入库"}, {"换算比率", "6"}, {"辅助库存结存", "9"}, {"原有辅助数量", "7"}, {"拼音码", "LS"}};
        for (const auto &[col, want] : expected)
            QCOMPARE(r.fieldByName(col).asString(), want);
    }

    void missingRowIsCreated_data()
    {
        QTest::addColumn<bool>("withMnemonic");
        QTest::addColumn<bool>("withWarning");
        QTest::addColumn<double>("qty");
        QTest::addColumn<double>("aux");
        QTest::addColumn<double>("lineRatio");
        QTest::addColumn<double>("ratio");
        QTest::newRow("receipt: 12 in 2 boxes") << true << false << 12.0 << 2.0 << 0.0 << 6.0;
        QTest::newRow("transfer: warning stock") << true << true << 10.0 << 4.0 << 0.0 << 2.5;
        QTest::newRow("reversal: no mnemonic") << false << false << 12.0 << 2.0 << 0.0 << 6.0;
        QTest::newRow("no aux quantity: line's ratio") << true << false << 12.0 << 0.0 << 3.0 << 3.0;
        QTest::newRow("no aux quantity, no ratio: 1") << true << false << 12.0 << 0.0 << 0.0 << 1.0;
        QTest::newRow("no aux quantity, ratio left empty: 1") << true << false << 12.0 << 0.0 << qQNaN() << 1.0;
        QTest::newRow("signs differ: 1") << true << false << 12.0 << -2.0 << 0.0 << 1.0;
    }
    void missingRowIsCreated()
    {
        QFETCH(bool, withMnemonic);
        QFETCH(bool, withWarning);
        QFETCH(double, qty);
        QFETCH(double, aux);
        QFETCH(double, lineRatio);
        QFETCH(double, ratio);
        TestDb t;
        addGoods(t, "HP1", "螺丝钉", "一号库", 3, 1);
        StockModel m(t.conn());
        GoodsLine l = line("HP1", "螺丝钉", "二号库", qty, 3, aux);
        l.spec = "M6";
        l.unit = "个";
        l.auxUnit = "盒";
        l.barcode = "690";
        l.supplier = "DW1.某厂";
        l.category = "五金";
        l.ratio = lineRatio;
        NewRowOptions o;
        o.withMnemonic = withMnemonic;
        if (withWarning)
            o.warningStock = qty;
        Transaction tx(t.conn());
        const StockMove mv = m.raise(l, o);
        tx.commit();
        QCOMPARE(int(mv.status), int(MoveStatus::Created));
        QCOMPARE(mv.stockBefore, 0.0);
        QCOMPARE(mv.stockAfter, qty);
        QCOMPARE(mv.auxAfter, aux);
        QCOMPARE(mv.ratio, ratio);
        const VoucherLine vl = voucherLine(l, mv, "入库");
        QCOMPARE(vl.ratio.toDouble(), ratio);
        QCOMPARE(vl.stockBefore.toDouble(), 0.0);
        QCOMPARE(vl.auxAfter.toDouble(), aux);
        QCOMPARE(vl.mnemonic, withMnemonic ? ChnToPY(QString("螺丝钉")) : QString());

        DataSet r(&t.conn());
        r.setSql("select * from 货品目录 where 流水号 = ?");
        r.addBindValue(mv.rowNo);
        r.open();
        QCOMPARE(r.recordCount(), 1);
        const QList<QPair<const char *, QString>> expected = {
            {"编号", "HP1"}, {"名称", "螺丝钉"}, {"规格", "M6"}, {"单位", "个"}, {"辅助单位", "盒"},
            {"条码", "690"}, {"仓位", "二号库"}, {"供应商", "DW1.某厂"}, {"类别", "五金"},
            {"库存", QString::number(qty)}, {"辅助库存", QString::number(aux)}, {"进货价", "3"}, {"出货价", "3"},
            {"换算比率", QString::number(ratio)}};
        for (const auto &[col, want] : expected)
            QCOMPARE(r.fieldByName(col).asString(), want);
        QCOMPARE(r.fieldByName("ID").asString().size(), 24);
        if (withMnemonic)
            QCOMPARE(r.fieldByName("助记码").asString(), ChnToPY(QString("螺丝钉")));
        else
            QVERIFY(r.fieldByName("助记码").isNull());
        QCOMPARE(r.fieldByName("警戒库存").asFloat(), withWarning ? qty : 0.0);
        for (const char *col : {"保修期", "备注", "盘点库存", "图片"})
            QVERIFY2(r.fieldByName(col).isNull(), col);
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 编号 = 'HP1'").toInt(), 2);
    }

    // A created row takes the ID its caller gives (the loss approval's '报损仓' row takes ''),
    // else a new record ID.
    void newRowTakesTheGivenID_data()
    {
        QTest::addColumn<bool>("given");
        QTest::addColumn<QString>("id");
        QTest::newRow("empty") << true << "";
        QTest::newRow("the returned goods' own") << true << "GID-7";
        QTest::newRow("none given") << false << "";
    }
    void newRowTakesTheGivenID()
    {
        QFETCH(bool, given);
        QFETCH(QString, id);
        TestDb t;
        StockModel m(t.conn());
        NewRowOptions o;
        if (given)
            o.rowID = id;
        Transaction tx(t.conn());
        const StockMove mv = m.raise(line("HP1", "螺丝", "报损仓", 2), o);
        tx.commit();
        QCOMPARE(int(mv.status), int(MoveStatus::Created));
        const QVariant stored = t.scalar("select ID from 货品目录 where 流水号 = ?", {mv.rowNo});
        QVERIFY(!stored.isNull());
        if (given)
            QCOMPARE(stored.toString(), id);
        else
            QCOMPARE(stored.toString().size(), 24);
    }

    void rowLookupIsExact()
    {
        TestDb t;
        const qint64 row = addGoods(t, "hp1", "螺丝", "一号库", 3, 1);
        addGoods(t, "HP2", "螺丝", "一号库 ", 3, 1);
        StockModel m(t.conn());
        Transaction tx(t.conn());
        QVERIFY(!m.findRow("HP1", "螺丝", "一号库"));
        QVERIFY(!m.findRow("HP2", "螺丝", "一号库"));
        QCOMPARE(m.findRow("hp1", "螺丝", "一号库")->rowNo, row);
        NewRowOptions noCreate;
        noCreate.create = false;
        QCOMPARE(int(m.raise(line("HP1", "螺丝", "一号库", 1), noCreate).status), int(MoveStatus::Missing));
        QCOMPARE(int(m.raise(line("HP1", "螺丝", "一号库", 1)).status), int(MoveStatus::Created));
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 3);
        QCOMPARE(num(t, "库存", row), 3.0);
    }

    void lowering()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库", 5, 1, 1);
        StockModel m(t.conn());
        Transaction tx(t.conn());
        StockMove mv = m.lower(line("HP1", "螺丝", "一号库", 5, 0, 3));
        QCOMPARE(int(mv.status), int(MoveStatus::Moved));
        QCOMPARE(mv.stockBefore, 5.0);
        QCOMPARE(mv.stockAfter, 0.0);
        QCOMPARE(mv.auxAfter, -2.0); // auxiliary stock is not guarded
        mv = m.lower(line("HP1", "螺丝", "一号库", 1));
        QCOMPARE(int(mv.status), int(MoveStatus::Short));
        QCOMPARE(num(t, "库存", row), 0.0);
        mv = m.lower(line("HP1", "螺丝", "一号库", 1), true);
        QCOMPARE(int(mv.status), int(MoveStatus::Moved));
        QCOMPARE(num(t, "库存", row), -1.0);
        QCOMPARE(num(t, "辅助库存", row), -2.0);
        QCOMPARE(int(m.lower(line("HP1", "螺丝", "二号库", 1)).status), int(MoveStatus::Missing));
    }

    void documentLinesInFixedOrder()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP5", "螺丝", "一号库", 10, 1);
        StockModel m(t.conn());
        QVector<StockModel::Request> req;
        req.append({StockModel::Op::Raise, line("HP9", "乙", "一号库", 1)});
        req.append({StockModel::Op::Lower, line("HP5", "螺丝", "一号库", 6)});
        req.append({StockModel::Op::Raise, line("HP7", "甲", "一号库", 1)});
        req.append({StockModel::Op::Lower, line("HP5", "螺丝", "一号库", 6)});
        Transaction tx(t.conn());
        const QVector<StockMove> out = m.apply(req);
        QCOMPARE(out.size(), 4);
        // Missing rows were created in code order, not in line order.
        QVERIFY(out[2].rowNo < out[0].rowNo);
        // Lines of one row keep their order: the second reads what the first left.
        QCOMPARE(out[1].stockAfter, 4.0);
        QCOMPARE(out[3].stockBefore, 4.0);
        QCOMPARE(int(out[3].status), int(MoveStatus::Short));
        QCOMPARE(num(t, "库存", row), 4.0);
    }

    void concurrentClientsLoseNoStock()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库", 0, 2);
        const int each = 25;
        const QString failure = runClients(t, 2, [&](int, Connection &conn) {
            StockModel m(conn);
            for (int i = 0; i < each; ++i) {
                Transaction tx(conn);
                m.receive(line("HP1", "螺丝", "一号库", 1, 4, 1));
                m.raise(line("HP1", "螺丝", "一号库", 1));
                tx.commit();
            }
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(num(t, "库存", row), 4.0 * each);
        QCOMPARE(num(t, "辅助库存", row), 2.0 * each);
    }

    // More rows than one statement takes: every row moves, lines of one row add up in order,
    // missing rows are made.
    void largeDocumentMovesEveryRow()
    {
        TestDb t;
        const int rows = 70;
        for (int i = 0; i < rows; ++i)
            addGoods(t, QString("HP%1").arg(i, 3, 10, QChar('0')), "螺丝", "一号库", i, 2);
        StockModel m(t.conn());
        QVector<StockModel::Request> req;
        for (int i = rows - 1; i >= 0; --i)
            req.append({StockModel::Op::Receive, line(QString("HP%1").arg(i, 3, 10, QChar('0')), "螺丝", "一号库", 2, 4)});
        req.append({StockModel::Op::Lower, line("HP005", "螺丝", "一号库", 7)});
        req.append({StockModel::Op::Raise, line("NEW", "新品", "一号库", 3)});
        Transaction tx(t.conn());
        const QVector<StockMove> out = m.apply(req);
        tx.commit();
        for (int i = 0; i < rows; ++i) {
            const StockMove &mv = out[rows - 1 - i];
            QCOMPARE(int(mv.status), int(MoveStatus::Moved));
            QCOMPARE(mv.stockBefore, double(i));
            QCOMPARE(mv.priceAfter, StockModel::movingAverage(i, 2, 2, 4));
            QCOMPARE(num(t, "库存", mv.rowNo), i == 5 ? 0.0 : i + 2.0);
            QCOMPARE(num(t, "进货价", mv.rowNo), StockModel::movingAverage(i, 2, 2, 4));
        }
        QCOMPARE(out[rows].stockBefore, 7.0); // after the receipt of the same row
        QCOMPARE(out[rows].stockAfter, 0.0);
        QCOMPARE(int(out[rows + 1].status), int(MoveStatus::Created));
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 编号 = 'NEW'").toDouble(), 3.0);
    }

    // Two clients post documents naming the same rows in opposite line orders: the rows are
    // locked in one fixed order, so neither waits on the other in a circle.
    void oppositeLineOrdersDoNotDeadlock()
    {
        TestDb t;
        const QStringList codes = {"HP1", "HP2", "HP3", "HP4"};
        for (const auto &c : codes)
            addGoods(t, c, "螺丝", "一号库", 100, 2);
        const int each = 20;
        const QString failure = runClients(t, 2, [&](int n, Connection &conn) {
            StockModel m(conn);
            for (int i = 0; i < each; ++i) {
                QVector<StockModel::Request> req;
                for (int k = 0; k < codes.size(); ++k) {
                    const QString &c = codes[n == 0 ? k : codes.size() - 1 - k];
                    req.append({k % 2 ? StockModel::Op::Lower : StockModel::Op::Receive, line(c, "螺丝", "一号库", 1, 3)});
                }
                Transaction tx(conn);
                m.apply(req);
                tx.commit();
            }
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // Each client received into two rows and took from the other two, alternately.
        QCOMPARE(t.scalar("select sum(库存) from 货品目录").toDouble(), 400.0);
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = 100").toInt(), 4);
    }

    void stockTaking()
    {
        TestDb t;
        const qint64 boxed = addGoods(t, "HP1", "螺丝", "一号库", 3, 1, 1, 4);
        const qint64 broken = addGoods(t, "HP2", "垫片", "一号库", 3, 1, 1, 0);
        t.exec("update 货品目录 set 盘点库存 = '9'");
        StockModel m(t.conn());
        Transaction tx(t.conn());
        QVERIFY(m.setCounted(boxed, 10));
        QVERIFY(m.setCounted(broken, 7));
        QVERIFY(!m.setCounted(9999, 1));
        QCOMPARE(num(t, "库存", boxed), 10.0);
        QCOMPARE(num(t, "辅助库存", boxed), 2.5);
        QCOMPARE(num(t, "辅助库存", broken), 7.0);
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 盘点库存 = ''").toInt(), 2);
    }

    // Ten receipts of 0.1 make exactly 1, on both databases: an issue of 1 is not short.
    void quantitiesAreExactAtFourDecimals()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库", 0, 1);
        StockModel m(t.conn());
        Transaction tx(t.conn());
        for (int i = 0; i < 10; ++i)
            m.receive(line("HP1", "螺丝", "一号库", 0.1, 3, 0.1));
        const StockMove out = m.lower(line("HP1", "螺丝", "一号库", 1, 0, 1));
        QCOMPARE(int(out.status), int(MoveStatus::Moved));
        QCOMPARE(out.stockBefore, 1.0);
        QCOMPARE(out.stockAfter, 0.0);
        QCOMPARE(m.receive(line("HP1", "螺丝", "一号库", 0.00004, 3)).stockAfter, 0.0); // below the scale
        tx.commit();
        QCOMPARE(num(t, "库存", row), 0.0);
        QCOMPARE(num(t, "辅助库存", row), 0.0);
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = 0").toInt(), 1);
    }

    void stockChangesOutsideATransactionAreRefused()
    {
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库", 5, 1);
        StockModel m(t.conn());
        const GoodsLine l = line("HP1", "螺丝", "一号库", 1);
        QVERIFY_THROWS_EXCEPTION(DbError, m.raise(l));
        QVERIFY_THROWS_EXCEPTION(DbError, m.receive(l));
        QVERIFY_THROWS_EXCEPTION(DbError, m.lower(l));
        QVERIFY_THROWS_EXCEPTION(DbError, m.setCounted(row, 1));
        QVERIFY(m.findRow("HP1", "螺丝", "一号库")); // reading needs none
        QCOMPARE(num(t, "库存", row), 5.0);
    }

    // Two clients receive one new item at one new place at the same moment: one row holds both.
    void newRowFromTwoClientsAtOnce()
    {
        TestDb t;
        const int rounds = 8;
        const QString failure = runClients(t, 2, [&](int, Connection &conn) {
            StockModel m(conn);
            for (int i = 0; i < rounds; ++i) {
                Transaction tx(conn);
                m.receive(line(QString("NEW%1").arg(i), "新品", "新仓", 2, 5, 1));
                tx.commit();
            }
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), rounds);
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = 4 and 辅助库存 = 2").toInt(), rounds);
    }

};

ORV_DB_TEST_MAIN(TestStockModel)
#include "tst_db_stockmodel.moc"
