// 采购订货: the goods lines as the grid takes, merges and deletes them with the totals; the
// save's check order and messages; what a save writes; the answer No; the prints of the grid
// and of the saved order.
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "common/clock.h"
#include "data/dataset.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "purchasing/frmpuch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromUtf8(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}
QString text(QWidget *w, const char *name)
{
    if (auto *l = w->findChild<QLabel *>(QString::fromUtf8(name)))
        return l->text();
    if (auto *e = w->findChild<QLineEdit *>(QString::fromUtf8(name)))
        return e->text();
    return child<QComboBox>(w, name)->currentText();
}
void setText(QWidget *w, const char *name, const QString &value)
{
    if (auto *e = w->findChild<QLineEdit *>(QString::fromUtf8(name)))
        e->setText(value);
    else
        child<QComboBox>(w, name)->setEditText(value);
}

// The goods picker's hand-over of one line; the line editor that opens is closed unchanged.
void pick(TfrmPuch &w, ScriptedPrompt &p, const Line &l)
{
    stage(l);
    p.expectModal(closeEditor);
    QVERIFY(SendMessage(&w, WM_FIT_CHOSEN));
}

const Line kA2{"A", "甲", "二号库", "1", "10", ""};

void fillHeader(TfrmPuch &w)
{
    setText(&w, "ComboBox2", "001.张三");
    setText(&w, "ComboBox3", "002.李四");
    setText(&w, "ComboBox1", "DW1.华东五金");
    setText(&w, "ComboBox4", "003.王五");
    setText(&w, "EditMemo", "急用");
}
} // namespace

