// Password change: the checks in order, the stored name, the locked fields after a change.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/frmmdfpwd.h"
#include "app/appglobals.h"
#include "program.h"

#include <QApplication>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
void fill(TfrmMdfPwd &w, const QString &old, const QString &n, const QString &confirm)
{
    edit(&w, "Edit2")->setText(old);
    edit(&w, "Edit3")->setText(n);
    edit(&w, "Edit4")->setText(confirm);
}

QString password(TestDb &t, const QString &name)
{
    return t.scalar("select 密码 from 用户管理 where 姓名=? order by 流水号", {name}).toString();
}
} // namespace

class TestPassword : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init() { G = AppGlobals{}; }

    void refusals_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::newRow("old wrong") << "wrong" << "b" << "b" << "旧密码输入不正确，请重新输入";
        QTest::newRow("old in other case") << "Secret" << "b" << "b" << "旧密码输入不正确，请重新输入";
        QTest::newRow("old checked first") << "wrong" << "b" << "c" << "旧密码输入不正确，请重新输入";
        QTest::newRow("confirmation differs") << "secret" << "b" << "B" << "两次输入的密码不相同，请重新输入";
        QTest::newRow("empty new password") << "secret" << "" << "" << "新密码不能为空";
    }

    void refusals()
    {
        QFETCH(QString, old);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        TestDb t;
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values('001.王五','secret','超级管理员',?)", {false});
        G.gCurrentUser = "001.王五";
        ScriptedPrompt p;
        TfrmMdfPwd w;
        w.show();
        fill(w, old, newPassword, confirm);
        p.expectMessage(message);
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(password(t, "001.王五"), QString("secret"));
        QCOMPARE(edit(&w, "Edit3")->text(), newPassword); // the fields keep what was typed
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("确定"));
    }

    void changeLocksAndReopens()
    {
        TestDb t;
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values('002.赵六','a''b','超级管理员',?)", {false});
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values('002.赵六','other','超级管理员',?)", {true});
        // The name the login stored, not the one typed there.
        G.gCurrentUser = "002.赵六";
        ScriptedPrompt p;
        TfrmMdfPwd w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("修改密码"));
        QCOMPARE(edit(&w, "Edit1")->text(), QString("002.赵六"));
        QVERIFY(edit(&w, "Edit1")->isReadOnly());
        QCOMPARE(edit(&w, "Edit2")->echoMode(), QLineEdit::Password);

        fill(w, "a'b", "新'密码", "新'密码");
        p.expectMessage("密码修改成功");
        w.SpeedButton1Click();
        // Every account of that name takes the new password.
        QCOMPARE(count(t, "用户管理", "姓名=? and 密码=?", {"002.赵六", "新'密码"}), 2);
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("修改"));
        for (const char *name : {"Edit2", "Edit3", "Edit4"})
            QVERIFY(edit(&w, name)->isReadOnly());

        // 修改 empties and opens the fields; the next change types the new password as the old one.
        w.SpeedButton1Click();
        QCOMPARE(button(&w, "SpeedButton1")->text(), QString("保存"));
        QVERIFY(!edit(&w, "Edit2")->isReadOnly());
        QCOMPARE(edit(&w, "Edit2")->text(), QString());
        fill(w, "a'b", "x", "x");
        p.expectMessage("旧密码输入不正确，请重新输入");
        w.SpeedButton1Click();
        fill(w, "新'密码", "x", "x");
        p.expectMessage("密码修改成功");
        w.SpeedButton1Click();
        QCOMPARE(password(t, "002.赵六"), QString("x"));
        QVERIFY(p.verifyDone());
    }

    void unknownAccountChangesNothing()
    {
        TestDb t;
        G.gCurrentUser = "谁";
        ScriptedPrompt p;
        TfrmMdfPwd w;
        w.show();
        fill(w, "", "x", "x");
        p.expectMessage("旧密码输入不正确，请重新输入");
        w.SpeedButton1Click();
        QVERIFY(p.verifyDone());
    }
};

ORV_DB_TEST_MAIN(TestPassword)
#include "tst_db_password.moc"
