// The shared parts of the document windows: the bill picker (its modes, search and hand-over),
// the print helper (row slots, head bands and footer slot per print), and the goods pickers and
// code entry at the price the opener asks for.
#include "documentfixture.h"
#include "scriptedprompt.h"

#include "app/appglobals.h"
#include "documents/documentprint.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"
#include "sales/salesschema.h"

#include <QComboBox>
#include <QLineEdit>

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
};

ORV_DB_TEST_MAIN(TestDocuments)
#include "tst_db_documents.moc"
