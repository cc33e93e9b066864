// Versioned schema steps: older databases brought up to date, newer ones refused, seeds per
// subsystem, and clients meeting an empty database at once.
#include "testdb.h"
#include "data/schema.h"


using namespace orv;
using namespace orv::test;

namespace {
int g_amended = 0;
}

class TestSchema : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Schema::addTables("zz", 1, {{"测试表", "create table 测试表 (流水号 {ID}, 名称 VARCHAR(50))"}},
                          [](Connection &c) { c.exec("insert into 测试表(名称) values('种子')"); });
        Schema::addStep("zz", 2, [](Connection &c) {
            ++g_amended;
            c.exec("alter table 测试表 add column 数量 NUMERIC(19,4)");
        });
    }

    void stepsRunOnceInOrder()
    {
        g_amended = 0;
        TestDb t;
        QCOMPARE(Schema::storedVersion(t.conn(), "zz"), 2);
        QCOMPARE(Schema::storedVersion(t.conn(), "app"), Schema::latestVersion("app"));
        QCOMPARE(g_amended, 1);
        t.exec("insert into 测试表(名称, 数量) values('x', 1.5)");
        t.conn().open(t.settings());
        QCOMPARE(g_amended, 1); // nothing runs twice
        QCOMPARE(t.scalar("select count(*) from 测试表 where 名称 = '种子'").toInt(), 1);
    }

    // A database made before versions were kept: its tables stay, no seed runs again, the
    // missing steps run.
    void olderDatabaseIsBroughtUpToDate()
    {
        TestDb t;
        t.conn().exec("drop table 架构版本");
        t.conn().exec("alter table 测试表 drop column 数量");
        g_amended = 0;
        t.conn().open(t.settings());
        QCOMPARE(g_amended, 1);
        QCOMPARE(Schema::storedVersion(t.conn(), "zz"), 2);
        QCOMPARE(t.scalar("select count(*) from 权限组").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 测试表").toInt(), 1);
    }

    void newerDatabaseIsRefused()
    {
        TestDb t;
        t.exec("update 架构版本 set 版本 = 99 where 子系统 = 'zz'");
        try {
            t.conn().open(t.settings());
            QFAIL("a newer database was opened");
        } catch (const DatabaseUnusable &e) {
            QCOMPARE(e.message(), QString("数据库由较新版本的程序建立（zz 第99版，本程序只认识到第2版），请升级程序后再连接"));
        }
        QVERIFY(!t.conn().isOpen());
    }

    // A subsystem new to a database that is in use gets its tables and its seed.
    void newSubsystemIsSeeded()
    {
        TestDb t;
        Schema::addTables("late", 1, {{"后来表", "create table 后来表 (名称 VARCHAR(50))"}},
                          [](Connection &c) { c.exec("insert into 后来表 values('种子')"); });
        t.conn().open(t.settings());
        QCOMPARE(t.scalar("select count(*) from 后来表").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 权限组").toInt(), 1);
    }

    // Two clients starting on one empty database take turns: one set of tables, one seed.
    void twoClientsOnAnEmptyDatabase()
    {
        TestDb t;
        ConnectionSettings s = t.settings();
        if (TestDb::isPostgres()) {
            s.database = t.settings().database + "_empty";
            t.conn().exec("create database " + s.database);
        } else {
            s.sqliteFile = t.dir() + "/empty.db";
        }
        const QString failure = runClients(
            2, [&](int n) { return std::make_unique<Connection>(QString("starter%1").arg(n)); },
            [&](int, Connection &c) { c.open(s); });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        Connection check("check");
        check.open(s, Connection::SchemaMode::Leave);
        QSqlQuery q(check.db());
        QVERIFY(q.exec("select count(*) from 用户管理"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        q = QSqlQuery();
        check.close();
        if (TestDb::isPostgres())
            t.conn().exec("drop database " + s.database + " with (force)");
    }
};

ORV_DB_TEST_MAIN(TestSchema)
#include "tst_db_schema.moc"
