#include "data/dbconnection.h"
#include "data/schema.h"
#include "data/serverwatch.h"
#include "data/sqlitelocks.h"
#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>

#include <atomic>
#include <cmath>

#include <libpq-fe.h>

namespace orv {

Q_LOGGING_CATEGORY(lcDb, "orv.db")

namespace {
QString g_defaultDatabase = QStringLiteral("orv");

QString driverText(const QSqlError &e)
{
    QString t = e.text().trimmed();
    if (!e.nativeErrorCode().isEmpty())
        t += " [" + e.nativeErrorCode() + "]";
    return t;
}
} // namespace

DbError::DbError(const QString &message, const QString &detail)
    : std::runtime_error(message.toStdString()), m_detail(detail)
{
}

QString defaultDatabaseName() { return g_defaultDatabase; }
void setDefaultDatabaseName(const QString &name) { g_defaultDatabase = name.isEmpty() ? QStringLiteral("orv") : name; }

bool isUniqueViolation(const QSqlError &e)
{
    const QString code = e.nativeErrorCode();
    // PostgreSQL's SQLSTATE; SQLite's extended codes for UNIQUE and PRIMARY KEY.
    return code == QLatin1String("23505") || code == QLatin1String("2067") || code == QLatin1String("1555");
}

Connection::Connection(const QString &connectionName) : m_name(connectionName) {}

Connection::~Connection()
{
    close();
    delete m_lock;
    // Statements that outlive the connection object must not reach back into it.
    for (Statement *s : std::as_const(m_statements))
        s->m_conn = nullptr;
}

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

void Connection::forgetStatements()
{
    for (Statement *s : std::as_const(m_statements))
        s->reset();
    m_failedQueries.clear();
}

void Connection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    // A prepared statement is freed by a DEALLOCATE on its connection: while the server is
    // there, before the connection closes; when it is gone, after the driver is, so that no
    // DEALLOCATE is tried on a dead or closed connection.
    const bool gone = serverGone();
    if (!gone) {
        const Busy busy(*this);
        forgetStatements();
    }
    ServerWatch::instance().forget(m_watchId);
    m_watchId = 0;
    {
        QSqlDatabase d = db();
        if (d.isOpen())
            d.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    if (gone)
        forgetStatements();
    m_statementsToFree.clear(); // they went with the session
    m_depth = 0;
    ++m_generation;
}

namespace {
// "host" or "host:port" as config.ini names the server.
std::pair<QString, int> hostAndPort(const QString &server)
{
    const int colon = server.lastIndexOf(':');
    if (colon > 0) {
        bool ok = false;
        const int port = server.mid(colon + 1).toInt(&ok);
        if (ok)
            return {server.left(colon), port};
    }
    return {server, 5432};
}

QSqlDatabase makePg(const QString &name, const ConnectionSettings &s, const QString &database)
{
    QSqlDatabase d = QSqlDatabase::addDatabase("QPSQL", name);
    const auto [host, port] = hostAndPort(s.server);
    d.setHostName(host);
    d.setPort(port);
    d.setUserName(s.user);
    d.setPassword(s.password);
    d.setDatabaseName(database);
    // One short attempt: an unreachable host must not hold the window for long. A network
    // that drops our packets ends the connection within seconds: keepalives while we wait
    // for an answer, and a limit on data the server never acknowledges. Both only count
    // silence of the server's machine, so a long statement on a server that answers goes on.
    d.setConnectOptions("connect_timeout=3;keepalives=1;keepalives_idle=5;keepalives_interval=2;"
                        "keepalives_count=3;tcp_user_timeout=10000");
    return d;
}

bool databaseMissing(const QSqlError &e)
{
    return e.nativeErrorCode() == QLatin1String("3D000") || e.text().contains("does not exist");
}

// Runs against the maintenance database: true when it could connect at all.
bool withMaintenanceDb(const ConnectionSettings &s, const std::function<void(QSqlDatabase &)> &work)
{
    const QString tmp = "orv_admin_" + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = false;
    {
        QSqlDatabase d = makePg(tmp, s, "postgres");
        if (d.open()) {
            ok = true;
            work(d);
            d.close();
        }
    }
    QSqlDatabase::removeDatabase(tmp);
    return ok;
}

void createPgDatabase(const ConnectionSettings &s)
{
    withMaintenanceDb(s, [&](QSqlDatabase &d) {
        QString ident = s.database;
        ident.replace('"', "\"\"");
        QSqlQuery(d).exec("create database \"" + ident + "\" encoding 'UTF8' template template0");
    });
}

// Why the embedded database file cannot serve, in words the operator can act on; empty when fine.
QString sqliteFileProblem(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.exists()) {
        if (fi.isDir())
            return QString("数据库文件“%1”是一个文件夹").arg(path);
        if (!fi.isReadable() || !fi.isWritable())
            return QString("数据库文件“%1”不可写，请检查文件权限").arg(path);
    }
    const QFileInfo dir(fi.absolutePath());
    if (!dir.exists())
        return QString("数据库所在文件夹“%1”不存在").arg(dir.absoluteFilePath());
    // WAL keeps its -wal and -shm files beside the database: the folder must be writable too.
    if (!dir.isWritable())
        return QString("数据库所在文件夹“%1”不可写，请检查文件夹权限").arg(dir.absoluteFilePath());
    return QString();
}
} // namespace

