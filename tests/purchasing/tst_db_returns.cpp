// Purchase returns without windows: the save (lines and header, no stock, no voucher), the pending
// list and its search, the approval's rule as a table (demand over places, the trimmed lookup with
// an empty place matching NULL or '', lines of one row chained, rows without stock passed over),
// the voucher and the columns it writes, approving twice and from two clients, approvals naming
// the same goods in opposite orders, and line changes or a cancellation of a settled return.
#include "purchasefixture.h"

#include "common/clock.h"
#include "data/dataset.h"
#include "goods/goodspick.h"
#include "goods/lineediting.h"
#include "purchasing/purchasereturns.h"

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

// A goods row; place NULL when `place` is a null QVariant.
struct GoodsRow {
    QString no, name;
    QVariant place;
    double stock = 0, aux = 0;
};
// A stored return line.
struct ReturnLine {
    QString no, name;
    QVariant place;
    double qty = 0, aux = 0;
};

const QVariant kNull = QVariant(QMetaType::fromType<QString>());

qint64 addRow(TestDb &t, const GoodsRow &r)
{
    t.exec("insert into 货品目录(编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) values(?,?,?,?,?,?,?,?,?,?)",
           {r.no, r.name, r.place, r.stock, r.aux, 3.0, 5.0, 2.0, "LS", "GID"});
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

// A pending return as the entry window stores it.
QString addReturn(TestDb &t, const QList<ReturnLine> &lines, const QString &number = "CGTH-260307-001",
                  const QString &date = "2026-03-07", const QString &supplier = "DW1.华东五金")
{
    const QString id = makeRecordID();
    double total = 0;
    for (const ReturnLine &l : lines) {
        t.exec("insert into 采购退货明细(编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,"
               "换算比率) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
               {l.no, l.name, "规格", "个", "箱", l.aux, l.qty, 3.0, l.qty * 3, id, "690", l.place, supplier, "五金", 2.0});
        total += l.qty * 3;
    }
    t.exec("insert into 采购退货单(单据编号,日期,经办人,供应商,合计应收,ID,备注,当前状态,单据类别,供应商编号,发货员,复核员,"
           "送货员,实际收款,挂账金额,时间) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
           {number, date, "001.张三", supplier, total, id, "退回次品", "待审核", "采购退货", "DW1", "002.李四",
            "003.王五", "004.赵六", total, 0.0, "10:00:00"});
    return id;
}

PurchaseReturns::Approval audit()
{
    return {"009.审核员", "2026-03-08", 40, 20};
}

QString state(TestDb &t, const QString &id)
{
    return t.scalar("select 当前状态 from 采购退货单 where ID = ?", {id}).toString();
}

} // namespace

Q_DECLARE_METATYPE(QList<GoodsRow>)
Q_DECLARE_METATYPE(QList<ReturnLine>)

