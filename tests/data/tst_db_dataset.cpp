// The dataset layer and the transaction guard, on both databases.
#include "testdb.h"
#include "data/schema.h"

using namespace orv;
using namespace orv::test;

class TestDataSet : public QObject {
    Q_OBJECT
private slots:
    void flagsReadAsTrueFalse()
    {
        TestDb t;
        DataSet &q = frmDataModule->ADOQuery(1);
        q.setSql("select * from 权限组 where 组=?");
        q.addBindValue(QString("超级管理员"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldCount(), 58);
        QCOMPARE(q.fields(3).asString(), QString("True"));
        QCOMPARE(q.fields(57).asString(), QString("True"));
        QCOMPARE(q.fieldByName("组").asString(), QString("超级管理员"));

        q.setSql("select 禁用 from 用户管理");
        q.open();
        QCOMPARE(q.fields(0).asString(), QString("False"));
    }

    // Only what the data layer writes for true reads "True"; SQLite keeps any text a flag
    // column was given, and such text must not open a menu entry.
    void onlyTrueValuesReadTrue_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("true") << QVariant(true) << "True";
        QTest::newRow("false") << QVariant(false) << "False";
        QTest::newRow("1") << QVariant(1) << "True";
        QTest::newRow("'1'") << QVariant("1") << "True";
        for (const char *text : {"no", "off", "abc", " True", "true", "0"})
            QTest::newRow(text) << QVariant(QString(text)) << "False";
        QTest::newRow("2") << QVariant(2) << "False";
    }
    void onlyTrueValuesReadTrue()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, read);
        TestDb t;
        if (TestDb::isPostgres() && stored.typeId() != QMetaType::Bool)
            QSKIP("a PostgreSQL boolean holds nothing but true and false");
        t.exec("update 权限组 set 系统初始化 = ?", {stored});
        DataSet &q = frmDataModule->ADOQuery(1);
        q.setSql("select * from 权限组");
        q.open();
        QCOMPARE(q.fieldByName("系统初始化").asString(), read);
        QCOMPARE(q.fieldByName("系统初始化").asBoolean(), read == "True");
    }

    void cursorAndLocate()
    {
        TestDb t;
        for (int i = 0; i < 5; ++i)
            t.exec("insert into 日志(时间,用户,事件) values(?,?,?)", {QString("t%1").arg(i), QString("u%1").arg(i), "x"});
        DataSet q(&t.conn());
        q.setSql("select 用户 from 日志 order by 流水号");
        q.open();
        QCOMPARE(q.recordCount(), 5);
        QStringList seen;
        for (q.first(); !q.eof(); q.next())
            seen << q.fieldByName("用户").asString();
        QCOMPARE(seen, QStringList({"u0", "u1", "u2", "u3", "u4"}));
        QVERIFY(q.locate("用户", "u3"));
        QCOMPARE(q.recNo(), 4);
        QVERIFY(!q.locate("用户", "U3"));
        QVERIFY(q.locate("用户", "U3", true));
        QVERIFY_THROWS_EXCEPTION(DbError, q.fieldByName("nope"));

        q.setSql("select 用户 from 日志 where 1=0");
        q.open();
        QVERIFY(q.eof());
        QCOMPARE(q.recordCount(), 0);
        QVERIFY(q.fieldByName("用户").asString().isEmpty());
    }

    void manyRowsAcrossBlocks()
    {
        TestDb t;
        {
            Transaction tx(t.conn());
            DataSet ins(&t.conn());
            for (int i = 0; i < 2500; ++i) {
                ins.setSql("insert into 日志(时间,用户,事件) values(?,?,?)");
                ins.addBindValue(QString::number(i));
                ins.addBindValue(QString("u%1").arg(i));
                ins.addBindValue("x");
                ins.execSQL();
            }
            tx.commit();
        }
        DataSet q(&t.conn());
        q.setSql("select 时间,用户 from 日志 order by 流水号");
        q.open();
        QCOMPARE(q.recordCount(), 2500);
        int n = 0;
        for (q.first(); !q.eof(); q.next())
            QCOMPARE(q.fieldByName("用户").asString(), QString("u%1").arg(n++));
        QCOMPARE(n, 2500);
        q.last();
        QCOMPARE(q.fields(0).asString(), QString("2499"));
        QVERIFY(q.locate("用户", "u1024"));
        QCOMPARE(q.recNo(), 1025);
        q.prior();
        QCOMPARE(q.fields(1).asString(), QString("u1023"));
    }

    // A copy (a list model's rows) keeps its rows when the dataset it came from is opened
    // again and when other datasets open: memory of closed rows is reused only when nothing
    // reads it any more.
    void copyKeepsRowsWhenOriginalReopens()
    {
        TestDb t;
        const int rows = 1500; // more than one block of rows
        t.exec("with recursive s(i) as (select 0 union all select i + 1 from s where i < ?) "
               "insert into 日志(时间,用户,事件) select cast(i as varchar(30)), 'u' || cast(i as varchar(30)), "
               "'e' || cast(i as varchar(30)) from s",
               {rows - 1});
        DataSet q(&t.conn());
        q.setSql("select 用户 from 日志 order by 流水号");
        q.open();
        DataSet copy = q;
        q.setSql("select 事件 from 日志 order by 流水号");
        q.open();
        {
            DataSet other(&t.conn());
            other.setSql("select 时间, 事件 from 日志");
            other.open();
            QCOMPARE(other.recordCount(), rows);
        }
        DataSet third(&t.conn());
        third.setSql("select 时间 from 日志 order by 流水号");
        third.open();
        QCOMPARE(copy.recordCount(), rows);
        int n = 0;
        for (copy.first(); !copy.eof(); copy.next(), ++n) {
            QCOMPARE(copy.fields(0).asString(), QString("u%1").arg(n));
            q.setRecNo(n + 1);
            QCOMPARE(q.fields(0).asString(), QString("e%1").arg(n));
            third.setRecNo(n + 1);
            QCOMPARE(third.fields(0).asString(), QString::number(n));
        }
        QCOMPARE(n, rows);
    }

    void quoteIsJustText()
    {
        TestDb t;
        DataSet q(&t.conn());
        q.setSql("insert into 日志(时间,用户,事件) values(?,?,?)");
        q.addBindValue("2026-01-01   00:00:00");
        q.addBindValue("o'brien'; drop table 日志; --");
        q.addBindValue("登录系统");
        QCOMPARE(q.execSQL(), 1);
        QCOMPARE(t.scalar("select 用户 from 日志").toString(), QString("o'brien'; drop table 日志; --"));
    }

    void transactionAllOrNothing()
    {
        TestDb t;
        try {
            Transaction tx(t.conn());
            t.exec("insert into 日志(时间,用户,事件) values('a','b','c')");
            {
                Transaction inner(t.conn()); // joins
                t.exec("insert into 日志(时间,用户,事件) values('a','b','d')");
                inner.commit();
            }
            t.conn().exec("insert into no_such_table values(1)");
            tx.commit();
            QFAIL("should have thrown");
        } catch (const DbError &) {
        }
        QCOMPARE(t.scalar("select count(*) from 日志").toInt(), 0);
        {
            Transaction tx(t.conn());
            t.exec("insert into 日志(时间,用户,事件) values('a','b','c')");
            tx.commit();
        }
        QCOMPARE(t.scalar("select count(*) from 日志").toInt(), 1);
    }
};

ORV_DB_TEST_MAIN(TestDataSet)
#include "tst_db_dataset.moc"