void Connection::open(const ConnectionSettings &settings, SchemaMode schema)
{
    close();
    m_lost = false;
    openDriver(settings, schema);
    ++m_generation;
    if (schema == SchemaMode::Leave)
        return;
    try {
        Schema::ensure(*this);
    } catch (...) {
        close();
        throw;
    }
}

void Connection::openDriver(const ConnectionSettings &settings, SchemaMode schema)
{
    m_settings = settings;
    m_failed = false;
    m_depth = 0;
    if (isLocalServer(settings.server)) {
        m_backend = Backend::Sqlite;
        const QString path = sqlitePath(settings);
        const QString problem = sqliteFileProblem(path);
        if (!problem.isEmpty())
            throw DatabaseUnusable(problem);
        // Only proving the settings: a database that does not exist yet is not created.
        if (schema == SchemaMode::Leave && !QFileInfo::exists(path))
            return;
        useDescriptorLocksForSqlite();
        QString openError, readError;
        {
            QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", m_name);
            d.setDatabaseName(path);
            d.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
            d.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
            if (!d.open()) {
                openError = driverText(d.lastError());
            } else {
                // Any read proves the file is a database; a text file fails here, not at login.
                QSqlQuery q(d);
                if (!q.exec("select count(*) from sqlite_master"))
                    readError = driverText(q.lastError());
            }
        }
        if (!openError.isEmpty() || !readError.isEmpty()) {
            close();
            if (!openError.isEmpty())
                throw DatabaseUnusable(QString("无法打开数据库文件“%1”").arg(path), openError);
            throw DatabaseUnusable(QString("文件“%1”不是本系统的数据库").arg(path), readError);
        }
        QSqlQuery q(db());
        q.exec("PRAGMA foreign_keys = OFF");
        // WAL lets readers work beside a writer; FULL makes a reported save survive a power cut.
        if (!q.exec("PRAGMA journal_mode = WAL") || !q.next()
            || q.value(0).toString().compare("wal", Qt::CaseInsensitive) != 0)
            qCWarning(lcDb) << "SQLite did not switch to WAL:" << path << driverText(q.lastError());
        q.finish();
        if (!q.exec("PRAGMA synchronous = FULL"))
            qCWarning(lcDb) << "SQLite synchronous=FULL refused:" << driverText(q.lastError());
        return;
    }
    m_backend = Backend::Postgres;
    if (settings.server.trimmed().isEmpty())
        throw DbError("服务器名称不能为空");
    QSqlError err;
    {
        QSqlDatabase d = makePg(m_name, settings, settings.database);
        d.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!d.open())
            err = d.lastError();
    }
    if (err.isValid()) {
        QSqlDatabase::removeDatabase(m_name);
        if (!databaseMissing(err))
            throw DbError("连接数据库服务器失败", driverText(err));
        if (schema == SchemaMode::Leave) {
            // Only proving the settings: the server answers; the database is made on switching.
            if (!withMaintenanceDb(settings, [](QSqlDatabase &) {}))
                throw DbError("连接数据库服务器失败", driverText(err));
            m_backend = Backend::Postgres;
            return;
        }
        createPgDatabase(settings);
        QSqlDatabase d = makePg(m_name, settings, settings.database);
        d.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!d.open()) {
            err = d.lastError();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError("连接数据库服务器失败", driverText(err));
        }
    }
    // The server gives up on us as quickly when our side goes quiet, so a transaction cut off
    // by the network is rolled back and its locks let go within seconds, not hours.
    QSqlQuery(db()).exec("set client_min_messages = warning; set tcp_keepalives_idle = 5;"
                         " set tcp_keepalives_interval = 2; set tcp_keepalives_count = 3;"
                         " set tcp_user_timeout = 10000");
    watchServer();
}

