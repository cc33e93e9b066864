// The shared parts of the document windows: the bill picker (its modes, search and hand-over),
// the print helper (row slots, head bands and footer slot per print), and the goods pickers and
// code entry at the price the opener asks for.
#include "documentfixture.h"
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "documents/documentlistwindow.h"
#include "documents/documentprint.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"
#include "sales/salesschema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace documenttest;

namespace {
QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(QString::fromUtf8(name)); }

// A window that takes bill lines and notes how each arrived.
class LineTaker : public QWidget, public MessageReceiver {
public:
    QList<repairFit> lines;
    QStringList unitNos;
    void onWindowMessage(int message) override
    {
        if (message != WM_PUCH_FIT)
            return;
        lines << G.gRepFit;
        unitNos << G.gCustom.UnitNo;
    }
};


// A sales bill's line as its save stores it: 折扣 and 折后金额 beside 金额.
void addSaleLine(TestDb &t, const QString &docID, const QString &name, double amount, double discount)
{
    t.exec("insert into 销售明细(编号, 名称, 规格, 辅助数量, 数量, 单位, 单价, 金额, 折扣, 折后金额, ID) "
           "values(?, ?, 'M6', 1, 2, '个', ?, ?, ?, ?, ?)",
           {"HP-" + name, name, amount / 2, amount, discount, amount * discount, docID});
}

// A list over an internal document kind: a column shown under another name, a column no table
// holds, the totals labelled '合计', a search through the lines, the delete taking the lines too.
DocumentListConfig internalList(const QString &caption, const QString &table, const QString &lines,
                                const QString &party)
{
    DocumentListConfig c;
    c.caption = caption;
    c.table = table;
    c.state = "已审核";
    c.dateColumn = "日期";
    c.columns = {hidden("ID"), hidden("流水号"), shown("单据编号"), shown("日期"), shownAs(party, "相关单位"),
                 shown("金额合计"), shown("摘要"), {"收货员", {}}, hidden("是否红冲")};
    c.searches = {{"按单据编号查询", "单据编号"},
                  {"按照相关单位查询", party},
                  {"按货品编号查询", {}, "ID in (select ID from " + lines + " where 编号 {like} ?)", "编号 {like} ?"}};
    c.totalsLabel = "合计";
    c.summed = {"金额合计"};
    c.lineTable = lines;
    c.linesTab = "明细";
    c.lineColumns = {hidden("流水号"), hidden("ID"), shown("编号"), shown("名称"), shown("数量")};
    c.remove = {true, "删除后将不能恢复你确定要继续吗?", true, "删除成功！"};
    c.redFlag = "是否红冲";
    c.remarkColumn = "摘要";
    c.currentChanged = [](const QString &id) { G.gDiaoBoListID = id; };
    return c;
}

// A document of such a kind, with lines of the given codes.
QString addInternal(TestDb &t, const QString &table, const QString &party, const QString &no, const QString &date,
                    const QVariant &amount, const QStringList &codes = {})
{
    const QString id = "ID-" + no;
    t.exec("insert into " + table + "(单据编号, 日期, " + party + ", 金额合计, 摘要, ID, 当前状态) values(?,?,?,?,?,?,?)",
           {no, date, "一车间", amount, "摘要" + no, id, "已审核"});
    const QString lines = table == "借出单" ? "借出单明细" : table + "明细";
    for (const QString &code : codes)
        t.exec("insert into " + lines + "(编号, 名称, 数量, ID) values(?, ?, 1, ?)", {code, "名" + code, id});
    return id;
}

QStringList listed(DocumentListModel &m, const QString &title = "单据编号")
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.text(r, title);
    return out;
}
} // namespace

