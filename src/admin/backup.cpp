#include "admin/backup.h"
#include "common/clock.h"
#include "data/dbconnection.h"
#include "data/schema.h"
#include "data/sqlitelocks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sqlite3.h>

namespace orv {

Q_LOGGING_CATEGORY(lcBackup, "orv.backup")

namespace {

const char *kNotOurs = "所选文件不是本系统的数据库备份";
// Tables every database of this program has.
const char *const kOwnTables[] = {"用户管理", "权限组", "日志", "基本信息"};

BackupOutcome failed(const QString &reason) { return {false, reason, {}}; }

// Versions a backup holds per subsystem, checked against what this program knows.
QString versionProblem(const QHash<QString, int> &stored)
{
    const QStringList known = Schema::subsystems();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        if (known.contains(it.key()) && it.value() > Schema::latestVersion(it.key()))
            return "该备份由较新版本的程序建立，请升级程序后再恢复";
    return QString();
}

// ---- SQLite

struct SqliteDb {
    sqlite3 *db = nullptr;
    SqliteDb() = default;
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;
    ~SqliteDb()
    {
        if (db)
            sqlite3_close_v2(db);
    }
    bool open(const QString &path, int flags)
    {
        useDescriptorLocksForSqlite();
        return sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) == SQLITE_OK;
    }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"); }
    bool exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // First column of every row.
    QStringList column(const char *sql)
    {
        QStringList out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            return out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
            out << QString::fromUtf8(t ? t : "");
        }
        sqlite3_finalize(st);
        return out;
    }
};

// Copies the whole of `from` into `to`; SQLite's result code.
int onlineBackup(sqlite3 *to, sqlite3 *from)
{
    sqlite3_backup *b = sqlite3_backup_init(to, "main", from, "main");
    if (!b)
        return sqlite3_errcode(to);
    int rc = sqlite3_backup_step(b, -1);
    const int done = sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE)
        rc = done;
    return rc;
}

sqlite3 *handleOf(Connection &c)
{
    const QVariant h = c.db().driver() ? c.db().driver()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(h.data());
}

// Writes a complete copy of `source` to `file`: into a file beside it first, which replaces
// `file` only when the copy is whole, so a failure never leaves half a backup or destroys an
// older one.
QString copySqlite(sqlite3 *source, const QString &file)
{
    const QString part = file + ".part-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QString problem;
    {
        SqliteDb out;
        if (!out.open(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
            problem = out.error();
        } else if (const int rc = onlineBackup(out.db, source); rc != SQLITE_OK) {
            problem = QString::fromUtf8(sqlite3_errstr(rc));
        } else if (!out.exec("PRAGMA journal_mode=DELETE")) {
            // A copy in rollback mode is one self-contained file.
            problem = out.error();
        }
    }
    if (problem.isEmpty() && std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0)
        problem = QString::fromLocal8Bit(strerror(errno));
    if (!problem.isEmpty()) {
        QFile::remove(part);
        QFile::remove(part + "-journal");
    }
    return problem;
}

// Empty when `path` is an intact database of this program that this program can read.
QString sqliteBackupProblem(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return "所选文件不存在";
    SqliteDb in;
    if (!in.open(path, SQLITE_OPEN_READONLY))
        return kNotOurs;
    const QStringList check = in.column("PRAGMA quick_check");
    if (check != QStringList{"ok"}) {
        qCWarning(lcBackup) << "restore refused, quick_check:" << path << check.mid(0, 3) << in.error();
        // A database file too damaged to be checked is still named as damaged.
        QFile f(path);
        const bool database = f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3", 16);
        return check.isEmpty() && !database ? QString(kNotOurs) : QStringLiteral("所选的备份文件已损坏");
    }
    const QStringList tables = in.column("select name from sqlite_master where type='table'");
    for (const char *t : kOwnTables)
        if (!tables.contains(QString::fromUtf8(t)))
            return kNotOurs;
    if (!tables.contains(QString::fromUtf8(Schema::versionTable())))
        return kNotOurs;
    QHash<QString, int> versions;
    const QString sql = QString("select 子系统 || '=' || 版本 from %1").arg(Schema::versionTable());
    for (const QString &row : in.column(sql.toUtf8().constData()))
        versions.insert(row.section('=', 0, 0), row.section('=', 1).toInt());
    return versionProblem(versions);
}

// ---- PostgreSQL

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QByteArray out, err;
};

struct PgTarget {
    QString host;
    int port = 5432;
    QString user, password, database;
};