class TestReturns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerTables(); }
    void init() { resetProgramState(); }
    void cleanup() { Clock::pin(QDateTime()); }

    // The lines first, then the header '待审核'; no stock moves and no voucher is written.
    void saveWritesLinesAndHeader()
    {
        TestDb t;
        const qint64 row = addRow(t, {"A", "甲", "一号库", 10, 5});
        GoodsLineGrid grid;
        fill(grid, {kA, kB});
        ReturnHeader h;
        h.number = "CGTH-260307-001";
        h.date = "2026-03-07";
        h.clerk = "001.张三";
        h.supplier = "DW1.华东五金";
        h.supplierCode = "DW1";
        h.shipper = "002.李四";
        h.checker = "003.王五";
        h.deliverer = "004.赵六";
        h.memo = "退回";
        h.receivable = 16;
        h.received = 10;
        h.onAccount = 6;
        t.exec("insert into 采购退货单(单据编号, ID, 当前状态) values('CGTH-260307-001', 'x', '取消')");
        PurchaseReturns returns(t.conn());
        const PurchaseReturns::Saved saved = returns.save(h, savedLines(grid));
        QCOMPARE(saved.number, QString("CGTH-260307-002")); // the number shown was taken meanwhile
        DataSet d(&t.conn());
        d.setSql("select 单据编号,日期,经办人,供应商,合计应收,当前状态,单据类别,供应商编号,发货员,复核员,送货员,实际收款,"
                 "挂账金额,时间,备注 from 采购退货单 where ID = ?");
        d.addBindValue(saved.id);
        d.open();
        QStringList stored;
        for (int i = 0; i < d.fieldCount(); ++i)
            stored << d.fields(i).asString();
        QCOMPARE(stored, (QStringList{"CGTH-260307-002", "2026-03-07", "001.张三", "DW1.华东五金", "16", "待审核",
                                      "采购退货", "DW1", "002.李四", "003.王五", "004.赵六", "10", "6", "02:00:00",
                                      "退回"}));
        DataSet l(&t.conn());
        l.setSql("select 编号,数量,辅助数量,金额,供应商,换算比率,结存,拼音码 from 采购退货明细 where ID = ? order by 流水号");
        l.addBindValue(saved.id);
        l.open();
        QCOMPARE(l.recordCount(), 2);
        QCOMPARE(l.fieldByName("编号").asString(), QString("A"));
        QCOMPARE(l.fieldByName("金额").asFloat(), 6.0);
        QCOMPARE(l.fieldByName("供应商").asString(), QString("DW1.华东五金")); // the return's, not the goods'
        QCOMPARE(l.fieldByName("换算比率").asFloat(), 1.0);
        QVERIFY(l.fieldByName("结存").isNull());
        QVERIFY(l.fieldByName("拼音码").isNull());
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 10.0);
        QCOMPARE(count(t, "出入库单"), 0);
    }

    void approval_data()
    {
        QTest::addColumn<QList<GoodsRow>>("rows");
        QTest::addColumn<QList<ReturnLine>>("lines");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QList<double>>("stockAfter");    // per goods row
        QTest::addColumn<QVariantList>("lineStock");      // 结存 per line; NULL for a line passed over
        QTest::addColumn<QVariantList>("lineStockBefore"); // 原有库存数量 per line

        const QVariant none = QVariant(QMetaType::fromType<double>());
        QTest::newRow("5 at A and 5 at B against 8 each: refused")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 8, 0}, {"HP1", "螺丝", "B", 8, 0}}
            << QList<ReturnLine>{{"HP1", "螺丝", "A", 5, 0}, {"HP1", "螺丝", "B", 5, 0}}
            << "货品编号:HP1名称:螺丝库存不足,操作被取消" << QList<double>{8, 8} << QVariantList{none, none}
            << QVariantList{none, none};
        QTest::newRow("the code trimmed in the message, the name as stored")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 8, 0}} << QList<ReturnLine>{{" HP1 ", "螺丝 ", "A", 9, 0}}
            << "货品编号:HP1名称:螺丝 库存不足,操作被取消" << QList<double>{8} << QVariantList{none}
            << QVariantList{none};
        QTest::newRow("quantity equal to stock leaves 0")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 5, 4}} << QList<ReturnLine>{{"HP1", "螺丝", "A", 5, 4}} << QString()
            << QList<double>{0} << QVariantList{0.0} << QVariantList{5.0};
        QTest::newRow("an empty place finds a NULL one")
            << QList<GoodsRow>{{"HP1", "螺丝", kNull, 6, 0}} << QList<ReturnLine>{{"HP1", "螺丝", "", 2, 0}}
            << QString() << QList<double>{4} << QVariantList{4.0} << QVariantList{6.0};
        QTest::newRow("a NULL place finds an empty one")
            << QList<GoodsRow>{{"HP1", "螺丝", "", 6, 0}} << QList<ReturnLine>{{"HP1", "螺丝", kNull, 2, 0}}
            << QString() << QList<double>{4} << QVariantList{4.0} << QVariantList{6.0};
        QTest::newRow("trimmed code, name and place")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 6, 0}} << QList<ReturnLine>{{"HP1 ", " 螺丝", " A ", 2, 0}}
            << QString() << QList<double>{4} << QVariantList{4.0} << QVariantList{6.0};
        QTest::newRow("two lines of one row chained")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 10, 0}}
            << QList<ReturnLine>{{"HP1", "螺丝", "A", 3, 0}, {"HP1", "螺丝", "A", 4, 0}} << QString()
            << QList<double>{3} << QVariantList{7.0, 3.0} << QVariantList{10.0, 7.0};
        QTest::newRow("a zero line on a missing row is passed over")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 5, 0}}
            << QList<ReturnLine>{{"HP1", "螺丝", "A", 2, 0}, {"HP9", "无货", "A", 0, 0}} << QString()
            << QList<double>{3} << QVariantList{3.0, none} << QVariantList{5.0, none};
        QTest::newRow("a zero line on a row without stock is passed over")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 0, 0}} << QList<ReturnLine>{{"HP1", "螺丝", "A", 0, 0}}
            << QString() << QList<double>{0} << QVariantList{none} << QVariantList{none};
        QTest::newRow("a line of a row emptied by the line before is passed over")
            << QList<GoodsRow>{{"HP1", "螺丝", "A", 5, 0}}
            << QList<ReturnLine>{{"HP1", "螺丝", "A", 5, 0}, {"HP1", "螺丝", "A", 0, 0}} << QString()
            << QList<double>{0} << QVariantList{0.0, none} << QVariantList{5.0, none};
    }
    void approval()
    {
        QFETCH(QList<GoodsRow>, rows);
        QFETCH(QList<ReturnLine>, lines);
        QFETCH(QString, refusal);
        QFETCH(QList<double>, stockAfter);
        QFETCH(QVariantList, lineStock);
        QFETCH(QVariantList, lineStockBefore);
        TestDb t;
        QList<qint64> rowNos;
        for (const GoodsRow &r : rows)
            rowNos << addRow(t, r);
        const QString id = addReturn(t, lines);
        PurchaseReturns returns(t.conn());
        const DocumentApproval::Result r = returns.approve(id, audit());
        QCOMPARE(int(r.status), int(refusal.isEmpty() ? DocumentApproval::Status::Approved
                                                       : DocumentApproval::Status::Short));
        QCOMPARE(r.message, refusal);
        QCOMPARE(state(t, id), refusal.isEmpty() ? QString("已审核") : QString("待审核"));
        QCOMPARE(count(t, "出入库单"), refusal.isEmpty() ? 1 : 0);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {rowNos[i]}).toDouble(), stockAfter[i]);
        DataSet d(&t.conn());
        d.setSql("select 结存, 原有库存数量 from 采购退货明细 where ID = ? order by 流水号");
        d.addBindValue(id);
        d.open();
        int taken = 0;
        for (int i = 0; !d.eof(); ++i, d.next()) {
            QCOMPARE(d.fields(0).isNull(), lineStock[i].isNull());
            QCOMPARE(d.fields(1).isNull(), lineStockBefore[i].isNull());
            if (!lineStock[i].isNull()) {
                ++taken;
                QCOMPARE(d.fields(0).asFloat(), lineStock[i].toDouble());
                QCOMPARE(d.fields(1).asFloat(), lineStockBefore[i].toDouble());
            }
        }
        QCOMPARE(count(t, "出入库明细"), taken);
    }

    // The voucher's header and lines, the line's other stock columns, the header's audit columns;
    // the purchase price stays.
    void approvalWritesVoucherAndColumns()
    {
        TestDb t;
        const qint64 row = addRow(t, {"HP1", "螺丝", "A", 10, 5});
        t.exec("insert into 出入库单(单据编号, ID) values('CK-260307-001', 'v0')");
        const QString id = addReturn(t, {{"HP1", "螺丝", "A", 4, 2}}, "CGTH-260305-004");
        PurchaseReturns returns(t.conn());
        const DocumentApproval::Result r = returns.approve(id, audit());
        QCOMPARE(int(r.status), int(DocumentApproval::Status::Approved));
        QCOMPARE(r.voucher.number, QString("CK-260307-002"));
        DataSet v(&t.conn());
        v.setSql("select 单据编号,引用单号,引用ID,引用类别,原因,单据类别,制单人,审核人,制单日期,审核日期,单据备注,相关单位,"
                 "单位编号,联系人,联系电话,当前状态 from 出入库单 where ID = ?");
        v.addBindValue(r.voucher.id);
        v.open();
        QStringList header;
        for (int i = 0; i < v.fieldCount(); ++i)
            header << v.fields(i).asString();
        QCOMPARE(header, (QStringList{"CK-260307-002", "CGTH-260305-004", id, "采购退货", "采购退货", "出库",
                                      "009.审核员", "009.审核员", "2026-03-08", "2026-03-08", "退回次品",
                                      "DW1.华东五金", "DW1", "", "", "已审核"}));
        DataSet l(&t.conn());
        l.setSql("select 编号,数量,金额,仓位,类型,结存,原有库存数量,辅助库存结存,原有辅助数量,拼音码,换算比率 from 出入库明细 "
                 "where ID = ?");
        l.addBindValue(r.voucher.id);
        l.open();
        QCOMPARE(l.recordCount(), 1);
        QStringList line;
        for (int i = 0; i < l.fieldCount(); ++i)
            line << l.fields(i).asString();
        QCOMPARE(line, (QStringList{"HP1", "4", "12", "A", "出库", "6", "10", "3", "5", "LS", "2"}));
        DataSet d(&t.conn());
        d.setSql("select 辅助库存结存, 原有辅助数量, 拼音码 from 采购退货明细 where ID = ?");
        d.addBindValue(id);
        d.open();
        QCOMPARE(d.fields(0).asFloat(), 3.0);
        QCOMPARE(d.fields(1).asFloat(), 5.0);
        QCOMPARE(d.fields(2).asString(), QString("LS"));
        QCOMPARE(t.scalar("select 辅助库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 3.0);
        QCOMPARE(t.scalar("select 进货价 from 货品目录 where 流水号 = ?", {row}).toDouble(), 3.0);
        DataSet h(&t.conn());
        h.setSql("select 当前状态, 审核人, 审核日期, 实际收款, 挂账金额 from 采购退货单 where ID = ?");
        h.addBindValue(id);
        h.open();
        QCOMPARE(h.fields(0).asString(), QString("已审核"));
        QCOMPARE(h.fields(1).asString(), QString("009.审核员"));
        QCOMPARE(h.fields(2).asString(), QString("2026-03-08"));
        QCOMPARE(h.fields(3).asFloat(), 40.0);
        QCOMPARE(h.fields(4).asFloat(), 20.0);
    }

    // A pending return without lines is approved: a voucher header without lines.
    void returnWithoutLines()
    {
        TestDb t;
        const QString id = addReturn(t, {});
        PurchaseReturns returns(t.conn());
        QCOMPARE(int(returns.approve(id, audit()).status), int(DocumentApproval::Status::Approved));
        QCOMPARE(count(t, "出入库单"), 1);
        QCOMPARE(count(t, "出入库明细"), 0);
        QCOMPARE(state(t, id), QString("已审核"));
    }

    // Approving again, or a return another client cancelled, or none at all, writes nothing.
    void approvingTwiceWritesOnce()
    {
        TestDb t;
        const qint64 row = addRow(t, {"HP1", "螺丝", "A", 10, 0});
        const QString id = addReturn(t, {{"HP1", "螺丝", "A", 4, 0}});
        const QString cancelled = addReturn(t, {{"HP1", "螺丝", "A", 1, 0}}, "CGTH-260307-002");
        PurchaseReturns returns(t.conn());
        QCOMPARE(int(returns.approve(id, audit()).status), int(DocumentApproval::Status::Approved));
        QCOMPARE(int(returns.approve(id, audit()).status), int(DocumentApproval::Status::NotPending));
        QVERIFY(returns.cancel(t.scalar("select 流水号 from 采购退货单 where ID = ?", {cancelled}).toLongLong()));
        QCOMPARE(int(returns.approve(cancelled, audit()).status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(int(returns.approve(QString(), audit()).status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(int(returns.approve("no such", audit()).status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(count(t, "出入库单"), 1);
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 6.0);
        QCOMPARE(state(t, cancelled), QString("取消"));
    }

    // Two clients approve the same returns at once: each is approved once.
    void twoClientsApproveOnce()
    {
        TestDb t;
        const qint64 row = addRow(t, {"HP1", "螺丝", "A", 100, 0});
        const int returnsCount = 6;
        QStringList ids;
        for (int i = 0; i < returnsCount; ++i)
            ids << addReturn(t, {{"HP1", "螺丝", "A", 2, 0}}, QString("CGTH-260307-%1").arg(i + 1, 3, 10, QChar('0')));
        QAtomicInt approved = 0;
        const QString failure = runClients(t, 2, [&](int, Connection &conn) {
            PurchaseReturns returns(conn);
            for (const QString &id : std::as_const(ids))
                if (returns.approve(id, audit()).status == DocumentApproval::Status::Approved)
                    approved.fetchAndAddRelaxed(1);
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(approved.loadRelaxed(), returnsCount);
        QCOMPARE(count(t, "出入库单"), returnsCount);
        QCOMPARE(t.scalar("select count(distinct 引用ID) from 出入库单").toInt(), returnsCount);
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 100.0 - 2 * returnsCount);
    }

    // Two clients approve returns naming the same goods in opposite orders: no deadlock.
    void oppositeOrdersDoNotDeadlock()
    {
        TestDb t;
        const QStringList codes = {"HP1", "HP2", "HP3", "HP4"};
        for (const QString &c : codes)
            addRow(t, {c, "螺丝", "A", 1000, 0});
        const int each = 12;
        QList<QStringList> ids(2);
        for (int n = 0; n < 2; ++n)
            for (int i = 0; i < each; ++i) {
                QList<ReturnLine> lines;
                for (int k = 0; k < codes.size(); ++k)
                    lines.append({codes[n == 0 ? k : codes.size() - 1 - k], "螺丝", "A", 1, 0});
                ids[n] << addReturn(t, lines, QString("CGTH-26030%1-%2").arg(n + 1).arg(i + 1, 3, 10, QChar('0')));
            }
        const QString failure = runClients(t, 2, [&](int n, Connection &conn) {
            PurchaseReturns returns(conn);
            for (const QString &id : std::as_const(ids[n]))
                if (returns.approve(id, audit()).status != DocumentApproval::Status::Approved)
                    throw std::runtime_error("not approved");
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = ?", {1000.0 - 2 * each}).toInt(), 4);
    }

    // Once a return is settled its lines stay: nothing the audit's picker, editor or delete sends
    // is written, and a cancellation leaves an approved return approved.
    void settledReturnKeepsItsLines()
    {
        TestDb t;
        addRow(t, {"HP1", "螺丝", "A", 10, 0});
        const QString id = addReturn(t, {{"HP1", "螺丝", "A", 4, 0}});
        const qint64 line = t.scalar("select 流水号 from 采购退货明细 where ID = ?", {id}).toLongLong();
        const qint64 header = t.scalar("select 流水号 from 采购退货单 where ID = ?", {id}).toLongLong();
        PurchaseReturns returns(t.conn());
        // While pending a line goes and the totals follow.
        const QString other = addReturn(t, {{"HP1", "螺丝", "A", 1, 0}, {"HP1", "螺丝", "A", 2, 0}}, "CGTH-260307-009");
        QVERIFY(returns.deleteLine(other, t.scalar("select min(流水号) from 采购退货明细 where ID = ?", {other}).toLongLong()));
        QCOMPARE(t.scalar("select 合计应收 from 采购退货单 where ID = ?", {other}).toDouble(), 6.0);
        QCOMPARE(t.scalar("select 实际收款 from 采购退货单 where ID = ?", {other}).toDouble(), 6.0);

        QCOMPARE(int(returns.approve(id, audit()).status), int(DocumentApproval::Status::Approved));
        QVERIFY(!returns.deleteLine(id, line));
        stage(kA);
        QCOMPARE(insertAuditLine(t.conn(), 3, G.gRepFit, id), qint64(0));
        QVERIFY(!lineediting::updateDetailRow(t.conn(), 3, line, {"9", "0", "1", "9", {}, {}}));
        returns.recomputeTotals(id);
        QVERIFY(!returns.cancel(header));
        QCOMPARE(t.scalar("select count(*) from 采购退货明细 where ID = ?", {id}).toInt(), 1);
        QCOMPARE(t.scalar("select 数量 from 采购退货明细 where ID = ?", {id}).toDouble(), 4.0);
        QCOMPARE(t.scalar("select 实际收款 from 采购退货单 where ID = ?", {id}).toDouble(), 40.0);
        QCOMPARE(state(t, id), QString("已审核"));
    }

    void pendingList_data()
    {
        QTest::addColumn<bool>("ranged");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("opening: every pending return, newest first")
            << false << "" << "" << QStringList{"CGTH-260310-001", "CGTH-260307-001", "CGTH-260301-001", "CGTH-260201-001"};
        QTest::newRow("the range includes its last day")
            << true << "" << "" << QStringList{"CGTH-260307-001", "CGTH-260301-001"};
        QTest::newRow("show all ignores the text") << true << "" << "乙" << QStringList{"CGTH-260307-001", "CGTH-260301-001"};
        QTest::newRow("by number") << true << "单据编号" << "0301" << QStringList{"CGTH-260301-001"};
        QTest::newRow("by supplier, any letter case") << true << "供应商" << "dw2" << QStringList{"CGTH-260301-001"};
        QTest::newRow("a wildcard stays one") << true << "供应商" << "DW_.乙" << QStringList{"CGTH-260301-001"};
        QTest::newRow("by clerk") << true << "经办人" << "张" << QStringList{"CGTH-260307-001", "CGTH-260301-001"};
        QTest::newRow("a quote is only text") << true << "供应商" << "'; drop table 采购退货单; --" << QStringList{};
    }
    void pendingList()
    {
        QFETCH(bool, ranged);
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        TestDb t;
        addReturn(t, {}, "CGTH-260201-001", "2026-02-01");
        addReturn(t, {}, "CGTH-260301-001", "2026-03-01", "DW2.乙厂");
        addReturn(t, {}, "CGTH-260307-001", "2026-03-07");
        addReturn(t, {}, "CGTH-260310-001", "2026-03-10");
        const QString approved = addReturn(t, {}, "CGTH-260305-001", "2026-03-05");
        t.exec("update 采购退货单 set 当前状态 = '已审核' where ID = ?", {approved});
        PurchaseReturns returns(t.conn());
        PendingSearch q;
        q.ranged = ranged;
        q.from = QDate(2026, 3, 1);
        q.to = QDate(2026, 3, 7);
        q.column = column;
        q.text = text;
        DataSet ds(&t.conn());
        returns.openPending(ds, q);
        QStringList found;
        for (ds.first(); !ds.eof(); ds.next())
            found << ds.fieldByName("单据编号").asString();
        QCOMPARE(found, numbers);
        QCOMPARE(ds.fieldNames().first().toUpper(), QString("ID"));
        QCOMPARE(ds.fieldNames().at(13), QString("流水号"));
    }
};

ORV_DB_TEST_MAIN(TestReturns)
#include "tst_db_returns.moc"
