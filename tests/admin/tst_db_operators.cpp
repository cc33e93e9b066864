// Operators window: accounts from staff entries, the checks in order, the name checked only when
// changed, a new account enabled, the changed account the one 修改 was pressed on.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/frmuser.h"
#include "app/appglobals.h"
#include "program.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
void addStaff(TestDb &t, const QString &no, const QString &name)
{
    t.exec("insert into 员工目录(工号,姓名) values(?,?)", {no, name});
}

void addAccount(TestDb &t, const QString &name, const QString &password, const QString &group, bool disabled)
{
    t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {name, password, group, disabled});
}

QComboBox *combo(QWidget *w, const QString &name) { return control<QComboBox>(w, name); }

void pickName(TfrmUser &w, const QString &name)
{
    w.ComboBox1Enter();
    QComboBox *c = combo(&w, "ComboBox1");
    const int at = c->findText(name);
    QVERIFY2(at >= 0, qPrintable(name));
    c->setCurrentIndex(at);
}

void selectRow(TfrmUser &w, const QString &name)
{
    const int row = int(column(grid(&w), 0).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    grid(&w)->setCurrentCell(row, 0);
}

QVariantList account(TestDb &t, const QString &name)
{
    QSqlQuery q(t.conn().db());
    q.prepare("select 密码,权限,禁用 from 用户管理 where 姓名=?");
    q.addBindValue(name);
    q.exec();
    if (!q.next())
        return {};
    return {q.value(0).toString(), q.value(1).toString(), flagValue(q.value(2))};
}
} // namespace

class TestOperators : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init() { G = AppGlobals{}; }

    void newAccountChecksInOrder()
    {
        TestDb t;
        addStaff(t, "001", "张三");
        addStaff(t, "a01", "李四");
        addAccount(t, "A01.李四", "x", "超级管理员", true);
        ScriptedPrompt p;
        TfrmUser w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("用户管理"));
        QCOMPARE(column(grid(&w), 0), (QStringList{"admin", "A01.李四"}));
        QCOMPARE(column(grid(&w), 2), (QStringList{"False", "True"}));
        QVERIFY(grid(&w)->isColumnHidden(3) && grid(&w)->isColumnHidden(4));
        QCOMPARE(edit(&w, "DBEdit1")->echoMode(), QLineEdit::Password);
        QVERIFY(edit(&w, "DBEdit1")->isReadOnly());
        QVERIFY(combo(&w, "DBComboBox1")->lineEdit()->isReadOnly());

        // A disabled account is the current row when 新建 is pressed.
        selectRow(w, "A01.李四");
        w.SpeedButton1Click();
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("保存"));
        QVERIFY(!button(&w, "SpeedButton2")->isEnabled() && !button(&w, "SpeedButton3")->isEnabled());
        QVERIFY(combo(&w, "ComboBox1")->isVisibleTo(&w) && !combo(&w, "DBComboBox1")->isVisibleTo(&w));

        p.expectMessage("请输入用户姓名!");
        w.SpeedButton1Click();
        pickName(w, "001.张三");
        QCOMPARE(combo(&w, "ComboBox1")->count(), 2);
        p.expectMessage("请输入权限组!");
        w.SpeedButton1Click();
        w.ComboBox2Enter();
        QCOMPARE(combo(&w, "ComboBox2")->count(), 1); // 超级管理员
        combo(&w, "ComboBox2")->setEditText("没有这个组");
        p.expectMessage("请输密码!");
        w.SpeedButton1Click();
        edit(&w, "Edit1")->setText("pw");
        QCOMPARE(count(t, "用户管理"), 2);

        // A name differing only in letter case is another name; the same name is refused.
        pickName(w, "a01.李四");
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(account(t, "a01.李四"), (QVariantList{"pw", "没有这个组", false}));
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("新建"));
        QVERIFY(button(&w, "SpeedButton2")->isEnabled());

        w.SpeedButton1Click();
        pickName(w, "a01.李四");
        combo(&w, "ComboBox2")->setEditText("超级管理员");
        edit(&w, "Edit1")->setText("pw2");
        p.expectMessage("用户姓名不能相同！");
        w.SpeedButton1Click();
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("保存"));
        pickName(w, "001.张三");
        w.SpeedButton1Click();
        // Enabled, whatever the row shown when 新建 was pressed.
        QCOMPARE(account(t, "001.张三"), (QVariantList{"pw2", "超级管理员", false}));
        QVERIFY(p.verifyDone());
    }

    void changeKeepsItsRow()
    {
        TestDb t;
        addStaff(t, "002", "王五");
        addAccount(t, "001.张三", "a", "超级管理员", false);
        addAccount(t, "002.王五", "b", "仓管", true);
        ScriptedPrompt p;
        TfrmUser w;
        w.show();
        selectRow(w, "002.王五");
        w.SpeedButton2Click();
        QCOMPARE(button(&w, "SpeedButton2")->text(), QString("保存"));
        QCOMPARE(combo(&w, "ComboBox1")->currentText(), QString("002.王五"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("b"));
        QCOMPARE(combo(&w, "ComboBox2")->currentText(), QString("仓管"));
        QVERIFY(!grid(&w)->isEnabled());
        QVERIFY(!button(&w, "SpeedButton1")->isEnabled());

        // Only the password: no name check; 禁用 stays as it was.
        edit(&w, "Edit1")->setText("新密码");
        w.SpeedButton2Click();
        QCOMPARE(account(t, "002.王五"), (QVariantList{"新密码", "仓管", true}));
        QCOMPARE(button(&w, "SpeedButton2")->text(), QString("修改"));
        QVERIFY(grid(&w)->isEnabled());
        QCOMPARE(combo(&w, "DBComboBox1")->currentText(), QString("002.王五"));

        // Entering the name field lists the staff afresh, and a name must be picked again.
        w.SpeedButton2Click();
        w.ComboBox1Enter();
        QCOMPARE(combo(&w, "ComboBox1")->currentText(), QString());
        p.expectMessage("请输入用户姓名!");
        w.SpeedButton2Click();
        // Another account's name is refused.
        t.exec("insert into 员工目录(工号,姓名) values('001','张三')");
        pickName(w, "001.张三");
        p.expectMessage("用户姓名不能相同！");
        w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(count(t, "用户管理", "姓名='001.张三'"), 1);
    }

    void deleteAndEmptyList()
    {
        TestDb t;
        addAccount(t, "003.赵六", "c", "超级管理员", false);
        ScriptedPrompt p;
        TfrmUser w;
        w.show();
        selectRow(w, "003.赵六");
        p.expectMessage("您确实要删除吗?", QMessageBox::No, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(count(t, "用户管理"), 2);
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(column(grid(&w), 0), QStringList{"admin"});
        // The logged-in administrator's own account too: the question is all.
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton3Click();
        QCOMPARE(count(t, "用户管理"), 0);
        // An empty list: 删除 does nothing, 修改 says so.
        w.SpeedButton3Click();
        p.expectMessage("请选择要修改的权限组");
        w.SpeedButton2Click();
        QVERIFY(p.verifyDone());
    }
};

ORV_DB_TEST_MAIN(TestOperators)
#include "tst_db_operators.moc"
