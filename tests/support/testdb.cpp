#include "testdb.h"
#include "data/schema.h"
#include "common/paths.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

namespace orv::test {

bool TestDb::isPostgres() { return qEnvironmentVariable("ORV_TEST_BACKEND") == "pg"; }

bool postgresUnavailable() { return TestDb::isPostgres() && qEnvironmentVariableIsEmpty("ORV_TEST_PG_HOST"); }

namespace {
ConnectionSettings pgServer()
{
    ConnectionSettings s;
    s.server = qEnvironmentVariable("ORV_TEST_PG_HOST");
    s.user = qEnvironmentVariable("ORV_TEST_PG_USER", "postgres");
    s.password = qEnvironmentVariable("ORV_TEST_PG_PASSWORD");
    return s;
}

void adminExec(const QString &sql)
{
    const QString name = "orv_test_admin";
    {
        ConnectionSettings s = pgServer();
        QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", name);
        QString host = s.server;
        int port = 5432;
        if (host.contains(':')) {
            port = host.section(':', 1).toInt();
            host = host.section(':', 0, 0);
        }
        d.setHostName(host);
        d.setPort(port);
        d.setUserName(s.user);
        d.setPassword(s.password);
        d.setDatabaseName("postgres");
        if (!d.open())
            qFatal("cannot reach the PostgreSQL test server: %s", qPrintable(d.lastError().text()));
        QSqlQuery q(d);
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        d.close();
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

TestDb::TestDb()
{
    registerAppSchema();
    Paths::setConfigDirOverride(m_dir.path());
    if (isPostgres()) {
        static int counter = 0;
        m_pgDatabase = QString("orv_t_%1_%2_%3")
                           .arg(QCoreApplication::applicationPid())
                           .arg(++counter)
                           .arg(QUuid::createUuid().toString(QUuid::Id128).left(6));
        adminExec("create database " + m_pgDatabase + " encoding 'UTF8' template template0");
        setDefaultDatabaseName(m_pgDatabase);
        m_settings = pgServer();
    } else {
        m_settings.server = "(local)";
        m_settings.user = "sa";
    }
    if (!frmDataModule)
        frmDataModule = new TfrmDataModule();
    frmDataModule->ADOConnection1.open(m_settings);
}

TestDb::~TestDb()
{
    if (frmDataModule) {
        delete frmDataModule.data();
        frmDataModule = nullptr;
    }
    if (!m_pgDatabase.isEmpty())
        adminExec("drop database if exists " + m_pgDatabase + " with (force)");
    Paths::setConfigDirOverride(QString());
    setDefaultDatabaseName(QString());
}

std::unique_ptr<Connection> TestDb::secondClient(const QString &name)
{
    auto c = std::make_unique<Connection>(name);
    c->open(m_settings);
    return c;
}

namespace {
QSqlQuery run(Connection &c, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(c.db());
    if (!q.prepare(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const auto &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}
} // namespace

QVariant TestDb::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = run(conn(), sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

void TestDb::exec(const QString &sql, const QVariantList &binds) { run(conn(), sql, binds); }

QString runClients(int clients, const std::function<std::unique_ptr<Connection>(int)> &connect,
                   const std::function<void(int, Connection &)> &body)
{
    std::mutex m;
    QString failure;
    auto fail = [&](int n, const QString &what) {
        const std::lock_guard<std::mutex> lock(m);
        if (failure.isEmpty())
            failure = QString("client %1: %2").arg(n).arg(what);
    };
    // Connecting takes long against a body: without a common start the bodies would not overlap.
    std::latch connected(clients);
    std::vector<std::thread> threads;
    for (int n = 0; n < clients; ++n)
        threads.emplace_back([&, n] {
            std::unique_ptr<Connection> c;
            try {
                c = connect(n);
            } catch (const std::exception &e) {
                fail(n, QString::fromUtf8(e.what()));
            }
            connected.arrive_and_wait();
            if (!c)
                return;
            try {
                body(n, *c);
            } catch (const std::exception &e) {
                fail(n, QString::fromUtf8(e.what()));
            }
        });
    for (auto &t : threads)
        t.join();
    return failure;
}

QString runClients(TestDb &t, int clients, const std::function<void(int, Connection &)> &body)
{
    return runClients(
        clients, [&](int n) { return t.secondClient(QString("client%1").arg(n)); }, body);
}

QString runClients(TestDb &t, int clients, HoldOpen hold, const std::function<bool(int, Connection &)> &save)
{
    return runClients(t, clients, [&](int n, Connection &c) {
        Transaction tx(c);
        const bool saved = save(n, c);
        std::this_thread::sleep_for(hold.time);
        if (saved)
            tx.commit();
    });
}

} // namespace orv::test
