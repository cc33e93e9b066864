// The purchase return windows: 采购退货 (the save's check order with nothing written on a refusal,
// the rows of a save, the window's own supplier code, the import of a receipt twice, the amounts,
// the prints), 进货退货审核 (the pending list and its search, line changes with the totals, the
// approval with what it prints and refuses, another client's approval, the cancellation, the
// print) and the batch picker (the pick list in memory, a part picked twice handed twice).
#include "auditlines.h"
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "app/windowing.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "documents/frmselectpuch.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/goodslineview.h"
#include "goods/listmodel.h"
#include "partners/staffcombo.h"
#include "purchasing/frmcaigoutui.h"
#include "purchasing/frmjintuiaud.h"
#include "purchasing/frmpiliangchoose.h"
#include "purchasing/purchasingmenu.h"
#include "purchasing/receiptposting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

void pick(TfrmCaiGouTui &w, ScriptedPrompt &p, const Line &l)
{
    stage(l);
    p.expectModal(closeEditor);
    QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
}

// The return window filled as an operator would: two lines, the staff, the supplier picked.
void fillReturn(TfrmCaiGouTui &w, ScriptedPrompt &p)
{
    pick(w, p, kA);
    pick(w, p, kB);
    staff(&w, "ComboBox2")->setText("001.张三");
    staff(&w, "ComboBox1")->setText("004.赵六");
    staff(&w, "ComboBox6")->setText("002.李四");
    staff(&w, "ComboBox7")->setText("003.王五");
    edit(&w, "EditMemo")->setText("退回次品");
    G.gCustom.UnitNo = "DW1";
    QVERIFY(w.setField(FieldRole::Supplier, QString(), "DW1.华东五金"));
}

// A receipt into store of lines A and B from DW1.华东五金.
QString addReceipt(TestDb &t)
{
    GoodsLineGrid grid;
    G.gRepFit.TargetRow = 0;
    fill(grid, {kA, kB});
    ReceiptPosting posting(t.conn());
    ReceiptHeader h;
    h.number = "CGJH-260307-001";
    h.date = "2026-03-06";
    h.supplier = "DW1.华东五金";
    h.supplierCode = "DW1";
    const auto r = posting.post(h, {}, savedLines(grid));
    G.gRepFit.TargetRow = 0;
    return r.receiptID;
}

// A saved return through the entry window's own save.
QString saveReturn(TestDb &t, const QList<Line> &lines, const QString &supplier = "DW1.华东五金")
{
    GoodsLineGrid grid;
    G.gRepFit.TargetRow = 0;
    fill(grid, lines);
    ReturnHeader h;
    h.date = "2026-03-07";
    h.clerk = "001.张三";
    h.supplier = supplier;
    h.supplierCode = "DW1";
    h.memo = "退回";
    double total = 0;
    for (const SavedLine &l : savedLines(grid))
        total += l.amount;
    h.receivable = h.received = total;
    PurchaseReturns returns(t.conn());
    const auto saved = returns.save(h, savedLines(grid));
    G.gRepFit.TargetRow = 0;
    return saved.id;
}

double stockOf(TestDb &t, const QString &no)
{
    return t.scalar("select 库存 from 货品目录 where 编号 = ?", {no}).toDouble();
}

} // namespace

class TestReturnWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        startEngine();
    }
    void init() { resetProgramState(); }
    void cleanup()
    {
        delete frmMdf.data();
        delete frmSelectFit.data();
        delete frmSelectPuch.data();
        Clock::pin(QDateTime());
    }

    void menuEntries()
    {
        registerPurchasingWindows();
        QVERIFY(menuHandler("WindowMinimizeItem"));
        QVERIFY(menuHandler("N48"));
        TestDb t;
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            MCOMPARE(d->objectName(), QString("frmCaiGouTui"));
            MCOMPARE(d->windowTitle(), QString("采购退货"));
            MCOMPARE(d->findChild<QLineEdit *>("EditNo")->text(), QString("CGTH-260307-001"));
            MCOMPARE(d->findChild<QLineEdit *>("EditDate")->text(), QString("2026-03-07"));
            MVERIFY(!d->findChild<QCheckBox *>("CheckBox1")->isVisible());
            MVERIFY(d->findChild<QCheckBox *>("CheckBox1")->isChecked());
            return int(QDialog::Rejected);
        });
        menuHandler("WindowMinimizeItem")();
        QVERIFY(p.verifyDone());
        QVERIFY(!frmCaiGouTui);
        menuHandler("N48")();
        QVERIFY(frmJinTuiAud);
        QCOMPARE(frmJinTuiAud->windowTitle(), QString("进货退货审核"));
        delete frmJinTuiAud.data();
    }

    void entryChecks_data()
    {
        QTest::addColumn<QString>("cell");     // "row,col=value" changed on the grid; "" none
        QTest::addColumn<QString>("fields");   // 供应商|合计应收|实际收款|挂账金额|日期; "-" keeps a field
        QTest::addColumn<bool>("printTicked");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("unticked");    // the print box unticked by the refusal
        QTest::newRow("编号") << "2,1=" << "-|-|-|-|-" << true << "第2行货品编号不能为空" << false;
        QTest::newRow("名称") << "2,2=" << "-|-|-|-|-" << true << "第2行货品名称不能为空" << false;
        QTest::newRow("数量") << "2,7=" << "-|-|-|-|-" << true << "第2行货品数量不能为空" << false;
        QTest::newRow("单价") << "2,8=" << "-|-|-|-|-" << true << "第2行货品单价不能为空" << false;
        QTest::newRow("金额") << "2,9=" << "-|-|-|-|-" << true << "第2行货品金额不能为空" << false;
        QTest::newRow("a line before the supplier") << "1,7=" << "|-|-|-|-" << true << "第1行货品数量不能为空" << false;
        QTest::newRow("no supplier, print ticked") << "" << "|-|-|-|-" << true << "供应商不能为空!" << true;
        QTest::newRow("no supplier") << "" << "|-|-|-|-" << false << "采购商不能为空!" << false;
        QTest::newRow("合计应收") << "" << "-||-|-|-" << true << "合计收款金额不能为空" << true;
        QTest::newRow("实际收款") << "" << "-|-||-|-" << true << "实际应收金额不能为空" << true;
        QTest::newRow("a lone point in a line") << "2,8=." << "-|-|-|-|-" << true << "第2行单价必须是数字" << false;
        QTest::newRow("aux quantity") << "1,6=x" << "-|-|-|-|-" << true << "第1行辅助数量必须是数字" << false;
        QTest::newRow("a lone point received") << "" << "-|-|.|-|-" << true << "实际收款必须是数字" << false;
        QTest::newRow("a bad amount on account") << "" << "-|-|-|.|-" << true << "挂账金额必须是数字" << false;
        QTest::newRow("nothing on account") << "" << "-|-|-||-" << true << "挂账金额必须是数字" << false;
        QTest::newRow("date") << "" << "-|-|-|-|3月7日" << true << "制单日期不是有效的日期" << false;
    }
    void entryChecks()
    {
        QFETCH(QString, cell);
        QFETCH(QString, fields);
        QFETCH(bool, printTicked);
        QFETCH(QString, message);
        QFETCH(bool, unticked);
        TestDb t;
        ScriptedPrompt p;
        TfrmCaiGouTui w;
        w.show();
        fillReturn(w, p);
        if (!cell.isEmpty()) {
            const QString at = cell.section('=', 0, 0);
            w.goodsLines()->setCell(at.section(',', 0, 0).toInt(), at.section(',', 1).toInt(), cell.section('=', 1));
        }
        const QStringList f = fields.split('|');
        if (f[0] != "-")
            w.setField(FieldRole::Supplier, QString(), f[0]);
        const char *names[] = {"EditHe", "Edit3", "Edit4", "EditDate"};
        for (int i = 0; i < 4; ++i)
            if (f[i + 1] != "-")
                edit(&w, names[i])->setText(f[i + 1]);
        box(&w, "CheckBox2")->setChecked(printTicked);
        p.expectMessage(message);
        w.SpeedButton9Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(box(&w, "CheckBox2")->isChecked(), printTicked && !unticked);
        QCOMPARE(count(t, "采购退货单"), 0);
        QCOMPARE(count(t, "采购退货明细"), 0);
        QCOMPARE(w.goodsLines()->gridRowCount(), 4);
        QVERIFY(!w.lastPrint().printed);
    }

    void emptyGrid()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmCaiGouTui w;
        w.show();
        p.expectMessage("请输入货品");
        w.SpeedButton9Click();
        // The print box was unticked by the first refusal: the second names the other text.
        box(&w, "CheckBox2")->setChecked(true);
        pick(w, p, kA);
        p.expectMessage("供应商不能为空!");
        w.SpeedButton9Click();
        p.expectMessage("采购商不能为空!");
        w.SpeedButton9Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "采购退货单"), 0);
    }

    // The save: lines and header with the window's own supplier code, no stock, the print of the
    // stored lines, then the window ready for the next return.
    void saveAndPrint()
    {
        TestDb t;
        const qint64 goods = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 10}});
        ScriptedPrompt p;
        TfrmCaiGouTui w;
        w.show();
        fillReturn(w, p);
        QCOMPARE(edit(&w, "EditHe")->text(), QString("16"));
        QCOMPARE(edit(&w, "Edit3")->text(), QString("16"));
        // Typing what the supplier paid back puts the rest on account.
        QLineEdit *received = edit(&w, "Edit3");
        received->selectAll();
        QTest::keyClicks(received, "10");
        QCOMPARE(edit(&w, "Edit4")->text(), QString("6"));
        // Another window's supplier pick leaves its code in the shared record: not this return's.
        G.gCustom.UnitNo = "DW99";
        box(&w, "CheckBox2")->setChecked(true);
        p.expectMessage("采购退货单保存成功");
        w.SpeedButton9Click();
        QVERIFY(p.verifyDone());

        DataSet h(&t.conn());
        h.setSql("select 单据编号,日期,经办人,供应商,合计应收,当前状态,单据类别,供应商编号,发货员,复核员,送货员,实际收款,"
                 "挂账金额,备注,ID from 采购退货单");
        h.open();
        QCOMPARE(h.recordCount(), 1);
        QStringList header;
        for (int i = 0; i < h.fieldCount() - 1; ++i)
            header << h.fields(i).asString();
        QCOMPARE(header, (QStringList{"CGTH-260307-001", "2026-03-07", "001.张三", "DW1.华东五金", "16", "待审核",
                                      "采购退货", "DW1", "002.李四", "003.王五", "004.赵六", "10", "6", "退回次品"}));
        QCOMPARE(h.fieldByName("ID").asString(), w.recordID());
        QCOMPARE(t.scalar("select count(*) from 采购退货明细 where ID = ? and 供应商 = 'DW1.华东五金'", {w.recordID()}).toInt(), 2);
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {goods}).toDouble(), 10.0);
        QCOMPARE(count(t, "出入库单"), 0);

        // The stored lines printed: 单位 in the unit slot.
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "1", "2", "个", "3", "6"}));
        TfrReport &rep = w.report();
        QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司进货退货单"});
        QCOMPARE(printed(rep, "Memo2"), QStringList{"退回单位:"});
        QCOMPARE(printed(rep, "Memo9"), QStringList{"CGTH-260307-001"});
        QCOMPARE(printed(rep, "Memo3"), QStringList{"DW1.华东五金"});
        QCOMPARE(printed(rep, "Memo7"), QStringList{"退回次品"});
        QCOMPARE(printed(rep, "Memo6"), QStringList{"实收款:"});
        QCOMPARE(printed(rep, "Memo8"), QStringList{"10"});
        QCOMPARE(printed(rep, "Memo11"), QStringList{"6"});
        QCOMPARE(printed(rep, "Memo28"), QStringList{"负责人:001.张三"});
        QCOMPARE(printed(rep, "Memo29"), QStringList{"发货员:002.李四"});
        QCOMPARE(printed(rep, "Memo30"), QStringList{"复核员:003.王五"});
        QCOMPARE(printed(rep, "Memo31"), QStringList{"送货员:004.赵六"});
        QCOMPARE(printed(rep, "Memo26"), QStringList{"6"});
        QCOMPARE(printed(rep, "Memo25"), QStringList{"3"});
        QCOMPARE(printed(rep, "Memo27"), QStringList{"16"});
        QCOMPARE(printed(rep, "Memo4"), QStringList{"本单据由系统打印"});

        // Ready for the next return: a new number, the date kept, the rest emptied.
        QCOMPARE(edit(&w, "EditNo")->text(), QString("CGTH-260307-002"));
        QCOMPARE(edit(&w, "EditDate")->text(), QString("2026-03-07"));
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        for (const char *emptied : {"ComboBox2", "ComboBox1", "ComboBox6", "ComboBox7"})
            QCOMPARE(staff(&w, emptied)->text(), QString());
        QCOMPARE(supplierText(&w), QString());
        QCOMPARE(w.supplierCode(), QString());
        for (const char *zero : {"EditHe", "Edit3", "Edit4"})
            QCOMPARE(edit(&w, zero)->text(), QString("0"));
        QVERIFY(!box(&w, "CheckBox2")->isChecked());
        QCOMPARE(G.gRepFit.TargetRow, 0);
    }

    // 打印(&P) prints the grid as it stands, 辅助单位 in the unit slot, signature mode the captions
    // alone; 清空 keeps the number, the date and three staff fields.
    void printGridAndClear()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmCaiGouTui w;
        w.show();
        fillReturn(w, p);
        G.gPrintSignature = 1;
        w.SpeedButton13Click();
        QCOMPARE(w.lastPrint().dataBands, (QList<QStringList>{{"甲", "规格", "1", "2", "箱", "3", "6"},
                                                              {"乙", "规格", "2", "4", "箱", "2.5", "10"}}));
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"负责人:"});
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"CGTH-260307-001"});
        QCOMPARE(count(t, "采购退货单"), 0);
        box(&w, "CheckBox2")->setChecked(true);
        w.SpeedButton12Click();
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(edit(&w, "EditNo")->text(), QString("CGTH-260307-001"));
        QCOMPARE(edit(&w, "EditDate")->text(), QString("2026-03-07"));
        QCOMPARE(staff(&w, "ComboBox2")->text(), QString());
        QCOMPARE(staff(&w, "ComboBox1")->text(), QString("004.赵六"));
        QCOMPARE(staff(&w, "ComboBox6")->text(), QString("002.李四"));
        QCOMPARE(staff(&w, "ComboBox7")->text(), QString("003.王五"));
        QCOMPARE(supplierText(&w), QString());
        QCOMPARE(w.supplierCode(), QString());
        QCOMPARE(edit(&w, "EditHe")->text(), QString("0"));
        QVERIFY(!box(&w, "CheckBox2")->isChecked());
    }

    // A receipt's lines land below the lines there, every time; the supplier and its code come
    // from the receipt; deleting a line takes it off the totals.
    void importReceiptTwice()
    {
        TestDb t;
        addSupplier(t, "DW1", "华东五金");
        const QString receipt = addReceipt(t);
        ScriptedPrompt p;
        TfrmCaiGouTui w;
        w.show();
        pick(w, p, {"C", "丙", "一号库", "1", "5"});
        for (int i = 0; i < 2; ++i) {
            p.expectModal([receipt](QDialog *d) {
                auto *picker = qobject_cast<TfrmSelectPuch *>(d);
                MVERIFY(picker);
                MCOMPARE(picker->mode(), 2);
                MCOMPARE(picker->windowTitle(), QString("选择采购单"));
                MCOMPARE(picker->findChild<QLabel *>("Label1")->text(), QString("双击选择采购单"));
                picker->DBGrid1CellClick(picker->billModel()->findRow("ID", receipt));
                picker->DBGrid1DblClick();
                return picker->result();
            });
            w.SpeedButton4Click();
        }
        const GoodsLineGrid &g = *w.goodsLines();
        QStringList codes;
        for (int row = 1; row < g.gridRowCount() - 1; ++row)
            codes << g.cell(row, 1);
        QCOMPARE(codes, (QStringList{"C", "A", "B", "A", "B"}));
        QCOMPARE(supplierText(&w), QString("DW1.华东五金"));
        QCOMPARE(w.supplierCode(), QString("DW1"));
        QCOMPARE(edit(&w, "EditHe")->text(), QString("37"));
        w.grid()->setCurrentGridRow(2);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton8Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(edit(&w, "EditHe")->text(), QString("31"));
        QCOMPARE(edit(&w, "Edit3")->text(), QString("31"));
        QCOMPARE(edit(&w, "Edit4")->text(), QString("0"));
    }

    // The audit opens on every pending return, newest first; the search takes the date range and
    // the chosen field on every keystroke.
    void auditListAndSearch()
    {
        TestDb t;
        const QString older = saveReturn(t, {kA}, "DW1.华东五金");
        t.exec("update 采购退货单 set 日期 = '2026-02-20' where ID = ?", {older});
        const QString newer = saveReturn(t, {kA, kB}, "DW2.乙厂");
        const QString approved = saveReturn(t, {kB});
        t.exec("update 采购退货单 set 当前状态 = '已审核' where ID = ?", {approved});
        ScriptedPrompt p;
        TfrmJinTuiAud w;
        w.show();
        QCOMPARE(w.returnModel()->dataRowCount(), 2);
        QCOMPARE(w.currentReturnID(), newer);
        QCOMPARE(G.gDocID, newer);
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        QCOMPARE(edit(&w, "Edit5")->text(), QString("16"));
        QCOMPARE(w.findChild<QDateEdit *>("DateTimePicker1")->date(), QDate(2026, 3, 1));
        QVERIFY(w.returnGrid()->isColumnHidden(w.returnModel()->fieldIndex("ID")));
        QVERIFY(w.lineGrid()->isColumnHidden(w.lineModel()->fieldIndex("流水号")));
        // Searching keeps to the range: the February return is not listed.
        w.findChild<QComboBox *>("ComboBox1")->setCurrentIndex(2);
        edit(&w, "Edit1")->setText("DW");
        QCOMPARE(w.returnModel()->dataRowCount(), 1);
        edit(&w, "Edit1")->setText("DW1");
        QCOMPARE(w.returnModel()->dataRowCount(), 0);
        QCOMPARE(w.currentReturnID(), QString());
        QCOMPARE(G.gDocID, QString());
        QCOMPARE(w.lineModel()->dataRowCount(), 0);
        QCOMPARE(edit(&w, "Edit5")->text(), QString());
        w.findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2026, 2, 1));
        w.search();
        QCOMPARE(w.currentReturnID(), older);
        QVERIFY(p.verifyDone());
    }

    // 新建, 修改 and 删除 of a line: the return's totals follow, the boxes keep what they show.
    void auditLineChanges()
    {
        TestDb t;
        const qint64 goods = addGoods(t, {{"编号", "HP9"}, {"名称", "扳手"}, {"仓位", "一号库"}, {"进货价", 8},
                                          {"换算比率", 1}});
        const QString id = saveReturn(t, {kA});
        ScriptedPrompt p;
        TfrmJinTuiAud w;
        w.show();
        edit(&w, "Edit3")->setText("1");
        auto total = [&] { return t.scalar("select 合计应收 from 采购退货单 where ID = ?", {id}).toDouble(); };
        expectAuditPick(p, goods, 3);
        expectEditedQty(p, "3");
        w.SpeedButton6Click();
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        QCOMPARE(total(), 30.0);
        QCOMPARE(t.scalar("select 实际收款 from 采购退货单 where ID = ?", {id}).toDouble(), 30.0);
        QCOMPARE(edit(&w, "Edit3")->text(), QString("1"));
        w.lineGrid()->setCurrentIndex(w.lineModel()->index(0, w.lineModel()->fieldIndex("编号")));
        p.expectMessage("删除后将不能恢复你确定要继续吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton8Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(w.lineModel()->dataRowCount(), 1);
        QCOMPARE(total(), 24.0);
        QCOMPARE(w.currentReturnID(), id);
    }

    // 通过: the goods leave stock, the boxes' amounts and the auditor go into the return, the list
    // moves on; a shortage or a bad amount writes nothing.
    void auditApproval()
    {
        TestDb t;
        addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 10}, {"助记码", "J"}});
        addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"库存", 3}});
        const QString first = saveReturn(t, {kA});
        const QString second = saveReturn(t, {kA, kB});
        ScriptedPrompt p;
        TfrmJinTuiAud w;
        w.show();
        QCOMPARE(w.currentReturnID(), second);
        // B is short: nothing written, the return stays current.
        p.expectMessage("货品编号:B名称:乙库存不足,操作被取消");
        w.SpeedButton5Click();
        QCOMPARE(count(t, "出入库单"), 0);
        QCOMPARE(w.currentReturnID(), second);
        w.DBGridsalequoteCellClick(w.returnModel()->findRow("ID", first));
        QCOMPARE(w.currentReturnID(), first);
        // A lone point: refused before anything is written.
        edit(&w, "Edit4")->setText(".");
        p.expectMessage("挂账金额必须是数字");
        w.SpeedButton5Click();
        QCOMPARE(count(t, "出入库单"), 0);
        QLineEdit *received = edit(&w, "Edit3");
        received->selectAll();
        QTest::keyClick(received, Qt::Key_Backspace);
        QCOMPARE(received->text(), QString("0"));
        QCOMPARE(edit(&w, "Edit4")->text(), QString("6"));
        QTest::keyClicks(received, "4");
        QCOMPARE(edit(&w, "Edit4")->text(), QString("2"));
        QVERIFY(w.setField(FieldRole::Staff, "审核人", "009.审核员"));
        w.findChild<QDateEdit *>("DateTimePicker3")->setDate(QDate(2026, 3, 8));
        p.expectMessage("采购退货审核成功货品成功出库");
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(stockOf(t, "A"), 8.0);
        QCOMPARE(t.scalar("select 当前状态 from 采购退货单 where ID = ?", {first}).toString(), QString("已审核"));
        QCOMPARE(t.scalar("select 审核人 from 采购退货单 where ID = ?", {first}).toString(), QString("009.审核员"));
        QCOMPARE(t.scalar("select 审核日期 from 采购退货单 where ID = ?", {first}).toString(), QString("2026-03-08"));
        QCOMPARE(t.scalar("select 实际收款 from 采购退货单 where ID = ?", {first}).toDouble(), 4.0);
        QCOMPARE(t.scalar("select 挂账金额 from 采购退货单 where ID = ?", {first}).toDouble(), 2.0);
        QCOMPARE(t.scalar("select 结存 from 采购退货明细 where ID = ?", {first}).toDouble(), 8.0);
        QCOMPARE(t.scalar("select 拼音码 from 采购退货明细 where ID = ?", {first}).toString(), QString("J"));
        QCOMPARE(t.scalar("select 制单日期 from 出入库单").toString(), QString("2026-03-08"));
        QCOMPARE(w.returnModel()->dataRowCount(), 1);
        QCOMPARE(w.currentReturnID(), second);
    }

    // Approved meanwhile by another client: nothing written, no message, the list follows; 取消
    // after "您确定要取消吗?".
    void auditElsewhereAndCancel()
    {
        TestDb t;
        addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"库存", 10}});
        const QString first = saveReturn(t, {kA});
        const QString second = saveReturn(t, {kA});
        ScriptedPrompt p;
        TfrmJinTuiAud w;
        w.show();
        QCOMPARE(w.currentReturnID(), second);
        auto client = t.secondClient();
        PurchaseReturns elsewhere(*client);
        QCOMPARE(int(elsewhere.approve(second, {"别人", "2026-03-07", 6, 0}).status), int(DocumentApproval::Status::Approved));
        w.SpeedButton5Click();
        QCOMPARE(count(t, "出入库单"), 1);
        QCOMPARE(stockOf(t, "A"), 8.0);
        QCOMPARE(w.currentReturnID(), first);
        p.expectMessage("您确定要取消吗?", QMessageBox::No, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(t.scalar("select 当前状态 from 采购退货单 where ID = ?", {first}).toString(), QString("待审核"));
        p.expectMessage("您确定要取消吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 当前状态 from 采购退货单 where ID = ?", {first}).toString(), QString("取消"));
        QCOMPARE(w.returnModel()->dataRowCount(), 0);
        QCOMPARE(w.currentReturnID(), QString());
        // With no return left, 通过 does nothing.
        w.SpeedButton5Click();
        QCOMPARE(count(t, "出入库单"), 1);
    }

    // 进货退货单: the stored return with full-width colons in the signatures; the list stays on it.
    void auditPrint()
    {
        TestDb t;
        const QString id = saveReturn(t, {kA, kB});
        t.exec("update 采购退货单 set 发货员 = '002.李四', 实际收款 = 10, 挂账金额 = 6 where ID = ?", {id});
        ScriptedPrompt p;
        TfrmJinTuiAud w;
        w.show();
        edit(&w, "Edit3")->setText("7");
        w.SpeedButton4Click();
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[1], (QStringList{"乙", "规格", "2", "4", "个", "2.5", "10"}));
        TfrReport &rep = w.report();
        QCOMPARE(printed(rep, "Memo1"), QStringList{"我的公司公司进货退货单"});
        QCOMPARE(printed(rep, "Memo2"), QStringList{"退回单位:"});
        QCOMPARE(printed(rep, "Memo9"), QStringList{"CGTH-260307-001"});
        QCOMPARE(printed(rep, "Memo5"), QStringList{"2026-03-07"});
        QCOMPARE(printed(rep, "Memo6"), QStringList{"实收款:"});
        QCOMPARE(printed(rep, "Memo8"), QStringList{"10"});
        QCOMPARE(printed(rep, "Memo11"), QStringList{"6"});
        QCOMPARE(printed(rep, "Memo28"), QStringList{"负责人：001.张三"});
        QCOMPARE(printed(rep, "Memo29"), QStringList{"发货员：002.李四"});
        QCOMPARE(printed(rep, "Memo30"), QStringList{"复核员："});
        QCOMPARE(printed(rep, "Memo26"), QStringList{"6"});
        QCOMPARE(printed(rep, "Memo25"), QStringList{"3"});
        QCOMPARE(printed(rep, "Memo27"), QStringList{"16"});
        QCOMPARE(printed(rep, "Memo4"), QStringList{"本单据由系统打印"});
        QCOMPARE(w.currentReturnID(), id);
        QCOMPARE(edit(&w, "Edit3")->text(), QString("7"));
        QVERIFY(p.verifyDone());
    }

    // The batch picker: parts searched, picked into a list in memory (a part picked twice stands
    // twice and is handed over twice), one WM_FIT_BATCH each; the parts list is never written.
    void batchPicker()
    {
        TestDb t;
        t.exec("insert into 配件目录(编号,名称,规格,单位,所属车型,进货价,助记码) values('P1','刹车片','前','副','轿车',12.5,'SCP')");
        t.exec("insert into 配件目录(编号,名称,规格,单位,所属车型,进货价,助记码) values('P2','机油滤','小','个','货车',8,'JYL')");
        struct BatchReceiver : QWidget, MessageReceiver {
            QList<repairFit> handed;
            void onWindowMessage(int m) override
            {
                if (m == WM_FIT_BATCH)
                    handed << G.gRepFit;
            }
        } receiver;
        ScriptedPrompt p;
        TfrmPiLiangChoose w(&receiver);
        w.show();
        QCOMPARE(w.partModel()->dataRowCount(), 2);
        p.expectMessage("请选择货品！");
        w.SpeedButton1Click();
        QVERIFY(w.isVisible());
        w.findChild<QLineEdit *>("Edit1")->setText("scp");
        QCOMPARE(w.partModel()->dataRowCount(), 1);
        w.partGrid()->selectRow(0);
        w.pickCurrent();
        QTest::keyClick(w.partGrid(), Qt::Key_Space);
        w.findChild<QLineEdit *>("Edit1")->setText("");
        w.partGrid()->selectRow(1);
        QTest::keyClick(w.partGrid(), Qt::Key_Return);
        QCOMPARE(w.picked().size(), 3);
        w.dropPicked(2);
        QCOMPARE(w.picked().size(), 2);
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(p.verifyDone());
        QCOMPARE(receiver.handed.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const repairFit &f = receiver.handed[k];
            QCOMPARE(f.GoodsNo, QString("P1"));
            QCOMPARE(f.GoodsName, QString("刹车片"));
            QCOMPARE(f.Model, QString("轿车"));
            QCOMPARE(f.Qty, QString("1"));
            QCOMPARE(f.PurchasePrice, QString("12.5"));
            QCOMPARE(f.Amount, QString("12.5"));
            QCOMPARE(f.TargetRow, k + 1);
        }
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(count(t, "配件目录"), 2);
    }
};

ORV_DB_TEST_MAIN(TestReturnWindows)
#include "tst_db_returnwindows.moc"
