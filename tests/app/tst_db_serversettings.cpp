// The two server settings windows: what they write, how they connect, what they say.
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/frmfindserver.h"
#include "app/frmserver.h"
#include "app/frmserver1.h"
#include "app/lifecycle.h"
#include "app/windowing.h"
#include "data/schema.h"
#include "data/serverconfig.h"
#include "common/configini.h"
#include "common/paths.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace orv;
using namespace orv::test;

class TestServerSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetProgramTerminated();
        G = AppGlobals{};
    }

    void startupWindowSavesConnectsAndEnds()
    {
        TestDb t;
        ScriptedPrompt p;
        p.expectMessage("数据库连接成功，请重新启动仓库管理系统！");
        TfrmServer w;
        w.serverEdit->setText("  " + t.serverName() + " ");
        w.userEdit->setText(" " + t.settings().user);
        w.passwordEdit->setText(t.settings().password);
        w.BitBtn2Click();
        QVERIFY(programTerminated());
        ServerConfig cfg;
        QVERIFY(readConfigIni(Paths::configFile(), cfg));
        QCOMPARE(cfg.server, "  " + t.serverName() + " "); // stored as typed
        QCOMPARE(G.gServerName, t.serverName());            // connection trimmed
        QVERIFY(t.conn().isOpen());
        if (t.settings().password.isEmpty())
            QVERIFY(cfg.passwordCipher.isEmpty());
    }

    void startupWindowFailureStaysOpen()
    {
        TestDb t;
        ScriptedPrompt p;
        p.expectMessage("连接失败，请确认数据库用户名及密码");
        TfrmServer w;
        w.show();
        w.serverEdit->setText("127.0.0.1:1");
        w.userEdit->setText("sa");
        w.BitBtn2Click();
        QVERIFY(w.isVisible());
        QVERIFY(!programTerminated());
        // Whatever was written stays in config.ini.
        ServerConfig cfg;
        QVERIFY(readConfigIni(Paths::configFile(), cfg));
        QCOMPARE(cfg.server, QString("127.0.0.1:1"));
        w.BitBtn3Click(); // closing it, any way, ends the program
        QVERIFY(programTerminated());
    }

    void menuWindowSwitchesOnlyAfterASuccessfulTest()
    {
        TestDb t;
        QVERIFY(writeConfigIni(Paths::configFile(), t.serverName(), t.settings().user, t.settings().password));
        QFile f(Paths::configFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        ScriptedPrompt p;
        p.expectMessage("数据库连接失败!请确认数据库用户名及密码");
        TfrmServer1 w;
        w.serverEdit->setText("127.0.0.1:1");
        w.userEdit->setText("sa");
        w.BitBtn2Click();
        QVERIFY(t.conn().isOpen()); // the running program keeps its connection
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();

        p.expectMessage("数据库连接成功!");
        w.serverEdit->setText(t.serverName() + "  ");
        w.userEdit->setText(t.settings().user);
        w.passwordEdit->setText(t.settings().password);
        w.BitBtn2Click();
        QVERIFY(t.conn().isOpen());
        QVERIFY(!programTerminated());
        ServerConfig cfg;
        QVERIFY(readConfigIni(Paths::configFile(), cfg));
        QCOMPARE(cfg.server, t.serverName() + "  ");
    }

    // A server that answers with a database this program cannot use: the operator reads why,
    // and the program goes on with the database and config.ini it had.
    void menuWindowKeepsTheRunningDatabaseWhenTheNewOneIsUnusable()
    {
        TestDb t;
        t.exec("update 架构版本 set 版本 = 99 where 子系统 = 'app'");
        ConnectionSettings running = t.settings();
        if (TestDb::isPostgres())
            running.database += "_run";
        else
            running.sqliteFile = t.dir() + "/running.db";
        t.conn().open(running);
        QVERIFY(writeConfigIni(Paths::configFile(), t.serverName() + " ", t.settings().user, t.settings().password));
        QFile f(Paths::configFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        G.gServerName = "运行中";

        ScriptedPrompt p;
        p.expectMessage(QString("数据库由较新版本的程序建立（app 第99版，本程序只认识到第%1版），请升级程序后再连接")
                            .arg(Schema::latestVersion("app")));
        TfrmServer1 w;
        w.serverEdit->setText(t.serverName());
        w.userEdit->setText(t.settings().user);
        w.passwordEdit->setText(t.settings().password);
        w.BitBtn2Click();

        QVERIFY(t.conn().isOpen());
        QCOMPARE(t.conn().settings().database, running.database);
        QCOMPARE(t.conn().settings().sqliteFile, running.sqliteFile);
        QCOMPARE(G.gServerName, QString("运行中"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();
        t.conn().exec("select 1"); // and it still answers
    }

    // Both windows have the system menu's border only; the menu window keeps its size.
    void bordersAndServerTooltip()
    {
        TestDb t;
        TfrmServer start;
        TfrmServer1 menu;
        for (ServerSettingsForm *w : {static_cast<ServerSettingsForm *>(&start), static_cast<ServerSettingsForm *>(&menu)}) {
            QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
            QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
            QVERIFY(w->windowFlags() & Qt::WindowSystemMenuHint);
            QVERIFY(w->serverEdit->toolTip().contains("(local)"));
            QVERIFY(w->serverEdit->toolTip().contains("PostgreSQL"));
        }
        QCOMPARE(menu.minimumSize(), menu.maximumSize());
        QVERIFY(start.minimumSize().width() >= start.sizeHint().width());
    }

    // The notice on the left tells what this program connects to: "(local)", its built-in
    // database, or a PostgreSQL server with a role and its password. Nothing of another product,
    // nor of a button the windows do not show.
    void noticeTellsWhatToEnter()
    {
        TestDb t;
        TfrmServer start;
        TfrmServer1 menu;
        auto lines = [](QWidget *w) { return w->findChild<QLabel *>("Label_notice")->text().split('\n'); };
        QCOMPARE(lines(&start), (QStringList{"服务器填写(local)，即使用", "本机内置的数据库，用户名",
                                             "和密码不用填写；或者填写", "PostgreSQL服务器的主机名",
                                             "或IP地址，可加“:端口”，", "用户名和密码是该服务器上",
                                             "PostgreSQL角色及其密码"}));
        QCOMPARE(lines(&menu), (QStringList{"服务器填写(local)，即使用本机", "内置的数据库，用户名和密码不用",
                                            "填写；或者填写PostgreSQL服务器", "的主机名或IP地址，可加“:端口”，",
                                            "用户名和密码是该服务器上", "PostgreSQL角色及其密码"}));
        TfrmFindServer finder;
        QCOMPARE(finder.windowTitle(), QString("检测数据库服务器"));
        QCOMPARE(finder.findChild<QLabel *>()->text(), QString("有效的数据库服务器"));
        for (QWidget *w : {static_cast<QWidget *>(&start), static_cast<QWidget *>(&menu), static_cast<QWidget *>(&finder)})
            for (const QLabel *l : w->findChildren<QLabel *>())
                for (const char *stale : {"SQL Server", "Sql Server", "sql server", "sa", "自动检测", "空密码"})
                    QVERIFY2(!l->text().contains(QLatin1String(stale)), qPrintable(l->text()));
        QVERIFY(!start.findChild<QPushButton *>("BitBtn1")->isVisibleTo(&start));
    }

    // Proving settings creates nothing: no database on the server, no file for the embedded one.
    void testingSettingsCreatesNothing()
    {
        TestDb t;
        ConnectionSettings s = t.settings();
        if (TestDb::isPostgres())
            s.database = "orv_probe_" + QString::number(QDateTime::currentMSecsSinceEpoch());
        else
            s.sqliteFile = t.dir() + "/new.db";
        QCOMPARE(testConnection(s), QString());
        if (TestDb::isPostgres())
            QCOMPARE(t.scalar("select count(*) from pg_database where datname = ?", {s.database}).toInt(), 0);
        else
            QVERIFY(!QFileInfo::exists(s.sqliteFile));
    }

    // The menu window closes the open child windows before it switches the connection.
    void switchingClosesChildWindows()
    {
        struct Host : ChildHost {
            QStringList closed;
            QWidget *showChild(const char *, const std::function<QWidget *()> &create) override { return create(); }
            void closeOtherChildren(const char *keep) override { closed << QString::fromLatin1(keep); }
        } host;
        TestDb t;
        QVERIFY(writeConfigIni(Paths::configFile(), t.serverName(), t.settings().user, t.settings().password));
        setChildHost(&host);
        ScriptedPrompt p;
        p.expectMessage("数据库连接失败!请确认数据库用户名及密码");
        TfrmServer1 w;
        w.serverEdit->setText("127.0.0.1:1");
        w.BitBtn2Click();
        QVERIFY(host.closed.isEmpty()); // a failed test keeps everything open
        p.expectMessage("数据库连接成功!");
        w.serverEdit->setText(t.serverName());
        w.userEdit->setText(t.settings().user);
        w.passwordEdit->setText(t.settings().password);
        w.BitBtn2Click();
        setChildHost(nullptr);
        QCOMPARE(host.closed, QStringList{""});
    }

    void menuWindowEnterMovesFocus()
    {
        TestDb t;
        TfrmServer1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.serverEdit->setFocus();
        QTest::keyClick(w.serverEdit, Qt::Key_Return);
        QVERIFY(w.userEdit->hasFocus());
        QTest::keyClick(w.userEdit, Qt::Key_Return);
        QVERIFY(w.passwordEdit->hasFocus());
        QTest::keyClick(w.passwordEdit, Qt::Key_Return);
        QVERIFY(w.okButton->hasFocus());
        QVERIFY(w.isVisible()); // Enter moved to 确定 without pressing it
    }
};

ORV_DB_TEST_MAIN(TestServerSettings)
#include "tst_db_serversettings.moc"
