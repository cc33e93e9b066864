// 采购审核: the pending orders and the current one, header fields saved on leaving, lines added,
// edited and deleted through the picker and the editor with the total following, the pass into a
// purchase bill (also when another client passed first, and from two clients at once), the
// cancellation, the search and the prints.
#include "auditlines.h"
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "common/clock.h"
#include "data/dataset.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/listmodel.h"
#include "partners/staffcombo.h"
#include "purchasing/frmpuchaud.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

struct Order {
    QString number, id;
};

// A pending order as the order window saves it.
Order addOrder(TestDb &t, const QString &supplier, const QList<Line> &lines, const QString &memo = QString())
{
    GoodsLineGrid grid;
    G.gRepFit.TargetRow = 0;
    fill(grid, lines);
    OrderHeader h;
    h.date = "2026-03-01";
    h.manager = "张三";
    h.supplier = supplier;
    h.memo = memo;
    h.invoicer = "003.王五";
    h.applicant = "002.李四";
    PurchaseOrders orders(t.conn());
    const auto saved = orders.save(h, savedLines(grid));
    G.gRepFit.TargetRow = 0;
    return {saved.number, saved.id};
}

QString state(TestDb &t, const QString &id)
{
    return t.scalar("select 当前状态 from 采购订单 where ID = ?", {id}).toString();
}

} // namespace