namespace {
// The driver hands out its libpq handle (registered as "pg_conn*", the struct behind PGconn):
// false when it has none (SQLite, no driver).
bool pgHandle(const QSqlDatabase &d, PGconn *&pg)
{
    const QVariant h = d.driver() ? d.driver()->handle() : QVariant();
    if (!h.isValid() || (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
        return false;
    pg = *static_cast<PGconn *const *>(h.data());
    return true;
}
} // namespace

pg_conn *Connection::pgConnection() const
{
    PGconn *pg = nullptr;
    if (isSqlite() || !QSqlDatabase::contains(m_name) || !pgHandle(db(), pg))
        return nullptr;
    return pg;
}

void Connection::watchServer()
{
    PGconn *pg = nullptr;
    if (!pgHandle(db(), pg) || !pg)
        return;
    const auto [host, port] = hostAndPort(m_settings.server);
    const PgEndpoint endpoint{host.toUtf8(), QByteArray::number(port), m_settings.user.toUtf8(),
                              m_settings.password.toUtf8(), m_settings.database.toUtf8()};
    m_watchId = ServerWatch::instance().watch(PQsocket(pg), PQbackendPID(pg), endpoint, m_activity);
}

bool Connection::serverGone() const
{
    if (isSqlite() || !QSqlDatabase::contains(m_name))
        return false;
    PGconn *pg = nullptr;
    if (!pgHandle(db(), pg))
        return false;
    if (!pg)
        return true;
    // A server that ended the session sent its last words and closed: libpq learns of the
    // close only when it reads on, which a result read row by row stops short of.
    if (PQstatus(pg) == CONNECTION_OK)
        PQconsumeInput(pg);
    return PQstatus(pg) == CONNECTION_BAD;
}

void Connection::reconnectAfterLoss()
{
    const ConnectionSettings s = m_settings;
    close();
    try {
        openDriver(s, SchemaMode::Leave);
        ++m_generation;
        m_lost = false;
    } catch (const DbError &e) {
        m_lost = true;
        qCWarning(lcDb) << "Reconnect failed:" << e.message() << e.detail();
        throw ConnectionLost(kReconnectFailed, e.detail());
    }
}

void Connection::requireOpen()
{
    if (isOpen())
        return;
    if (!m_lost)
        throw DbError("数据库未连接");
    reconnectAfterLoss();
}

void Connection::fail(const QSqlError &error, const QString &what)
{
    const QString detail = driverText(error);
    qCWarning(lcDb).noquote() << (what.isEmpty() ? QStringLiteral("Statement failed:") : what) << detail;
    if (serverGone()) {
        // Whatever transaction was open is gone with the server: guards still on the stack
        // find nothing to roll back.
        reconnectAfterLoss();
        throw ConnectionLost(kReconnected, detail);
    }
    if (m_depth > 0 && !isSqlite())
        m_failed = true; // PostgreSQL refuses everything after an error until the rollback
    if (isUniqueViolation(error))
        throw UniqueViolation(kDbFailed, detail);
    throw DbError(kDbFailed, detail);
}

void Connection::run(QSqlQuery &q, const QString &what)
{
    if (!isOpen()) {
        // The query was made on the connection that was lost: the one opened now serves the
        // operator's next try.
        requireOpen();
        throw ConnectionLost(kReconnected);
    }
    const Busy busy(*this);
    if (!q.exec()) {
        // PostgreSQL refuses the DEALLOCATE of a prepared statement until the failed
        // transaction is rolled back: the statement is kept until then.
        if (m_depth > 0 && !isSqlite())
            m_failedQueries.append(q);
        fail(q.lastError(), what.isEmpty() ? q.lastQuery() : what);
    }
}

void Connection::exec(const QString &sql, const QVariantList &binds)
{
    requireOpen();
    const Busy busy(*this);
    QSqlQuery q(db());
    if (binds.isEmpty()) {
        if (!q.exec(sql))
            fail(q.lastError(), sql);
        return;
    }
    if (!q.prepare(sql))
        fail(q.lastError(), sql);
    for (const auto &v : binds)
        q.addBindValue(v);
    run(q, sql);
}

void Connection::requireTransaction(const char *what) const
{
    if (m_depth <= 0)
        throw DbError(QString("内部错误：%1必须在事务中执行").arg(QString::fromUtf8(what)));
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
        QSqlQuery(db()).exec("ROLLBACK");
        m_failed = false;
        m_failedQueries.clear();
        freeDeferredStatements();
        throw DbError("保存失败，所有修改已撤销");
    }
    const Busy busy(*this);
    QSqlQuery q(db());
    if (!q.exec("COMMIT")) {
        const QSqlError e = q.lastError();
        // A refused COMMIT (SQLite busy, a deferred check) may leave the transaction open:
        // end it so the connection stays usable. PostgreSQL has already ended it.
        PGconn *pg = nullptr;
        if (isSqlite() || !pgHandle(db(), pg) || !pg || PQtransactionStatus(pg) != PQTRANS_IDLE)
            QSqlQuery(db()).exec("ROLLBACK");
        m_failedQueries.clear();
        freeDeferredStatements();
        fail(e, "COMMIT");
    }
    m_failedQueries.clear();
    freeDeferredStatements();
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
    m_failed = false;
    const Busy busy(*this);
    QSqlQuery q(db());
    q.exec("ROLLBACK");
    m_failedQueries.clear();
    freeDeferredStatements();
}

void Connection::savepoint(const QString &name)
{
    requireTransaction("保存点");
    exec("SAVEPOINT " + name);
}

void Connection::rollbackTo(const QString &name)
{
    exec("ROLLBACK TO SAVEPOINT " + name);
    m_failed = false; // the failed statement is undone; the transaction goes on
    m_failedQueries.clear();
}

void Connection::release(const QString &name) { exec("RELEASE SAVEPOINT " + name); }

void Connection::lockSequence(const QString &key)
{
    requireTransaction("编号分配");
    if (isSqlite())
        return; // BEGIN IMMEDIATE already holds the database's write lock
    if (!m_lock)
        m_lock = new Statement(*this, "select pg_advisory_xact_lock(hashtext(?))");
    m_lock->exec({key});
}

Connection::Busy::Busy(Connection &c) : m_activity(*c.m_activity)
{
    // Only the connection's own thread writes these: the start is in place before it counts.
    if (m_activity.busy.load() == 0)
        m_activity.since.store(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    m_activity.busy.fetch_add(1);
}

Connection::Busy::~Busy() { m_activity.busy.fetch_sub(1); }

void Connection::failPg(const pg_result *result, const QString &what)
{
    const QString text = result ? QString::fromUtf8(PQresultErrorMessage(result)).trimmed()
                                : QString::fromUtf8(PQerrorMessage(pgConnection())).trimmed();
    const QString code = result ? QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QString();
    fail(QSqlError(QStringLiteral("QPSQL: Unable to run the statement"), text, QSqlError::StatementError, code),
         what);
}

void Connection::freeStatement(const QByteArray &name)
{
    PGconn *pg = pgConnection();
    if (!pg || PQstatus(pg) != CONNECTION_OK)
        return;
    if (PQtransactionStatus(pg) != PQTRANS_IDLE) {
        m_statementsToFree.append(name);
        return;
    }
    const Busy busy(*this);
    PQclear(PQexec(pg, "DEALLOCATE " + name));
}

void Connection::freeDeferredStatements()
{
    if (m_statementsToFree.isEmpty())
        return;
    PGconn *pg = pgConnection();
    QByteArray batch;
    for (const QByteArray &name : std::as_const(m_statementsToFree))
        batch += "DEALLOCATE " + name + ';';
    m_statementsToFree.clear();
    if (!pg || PQstatus(pg) != CONNECTION_OK || PQtransactionStatus(pg) != PQTRANS_IDLE)
        return;
    const Busy busy(*this);
    PQclear(PQexec(pg, batch.constData()));
}

// ---- Statement

namespace {
std::atomic<quint64> g_statementNames{0};

// Type oids of the server's catalogue.
enum : Oid {
    kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
    kDate = 1082, kTime = 1083, kTimestamp = 1114, kTimestampTz = 1184, kNumeric = 1700
};

QMetaType columnType(Oid type)
{
    switch (type) {
    case kBool: return QMetaType::fromType<bool>();
    case kBytea: return QMetaType::fromType<QByteArray>();
    case kInt8: return QMetaType::fromType<qlonglong>();
    case kInt2:
    case kInt4: return QMetaType::fromType<int>();
    case kOid: return QMetaType::fromType<uint>();
    case kFloat4:
    case kFloat8:
    case kNumeric: return QMetaType::fromType<double>();
    case kDate: return QMetaType::fromType<QDate>();
    case kTime: return QMetaType::fromType<QTime>();
    case kTimestamp:
    case kTimestampTz: return QMetaType::fromType<QDateTime>();
    default: return QMetaType::fromType<QString>();
    }
}

// Whether a bound value stands for NULL, as the Qt drivers read it: no value, or a null text,
// byte array or invalid date.
bool boundNull(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString().isNull();
    case QMetaType::QByteArray: return v.toByteArray().isNull();
    case QMetaType::QDate: return !v.toDate().isValid();
    case QMetaType::QTime: return !v.toTime().isValid();
    case QMetaType::QDateTime: return !v.toDateTime().isValid();
    default: return false;
    }
}

// A bound value as the server's text input reads it.
QByteArray boundText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? "true" : "false";
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isnan(d))
            return "NaN";
        if (std::isinf(d))
            return d > 0 ? "Infinity" : "-Infinity";
        return QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::QTime: return v.toTime().toString(Qt::ISODateWithMs).toLatin1();
    case QMetaType::QDateTime: return v.toDateTime().toString(Qt::ISODateWithMs).toLatin1();
    default: return v.toString().toUtf8();
    }
}
} // namespace

