// The connection's lifetime: failed commits, reconnects, a lost server, durable commits.
#include "tcpproxy.h"
#include "testdb.h"
#include "data/dbconnection.h"
#include "data/dataset.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QTcpServer>
#include <QSqlQuery>

#include <csignal>

using namespace orv;
using namespace orv::test;

namespace {
// The test server as the proxy reaches it.
std::unique_ptr<TcpProxy> proxyTo(const TestDb &t)
{
    const QString server = t.serverName();
    return std::make_unique<TcpProxy>(server.section(':', 0, 0), quint16(server.section(':', 1).toUInt()));
}

ConnectionSettings through(const TestDb &t, const TcpProxy &proxy)
{
    ConnectionSettings s = t.settings();
    s.server = QString("127.0.0.1:%1").arg(proxy.port());
    return s;
}
} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    // A prepared statement freed where PostgreSQL cannot free it (a failed transaction, a
    // closed or dead connection) says so on stderr, at the end of every run.
    void init() { QTest::failOnWarning(QRegularExpression("Unable to free statement")); }

    // The embedded database writes ahead and syncs every commit: a reported save survives.
    void embeddedCommitsAreDurable()
    {
        if (TestDb::isPostgres())
            QSKIP("the embedded database only");
        TestDb t;
        QCOMPARE(t.scalar("PRAGMA journal_mode").toString(), QString("wal"));
        QCOMPARE(t.scalar("PRAGMA synchronous").toInt(), 2); // FULL
    }

    // A refused COMMIT ends the transaction: the error is reported, the connection stays usable.
    void failedCommitLeavesConnectionUsable()
    {
        TestDb t;
        if (!TestDb::isPostgres())
            t.conn().exec("PRAGMA foreign_keys = ON");
        t.conn().exec("create table p (id integer primary key)");
        t.conn().exec("create table c (pid integer references p(id) deferrable initially deferred)");
        {
            Transaction tx(t.conn());
            t.exec("insert into c values (42)"); // the check waits for the commit
            QVERIFY_THROWS_EXCEPTION(DbError, tx.commit());
        }
        QVERIFY(!t.conn().inTransaction());
        {
            Transaction tx(t.conn());
            t.exec("insert into p values (42)");
            t.exec("insert into c values (42)");
            tx.commit();
        }
        QCOMPARE(t.scalar("select count(*) from c").toInt(), 1);
    }

    // Statements kept by a service are prepared again when the connection is opened anew
    // (数据库配置 switching the connection): the next save works.
    void keptStatementsSurviveAReopen()
    {
        TestDb t;
        Statement insert(t.conn(), "insert into 日志(时间,用户,事件) values(?,?,?)");
        insert.exec({"t", "u", "one"});
        const quint64 before = t.conn().generation();
        t.conn().open(t.settings());
        QVERIFY(t.conn().generation() != before);
        insert.exec({"t", "u", "two"});
        QCOMPARE(t.scalar("select count(*) from 日志").toInt(), 2);
        t.conn().close();
        QVERIFY_THROWS_EXCEPTION(DbError, insert.exec({"t", "u", "three"}));
    }

    // Values go to the server and come back through a kept statement as the Qt drivers hand
    // them over: NULLs (a null text is NULL, an empty one is not), texts with quotes and question
    // marks, bytes with zeros, numbers at their full precision.
    void keptStatementValuesRoundTrip()
    {
        TestDb t;
        t.conn().exec(QString("create table rt (k integer, t varchar(50), n numeric, b %1, d varchar(50))")
                          .arg(t.conn().isSqlite() ? "blob" : "bytea"));
        Statement put(t.conn(), "insert into rt (k, t, n, b, d) values (?, ?, ?, ?, ?)");
        const QByteArray bytes("a\0b'\xff", 5);
        put.exec({1, QString(), QVariant(), QVariant(QMetaType::fromType<QByteArray>()), "x"});
        put.exec({2, QString(""), 0.1 + 0.2, bytes, "它's ? -- 不是注释"});
        put.exec({3, QString("货品'?\"名"), 123456789.1234, QByteArray(""), QVariant()});
        Statement get(t.conn(), "select k, t, n, b, d from rt where k = ? or t = '?' order by k");
        for (const auto &[k, text, number, isNullText] :
             {std::tuple{1, QString(), 0.0, true}, std::tuple{2, QString(""), 0.3, false},
              std::tuple{3, QString("货品'?\"名"), 123456789.1234, false}}) {
            StatementResult &q = get.exec({k});
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), k);
            QCOMPARE(q.value(1).isNull(), isNullText);
            QCOMPARE(q.value(1).toString(), text);
            QVERIFY(qAbs(q.value(2).toDouble() - number) < 1e-9);
            if (k == 2) {
                QCOMPARE(q.value(3).toByteArray(), bytes);
                QCOMPARE(q.value(4).toString(), QString("它's ? -- 不是注释"));
            }
            QVERIFY(!q.next());
            q.finish();
        }
        QCOMPARE(numberedPlaceholders("select '?', \"a?\", ? -- ?\n, ?"), QString("select '?', \"a?\", $1 -- ?\n, $2"));
    }

    // The server drops our session: the operator is told once, the connection is open anew,
    // nothing is repeated, and the next action works.
    void lostServerReconnects()
    {
        if (!TestDb::isPostgres())
            QSKIP("an embedded database cannot go away");
        TestDb t;
        Statement insert(t.conn(), "insert into 日志(时间,用户,事件) values(?,?,?)");
        insert.exec({"t", "u", "before"});
        const int pid = t.scalar("select pg_backend_pid()").toInt();
        auto other = t.secondClient("killer");
        other->exec("select pg_terminate_backend(?)", {pid});
        QTest::qWait(100);
        try {
            Transaction tx(t.conn());
            insert.exec({"t", "u", "lost"});
            tx.commit();
            QFAIL("a statement on a dead session succeeded");
        } catch (const ConnectionLost &e) {
            QCOMPARE(e.message(), QString("数据库连接已断开，已重新连接，请重试该操作"));
            QVERIFY(!e.detail().isEmpty()); // the driver's words go to the log
        }
        QVERIFY(t.conn().isOpen());
        QVERIFY(!t.conn().inTransaction());
        insert.exec({"t", "u", "after"});
        QCOMPARE(t.scalar("select count(*) from 日志 where 事件 = 'lost'").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 日志").toInt(), 2);
    }

    // Statements that failed inside a transaction are freed once it is rolled back (whole or
    // to a savepoint); kept ones before their connection closes.
    void statementsAreFreedWhereTheServerTakesIt()
    {
        TestDb t;
        t.conn().exec("create table u (k integer unique)");
        Statement kept(t.conn(), "insert into u values (?)");
        kept.exec({1});
        {
            Transaction tx(t.conn());
            QVERIFY_THROWS_EXCEPTION(UniqueViolation, t.conn().exec("insert into u values (?)", {1}));
        }
        {
            Transaction tx(t.conn());
            t.conn().savepoint("s");
            DataSet q(&t.conn());
            q.setSql("insert into u values (?)");
            q.addBindValue(1);
            QVERIFY_THROWS_EXCEPTION(UniqueViolation, q.execSQL());
            t.conn().rollbackTo("s");
            t.conn().release("s");
            kept.exec({2});
            tx.commit();
        }
        {
            Transaction tx(t.conn());
            QVERIFY_THROWS_EXCEPTION(UniqueViolation, kept.exec({2}));
        }
        QCOMPARE(t.scalar("select count(*) from u").toInt(), 2);
        t.conn().close();
    }

    // A server that takes the connection and never answers (a host gone quiet): the attempt gives
    // up by itself instead of holding the window; without a timeout this waits for ever.
    void silentServerGivesUp()
    {
        if (!TestDb::isPostgres())
            QSKIP("a PostgreSQL server only");
        TestDb t;
        QTcpServer silent; // never accepts: the kernel completes the handshake, nobody speaks
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        ConnectionSettings s = t.settings();
        s.server = QString("127.0.0.1:%1").arg(silent.serverPort());
        Connection c(QStringLiteral("silent"));
        QVERIFY_THROWS_EXCEPTION(DbError, c.open(s, Connection::SchemaMode::Leave));
        QVERIFY(!c.isOpen());
    }

    // A server that stops answering (a path that swallows everything, without a word): the
    // operator hears of it within seconds of the last answer, nothing of the transaction is
    // kept, and once the path is back the next action works. Without a watch the statement
    // waits for ever.
    void silentServerIsGivenUp_data()
    {
        QTest::addColumn<bool>("rows");
        QTest::newRow("a statement waits for its answer") << false;
        QTest::newRow("rows stop coming halfway") << true;
    }
    void silentServerIsGivenUp()
    {
        if (!TestDb::isPostgres())
            QSKIP("a PostgreSQL server only");
        QFETCH(bool, rows);
        TestDb t;
        t.conn().exec("create table 记账 (x integer)");
        auto proxy = proxyTo(t);
        Connection c(QStringLiteral("quiet"));
        c.open(through(t, *proxy), Connection::SchemaMode::Leave);
        DataSet settings(&c);
        settings.setSql("select current_setting('tcp_keepalives_idle'), current_setting('tcp_user_timeout')");
        settings.open();
        // The server gives up on a silent client as quickly, and rolls its work back.
        QCOMPARE(settings.fields(0).asString(), QString("5"));
        QCOMPARE(settings.fields(1).asString(), QString("10000"));
        QElapsedTimer waited;
        try {
            Transaction tx(c);
            c.exec("insert into 记账 values (1)");
            if (rows) {
                proxy->swallow(64 * 1024);
                waited.start();
                DataSet q(&c);
                q.setSql("select g, repeat('x', 100) from generate_series(1, 200000) g");
                q.open();
            } else {
                proxy->swallow();
                waited.start();
                c.exec("insert into 记账 values (2)");
            }
            tx.commit();
            QFAIL("a statement on a silent server succeeded");
        } catch (const ConnectionLost &e) {
            QCOMPARE(e.message(), QString("数据库连接已断开，重新连接失败，请检测数据库连接！"));
        }
        QVERIFY2(waited.elapsed() < 15000, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(!c.isOpen());
        QVERIFY(!c.inTransaction());
        QCOMPARE(t.scalar("select count(*) from 记账").toInt(), 0);

        proxy->forwardNew();
        c.exec("insert into 记账 values (3)");
        QCOMPARE(t.scalar("select count(*) from 记账").toInt(), 1);
        c.close();
        // The cut-off session ends with its path, its transaction rolled back.
        proxy.reset();
        QTRY_COMPARE(t.scalar("select count(*) from pg_stat_activity where datname = current_database()"
                              " and state like 'idle in transaction%'")
                         .toInt(),
                     0);
        QCOMPARE(t.scalar("select count(*) from 记账").toInt(), 1);
    }

    // Only our session's backend stops (the rest of the server answers and still lists it): the
    // statement it never reads is given up as quickly.
    void stoppedBackendIsGivenUp()
    {
        if (!TestDb::isPostgres())
            QSKIP("a PostgreSQL server only");
        TestDb t;
        t.conn().exec("create table 记账 (x integer)");
        auto proxy = proxyTo(t);
        Connection c(QStringLiteral("stopped"));
        c.open(through(t, *proxy), Connection::SchemaMode::Leave);
        DataSet who(&c);
        who.setSql("select pg_backend_pid()");
        who.open();
        const pid_t backend = pid_t(who.fields(0).asInteger());
        if (::kill(backend, SIGSTOP) != 0)
            QSKIP("the server's processes cannot be stopped from here");
        const auto resume = qScopeGuard([backend] { ::kill(backend, SIGCONT); });
        QElapsedTimer waited;
        waited.start();
        try {
            Transaction tx(c);
            c.exec("insert into 记账 values (1)");
            tx.commit();
            QFAIL("a statement on a stopped backend succeeded");
        } catch (const ConnectionLost &e) {
            // The rest of the server answers, so the connection is made again at once.
            QCOMPARE(e.message(), QString(kReconnected));
        }
        QVERIFY2(waited.elapsed() < 15000, qPrintable(QString::number(waited.elapsed())));
        ::kill(backend, SIGCONT);
        // Woken, the old backend may still read the statement, but its transaction never commits.
        QTRY_COMPARE(t.scalar("select count(*) from pg_stat_activity where pid = ?", {int(backend)}).toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from 记账").toInt(), 0);
        c.exec("insert into 记账 values (2)");
        QCOMPARE(t.scalar("select count(*) from 记账").toInt(), 1);
    }

    // A statement that runs long on a server that still answers is never cut, however long
    // the server takes before its first row.
    void longStatementGoesOn()
    {
        if (!TestDb::isPostgres())
            QSKIP("a PostgreSQL server only");
        TestDb t;
        auto proxy = proxyTo(t);
        Connection c(QStringLiteral("long"));
        c.open(through(t, *proxy), Connection::SchemaMode::Leave);
        QElapsedTimer took;
        took.start();
        DataSet q(&c);
        q.setSql("select 1 as x from pg_sleep(7)");
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(took.elapsed() >= 7000);
        c.close();
    }

    // Driver words never reach the operator: the message is ours, the detail the driver's.
    void driverTextStaysInTheLog()
    {
        TestDb t;
        try {
            t.conn().exec("insert into no_such_table values (1)");
            QFAIL("no error");
        } catch (const DbError &e) {
            QCOMPARE(e.message(), QString("数据库操作失败，请重试"));
            QVERIFY(e.detail().contains("no_such_table"));
        }
        t.conn().exec("create table u (k integer unique)");
        t.exec("insert into u values (1)");
        QVERIFY_THROWS_EXCEPTION(UniqueViolation, t.conn().exec("insert into u values (1)"));
    }
};

ORV_DB_TEST_MAIN(TestConnection)
#include "tst_db_connection.moc"
