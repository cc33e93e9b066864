#pragma once
// The schema is kept in versioned steps per subsystem. At connect every step a database has
// not had yet runs, in order, inside one transaction (PostgreSQL: under a lock, so two clients
// meeting an empty database do not race); the reached version of each subsystem is kept in
// 架构版本. A database written by a newer program is refused.
//
// DDL is written once for both databases with these words:
//   {ID}    identity row key         {BOOL}  flag column
//   {MONEY} quantity, price or amount, exact at 4 decimals   {BLOB}  picture bytes
//   {DATE}  date or date-time text (ISO, so ranges compare correctly)
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace orv {

class Connection;

struct TableDef {
    QString name;
    QString ddl;              // "create table X (...)" with the words above
    QStringList indexes = {}; // "create [unique] index ..." statements
};

class Schema {
public:
    using Step = std::function<void(Connection &)>;
    // Version `version` of `subsystem` creates those of `tables` that are missing; when none of
    // them existed (a first start, or a subsystem new to this database) it also runs `seed`.
    static void addTables(const QString &subsystem, int version, const QList<TableDef> &tables,
                          const Step &seed = {});
    // Version `version` of `subsystem` runs `step` (an amendment: new columns, indexes, types).
    static void addStep(const QString &subsystem, int version, const Step &step);
    // Brings the connected database up to date. Throws DbError.
    static void ensure(Connection &c);

    static QString translate(const QString &ddl, bool sqlite);
    static QStringList tableNames();
    static QStringList subsystems();
    static int latestVersion(const QString &subsystem);
    // The version a database holds for a subsystem (0: none yet).
    static int storedVersion(Connection &c, const QString &subsystem);
    static const char *versionTable();
};

// The 55 privilege flag columns of 权限组, in their stored order.
const QStringList &privilegeColumns();

// Registers the tables of operators, privilege groups, the log and the company record.
void registerAppSchema();

} // namespace orv
