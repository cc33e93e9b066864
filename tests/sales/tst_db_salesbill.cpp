// The sales bill: its discount rules, the checks before a save, the three saves with their
// rows, vouchers and stock, the record ID a bill takes, and the window in its three modes.
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "common/clock.h"
#include "ledger/docnumbers.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "goods/listmodel.h"
#include "sales/frmchoosequotation.h"
#include "sales/frmsalebilling.h"
#include "sales/salesbill.h"
#include "sales/salesposting.h"
#include "sales/salesschema.h"

#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace documenttest;

Q_DECLARE_METATYPE(orv::SaleMode)
Q_DECLARE_METATYPE(orv::LineOrigin)
Q_DECLARE_METATYPE(orv::DiscountChoice)

namespace {
// A sales grid with the lines, each at the discount given.
void fillSales(GoodsLineGrid &grid, const QList<Line> &lines, const QString &discount = QStringLiteral("1"))
{
    G.gRepFit.TargetRow = 0;
    for (const Line &l : lines) {
        stage(l);
        const GoodsLineGrid::Taken t = grid.append(G.gRepFit);
        setLineDiscount(grid, t.row, discount);
    }
}

SaleHeader header(const QString &number)
{
    SaleHeader h;
    h.number = number;
    h.date = "2026-03-07";
    h.clerk = "001.张三";
    h.checker = "003.王五";
    h.customer = "KH01.东方公司";
    h.customerCode = "KH01";
    h.contact = "李四";
    h.phone = "123";
    h.department = "BM1.销售部";
    h.departmentCode = "BM1";
    h.memo = "备注";
    h.invoiceDate = "2026-03-07";
    return h;
}

// The window as a menu entry opens it.
struct Bill {
    TfrmsaleBilling w;
    explicit Bill(int mode)
    {
        G.gSaleBillMode = mode;
        w.layOutForMode(mode);
        w.show();
    }
    GoodsLineGrid &lines() { return *w.goodsLines(); }
    QString cell(int row, int column) const { return const_cast<TfrmsaleBilling &>(w).goodsLines()->cell(row, column); }
};

// A line handed over by the goods picker; the line editor it opens is closed.
void pick(TfrmsaleBilling &w, ScriptedPrompt &p, const Line &l)
{
    stage(l);
    p.expectModal(closeEditor);
    QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
}

void chooseCustomer(TfrmsaleBilling &w, const QString &discount)
{
    G.gCustom = {};
    G.gCustom.CustomerNo = "KH01";
    G.gCustom.CustomerName = "东方公司";
    G.gCustom.Contact = "李四";
    G.gCustom.Phone = "123";
    G.gCustom.Address = "长街1号";
    G.gCustom.Discount = discount;
    QVERIFY(SendMessage(&w, WM_CUSTOM_CHOSEN));
}

// The sales bill's side of the quotation picker: what each WM_QUOTE_CHOSEN carried.
class QuoteReceiver : public QWidget, public MessageReceiver {
public:
    void onWindowMessage(int message) override
    {
        if (message == WM_QUOTE_CHOSEN)
            lines << QStringList{G.gRepFit.GoodsNo, G.gRepFit.Qty, G.gRepFit.PrintPrice, QString::number(G.gRepFit.TargetRow)};
    }
    QList<QStringList> lines;
};

QLabel *labelOf(QWidget *w, const char *name) { return w->findChild<QLabel *>(QString::fromUtf8(name)); }

// What the tables hold, to show that a refused save wrote nothing.
QString footprint(TestDb &t)
{
    QStringList parts;
    for (const char *table : {"销售订单", "销售订单明细", "销售单", "销售明细", "销售退货单", "销售退货明细", "出入库单",
                              "出入库明细"})
        parts << QString::number(t.scalar(QStringLiteral("select count(*) from ") + table).toInt());
    parts << t.scalar("select sum(库存) from 货品目录").toString();
    return parts.join(',');
}
} // namespace