PgTarget pgTarget(const ConnectionSettings &s)
{
    PgTarget t{s.server.trimmed(), 5432, s.user, s.password, s.database};
    const int colon = int(t.host.lastIndexOf(':'));
    if (colon > 0) {
        bool ok = false;
        const int p = t.host.mid(colon + 1).toInt(&ok);
        if (ok) {
            t.port = p;
            t.host = t.host.left(colon);
        }
    }
    return t;
}

// `watch` is called about twice a second while the tool runs.
ToolRun runTool(const QString &program, const QStringList &args, const PgTarget *target = nullptr,
                const std::function<void()> &watch = {}, const QString &appName = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (target) {
        // The password travels in the environment of the child alone: never on a command line
        // that every user of the machine can read.
        env.insert("PGPASSWORD", target->password);
        env.insert("PGCONNECT_TIMEOUT", "10");
        env.insert("PGCLIENTENCODING", "UTF8");
        if (!appName.isEmpty())
            env.insert("PGAPPNAME", appName);
    }
    p.setProcessEnvironment(env);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForStarted())
        return r;
    r.started = true;
    p.closeWriteChannel();
    while (!p.waitForFinished(500))
        if (watch)
            watch();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QStringList connectionArgs(const PgTarget &t)
{
    return {"--no-password", "--host", t.host, "--port", QString::number(t.port), "--username", t.user};
}

int majorVersion(const QString &versionText)
{
    static const QRegularExpression re("(\\d+)(?:\\.(\\d+))?");
    const auto m = re.match(versionText);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

int serverMajor(Connection &c)
{
    QSqlQuery q(c.db());
    if (!q.exec("select current_setting('server_version_num')") || !q.next())
        return 0;
    return q.value(0).toInt() / 10000;
}

// The tool's path, or a reason for the operator why it cannot be used for this server.
QString findPgTool(Connection &c, const QString &tool, QString *path)
{
    *path = QStandardPaths::findExecutable(tool);
    if (path->isEmpty())
        return QString("未找到PostgreSQL客户端工具%1，请在本机安装PostgreSQL客户端（postgresql-client）").arg(tool);
    const ToolRun v = runTool(*path, {"--version"});
    const int toolMajor = v.started && v.exitCode == 0 ? majorVersion(QString::fromUtf8(v.out)) : 0;
    const int server = serverMajor(c);
    if (toolMajor == 0)
        return QString("PostgreSQL客户端工具%1无法运行").arg(tool);
    if (server > toolMajor)
        return QString("本机的PostgreSQL客户端工具%1（版本%2）比数据库服务器（版本%3）旧，"
                       "请安装版本%3或更新的PostgreSQL客户端")
            .arg(tool)
            .arg(toolMajor)
            .arg(server);
    return QString();
}

// What the operator reads for a tool's failure; the tool's own words go to the log.
QString pgToolProblem(const QString &tool, const ToolRun &r)
{
    const QString err = QString::fromUtf8(r.err).trimmed();
    qCWarning(lcBackup).noquote() << tool << "failed, exit" << r.exitCode << err;
    if (!r.started)
        return QString("PostgreSQL客户端工具%1无法运行").arg(tool);
    if (err.contains("server version mismatch"))
        return QString("本机的PostgreSQL客户端工具%1比数据库服务器旧，请安装与服务器相同或更新版本的PostgreSQL客户端")
            .arg(tool);
    if (err.contains("password authentication failed") || err.contains("no password supplied"))
        return "数据库服务器拒绝了用户名或密码";
    if (err.contains("could not connect") || err.contains("Connection refused") || err.contains("timeout expired"))
        return "无法连接数据库服务器";
    if (err.contains("could not open output file") || err.contains("could not open input file"))
        return "无法读写所选文件，请检查文件及其文件夹的权限";
    // Anything else is named by the tool's own first error, on one line.
    QString line;
    for (const QString &l : err.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype at = l.indexOf(QLatin1String("error: "));
        if (at >= 0) {
            line = l.mid(at + 7).trimmed();
            break;
        }
        if (line.isEmpty())
            line = l.trimmed();
    }
    if (line.startsWith(tool + ": "))
        line = line.mid(tool.size() + 2);
    if (line.size() > 200)
        line = line.left(200) + "…";
    if (line.isEmpty())
        return QString();
    if (line.contains("end of file") || line.contains("corrupt") || line.contains("uncompress"))
        return QString("所选的备份文件不完整或已损坏（%1）").arg(line);
    return QString("PostgreSQL客户端工具%1报告错误：%2").arg(tool, line);
}

} // namespace

BackupOutcome DatabaseBackup::backup(const QString &file)
{
    if (!m_conn.isOpen())
        return failed("数据库未连接");
    return m_conn.isSqlite() ? backupSqlite(file) : backupPostgres(file);
}