class TestPuch : public QObject {
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
        Clock::pin(QDateTime());
    }

    // Picks, merges and deletes: the lines, the row numbers, TargetRow and the amount total.
    void lines_data()
    {
        QTest::addColumn<QList<Line>>("picks");
        QTest::addColumn<int>("deleteRow");
        QTest::addColumn<QStringList>("rows"); // 编号@仓位 of grid rows 1 .. RowCount - 2, "" for blank
        QTest::addColumn<int>("targetRow");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("qty");
        QTest::newRow("two goods") << QList<Line>{kA, kB} << 0 << QStringList{"A@一号库", "B@一号库"} << 2 << "16"
                                   << "6";
        QTest::newRow("the same goods again selects its line")
            << QList<Line>{kA, kB, kA} << 0 << QStringList{"A@一号库", "B@一号库"} << 2 << "16" << "6";
        QTest::newRow("the same code at another place is a line")
            << QList<Line>{kA, kA2} << 0 << QStringList{"A@一号库", "A@二号库"} << 2 << "16" << "3";
        QTest::newRow("a deleted line stays blank and numbered")
            << QList<Line>{kA, kB, kA2} << 2 << QStringList{"A@一号库", "", "A@二号库"} << 3 << "16" << "3";
        QTest::newRow("deleting the only line") << QList<Line>{kB} << 1 << QStringList{""} << 1 << "0" << "0";
    }
    void lines()
    {
        QFETCH(QList<Line>, picks);
        QFETCH(int, deleteRow);
        QFETCH(QStringList, rows);
        QFETCH(int, targetRow);
        QFETCH(QString, amount);
        QFETCH(QString, qty);
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        for (const Line &l : picks)
            pick(w, p, l);
        if (deleteRow) {
            w.grid()->setCurrentGridRow(deleteRow);
            p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
            w.SpeedButton6Click();
        }
        QVERIFY(p.verifyDone());
        GoodsLineGrid &g = *w.goodsLines();
        QCOMPARE(g.gridRowCount(), rows.size() + 2);
        for (int r = 1; r <= rows.size(); ++r) {
            const QString shown = g.isBlank(r) ? QString() : g.cell(r, 1) + "@" + g.cell(r, 12);
            QCOMPARE(shown, rows[r - 1]);
            QCOMPARE(g.cell(r, 0), QString::number(r));
        }
        QCOMPARE(G.gRepFit.TargetRow, targetRow);
        QCOMPARE(text(&w, "Label4"), amount);
        QCOMPARE(text(&w, "Label7"), qty);
    }

    // In place: 数量 and 单价 take digits and one point; the amount and the totals follow.
    void inPlaceEditing()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        pick(w, p, kA);
        GoodsLineGrid &g = *w.goodsLines();
        QVERIFY(g.setData(g.index(0, 7), "5"));
        emit w.grid()->cellEdited();
        QCOMPARE(g.cell(1, 9), QString("15"));
        QCOMPARE(text(&w, "Label4"), QString("15"));
        QVERIFY(!g.setData(g.index(0, 8), "a"));
        QVERIFY(!g.setData(g.index(0, 9), "1"));
        // An emptied price leaves the amount as it was.
        QVERIFY(g.setData(g.index(0, 8), ""));
        QCOMPARE(g.cell(1, 9), QString("15"));
    }

    void codeEntry()
    {
        TestDb t;
        addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"条码", "6901"}, {"进货价", 4.5},
                     {"换算比率", 4}});
        addGoods(t, {{"编号", "HP2"}, {"名称", "螺母"}, {"仓位", "一号库"}, {"进货价", 1}, {"换算比率", 0}});
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        setText(&w, "Edit1", "6901");
        p.expectModal(closeEditor);
        w.codeEntered();
        setText(&w, "Edit1", "HP2");
        p.expectModal(closeEditor);
        w.codeEntered();
        setText(&w, "Edit1", "nothing");
        p.expectMessage("没有此货品");
        w.codeEntered();
        QVERIFY(p.verifyDone());
        QCOMPARE(text(&w, "Edit1"), QString("nothing"));
        const GoodsLineGrid &g = *w.goodsLines();
        QCOMPARE(QStringList({g.cell(1, 1), g.cell(1, 6), g.cell(1, 7), g.cell(1, 8), g.cell(1, 9)}),
                 QStringList({"HP1", "0.25", "1", "4.5", "4.5"}));
        QCOMPARE(g.cell(2, 6), QString("1")); // a ratio of 0 gives one auxiliary unit
        QCOMPARE(text(&w, "Label4"), QString("5.5"));
    }

    // The question comes first, then the lines, then the supplier, then the numbers and the date.
    void checks_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<int>("blankCell"); // a column emptied on row 1, or -1
        QTest::addColumn<QString>("badCell"); // "col=value" on row 1
        QTest::addColumn<bool>("printTicked");
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        const QList<Line> one{kA};
        // With 编号 gone from the only line the grid holds no goods: a second line keeps one.
        const QList<Line> two{kA, kB};
        QTest::newRow("编号, print box ticked") << two << 1 << "" << true << "" << "2026-03-07" << "第1行编号不能为空";
        QTest::newRow("编号, print box not ticked") << two << 1 << "" << false << "" << "2026-03-07"
                                                 << "第1行货品不能为空";
        QTest::newRow("名称") << one << 2 << "" << false << "" << "2026-03-07" << "第1行名称不能为空";
        QTest::newRow("数量") << one << 7 << "" << false << "DW1.甲" << "2026-03-07" << "第1行数量不能为空";
        QTest::newRow("单价") << one << 8 << "" << false << "DW1.甲" << "2026-03-07" << "第1行单价不能为空";
        QTest::newRow("金额") << one << 9 << "" << false << "DW1.甲" << "2026-03-07" << "第1行金额不能为空";
        QTest::newRow("supplier after the lines") << one << -1 << "" << false << "" << "2026-03-07" << "采购商不能为空!";
        QTest::newRow("a lone point") << one << -1 << "7=." << false << "DW1.甲" << "2026-03-07"
                                      << "第1行数量必须是数字";
        QTest::newRow("an aux quantity that is no number") << one << -1 << "6=1.2.3" << false << "DW1.甲"
                                                           << "2026-03-07" << "第1行辅助数量必须是数字";
        QTest::newRow("a date that is none") << one << -1 << "" << false << "DW1.甲" << "明天" << "制单日期不是有效的日期";
    }
    void checks()
    {
        QFETCH(QList<Line>, lines);
        QFETCH(int, blankCell);
        QFETCH(QString, badCell);
        QFETCH(bool, printTicked);
        QFETCH(QString, supplier);
        QFETCH(QString, date);
        QFETCH(QString, message);
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        for (const Line &l : lines)
            pick(w, p, l);
        GoodsLineGrid &g = *w.goodsLines();
        if (blankCell >= 0)
            g.setCell(1, blankCell, QString());
        if (!badCell.isEmpty())
            g.setCell(1, badCell.section('=', 0, 0).toInt(), badCell.section('=', 1));
        child<QCheckBox>(&w, "CheckBox1")->setChecked(printTicked);
        setText(&w, "ComboBox1", supplier);
        setText(&w, "EditDate", date);
        p.expectMessage("您确实开单吗?", QMessageBox::Yes, "系统提示");
        p.expectMessage(message);
        w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 采购订单").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 采购订单明细").toInt(), 0);
        QCOMPARE(g.gridRowCount(), lines.size() + 2); // the window keeps what was entered
    }

    void noLinesAsksNothing()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        p.expectMessage("请输入货品");
        w.savesuoyou();
        QVERIFY(p.verifyDone());
    }

    // No: nothing written, the window emptied for a new order; date, applicant and clerk stay.
    void answerNo()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        fillHeader(w);
        setText(&w, "EditDate", "2026-03-01");
        pick(w, p, kA);
        p.expectMessage("您确实开单吗?", QMessageBox::No, "系统提示");
        w.savesuoyou();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 采购订单").toInt(), 0);
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(text(&w, "ComboBox1"), QString());
        QCOMPARE(text(&w, "ComboBox2"), QString());
        QCOMPARE(text(&w, "EditMemo"), QString());
        QCOMPARE(text(&w, "Label4"), QString("0"));
        QCOMPARE(text(&w, "EditDate"), QString("2026-03-01"));
        QCOMPARE(text(&w, "ComboBox3"), QString("002.李四"));
        QCOMPARE(text(&w, "ComboBox4"), QString("003.王五"));
        QCOMPARE(G.gRepFit.TargetRow, 0);
    }

    void save_data()
    {
        QTest::addColumn<bool>("printTicked");
        QTest::addColumn<QString>("message");
        QTest::newRow("print box ticked") << true << "采购订单保存成功";
        QTest::newRow("print box not ticked") << false << "采购单保存成功";
    }
    void save()
    {
        QFETCH(bool, printTicked);
        QFETCH(QString, message);
        TestDb t;
        // Another client took the number shown meanwhile.
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        QCOMPARE(text(&w, "EditNo"), QString("CGDH-260307-001"));
        t.exec("insert into 采购订单(单据编号, ID, 当前状态) values('CGDH-260307-001', 'other', '待审核')");
        fillHeader(w);
        pick(w, p, kA);
        pick(w, p, kB);
        pick(w, p, kA2);
        w.grid()->setCurrentGridRow(3);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton6Click();
        child<QCheckBox>(&w, "CheckBox1")->setChecked(printTicked);
        p.expectMessage("您确实开单吗?", QMessageBox::Yes, "系统提示");
        p.expectMessage(message);
        w.savesuoyou();
        QVERIFY(p.verifyDone());

        DataSet h(&t.conn());
        h.setSql("select 单据编号,日期,负责人,供应商,金额合计,ID,备注,当前状态,开票员,申请人,原始编号 from 采购订单 "
                 "where ID <> 'other'");
        h.open();
        QCOMPARE(h.recordCount(), 1);
        QCOMPARE(h.fieldByName("单据编号").asString(), QString("CGDH-260307-002"));
        QCOMPARE(h.fieldByName("日期").asString(), QString("2026-03-07"));
        QCOMPARE(h.fieldByName("负责人").asString(), QString("001.张三"));
        QCOMPARE(h.fieldByName("供应商").asString(), QString("DW1.华东五金"));
        QCOMPARE(h.fieldByName("金额合计").asFloat(), 16.0);
        QCOMPARE(h.fieldByName("ID").asString(), w.recordID());
        QCOMPARE(h.fieldByName("备注").asString(), QString("急用"));
        QCOMPARE(h.fieldByName("当前状态").asString(), QString("待审核"));
        QCOMPARE(h.fieldByName("开票员").asString(), QString("003.王五"));
        QCOMPARE(h.fieldByName("申请人").asString(), QString("002.李四"));
        QCOMPARE(h.fieldByName("原始编号").asString(), QString(""));
        // Two lines (the deleted one is not saved), each with the order's supplier.
        DataSet l(&t.conn());
        l.setSql("select 编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,换算比率 "
                 "from 采购订单明细 order by 流水号");
        l.open();
        QCOMPARE(l.recordCount(), 2);
        QStringList first;
        for (int i = 0; i < l.fieldCount(); ++i)
            first << l.fields(i).asString();
        QCOMPARE(first, (QStringList{"A", "甲", "规格", "个", "箱", "1", "2", "3", "6", w.recordID(), "690A", "一号库",
                                     "DW1.华东五金", "五金", "1"}));
        l.next();
        QCOMPARE(l.fieldByName("编号").asString(), QString("B"));

        // Reset: a fresh number; date, applicant and clerk kept.
        QCOMPARE(text(&w, "EditNo"), QString("CGDH-260307-003"));
        QCOMPARE(w.goodsLines()->gridRowCount(), 2);
        QCOMPARE(text(&w, "ComboBox1"), QString());
        QCOMPARE(text(&w, "ComboBox3"), QString("002.李四"));
        QCOMPARE(text(&w, "ComboBox4"), QString("003.王五"));
        QCOMPARE(child<QCheckBox>(&w, "CheckBox1")->isChecked(), false);

        // The print after the save: the stored lines.
        QCOMPARE(w.lastPrint().printed, printTicked);
        if (!printTicked)
            return;
        QCOMPARE(w.lastPrint().bands,
                 (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(w.lastPrint().dataBands.first(), (QStringList{"甲", "规格", "1", "2", "个", "3", "6"}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司采购订单"});
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"CGDH-260307-002"});
        QCOMPARE(printed(w.report(), "Memo18"), (QStringList{"甲", "乙"}));
        QCOMPARE(printed(w.report(), "Memo22"), (QStringList{"个", "个"}));
        QCOMPARE(printed(w.report(), "Memo27"), QStringList{"16"});
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"开票员:003.王五"});
        QCOMPARE(printed(w.report(), "Memo31"), QStringList{"负责人:001.张三"});
        QCOMPARE(printed(w.report(), "Memo4"), QStringList{"本单据由系统打印"});
    }

    // 打印(&P): the grid as it stands, the auxiliary unit in the unit slot; signature mode.
    void printGrid_data()
    {
        QTest::addColumn<int>("signatureMode");
        QTest::addColumn<QString>("memo28");
        QTest::newRow("names") << 0 << "开票员:003.王五";
        QTest::newRow("signature mode") << 1 << "开票员";
    }
    void printGrid()
    {
        QFETCH(int, signatureMode);
        QFETCH(QString, memo28);
        G.gPrintSignature = signatureMode;
        TestDb t;
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        fillHeader(w);
        pick(w, p, kA);
        pick(w, p, kB);
        pick(w, p, kA2);
        w.goodsLines()->blankLine(2);
        w.SpeedButton12Click();
        QVERIFY(p.verifyDone());
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands.value(1), (QStringList{"甲", "规格", "", "1", "箱", "10", "10"}));
        QCOMPARE(printed(w.report(), "Memo18"), (QStringList{"甲", "甲"}));
        QCOMPARE(printed(w.report(), "Memo22"), (QStringList{"箱", "箱"}));
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"CGDH-260307-001"});
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{memo28});
        QCOMPARE(printed(w.report(), "Memo3"), QStringList{"DW1.华东五金"});
        // Nothing was saved.
        QCOMPARE(t.scalar("select count(*) from 采购订单").toInt(), 0);
    }

    // Enter, Down and Right forward along the chain, Left and Up back; leaving a staff, supplier
    // or date field forward opens its picker first, the remark and the grid the goods picker.
    void keyChain_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");  // after the key
        QTest::addColumn<QString>("picker"); // opened by the key and closed unchosen; "" none
        QTest::addColumn<QString>("message");
        const struct {
            const char *field;
            int key;
            const char *focus, *picker, *message;
        } rows[] = {
            {"EditNo", Qt::Key_Return, "ComboBox2", "", ""},
            {"EditNo", Qt::Key_Left, "EditNo", "", ""},
            {"EditNo", Qt::Key_A, "EditNo", "", ""},
            {"ComboBox2", Qt::Key_Down, "EditDate", "TfrmYuanGongMuLu 1", ""},
            {"ComboBox2", Qt::Key_Up, "EditNo", "", ""},
            {"ComboBox2", Qt::Key_A, "ComboBox2", "", ""},
            {"EditDate", Qt::Key_Right, "ComboBox3", "TfrmPushTime", ""},
            {"EditDate", Qt::Key_Left, "ComboBox2", "", ""},
            {"ComboBox3", Qt::Key_Enter, "ComboBox1", "TfrmYuanGongMuLu 2", ""},
            {"ComboBox3", Qt::Key_Up, "EditDate", "", ""},
            {"ComboBox1", Qt::Key_Return, "ComboBox4", "TfrmChooseGYS 0", ""},
            {"ComboBox1", Qt::Key_Left, "ComboBox3", "", ""},
            {"ComboBox4", Qt::Key_Right, "EditMemo", "TfrmYuanGongMuLu 3", ""},
            {"ComboBox4", Qt::Key_Up, "ComboBox1", "", ""},
            {"EditMemo", Qt::Key_Return, "StringGrid1", "TfrmSelectFit 1", ""},
            {"EditMemo", Qt::Key_Left, "ComboBox4", "", ""},
            {"StringGrid1", Qt::Key_Down, "StringGrid1", "TfrmSelectFit 1", ""},
            {"StringGrid1", Qt::Key_Up, "EditMemo", "", ""},
            {"Edit1", Qt::Key_Right, "CheckBox1", "", ""},
            {"Edit1", Qt::Key_Left, "StringGrid1", "", ""},
            {"CheckBox1", Qt::Key_Up, "Edit1", "", ""},
            {"CheckBox1", Qt::Key_Return, "CheckBox1", "", "请输入货品"},
        };
        for (const auto &r : rows)
            QTest::addRow("%s %s", r.field, QKeySequence(r.key).toString().toLatin1().constData())
                << QString(r.field) << r.key << QString(r.focus) << QString::fromUtf8(r.picker)
                << QString::fromUtf8(r.message);
    }
    void keyChain()
    {
        QFETCH(QString, field);
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(QString, picker);
        QFETCH(QString, message);
        // The keys write nothing: one database serves every row.
        if (!m_keysDb)
            m_keysDb = std::make_unique<TestDb>();
        ScriptedPrompt p;
        TfrmPuch w;
        w.show();
        QString opened;
        if (!picker.isEmpty())
            p.expectModal([&](QDialog *d) {
                opened = pickerOpened(d);
                return int(QDialog::Rejected);
            });
        if (!message.isEmpty())
            p.expectMessage(message);
        QWidget *f = child<QWidget>(&w, field.toUtf8().constData());
        f->setFocus();
        QCOMPARE(focusName(&w), field);
        QTest::keyClick(f, Qt::Key(key));
        QVERIFY(p.verifyDone());
        QCOMPARE(opened, picker);
        QCOMPARE(focusName(&w), focus);
    }
    void cleanupTestCase() { m_keysDb.reset(); }

private:
    std::unique_ptr<TestDb> m_keysDb;
};

ORV_DB_TEST_MAIN(TestPuch)
#include "tst_db_puch.moc"