class TestDocuments : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        registerSalesSchema();
        startEngine();
    }
    void init() { resetProgramState(); }
    void cleanup()
    {
        delete frmSelectFit.data();
        Clock::pin(QDateTime());
    }

    void pickerModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("approved bills") << 1 << 0 << "" << QStringList{"CG-260307-001", "CG-260307-002"};
        QTest::newRow("bills by supplier") << 1 << 2 << "华南" << QStringList{"CG-260307-002"};
        QTest::newRow("bills by clerk") << 1 << 3 << "张" << QStringList{"CG-260307-001", "CG-260307-002"};
        QTest::newRow("receipts, reversed ones too") << 2 << 0 << "" << QStringList{"CGJH-1", "CGJH-2"};
        QTest::newRow("receipts by number") << 2 << 1 << "2" << QStringList{"CGJH-2"};
        QTest::newRow("finished goods") << 3 << 0 << "" << QStringList{"CPRK-1"};
        QTest::newRow("finished goods by unit") << 3 << 2 << "车间" << QStringList{"CPRK-1"};
        QTest::newRow("a quote in the text") << 3 << 2 << "车'间" << QStringList{};
    }
    void pickerModes()
    {
        QFETCH(int, mode);
        QFETCH(int, item);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        TestDb t;
        addBill(t, "DW1.华东五金", {kA});
        addBill(t, "DW2.华南钢材", {kB});
        t.exec("insert into 采购单(单据编号, ID, 当前状态) values('CG-X', 'pending', '待审核')");
        t.exec("insert into 采购入库单(单据编号, ID, 当前状态, 开单人) values('CGJH-1', 'r1', '已入库', '张')");
        t.exec("insert into 采购入库单(单据编号, ID, 当前状态, 是否红冲) values('CGJH-2', 'r2', '已入库', ?)", {true});
        t.exec("insert into 成品入库单(单据编号, ID, 当前状态, 相关单位) values('CPRK-1', 'c1', '已审核', 'BM1.一车间')");
        t.exec("insert into 成品入库单(单据编号, ID, 当前状态) values('CPRK-2', 'c2', '待审核')");
        G.gSelectPuchMode = mode;
        TfrmSelectPuch picker(nullptr);
        picker.show();
        picker.findChild<QComboBox *>("ComboBoxQuery")->setCurrentIndex(item);
        edit(&picker, "EditContent")->setText(text);
        QStringList got;
        for (int row = 0; row < picker.billModel()->dataRowCount(); ++row)
            got << picker.billModel()->text(row, "单据编号");
        QCOMPARE(got, listed);
    }

    // Each line once, in the order written, TargetRow going on from the opener's; the code of the
    // supplier found by name, empty when none.
    void pickerHandOver()
    {
        TestDb t;
        addSupplier(t, "DW1", "华东五金");
        const QString known = addBill(t, "DW1.华东五金", {kA, kB});
        const QString unknown = addBill(t, "无名厂", {kB});
        LineTaker taker;
        G.gRepFit.TargetRow = 3;
        G.gRepFit.GoodsID = "stale";
        G.gRepFit.PurchasePrice = "99";
        G.gSelectPuchMode = 1;
        TfrmSelectPuch picker(&taker);
        picker.show();
        QCOMPARE(picker.currentDocID(), known);
        picker.DBGrid1DblClick();
        QCOMPARE(taker.lines.size(), 2);
        QCOMPARE(taker.lines[0].GoodsNo, QString("A"));
        QCOMPARE(taker.lines[0].TargetRow, 4);
        QCOMPARE(taker.lines[1].GoodsNo, QString("B"));
        QCOMPARE(taker.lines[1].TargetRow, 5);
        QCOMPARE(taker.lines[1].AuxQty, QString("2"));
        QCOMPARE(taker.lines[1].Amount, QString("10"));
        QCOMPARE(taker.lines[1].Ratio, QString("1"));
        QCOMPARE(taker.lines[0].GoodsID, QString());
        QCOMPARE(taker.lines[0].PurchasePrice, QString());
        QCOMPARE(taker.unitNos, (QStringList{"DW1", "DW1"}));
        QCOMPARE(picker.result(), int(QDialog::Accepted));

        TfrmSelectPuch again(&taker);
        again.show();
        again.DBGrid1CellClick(again.billModel()->findRow("ID", unknown));
        again.DBGrid1DblClick();
        QCOMPARE(taker.lines.size(), 3);
        QCOMPARE(taker.unitNos.last(), QString());
        QCOMPARE(G.gPuchDocID, unknown);
    }

    // A print names its row slots, head bands and footer: a sales bill's stored lines with
    // 折后金额 in Memo24 and 折扣 in Memo35, 主项头2 shown, the footer in tongyong1's Memo11.
    void printSlotsPerPrint()
    {
        TestDb t;
        addSaleLine(t, "S1", "扳手", 10, 0.9);
        addSaleLine(t, "S1", "螺丝", 4, 0.5);
        addSaleLine(t, "S2", "别的", 1, 1);
        DocumentPrint p;
        p.templateName = "tongyong1.frf";
        p.headBands = documentHeadBands(true);
        p.lineSlots = discountLineSlots();
        p.lines = storedPrintLines(t.conn(), "销售明细", "S1", p.lineSlots);
        TfrReport report;
        const PrintRun run = printDocument(report, p);
        QVERIFY(run.printed);
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项数据1",
                                         "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(0), (QStringList{"扳手", "M6", "1", "2", "个", "5", "9", "0.9"}));
        QCOMPARE(printed(report, "Memo24"), (QStringList{"9", "2"}));
        QCOMPARE(printed(report, "Memo35"), (QStringList{"0.9", "0.5"}));
        QCOMPARE(printed(report, "Memo11"), QStringList{G.gFooterBanner});
        // The other templates keep their footer in Memo4; the purchase prints show three head bands.
        QCOMPARE(footerSlotOf("tongyong2.frf"), QString("Memo4"));
        QCOMPARE(footerSlotOf("tongyong.frf"), QString("Memo4"));
        QCOMPARE(documentHeadBands(), (QStringList{"报表标题1", "主项头1", "主项头3"}));
    }

    // The pickers and the code entry hand lines over at the price the opener asks for: the
    // purchase windows at 进货价, the sales windows at 出货价.
    void priceOfTheOpener_data()
    {
        QTest::addColumn<int>("fitPrice");
        QTest::addColumn<QString>("price");
        QTest::newRow("purchase") << kPurchasePrice << "3";
        QTest::newRow("sale") << kSalePrice << "5";
    }
    void priceOfTheOpener()
    {
        QFETCH(int, fitPrice);
        QFETCH(QString, price);
        TestDb t;
        addGoods(t, {{"编号", "HP1"}, {"名称", "扳手"}, {"仓位", "一号库"}, {"进货价", 3}, {"出货价", 5},
                     {"换算比率", 1}});
        ScriptedPrompt p;
        QWidget opener;
        QVERIFY(lookUpEnteredCode(&opener, "HP1", fitPrice));
        QCOMPARE(G.gRepFit.Price, price);
        p.expectMessage("没有此货品");
        QVERIFY(!lookUpEnteredCode(&opener, "HP9", fitPrice));
        int pickerPrice = 0;
        p.expectModal([&](QDialog *) {
            pickerPrice = G.gFitPrice;
            return int(QDialog::Rejected);
        });
        openEntryGoodsPicker(&opener, 5, 1, fitPrice);
        QVERIFY(p.verifyDone());
        QCOMPARE(pickerPrice, fitPrice);
        QCOMPARE(G.gFitCaller, 5);
    }

    // The list: columns by their titles (another name, an empty column), newest first, the totals
    // row last with exact sums; the range compares the stored ISO texts and takes its last day
    // whole, times of day included.
    void documentList_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("sum");
        QTest::newRow("one day, with and without a time")
            << QDate(2026, 3, 7) << QDate(2026, 3, 7) << QStringList{"D4", "D3"} << "0.8";
        QTest::newRow("the month") << QDate(2026, 3, 1) << QDate(2026, 3, 31) << QStringList{"D5", "D4", "D3", "D2"}
                                   << "0.9";
        QTest::newRow("nothing") << QDate(2025, 1, 1) << QDate(2025, 1, 31) << QStringList{} << "";
    }
    void documentList()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, numbers);
        QFETCH(QString, sum);
        TestDb t;
        addInternal(t, "车间领用", "领用部门", "D1", "2026-02-28 23:59:59", 0.1, {"A"});
        addInternal(t, "车间领用", "领用部门", "D2", "2026-03-01", 0.1);
        addInternal(t, "车间领用", "领用部门", "D3", "2026-03-07", 0.1);
        addInternal(t, "车间领用", "领用部门", "D4", "2026-03-07 23:59:59", 0.7);
        addInternal(t, "车间领用", "领用部门", "D5", "2026-03-08", QVariant());
        DocumentList l(t.conn());
        l.setConfig(internalList("车间领用单", "车间领用", "车间领用明细", "领用部门"));
        QCOMPARE(l.openAll(), 0);
        QCOMPARE(listed(l.documents()), (QStringList{"D5", "D4", "D3", "D2", "D1", "合计"}));
        QCOMPARE(l.documents().text(5, "金额合计"), QString("1"));
        QCOMPARE(l.documents().text(0, "相关单位"), QString("一车间"));
        QCOMPARE(l.documents().text(0, "收货员"), QString());
        QCOMPARE(l.currentID(), QString("ID-D5"));
        QCOMPARE(G.gDiaoBoListID, QString("ID-D5"));
        QCOMPARE(l.openAll("ID-D1"), 4);
        QCOMPARE(l.lines().rowCount(), 1);

        QCOMPARE(l.search({from, to, 0, "ignored"}), 0);
        QCOMPARE(listed(l.documents()), numbers + QStringList{"合计"});
        // Nothing listed: the totals row alone, its sum empty, no document current.
        QCOMPARE(l.documents().text(numbers.size(), "金额合计"), sum);
        QCOMPARE(l.currentID().isEmpty(), numbers.isEmpty());
        QCOMPARE(G.gDiaoBoListID, l.currentID());
        QVERIFY(!l.follow(numbers.size()));
        l.select(numbers.size());
        QVERIFY(l.currentID().isEmpty());
        QCOMPARE(l.lines().rowCount(), 0);
    }

    // An item that searches through the lines lists the documents holding such a line, and the
    // current document's lines narrowed alike; a list without a state, range or totals row.
    void searchThroughLines()
    {
        TestDb t;
        addInternal(t, "车间领用", "领用部门", "D1", "2026-03-02", 5, {"A1", "B1", "A2"});
        addInternal(t, "车间领用", "领用部门", "D2", "2026-03-03", 6, {"B2"});
        DocumentList l(t.conn());
        l.setConfig(internalList("车间领用单", "车间领用", "车间领用明细", "领用部门"));
        l.search({QDate(2026, 3, 1), QDate(2026, 3, 31), 3, "a"}); // any letter case
        QCOMPARE(listed(l.documents()), (QStringList{"D1", "合计"}));
        QCOMPARE(listed(l.lines(), "编号"), (QStringList{"A1", "A2"}));
        l.openAll("ID-D1");
        QCOMPARE(l.lines().rowCount(), 3);

        DocumentListConfig bare = internalList("车间领用单", "车间领用", "车间领用明细", "领用部门");
        bare.state.clear();
        bare.dateColumn.clear();
        bare.totalsLabel.clear();
        t.exec("update 车间领用 set 当前状态 = '待审核' where 单据编号 = 'D1'");
        l.setConfig(bare);
        l.search({QDate(2030, 1, 1), QDate(2030, 1, 1), 1, "D"});
        QCOMPARE(listed(l.documents()), (QStringList{"D2", "D1"}));
        QVERIFY(!l.documents().hasTotalsRow());
        QVERIFY(l.documentsSql(nullptr).endsWith("order by 流水号 desc"));
    }

    // One window serves several lists: switching keeps the range, the item and the text, and
    // lists the other documents unfiltered; the delete asks the list's question, takes the lines
    // with the header when the list says so, and says it is done.
    void listWindow()
    {
        TestDb t;
        addInternal(t, "车间领用", "领用部门", "D1", "2026-03-02", 5, {"A1"});
        addInternal(t, "车间领用", "领用部门", "D2", "2026-02-03", 6, {"B2"});
        addInternal(t, "借出单", "借出单位", "L1", "2026-01-02", 7, {"C1", "C2"});
        addInternal(t, "借出单", "借出单位", "L2", "2026-03-04", 8);
        G.gPrivileges[50] = "True";
        ScriptedPrompt p;
        DocumentListWindow w(internalList("车间领用单", "车间领用", "车间领用明细", "领用部门"));
        w.show();
        QCOMPARE(w.windowTitle(), QString("车间领用单"));
        QCOMPARE(listed(*w.documentModel()), (QStringList{"D1", "D2", "合计"}));
        QVERIFY(!w.findChild<QToolButton *>("SpeedButton5")->isVisible());
        w.findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2026, 1, 1));
        w.findChild<QComboBox *>("ComboBox1")->setCurrentIndex(2);
        w.findChild<QLineEdit *>("EditContent")->setText("车间");
        w.search();
        QCOMPARE(listed(*w.documentModel()), (QStringList{"D1", "D2", "合计"}));

        w.setConfiguration(internalList("借出单", "借出单", "借出单明细", "借出单位"));
        QCOMPARE(w.windowTitle(), QString("借出单"));
        QCOMPARE(w.findChild<QDateEdit *>("DateTimePicker1")->date(), QDate(2026, 1, 1));
        QCOMPARE(w.findChild<QComboBox *>("ComboBox1")->currentIndex(), 2);
        QCOMPARE(w.findChild<QLineEdit *>("EditContent")->text(), QString("车间"));
        QCOMPARE(listed(*w.documentModel()), (QStringList{"L2", "L1", "合计"}));
        QCOMPARE(w.currentID(), QString("ID-L2"));
        w.search();
        QCOMPARE(listed(*w.documentModel()), (QStringList{"L2", "L1", "合计"}));

        w.documentKey(1);
        p.expectMessage("删除后将不能恢复你确定要继续吗?", QMessageBox::Yes, "系统提示");
        p.expectMessage("删除成功！");
        w.deleteCurrent();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 借出单明细").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 车间领用明细").toInt(), 2);
        QCOMPARE(listed(*w.documentModel()), (QStringList{"L2", "合计"}));
    }
};

ORV_DB_TEST_MAIN(TestDocuments)
#include "tst_db_documents.moc"
