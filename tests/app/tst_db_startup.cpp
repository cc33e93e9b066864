// Start-up branches, login, menu gating and the exit question, on both databases.
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/frmlogin.h"
#include "app/frmmain.h"
#include "app/lifecycle.h"
#include "app/menutree.h"
#include "data/schema.h"
#include "common/configini.h"
#include "common/paths.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>

#include <sys/stat.h>

using namespace orv;
using namespace orv::test;

namespace {
void writeConfig(TestDb &t, const QString &password = QString())
{
    QVERIFY(writeConfigIni(Paths::configFile(), t.serverName(), t.settings().user, password.isNull() ? t.settings().password : password));
}

// Drives the login window: types name and password and presses the login button.
std::function<int(QDialog *)> login(const QString &name, const QString &password)
{
    return [=](QDialog *d) {
        auto *w = qobject_cast<TfrmLogin *>(d);
        w->nameCombo->setEditText(name);
        w->passwordEdit->setText(password);
        w->loginButton->click();
        return w->result();
    };
}

QStringList visibleItems(TfrmMain &m)
{
    QStringList out;
    for (const auto &d : menuTree())
        if (!d.parent.isEmpty() && d.caption != "-" && m.menuItem(d.name)->isVisible())
            out << d.caption;
    return out;
}

void setGroupFlags(TestDb &t, const QString &value)
{
    // A second group with every flag at `value` and an operator in it.
    QString cols, marks;
    for (const auto &c : privilegeColumns()) {
        cols += "," + c;
        marks += ",?";
    }
    QVariantList binds{"普通组", ""};
    for (int i = 0; i < privilegeColumns().size(); ++i)
        binds << (value == "1");
    t.exec("insert into 权限组(组,描述" + cols + ") values(?,?" + marks + ")", binds);
    t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {"张三", "pw", "普通组", false});
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetProgramTerminated();
        G = AppGlobals{};
        G.gAppTitle = "Orvane仓库管理软件-标准版";
    }

    void noConfigOpensSettingsAndEnds()
    {
        TestDb t;
        QFile::remove(Paths::configFile());
        ScriptedPrompt p;
        bool settingsShown = false;
        p.expectModal([&](QDialog *d) {
            settingsShown = d->objectName() == "frmServer";
            d->reject();
            return 0;
        });
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Ended);
        QVERIFY(settingsShown);
        QVERIFY(programTerminated());
    }

    void connectionFailureAsks_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("retry");
        QTest::newRow("undecipherable password, no") << "" << "abc" << false;
        QTest::newRow("undecipherable password, yes") << "" << "a*c=" << true;
        QTest::newRow("refused connection, no") << "127.0.0.1:1" << "" << false;
    }
    void connectionFailureAsks()
    {
        QFETCH(QString, server);
        QFETCH(QString, cipher);
        QFETCH(bool, retry);
        TestDb t;
        QFile f(Paths::configFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QString("[ServerName]\r\nServerName=%1\r\n[UserID]\r\nUserID=sa\r\n[PassWord]\r\nPassWord=%2\r\n")
                    .arg(server.isEmpty() ? t.serverName() : server, cipher)
                    .toUtf8());
        f.close();
        ScriptedPrompt p;
        p.expectMessage("数据库连接失败,是否重新连接数据库?", retry ? QMessageBox::Yes : QMessageBox::No, "提示");
        if (retry)
            p.expectModal([](QDialog *d) {
                d->reject();
                return 0;
            });
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Ended);
        QVERIFY(programTerminated());
        QVERIFY(!frmLogin || !frmLogin->isVisible());
    }

    // A config.ini that is a FIFO or a device is one the program cannot read: the same question
    // as for an unreadable file, at once (a FIFO used to block the start-up for ever).
    void configThatIsNoFileAsks_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("fifo") << true;
        QTest::newRow("device") << false;
    }
    void configThatIsNoFileAsks()
    {
        QFETCH(bool, fifo);
        TestDb t;
        const QString cfg = Paths::configFile();
        QFile::remove(cfg);
        if (fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(cfg).constData(), 0600), 0);
        else
            QVERIFY(QFile::link("/dev/zero", cfg));
        ScriptedPrompt p;
        p.expectMessage("数据库连接失败,是否重新连接数据库?", QMessageBox::No, "提示");
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Ended);
        QVERIFY(programTerminated());
        QVERIFY(!frmLogin || !frmLogin->isVisible());
        QFile::remove(cfg);
    }

    // A file that is not a database is named before the usual question.
    void embeddedFileThatIsNoDatabase()
    {
        if (TestDb::isPostgres())
            QSKIP("the embedded database only");
        TestDb t;
        const QString path = t.dir() + "/text.db";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        Connection c("textdb");
        ConnectionSettings s = t.settings();
        s.sqliteFile = path;
        try {
            c.open(s);
            QFAIL("a text file was opened as a database");
        } catch (const DbError &e) {
            QCOMPARE(e.message(), QString("文件“%1”不是本系统的数据库").arg(path));
        }
        QVERIFY(!c.isOpen());
        t.conn().close();
        const QString db = Connection::sqlitePath(t.settings());
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(db + suffix);
        QVERIFY(QFile::copy(path, db));
        writeConfig(t);
        ScriptedPrompt p;
        p.expectMessage(QString("文件“%1”不是本系统的数据库").arg(Connection::sqlitePath(t.settings())));
        p.expectMessage("数据库连接失败,是否重新连接数据库?", QMessageBox::No, "提示");
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Ended);
    }

    void adminLogsInAndSeesEverything()
    {
        TestDb t;
        writeConfig(t);
        ScriptedPrompt p;
        p.expectModal(login("admin", "admin"));
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        QCOMPARE(G.gCurrentUser, QString("admin"));
        QCOMPARE(G.gCompanyName, QString("我的公司"));
        QCOMPARE(m.windowTitle(), QString("Orvane仓库管理软件-标准版"));
        QCOMPARE(m.panel(0)->text(), QString("登陆时间"));
        QCOMPARE(m.panel(3)->text(), QString("admin"));
        QCOMPARE(m.panel(5)->text(), QString("Orvane仓库管理软件-标准版"));
        QVERIFY(QDateTime::fromString(m.panel(1)->text(), "yyyy-MM-dd hh:mm:ss").isValid());
        m.Timer1Timer();
        QVERIFY(QDateTime::fromString(m.panel(7)->text(), "yyyy-MM-dd hh:mm:ss").isValid());
        const QStringList vis = visibleItems(m);
        QVERIFY(vis.contains("系统初始化"));
        QVERIFY(vis.contains("仓库调拨单"));
        QVERIFY(!vis.contains("销售退货审核"));
        QCOMPARE(t.scalar("select count(*) from 日志 where 用户='admin' and 事件='登录系统'").toInt(), 1);
        const QString when = t.scalar("select 时间 from 日志").toString();
        QVERIFY2(QDateTime::fromString(when, "yyyy-MM-dd   hh:mm:ss").isValid(), qPrintable(when));
    }

    void loginMessages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty name") << "" << "admin" << "用户名或密码不能为空!";
        QTest::newRow("empty password") << "admin" << "" << "用户名或密码不能为空!";
        QTest::newRow("wrong password") << "admin" << "nimda" << "用户名或密码错误,请重新输入！";
        QTest::newRow("password in other case") << "admin" << "ADMIN" << "用户名或密码错误,请重新输入！";
        QTest::newRow("disabled account") << "停用" << "pw" << "用户名不存在";
        QTest::newRow("unknown") << "nobody" << "pw" << "用户名不存在";
        QTest::newRow("quote in name") << "admin' or '1'='1" << "admin" << "用户名不存在";
        QTest::newRow("union in name") << "x' union select 'x','pw','超级管理员' --" << "pw" << "用户名不存在";
    }
    void loginMessages()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        TestDb t;
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {"停用", "pw", "超级管理员", true});
        ScriptedPrompt p;
        p.expectMessage(message, QMessageBox::Ok, "Orvane仓库管理软件-标准版");
        TfrmLogin w;
        w.nameCombo->setEditText(name);
        w.passwordEdit->setText(password);
        w.SpeedButton1Click();
        QVERIFY(!w.loggedIn());
        QCOMPARE(int(p.recorded().last().icon), int(QMessageBox::NoIcon)); // a plain notice
        QCOMPARE(w.nameCombo->currentText(), name); // fields stay as they were
        QCOMPARE(w.passwordEdit->text(), password);
        QCOMPARE(t.scalar("select count(*) from 日志").toInt(), 0);
        QVERIFY(G.gCurrentUser.isEmpty());
    }

    void nameListIncludesDisabled()
    {
        TestDb t;
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {"停用", "pw", "超级管理员", true});
        TfrmLogin w;
        w.nameCombo->setEditText("typed");
        w.cboNameEnter();
        QCOMPARE(w.nameCombo->count(), 2);
        QCOMPARE(w.nameCombo->itemText(1), QString("停用"));
        QCOMPARE(w.nameCombo->currentText(), QString("typed"));
    }

    void blankPasswordAndMissingGroup()
    {
        // A password of blanks is a password; a group that no longer exists gives no flags.
        TestDb t;
        writeConfig(t);
        t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {"孤儿", "   ", "已删除的组", false});
        ScriptedPrompt p;
        p.expectModal(login("孤儿", "   "));
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        QCOMPARE(G.gCurrentUser, QString("孤儿"));
        for (const QString &flag : G.gPrivileges)
            QVERIFY(flag.isEmpty());
        QVERIFY(!m.menuItem("N9")->isVisible());
        QVERIFY(m.menuItem("N54")->isVisible());
    }

    void loginClosedWithoutSuccessEnds()
    {
        TestDb t;
        writeConfig(t);
        ScriptedPrompt p;
        p.expectModal([](QDialog *d) {
            d->reject(); // Esc or the window manager's close
            return 0;
        });
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Ended);
        QVERIFY(programTerminated());
    }

    void gating_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::newRow("all false") << "0";
        QTest::newRow("all true") << "1";
    }
    void gating()
    {
        QFETCH(QString, flag);
        TestDb t;
        writeConfig(t);
        setGroupFlags(t, flag);
        ScriptedPrompt p;
        p.expectModal(login("张三", "pw"));
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        const QStringList vis = visibleItems(m);
        if (flag == "0") {
            // Ungoverned entries (and those inside hidden submenus, which stay hidden with them).
            QCOMPARE(vis, QStringList({"数据库配置", "退出系统", "客户地域", "仓位目录", "常见单位", "客商管理", "销售开单"}));
            QVERIFY(!m.menuItem("N10")->isVisible());
            QVERIFY(m.menuItem("N59")->isVisible());
        } else {
            int entries = 0;
            for (const auto &d : menuTree())
                entries += !d.parent.isEmpty() && d.caption != "-";
            QVERIFY(!vis.contains("销售退货审核"));
            QCOMPARE(vis.size(), entries - 1);
        }
    }

    void onlyExactTrueShows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shown");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("False") << "False" << false;
    }
    void onlyExactTrueShows()
    {
        QFETCH(QString, text);
        QFETCH(bool, shown);
        QCOMPARE(menuEntryVisible("N9", 49, text), shown);
        QVERIFY(!menuEntryVisible("N35", 34, text));
        QVERIFY(menuEntryVisible("N54", 0, text));
    }

    void exitQuestionAndLogRow()
    {
        TestDb t;
        writeConfig(t);
        {
            ScriptedPrompt p;
            p.expectModal(login("admin", "admin"));
            TfrmMain m;
            QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
            m.show();
            p.expectMessage("确认要退出本系统?", QMessageBox::No, "系统提示");
            QVERIFY(!m.close());
            QCOMPARE(int(p.recorded().last().icon), int(QMessageBox::Question));
            QVERIFY(!programTerminated());
            p.expectMessage("确认要退出本系统?", QMessageBox::Yes, "系统提示");
            QVERIFY(m.close());
            QVERIFY(programTerminated());
        }
        QCOMPARE(t.scalar("select count(*) from 日志 where 用户='admin' and 事件='退出系统'").toInt(), 1);
        const QString when = t.scalar("select 时间 from 日志 where 事件='退出系统'").toString();
        QVERIFY2(QDateTime::fromString(when, "yyyy-MM-dd   hh:mm:ss").isValid(), qPrintable(when));
    }

    void exitWithoutConnectionStillEnds()
    {
        TestDb t;
        writeConfig(t);
        ScriptedPrompt p;
        p.expectModal(login("admin", "admin"));
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        m.show();
        // The server went away: reopening for the exit row fails.
        ConnectionSettings gone = t.settings();
        gone.server = "127.0.0.1:1";
        QVERIFY_THROWS_EXCEPTION(DbError, t.conn().open(gone));
        p.expectMessage("确认要退出本系统?", QMessageBox::Yes, "系统提示");
        p.expectMessage("请检测数据库连接！");
        QVERIFY(m.close());
        QVERIFY(programTerminated());
    }

    void exitMenuWritesNoRow()
    {
        TestDb t;
        writeConfig(t);
        ScriptedPrompt p;
        p.expectModal(login("admin", "admin"));
        TfrmMain m;
        QCOMPARE(m.startUp(), TfrmMain::StartOutcome::Running);
        p.expectMessage("确认要退出本系统?", QMessageBox::No, "系统提示");
        m.menuItem("FileExitItem")->trigger(); // through the menu entry
        QVERIFY(!programTerminated());
        p.expectMessage("确认要退出本系统?", QMessageBox::Yes, "系统提示");
        m.FileExitItemClick();
        QVERIFY(programTerminated());
        QCOMPARE(t.scalar("select count(*) from 日志 where 事件='退出系统'").toInt(), 0);
    }
};

ORV_DB_TEST_MAIN(TestStartup)
#include "tst_db_startup.moc"
