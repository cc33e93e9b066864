// Stock taking (the counts, the window, the posting with its bill and voucher), the list of the
// bills, and the price adjustment opened from the goods list.
#include "documentfixture.h"
#include "stockfixture.h"
#include "scriptedprompt.h"
#include "testdb.h"
#include "../goods/xlsxsheet.h"

#include "app/appglobals.h"
#include "goods/excelexport.h"
#include "goods/frmcangku.h"
#include "goods/goodsschema.h"
#include "goods/lookupschema.h"
#include "partners/partnersschema.h"
#include "app/windowing.h"
#include "stock/frmmingoutin.h"
#include "stock/frmtake.h"
#include "stock/frmtakelist.h"
#include "stock/frmtiaojia.h"
#include "stock/frmtongji.h"
#include "stock/priceadjustment.h"
#include "stock/stockmenu.h"
#include "stock/stocktaking.h"
#include "stock/takelist.h"
#include "stock/takebillprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace orv;
using namespace orv::test;
using stocktest::rowValues;

namespace {
qint64 addGoods(TestDb &t, const QString &no, const QString &name, const QString &category, const QVariant &stock,
                const QVariant &price, const QVariant &ratio, const QString &count)
{
    t.exec("insert into 货品目录(编号,名称,规格,仓位,单位,类别,库存,辅助库存,进货价,换算比率,盘点库存,警戒库存) "
           "values(?,?,'标准','一号库','个',?,?,0,?,?,?,5)",
           {no, name, category, stock, price, ratio, count});
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

// Counted rows: equal (ratio 2), a surplus (ratio 0), a shortage (ratio 4), one not counted,
// a surplus without a purchase price; categories whose names hold % and _.
struct Goods {
    qint64 equal, surplus, shortage, uncounted, noPrice;
};
Goods fiveGoods(TestDb &t)
{
    return {addGoods(t, "A1", "螺丝", "五金配件", 10, 0.5, 2, "10"), addGoods(t, "A2", "螺母", "五金", 5, 2, 0, "8"),
            addGoods(t, "B1", "垫片", "塑料", 3.5, 1, 4, "2"), addGoods(t, "C1", "钉子", "五金_特", 1, 1, 1, ""),
            addGoods(t, "D1", "锤子", "五%金", 1, QVariant(), 1, "3")};
}

QStringList counts(TestDb &t) { return rowValues(t, "select 编号, 库存, 辅助库存, 盘点库存 from 货品目录 order by 流水号"); }

int rows(TestDb &t, const QString &table) { return t.scalar("select count(*) from " + table).toInt(); }

// Two bills: 张三's of A1, A2, B1, D1, then 李四's of A1 and B1.
struct Bills {
    TakeResult first, second;
};
Bills twoBills(TestDb &t)
{
    fiveGoods(t);
    Clock::pin(QDateTime(QDate(2024, 5, 6), QTime(3, 4, 5), Qt::UTC));
    StockTaking taking(t.conn());
    Bills b;
    b.first = taking.post({}, "张三");
    t.exec("update 货品目录 set 盘点库存 = '12' where 编号 = 'A1'");
    t.exec("update 货品目录 set 盘点库存 = '1' where 编号 = 'B1'");
    b.second = taking.post({}, "李四");
    return b;
}

// A grid's column, row by row.
QStringList column(const DocumentListModel &m, const QString &title)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.text(r, title);
    return out;
}
} // namespace