BackupOutcome DatabaseBackup::restore(const QString &file)
{
    if (!m_conn.isOpen())
        return failed("数据库未连接");
    return m_conn.isSqlite() ? restoreSqlite(file) : restorePostgres(file);
}

namespace {
// The database or a file SQLite keeps beside it: a backup written there would replace it.
bool isDatabaseFile(const QString &file, const QString &dbPath)
{
    const QFileInfo target(file);
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QFileInfo own(dbPath + QLatin1String(suffix));
        if (target.absoluteFilePath() == own.absoluteFilePath()
            || (target.exists() && own.exists() && target.canonicalFilePath() == own.canonicalFilePath()))
            return true;
    }
    return false;
}
} // namespace

BackupOutcome DatabaseBackup::backupSqlite(const QString &file)
{
    sqlite3 *source = handleOf(m_conn);
    if (!source)
        return failed("数据库未连接");
    if (isDatabaseFile(file, Connection::sqlitePath(m_conn.settings())))
        return failed("不能备份到数据库文件本身，请另选文件");
    const QString problem = copySqlite(source, file);
    if (!problem.isEmpty()) {
        qCWarning(lcBackup) << "backup failed:" << file << problem;
        return failed("无法写入所选文件，请检查文件夹的权限和磁盘空间");
    }
    return {true, {}, {}};
}

BackupOutcome DatabaseBackup::restoreSqlite(const QString &file)
{
    const ConnectionSettings settings = m_conn.settings();
    const QString dbPath = Connection::sqlitePath(settings);
    if (QFileInfo(file).absoluteFilePath() == QFileInfo(dbPath).absoluteFilePath())
        return failed("不能从数据库文件本身恢复，请选择备份文件");
    if (const QString problem = sqliteBackupProblem(file); !problem.isEmpty())
        return failed(problem);

    BackupOutcome out;
    // Our own connection lets go, so that only other programs can stand in the way.
    m_conn.close();
    {
        SqliteDb live;
        if (!live.open(dbPath, SQLITE_OPEN_READWRITE)) {
            out.reason = "无法打开数据库文件";
        } else if (!live.exec("PRAGMA locking_mode=EXCLUSIVE") || !live.exec("BEGIN EXCLUSIVE")
                   || !live.exec("COMMIT")) {
            // Every other connection in WAL mode holds a shared lock while it is open.
            qCWarning(lcBackup) << "restore refused, database in use:" << live.error();
            out.reason = "数据库正被其他程序使用，请关闭其他客户端后再恢复";
        } else {
            const QFileInfo fi(dbPath);
            const QString copy = fi.dir().filePath(
                fi.completeBaseName() + "-恢复前-" + Clock::localNow().toString("yyyyMMdd-hhmmss") + ".db");
            if (const QString problem = copySqlite(live.db, copy); !problem.isEmpty()) {
                qCWarning(lcBackup) << "restore refused, no copy of the current database:" << copy << problem;
                out.reason = "无法保存当前数据库的副本，请检查数据库所在文件夹的权限和磁盘空间";
            } else {
                out.keptCopy = copy;
                SqliteDb in;
                int rc = in.open(file, SQLITE_OPEN_READONLY) ? onlineBackup(live.db, in.db) : SQLITE_CANTOPEN;
                // The copy runs in one write transaction of the live database: a failure changes nothing.
                if (rc != SQLITE_OK) {
                    qCWarning(lcBackup) << "restore failed:" << sqlite3_errstr(rc) << live.error();
                    out.reason = "复制备份数据失败，数据库未被改变";
                    out.keptCopy.clear();
                    QFile::remove(copy);
                } else {
                    live.exec("PRAGMA journal_mode=WAL");
                    out.ok = true;
                }
            }
        }
        if (live.db) {
            live.exec("PRAGMA locking_mode=NORMAL");
            live.column("select count(*) from sqlite_master"); // lets the exclusive lock go
        }
    }
    try {
        m_conn.open(settings);
    } catch (const DbError &e) {
        qCWarning(lcBackup) << "reconnect after restore failed:" << e.message() << e.detail();
        if (!out.ok) {
            out.reason += (out.reason.isEmpty() ? "" : "\n") + e.message();
            return out;
        }
        // The restored database cannot serve: the one kept is put back.
        {
            SqliteDb live, kept;
            if (live.open(dbPath, SQLITE_OPEN_READWRITE) && kept.open(out.keptCopy, SQLITE_OPEN_READONLY)
                && onlineBackup(live.db, kept.db) == SQLITE_OK)
                live.exec("PRAGMA journal_mode=WAL");
        }
        try {
            m_conn.open(settings);
        } catch (const DbError &again) {
            qCWarning(lcBackup) << "reconnect to the kept database failed:" << again.message() << again.detail();
        }
        return {false, "恢复后的数据库无法使用，已恢复为原来的数据库", {}};
    }
    return out;
}