QString numberedPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql.at(i);
        if (!quote.isNull()) {
            out += ch;
            if (ch == quote)
                quote = QChar();
            continue;
        }
        if (ch == '\'' || ch == '"') {
            quote = ch;
            out += ch;
        } else if (ch == '-' && i + 1 < sql.size() && sql.at(i + 1) == '-') {
            const qsizetype end = sql.indexOf('\n', i);
            const qsizetype stop = end < 0 ? sql.size() : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (ch == '?') {
            out += '$' + QString::number(++n);
        } else {
            out += ch;
        }
    }
    return out;
}

StatementResult::~StatementResult() { finish(); }

bool StatementResult::next()
{
    if (m_query)
        return m_query->next();
    if (!m_pg || m_row + 1 >= m_rows)
        return false;
    ++m_row;
    return true;
}

QVariant StatementResult::value(int column) const
{
    if (m_query)
        return m_query->value(column);
    if (!m_pg || m_row < 0 || m_row >= m_rows || column < 0 || column >= PQnfields(m_pg))
        return QVariant();
    const Oid type = PQftype(m_pg, column);
    if (PQgetisnull(m_pg, m_row, column))
        return QVariant(columnType(type));
    const char *text = PQgetvalue(m_pg, m_row, column);
    const int length = PQgetlength(m_pg, m_row, column);
    switch (type) {
    case kBool: return QVariant(text[0] == 't');
    case kInt8: return QVariant(QByteArray::fromRawData(text, length).toLongLong());
    case kInt2:
    case kInt4: return QVariant(QByteArray::fromRawData(text, length).toInt());
    case kOid: return QVariant(QByteArray::fromRawData(text, length).toUInt());
    case kFloat4:
    case kFloat8:
    case kNumeric: return QVariant(QByteArray::fromRawData(text, length).toDouble());
    case kDate: return QVariant(QDate::fromString(QString::fromLatin1(text, length), Qt::ISODate));
    case kTime: return QVariant(QTime::fromString(QString::fromLatin1(text, length), Qt::ISODateWithMs));
    case kTimestamp:
        return QVariant(QDateTime::fromString(QString::fromLatin1(text, length), Qt::ISODateWithMs));
    case kTimestampTz: {
        QString t = QString::fromLatin1(text, length);
        // The server writes "+08" for a whole-hour offset; ISO wants minutes too.
        if (t.size() > 3 && (t.at(t.size() - 3) == '+' || t.at(t.size() - 3) == '-'))
            t += ":00";
        return QVariant(QDateTime::fromString(t, Qt::ISODateWithMs).toLocalTime());
    }
    case kBytea: {
        size_t size = 0;
        unsigned char *raw = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &size);
        const QByteArray bytes(reinterpret_cast<const char *>(raw), qsizetype(size));
        PQfreemem(raw);
        return QVariant(bytes);
    }
    default: return QVariant(QString::fromUtf8(text, length));
    }
}

