#include "app/dbconnection.h"
#include "app/schema.h"
#include "common/paths.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace orv {

namespace {
QString g_defaultDatabase = QStringLiteral("orv");
}
QString defaultDatabaseName() { return g_defaultDatabase; }
void setDefaultDatabaseName(const QString &name) { g_defaultDatabase = name.isEmpty() ? QStringLiteral("orv") : name; }

Connection::Connection(const QString &connectionName) : m_name(connectionName) {}

Connection::~Connection() { close(); }

bool Connection::isLocalServer(const QString &server)
{
    return server.trimmed().compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0;
}

QString Connection::sqlitePath(const ConnectionSettings &s)
{
    return s.sqliteFile.isEmpty() ? Paths::configDir() + "/orv.db" : s.sqliteFile;
}

QSqlDatabase Connection::db() const { return QSqlDatabase::database(m_name, false); }

bool Connection::isOpen() const { return QSqlDatabase::contains(m_name) && db().isOpen(); }

void Connection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase d = db();
        if (d.isOpen())
            d.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_depth = 0;
}

namespace {
QSqlDatabase makePg(const QString &name, const ConnectionSettings &s, const QString &database)
{
    QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", name);
    QString host = s.server;
    int port = 5432;
    const int colon = host.lastIndexOf(':');
    if (colon > 0) {
        bool ok = false;
        const int p = host.mid(colon + 1).toInt(&ok);
        if (ok) {
            port = p;
            host = host.left(colon);
        }
    }
    d.setHostName(host);
    d.setPort(port);
    d.setUserName(s.user);
    d.setPassword(s.password);
    d.setDatabaseName(database);
    d.setConnectOptions("connect_timeout=5");
    return d;
}

// A new server has no database of ours yet: create it once, from the maintenance database.
void createPgDatabaseIfMissing(const ConnectionSettings &s)
{
    const QString tmp = "orv_admin_" + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase d = makePg(tmp, s, "postgres");
        if (d.open()) {
            QSqlQuery q(d);
            q.prepare("select 1 from pg_database where datname = ?");
            q.addBindValue(s.database);
            if (q.exec() && !q.next()) {
                QString ident = s.database;
                ident.replace('"', "\"\"");
                QSqlQuery(d).exec("create database \"" + ident + "\" encoding 'UTF8' template template0");
            }
            d.close();
        }
    }
    QSqlDatabase::removeDatabase(tmp);
}
} // namespace

void Connection::open(const ConnectionSettings &settings)
{
    close();
    m_settings = settings;
    m_failed = false;
    if (isLocalServer(settings.server)) {
        m_backend = Backend::Sqlite;
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", m_name);
        d.setDatabaseName(sqlitePath(settings));
        d.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
        if (!d.open()) {
            const QString err = d.lastError().text();
            close();
            throw DbError(err.toStdString());
        }
        QSqlQuery q(d);
        q.exec("PRAGMA foreign_keys = OFF");
        q.exec("PRAGMA journal_mode = WAL");
        q.exec("PRAGMA synchronous = NORMAL");
    } else {
        m_backend = Backend::Postgres;
        if (settings.server.trimmed().isEmpty())
            throw DbError("No server name");
        auto tryOpen = [&]() -> QString {
            QSqlDatabase d = makePg(m_name, settings, settings.database);
            if (d.open())
                return QString();
            const QString err = d.lastError().text();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            return err.isEmpty() ? QStringLiteral("Cannot connect") : err;
        };
        QString err = tryOpen();
        if (!err.isEmpty()) {
            createPgDatabaseIfMissing(settings);
            err = tryOpen();
            if (!err.isEmpty())
                throw DbError(err.toStdString());
        }
        QSqlDatabase d = db();
        QSqlQuery(d).exec("set client_min_messages = warning");
    }
    try {
        Schema::ensure(*this);
    } catch (...) {
        close();
        throw;
    }
}

void Connection::exec(const QString &sql)
{
    QSqlQuery q(db());
    if (!q.exec(sql))
        throw DbError(q.lastError().text().toStdString());
}

void Connection::begin()
{
    if (m_depth++ > 0)
        return;
    m_failed = false;
    try {
        // IMMEDIATE takes the write lock at once, so two clients cannot interleave
        // read-then-write sequences (numbers, stock) inside their transactions.
        exec(isSqlite() ? "BEGIN IMMEDIATE" : "BEGIN");
    } catch (...) {
        m_depth = 0;
        throw;
    }
}

void Connection::commit()
{
    if (m_depth <= 0)
        return;
    if (--m_depth > 0)
        return;
    if (m_failed) {
        exec("ROLLBACK");
        throw DbError("Transaction rolled back");
    }
    exec("COMMIT");
}

void Connection::rollback()
{
    if (m_depth <= 0)
        return;
    if (--m_depth > 0) {
        // An inner failure dooms the outer transaction.
        m_failed = true;
        return;
    }
    QSqlQuery q(db());
    q.exec("ROLLBACK");
}

void Connection::lockSequence(const QString &key)
{
    if (isSqlite())
        return; // BEGIN IMMEDIATE already holds the database's write lock
    QSqlQuery q(db());
    q.prepare("select pg_advisory_xact_lock(hashtext(?))");
    q.addBindValue(key);
    if (!q.exec())
        throw DbError(q.lastError().text().toStdString());
}

Transaction::Transaction(Connection &c) : m_conn(c) { m_conn.begin(); }

Transaction::~Transaction()
{
    if (!m_done)
        m_conn.rollback();
}

void Transaction::commit()
{
    m_done = true;
    m_conn.commit();
}

} // namespace orv
