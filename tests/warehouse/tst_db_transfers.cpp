// The loss report's approval and cancellation, the workshop and the warehouse transfer's saves,
// checks and prints: what every table holds after, and that a refusal writes nothing.
#include "auditlines.h"
#include "documentfixture.h"
#include "scriptedprompt.h"

#include "app/windowing.h"
#include "data/dataset.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/goodslineview.h"
#include "goods/goodspick.h"
#include "goods/lineediting.h"
#include "goods/listmodel.h"
#include "warehouse/frmbaosunaud.h"
#include "warehouse/frmhuodiao.h"
#include "warehouse/frmhuopindiao.h"
#include "warehouse/lossreports.h"
#include "warehouse/transfers.h"
#include "warehouse/warehousemenu.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QTableView>

using namespace orv;
using namespace orv::test;
using namespace documenttest;

namespace {

struct LossLine {
    QString no, place;
    double qty, aux = 1;
};

void addRow(TestDb &t, const QString &no, const QString &place, double stock, double aux = 4)
{
    addGoods(t, {{"编号", no}, {"名称", "货品" + no}, {"仓位", place}, {"库存", stock}, {"辅助库存", aux},
                 {"进货价", 3}, {"出货价", 4}, {"换算比率", 2}, {"助记码", "HP" + no}});
}

// A pending loss report as the entry window stores it; returns its record ID.
QString addReport(TestDb &t, const QList<LossLine> &lines, const QString &id = "R1")
{
    t.exec("insert into 货品报损单(ID, 单据编号, 日期, 开单员, 报损部门, 部门编号, 摘要, 金额合计, 当前状态) "
           "values (?, ?, '2026-03-05', '001.张三', 'BM01.一车间', 'BM01', '破损', 0, '待审核')",
           {id, "HPBS-260305-" + id});
    for (const LossLine &l : lines)
        t.exec("insert into 货品报损明细(ID, 编号, 名称, 规格, 单位, 辅助单位, 数量, 辅助数量, 单价, 金额, 仓位, 条码, "
               "供应商, 类别, 换算比率) values (?, ?, ?, '规格', '个', '箱', ?, ?, 3, ?, ?, '690', 'DW9.供', '五金', 2)",
               {id, l.no, "货品" + l.no, l.qty, l.aux, l.qty * 3, l.place});
    return id;
}

QStringList rows(TestDb &t, const QString &sql, const QVariantList &binds = {})
{
    DataSet q(&t.conn());
    q.setSql(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList cells;
        for (int i = 0; i < q.fieldCount(); ++i)
            cells << (q.fields(i).isNull() ? QString("-") : q.fields(i).asString());
        out << cells.join('|');
    }
    return out;
}

// The stock of every goods row and how many rows each table holds.
QStringList footprint(TestDb &t, const QStringList &tables)
{
    QStringList out = rows(t, "select 编号, 仓位, 库存, 辅助库存 from 货品目录 order by 流水号");
    for (const QString &table : tables)
        out << table + ":" + t.scalar("select count(*) from " + table).toString();
    return out;
}

const QStringList kLossTables{"出入库单", "出入库明细", "货品目录"};
const QStringList kWorkshopTables{"调拨单", "调拨明细", "成品入库单", "成品入库明细", "车间领用", "车间领用明细",
                                  "出入库单", "出入库明细"};
const QStringList kWarehouseTables{"货品调拨单", "货品调拨明细", "出入库单", "出入库明细"};

WorkshopTransferHeader workshopHeader()
{
    WorkshopTransferHeader h;
    h.number = "HPDB-260307-001";
    h.receiptNo = "CPRK-260307-001";
    h.requisitionNo = "NBLY-260307-001";
    h.date = "2026-03-07";
    h.manager = "001.张三";
    h.shipper = "002.李四";
    h.receiver = "003.王五";
    h.checker = "004.赵六";
    h.fromShop = "BM01.一车间";
    h.fromCode = "BM01";
    h.toShop = "BM02.二车间";
    h.toCode = "BM02";
    h.remark = "调拨";
    return h;
}

WarehouseTransferHeader warehouseHeader(const QString &source = "一号库", const QString &target = "二号库")
{
    WarehouseTransferHeader h;
    h.number = "CKDB-260307-001";
    h.date = "2026-03-07";
    h.manager = "001.张三";
    h.source = source;
    h.target = target;
    h.remark = "移库";
    return h;
}

QVector<SavedLine> gridLines(const QList<Line> &lines)
{
    GoodsLineGrid grid;
    G.gRepFit.TargetRow = 0;
    fill(grid, lines);
    return savedLines(grid);
}

} // namespace

Q_DECLARE_METATYPE(QList<LossLine>)