class TestPuchAud : public QObject {
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
    }
    void cleanup()
    {
        delete frmMdf.data();
        delete frmSelectFit.data();
        Clock::pin(QDateTime());
    }

    void pendingOrders()
    {
        TestDb t;
        const Order one = addOrder(t, "DW1.甲厂", {kA, kB}, "第一张");
        const Order two = addOrder(t, "DW2.乙厂", {kB});
        t.exec("update 采购订单 set 当前状态 = '已审核' where ID = ?", {two.id});
        const Order three = addOrder(t, "DW3.丙厂", {kA});
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        QCOMPARE(w.orderModel()->dataRowCount(), 2);
        QCOMPARE(w.currentOrderID(), one.id);
        QCOMPARE(G.gPuchDocID, one.id);
        QCOMPARE(edit(&w, "EditGongMan")->text(), QString("DW1.甲厂"));
        QCOMPARE(edit(&w, "EditDate")->text(), QString("2026-03-01"));
        QCOMPARE(edit(&w, "EditMemo")->text(), QString("第一张"));
        QCOMPARE(w.findChild<QComboBox *>("ComboBoxman")->currentText(), QString("张三"));
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        QVERIFY(w.lineGrid()->isColumnHidden(w.lineModel()->fieldIndex("流水号")));
        w.DBGrid1CellClick(1);
        QCOMPARE(w.currentOrderID(), three.id);
        QCOMPARE(w.lineModel()->dataRowCount(), 1);
        QVERIFY(p.verifyDone());
    }

    void search_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("found");
        QTest::newRow("by number") << 1 << "-002" << 1;
        QTest::newRow("by supplier, any letter case") << 2 << "dw2" << 1;
        QTest::newRow("by manager") << 3 << "张" << 2;
        QTest::newRow("show all ignores the text") << 0 << "nothing" << 2;
        QTest::newRow("nothing found") << 2 << "'; drop table 采购订单; --" << 0;
    }
    void search()
    {
        QFETCH(int, item);
        QFETCH(QString, text);
        QFETCH(int, found);
        TestDb t;
        addOrder(t, "DW1.甲厂", {kA});
        addOrder(t, "DW2.乙厂", {kB});
        TfrmPuchAud w;
        w.show();
        w.findChild<QComboBox *>("ComboBoxQuery")->setCurrentIndex(item);
        edit(&w, "EditContent")->setText(text);
        QCOMPARE(w.orderModel()->dataRowCount(), found);
        QCOMPARE(w.currentOrderID().isEmpty(), found == 0);
        if (found == 0)
            QCOMPARE(w.lineModel()->dataRowCount(), 0);
    }

    // Leaving a field writes that column at once; a picked supplier only when the field is left.
    void headerFields()
    {
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA});
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        QVERIFY(w.setField(FieldRole::Supplier, QString(), "DW7.新厂"));
        QCOMPARE(t.scalar("select 供应商 from 采购订单").toString(), QString("DW1.甲厂"));
        w.fieldLeft(TfrmPuchAud::HeaderField::Supplier);
        QCOMPARE(t.scalar("select 供应商 from 采购订单").toString(), QString("DW7.新厂"));
        edit(&w, "EditMemo")->setText("改过");
        w.fieldLeft(TfrmPuchAud::HeaderField::Memo);
        w.findChild<StaffCombo *>("ComboBoxman")->setText("李四");
        w.fieldLeft(TfrmPuchAud::HeaderField::Manager);
        G.gDateAndTime.Date = "2026-03-09";
        QVERIFY(SendMessage(&w, WM_DATE_CHOSEN));
        QCOMPARE(edit(&w, "EditDate")->text(), QString("2026-03-09"));
        w.fieldLeft(TfrmPuchAud::HeaderField::Date);
        DataSet q(&t.conn());
        q.setSql("select 供应商, 备注, 负责人, 日期 from 采购订单 where ID = ?");
        q.addBindValue(o.id);
        q.open();
        QCOMPARE(q.fields(1).asString(), QString("改过"));
        QCOMPARE(q.fields(2).asString(), QString("李四"));
        QCOMPARE(q.fields(3).asString(), QString("2026-03-09"));
        // A date that is no date is refused and not stored.
        edit(&w, "EditDate")->setText("下周");
        p.expectMessage("日期不是有效的日期");
        w.fieldLeft(TfrmPuchAud::HeaderField::Date);
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 日期 from 采购订单").toString(), QString("2026-03-09"));
    }

    // 新建 through the picker and editor, 修改 in the editor, 删除: the total follows each time.
    void lineChanges()
    {
        TestDb t;
        const qint64 goods = addGoods(t, {{"编号", "HP9"}, {"名称", "扳手"}, {"仓位", "一号库"}, {"进货价", 8},
                                          {"换算比率", 1}});
        addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"进货价", 3}, {"换算比率", 1}});
        const Order o = addOrder(t, "DW1.甲厂", {kA});
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        auto total = [&] { return t.scalar("select 金额合计 from 采购订单 where ID = ?", {o.id}).toDouble(); };
        QCOMPARE(total(), 6.0);
        expectAuditPick(p, goods);
        expectEditedQty(p, "3");
        w.SpeedButtonnewClick();
        QCOMPARE(w.lineModel()->dataRowCount(), 2);
        QCOMPARE(total(), 30.0);
        QCOMPARE(t.scalar("select ID from 采购订单明细 where 编号 = 'HP9'").toString(), o.id);

        // 修改 the first line: the list stays on that line.
        w.lineGrid()->setCurrentIndex(w.lineModel()->index(0, w.lineModel()->fieldIndex("编号")));
        expectEditedQty(p, "10");
        w.SpeedButtonMdfClick();
        QCOMPARE(total(), 54.0);
        QCOMPARE(w.lineGrid()->currentIndex().row(), 0);

        for (int i = 0; i < 2; ++i) {
            w.lineGrid()->setCurrentIndex(w.lineModel()->index(0, w.lineModel()->fieldIndex("编号")));
            p.expectMessage("删除后将不能恢复你确定要继续吗?", QMessageBox::Yes, "系统提示");
            w.SpeedButtonDelClick();
        }
        QVERIFY(p.verifyDone());
        QCOMPARE(w.lineModel()->dataRowCount(), 0);
        QCOMPARE(total(), 0.0);
    }

    // A line's delete and the order's total go together: refused, both stay; else both change.
    void deleteLineWithTotal()
    {
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA, {"B", "乙", "一号库", "1", "4"}});
        auto lines = [&] { return t.scalar("select count(*) from 采购订单明细 where ID = ?", {o.id}).toInt(); };
        auto total = [&] { return t.scalar("select 金额合计 from 采购订单 where ID = ?", {o.id}).toDouble(); };
        const qint64 first = t.scalar("select min(流水号) from 采购订单明细 where ID = ?", {o.id}).toLongLong();
        const double whole = total();
        if (t.isPostgres()) {
            t.conn().exec("create function refuse_total() returns trigger as $$ begin raise exception 'refused'; "
                          "end $$ language plpgsql");
            t.conn().exec("create trigger refuse_total before update on 采购订单 for each row "
                          "execute function refuse_total()");
        } else {
            t.conn().exec("create trigger refuse_total before update on 采购订单 "
                          "begin select raise(abort, 'refused'); end");
        }
        PurchaseOrders orders(t.conn());
        QVERIFY_THROWS_EXCEPTION(DbError, orders.deleteLine(o.id, first));
        QVERIFY(!t.conn().inTransaction());
        QCOMPARE(lines(), 2);
        QCOMPARE(total(), whole);

        t.conn().exec("drop trigger refuse_total" + QString(t.isPostgres() ? " on 采购订单" : ""));
        orders.deleteLine(o.id, first);
        QCOMPARE(lines(), 1);
        QCOMPARE(total(), 4.0);
        // A line of another order is not this order's to delete.
        const Order other = addOrder(t, "DW2.乙厂", {kA});
        const qint64 foreign = t.scalar("select 流水号 from 采购订单明细 where ID = ?", {other.id}).toLongLong();
        orders.deleteLine(o.id, foreign);
        QCOMPARE(t.scalar("select count(*) from 采购订单明细 where ID = ?", {other.id}).toInt(), 1);
        QCOMPARE(total(), 4.0);
    }

    void pass_data()
    {
        QTest::addColumn<bool>("printTicked");
        QTest::newRow("without print") << false;
        QTest::newRow("printed") << true;
    }
    void pass()
    {
        QFETCH(bool, printTicked);
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA, kB}, "第一张");
        const Order other = addOrder(t, "DW2.乙厂", {kB});
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        // What the window shows goes into the bill, stored or not.
        edit(&w, "EditGongMan")->setText("DW5.改后");
        w.findChild<StaffCombo *>("ComboBox1")->setText("赵审核");
        w.findChild<QCheckBox *>("CheckBox1")->setChecked(printTicked);
        p.expectMessage("审核完毕,采购单通过");
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());

        QCOMPARE(state(t, o.id), QString("已审核"));
        QCOMPARE(t.scalar("select 审核人 from 采购订单 where ID = ?", {o.id}).toString(), QString("赵审核"));
        QCOMPARE(t.scalar("select 审核日期 from 采购订单 where ID = ?", {o.id}).toString(), today());
        QCOMPARE(t.scalar("select 供应商 from 采购订单 where ID = ?", {o.id}).toString(), QString("DW1.甲厂"));
        DataSet b(&t.conn());
        b.setSql("select 单据编号,日期,负责人,供应商,金额合计,ID,备注,当前状态,开票员,申请人 from 采购单");
        b.open();
        QCOMPARE(b.recordCount(), 1);
        QStringList bill;
        for (int i = 0; i < b.fieldCount(); ++i)
            bill << b.fields(i).asString();
        QCOMPARE(bill, (QStringList{"CG-260307-001", today(), "张三", "DW5.改后", "16", o.id, "第一张", "已审核", "003.王五",
                                    "002.李四"}));
        QCOMPARE(t.scalar("select count(*) from 采购明细 where ID = ?", {o.id}).toInt(), 2);
        QCOMPARE(t.scalar("select count(*) from 采购明细 a join 采购订单明细 b on a.ID = b.ID and a.编号 = b.编号 and "
                          "a.数量 = b.数量 and a.金额 = b.金额 and a.供应商 = b.供应商 and a.换算比率 = b.换算比率")
                     .toInt(),
                 2);
        // The other order is current now.
        QCOMPARE(w.orderModel()->dataRowCount(), 1);
        QCOMPARE(w.currentOrderID(), other.id);

        QCOMPARE(w.lastPrint().printed, printTicked);
        if (printTicked) {
            QCOMPARE(w.lastPrint().dataBands.size(), 2);
            QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司采购单"});
            QCOMPARE(printed(w.report(), "Memo9"), QStringList{"CG-260307-001"});
            QCOMPARE(printed(w.report(), "Memo3"), QStringList{"DW5.改后"});
            QCOMPARE(printed(w.report(), "Memo26"), QStringList{"6"});
            QCOMPARE(printed(w.report(), "Memo30"), QStringList{"申请人:002.李四"});
        }
    }

    // Passed meanwhile by another client: the list follows, nothing is written, no message.
    void passedElsewhere()
    {
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA});
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        auto second = t.secondClient();
        PurchaseOrders elsewhere(*second);
        QVERIFY(elsewhere.pass(o.id, {QString(), "别人", "张三", "DW1.甲厂", "", today()}));
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 采购单").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 采购明细").toInt(), 1);
        QCOMPARE(t.scalar("select 审核人 from 采购订单").toString(), QString("别人"));
        QCOMPARE(w.orderModel()->dataRowCount(), 0);
        QVERIFY(w.currentOrderID().isEmpty());
        // Nor is a passed order cancelled.
        QVERIFY(!elsewhere.cancel(t.scalar("select 流水号 from 采购订单").toLongLong()));
        QCOMPARE(state(t, o.id), QString("已审核"));
    }

    void passFromTwoClientsAtOnce()
    {
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA, kB});
        QStringList numbers[2];
        const QString failure = runClients(t, 2, [&](int n, Connection &conn) {
            PurchaseOrders orders(conn);
            if (const auto no = orders.pass(o.id, {QString(), QString("审核%1").arg(n), "张三", "DW1.甲厂", "", today()}))
                numbers[n] << *no;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(numbers[0].size() + numbers[1].size(), 1);
        QCOMPARE(t.scalar("select count(*) from 采购单").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 采购明细").toInt(), 2);
        QCOMPARE(state(t, o.id), QString("已审核"));
    }

    void cancel()
    {
        TestDb t;
        const Order o = addOrder(t, "DW1.甲厂", {kA}, "备注一");
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        p.expectMessage("您确定要取消吗?", QMessageBox::No, "系统提示");
        w.SpeedButton6Click();
        QCOMPARE(state(t, o.id), QString("待审核"));
        p.expectMessage("您确定要取消吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton6Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(state(t, o.id), QString("取消"));
        QCOMPARE(w.orderModel()->dataRowCount(), 0);
        QCOMPARE(w.lineModel()->dataRowCount(), 0);
        // After cancelling the last order its fields stay; a pass finds nothing to pass.
        QCOMPARE(edit(&w, "EditMemo")->text(), QString("备注一"));
        w.SpeedButton5Click();
        QCOMPARE(t.scalar("select count(*) from 采购单").toInt(), 0);
    }

    // A remark longer than a report file's 16-bit text lengths prints whole like any other.
    void printOrder_data()
    {
        QTest::addColumn<QString>("remark");
        QTest::newRow("remark") << "第一张";
        QTest::newRow("remark of 70,000 bytes") << QString(35000, QChar(0x5907)); // 备, two bytes each
    }
    void printOrder()
    {
        QFETCH(QString, remark);
        TestDb t;
        addOrder(t, "DW1.甲厂", {kA, kB}, remark);
        ScriptedPrompt p;
        TfrmPuchAud w;
        w.show();
        edit(&w, "EditGongMan")->setText("没离开的改动");
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(printed(w.report(), "Memo7").join(QString()).remove('\n'), remark);
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands,
                 (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(1), (QStringList{"乙", "规格", "2", "4", "个", "2.5", "10"}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司采购订单"});
        // The order as stored.
        QCOMPARE(printed(w.report(), "Memo3"), QStringList{"DW1.甲厂"});
        QCOMPARE(printed(w.report(), "Memo27"), QStringList{"16"});
        QCOMPARE(printed(w.report(), "Memo25"), QStringList{"3"});
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"开票员:003.王五"});
        // Shown again after the preview.
        QCOMPARE(edit(&w, "EditGongMan")->text(), QString("DW1.甲厂"));
    }

    // An error of the engine while printing is told; the window goes on and prints again.
    void printFailureIsTold()
    {
        TestDb t;
        addOrder(t, "DW1.甲厂", {kA, kB}, "第一张");
        TfrmPuchAud w;
        w.show();
        edit(&w, "EditGongMan")->setText("没离开的改动");
        const auto kept = std::exchange(TfrReport::PreviewHook, [](TfrReport &, const QString &) {
            throw std::runtime_error("预览窗口不能打开");
        });
        {
            ScriptedPrompt p;
            p.expectMessage("打印失败：预览窗口不能打开", QMessageBox::Ok, "错误");
            w.SpeedButton3Click();
            TfrReport::PreviewHook = kept;
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(w.report().EMFPages().Count(), 0);
        QCOMPARE(edit(&w, "EditGongMan")->text(), QString("DW1.甲厂"));
        ScriptedPrompt p;
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(printed(w.report(), "Memo3"), QStringList{"DW1.甲厂"});
    }
};

ORV_DB_TEST_MAIN(TestPuchAud)
#include "tst_db_puchaud.moc"
