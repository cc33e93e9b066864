#pragma once
// The one shared database connection: SQLite embedded ("(local)") or a PostgreSQL server.
#include "data/serverwatch.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>
#include <stdexcept>

class QSqlError;
struct pg_conn;
struct pg_result;

namespace orv {

// What the operator reads is what(): a Chinese text. The driver's own words, when there are
// any, are in detail() and go to the log, never into a message box.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message, const QString &detail = QString());
    explicit DbError(const std::string &message) : DbError(QString::fromStdString(message)) {}
    explicit DbError(const char *message) : DbError(QString::fromUtf8(message)) {}
    QString message() const { return QString::fromUtf8(what()); }
    const QString &detail() const { return m_detail; }

private:
    QString m_detail;
};

// The server went away under a statement. The connection has been opened anew (or that
// failed, and says so); the action that failed is not repeated.
class ConnectionLost : public DbError {
public:
    using DbError::DbError;
};

// The database cannot serve this program at all (not a database, not writable, written by a
// newer program): the operator must read why.
class DatabaseUnusable : public DbError {
public:
    using DbError::DbError;
};

// A statement broke a unique index (a number or code another client took first).
class UniqueViolation : public DbError {
public:
    using DbError::DbError;
};

// The operator's text for a driver failure.
inline const char *kDbFailed = "数据库操作失败，请重试";
inline const char *kReconnected = "数据库连接已断开，已重新连接，请重试该操作";
inline const char *kReconnectFailed = "数据库连接已断开，重新连接失败，请检测数据库连接！";

enum class Backend { Sqlite, Postgres };

// The PostgreSQL database the program uses ("orv"); tests point it at their own.
QString defaultDatabaseName();
void setDefaultDatabaseName(const QString &name);

struct ConnectionSettings {
    QString server;   // "(local)" or host[:port], already trimmed
    QString user;
    QString password;
    QString database = defaultDatabaseName(); // PostgreSQL database
    QString sqliteFile;                       // for "(local)"; empty: orv.db beside config.ini
};

class Statement;

class Connection {
public:
    explicit Connection(const QString &connectionName = QStringLiteral("orv"));
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    enum class SchemaMode { Ensure, Leave };
    // Opens (closing any earlier connection) and brings the schema up to date (creating the
    // PostgreSQL database when the role may). With SchemaMode::Leave it only proves that the
    // settings reach a server: nothing is created anywhere. Throws DbError.
    void open(const ConnectionSettings &settings, SchemaMode schema = SchemaMode::Ensure);
    void close();
    bool isOpen() const;
    // Throws DbError when there is no connection to work on. A connection whose server was
    // lost (and could not be reached again then) is opened anew first: once the server is
    // back, the operator's next action works.
    void requireOpen();
    Backend backend() const { return m_backend; }
    bool isSqlite() const { return m_backend == Backend::Sqlite; }
    QSqlDatabase db() const;
    const ConnectionSettings &settings() const { return m_settings; }
    // Counts opens: a prepared statement of an earlier generation is prepared again.
    quint64 generation() const { return m_generation; }

    // Marks a statement under way, all its round trips with the server included (the rows of
    // a result read one by one too), so that a server that goes quiet meanwhile is noticed.
    class Busy {
    public:
        explicit Busy(Connection &c);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        ServerWatch::Activity &m_activity;
    };

    // Transaction nesting: the outermost guard begins and ends it, inner guards join.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    // Numbers, vouchers and stock are written only inside a transaction: throws otherwise.
    void requireTransaction(const char *what) const;

    // Savepoints inside the open transaction (a retried insert).
    void savepoint(const QString &name);
    void rollbackTo(const QString &name);
    void release(const QString &name);

    // Serialises writers that allocate from a shared sequence (codes and the like) until the
    // current transaction ends. SQLite's write transaction already does.
    void lockSequence(const QString &key);

