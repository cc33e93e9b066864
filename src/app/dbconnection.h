#pragma once
// The one shared database connection: SQLite embedded ("(local)") or a PostgreSQL server.
#include <QSqlDatabase>
#include <QString>
#include <stdexcept>

namespace orv {

class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

class Connection {
public:
    explicit Connection(const QString &connectionName = QStringLiteral("orv"));
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens (closing any earlier connection) and creates the schema on an empty database.
    // Throws DbError with the driver's text on failure.
    void open(const ConnectionSettings &settings);
    void close();
    bool isOpen() const;
    Backend backend() const { return m_backend; }
    bool isSqlite() const { return m_backend == Backend::Sqlite; }
    QSqlDatabase db() const;
    const ConnectionSettings &settings() const { return m_settings; }

    // Transaction nesting: the outermost guard begins and ends it, inner guards join.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // Serialises writers that allocate from a shared sequence (document numbers and the like)
    // until the current transaction ends.
    void lockSequence(const QString &key);

    // Runs one statement without results; throws DbError.
    void exec(const QString &sql);

    // Where the embedded database lives for the given settings.
    static QString sqlitePath(const ConnectionSettings &s);
    static bool isLocalServer(const QString &server);

private:
    QString m_name;
    Backend m_backend = Backend::Sqlite;
    ConnectionSettings m_settings;
    int m_depth = 0;
    bool m_failed = false;
};

// All or nothing: commits when commit() is called, rolls back when it goes out of scope otherwise.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection &m_conn;
    bool m_done = false;
};

} // namespace orv
