// System initialisation: the company record and the groups of tables emptied, all or nothing.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/frminit.h"
#include "admin/initialisation.h"
#include "app/appglobals.h"
#include "common/clock.h"
#include "data/schema.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
const QString kQuestion = "一旦选择以上的选项将执行删除清空数据，您确定要清除吗?";

QStringList groupTables()
{
    QStringList out;
    for (const TableGroup &g : initialisationGroups())
        out << g.tables;
    return out;
}

// One row in every table a group empties, and in the tables no group touches.
void fillAll(TestDb &t)
{
    for (const QString &table : groupTables() + QStringList{"图片"}) {
        if (table == "类别目录")
            t.exec("insert into 类别目录(流水号,类别,父项,级别) values('0001','钢材','全部','1')");
        else
            t.exec("insert into " + table + " default values");
    }
}
} // namespace

class TestInitialisation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init()
    {
        G = AppGlobals{};
        Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(2, 0), Qt::UTC));
    }
    void cleanup() { Clock::pin(QDateTime()); }

    void groupsCoverTheirTables()
    {
        QCOMPARE(initialisationGroups().size(), 20);
        QCOMPARE(groupTables().size(), 46);
        for (const QString &table : groupTables())
            QVERIFY2(Schema::tableNames().contains(table), qPrintable(table));
    }

    void eachGroupEmptiesOnlyItsTables_data()
    {
        QTest::addColumn<int>("box");
        for (const TableGroup &g : initialisationGroups())
            QTest::newRow(qPrintable(g.caption)) << g.box;
    }

    void eachGroupEmptiesOnlyItsTables()
    {
        QFETCH(int, box);
        TestDb t;
        fillAll(t);
        ScriptedPrompt p;
        TfrmInit w;
        w.show();
        QCOMPARE(w.box(box)->isVisible(), true);
        w.box(box)->setChecked(true);
        p.expectMessage(kQuestion, QMessageBox::Yes, "系统提示").expectMessage("初始化完毕");
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        QStringList emptied;
        for (const TableGroup &g : initialisationGroups())
            if (g.box == box)
                emptied = g.tables;
        for (const QString &table : groupTables() + QStringList{"图片", "用户管理", "权限组", "基本信息"})
            QVERIFY2(count(t, table) == (emptied.contains(table) ? 0 : 1), qPrintable(table));
    }

    void questionAndRecord()
    {
        TestDb t;
        fillAll(t);
        t.exec("update 基本信息 set 打印签单=?, 初始化日期='2020-01-01'", {true});
        ScriptedPrompt p;
        TfrmInit w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("初始化数据"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("我的公司"));
        QVERIFY(edit(&w, "Edit6")->isHidden());
        QVERIFY(w.box(5)->isHidden());
        // The signature box shows what is stored.
        QVERIFY(w.box(22)->isChecked());

        // No answered: nothing emptied, nothing saved.
        w.SpeedButton1Click();
        for (int n = 1; n <= 21; ++n)
            QVERIFY(w.box(n)->isChecked());
        edit(&w, "Edit1")->setText("不会保存");
        p.expectMessage(kQuestion, QMessageBox::No);
        w.SpeedButton3Click();
        QCOMPARE(count(t, "货品目录"), 1);
        QCOMPARE(t.scalar("select 公司名称 from 基本信息").toString(), QString("我的公司"));

        // Only the hidden box: the question is asked, nothing is emptied, the record is saved.
        for (int n = 1; n <= 21; ++n)
            if (n != 5)
                w.box(n)->setChecked(false);
        edit(&w, "Edit1")->setText("奥凡'贸易");
        edit(&w, "Edit4")->setText("杭州");
        control<QPlainTextEdit>(&w, "Memo1")->setPlainText("五金\n建材");
        p.expectMessage(kQuestion, QMessageBox::Yes).expectMessage("初始化完毕");
        w.SpeedButton3Click();
        for (const QString &table : groupTables())
            QCOMPARE(count(t, table), 1);
        QCOMPARE(count(t, "基本信息"), 1);
        QCOMPARE(t.scalar("select 公司名称 from 基本信息").toString(), QString("奥凡'贸易"));
        QCOMPARE(t.scalar("select 主营业务 from 基本信息").toString(), QString("五金\n建材"));
        QCOMPARE(t.scalar("select 初始化日期 from 基本信息").toString(), QString("2020-01-01"));
        QCOMPARE(G.gCompanyName, QString("奥凡'贸易"));
        QCOMPARE(G.gCompanyAddress, QString("杭州"));
        QCOMPARE(G.gCompanyBusiness, QString("五金\n建材"));
        QCOMPARE(G.gPrintSignature, 1);

        // Nothing ticked: no question; unticking the signature box changes the state only once saved.
        w.SpeedButton2Click();
        w.box(22)->setChecked(false);
        QCOMPARE(G.gPrintSignature, 1);
        p.expectMessage("初始化完毕");
        w.SpeedButton3Click();
        QCOMPARE(G.gPrintSignature, 0);
        QCOMPARE(t.scalar("select count(*) from 基本信息 where 打印签单=?", {false}).toInt(), 1);
        QVERIFY(p.verifyDone());
    }

    // Enter walks the fields, then the boxes in reading order, and loops over the last four.
    void enterChain()
    {
        TestDb t;
        TfrmInit w;
        w.show();
        QApplication::setActiveWindow(&w);
        edit(&w, "Edit5")->setFocus();
        QTest::keyClick(edit(&w, "Edit5"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Edit7"));
        QTest::keyClick(edit(&w, "Edit7"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.box(2));
        w.box(17)->setFocus();
        QTest::keyClick(w.box(17), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.box(18));
    }

    void firstSaveInsertsOnce()
    {
        TestDb t;
        t.exec("delete from 基本信息");
        ScriptedPrompt p;
        TfrmInit w;
        w.show();
        QCOMPARE(edit(&w, "Edit1")->text(), QString());
        QVERIFY(!w.box(22)->isChecked());
        edit(&w, "Edit1")->setText("新公司");
        p.expectMessage("初始化完毕").expectMessage("初始化完毕");
        w.SpeedButton3Click();
        edit(&w, "Edit7")->setText("新");
        Clock::pin(QDateTime(QDate(2024, 4, 1), QTime(2, 0), Qt::UTC));
        w.SpeedButton3Click();
        QCOMPARE(count(t, "基本信息"), 1);
        QCOMPARE(t.scalar("select 初始化日期 from 基本信息").toString(), QString("2024-03-05"));
        QCOMPARE(t.scalar("select 公司简称 from 基本信息").toString(), QString("新"));
        QVERIFY(p.verifyDone());
    }

    // A table that cannot be emptied undoes the whole initialisation and the record.
    void allOrNothing()
    {
        TestDb t;
        fillAll(t);
        t.conn().exec("drop table 往来单位");
        ScriptedPrompt p;
        TfrmInit w;
        w.show();
        w.SpeedButton1Click();
        edit(&w, "Edit1")->setText("不应保存");
        p.expectMessage(kQuestion, QMessageBox::Yes).expectMessage(kDbFailed);
        w.SpeedButton3Click();
        QVERIFY(p.verifyDone());
        for (const QString &table : groupTables())
            if (table != "往来单位")
                QVERIFY2(count(t, table) == 1, qPrintable(table));
        QCOMPARE(t.scalar("select 公司名称 from 基本信息").toString(), QString("我的公司"));
    }
};

ORV_DB_TEST_MAIN(TestInitialisation)
#include "tst_db_initialisation.moc"