int StatementResult::numRowsAffected() const
{
    if (m_query)
        return m_query->numRowsAffected();
    return m_pg ? QByteArray(PQcmdTuples(m_pg)).toInt() : -1;
}

QVariant StatementResult::lastInsertId() const { return m_query ? m_query->lastInsertId() : QVariant(); }

void StatementResult::finish()
{
    if (m_query)
        m_query->finish();
    if (m_pg)
        PQclear(m_pg);
    m_pg = nullptr;
    m_row = -1;
    m_rows = 0;
}

Statement::Statement(Connection &c, QString sql) : m_conn(&c), m_sql(std::move(sql)) { c.m_statements.append(this); }

Statement::~Statement()
{
    m_result.finish();
    if (!m_conn)
        return;
    m_conn->m_statements.removeOne(this);
    if (!m_pgName.isEmpty() && m_prepared && m_generation == m_conn->generation())
        m_conn->freeStatement(m_pgName);
}

void Statement::reset()
{
    // Only when the connection goes: the server's session takes its statements with it.
    m_result.finish();
    m_query = QSqlQuery();
    m_pgName.clear();
    m_prepared = false;
}

StatementResult &Statement::exec(const QVariantList &binds)
{
    if (!m_conn)
        throw DbError("数据库未连接");
    m_conn->requireOpen();
    const Connection::Busy busy(*m_conn);
    m_result.finish();
    if (!m_conn->isSqlite())
        return execPg(binds);
    if (!m_prepared || m_generation != m_conn->generation()) {
        m_query = QSqlQuery(m_conn->db());
        if (!m_query.prepare(m_sql))
            m_conn->fail(m_query.lastError(), m_sql);
        m_generation = m_conn->generation();
        m_prepared = true;
    }
    m_query.finish();
    for (const auto &v : binds)
        m_query.addBindValue(v);
    m_conn->run(m_query, m_sql);
    m_result.m_query = &m_query;
    return m_result;
}