    // Runs one statement without results; throws DbError.
    void exec(const QString &sql, const QVariantList &binds = {});
    // Runs a prepared query, throwing the right DbError for the operator when it fails.
    void run(QSqlQuery &q, const QString &what = QString());
    // Reports a failed statement: logs the driver text, notices a lost server (and opens
    // anew), and throws ConnectionLost, UniqueViolation or DbError.
    [[noreturn]] void fail(const QSqlError &error, const QString &what = QString());

    // Where the embedded database lives for the given settings.
    static QString sqlitePath(const ConnectionSettings &s);
    static bool isLocalServer(const QString &server);

private:
    friend class Statement;
    // The driver's libpq connection (PostgreSQL), null when there is none.
    pg_conn *pgConnection() const;
    [[noreturn]] void failPg(const pg_result *result, const QString &what);
    // Frees a kept statement on the server, at once outside a transaction, else after it ends
    // (a failed transaction refuses even that).
    void freeStatement(const QByteArray &name);
    void freeDeferredStatements();
    void openDriver(const ConnectionSettings &settings, SchemaMode schema);
    bool serverGone() const;
    void watchServer();
    void reconnectAfterLoss();
    void forgetStatements();

    QString m_name;
    Backend m_backend = Backend::Sqlite;
    ConnectionSettings m_settings;
    int m_depth = 0;
    bool m_failed = false;
    bool m_lost = false; // closed because the server went away, not by the program
    quint64 m_generation = 0;
    QList<Statement *> m_statements;
    // Prepared statements that failed inside the transaction, freed once it is rolled back.
    QList<QSqlQuery> m_failedQueries;
    QList<QByteArray> m_statementsToFree;
    Statement *m_lock = nullptr;
    int m_watchId = 0; // ServerWatch's id of the PostgreSQL connection
    std::shared_ptr<ServerWatch::Activity> m_activity = std::make_shared<ServerWatch::Activity>();
};

// The rows of a kept statement's run, read one by one: next(), value(column) (types as the
// Qt drivers give them, NULL as a null value of the column's type), numRowsAffected(), and
// finish() to let the rows go before the statement runs again.
class StatementResult {
public:
    StatementResult() = default;
    ~StatementResult();
    StatementResult(const StatementResult &) = delete;
    StatementResult &operator=(const StatementResult &) = delete;

    bool next();
    QVariant value(int column) const;
    int numRowsAffected() const;
    // SQLite's rowid of an inserted row (PostgreSQL: ask by "returning").
    QVariant lastInsertId() const;
    void finish();

private:
    friend class Statement;
    QSqlQuery *m_query = nullptr; // SQLite
    pg_result *m_pg = nullptr;    // PostgreSQL
    int m_row = -1;
    int m_rows = 0;
};

// A statement a service keeps prepared for the life of a window. It is prepared again when the
// connection has been opened anew, and freed before its connection goes. On PostgreSQL it runs
// by libpq's extended protocol: the values travel apart from the statement, so the server
// neither parses them into a statement text nor plans the run again.
class Statement {
public:
    Statement(Connection &c, QString sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // The prepared statement with the values bound, executed; throws DbError.
    StatementResult &exec(const QVariantList &binds = {});
    const QString &sql() const { return m_sql; }
    Connection &connection() const { return *m_conn; }

private:
    friend class Connection;
    void reset();
    StatementResult &execPg(const QVariantList &binds);
    Connection *m_conn;
    QString m_sql;
    QSqlQuery m_query;
    QByteArray m_pgName; // the server's name of the prepared statement
    StatementResult m_result;
    quint64 m_generation = 0;
    bool m_prepared = false;
};

// "?" placeholders outside quotes and comments as PostgreSQL's numbered "$1", "$2", ...
QString numberedPlaceholders(const QString &sql);

// All or nothing: commits when commit() is called, rolls back when it goes out of scope otherwise.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    void commit();
    Connection &connection() const { return m_conn; }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection &m_conn;
    bool m_done = false;
};

// SQLite's and PostgreSQL's codes for a broken unique index.
bool isUniqueViolation(const QSqlError &error);

} // namespace orv