class TestSalesBill : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    void init()
    {
        registerTables();
        registerSalesSchema();
        resetProgramState();
        db = std::make_unique<TestDb>();
    }
    void initTestCase() { startEngine(); }
    void cleanup()
    {
        delete frmMdf.data();
        db.reset();
        Clock::pin(QDateTime());
    }

    void discountOfNewLine_data()
    {
        QTest::addColumn<SaleMode>("mode");
        QTest::addColumn<LineOrigin>("origin");
        QTest::addColumn<DiscountChoice>("choice");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("goods");
        QTest::addColumn<QString>("expected");
        const auto C = DiscountChoice::Customer, Gd = DiscountChoice::Goods;
        const auto P = LineOrigin::Picked, K = LineOrigin::Coded, I = LineOrigin::Imported;
        QTest::newRow("customer chosen") << SaleMode::Direct << P << C << "0.8" << "0.9" << "0.8";
        QTest::newRow("customer empty: goods") << SaleMode::Direct << P << C << "" << "0.9" << "0.9";
        QTest::newRow("goods chosen, no customer") << SaleMode::Order << I << Gd << "" << "0.9" << "0.9";
        QTest::newRow("goods chosen over customer") << SaleMode::Direct << K << Gd << "0.8" << "0.9" << "0.9";
        QTest::newRow("goods empty: customer") << SaleMode::Direct << P << Gd << "0.8" << "" << "0.8";
        QTest::newRow("both empty") << SaleMode::Order << P << C << "" << "" << "1";
        QTest::newRow("half typed is no discount") << SaleMode::Direct << P << C << "0." << "" << "1";
        QTest::newRow("return picked") << SaleMode::Return << P << C << "0.8" << "0.9" << "1";
        QTest::newRow("return imported") << SaleMode::Return << I << Gd << "0.8" << "0.9" << "1";
        QTest::newRow("return coded") << SaleMode::Return << K << C << "0.8" << "0.9" << "0.8";
    }
    void discountOfNewLine()
    {
        QFETCH(SaleMode, mode);
        QFETCH(LineOrigin, origin);
        QFETCH(DiscountChoice, choice);
        QFETCH(QString, customer);
        QFETCH(QString, goods);
        QFETCH(QString, expected);
        QCOMPARE(discountForNewLine(mode, origin, choice, customer, goods), expected);
    }

    // A discount field applies while it reads as a positive number; leaving it empty or 0 gives 1.
    void discountFields()
    {
        for (const char *no : {"", "0", "0.", ".", "abc", "-1"})
            QVERIFY2(!appliesNow(QString::fromUtf8(no)), no);
        for (const char *yes : {"0.5", "1", "1.2", ".9"})
            QVERIFY2(appliesNow(QString::fromUtf8(yes)), yes);
        QCOMPARE(discountOnLeave(""), QStringLiteral("1"));
        QCOMPARE(discountOnLeave("0.0"), QStringLiteral("1"));
        QCOMPARE(discountOnLeave("0.7"), QStringLiteral("0.7"));

        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        fillSales(grid, {kA, kB}); // 2 × 3, 4 × 2.5
        applyDiscount(grid, "0.5");
        const GoodsLineColumns &c = grid.columns();
        QCOMPARE(grid.cell(1, c.discounted), QStringLiteral("3"));
        QCOMPARE(grid.cell(2, c.discounted), QStringLiteral("5"));
        QCOMPARE(saleTotals(grid, SaleMode::Direct)->due, QStringLiteral("8"));
        // A return owes the undiscounted amounts.
        QCOMPARE(saleTotals(grid, SaleMode::Return)->due, QStringLiteral("16"));
        QCOMPARE(dueOfLine(grid, 2, SaleMode::Return), QStringLiteral("10"));
        QCOMPARE(dueOfLine(grid, 2, SaleMode::Direct), QStringLiteral("5"));
        // The discount cell edited in place: the line follows.
        grid.setEditableColumns({c.discount});
        QVERIFY(!grid.setData(grid.index(0, c.qty), "5"));
        QVERIFY(!grid.setData(grid.index(0, c.discount), "x"));
        QVERIFY(grid.setData(grid.index(0, c.discount), "0.9"));
        QCOMPARE(grid.cell(1, c.amount), QStringLiteral("6"));
        QCOMPARE(grid.cell(1, c.discounted), QStringLiteral("5.4"));
    }

    // The checks in order; every number and date is read before anything is written.
    void checks_data()
    {
        QTest::addColumn<SaleMode>("mode");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("boxed");
        QTest::newRow("no clerk") << SaleMode::Direct << "clerk" << "" << "经办人不能为空！" << true;
        QTest::newRow("no due") << SaleMode::Direct << "due" << "" << "应收款不能为空！" << true;
        QTest::newRow("no due, return") << SaleMode::Return << "due" << "" << "应退款不能为空！" << true;
        QTest::newRow("no received") << SaleMode::Order << "received" << "" << "实收款不能为空！" << true;
        QTest::newRow("no received, return") << SaleMode::Return << "received" << "" << "实退款不能为空！" << true;
        QTest::newRow("no customer") << SaleMode::Direct << "customer" << "" << "客户名称不能为空！" << true;
        QTest::newRow("bad on account") << SaleMode::Direct << "onAccount" << "." << "挂账金额必须是数字" << true;
        QTest::newRow("bad received") << SaleMode::Return << "received" << "1.2.3" << "实退款必须是数字" << true;
        QTest::newRow("bad customer discount") << SaleMode::Direct << "customerDiscount" << "x" << "客户折扣必须是数字"
                                               << true;
        QTest::newRow("bad invoice amount") << SaleMode::Order << "invoiceAmount" << "." << "开票额必须是数字" << true;
        QTest::newRow("bad date") << SaleMode::Direct << "date" << "2026-13-40" << "制单日期不是有效的日期" << true;
        QTest::newRow("bad invoice date") << SaleMode::Order << "invoiceDate" << "明天" << "开票日期不是有效的日期"
                                          << true;
        QTest::newRow("invoice ignored by a return") << SaleMode::Return << "invoiceDate" << "明天" << "" << false;
        QTest::newRow("bad discount cell") << SaleMode::Direct << "discountCell" << "" << "第1行折扣必须是数字"
                                           << false;
        QTest::newRow("empty invoice amount is 0") << SaleMode::Direct << "invoiceAmount" << "" << "" << false;
    }
    void checks()
    {
        QFETCH(SaleMode, mode);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(bool, boxed);
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        fillSales(grid, {kA});
        SaleFields f{"001.张三", "6", "6", "0", "KH01.东方公司", "1", "0", "2026-03-07", "2026-03-07"};
        QMap<QString, QString *> fields{{"clerk", &f.clerk},
                                        {"due", &f.due},
                                        {"received", &f.received},
                                        {"onAccount", &f.onAccount},
                                        {"customer", &f.customer},
                                        {"customerDiscount", &f.customerDiscount},
                                        {"invoiceAmount", &f.invoiceAmount},
                                        {"date", &f.date},
                                        {"invoiceDate", &f.invoiceDate}};
        if (field == "discountCell")
            grid.setCell(1, grid.columns().discount, value);
        else
            *fields[field] = value;
        const auto failure = checkSaleBill(mode, grid, f);
        QCOMPARE(failure ? failure->failure.message : QString(), message);
        if (failure)
            QCOMPARE(failure->boxed, boxed);
    }

    // Lines are checked before the header: no goods, then the first row missing a cell.
    void lineChecks()
    {
        const SaleFields f{"001.张三", "6", "6", "0", "KH01.东方公司", "1", "0", "2026-03-07", ""};
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        QCOMPARE(checkSaleBill(SaleMode::Direct, grid, f)->failure.message, QStringLiteral("请输入货品"));
        fillSales(grid, {kA, kB});
        grid.setCell(2, grid.columns().qty, QString());
        const auto failure = checkSaleBill(SaleMode::Direct, grid, SaleFields{});
        QCOMPARE(failure->failure.message, QStringLiteral("第2行货品数量不能为空"));
        QVERIFY(!failure->boxed);
    }

    // 18 characters: the record ID's 14 digits and four of 0..2099; drawn again inside the save
    // while 销售订单, 销售单 or 销售退货单 (for a goods row 货品目录) holds it.
    void shortRecordID()
    {
        const QString first = [] {
            Random::seed(42);
            return makeShortRecordID();
        }();
        QCOMPARE(first.size(), 18);
        QCOMPARE(first.left(14), QStringLiteral("20260307100000"));
        QVERIFY(first.right(4).toInt() < 2100);
        for (const char *table : {"销售订单", "销售单", "销售退货单", "货品目录"}) {
            db->exec(QStringLiteral("delete from 销售订单"));
            db->exec(QStringLiteral("delete from 销售单"));
            db->exec(QStringLiteral("delete from 销售退货单"));
            db->exec(QStringLiteral("delete from 货品目录"));
            db->exec(QStringLiteral("insert into %1(ID) values(?)").arg(QString::fromUtf8(table)), {first});
            const QStringList usedIn = QString::fromUtf8(table) == "货品目录" ? QStringList{"货品目录"} : saleIdTables();
            Random::seed(42);
            Transaction tx(db->conn());
            const QString id = makeShortRecordID(db->conn(), usedIn);
            QVERIFY2(id != first, table);
            QCOMPARE(id.size(), 18);
            QCOMPARE(id.left(14), first.left(14));
        }
        // Outside a transaction the draw could race another save: refused.
        QVERIFY_THROWS_EXCEPTION(DbError, makeShortRecordID(db->conn(), saleIdTables()));
    }

    // An order: lines with 折扣, 折后金额 and 成本价 (进货价, else 单价), the header pending; no
    // stock, no voucher.
    void saveOrder()
    {
        addGoods(*db, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 0}});
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        fillSales(grid, {kA, kB}, "0.5");
        grid.setCell(2, grid.columns().purchasePrice, "1.5");
        SalesPosting posting(db->conn());
        SaleHeader h = header("XSDD-260307-001");
        h.due = 8;
        h.received = 8;
        h.customerDiscount = 0.5;
        h.invoiceAmount = 0;
        const SalesPosting::Result r = posting.save(SaleMode::Order, h, saleLines(grid));
        QVERIFY(r.ok());
        QCOMPARE(r.number, QStringLiteral("XSDD-260307-001"));
        QCOMPARE(r.id.size(), 18);
        QCOMPARE(grid.cell(1, grid.columns().purchasePrice), QStringLiteral("3")); // 成本价 shown in the grid
        DataSet lines(&db->conn());
        lines.setSql("select 编号, 折扣, 折后金额, 成本价, 金额 from 销售订单明细 where ID = ? order by 流水号");
        lines.addBindValue(r.id);
        lines.open();
        QCOMPARE(lines.recordCount(), 2);
        QCOMPARE(lines.fields(1).asFloat(), 0.5);
        QCOMPARE(lines.fields(2).asFloat(), 3.0);
        QCOMPARE(lines.fields(3).asFloat(), 3.0);
        lines.next();
        QCOMPARE(lines.fields(3).asFloat(), 1.5);
        QCOMPARE(db->scalar("select 当前状态 || '/' || 单据类别 from 销售订单 where ID = ?", {r.id}).toString(),
                 QStringLiteral("待审核/销售出库"));
        QCOMPARE(db->scalar("select count(*) from 出入库单").toInt(), 0);
        QCOMPARE(db->scalar("select 库存 from 货品目录").toDouble(), 0.0);
    }

    // A direct sale: stock down, 销售明细 with before and after, the CK- voucher at 折后金额 under
    // the bill's ID, the header approved; the number another save took gives way.
    void saveDirectSale()
    {
        addGoods(*db, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 5}, {"辅助库存", 5}, {"助记码", "J"}});
        addGoods(*db, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"库存", 4}, {"辅助库存", 4}});
        db->exec("insert into 销售单(单据编号, ID) values('XSCK-260307-001', 'x')");
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        fillSales(grid, {kA, kB}, "0.5");
        SalesPosting posting(db->conn());
        SaleHeader h = header("XSCK-260307-001");
        h.due = 8;
        h.received = 5;
        h.onAccount = 3;
        const SalesPosting::Result r = posting.save(SaleMode::Direct, h, saleLines(grid));
        QVERIFY(r.ok());
        QCOMPARE(r.number, QStringLiteral("XSCK-260307-002"));
        QCOMPARE(db->scalar("select 库存 from 货品目录 where 编号 = 'A'").toDouble(), 3.0);
        QCOMPARE(db->scalar("select 库存 from 货品目录 where 编号 = 'B'").toDouble(), 0.0);
        QCOMPARE(db->scalar("select 原有库存数量 from 销售明细 where ID = ? and 编号 = 'A'", {r.id}).toDouble(), 5.0);
        QCOMPARE(db->scalar("select 结存 from 销售明细 where ID = ? and 编号 = 'A'", {r.id}).toDouble(), 3.0);
        QCOMPARE(db->scalar("select 拼音码 from 销售明细 where ID = ? and 编号 = 'A'", {r.id}).toString(), QStringLiteral("J"));
        QCOMPARE(db->scalar("select 当前状态 from 销售单 where ID = ?", {r.id}).toString(), QStringLiteral("已审核"));
        QCOMPARE(db->scalar("select 挂账金额 from 销售单 where ID = ?", {r.id}).toDouble(), 3.0);
        DataSet v(&db->conn());
        v.setSql("select 单据编号, 引用单号, 引用类别, 单据类别, 制单人, 审核人, 相关部门, ID from 出入库单 where 引用ID = ?");
        v.addBindValue(r.id);
        v.open();
        QCOMPARE(v.recordCount(), 1);
        QVERIFY(v.fields(0).asString().startsWith("CK-"));
        QCOMPARE(v.fields(1).asString(), r.number);
        QCOMPARE(v.fields(2).asString(), QStringLiteral("货品销售"));
        QCOMPARE(v.fields(3).asString(), QStringLiteral("出库"));
        QCOMPARE(v.fields(4).asString(), QStringLiteral("001.张三"));
        QCOMPARE(v.fields(5).asString(), QStringLiteral("003.王五"));
        QCOMPARE(v.fields(6).asString(), QStringLiteral("BM1.销售部"));
        QCOMPARE(db->scalar("select sum(金额) from 出入库明细 where ID = ?", {v.fields(7).asString()}).toDouble(), 8.0);
    }

    // Two lines of one goods row together over its stock: refused at the first of them, nothing
    // written; one line equal to the stock passes and leaves 0.
    void directSaleShort()
    {
        addGoods(*db, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"库存", 10}});
        addGoods(*db, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 3}});
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        fillSales(grid, {kB, kA, kA}); // A twice: 2 + 2 > 3
        const QString before = footprint(*db);
        SalesPosting posting(db->conn());
        const SalesPosting::Result r = posting.save(SaleMode::Direct, header("XSCK-260307-001"), saleLines(grid));
        QCOMPARE(r.shortRow, 2);
        QCOMPARE(footprint(*db), before);

        GoodsLineGrid exact(GoodsLineLayout::Sales19);
        Line three = kA;
        three.qty = "3";
        fillSales(exact, {three});
        QVERIFY(posting.save(SaleMode::Direct, header("XSCK-260307-001"), saleLines(exact)).ok());
        QCOMPARE(db->scalar("select 库存 from 货品目录 where 编号 = 'A'").toDouble(), 0.0);
    }

    // A return: stock up where the goods are kept; elsewhere a goods row with an 18-character ID,
    // both prices the line's, 助记码 and 换算比率 computed, 0 as the stock before. The voucher
    // carries the undiscounted 金额.
    void saveReturn()
    {
        addGoods(*db, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 1}, {"辅助库存", 1}, {"ID", "GA"}});
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        Line other = kB; // 4 of 乙 at 2.5, 2 boxes
        other.place = "二号库";
        fillSales(grid, {kA, other}, "0.5");
        SalesPosting posting(db->conn());
        SaleHeader h = header("XSTH-260307-001");
        h.due = 16;
        h.received = 16;
        const SalesPosting::Result r = posting.save(SaleMode::Return, h, saleLines(grid));
        QVERIFY(r.ok());
        QCOMPARE(r.number, QStringLiteral("XSTH-260307-001"));
        QCOMPARE(db->scalar("select 库存 from 货品目录 where 编号 = 'A'").toDouble(), 3.0);
        DataSet g(&db->conn());
        g.setSql("select ID, 库存, 辅助库存, 进货价, 出货价, 换算比率, 助记码 from 货品目录 where 编号 = 'B'");
        g.open();
        QCOMPARE(g.recordCount(), 1);
        QCOMPARE(g.fields(0).asString().size(), 18);
        QCOMPARE(g.fields(0).asString().left(14), QStringLiteral("20260307100000"));
        QCOMPARE(g.fields(1).asFloat(), 4.0);
        QCOMPARE(g.fields(2).asFloat(), 2.0);
        QCOMPARE(g.fields(3).asFloat(), 2.5);
        QCOMPARE(g.fields(4).asFloat(), 2.5);
        QCOMPARE(g.fields(5).asFloat(), 2.0);
        QCOMPARE(g.fields(6).asString(), QStringLiteral("Y"));
        QCOMPARE(db->scalar("select 原有库存数量 from 销售退货明细 where ID = ? and 编号 = 'B'", {r.id}).toDouble(), 0.0);
        QCOMPARE(db->scalar("select 结存 from 销售退货明细 where ID = ? and 编号 = 'B'", {r.id}).toDouble(), 4.0);
        QCOMPARE(db->scalar("select 当前状态 || 单据类别 from 销售退货单 where ID = ?", {r.id}).toString(),
                 QStringLiteral("已审核销售退货"));
        const QString voucher =
            db->scalar("select ID from 出入库单 where 引用ID = ? and 单据编号 like 'RK-%' and 引用类别 = '销售退货'", {r.id})
                .toString();
        QVERIFY(!voucher.isEmpty());
        QCOMPARE(db->scalar("select sum(金额) from 出入库明细 where ID = ?", {voucher}).toDouble(), 16.0);
    }
    // Each menu entry lays the window out for its mode.
    void labelsPerMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("texts"); // Label1, Label2, Label3, Label8, Label9, Label13, SpeedButton9
        QTest::addColumn<bool>("invoiceShown");
        QTest::addColumn<QString>("number");
        QTest::newRow("销售订货") << 1
                              << QStringList{"销售订货", "订单编号", "经办人", "购买单位", "应收款", "实收款：", "售出(&S)"}
                              << true << "XSDD-260307-001";
        QTest::newRow("销售退货") << 2
                              << QStringList{"销售退货", "单据编号", "负责人", "退回单位", "应退款", "实退款", "退货(&S)"}
                              << false << "XSTH-260307-001";
        QTest::newRow("销售开单") << 3
                              << QStringList{"销售开单", "单据编号", "经办人", "购买单位", "应收款", "实收款：", "售出(&S)"}
                              << true << "XSCK-260307-001";
    }
    void labelsPerMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, texts);
        QFETCH(bool, invoiceShown);
        QFETCH(QString, number);
        Bill b(mode);
        QWidget *w = &b.w;
        QCOMPARE(b.w.windowTitle(), texts[0]);
        QStringList shown;
        for (const char *name : {"Label1", "Label2", "Label3", "Label8", "Label9", "Label13"})
            shown << labelOf(w, name)->text();
        shown << w->findChild<QToolButton *>("SpeedButton9")->text();
        QCOMPARE(shown, texts);
        for (const char *name : {"SpeedButton11", "RadioButton1", "RadioButton2", "Label26", "Edit18", "Label16", "Edit12",
                                 "Label17", "Edit13", "Label14", "Edit11"})
            QVERIFY2(w->findChild<QWidget *>(QString::fromUtf8(name))->isVisible() == invoiceShown, name);
        for (const char *red : {"Label8", "Label24"})
            QCOMPARE(labelOf(w, red)->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(edit(w, "Edit1")->text(), number);
        QCOMPARE(edit(w, "Edit2")->text(), today());
        QCOMPARE(edit(w, "Edit15")->text(), QStringLiteral("1"));
        QVERIFY(b.w.grid()->isColumnHidden(15));
        QVERIFY(b.w.grid()->isColumnHidden(18));
    }

    // Discounts in the window: a return's picked line takes 1 and its coded line the customer's;
    // a customer pick re-applies to every line; the goods discount, while chosen, too; a field
    // being typed leaves the lines alone and becomes 1 when left empty.
    void windowDiscounts()
    {
        addGoods(*db, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"出货价", 5}, {"换算比率", 0}});
        ScriptedPrompt p;
        {
            Bill b(2);
            const GoodsLineColumns &c = b.lines().columns();
            edit(&b.w, "Edit15")->setText("0.5");
            pick(b.w, p, kA);
            QCOMPARE(b.cell(1, c.discount), QStringLiteral("1"));
            edit(&b.w, "Edit14")->setText("B");
            p.expectModal(closeEditor);
            b.w.codeEntered();
            QCOMPARE(b.cell(2, c.discount), QStringLiteral("0.5"));
            QCOMPARE(b.cell(2, c.auxQty), QStringLiteral("1")); // a ratio of 0 gives one box
            QCOMPARE(b.cell(2, c.discounted), QStringLiteral("2.5"));
            QCOMPARE(edit(&b.w, "Edit9")->text(), QStringLiteral("11")); // 应退款: Σ金额
            // Deleting the coded line takes its 金额 off, not its 折后金额.
            b.w.grid()->setCurrentGridRow(2);
            p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
            b.w.SpeedButton13Click();
            QCOMPARE(edit(&b.w, "Edit9")->text(), QStringLiteral("6"));
            QCOMPARE(edit(&b.w, "Edit10")->text(), QStringLiteral("6"));
            chooseCustomer(b.w, "0.8");
            QCOMPARE(b.cell(1, c.discount), QStringLiteral("0.8"));
            QCOMPARE(edit(&b.w, "Edit3")->text(), QStringLiteral("KH01.东方公司"));
            QCOMPARE(edit(&b.w, "Edit8")->text(), QStringLiteral("KH01"));
        }
        {
            Bill b(3);
            const GoodsLineColumns &c = b.lines().columns();
            b.w.findChild<QRadioButton *>("RadioButton2")->setChecked(true);
            QLineEdit *goods = edit(&b.w, "Edit18");
            goods->setText("0.9");
            pick(b.w, p, kA); // 2 × 3
            QCOMPARE(b.cell(1, c.discount), QStringLiteral("0.9"));
            QCOMPARE(edit(&b.w, "Edit9")->text(), QStringLiteral("5.4"));
            for (const char *typing : {"", "0", "0."}) {
                goods->setText(QString::fromUtf8(typing));
                b.w.goodsDiscountEdited();
                QCOMPARE(b.cell(1, c.discount), QStringLiteral("0.9"));
                QCOMPARE(goods->text(), QString::fromUtf8(typing));
            }
            goods->setText("0.5");
            b.w.goodsDiscountEdited();
            QCOMPARE(b.cell(1, c.discounted), QStringLiteral("3"));
            goods->setText("0");
            b.w.discountFieldLeft(goods);
            QCOMPARE(goods->text(), QStringLiteral("1"));
            QCOMPARE(b.cell(1, c.discount), QStringLiteral("1"));
            // A customer pick applies its discount even while the goods discount is chosen.
            chooseCustomer(b.w, "0.7");
            QCOMPARE(b.cell(1, c.discount), QStringLiteral("0.7"));
            QCOMPARE(edit(&b.w, "Edit9")->text(), QStringLiteral("4.2"));
            edit(&b.w, "Edit10")->setText("3");
            b.w.receivedEdited();
            QCOMPARE(edit(&b.w, "Edit20")->text(), QStringLiteral("1.2"));
        }
        QVERIFY(p.verifyDone());
    }

    // The window's save: a bad 挂账金额 refused in a box before anything is written, a shortage
    // over two lines of one goods refused, then the sale, its message, its print and the reset.
    void windowDirectSale()
    {
        addGoods(*db, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 3}, {"辅助库存", 3}});
        ScriptedPrompt p;
        Bill b(3);
        QWidget *w = &b.w;
        staff(w, "ComboBox1")->setText("001.张三");
        staff(w, "ComboBox4")->setText("003.王五");
        staff(w, "ComboBox5")->setText("005.钱七");
        QVERIFY(b.w.setField(FieldRole::Department, "销售单位", "BM1.销售部"));
        QVERIFY(b.w.setField(FieldRole::Department, "部门编号", "BM1"));
        chooseCustomer(b.w, "0.5");
        pick(b.w, p, kA);
        G.gRepFit.TargetRow = 1;
        stage(kA);
        QVERIFY(SendMessage(w, WM_PUCH_FIT)); // imported: a second line of 甲
        const QString before = footprint(*db);

        edit(w, "Edit20")->setText(".");
        p.expectMessage("挂账金额必须是数字", QMessageBox::Ok, "Orvane仓库管理");
        b.w.savesuoyou();
        QCOMPARE(footprint(*db), before);
        QCOMPARE(p.recorded().last().icon, QMessageBox::Information);
        edit(w, "Edit20")->setText("0");

        p.expectMessage("第1行库存不足操作被取消");
        b.w.savesuoyou();
        QCOMPARE(footprint(*db), before);

        b.lines().blankLine(2);
        box(w, "CheckBox1")->setChecked(true);
        p.expectMessage("销售单保存成功！", QMessageBox::Ok, "Orvane仓库管理");
        b.w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(G.gDocID, b.w.billID());
        QCOMPARE(b.w.billID().size(), 18);
        QCOMPARE(db->scalar("select 库存 from 货品目录").toDouble(), 1.0);
        QCOMPARE(db->scalar("select 单据编号 from 销售单").toString(), QStringLiteral("XSCK-260307-001"));
        const PrintRun &run = b.w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项脚1", "页脚1"}));
        // 名称 … 单价, then 折后金额 (Memo24) and 折扣 (Memo35).
        QCOMPARE(run.dataBands.value(0), (QStringList{"甲", "规格", "1", "2", "个", "3", "3", "0.5"}));
        TfrReport &rep = b.w.report();
        QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司货品销售单"});
        QCOMPARE(printed(rep, "Memo3"), QStringList{"BM1.销售部"});
        QCOMPARE(printed(rep, "Memo33"), QStringList{"KH01.东方公司"});
        QCOMPARE(printed(rep, "Memo28"), QStringList{"开票员:005.钱七"});
        QCOMPARE(printed(rep, "Memo11"), QStringList{"本单据由系统打印"});
        // Reset for the next bill.
        QCOMPARE(edit(w, "Edit1")->text(), QStringLiteral("XSCK-260307-002"));
        QCOMPARE(edit(w, "Edit3")->text(), QString());
        QCOMPARE(edit(w, "Edit15")->text(), QStringLiteral("1"));
        QCOMPARE(b.lines().gridRowCount(), 2);
        QVERIFY(!box(w, "CheckBox1")->isChecked());
    }

    // A return printed from the grid: tongyong2 without 主项头2, the grid's 折后金额 in Memo24.
    void returnPrintFromGrid()
    {
        ScriptedPrompt p;
        Bill b(2);
        chooseCustomer(b.w, "1");
        pick(b.w, p, kB);
        staff(&b.w, "ComboBox1")->setText("001.张三");
        b.w.SpeedButton15Click();
        const PrintRun &run = b.w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(0), (QStringList{"乙", "规格", "2", "4", "个", "2.5", "10"}));
        QCOMPARE(printed(b.w.report(), "Memo1"), QStringList{"我的公司销售退货单"});
        QCOMPARE(printed(b.w.report(), "Memo28"), QStringList{"负责人:001.张三"});
        QCOMPARE(printed(b.w.report(), "Memo4"), QStringList{"本单据由系统打印"});
        QCOMPARE(b.lines().gridRowCount(), 3); // the window keeps the bill
        QVERIFY(p.verifyDone());
    }
    // The quotation picker: finished quotations only, the search, and a choice handing over the
    // customer and one message per line (none for a quotation without lines).
    void quotationPicker()
    {
        db->exec("insert into 报价单(ID, 单据编号, 货款合计, 客户类别, 客户名称, 联系人, 联系电话, 地址, 经办人, 客户编号, 当前状态) "
                 "values('Q1', 'BJ-1', 30, '0.9', '东方公司', '李四', '123', '长街1号', '张三', 'KH01', '完成'), "
                 "('Q2', 'BJ-2', 0, '1', '西山公司', '王五', '456', '', '赵六', 'KH02', '完成'), "
                 "('Q3', 'BJ-3', 0, '1', '未完公司', '', '', '', '', 'KH03', '进行')");
        db->exec("insert into 报价明细(ID, 配件编号, 配件名称, 数量, 单价, 金额, 仓位) values "
                 "('Q1', 'A', '甲', 2, 5, 10, '一号库'), ('Q1', 'B', '乙', 4, 5, 20, '一号库')");
        ScriptedPrompt p;
        QuoteReceiver receiver;
        TfrmChooseQuotation w(&receiver);
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("[选择报价单]"));
        QCOMPARE(w.quotations()->dataRowCount(), 2);
        QCOMPARE(w.currentID(), QStringLiteral("Q1"));
        QCOMPARE(w.lines()->dataRowCount(), 2);
        auto *selector = w.findChild<QComboBox *>("ComboBox1");
        selector->setCurrentIndex(2);
        p.expectMessage("请输入查询条件");
        w.SpeedButton1Click();
        edit(&w, "Edit1")->setText("西山");
        w.SpeedButton1Click();
        QCOMPARE(w.quotations()->dataRowCount(), 1);
        QCOMPARE(w.currentID(), QStringLiteral("Q2"));
        w.choose(true); // no lines: the customer only
        QVERIFY(receiver.lines.isEmpty());
        QCOMPARE(G.gCustom.CustomerName, QStringLiteral("西山公司"));

        TfrmChooseQuotation again(&receiver);
        again.show();
        again.findChild<QTableView *>("DBGridsalequote")->setCurrentIndex(again.quotations()->index(0, 2));
        again.choose(false);
        QCOMPARE(receiver.lines, (QList<QStringList>{{"A", "2", "5", "1"}, {"B", "4", "5", "2"}}));
        QCOMPARE(G.gCustom.GoodsTotal.toDouble(), 30.0);
        QCOMPARE(G.gCustom.Discount, QStringLiteral("0.9"));
        QCOMPARE(G.gCustom.UnitNo, QStringLiteral("KH02")); // Enter leaves the code as it was
        QVERIFY(p.verifyDone());
    }
};

ORV_DB_TEST_MAIN(TestSalesBill)
#include "tst_db_salesbill.moc"