StatementResult &Statement::execPg(const QVariantList &binds)
{
    PGconn *pg = m_conn->pgConnection();
    if (!pg)
        throw DbError("数据库未连接");
    if (!m_prepared || m_generation != m_conn->generation()) {
        m_pgName = "orv_s" + QByteArray::number(++g_statementNames);
        PGresult *r = PQprepare(pg, m_pgName.constData(), numberedPlaceholders(m_sql).toUtf8().constData(), 0, nullptr);
        const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!ok) {
            m_pgName.clear();
            const std::unique_ptr<PGresult, void (*)(PGresult *)> failed(r, PQclear);
            m_conn->failPg(r, m_sql);
        }
        PQclear(r);
        m_generation = m_conn->generation();
        m_prepared = true;
    }
    const int n = int(binds.size());
    QVector<QByteArray> texts(n);
    QVector<const char *> values(n, nullptr);
    QVector<int> lengths(n, 0), formats(n, 0);
    for (int i = 0; i < n; ++i) {
        const QVariant &v = binds[i];
        if (boundNull(v))
            continue;
        if (v.typeId() == QMetaType::QByteArray) {
            texts[i] = v.toByteArray();
            formats[i] = 1; // raw bytes, as a bytea takes them
        } else {
            texts[i] = boundText(v);
        }
        values[i] = texts[i].constData();
        lengths[i] = int(texts[i].size());
    }
    PGresult *r = PQexecPrepared(pg, m_pgName.constData(), n, values.constData(), lengths.constData(),
                                 formats.constData(), 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const std::unique_ptr<PGresult, void (*)(PGresult *)> failed(r, PQclear);
        m_conn->failPg(r, m_sql);
    }
    m_result.m_query = nullptr;
    m_result.m_pg = r;
    m_result.m_row = -1;
    m_result.m_rows = PQntuples(r);
    return m_result;
}

// ---- Transaction

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