class TestStockTaking : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerLedgerSchema();
        registerGoodsSchema();
        registerGoodsLookupSchema();
        registerPartnersSchema();
        registerStockWindows();
    }
    void init() { G = AppGlobals{}; }
    void cleanup() { Clock::pin(QDateTime()); }

    void postingWritesStockBillAndVoucher()
    {
        TestDb t;
        fiveGoods(t);
        Clock::pin(QDateTime(QDate(2024, 5, 6), QTime(3, 4, 5), Qt::UTC));
        StockTaking taking(t.conn());
        const TakeResult r = taking.post({}, "张三");
        QCOMPARE(r.status, TakeResult::Posted);
        QCOMPARE(r.rows, 4);
        QCOMPARE(StockTaking::doneText(r.qty, r.amount), QString("库存盘点完毕盈亏数量为:3.5盈亏金额为4.5"));
        // Stock := count, aux := count / ratio (a ratio not above 0 counts as 1), count cleared.
        QCOMPARE(counts(t), (QStringList{"A1|10|5|", "A2|8|8|", "B1|2|0.5|", "C1|1|0|", "D1|3|3|"}));
        // The bill: stock before, price, count, differences, stock value, aux before.
        QCOMPARE(rowValues(t, "select 编号,名称,规格,仓位,单位,数量,单价,实盘数量,盘盈盘亏,金额,盘盈亏金额,辅助数量,类别,ID "
                              "from 盘点明细 order by 流水号"),
                 (QStringList{"A1|螺丝|标准|一号库|个|10|0.5|10|0|5|0|5|NULL|" + r.billID,
                              "A2|螺母|标准|一号库|个|5|2|8|3|10|6|5|NULL|" + r.billID,
                              "B1|垫片|标准|一号库|个|3.5|1|2|-1.5|3.5|-1.5|0.875|NULL|" + r.billID,
                              "D1|锤子|标准|一号库|个|1|0|3|2|0|0|1|NULL|" + r.billID}));
        const QString today = Clock::localNow().date().toString(Qt::ISODate);
        QCOMPARE(rowValues(t, "select 单据编号,日期,负责人,盈亏金额,盈亏数量,ID,时间 from 盘点单"),
                 QStringList{QString("PD-240506-001|%1|张三|4.5|3.5|%2|%3")
                                 .arg(today, r.billID, Clock::localNow().time().toString("hh:mm:ss"))});
        QCOMPARE(r.billNo, QString("PD-240506-001"));
        // The voucher: its own PD- number, naming the bill by its number and ID.
        QCOMPARE(rowValues(t, "select ID,单据编号,引用单号,引用ID,引用类别,原因,单据类别,制单人,制单日期,审核日期,相关单位,"
                              "单位编号,当前状态,单据备注,审核人,联系人,联系电话,相关部门 from 出入库单"),
                 QStringList{QString("%1|PD-240506-001|PD-240506-001|%2|盘点|盘点|盘点|张三|%3|%3|公司内部|公司内部|已审核"
                                     "|||||NULL")
                                 .arg(r.voucherID, r.billID, today)});
        QCOMPARE(rowValues(t, "select 编号,类型,单价,数量,金额,辅助数量,结存,原有库存数量,辅助单位,类别,供应商,条码,"
                              "换算比率,辅助库存结存,原有辅助数量,拼音码 from 出入库明细 where ID = ? order by 流水号",
                           {r.voucherID}),
                 (QStringList{"A1|相同|0.5|0|0|5|10|10|||||NULL|NULL|NULL|NULL",
                              "A2|入库|2|3|6|5|8|5|||||NULL|NULL|NULL|NULL",
                              "B1|出库|1|-1.5|-1.5|0.875|2|3.5|||||NULL|NULL|NULL|NULL",
                              "D1|入库|0|2|0|1|3|1|||||NULL|NULL|NULL|NULL"}));
        // Nothing left to post.
        QCOMPARE(taking.post({}, "张三").status, TakeResult::NothingCounted);
        QCOMPARE(rows(t, "盘点单"), 1);
    }

    void scope_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("posted");
        QTest::newRow("every row") << "" << QStringList{"A1", "A2", "B1", "C1", "D1"};
        QTest::newRow("a name inside others") << "五金" << QStringList{"A1", "A2", "C1"};
        QTest::newRow("% is a character") << "五%金" << QStringList{"D1"};
        QTest::newRow("_ is a character") << "金_" << QStringList{"C1"};
        QTest::newRow("another category") << "塑料" << QStringList{"B1"};
    }
    void scope()
    {
        QFETCH(QString, category);
        QFETCH(QStringList, posted);
        TestDb t;
        const Goods g = fiveGoods(t);
        t.exec("update 货品目录 set 盘点库存 = '4' where 流水号 = ?", {g.uncounted});
        const QStringList before = counts(t);
        StockTaking taking(t.conn());
        QCOMPARE(taking.check({category}).counted, int(posted.size()));
        const TakeResult r = taking.post({category}, "张三");
        QCOMPARE(r.status, TakeResult::Posted);
        QCOMPARE(rowValues(t, "select 编号 from 盘点明细 order by 流水号"), posted);
        // Rows outside the scope keep their stock and count.
        const QStringList after = counts(t);
        for (int i = 0; i < before.size(); ++i)
            if (!posted.contains(before[i].section('|', 0, 0)))
                QCOMPARE(after[i], before[i]);
        // 盘点初始化 clears the same scope.
        t.exec("update 货品目录 set 盘点库存 = '1'");
        QCOMPARE(taking.clearCounts({category}), category.isEmpty() ? 5 : category == "五金" ? 3 : 1);
    }

    void badCountRefusesEverything_data()
    {
        QTest::addColumn<QString>("count");
        QTest::newRow("a point") << "2.5";
        QTest::newRow("a letter") << "x";
        QTest::newRow("a blank") << " ";
    }
    void badCountRefusesEverything()
    {
        QFETCH(QString, count);
        TestDb t;
        const Goods g = fiveGoods(t);
        t.exec("update 货品目录 set 盘点库存 = ? where 流水号 = ?", {count, g.shortage});
        const QStringList before = counts(t);
        StockTaking taking(t.conn());
        QVERIFY(taking.check({}).bad);
        const TakeResult r = taking.post({}, "张三");
        QCOMPARE(r.status, TakeResult::BadCount);
        QCOMPARE(StockTaking::badCountText(r.badGoodsNo), QString("货品编号为B1实盘数量有问题操作被取消"));
        QCOMPARE(counts(t), before);
        for (const char *table : {"盘点单", "盘点明细", "出入库单", "出入库明细"})
            QCOMPARE(rows(t, table), 0);
        // Outside the scope it stops nothing.
        QCOMPARE(taking.post({"五金"}, "张三").status, TakeResult::Posted);
    }

    // The bill prints its lines in the order they were written, each band with its own line.
    void billPrintsLinesInOrder()
    {
        documenttest::startEngine();
        TestDb t;
        fiveGoods(t);
        t.exec("update 货品目录 set 盘点库存 = '' where 编号 = 'D1'");
        t.exec("delete from 基本信息");
        t.exec("insert into 基本信息(公司名称) values('甲公司')");
        G.gFooterBanner = "谢谢惠顾";
        TfrmTake w;
        w.show();
        w.BitBtn3Click(); // nothing posted in this run yet: nothing printed
        QVERIFY(!w.lastPrint().printed);
        w.clerkCombo()->setEditText("李四");
        gLastTakeID = StockTaking(t.conn()).post({}, "张三").billID;
        w.BitBtn3Click();
        const PrintRun &run = w.lastPrint();
        QVERIFY(run.printed);
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头3", "主项数据1", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(0),
                 (QStringList{"A1", "螺丝", "标准", "一号库", "10", "个", "0.5", "5", "10", "0", "0"}));
        TfrReport &r = w.report();
        QCOMPARE(documenttest::printed(r, "Memo33"), (QStringList{"A1", "A2", "B1"}));
        QCOMPARE(documenttest::printed(r, "Memo6"), (QStringList{"0", "3", "-1.5"}));
        QCOMPARE(documenttest::printed(r, "Memo1"), QStringList{"甲公司货品盘点单"});
        QCOMPARE(documenttest::printed(r, "Memo26"), QStringList{"18.5"});
        QCOMPARE(documenttest::printed(r, "Memo27"), QStringList{"18.5"});
        QCOMPARE(documenttest::printed(r, "Memo8"), QStringList{"1.5"});
        QCOMPARE(documenttest::printed(r, "Memo9"), QStringList{"4.5"});
        QCOMPARE(documenttest::printed(r, "Memo28"), QStringList{"负责人:李四"});
        QVERIFY(documenttest::printed(r, "Memo29").value(0).startsWith("时间："));
        // In signature mode the caption stands alone.
        G.gPrintSignature = 1;
        QCOMPARE(takeBillPrint(t.conn(), gLastTakeID, "李四").slot("Memo28"), QString("负责人:"));
    }

    // The items: 显示全部, 按照单据编号查询, 按照经办人查询 and the blank goods-code item.
    void takeListSearch_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("bills");
        QTest::addColumn<QStringList>("lines");
        const QStringList all = {"A1", "A2", "B1", "D1"};
        QTest::newRow("show all ignores the text") << 0 << "李" << QStringList{"张三", "李四"} << all;
        QTest::newRow("empty text lists all") << 2 << "" << QStringList{"张三", "李四"} << all;
        QTest::newRow("bill number") << 1 << "-002" << QStringList{"李四"} << QStringList{"A1", "B1"};
        QTest::newRow("person in charge") << 2 << "李" << QStringList{"李四"} << QStringList{"A1", "B1"};
        QTest::newRow("goods code: a bill per matching line, its matching lines")
            << 3 << "a" << QStringList{"张三", "张三", "李四"} << QStringList{"A1", "A2"};
        QTest::newRow("goods code narrows the lines") << 3 << "B1" << QStringList{"张三", "李四"} << QStringList{"B1"};
        QTest::newRow("quote is plain text") << 3 << "'" << QStringList{} << QStringList{};
        QTest::newRow("nothing found") << 1 << "x" << QStringList{} << QStringList{};
    }
    void takeListSearch()
    {
        QFETCH(int, item);
        QFETCH(QString, text);
        QFETCH(QStringList, bills);
        QFETCH(QStringList, lines);
        TestDb t;
        const Bills b = twoBills(t);
        QVERIFY(b.second.billNo.endsWith("-002"));
        DocumentList list(t.conn());
        list.setConfig(takeListConfig());
        list.openAll();
        QCOMPARE(column(list.documents(), "负责人"), (QStringList{"张三", "李四"}));
        list.search({QDate(), QDate(), item, text});
        QCOMPARE(column(list.documents(), "负责人"), bills);
        QCOMPARE(list.currentID(), bills.isEmpty() ? QString() : list.documents().text(0, "ID"));
        QCOMPARE(column(list.lines(), "编号"), lines);
    }

    void takeListWindow()
    {
        documenttest::startEngine();
        TestDb t;
        const Bills b = twoBills(t);
        t.exec("delete from 基本信息");
        t.exec("insert into 基本信息(公司名称) values('甲公司')");

        // Without flag 51 no 删除, and the delete does nothing.
        menuHandler("N30")();
        QVERIFY(frmTakeList);
        QCOMPARE(frmTakeList->windowTitle(), QString("盘点单"));
        QVERIFY(frmTakeList->findChild<QWidget *>("SpeedButton1")->isHidden());
        {
            ScriptedPrompt p;
            frmTakeList->show();
            frmTakeList->deleteCurrent();
            QVERIFY(p.verifyDone());
        }
        delete frmTakeList.data();

        G.gPrivileges[50] = "True";
        TfrmTakeList w;
        w.show();
        QVERIFY(!w.findChild<QWidget *>("SpeedButton1")->isHidden());
        QCOMPARE(w.findChild<QWidget *>("SpeedButton4")->property("text").toString(), QString("盘点单"));
        QCOMPARE(column(*w.documentModel(), "单据编号"), (QStringList{b.first.billNo, b.second.billNo}));
        QCOMPARE(w.currentID(), b.first.billID);
        QCOMPARE(w.lineModel()->rowCount(), 4);
        auto *item = w.findChild<QComboBox *>("ComboBox1");
        auto *text = w.findChild<QLineEdit *>("Edit1");

        // Print after a search: the first bill found, its person in charge, its totals.
        item->setCurrentIndex(1);
        text->setText("-002");
        w.search();
        w.printCurrent();
        {
            const PrintRun &run = w.lastPrint();
            QVERIFY(run.printed);
            QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
            TfrReport &r = w.report();
            QCOMPARE(documenttest::printed(r, "Memo33"), (QStringList{"A1", "B1"}));
            QCOMPARE(documenttest::printed(r, "Memo28"), QStringList{"负责人:李四"});
            QCOMPARE(documenttest::printed(r, "Memo1"), QStringList{"甲公司货品盘点单"});
            QCOMPARE(documenttest::printed(r, "Memo26"), QStringList{"12"});
            QCOMPARE(documenttest::printed(r, "Memo27"), QStringList{"7"});
            QCOMPARE(documenttest::printed(r, "Memo8"), QStringList{"1"});
            QCOMPARE(documenttest::printed(r, "Memo9"), QStringList{"0"});
        }
        // A bill without lines still prints its title, heads and footer, its totals 0.
        t.exec("delete from 盘点明细 where ID = ?", {b.second.billID});
        w.printCurrent();
        QCOMPARE(w.lastPrint().bands, (QStringList{"报表标题1", "主项头3", "主项脚1", "页脚1"}));
        QCOMPARE(documenttest::printed(w.report(), "Memo26"), QStringList{"0"});
        QCOMPARE(documenttest::printed(w.report(), "Memo28"), QStringList{"负责人:李四"});

        // Export of the current bill's lines: the eleven shown columns, then the count.
        item->setCurrentIndex(0);
        QCOMPARE(w.currentID(), b.first.billID);
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        {
            ScriptedPrompt p;
            stocktest::expectExport(p);
            w.exportLines();
            QVERIFY(p.verifyDone());
        }
        const xlsxtest::Sheet sh(dir.filePath(QDir(dir.path()).entryList(QDir::Files).first()));
        QStringList heads, first;
        for (const char *c : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"}) {
            heads << sh.cells.value(QString(c) + "1").value;
            first << sh.cells.value(QString(c) + "2").value;
        }
        QCOMPARE(heads, (QStringList{"编号", "名称", "类别", "规格", "仓位", "数量", "金额", "实盘数量", "单价", "盘盈盘亏",
                                     "盘盈亏金额", ""}));
        QCOMPARE(first, (QStringList{"A1", "螺丝", "", "标准", "一号库", "10", "5", "10", "0.5", "0", "0", ""}));
        QCOMPARE(sh.cells.value("A6").value, QString("满足条件记录的总数为：4条"));
        ExcelExport::setOutputFolder(QString());

        // Delete: the header only, after the question; the lines stay but no search finds the bill.
        const int lines = rows(t, "盘点明细");
        {
            ScriptedPrompt p;
            p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
            p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
            w.deleteCurrent();
            QCOMPARE(rows(t, "盘点单"), 2);
            w.deleteCurrent();
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(column(*w.documentModel(), "负责人"), QStringList{"李四"});
        QCOMPARE(rows(t, "盘点明细"), lines);
        QCOMPARE(rows(t, "出入库单"), 2);
        item->setCurrentIndex(3);
        text->setText("A");
        w.search();
        QCOMPARE(w.documentModel()->rowCount(), 0);

        // An empty list: no bill current; print, export and delete do nothing.
        t.exec("delete from 盘点单");
        item->setCurrentIndex(0);
        QCOMPARE(w.documentModel()->rowCount(), 0);
        QVERIFY(w.currentID().isEmpty());
        {
            ScriptedPrompt p;
            w.printCurrent();
            w.exportLines();
            w.deleteCurrent();
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(w.lastPrint().bands, (QStringList{"报表标题1", "主项头3", "主项脚1", "页脚1"})); // nothing new
    }

    void twoClientsPostEachRowOnce()
    {
        TestDb t;
        fiveGoods(t);
        const QString failure = runClients(t, 2, [](int n, Connection &c) {
            StockTaking(c).post({}, QString("客户%1").arg(n));
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(rows(t, "盘点单"), 1);
        QCOMPARE(rows(t, "盘点明细"), 4);
        QCOMPARE(rows(t, "出入库单"), 1);
        QCOMPARE(rows(t, "出入库明细"), 4);
        QCOMPARE(counts(t), (QStringList{"A1|10|5|", "A2|8|8|", "B1|2|0.5|", "C1|1|0|", "D1|3|3|"}));
    }

    void takeWindow()
    {
        TestDb t;
        const Goods g = fiveGoods(t);
        t.exec("insert into 类别目录(流水号,类别,父项,级别) values('0001','五金','全部','1'),('0002','五%金','全部','1')");
        t.exec("insert into 员工目录(工号,姓名) values('01','李四'),('02','王五')");
        G.gCurrentUser = "张三";
        TfrmTake w;
        w.resize(1100, 640);
        w.show();
        QCOMPARE(w.windowTitle(), QString("库存盘点"));
        QCOMPARE(w.clerkCombo()->currentText(), QString("张三"));
        QTreeWidgetItem *root = w.categoryTree()->topLevelItem(0);
        QCOMPARE(root->text(0), QString("0000\\全部"));
        QCOMPARE(root->child(0)->text(0), QString("0001\\五金"));
        StockTakeModel *m = w.goodsModel();
        QCOMPARE(m->rowCount(), 5);
        QVERIFY(w.goodsGrid()->isColumnHidden(0));
        QCOMPARE(m->headerData(7, Qt::Horizontal).toString(), QString("实盘数量"));

        // A category lists the goods whose category contains its name.
        w.categoryTree()->setCurrentItem(root->child(1));
        QCOMPARE(m->rowCount(), 1);
        w.categoryTree()->setCurrentItem(root->child(0));
        QCOMPARE(m->rowCount(), 3);

        // A count with a point is refused; a whole count is stored as typed.
        const QModelIndex cell = m->index(0, m->countColumn());
        {
            ScriptedPrompt p;
            p.expectMessage("货品实盘数量有问题");
            QVERIFY(!m->setData(cell, "2.5"));
            QVERIFY(p.verifyDone());
        }
        QVERIFY(m->setData(cell, "12"));
        QCOMPARE(t.scalar("select 盘点库存 from 货品目录 where 流水号 = ?", {g.equal}).toString(), QString("12"));
        QCOMPARE(m->data(cell).toString(), QString("12"));

        // The staff fill the 经办人 list; the text typed stays.
        w.clerkCombo()->setEditText("赵六");
        QFocusEvent focusIn(QEvent::FocusIn);
        QApplication::sendEvent(w.clerkCombo(), &focusIn);
        QCOMPARE(w.clerkCombo()->count(), 2);
        QCOMPARE(w.clerkCombo()->itemText(1), QString("王五"));
        QCOMPARE(w.clerkCombo()->currentText(), QString("赵六"));

        // The posting of the chosen category, after the question.
        w.goodsGrid()->setCurrentIndex(cell);
        {
            ScriptedPrompt p;
            p.expectMessage("将根据盘点库存调整为当前库存,确实要继续吗?", QMessageBox::No, "系统提示");
            w.BitBtn4Click();
            QVERIFY(p.verifyDone());
            QCOMPARE(rows(t, "盘点单"), 0);
        }
        {
            ScriptedPrompt p;
            p.expectMessage("将根据盘点库存调整为当前库存,确实要继续吗?", QMessageBox::Yes, "系统提示");
            p.expectMessage("库存盘点完毕盈亏数量为:5盈亏金额为7");
            w.BitBtn4Click();
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(gLastTakeID, t.scalar("select ID from 盘点单").toString());
        QCOMPARE(t.scalar("select 负责人 from 盘点单").toString(), QString("赵六"));
        QCOMPARE(m->rowCount(), 5); // every goods row again
        {
            ScriptedPrompt p;
            p.expectMessage("请输入实际盘点数量");
            w.BitBtn4Click();
            QVERIFY(p.verifyDone());
        }

        // Searches.
        auto *item = w.findChild<QComboBox *>("ComboBox1");
        auto *text = w.findChild<QLineEdit *>("EditContent");
        item->setCurrentText("按照名称查询");
        text->setText("螺");
        QCOMPARE(m->rowCount(), 2);
        text->setText("螺'");
        QCOMPARE(m->rowCount(), 0);
        item->setCurrentText("低于警戒库存查询");
        text->setText("x");
        QCOMPARE(m->rowCount(), 3);
        text->clear();
        QCOMPARE(m->rowCount(), 5);

        // 盘点初始化 of the root clears every count.
        w.categoryTree()->setCurrentItem(root);
        w.BitBtn2Click();
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 盘点库存 <> ''").toInt(), 0);

        // Export: the list, then the count of rows.
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        w.goodsGrid()->setCurrentIndex(m->index(0, 1));
        {
            ScriptedPrompt p;
            stocktest::expectExport(p);
            w.SpeedButton2Click();
            QVERIFY(p.verifyDone());
        }
        const xlsxtest::Sheet sh(dir.filePath(QDir(dir.path()).entryList(QDir::Files).first()));
        QCOMPARE(sh.cells.value("G1").value, QString("实盘数量"));
        QCOMPARE(sh.cells.value("A2").value, QString("A1"));
        QVERIFY(sh.textFormatted("A2"));
        QCOMPARE(sh.cells.value("A7").value, QString("满足条件记录的总数为：5条"));
        ExcelExport::setOutputFolder(QString());
    }

    void menuEntriesOpenTheWindows()
    {
        TestDb t;
        for (const char *entry : {"N52", "N53", "N23"})
            menuHandler(entry)();
        QCOMPARE(frmtongji->windowTitle(), QString("出入库汇总帐"));
        QCOMPARE(frmMingOutIn->windowTitle(), QString("出入库明细帐"));
        QCOMPARE(frmTake->windowTitle(), QString("库存盘点"));
        delete frmtongji.data();
        delete frmMingOutIn.data();
        delete frmTake.data();
    }

    void priceScopes_data()
    {
        QTest::addColumn<QStringList>("scopes"); // "n|low|high" per ticked scope (1 to 6)
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("operand");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("prices"); // 出货价 of the rows priced 10, 5, 20, 0.1 and unpriced
        const QStringList unchanged{"0", "0", "0", "0", "0"};
        QTest::newRow("equal, times") << QStringList{"1|10|"} << 1 << "1.2" << QStringList{}
                                      << QStringList{"12", "0", "0", "0", "0"};
        QTest::newRow("between, bounds out") << QStringList{"4|5|20"} << 0 << "2" << QStringList{}
                                             << QStringList{"12", "0", "0", "0", "0"};
        QTest::newRow("between, bounds in") << QStringList{"5|5|20"} << 0 << "2" << QStringList{}
                                            << QStringList{"12", "7", "22", "0", "0"};
        QTest::newRow("below, minus") << QStringList{"2|5|"} << 2 << "0.1" << QStringList{}
                                      << QStringList{"0", "0", "0", "0", "0"};
        QTest::newRow("above, plus 0") << QStringList{"3|10|"} << 0 << "0" << QStringList{}
                                       << QStringList{"0", "0", "20", "0", "0"};
        QTest::newRow("all, divided; unpriced left alone") << QStringList{"6||"} << 3 << "4" << QStringList{}
                                                           << QStringList{"2.5", "1.25", "5", "0.025", "0"};
        QTest::newRow("all with another: the same")
            << QStringList{"1|10|", "6||"} << 3 << "4" << QStringList{} << QStringList{"2.5", "1.25", "5", "0.025", "0"};
        QTest::newRow("empty bound skipped, the rest applied")
            << QStringList{"1||", "4|5|", "5||20", "6||"} << 0 << "1"
            << QStringList{"请输入进货价等于某个值再进行调价", "请输入进货价小于某个值在进行更新",
                           "请输入进货价大于等于某个值再进行调价"}
            << QStringList{"11", "6", "21", "1.1", "0"};
        QTest::newRow("scopes 2 and 3 say 等于") << QStringList{"2||", "3||"} << 0 << "" 
            << QStringList{"请输入进货价等于某个值再进行调价", "请输入进货价等于某个值再进行调价"} << unchanged;
        QTest::newRow("no operand") << QStringList{"6||"} << 0 << "" << QStringList{"运算值不能为空"} << unchanged;
        QTest::newRow("no operand, found late")
            << QStringList{"1||", "6||"} << 0 << ""
            << QStringList{"请输入进货价等于某个值再进行调价", "运算值不能为空"} << unchanged;
        QTest::newRow("divided by 0") << QStringList{"1|10|", "6||"} << 3 << "0" << QStringList{"除法的运算值不能为0"}
                                      << unchanged;
        QTest::newRow("a lone point") << QStringList{"6||"} << 0 << "." << QStringList{"运算值必须是数字"} << unchanged;
        QTest::newRow("a lone point as bound") << QStringList{"1|.|"} << 0 << "1"
                                               << QStringList{"进货价的范围值必须是数字"} << unchanged;
        QTest::newRow("nothing ticked") << QStringList{} << 0 << "" << QStringList{} << unchanged;
    }
    void priceScopes()
    {
        QFETCH(QStringList, scopes);
        QFETCH(int, op);
        QFETCH(QString, operand);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, prices);
        TestDb t;
        for (const QVariant &price : {QVariant(10), QVariant(5), QVariant(20), QVariant(0.1), QVariant()})
            t.exec("insert into 货品目录(编号,进货价,出货价) values('G',?,0)", {price});
        PriceAdjustmentInput in;
        for (const QString &s : scopes) {
            const QStringList p = s.split('|');
            auto &scope = in.scopes[size_t(p[0].toInt() - 1)];
            scope = {true, p[1], p[2]};
        }
        in.op = PriceOp(op);
        in.operand = operand;
        const PricePlan plan = planPriceAdjustment(in);
        QCOMPARE(plan.messages, messages);
        applyPriceAdjustment(t.conn(), plan);
        QStringList stored;
        for (const QString &v : rowValues(t, "select 出货价 from 货品目录 order by 流水号"))
            stored << v;
        QCOMPARE(stored, prices);
    }

    void priceDialogFromGoodsList()
    {
        TestDb t;
        t.exec("insert into 货品目录(编号,名称,进货价,出货价) values('G1','螺丝',10,0),('G2','螺母',3,0)");
        TfrmCangKu list;
        frmCangKu = &list;
        list.show();
        auto *priceButton = [&] {
            for (QPushButton *b : list.findChildren<QPushButton *>())
                if (b->text() == "调价")
                    return b;
            return static_cast<QPushButton *>(nullptr);
        }();
        QVERIFY(priceButton && priceButton->isEnabled());
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            MCOMPARE(d->windowTitle(), QString("调价"));
            d->findChild<QCheckBox *>("CheckBox2")->setChecked(true);
            auto *bound = d->findChild<QLineEdit *>("Edit2");
            QTest::keyClicks(bound, "1a0.-5.");
            MCOMPARE(bound->text(), QString("10.5")); // digits and one point only
            bound->setText("10");
            d->findChild<QComboBox *>("ComboBox2")->setCurrentText("*");
            d->findChild<QLineEdit *>("Edit1")->setText("1.5");
            QTest::keyClick(d, Qt::Key_Escape);
            MCOMPARE(d->result(), 0); // Esc does not close it
            qobject_cast<TfrmTiaojia *>(d)->BitBtn1Click();
            return d->result();
        });
        p.expectMessage("处理完毕");
        priceButton->click();
        QVERIFY(p.verifyDone());
        // The goods list reloaded on the message.
        QCOMPARE(list.listModel()->text(0, "出货价"), QString("15"));
        QCOMPARE(list.listModel()->text(1, "出货价"), QString("0"));
        frmCangKu = nullptr;
    }
};

ORV_DB_TEST_MAIN(TestStockTaking)
#include "tst_db_stocktaking.moc"
