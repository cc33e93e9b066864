#pragma once
// Backup and restore of the database the program is connected to.
//
// Embedded database: the backup is SQLite's online backup of the open database into the
// chosen file; a restore first proves the file is a database of this program (intact, with our
// tables, not written by a newer program), refuses while another program holds the database,
// keeps a copy of the current database beside it, and then copies the file into the database
// through the online backup (never a file swap beside a live WAL). A failed restore leaves the
// database as it was, and the program connected to it.
//
// PostgreSQL: pg_dump and pg_restore (custom format) run from this machine, the password handed
// over in the environment, never on the command line; the restore is one transaction
// (--clean --single-transaction). A client tool older than the server is named plainly.
#include <QString>

namespace orv {

class Connection;

struct BackupOutcome {
    bool ok = false;
    QString reason;   // why it failed, for the operator (empty: no more to say)
    QString keptCopy; // a restore of the embedded database: where the replaced database was kept
};

class DatabaseBackup {
public:
    explicit DatabaseBackup(Connection &c) : m_conn(c) {}

    BackupOutcome backup(const QString &file);
    // The connection is open again afterwards, whatever the outcome.
    BackupOutcome restore(const QString &file);

    // How long a PostgreSQL restore waits for other clients' locks before it is cancelled.
    static constexpr int kPgLockTimeoutSeconds = 10;

private:
    BackupOutcome backupSqlite(const QString &file);
    BackupOutcome restoreSqlite(const QString &file);
    BackupOutcome backupPostgres(const QString &file);
    BackupOutcome restorePostgres(const QString &file);
    Connection &m_conn;
};

} // namespace orv
