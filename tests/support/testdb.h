#pragma once
// A fresh database for one test: a temporary SQLite file, or a throwaway PostgreSQL
// database when ORV_TEST_BACKEND=pg (server from ORV_TEST_PG_HOST, _USER, _PASSWORD).
// The shared data module is created on it, so windows and services run as in the program.
#include "data/datamodule.h"

#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <functional>
#include <memory>

namespace orv::test {

class TestDb {
public:
    // Registers the shell's tables; register a subsystem's own before constructing.
    TestDb();
    ~TestDb();

    static bool isPostgres();
    // Settings that reach this test's database (config.ini lives in dir()).
    ConnectionSettings settings() const { return m_settings; }
    // The server name as it would stand in config.ini.
    QString serverName() const { return m_settings.server; }
    QString dir() const { return m_dir.path(); }
    Connection &conn() { return frmDataModule->ADOConnection1; }
    // A second, independent connection to the same database (another client).
    std::unique_ptr<Connection> secondClient(const QString &name = QStringLiteral("second"));
    // Runs a statement and returns the first column of the first row.
    QVariant scalar(const QString &sql, const QVariantList &binds = {});
    void exec(const QString &sql, const QVariantList &binds = {});

private:
    QTemporaryDir m_dir;
    ConnectionSettings m_settings;
    QString m_pgDatabase;
};

// Several clients at once: `body(n, connection)` runs on `clients` threads, each on a
// connection of its own (from `connect(n)`, or to the test database), all starting when every
// client is connected. Returns the first failure's text, empty when every client got through.
QString runClients(int clients, const std::function<std::unique_ptr<Connection>(int)> &connect,
                   const std::function<void(int, Connection &)> &body);
QString runClients(TestDb &t, int clients, const std::function<void(int, Connection &)> &body);

// Saves at once, each held open: `save(n, connection)` runs inside a transaction of its client
// that stays open `time` after it, so the others save while the first to save still holds its
// save and its locks. The transaction commits when `save` returns true, rolls back when it
// returns false (a refused save, which has already undone its part).
struct HoldOpen {
    std::chrono::milliseconds time{300};
};
QString runClients(TestDb &t, int clients, HoldOpen hold, const std::function<bool(int, Connection &)> &save);

// Exit code that tells CTest a PostgreSQL run was skipped (no server given).
constexpr int kSkipCode = 77;
bool postgresUnavailable();

} // namespace orv::test

// main() for database tests: skips the PostgreSQL run when no server is given.
#define ORV_DB_TEST_MAIN(TestObject)                                                                 \
    int main(int argc, char *argv[])                                                                 \
    {                                                                                                \
        QApplication app(argc, argv);                                                                \
        if (orv::test::postgresUnavailable()) {                                                      \
            qInfo("PostgreSQL test server not given (ORV_TEST_PG_HOST); skipped");                   \
            return orv::test::kSkipCode;                                                             \
        }                                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                   \
        TestObject tc;                                                                               \
        return QTest::qExec(&tc, argc, argv);                                                        \
    }
