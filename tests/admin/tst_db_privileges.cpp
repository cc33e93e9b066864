// Privilege groups window: new / change / delete with their messages, the protected group, the
// flags a new group starts from, a rename followed by its accounts.
#include "adminfixture.h"
#include "scriptedprompt.h"

#include "admin/frmprivilege.h"
#include "admin/privileges.h"
#include "app/appglobals.h"
#include "data/login.h"
#include "program.h"

#include <QApplication>
#include <QSqlQuery>
#include <QTest>

using namespace orv;
using namespace orv::test;

namespace {
const QString kSaved = "更新完毕请重新启动程序后权限才能生效";

qint64 groupRow(TestDb &t, const QString &name)
{
    return t.scalar("select 流水号 from 权限组 where 组=?", {name}).toLongLong();
}

qint64 addGroup(TestDb &t, const QString &name, const QString &desc, const QList<int> &flagsOn)
{
    PrivilegeFlags f{};
    for (int n : flagsOn)
        f[size_t(n - 1)] = true;
    qint64 row = 0;
    PrivilegeStore(t.conn()).add(name, desc, f, &row);
    return row;
}

void addAccount(TestDb &t, const QString &name, const QString &group)
{
    t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {name, "pw", group, false});
}

void selectRow(TfrmPrivilege &w, const QString &name)
{
    QTableWidget *g = grid(&w);
    const int row = int(column(g, 0).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    g->setCurrentCell(row, 0);
}
} // namespace

