#pragma once
// Tables are created on first connection. Each subsystem registers its own tables
// (and what a new database is seeded with) before the program connects.
//
// DDL is written once for both databases with these words:
//   {ID}    identity row key         {BOOL}  flag column
//   {MONEY} amount with 4 decimals   {BLOB}  picture bytes
//   {DATE}  date or date-time text (ISO, so ranges compare correctly)
#include <QString>
#include <QStringList>
#include <functional>

namespace orv {

class Connection;

struct TableDef {
    QString name;
    QString ddl;             // "create table X (...)" with the words above
    QStringList indexes = {}; // "create [unique] index ..." statements
};

class Schema {
public:
    static void addTable(const TableDef &t);
    // Runs on a database that had none of the registered tables.
    static void addSeed(const std::function<void(Connection &)> &seed);
    // Creates what is missing; seeds a database that was empty.
    static void ensure(Connection &c);
    static QString translate(const QString &ddl, bool sqlite);
    static QStringList tableNames();
};

// The 55 privilege flag columns of 权限组, in their stored order.
const QStringList &privilegeColumns();

// Registers the tables of the application shell (operators, groups, log, company, vouchers).
void registerAppSchema();

} // namespace orv
