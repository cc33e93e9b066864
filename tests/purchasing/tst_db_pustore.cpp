// 验收入库: the receipt layout, import of approved bills through the bill picker (always appended,
// the window's own supplier code), the payment split, the posting's checks, the posting with and without a direct issue and what each prints, a
// shortage refused, the print of the grid, clearing and the reset.
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "common/clock.h"
#include "data/dataset.h"
#include "documents/frmselectpuch.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "goods/listmodel.h"
#include "partners/staffcombo.h"
#include "purchasing/frmpustore.h"
#include "purchasing/purchaseorders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {
int closeEditor(QDialog *) { return int(QDialog::Rejected); }
QString today() { return Clock::localNow().date().toString("yyyy-MM-dd"); }

QLineEdit *edit(QWidget *w, const char *name)
{
    auto *e = w->findChild<QLineEdit *>(QString::fromUtf8(name));
    if (!e)
        qFatal("no field %s", name);
    return e;
}
StaffCombo *staff(QWidget *w, const char *name) { return w->findChild<StaffCombo *>(QString::fromUtf8(name)); }
QCheckBox *box(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(QString::fromUtf8(name)); }
QString supplierText(QWidget *w) { return w->findChild<QComboBox *>("ComboBox3")->currentText(); }

// The receipt window as the menu entry opens it.
struct Receipt {
    TfrmPuStore w;
    Receipt()
    {
        G.gPuStoreMode = 1;
        w.layOutForReceipt();
        w.show();
    }
};

void pick(TfrmPuStore &w, ScriptedPrompt &p, const Line &l)
{
    stage(l);
    p.expectModal(closeEditor);
    QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
}

// The bill picker run from 从采购单导入(&A): the bill with that ID picked.
void importBill(TfrmPuStore &w, ScriptedPrompt &p, const QString &billID)
{
    p.expectModal([billID](QDialog *d) {
        auto *picker = qobject_cast<TfrmSelectPuch *>(d);
        MVERIFY(picker);
        MCOMPARE(picker->windowTitle(), QString("选择采购单"));
        MCOMPARE(picker->findChild<QLabel *>("Label1")->text(), QString("双击选择采购单"));
        picker->DBGrid1CellClick(picker->billModel()->findRow("ID", billID));
        picker->DBGrid1DblClick();
        return picker->result();
    });
    w.SpeedButton3Click();
}

void fillStaff(TfrmPuStore &w)
{
    staff(&w, "ComboBox2")->setText("001.张三");
    staff(&w, "ComboBox1")->setText("002.李四");
    staff(&w, "ComboBox4")->setText("003.王五");
    staff(&w, "ComboBox6")->setText("004.赵六");
    staff(&w, "ComboBox7")->setText("005.钱七");
    edit(&w, "Edit8")->setText("GYS-88");
    edit(&w, "EditMemo")->setText("三月进货");
}

void fillIssue(TfrmPuStore &w)
{
    box(&w, "CheckBox1")->setChecked(true);
    w.directIssueToggled();
    QVERIFY(w.setField(FieldRole::Department, "领用单位", "BM01.一车间"));
    QVERIFY(w.setField(FieldRole::Department, "部门经理", "周经理"));
    QVERIFY(w.setField(FieldRole::Department, "部门编号", "BM01"));
    QVERIFY(w.setField(FieldRole::Staff, "领用员", "孙领料"));
    QVERIFY(w.setField(FieldRole::Staff, "发货员", "吴发货"));
}

} // namespace

class TestPuStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        startEngine();
    }
    void init()
    {
        resetProgramState();
        // Only the key rows share a database; every other test makes its own.
        if (qstrcmp(QTest::currentTestFunction(), "keyChain") != 0)
            m_keysDb.reset();
    }
    void cleanup()
    {
        delete frmMdf.data();
        delete frmSelectPuch.data();
        Clock::pin(QDateTime());
    }

    void layout()
    {
        TestDb t;
        t.exec("insert into 采购入库单(单据编号, ID, 当前状态) values('CGJH-260307-007', 'x', '已入库')");
        Receipt r;
        TfrmPuStore &w = r.w;
        for (const char *shown : {"SpeedButton3", "SpeedButton2"})
            QVERIFY(w.findChild<QToolButton *>(shown)->isVisible());
        for (const char *shown : {"Label5", "Label8"})
            QVERIFY(w.findChild<QLabel *>(shown)->isVisible());
        QVERIFY(w.findChild<QComboBox *>("ComboBox3")->isVisible());
        QVERIFY(edit(&w, "Edit1")->isVisible());
        QVERIFY(!w.findChild<QLabel *>("Label13")->isVisible());
        QVERIFY(!w.findChild<QComboBox *>("ComboBox5")->isVisible());
        QCOMPARE(w.findChild<QLabel *>("Label8")->text(), QString("合计应付"));
        QCOMPARE(w.findChild<QLabel *>("Label1")->text(), QString("验收入库"));
        QCOMPARE(edit(&w, "EditStoreNo")->text(), QString("CGJH-260307-008"));
        QCOMPARE(edit(&w, "Edit5")->text(), QString("NBLY-260307-001"));
        QCOMPARE(edit(&w, "Edit1Date")->text(), today());
        QVERIFY(box(&w, "CheckBox2")->isChecked());
        QVERIFY(!box(&w, "CheckBox1")->isChecked());
        QVERIFY(!edit(&w, "Edit4")->isVisible());
        QVERIFY(w.grid()->isColumnHidden(15));
        QVERIFY(w.grid()->isColumnHidden(10));
        box(&w, "CheckBox1")->setChecked(true);
        w.directIssueToggled();
        QVERIFY(edit(&w, "Edit4")->isVisible());
        QVERIFY(staff(&w, "ComboBox9")->isVisible());
    }

    // Bill lines land below the lines already there, every time; the supplier and its code
    // come from the bill.
    void importBills()
    {
        TestDb t;
        addSupplier(t, "DW1", "华东五金");
        const QString bill = addBill(t, "DW1.华东五金", {kA, kB});
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        pick(w, p, {"C", "丙", "一号库", "1", "5"});
        importBill(w, p, bill);
        importBill(w, p, bill);
        QVERIFY(p.verifyDone());
        const GoodsLineGrid &g = *w.goodsLines();
        QCOMPARE(g.gridRowCount(), 7);
        QStringList codes;
        for (int row = 1; row <= 5; ++row)
            codes << g.cell(row, 1) + ":" + g.cell(row, 0);
        QCOMPARE(codes, (QStringList{"C:1", "A:2", "B:3", "A:4", "B:5"}));
        // A document line brings no goods ID: the picked line's does not carry over.
        QCOMPARE(g.cell(1, 10), QString("GID-C"));
        QCOMPARE(g.cell(2, 10), QString());
        QCOMPARE(g.cell(2, 13), QString("DW1.华东五金"));
        QCOMPARE(G.gRepFit.TargetRow, 5);
        QCOMPARE(supplierText(&w), QString("DW1.华东五金"));
        QCOMPARE(w.supplierCode(), QString("DW1"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("37"));
        QCOMPARE(edit(&w, "Edit2")->text(), QString("37"));
        QCOMPARE(edit(&w, "Edit9")->text(), QString("0"));
        // The bill stays approved and can be received again.
        QCOMPARE(t.scalar("select 当前状态 from 采购单").toString(), QString("已审核"));
    }

    void paymentSplit()
    {
        TestDb t;
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        pick(w, p, {"A", "甲", "一号库", "10", "10"});
        QCOMPARE(edit(&w, "Edit1")->text(), QString("100"));
        QLineEdit *paid = edit(&w, "Edit2");
        paid->selectAll();
        QTest::keyClicks(paid, "30");
        QCOMPARE(edit(&w, "Edit9")->text(), QString("70"));
        paid->selectAll();
        QTest::keyClick(paid, Qt::Key_Backspace);
        QCOMPARE(paid->text(), QString("0"));
        QCOMPARE(edit(&w, "Edit9")->text(), QString("100"));
        // A second point or a letter is not typed.
        paid->setText("1");
        QTest::keyClicks(paid, ".5.x");
        QCOMPARE(paid->text(), QString("1.5"));
        pick(w, p, {"B", "乙", "一号库", "1", "5"});
        QCOMPARE(edit(&w, "Edit1")->text(), QString("105"));
        QCOMPARE(paid->text(), QString("105"));
        QCOMPARE(edit(&w, "Edit9")->text(), QString("0"));
        // Deleting a line takes its amount off both totals.
        w.grid()->setCurrentGridRow(2);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton8Click();
        QCOMPARE(edit(&w, "Edit1")->text(), QString("100"));
        QCOMPARE(paid->text(), QString("100"));
        QVERIFY(p.verifyDone());
    }

    void checks_data()
    {
        QTest::addColumn<QString>("cell");   // "row,col=value" changed on the grid; "" none
        QTest::addColumn<QString>("amounts"); // 合计应付|实际付款|挂账金额; "" as left by the totals
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::newRow("编号") << "2,1=" << "" << "2026-03-07" << "第2行货品不能为空";
        QTest::newRow("名称") << "2,2=" << "" << "2026-03-07" << "第2行货品名称不能为空";
        QTest::newRow("数量") << "2,7=" << "" << "2026-03-07" << "第2行货品数量不能为空";
        QTest::newRow("单价") << "2,8=" << "" << "2026-03-07" << "第2行货品单价不能为空";
        QTest::newRow("金额") << "2,9=" << "" << "2026-03-07" << "第2行货品金额不能为空";
        QTest::newRow("合计应付") << "" << "|1|0" << "2026-03-07" << "合计应付金额不能为空";
        QTest::newRow("实际付款") << "" << "1||0" << "2026-03-07" << "实际应付金额不能为空";
        QTest::newRow("a lone point in a line") << "2,8=." << "" << "2026-03-07" << "第2行单价必须是数字";
        QTest::newRow("aux quantity") << "1,6=x" << "" << "2026-03-07" << "第1行辅助数量必须是数字";
        QTest::newRow("a lone point paid") << "" << "1|.|0" << "2026-03-07" << "实际付款必须是数字";
        QTest::newRow("nothing on account") << "" << "1|1|" << "2026-03-07" << "挂账金额必须是数字";
        QTest::newRow("date") << "" << "" << "3月7日" << "制单日期不是有效的日期";
    }
    void checks()
    {
        QFETCH(QString, cell);
        QFETCH(QString, amounts);
        QFETCH(QString, date);
        QFETCH(QString, message);
        TestDb t;
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        pick(w, p, kA);
        pick(w, p, kB);
        if (!cell.isEmpty()) {
            const QString at = cell.section('=', 0, 0);
            w.goodsLines()->setCell(at.section(',', 0, 0).toInt(), at.section(',', 1).toInt(), cell.section('=', 1));
        }
        if (!amounts.isEmpty()) {
            edit(&w, "Edit1")->setText(amounts.section('|', 0, 0));
            edit(&w, "Edit2")->setText(amounts.section('|', 1, 1));
            edit(&w, "Edit9")->setText(amounts.section('|', 2, 2));
        }
        edit(&w, "Edit1Date")->setText(date);
        p.expectMessage(message);
        w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 采购入库单").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 0);
        QCOMPARE(w.goodsLines()->gridRowCount(), 4);
    }

    void emptyGrid()
    {
        TestDb t;
        ScriptedPrompt p;
        Receipt r;
        p.expectMessage("请输入货品");
        r.w.savesuoyou();
        QVERIFY(p.verifyDone());
    }

    // What each posting prints: the receipt when asked, the requisition whenever goods are issued.
    void postingPrints_data()
    {
        QTest::addColumn<bool>("printTicked");
        QTest::addColumn<bool>("issue");
        QTest::addColumn<QStringList>("templates");
        QTest::newRow("receipt") << true << false << QStringList{"receipt"};
        QTest::newRow("nothing") << false << false << QStringList{};
        QTest::newRow("requisition without the print box") << false << true << QStringList{"requisition"};
        QTest::newRow("both") << true << true << QStringList{"receipt", "requisition"};
    }
    void postingPrints()
    {
        QFETCH(bool, printTicked);
        QFETCH(bool, issue);
        QFETCH(QStringList, templates);
        TestDb t;
        addSupplier(t, "DW1", "华东五金");
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        fillStaff(w);
        pick(w, p, kA);
        pick(w, p, kB);
        G.gCustom.UnitNo = "DW1";
        QVERIFY(w.setField(FieldRole::Supplier, QString(), "DW1.华东五金"));
        // A later pick in another window leaves its code in the shared record: not ours.
        G.gCustom.UnitNo = "DW99";
        if (issue)
            fillIssue(w);
        box(&w, "CheckBox2")->setChecked(printTicked);
        edit(&w, "Edit2")->setText("10");
        edit(&w, "Edit9")->setText("6");
        p.expectMessage("采购货品已经入库");
        w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 供应商编号 from 采购入库单").toString(), QString("DW1"));
        QCOMPARE(t.scalar("select count(*) from 车间领用").toInt(), issue ? 1 : 0);

        QCOMPARE(w.prints().size(), templates.size());
        const int receiptAt = templates.indexOf("receipt"), requisitionAt = templates.indexOf("requisition");
        if (receiptAt >= 0) {
            const PrintRun &run = w.prints()[receiptAt];
            QCOMPARE(run.bands,
                     (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
            QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "1", "2", "个", "3", "6"}));
            TfrReport &rep = w.receiptReport();
            QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司采购入库单"});
            QCOMPARE(printed(rep, "Memo2"), QStringList{"供应商单位:"});
            QCOMPARE(printed(rep, "Memo9"), QStringList{"CGJH-260307-001"});
            QCOMPARE(printed(rep, "Memo3"), QStringList{"DW1.华东五金"});
            QCOMPARE(printed(rep, "Memo7"), QStringList{"三月进货"});
            QCOMPARE(printed(rep, "Memo6"), QStringList{"实付款:"});
            QCOMPARE(printed(rep, "Memo8"), QStringList{"10"});
            QCOMPARE(printed(rep, "Memo11"), QStringList{"6"});
            QCOMPARE(printed(rep, "Memo27"), QStringList{"16"});
            QCOMPARE(printed(rep, "Memo26"), QStringList{"6"});
            QCOMPARE(printed(rep, "Memo25"), QStringList{"3"});
            QCOMPARE(printed(rep, "Memo28"), QStringList{"送货员:002.李四"});
            QCOMPARE(printed(rep, "Memo29"), QStringList{"验收员:003.王五"});
            QCOMPARE(printed(rep, "Memo30"), QStringList{"收货员:004.赵六"});
            QCOMPARE(printed(rep, "Memo31"), QStringList{"复核员:005.钱七"});
            QCOMPARE(printed(rep, "Memo18"), (QStringList{"甲", "乙"}));
            QCOMPARE(printed(rep, "Memo4"), QStringList{"本单据由系统打印"});
        }
        if (requisitionAt >= 0) {
            const PrintRun &run = w.prints()[requisitionAt];
            QCOMPARE(run.dataBands.size(), 2);
            TfrReport &rep = w.requisitionReport();
            QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司内部领用单"});
            QCOMPARE(printed(rep, "Memo2"), QStringList{"领用单位:"});
            QCOMPARE(printed(rep, "Memo9"), QStringList{"NBLY-260307-001"});
            QCOMPARE(printed(rep, "Memo3"), QStringList{"BM01.一车间"});
            QCOMPARE(printed(rep, "Memo28"), QStringList{"部门经理:周经理"});
            QCOMPARE(printed(rep, "Memo29"), QStringList{"领用员:孙领料"});
            QCOMPARE(printed(rep, "Memo30"), QStringList{"发货员:吴发货"});
            QCOMPARE(printed(rep, "Memo31"), QStringList{"复核员:005.钱七"});
            QCOMPARE(printed(rep, "Memo21"), (QStringList{"2", "4"}));
        }

        // The reset: 送货员, 原始编号 and the date stay, the rest is emptied, new numbers.
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(staff(&w, "ComboBox1")->text(), QString("002.李四"));
        QCOMPARE(edit(&w, "Edit8")->text(), QString("GYS-88"));
        QCOMPARE(edit(&w, "Edit1Date")->text(), today());
        for (const char *emptied : {"ComboBox2", "ComboBox4", "ComboBox6", "ComboBox7", "ComboBox8", "ComboBox9"})
            QCOMPARE(staff(&w, emptied)->text(), QString());
        QCOMPARE(supplierText(&w), QString());
        QCOMPARE(w.supplierCode(), QString());
        for (const char *emptied : {"Edit4", "Edit6", "Edit7", "EditMemo"})
            QCOMPARE(edit(&w, emptied)->text(), QString());
        QCOMPARE(edit(&w, "Edit1")->text(), QString("0"));
        QVERIFY(!box(&w, "CheckBox1")->isChecked());
        QVERIFY(!box(&w, "CheckBox2")->isChecked());
        QVERIFY(!edit(&w, "Edit4")->isVisible());
        QCOMPARE(edit(&w, "EditStoreNo")->text(), QString("CGJH-260307-002"));
        QCOMPARE(edit(&w, "Edit5")->text(), issue ? QString("NBLY-260307-002") : QString("NBLY-260307-001"));
        QCOMPARE(G.gRepFit.TargetRow, 0);
    }

    void shortageRefused()
    {
        TestDb t;
        addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"库存", -10}, {"进货价", 1}});
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        pick(w, p, kA);
        pick(w, p, kB);
        fillIssue(w);
        p.expectMessage("第2行库存不足不能进行车间领用操作");
        w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 采购入库单").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 货品目录").toInt(), 1);
        QCOMPARE(t.scalar("select 库存 from 货品目录").toDouble(), -10.0);
        QVERIFY(w.prints().isEmpty());
        QCOMPARE(w.goodsLines()->gridRowCount(), 4);
        QVERIFY(box(&w, "CheckBox1")->isChecked());
    }

    // 打印(&P): the grid as shown, the auxiliary unit in the unit slot; nothing written.
    void printWindow()
    {
        TestDb t;
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        fillStaff(w);
        pick(w, p, kA);
        pick(w, p, kB);
        w.goodsLines()->blankLine(1);
        G.gPrintSignature = 1;
        w.SpeedButton17Click();
        QCOMPARE(w.prints().size(), 1);
        QCOMPARE(w.prints()[0].dataBands, (QList<QStringList>{{"乙", "规格", "2", "4", "箱", "2.5", "10"}}));
        QCOMPARE(printed(w.receiptReport(), "Memo9"), QStringList{"CGJH-260307-001"});
        QCOMPARE(printed(w.receiptReport(), "Memo28"), QStringList{"送货员:"});
        QCOMPARE(t.scalar("select count(*) from 采购入库单").toInt(), 0);
        QCOMPARE(w.goodsLines()->gridRowCount(), 4);
    }

    // 清空: 验收员, 收货员, 复核员, 原始编号, the date and the direct-issue fields stay.
    void clear()
    {
        TestDb t;
        ScriptedPrompt p;
        Receipt r;
        TfrmPuStore &w = r.w;
        fillStaff(w);
        fillIssue(w);
        edit(&w, "Edit1Date")->setText("2026-03-01");
        G.gCustom.UnitNo = "DW1";
        w.setField(FieldRole::Supplier, QString(), "DW1.华东五金");
        pick(w, p, kA);
        const QString number = edit(&w, "EditStoreNo")->text();
        w.SpeedButton13Click();
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        for (const char *field : {"Edit1", "Edit2", "Edit9"})
            QCOMPARE(edit(&w, field)->text(), QString("0"));
        QCOMPARE(staff(&w, "ComboBox2")->text(), QString());
        QCOMPARE(staff(&w, "ComboBox1")->text(), QString());
        QCOMPARE(supplierText(&w), QString());
        QCOMPARE(w.supplierCode(), QString());
        QCOMPARE(edit(&w, "EditMemo")->text(), QString());
        QCOMPARE(staff(&w, "ComboBox4")->text(), QString("003.王五"));
        QCOMPARE(staff(&w, "ComboBox6")->text(), QString("004.赵六"));
        QCOMPARE(staff(&w, "ComboBox7")->text(), QString("005.钱七"));
        QCOMPARE(edit(&w, "Edit8")->text(), QString("GYS-88"));
        QCOMPARE(edit(&w, "Edit1Date")->text(), QString("2026-03-01"));
        QCOMPARE(edit(&w, "Edit4")->text(), QString("BM01.一车间"));
        QCOMPARE(staff(&w, "ComboBox8")->text(), QString("孙领料"));
        QVERIFY(!box(&w, "CheckBox1")->isChecked());
        QVERIFY(!box(&w, "CheckBox2")->isChecked());
        QCOMPARE(edit(&w, "EditStoreNo")->text(), number);
        QCOMPARE(G.gRepFit.TargetRow, 0);
        QVERIFY(p.verifyDone());
    }

    // Both chains forward with Enter, Down and Right and back with Left and Up; leaving a staff,
    // supplier, department or date field forward opens its picker first, the remark and the grid
    // the goods picker; the direct-issue fields are in the chain only while the box is ticked.
    void keyChain_data()
    {
        QTest::addColumn<bool>("issue"); // 直拨车间 ticked before the key
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");  // after the key
        QTest::addColumn<QString>("picker"); // opened by the key and closed unchosen; "" none
        QTest::addColumn<bool>("issueAfter");
        const struct {
            bool issue;
            const char *field;
            int key;
            const char *focus, *picker;
            bool issueAfter;
        } rows[] = {
            {false, "Edit8", Qt::Key_Return, "EditStoreNo", "", false},
            {false, "Edit8", Qt::Key_Up, "Edit8", "", false},
            {false, "Edit8", Qt::Key_A, "Edit8", "", false},
            {false, "EditStoreNo", Qt::Key_Down, "ComboBox2", "", false},
            {false, "EditStoreNo", Qt::Key_Left, "Edit8", "", false},
            {false, "ComboBox2", Qt::Key_Right, "Edit1Date", "TfrmYuanGongMuLu 4", false},
            {false, "ComboBox2", Qt::Key_Up, "EditStoreNo", "", false},
            {false, "ComboBox2", Qt::Key_A, "ComboBox2", "", false},
            {false, "Edit1Date", Qt::Key_Return, "ComboBox1", "TfrmTime", false},
            {false, "Edit1Date", Qt::Key_Left, "ComboBox2", "", false},
            {false, "ComboBox1", Qt::Key_Down, "ComboBox4", "TfrmYuanGongMuLu 5", false},
            {false, "ComboBox1", Qt::Key_Left, "Edit1Date", "", false},
            {false, "ComboBox4", Qt::Key_Enter, "ComboBox3", "TfrmYuanGongMuLu 6", false},
            {false, "ComboBox4", Qt::Key_Up, "ComboBox1", "", false},
            {false, "ComboBox3", Qt::Key_Right, "ComboBox6", "TfrmChooseGYS 2", false},
            {false, "ComboBox3", Qt::Key_Left, "ComboBox4", "", false},
            {false, "ComboBox6", Qt::Key_Return, "ComboBox7", "TfrmYuanGongMuLu 7", false},
            {false, "ComboBox6", Qt::Key_Up, "ComboBox3", "", false},
            {false, "ComboBox7", Qt::Key_Down, "EditMemo", "TfrmYuanGongMuLu 8", false},
            {false, "ComboBox7", Qt::Key_Left, "ComboBox6", "", false},
            {false, "EditMemo", Qt::Key_Return, "StringGrid1", "TfrmSelectFit 3", false},
            {false, "EditMemo", Qt::Key_Up, "ComboBox7", "", false},
            {false, "StringGrid1", Qt::Key_Right, "StringGrid1", "TfrmSelectFit 3", false},
            {false, "StringGrid1", Qt::Key_Left, "EditMemo", "", false},
            {false, "Edit3", Qt::Key_Down, "Edit1", "", false},
            {false, "Edit3", Qt::Key_Up, "StringGrid1", "", false},
            {false, "Edit1", Qt::Key_Return, "Edit2", "", false},
            {false, "Edit1", Qt::Key_Left, "Edit3", "", false},
            {false, "Edit2", Qt::Key_Right, "Edit9", "", false},
            {false, "Edit2", Qt::Key_Up, "Edit1", "", false},
            {false, "Edit9", Qt::Key_Down, "CheckBox1", "", false},
            {false, "Edit9", Qt::Key_Left, "Edit2", "", false},
            {false, "CheckBox1", Qt::Key_Right, "CheckBox2", "", false},
            {false, "CheckBox1", Qt::Key_Return, "CheckBox1", "", true},
            {false, "CheckBox1", Qt::Key_Up, "Edit9", "", false},
            {true, "CheckBox1", Qt::Key_Return, "Edit4", "", true},
            {true, "CheckBox1", Qt::Key_Down, "Edit4", "", true},
            {true, "Edit4", Qt::Key_Right, "Edit6", "TfrmDuty 1", true},
            {true, "Edit4", Qt::Key_Left, "CheckBox1", "", true},
            {true, "Edit6", Qt::Key_Return, "ComboBox8", "", true},
            {true, "Edit6", Qt::Key_Up, "Edit4", "", true},
            {true, "ComboBox8", Qt::Key_Down, "ComboBox9", "TfrmYuanGongMuLu 13", true},
            {true, "ComboBox8", Qt::Key_Left, "Edit6", "", true},
            {true, "ComboBox9", Qt::Key_Enter, "CheckBox2", "TfrmYuanGongMuLu 14", true},
            {true, "ComboBox9", Qt::Key_Up, "ComboBox8", "", true},
            {true, "CheckBox2", Qt::Key_Left, "ComboBox9", "", true},
            {false, "CheckBox2", Qt::Key_Up, "CheckBox1", "", false},
        };
        for (const auto &r : rows)
            QTest::addRow("%s%s %s", r.issue ? "issue: " : "", r.field,
                          QKeySequence(r.key).toString().toLatin1().constData())
                << r.issue << QString(r.field) << r.key << QString(r.focus) << QString(r.picker) << r.issueAfter;
    }
    void keyChain()
    {
        QFETCH(bool, issue);
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(QString, picker);
        QFETCH(bool, issueAfter);
        // The keys write nothing: one database serves every row.
        if (!m_keysDb)
            m_keysDb = std::make_unique<TestDb>();
        ScriptedPrompt p;
        Receipt r;
        if (issue)
            box(&r.w, "CheckBox1")->click();
        QString opened;
        if (!picker.isEmpty())
            p.expectModal([&](QDialog *d) {
                opened = pickerOpened(d);
                return int(QDialog::Rejected);
            });
        QWidget *f = r.w.findChild<QWidget *>(field);
        QVERIFY(f);
        f->setFocus();
        QCOMPARE(focusName(&r.w), field);
        QTest::keyClick(f, Qt::Key(key));
        QVERIFY(p.verifyDone());
        QCOMPARE(opened, picker);
        QCOMPARE(focusName(&r.w), focus);
        QCOMPARE(box(&r.w, "CheckBox1")->isChecked(), issueAfter);
        QCOMPARE(!edit(&r.w, "Edit4")->isHidden(), issueAfter);
    }
    void cleanupTestCase() { m_keysDb.reset(); }

private:
    std::unique_ptr<TestDb> m_keysDb;
};

ORV_DB_TEST_MAIN(TestPuStore)
#include "tst_db_pustore.moc"