class TestPrivileges : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerSubsystems(); }
    void init() { G = AppGlobals{}; }

    void superGroupShownButProtected()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmPrivilege w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("权限组"));
        QCOMPARE(column(grid(&w), 0), QStringList{"超级管理员"});
        QVERIFY(grid(&w)->isColumnHidden(2));
        // Every flag of the administrator group is shown, the two boxes that are not on a page too.
        for (int n = 1; n <= kPrivilegeFlagCount; ++n)
            QVERIFY2(w.flagBox(n)->isChecked(), qPrintable(QString::number(n)));
        QVERIFY(w.flagBox(34)->isHidden());
        QVERIFY(w.flagBox(51)->isHidden());
        QCOMPARE(w.flagBox(25)->objectName(), QString("CheckBox37"));
        QCOMPARE(w.flagBox(25)->text(), QString("车间领用单"));
        QVERIFY(!button(&w, "btnMdf")->isEnabled());
        QVERIFY(!button(&w, "btnDel")->isEnabled());
        QVERIFY(edit(&w, "DBEditGroup")->isReadOnly());
        QCOMPARE(edit(&w, "DBEditGroup")->text(), QString("超级管理员"));

        p.expectMessage("超级管理员组不能修改").expectMessage("超级管理员不能删除");
        w.btnMdfClick();
        w.btnDelClick();
        QCOMPARE(button(&w, "btnMdf")->text(), QString("修改"));
        QCOMPARE(count(t, "权限组"), 1);
        QVERIFY(p.verifyDone());
    }

    void newGroupStartsFromTheShownOne()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmPrivilege w;
        w.show();
        w.btnNewClick();
        QCOMPARE(button(&w, "btnNew")->text(), QString("保存"));
        QVERIFY(!button(&w, "btnMdf")->isEnabled() && !button(&w, "btnDel")->isEnabled());
        QVERIFY(edit(&w, "edtGroup")->isVisibleTo(&w) && !edit(&w, "DBEditGroup")->isVisibleTo(&w));

        // A taken name is refused and emptied; so is an empty one; the entry state stays.
        edit(&w, "edtGroup")->setText("超级管理员");
        p.expectMessage("组名不能相同！");
        w.btnNewClick();
        QCOMPARE(edit(&w, "edtGroup")->text(), QString());
        p.expectMessage("权限组名称不能为空!");
        w.btnNewClick();
        QCOMPARE(button(&w, "btnNew")->text(), QString("保存"));
        QCOMPARE(count(t, "权限组"), 1);

        // Two visible boxes cleared; the hidden flags 34 and 51 come from the shown group.
        w.flagBox(1)->setChecked(false);
        w.flagBox(44)->setChecked(false);
        edit(&w, "edtGroup")->setText("仓管员");
        edit(&w, "edtDesc")->setText("仓库的'日常'工作");
        p.expectMessage(kSaved);
        w.btnNewClick();
        QVERIFY(p.verifyDone());
        QCOMPARE(button(&w, "btnNew")->text(), QString("新建"));
        QVERIFY(button(&w, "btnMdf")->isEnabled());
        QCOMPARE(column(grid(&w), 0), (QStringList{"超级管理员", "仓管员"}));
        QCOMPARE(edit(&w, "DBEditGroup")->text(), QString("仓管员"));

        const PrivilegeFlags stored = PrivilegeStore(t.conn()).flags(groupRow(t, "仓管员"));
        for (int n = 1; n <= kPrivilegeFlagCount; ++n)
            QCOMPARE(stored[size_t(n - 1)], n != 1 && n != 44);
        QCOMPARE(t.scalar("select 描述 from 权限组 where 组='仓管员'").toString(), QString("仓库的'日常'工作"));

        // The login reads the new group's flags by position.
        addAccount(t, "001.张三", "仓管员");
        const LoginResult login = LoginService(t.conn()).check("001.张三", "pw");
        QVERIFY(login.ok);
        QCOMPARE(login.privileges[0], QString("False"));
        QCOMPARE(login.privileges[33], QString("True"));
        QCOMPARE(login.privileges[43], QString("False"));
        QCOMPARE(login.privileges[50], QString("True"));

        // A name differing only in letter case is another name; all boxes clear stores all clear.
        w.btnNewClick();
        for (int n = 1; n <= kPrivilegeFlagCount; ++n)
            w.flagBox(n)->setChecked(false);
        edit(&w, "edtGroup")->setText("sales");
        p.expectMessage(kSaved);
        w.btnNewClick();
        addGroup(t, "Sales", "", {});
        const PrivilegeFlags none = PrivilegeStore(t.conn()).flags(groupRow(t, "sales"));
        QVERIFY(std::none_of(none.begin(), none.end(), [](bool b) { return b; }));
    }

    void changeFollowsAccounts()
    {
        TestDb t;
        const qint64 a = addGroup(t, "采购组", "采购", {10, 11, 34});
        addGroup(t, "销售组", "销售", {31});
        addAccount(t, "001.甲", "采购组");
        addAccount(t, "002.乙", "采购组");
        addAccount(t, "003.丙", "销售组");
        ScriptedPrompt p;
        TfrmPrivilege w;
        w.show();
        selectRow(w, "采购组");
        QVERIFY(w.flagBox(10)->isChecked() && w.flagBox(34)->isChecked() && !w.flagBox(31)->isChecked());
        w.btnMdfClick();
        QCOMPARE(button(&w, "btnMdf")->text(), QString("保存"));
        QVERIFY(!button(&w, "btnNew")->isEnabled() && !button(&w, "btnDel")->isEnabled());
        QCOMPARE(edit(&w, "edtGroup")->text(), QString("采购组"));
        QCOMPARE(edit(&w, "edtDesc")->text(), QString("采购"));

        // The name of another group is refused; an empty name too.
        edit(&w, "edtGroup")->setText("销售组");
        p.expectMessage("组名不能相同！");
        w.btnMdfClick();
        QCOMPARE(edit(&w, "edtGroup")->text(), QString());
        p.expectMessage("权限组名称不能为空!");
        w.btnMdfClick();
        QCOMPARE(t.scalar("select 组 from 权限组 where 流水号=?", {a}).toString(), QString("采购组"));

        // The list stays still while a group is changed: the boxes are that group's.
        QVERIFY(!grid(&w)->isEnabled());
        w.flagBox(12)->setChecked(true);
        edit(&w, "edtGroup")->setText("进货组");
        edit(&w, "edtDesc")->setText("进货");
        p.expectMessage(kSaved);
        w.btnMdfClick();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 组 from 权限组 where 流水号=?", {a}).toString(), QString("进货组"));
        QCOMPARE(count(t, "权限组", "组='销售组' and 描述='销售'"), 1);
        QCOMPARE(count(t, "用户管理", "权限='进货组'"), 2);
        QCOMPARE(count(t, "用户管理", "权限='销售组'"), 1);
        QCOMPARE(button(&w, "btnMdf")->text(), QString("修改"));
        QVERIFY(button(&w, "btnNew")->isEnabled() && grid(&w)->isEnabled());
        PrivilegeFlags expected{};
        for (int n : {10, 11, 12, 34})
            expected[size_t(n - 1)] = true;
        QVERIFY(PrivilegeStore(t.conn()).flags(a) == expected);

        // With every box clear only name and description change; the stored flags stay.
        selectRow(w, "进货组");
        w.btnMdfClick();
        for (int n = 1; n <= kPrivilegeFlagCount; ++n)
            w.flagBox(n)->setChecked(false);
        edit(&w, "edtDesc")->setText("只改描述");
        p.expectMessage(kSaved);
        w.btnMdfClick();
        QVERIFY(PrivilegeStore(t.conn()).flags(a) == expected);
        QCOMPARE(t.scalar("select 描述 from 权限组 where 流水号=?", {a}).toString(), QString("只改描述"));
        QCOMPARE(count(t, "用户管理", "权限='进货组'"), 2);
    }

    // The last statement of a change fails after the flags and the accounts were written:
    // nothing of the change stays, the operator is told, and the entry can be saved again.
    void failedChangeLeavesEverything()
    {
        TestDb t;
        const qint64 a = addGroup(t, "采购组", "采购", {10, 34});
        addGroup(t, "销售组", "销售", {31});
        addAccount(t, "001.甲", "采购组");
        QVERIFY(QSqlQuery(t.conn().db()).exec("create unique index 权限组描述唯一 on 权限组(描述)"));
        ScriptedPrompt p;
        TfrmPrivilege w;
        w.show();
        selectRow(w, "采购组");
        w.btnMdfClick();
        w.flagBox(12)->setChecked(true);
        edit(&w, "edtGroup")->setText("进货组");
        edit(&w, "edtDesc")->setText("销售");
        p.expectMessage("数据库操作失败，请重试");
        w.btnMdfClick();
        QVERIFY(p.verifyDone());
        QCOMPARE(p.recorded().last().icon, QMessageBox::Critical);
        PrivilegeFlags before{};
        before[9] = before[33] = true;
        QVERIFY(PrivilegeStore(t.conn()).flags(a) == before);
        QCOMPARE(t.scalar("select 组 from 权限组 where 流水号=?", {a}).toString(), QString("采购组"));
        QCOMPARE(t.scalar("select 描述 from 权限组 where 流水号=?", {a}).toString(), QString("采购"));
        QCOMPARE(count(t, "用户管理", "权限='采购组'"), 1);
        QCOMPARE(w.state(), TfrmPrivilege::State::Changing);
        QCOMPARE(button(&w, "btnMdf")->text(), QString("保存"));

        edit(&w, "edtDesc")->setText("进货");
        p.expectMessage(kSaved);
        w.btnMdfClick();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 组 from 权限组 where 流水号=?", {a}).toString(), QString("进货组"));
        QCOMPARE(count(t, "用户管理", "权限='进货组'"), 1);
        QVERIFY(PrivilegeStore(t.conn()).flags(a)[11]);
    }

    void deleteLeavesAccounts()
    {
        TestDb t;
        addGroup(t, "临时组", "", {1});
        addAccount(t, "009.丁", "临时组");
        ScriptedPrompt p;
        TfrmPrivilege w;
        w.show();
        selectRow(w, "临时组");
        QVERIFY(button(&w, "btnDel")->isEnabled());
        w.btnDelClick(); // no question
        QCOMPARE(count(t, "权限组", "组='临时组'"), 0);
        QCOMPARE(count(t, "用户管理", "权限='临时组'"), 1);
        QCOMPARE(column(grid(&w), 0), QStringList{"超级管理员"});
        QVERIFY(!button(&w, "btnDel")->isEnabled());

        // With no group at all 修改 and 删除 answer as for the protected group; 新建 still inserts.
        t.exec("delete from 权限组");
        TfrmPrivilege empty;
        empty.show();
        p.expectMessage("超级管理员组不能修改").expectMessage("超级管理员不能删除").expectMessage(kSaved);
        empty.btnMdfClick();
        empty.btnDelClick();
        empty.btnNewClick();
        edit(&empty, "edtGroup")->setText("新组");
        empty.btnNewClick();
        QCOMPARE(count(t, "权限组"), 1);
        QVERIFY(p.verifyDone());
    }

    // Two administrators saving the same new name: one of them is refused.
    void nameCheckedInsideTheSave()
    {
        TestDb t;
        const QString failure = runClients(t, 4, [](int, Connection &c) {
            PrivilegeStore(c).add("并发组", "", PrivilegeFlags{});
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(count(t, "权限组", "组='并发组'"), 1);
    }
};

ORV_DB_TEST_MAIN(TestPrivileges)
#include "tst_db_privileges.moc"