BackupOutcome DatabaseBackup::backupPostgres(const QString &file)
{
    QString tool;
    if (const QString problem = findPgTool(m_conn, "pg_dump", &tool); !problem.isEmpty())
        return failed(problem);
    const PgTarget t = pgTarget(m_conn.settings());
    // Written beside the chosen file first: a failed dump neither leaves half a file nor
    // destroys an older backup of that name.
    const QString part = file + ".part-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    const ToolRun r = runTool(tool, connectionArgs(t) + QStringList{"--format=custom", "--dbname", t.database,
                                                                     "--file", part},
                              &t);
    if (!r.started || r.exitCode != 0) {
        QFile::remove(part);
        return failed(pgToolProblem("pg_dump", r));
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(part);
        return failed("无法写入所选文件，请检查文件夹的权限");
    }
    return {true, {}, {}};
}

BackupOutcome DatabaseBackup::restorePostgres(const QString &file)
{
    if (!QFileInfo(file).isFile())
        return failed("所选文件不存在");
    QString tool;
    if (const QString problem = findPgTool(m_conn, "pg_restore", &tool); !problem.isEmpty())
        return failed(problem);
    const PgTarget t = pgTarget(m_conn.settings());

    // A dump of this program's database: the archive lists our tables.
    const ToolRun list = runTool(tool, {"--list", file});
    if (!list.started)
        return failed(pgToolProblem("pg_restore", list));
    if (list.exitCode != 0)
        return failed(kNotOurs);
    const QString toc = QString::fromUtf8(list.out);
    auto listsTable = [&toc](const QString &name) {
        return toc.contains(QRegularExpression("\\bTABLE (DATA )?\\S+ " + QRegularExpression::escape(name) + " "));
    };
    for (const char *table : kOwnTables)
        if (!listsTable(QString::fromUtf8(table)))
            return failed(kNotOurs);
    if (!listsTable(QString::fromUtf8(Schema::versionTable())))
        return failed(kNotOurs);
    // Its schema versions, read from the archive without touching the database.
    const ToolRun versions = runTool(tool, {"--data-only", "--table", Schema::versionTable(), "--file", "-", file});
    QHash<QString, int> stored;
    bool inCopy = false;
    for (const QString &line : QString::fromUtf8(versions.out).split('\n')) {
        if (line.startsWith("COPY ")) {
            inCopy = true;
        } else if (line == "\\.") {
            inCopy = false;
        } else if (inCopy) {
            const QStringList f = line.split('\t');
            if (f.size() == 2)
                stored.insert(f[0], f[1].toInt());
        }
    }
    if (const QString problem = versionProblem(stored); !problem.isEmpty())
        return failed(problem);

    // The archive sets lock_timeout itself, so other clients' locks are watched from here: a
    // restore kept waiting for them is cancelled, and its one transaction changes nothing.
    const QString appName = "orv-restore-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QElapsedTimer waiting;
    bool cancelled = false;
    auto watch = [&] {
        QSqlQuery q(m_conn.db());
        q.prepare("select pid from pg_stat_activity where application_name = ? and wait_event_type = 'Lock'");
        q.addBindValue(appName);
        if (!q.exec() || !q.next()) {
            waiting.invalidate();
            return;
        }
        if (!waiting.isValid())
            waiting.start();
        if (waiting.elapsed() >= kPgLockTimeoutSeconds * 1000 && !cancelled) {
            QSqlQuery cancel(m_conn.db());
            cancel.prepare("select pg_cancel_backend(?)");
            cancel.addBindValue(q.value(0));
            cancelled = cancel.exec();
        }
    };
    const ToolRun r = runTool(tool,
                              connectionArgs(t) + QStringList{"--clean", "--if-exists", "--single-transaction",
                                                              "--exit-on-error", "--no-owner", "--no-privileges",
                                                              "--dbname", t.database, file},
                              &t, watch, appName);
    BackupOutcome out;
    out.ok = r.started && r.exitCode == 0;
    if (!out.ok)
        out.reason = cancelled ? QStringLiteral("数据库正被其他客户端使用，请关闭其他客户端后再恢复")
                               : pgToolProblem("pg_restore", r);
    // Statements prepared against the replaced tables are prepared again, and the restored
    // database is brought up to this program's schema.
    const ConnectionSettings settings = m_conn.settings();
    try {
        m_conn.open(settings);
    } catch (const DbError &e) {
        qCWarning(lcBackup) << "reconnect after restore failed:" << e.message() << e.detail();
        out.ok = false;
        out.reason = e.message();
    }
    return out;
}

} // namespace orv