class TestTransfers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerTables(); }
    void init() { resetProgramState(); }
    void cleanup() { Clock::pin(QDateTime()); }

    // An approval moves each line's goods from its place into '报损仓' with both vouchers; the
    // lines record the stock each of them found and left, by their own 流水号.
    void lossApproval_data()
    {
        QTest::addColumn<QList<LossLine>>("lines");
        QTest::addColumn<double>("lossStock");      // '报损仓' row of A before the approval (-1: none)
        QTest::addColumn<QStringList>("goods");     // 编号|仓位|库存|辅助库存 after
        QTest::addColumn<QStringList>("lineStock"); // 结存|原有库存数量|辅助库存结存|原有辅助数量|拼音码 per line
        QTest::addColumn<int>("outLines");          // voucher lines of each voucher
        QTest::addColumn<QString>("created");       // the '报损仓' row made: 警戒库存|ID|进货价|出货价|助记码
        QTest::newRow("stock equal to the need leaves 0; the first approval creates the row")
            << QList<LossLine>{{"A", "一号库", 5, 2}} << -1.0
            << QStringList{"A|一号库|0|2", "Z|一号库|0|0", "A|报损仓|5|2"} << QStringList{"0|5|2|4|HPA"} << 1
            << "5||3|3|HPA";
        QTest::newRow("a second approval adds to the row")
            << QList<LossLine>{{"A", "一号库", 2, 1}} << 3.0
            << QStringList{"A|一号库|3|3", "Z|一号库|0|0", "A|报损仓|5|4"} << QStringList{"3|5|3|4|HPA"} << 1 << "";
        QTest::newRow("two lines of one goods at one place: each its own move")
            << QList<LossLine>{{"A", "一号库", 2, 1}, {"A", "一号库", 3, 1}} << -1.0
            << QStringList{"A|一号库|0|2", "Z|一号库|0|0", "A|报损仓|5|2"} << QStringList{"3|5|3|4|HPA", "0|3|2|3|HPA"}
            << 2 << "2||3|3|HPA";
        QTest::newRow("a zero line without stock is passed over")
            << QList<LossLine>{{"A", "一号库", 1, 1}, {"Z", "一号库", 0, 0}} << -1.0
            << QStringList{"A|一号库|4|3", "Z|一号库|0|0", "A|报损仓|1|1"} << QStringList{"4|5|3|4|HPA", "-|-|-|-|-"}
            << 1 << "1||3|3|HPA";
    }
    void lossApproval()
    {
        QFETCH(QList<LossLine>, lines);
        QFETCH(double, lossStock);
        QFETCH(QStringList, goods);
        QFETCH(QStringList, lineStock);
        QFETCH(int, outLines);
        QFETCH(QString, created);
        TestDb t;
        addRow(t, "A", "一号库", 5);
        addRow(t, "Z", "一号库", 0, 0);
        if (lossStock >= 0)
            addRow(t, "A", kLossPlace, lossStock, lossStock);
        const QString id = addReport(t, lines);
        LossReports reports(t.conn());
        const auto r = reports.approve(id, "005.审核员", "2026-03-07");
        QCOMPARE(int(r.status), int(DocumentApproval::Status::Approved));

        QCOMPARE(rows(t, "select 编号, 仓位, 库存, 辅助库存 from 货品目录 order by 仓位 = '报损仓', 编号"), goods);
        QCOMPARE(rows(t, "select 结存, 原有库存数量, 辅助库存结存, 原有辅助数量, 拼音码 from 货品报损明细 order by 流水号"),
                 lineStock);
        QCOMPARE(rows(t, "select 当前状态, 审核人, 审核日期 from 货品报损单"),
                 QStringList{"已审核|005.审核员|2026-03-07"});
        // The issue voucher under a record ID of its own, the receipt voucher under the report's.
        QCOMPARE(rows(t, "select substr(单据编号, 1, 3), 引用ID, 引用单号, 引用类别, 制单人, 相关单位, 单位编号, "
                         "case when ID = ? then 'report' else 'own' end from 出入库单 order by 单据类别 = '出库'",
                      {id}),
                 (QStringList{"RK-|R1|HPBS-260305-R1|货品报损|005.审核员|BM01.一车间|BM01|report",
                              "CK-|R1|HPBS-260305-R1|货品报损|005.审核员|BM01.一车间|BM01|own"}));
        QCOMPARE(t.scalar("select count(*) from 出入库明细 m join 出入库单 h on h.ID = m.ID where h.单据类别 = '出库' "
                          "and m.仓位 = '一号库' and m.类型 = '出库'")
                     .toInt(),
                 outLines);
        QCOMPARE(t.scalar("select count(*) from 出入库明细 where ID = ? and 仓位 = '报损仓' and 类型 = '入库'", {id}).toInt(),
                 outLines);
        if (!created.isEmpty())
            QCOMPARE(rows(t, "select 警戒库存, ID, 进货价, 出货价, 助记码 from 货品目录 where 仓位 = '报损仓'"),
                     QStringList{created});
    }

    // A shortage writes nothing: the need of a code and name is summed over the report's places.
    void lossShortage_data()
    {
        QTest::addColumn<QList<LossLine>>("lines");
        QTest::addColumn<QString>("message");
        QTest::newRow("a missing row") << QList<LossLine>{{"A", "三号库", 1}} << "货品编号:A名称:货品A库存不足,操作被取消";
        QTest::newRow("two places, each enough for its own line")
            << QList<LossLine>{{"A", "一号库", 4}, {"A", "二号库", 4}} << "货品编号:A名称:货品A库存不足,操作被取消";
    }
    void lossShortage()
    {
        QFETCH(QList<LossLine>, lines);
        QFETCH(QString, message);
        TestDb t;
        addRow(t, "A", "一号库", 5);
        addRow(t, "A", "二号库", 5);
        const QStringList before = footprint(t, kLossTables);
        const QString id = addReport(t, lines);
        LossReports reports(t.conn());
        const auto r = reports.approve(id, "005", "2026-03-07");
        QCOMPARE(int(r.status), int(DocumentApproval::Status::Short));
        QCOMPARE(r.message, message);
        QCOMPARE(footprint(t, kLossTables), before);
        QCOMPARE(t.scalar("select 当前状态 from 货品报损单").toString(), QString("待审核"));
    }

    // A report is settled once: approving it again, or from two clients at once, posts it once;
    // a cancelled one is not approved, an approved one not cancelled.
    void lossSettledOnce()
    {
        TestDb t;
        addRow(t, "A", "一号库", 10);
        const QString id = addReport(t, {{"A", "一号库", 2}});
        addReport(t, {{"A", "一号库", 1}}, "R2");
        LossReports reports(t.conn());
        QCOMPARE(int(reports.approve(id, "005", "2026-03-07").status), int(DocumentApproval::Status::Approved));
        QCOMPARE(int(reports.approve(id, "005", "2026-03-07").status), int(DocumentApproval::Status::NotPending));
        const qint64 r1 = t.scalar("select 流水号 from 货品报损单 where ID = 'R1'").toLongLong();
        const qint64 r2 = t.scalar("select 流水号 from 货品报损单 where ID = 'R2'").toLongLong();
        QVERIFY(!reports.cancel(r1));
        QVERIFY(reports.cancel(r2));
        QVERIFY(!reports.cancel(r2));
        QCOMPARE(int(reports.approve("R2", "005", "2026-03-07").status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(rows(t, "select ID, 当前状态 from 货品报损单 order by ID"), (QStringList{"R1|已审核", "R2|取消"}));
        QCOMPARE(rows(t, "select 编号, 仓位, 库存 from 货品目录 order by 流水号"),
                 (QStringList{"A|一号库|8", "A|报损仓|2"}));

        addReport(t, {{"A", "一号库", 3}}, "R3");
        QAtomicInt approved;
        const QString failure = runClients(t, 2, [&](int, Connection &c) {
            LossReports own(c);
            if (own.approve("R3", "006", "2026-03-08").status == DocumentApproval::Status::Approved)
                approved.fetchAndAddRelaxed(1);
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(approved.loadRelaxed(), 1);
        QCOMPARE(rows(t, "select 编号, 仓位, 库存 from 货品目录 order by 流水号"),
                 (QStringList{"A|一号库|5", "A|报损仓|5"}));
        QCOMPARE(t.scalar("select count(*) from 出入库单 where 引用ID = 'R3'").toInt(), 2);
    }

    // Line changes and the total follow only a pending report; the audit's print.
    void lossLinesAndPrint()
    {
        TestDb t;
        addRow(t, "A", "一号库", 10);
        const QString id = addReport(t, {{"A", "一号库", 2, 1}, {"A", "一号库", 3, 2}});
        LossReports reports(t.conn());
        reports.recomputeTotal(id);
        QCOMPARE(t.scalar("select 金额合计 from 货品报损单").toDouble(), 15.0);
        const qint64 first = t.scalar("select min(流水号) from 货品报损明细").toLongLong();
        QVERIFY(reports.deleteLine(id, first));
        QCOMPARE(t.scalar("select 金额合计 from 货品报损单").toDouble(), 9.0);

        G.gPrintSignature = 0;
        const DocumentPrint p = reports.print(id);
        QCOMPARE(p.templateName, QString("tongyong.frf"));
        QCOMPARE(p.headBands, (QStringList{"报表标题1", "主项头1", "主项头3"}));
        QStringList got;
        for (const char *slot : {"Memo1", "Memo2", "Memo9", "Memo5", "Memo3", "Memo7", "Memo28", "Memo30", "Memo31",
                                 "Memo26", "Memo25", "Memo27"})
            got << p.slot(QString::fromUtf8(slot));
        QCOMPARE(got, (QStringList{"我的公司公司货品报损单", "报损部门:", "HPBS-260305-R1", "2026-03-05", "BM01.一车间",
                                   "破损", "报损部门:BM01.一车间", "财务:", "负责人:001.张三", "3", "2", "9"}));
        QCOMPARE(p.lines, (QList<QStringList>{{"货品A", "规格", "2", "3", "个", "3", "9"}}));

        QVERIFY(reports.approve(id, "005", "2026-03-07").status == DocumentApproval::Status::Approved);
        const qint64 second = t.scalar("select max(流水号) from 货品报损明细").toLongLong();
        QVERIFY(!reports.deleteLine(id, second));
        QCOMPARE(t.scalar("select count(*) from 货品报损明细").toInt(), 1);
    }

    // A line the picker adds or the line editor changes stores 金额合计 in its own transaction:
    // when the total cannot be stored, the line is not either.
    void lossLineCarriesTotal_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<double>("total");
        QTest::newRow("a line added (2 at 3)") << true << 21.0;
        QTest::newRow("the first line edited (2 to 5 at 3)") << false << 24.0;
    }
    void lossLineCarriesTotal()
    {
        QFETCH(bool, add);
        QFETCH(double, total);
        TestDb t;
        addRow(t, "A", "一号库", 10);
        const QString id = addReport(t, {{"A", "一号库", 2, 1}, {"A", "一号库", 3, 2}});
        LossReports reports(t.conn());
        reports.recomputeTotal(id);
        const qint64 first = t.scalar("select min(流水号) from 货品报损明细").toLongLong();
        stage({"A", "货品A", "一号库", "2", "3"});
        G.gRepFit.PurchasePrice = "3"; // a loss line is priced at 进货价
        const auto change = [&] {
            if (add)
                QVERIFY(insertAuditLine(t.conn(), 4, G.gRepFit, id) > 0);
            else
                QVERIFY(lineediting::updateDetailRow(t.conn(), 4, first, {"5", "2", "3", "15", {}, {}}));
        };
        const QString lines = "select 流水号, 数量, 金额 from 货品报损明细 order by 流水号";
        const QStringList before = rows(t, lines);

        t.conn().exec("alter table 货品报损单 rename column 金额合计 to 金额合计x");
        QVERIFY_THROWS_EXCEPTION(DbError, change());
        t.conn().exec("alter table 货品报损单 rename column 金额合计x to 金额合计");
        QCOMPARE(rows(t, lines), before);
        QCOMPARE(t.scalar("select 金额合计 from 货品报损单").toDouble(), 15.0);

        change();
        QVERIFY(rows(t, lines) != before);
        QCOMPARE(t.scalar("select 金额合计 from 货品报损单").toDouble(), total);
    }

    // 5 on 12: the goods go in and out of their row, three documents and two vouchers under one ID.
    void workshopTransfer()
    {
        TestDb t;
        addRow(t, "A", "一号库", 12, 6);
        t.exec("insert into 调拨单(ID, 单据编号, 当前状态) values ('old', 'HPDB-260307-001', '已审核')");
        Transfers transfers(t.conn());
        const auto r = transfers.saveWorkshop(workshopHeader(), gridLines({{"A", "货品A", "一号库", "5", "3", "2", "2"}}));
        QVERIFY(r.ok());
        QCOMPARE(r.number, QString("HPDB-260307-002")); // taken meanwhile: the next free one
        QCOMPARE(rows(t, "select 库存, 辅助库存 from 货品目录"), QStringList{"12|6"});
        const QString cols = "结存, 原有库存数量, 辅助库存结存, 原有辅助数量, case when ID = ? then 'id' end";
        QCOMPARE(rows(t, "select " + cols + " from 成品入库明细", {r.id}), QStringList{"17|12|8|6|id"});
        QCOMPARE(rows(t, "select " + cols + " from 车间领用明细", {r.id}), QStringList{"12|17|6|8|id"});
        QCOMPARE(rows(t, "select " + cols + ", 仓位 from 调拨明细", {r.id}), QStringList{"12|12|6|6|id|一号库"});
        QCOMPARE(rows(t, "select 单据编号, 负责人, 调出车间, 调入车间, 发货员, 收货员, 复核员, 金额合计, 当前状态 from 调拨单 "
                         "where ID = ?",
                      {r.id}),
                 QStringList{"HPDB-260307-002|001.张三|BM01.一车间|BM02.二车间|002.李四|003.王五|004.赵六|15|已审核"});
        QCOMPARE(rows(t, "select 单据编号, 开单员, 相关单位, 单位编号, 送货员, 复核员, 当前状态 from 成品入库单 where ID = ?",
                      {r.id}),
                 QStringList{"CPRK-260307-001|001.张三|BM01.一车间|BM01|002.李四|004.赵六|已审核"});
        QCOMPARE(rows(t, "select 单据编号, 经办人, 领用部门, 部门编号, 发货员, 领用员, 复核员 from 车间领用 where ID = ?",
                      {r.id}),
                 QStringList{"NBLY-260307-001|001.张三|BM02.二车间|BM02|002.李四|003.王五|004.赵六"});
        QCOMPARE(rows(t, "select substr(h.单据编号, 1, 3), h.引用单号, h.引用类别, h.相关单位, h.单位编号, h.联系人, "
                         "m.类型, m.结存, m.原有库存数量 from 出入库单 h join 出入库明细 m on m.ID = h.ID "
                         "where h.引用ID = ? order by h.单据类别 = '出库'",
                      {r.id}),
                 (QStringList{"RK-|CPRK-260307-001|成品入库|BM01.一车间|BM01|002.李四|入库|17|12",
                              "CK-|NBLY-260307-001|车间领用|BM02.二车间|BM02|003.王五|出库|12|17"}));
    }

    // A shortage refuses the whole transfer, the workshop one although the goods would come back.
    void transferShortages_data()
    {
        QTest::addColumn<bool>("workshop");
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<int>("shortRow");
        QTest::newRow("workshop: 5 on 4") << true << QList<Line>{{"A", "货品A", "一号库", "5", "3"}} << 1;
        QTest::newRow("workshop: no row at the line's place")
            << true << QList<Line>{{"B", "货品B", "一号库", "1", "3"}, {"A", "货品A", "二号库", "1", "3"}} << 2;
        QTest::newRow("warehouse: 3 + 4 against 5")
            << false << QList<Line>{{"C", "货品C", "一号库", "3", "3"}, {"C", "货品C", "二号库", "4", "3"}} << 2;
        QTest::newRow("warehouse: no row at the source")
            << false << QList<Line>{{"D", "货品D", "二号库", "1", "3"}} << 1;
    }
    void transferShortages()
    {
        QFETCH(bool, workshop);
        QFETCH(QList<Line>, lines);
        QFETCH(int, shortRow);
        TestDb t;
        addRow(t, "A", "一号库", 4);
        addRow(t, "B", "一号库", 9);
        addRow(t, "C", "一号库", 5);
        addRow(t, "D", "二号库", 5);
        const QStringList tables = workshop ? kWorkshopTables : kWarehouseTables;
        const QStringList before = footprint(t, tables + QStringList{"货品目录"});
        Transfers transfers(t.conn());
        const auto r = workshop ? transfers.saveWorkshop(workshopHeader(), gridLines(lines))
                                : transfers.saveWarehouse(warehouseHeader(), gridLines(lines));
        QCOMPARE(r.shortRow, shortRow);
        QCOMPARE(footprint(t, tables + QStringList{"货品目录"}), before);
    }

    // A warehouse transfer: out of the source row of the line's code and name (also for a line
    // picked at another place), into the target row, a missing one created with its ratio.
    void warehouseTransfer()
    {
        TestDb t;
        addRow(t, "A", "一号库", 12, 6);
        addRow(t, "A", "三号库", 1, 1);
        addRow(t, "B", "一号库", 20, 4);
        addRow(t, "B", "二号库", 1, 1);
        Transfers transfers(t.conn());
        const auto r = transfers.saveWarehouse(
            warehouseHeader(),
            gridLines({{"A", "货品A", "三号库", "10", "3", "2", "2"}, {"B", "货品B", "一号库", "4", "2", "2", "2"}}));
        QVERIFY(r.ok());
        QCOMPARE(rows(t, "select 编号, 仓位, 库存, 辅助库存, 换算比率 from 货品目录 order by 流水号"),
                 (QStringList{"A|一号库|2|4|2", "A|三号库|1|1|2", "B|一号库|16|2|2", "B|二号库|5|3|2", "A|二号库|10|2|5"}));
        QCOMPARE(rows(t, "select 警戒库存, length(ID) from 货品目录 where 编号 = 'A' and 仓位 = '二号库'"),
                 QStringList{"10|24"});
        QCOMPARE(rows(t, "select 编号, 仓位, 结存, 原有库存数量, 拼音码 from 货品调拨明细 where ID = ? order by 流水号", {r.id}),
                 (QStringList{"A|三号库|2|12|HPA", "B|一号库|16|20|HPB"}));
        QCOMPARE(rows(t, "select h.引用类别, h.相关单位, h.单位编号, h.引用单号, m.编号, m.仓位, m.结存, m.原有库存数量 "
                         "from 出入库单 h join 出入库明细 m on m.ID = h.ID where h.引用ID = ? "
                         "order by h.单据类别 = '出库', m.编号",
                      {r.id}),
                 (QStringList{"货品调拨|公司内部货品调拨|-|CKDB-260307-001|A|二号库|10|0",
                              "货品调拨|公司内部货品调拨|-|CKDB-260307-001|B|二号库|5|1",
                              "货品调拨|公司内部货品调拨|-|CKDB-260307-001|A|一号库|2|12",
                              "货品调拨|公司内部货品调拨|-|CKDB-260307-001|B|一号库|16|20"}));
        QCOMPARE(rows(t, "select 单据编号, 负责人, 调出仓位, 调入仓位, 日期, 摘要, 金额合计, 当前状态 from 货品调拨单"),
                 QStringList{"CKDB-260307-001|001.张三|一号库|二号库|2026-03-07|移库|38|已审核"});
    }

    // The checks before anything is written, in the windows' order.
    void transferChecks_data()
    {
        QTest::addColumn<bool>("workshop");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<QString>("message");
        const QList<Line> one{kA};
        QTest::newRow("workshop: no giver") << true << "" << "B" << one << "请输入调出车间";
        QTest::newRow("workshop: no receiver") << true << "A" << "" << one << "请输入调入车间";
        QTest::newRow("workshop: one workshop both ways") << true << "A" << "A" << one << "";
        QTest::newRow("workshop: a name without code")
            << true << "A" << "B" << QList<Line>{kA, {"", "乙", "一号库", "1", "2"}} << "第2行货品不能为空";
        QTest::newRow("warehouse: both places empty") << false << "" << "" << one << "调出库和调入库不能为同一个仓库";
        QTest::newRow("warehouse: one place") << false << "一号库" << "一号库" << one << "调出库和调入库不能为同一个仓库";
        QTest::newRow("warehouse: no source") << false << "" << "二号库" << one << "请输入调出仓库";
        QTest::newRow("warehouse: no target") << false << "一号库" << "" << one << "请输入调入仓库";
        QTest::newRow("warehouse: no line") << false << "一号库" << "二号库" << QList<Line>{} << "请输入货品";
        QTest::newRow("warehouse: an aux quantity that is no number")
            << false << "一号库" << "二号库" << QList<Line>{{"B", "乙", "一号库", "1", "2", "x"}} << "第1行辅助数量必须是数字";
    }
    void transferChecks()
    {
        QFETCH(bool, workshop);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<Line>, lines);
        QFETCH(QString, message);
        GoodsLineGrid grid;
        fill(grid, lines);
        std::optional<CheckFailure> f;
        if (workshop) {
            WorkshopTransferHeader h = workshopHeader();
            h.fromShop = from;
            h.toShop = to;
            f = checkWorkshopTransfer(h, grid);
        } else {
            f = checkWarehouseTransfer(warehouseHeader(from, to), grid);
        }
        QCOMPARE(f ? f->message : QString(), message);
    }

    // The two prints: the bands and slots of each source, the signatures in both modes.
    void transferPrints_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<int>("signatureMode");
        QTest::addColumn<QStringList>("texts"); // Memo1, Memo2, Memo10, Memo3, Memo33, Memo28 .. Memo31, Memo12, Memo6
        QTest::newRow("workshop") << "workshop" << 0
                                  << QStringList{"我的公司车间调拨单", "调出单位:", "调入单位:", "BM01.一车间", "BM02.二车间",
                                                 "负责人:001.张三", "发货员:002.李四", "收货员:003.王五", "复核员:004.赵六",
                                                 "", "地址：路1号  电话：123   传真:456"};
        QTest::newRow("workshop, signature mode")
            << "workshop" << 1
            << QStringList{"我的公司车间调拨单", "调出单位:", "调入单位:", "BM01.一车间", "BM02.二车间", "负责人:",
                           "发货员:", "收货员:", "复核员:", "", "地址：路1号  电话：123   传真:456"};
        QTest::newRow("warehouse") << "warehouse" << 0
                                   << QStringList{"我的公司仓库调拨单", "调出仓库:", "调入仓库:", "一号库", "二号库",
                                                  "负责人:001.张三", "", "", "", "", "地址：路1号  电话：123   传真:456"};
        QTest::newRow("warehouse, signature mode")
            << "warehouse" << 1
            << QStringList{"我的公司仓库调拨单", "调出仓库:", "调入仓库:", "一号库", "二号库", "负责人:", "", "", "", "",
                           "地址：路1号  电话：123   传真:456"};
        QTest::newRow("warehouse list, signature mode")
            << "list" << 1
            << QStringList{"我的公司仓库调拨单", "调出仓库:", "调入仓库:", "一号库", "二号库", "负责人：", "", "", "", "",
                           "地址：路1号  电话：123   传真:456"};
    }
    void transferPrints()
    {
        QFETCH(QString, which);
        QFETCH(int, signatureMode);
        QFETCH(QStringList, texts);
        TestDb t;
        G.gPrintSignature = signatureMode;
        G.gCompanyAddress = "路1号";
        G.gCompanyPhone = "123";
        G.gCompanyFax = "456";
        addRow(t, "A", "一号库", 12, 6);
        Transfers transfers(t.conn());
        const auto saved = transfers.saveWarehouse(warehouseHeader(), gridLines({{"A", "货品A", "一号库", "5", "3", "2"}}));
        TransferPrintValues v;
        v.manager = "001.张三";
        v.shipper = "002.李四";
        v.receiver = "003.王五";
        v.checker = "004.赵六";
        v.source = which == "workshop" ? "BM01.一车间" : "一号库";
        v.target = which == "workshop" ? "BM02.二车间" : "二号库";
        const DocumentPrint p = which == "workshop" ? workshopTransferPrint(t.conn(), v, gridLineSlots(), {})
                                : which == "warehouse" ? warehouseTransferPrint(t.conn(), v, gridLineSlots(), {})
                                                       : storedWarehouseTransferPrint(t.conn(), saved.id);
        QStringList got;
        for (const char *slot : {"Memo1", "Memo2", "Memo10", "Memo3", "Memo33", "Memo28", "Memo29", "Memo30", "Memo31",
                                 "Memo12", "Memo6"})
            got << p.slot(QString::fromUtf8(slot));
        QCOMPARE(got, texts);
        QCOMPARE(p.templateName, QString("tongyong1.frf"));
        QCOMPARE(p.headBands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3"}));
        if (which == "list") {
            QCOMPARE(p.slot("Memo9"), saved.number);
            QCOMPARE((QStringList{p.slot("Memo26"), p.slot("Memo25"), p.slot("Memo27")}), (QStringList{"5", "2", "15"}));
            QCOMPARE(p.lines, (QList<QStringList>{{"货品A", "规格", "2", "5", "个", "3", "15"}}));
        }
    }

    // Both prints through the engine: every line its own data band, in order, between the heads
    // and the foot; the grid's lines show their auxiliary unit, blanked rows are skipped.
    void transferPrintBands()
    {
        TestDb t;
        startEngine();
        addRow(t, "A", "一号库", 12, 6);
        addRow(t, "B", "一号库", 12, 6);
        GoodsLineGrid grid;
        fill(grid, {{"A", "货品A", "一号库", "5", "3", "2"}, {"C", "货品C", "一号库", "1", "1"},
                    {"B", "货品B", "一号库", "1", "2", "1"}});
        grid.blankLine(2);
        TfrReport report;
        const PrintRun run =
            printDocument(report, workshopTransferPrint(t.conn(), {}, gridLineSlots(), gridPrintLines(grid)));
        QVERIFY(run.printed);
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项数据1", "主项脚1",
                                         "页脚1"}));
        QCOMPARE(run.dataBands, (QList<QStringList>{{"货品A", "规格", "2", "5", "箱", "3", "15"},
                                                     {"货品B", "规格", "1", "1", "箱", "2", "2"}}));
        QCOMPARE(printed(report, "Memo11"), QStringList{"本单据由系统打印"});
    }

    // 货品报损审核: every pending report newest first, the date range only in searches; a line
    // added through the picker and the editor, one deleted, the total following; the print.
    void auditWindowLines()
    {
        registerWarehouseWindows();
        TestDb t;
        const qint64 goods = addGoods(t, {{"编号", "B"}, {"名称", "货品B"}, {"仓位", "一号库"}, {"进货价", 8},
                                          {"换算比率", 1}});
        addReport(t, {{"A", "一号库", 2}}, "OLD");
        t.exec("update 货品报损单 set 日期 = '2026-02-20' where ID = 'OLD'");
        addReport(t, {{"A", "一号库", 1}, {"A", "二号库", 2}}, "NEW");
        ScriptedPrompt p;
        menuHandler("N49")();
        QVERIFY(frmBaoSunAud);
        TfrmBaoSunAud &w = *frmBaoSunAud;
        QCOMPARE(w.windowTitle(), QString("货品报损审核"));
        QCOMPARE(w.reportModel()->dataRowCount(), 2);
        QCOMPARE(w.currentReportID(), QString("NEW"));
        QCOMPARE(G.gDocID, QString("NEW"));
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        // A search keeps to the range: the February report is gone until the list is reloaded.
        w.findChild<QComboBox *>("ComboBox1")->setCurrentIndex(1);
        w.findChild<QLineEdit *>("Edit1")->setText("HPBS");
        QCOMPARE(w.reportModel()->dataRowCount(), 1);

        auto total = [&] { return t.scalar("select 金额合计 from 货品报损单 where ID = 'NEW'").toDouble(); };
        expectAuditPick(p, goods, 4);
        expectEditedQty(p, "3");
        w.SpeedButton6Click();
        QCOMPARE(w.lineModel()->dataRowCount(), 3);
        QCOMPARE(total(), 33.0);
        QCOMPARE(w.reportModel()->dataRowCount(), 2); // every pending report again
        QTableView *lines = w.findChild<QTableView *>("DBGridSaleFit");
        lines->setCurrentIndex(w.lineModel()->index(0, w.lineModel()->fieldIndex("编号")));
        p.expectMessage("删除后将不能恢复你确定要继续吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton8Click();
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        QCOMPARE(total(), 30.0);
        QCOMPARE(w.currentReportID(), QString("NEW"));

        G.gPrintSignature = 1;
        startEngine();
        w.SpeedButton4Click();
        QVERIFY(w.lastPrint().printed);
        QCOMPARE(w.lastPrint().dataBands.size(), 2);
        QCOMPARE(printed(w.report(), "Memo31"), QStringList{"负责人:"});
        QCOMPARE(printed(w.report(), "Memo27"), QStringList{"30"});
        QCOMPARE(w.currentReportID(), QString("NEW"));
        QVERIFY(p.verifyDone());
        delete frmBaoSunAud.data();
    }

    // 通过 and 取消: a shortage writes nothing and keeps the report; an approval moves on to the
    // newest pending report; a report settled by another client is named, not posted again.
    void auditWindowSettle()
    {
        TestDb t;
        addRow(t, "A", "一号库", 5);
        addReport(t, {{"A", "一号库", 9}}, "SHORT");
        t.exec("update 货品报损单 set 日期 = '2026-03-06' where ID = 'SHORT'");
        addReport(t, {{"A", "一号库", 2}}, "GOOD");
        t.exec("update 货品报损单 set 日期 = '2026-03-07' where ID = 'GOOD'");
        addReport(t, {{"A", "一号库", 1}}, "ELSE");
        ScriptedPrompt p;
        TfrmBaoSunAud w;
        w.show();
        QCOMPARE(w.currentReportID(), QString("GOOD"));
        QVERIFY(w.setField(FieldRole::Staff, "审核人", "009.审核员"));
        w.findChild<QDateEdit *>("DateTimePicker3")->setDate(QDate(2026, 3, 8));
        p.expectMessage("货品报损成功");
        w.SpeedButton5Click();
        QCOMPARE(rows(t, "select 当前状态, 审核人, 审核日期 from 货品报损单 where ID = 'GOOD'"),
                 QStringList{"已审核|009.审核员|2026-03-08"});
        QCOMPARE(w.reportModel()->dataRowCount(), 2);
        QCOMPARE(w.currentReportID(), QString("SHORT"));
        p.expectMessage("货品编号:A名称:货品A库存不足,操作被取消");
        w.SpeedButton5Click();
        QCOMPARE(w.currentReportID(), QString("SHORT"));
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 2);

        w.DBGridsalequoteCellClick(w.reportModel()->findRow("ID", "ELSE"));
        auto client = t.secondClient();
        LossReports elsewhere(*client);
        QVERIFY(elsewhere.approve("ELSE", "别人", "2026-03-07").status == DocumentApproval::Status::Approved);
        p.expectMessage("该报损单已审核或已取消");
        w.SpeedButton5Click();
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 4);
        QCOMPARE(w.reportModel()->dataRowCount(), 1);
        QCOMPARE(w.currentReportID(), QString("SHORT"));

        p.expectMessage("您确定要取消吗?", QMessageBox::No, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(w.reportModel()->dataRowCount(), 1);
        p.expectMessage("您确定要取消吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(t.scalar("select 当前状态 from 货品报损单 where ID = 'SHORT'").toString(), QString("取消"));
        QCOMPARE(w.reportModel()->dataRowCount(), 0);
        QCOMPARE(w.lineModel()->dataRowCount(), 0);
        QCOMPARE(G.gDocID, QString());
        w.SpeedButton5Click(); // nothing left: nothing happens
        QVERIFY(p.verifyDone());
    }

    // 车间调拨 and 仓库调拨 from the menu: their captions, numbers and date.
    void transferMenuEntries()
    {
        registerWarehouseWindows();
        TestDb t;
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            MCOMPARE(d->windowTitle(), QString("车间调拨"));
            MCOMPARE(d->findChild<QLineEdit *>("EditStoreNo")->text(), QString("HPDB-260307-001"));
            MCOMPARE(d->findChild<QLineEdit *>("EditStoreNo1")->text(), QString("CPRK-260307-001"));
            MCOMPARE(d->findChild<QLineEdit *>("EditStoreNo2")->text(), QString("NBLY-260307-001"));
            MVERIFY(!d->findChild<QLineEdit *>("EditStoreNo1")->isVisible());
            MCOMPARE(d->findChild<QLineEdit *>("Edit1Date")->text(), QString("2026-03-07"));
            return int(QDialog::Rejected);
        });
        menuHandler("N20")();
        p.expectModal([](QDialog *d) {
            MCOMPARE(d->windowTitle(), QString("仓库调拨"));
            MCOMPARE(d->findChild<QLineEdit *>("EditStoreNo")->text(), QString("CKDB-260307-001"));
            return int(QDialog::Rejected);
        });
        menuHandler("N55")();
        QVERIFY(p.verifyDone());
        QVERIFY(!frmHuoDiao && !frmHuoPinDiao);
    }

    // The workshop transfer window: a refusal keeps the window and writes nothing; a save posts
    // it, prints the saved lines and empties the window for the next one, the date, remark and
    // workshop codes staying.
    void workshopWindow()
    {
        TestDb t;
        startEngine();
        addRow(t, "A", "一号库", 4, 6);
        ScriptedPrompt p;
        TfrmHuoDiao w;
        w.show();
        fill(*w.goodsLines(), {{"A", "货品A", "一号库", "5", "3", "2"}});
        p.expectMessage("请输入调出车间");
        w.BitBtn1Click();
        QVERIFY(w.setField(FieldRole::Department, "调出单位", "BM01.一车间"));
        QVERIFY(w.setField(FieldRole::Department, "调出单位编号", "BM01"));
        QVERIFY(w.setField(FieldRole::Department, "调入单位", "BM02.二车间"));
        QVERIFY(w.setField(FieldRole::Department, "调入单位编号", "BM02"));
        QVERIFY(w.setField(FieldRole::Staff, "负责人", "001.张三"));
        QVERIFY(w.setField(FieldRole::Staff, "收货员", "003.王五"));
        w.findChild<QLineEdit *>("Edit5")->setText("调拨");
        p.expectMessage("第1行库存不足操作被取消");
        w.BitBtn1Click();
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
        QCOMPARE(w.findChild<QComboBox *>("ComboBox5")->currentText(), QString("BM01.一车间"));

        t.exec("update 货品目录 set 库存 = 12");
        w.findChild<QCheckBox *>("CheckBox2")->setChecked(true);
        p.expectMessage("货品调拨成功");
        w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(rows(t, "select 单据编号, 调出车间, 调入车间, 负责人, 收货员, 摘要 from 调拨单 where ID = ?", {w.transferID()}),
                 QStringList{"HPDB-260307-001|BM01.一车间|BM02.二车间|001.张三|003.王五|调拨"});
        QCOMPARE(t.scalar("select count(*) from 出入库单 where 引用ID = ?", {w.transferID()}).toInt(), 2);
        // Printed from the saved lines with the header as it stood at the save.
        QVERIFY(w.lastPrint().printed);
        QCOMPARE(w.lastPrint().dataBands, (QList<QStringList>{{"货品A", "规格", "2", "5", "个", "3", "15"}}));
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"HPDB-260307-001"});
        QCOMPARE(printed(w.report(), "Memo30"), QStringList{"收货员:003.王五"});
        QCOMPARE(printed(w.report(), "Memo33"), QStringList{"BM02.二车间"});
        // Ready for the next one.
        QCOMPARE(w.findChild<QLineEdit *>("EditStoreNo")->text(), QString("HPDB-260307-002"));
        QCOMPARE(w.findChild<QLineEdit *>("EditStoreNo1")->text(), QString("CPRK-260307-002"));
        QCOMPARE(w.findChild<QComboBox *>("ComboBox5")->currentText(), QString());
        QCOMPARE(w.findChild<QComboBox *>("ComboBox2")->currentText(), QString());
        QCOMPARE(w.findChild<QLineEdit *>("Edit3")->text(), QString("BM01"));
        QCOMPARE(w.findChild<QLineEdit *>("Edit5")->text(), QString("调拨"));
        QCOMPARE(w.findChild<QLineEdit *>("Edit1Date")->text(), QString("2026-03-07"));
        QCOMPARE(w.findChild<QLineEdit *>("Edit1")->text(), QString("0"));
        QVERIFY(!w.goodsLines()->hasLines());
    }

    // The warehouse transfer window: places from the place picker, the grid's print before the
    // save (blanked lines skipped, the auxiliary unit), the shortage message, the save.
    void warehouseWindow()
    {
        TestDb t;
        startEngine();
        addRow(t, "A", "一号库", 12, 6);
        addRow(t, "B", "一号库", 1, 1);
        ScriptedPrompt p;
        TfrmHuoPinDiao w;
        w.show();
        fill(*w.goodsLines(), {{"A", "货品A", "一号库", "5", "3", "2"}, {"B", "货品B", "一号库", "4", "2"}});
        p.expectMessage("调出库和调入库不能为同一个仓库");
        w.BitBtn1Click();
        G.gRepFit.Place = "一号库";
        w.onWindowMessage(WM_WEI_CHOSEN);
        G.gRepFit.Place = "二号库";
        w.onWindowMessage(WM_WEI1_CHOSEN);
        QCOMPARE(w.findChild<QComboBox *>("ComboBoxRen")->currentText(), QString("二号库"));
        p.expectMessage("第2行调出仓库不存在操作被取消");
        w.BitBtn1Click();
        QCOMPARE(t.scalar("select count(*) from 货品调拨单").toInt(), 0);

        w.grid()->setCurrentGridRow(2);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton13Click();
        QCOMPARE(w.findChild<QLineEdit *>("Edit1")->text(), QString("15"));
        w.SpeedButton8Click();
        QCOMPARE(w.lastPrint().dataBands, (QList<QStringList>{{"货品A", "规格", "2", "5", "箱", "3", "15"}}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司仓库调拨单"});
        QCOMPARE(printed(w.report(), "Memo3"), QStringList{"一号库"});

        p.expectMessage("货品调拨成功");
        w.BitBtn1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(rows(t, "select 编号, 仓位, 库存 from 货品目录 order by 流水号"),
                 (QStringList{"A|一号库|7", "B|一号库|1", "A|二号库|5"}));
        QCOMPARE(w.findChild<QLineEdit *>("EditStoreNo")->text(), QString("CKDB-260307-002"));
        QCOMPARE(w.findChild<QComboBox *>("ComboBox5")->currentText(), QString());
    }
};

ORV_DB_TEST_MAIN(TestTransfers)
#include "tst_db_transfers.moc"
