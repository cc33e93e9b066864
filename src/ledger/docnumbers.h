#pragma once
// Record IDs and document numbers.
//
//   Record IDs (24 digits: yyyyMMdd, UTC hour + 8 as 08..31 without carrying into the
//   date, mmss, a zero-padded random 0 <= r < 2100000000 from the generator seeded once):
//     QString makeRecordID(utc = Clock::utcNow())
//
//   Document numbers: prefix + yyMMdd (UTC) + "-" + NNN, master codes without the dash.
//   Serial 999 is the last one of a day; asking for more throws NumbersExhausted.
//     DocNumbers n(conn, NumberRule{table, column, prefix, dash});
//       n.propose()              what a window shows when it opens: reads, reserves nothing
//       n.insertNumbered(insert) inside the saving transaction, as its last step: the number
//                                is read and the row inserted under a savepoint; when another
//                                client took the number first (the unique index says so) it
//                                is tried again with the next free one. Holds no lock.
//       n.insertNumberedQuiet(tryInsert)  the same for an "on conflict do nothing" insert
//                                that reports whether its row went in: no savepoint; with
//                                claimCondition() a number another client is saving is
//                                passed at once (a rolled-back save may then leave a gap)
//       n.next(), n.makeFree(no) inside the transaction, under the table's number lock, for
//                                numbers and codes a save needs before its rows exist (codes
//                                of master rows have no unique index to retry on)
#include "data/dbconnection.h"
#include "common/clock.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <QString>
#include <functional>
#include <memory>

namespace orv {

QString makeRecordID(const QDateTime &utc = Clock::utcNow());

// The sales documents' 18-character record ID: the same 14 digits and a random 0 <= r < 2100 in
// four digits, from the same generator. It has only 2,100 values a second and the ID columns
// are not unique, so a save draws it inside its transaction: an ID that one of `usedIn` (tables
// with an ID column) already holds is drawn again. Throws DbError when none is left.
QString makeShortRecordID(const QDateTime &utc = Clock::utcNow());
QString makeShortRecordID(Connection &c, const QStringList &usedIn, const QDateTime &utc = Clock::utcNow());

// The day's serials of one prefix have run out (999 is the last).
class NumbersExhausted : public DbError {
public:
    explicit NumbersExhausted(const QString &head);
};

struct NumberRule {
    QString table;  // e.g. 出入库单
    QString column; // e.g. 单据编号
    QString prefix; // e.g. "RK-", "CGJH-", "HP"
    bool dash = true; // master codes: false
};

// yyMMdd of the UTC clock.
QString numberDate(const QDateTime &utc = Clock::utcNow());

class DocNumbers {
public:
    DocNumbers(Connection &c, NumberRule rule);
    ~DocNumbers();
    DocNumbers(DocNumbers &&) noexcept;

    // The number a save would take now. Nothing is reserved: another client may take it first.
    QString propose(const QDateTime &utc = Clock::utcNow());

    // Runs `insert` with a free number (starting with `wanted` when it is given) until the row
    // went in; returns the number stored. Needs the saving transaction and a unique index on
    // the number column.
    QString insertNumbered(const std::function<void(const QString &number)> &insert,
                           const QString &wanted = QString(), const QDateTime &utc = Clock::utcNow());
    // The same for an insert that inserts nothing when the number is taken or claimed ("on
    // conflict (number column) do nothing", see claimCondition()) and returns whether its row
    // went in: a clash then costs no failed statement and the save no savepoint.
    QString insertNumberedQuiet(const std::function<bool(const QString &number)> &tryInsert,
                                const QString &wanted = QString(), const QDateTime &utc = Clock::utcNow());
    // For that insert on PostgreSQL, written "insert … select <values> where <claimCondition()>
    // on conflict (number column) do nothing" with claimBinds(number) after the row's values:
    // it claims the number for the saving transaction, and a client that finds the number
    // claimed moves on to the next at once instead of waiting for the other's commit. Empty on
    // SQLite, where one client writes at a time.
    QString claimCondition() const;
    QVariantList claimBinds(const QString &number) const;
    // PostgreSQL: the rows "(…) c" with one column no: the wanted number when it is free, else the
    // first number of the UTC day after the day's last stored one that is neither stored nor
    // claimed by another save, claimed for this transaction; no row when every serial to 999 is
    // taken. Read and claimed in the statement that inserts, so a save under contention costs one
    // statement, not one per number tried. An insert "… select …, c.no, … from <this> on conflict
    // (number column) do nothing returning" that gives no row (a number stored after the statement
    // began) is tried once more, then falls back to insertNumberedQuiet(). firstClaimableBinds()
    // go after the row's values. Empty on SQLite.
    QString firstClaimableSql() const;
    QVariantList firstClaimableBinds(const QDateTime &utc = Clock::utcNow()) const;
    QVariantList firstClaimableBinds(const QString &wanted, const QDateTime &utc = Clock::utcNow()) const;

    // Next free number of the UTC day, under the table's number lock held to the commit.
    QString next(const QDateTime &utc = Clock::utcNow());
    // The number when no row holds it; otherwise the next free serial of the same day.
    QString makeFree(const QString &number);
    bool taken(const QString &number);
    const NumberRule &rule() const { return m_rule; }

private:
    QString firstFree(const QString &head, int serial);
    QString serialsAfterLastSql() const;
    int serialAfterLast(const QString &day, const QString &head);
    QString nextUnlocked(const QDateTime &utc);
    QString firstTry(const QString &wanted, const QDateTime &utc);
    QString afterClash(const QString &number, int attempt);
    void lock();
    Connection &m_conn;
    NumberRule m_rule;
    std::unique_ptr<Statement> m_last;
    std::unique_ptr<Statement> m_exists;
    std::unique_ptr<Statement> m_propose;
    int m_lastLength = -1;
};

// A numbered document header written by statements kept prepared for the window's life.
//   NumberedInsert header(conn, rule, {"单据编号", "日期", …});
//   header.insert(values, shown)   inside the saving transaction, as its last step: the row with
//                                  the shown number when it is free, else the next free one
//                                  (see DocNumbers::firstClaimableSql()); returns the number.
//                                  The number column's entry of values is not used.
//   header.claimingSql(expressions) / claimingBinds(values, shown)   PostgreSQL: that insert as
//                                  one statement ("… returning <number column>", no row when the
//                                  number went to another save meanwhile: insert() then), for a
//                                  caller that sends it with other statements; an expression
//                                  given for a column takes the place of its "?".
class NumberedInsert {
public:
    NumberedInsert(Connection &c, NumberRule rule, QStringList columns);
    ~NumberedInsert();

    QString insert(const QVariantList &values, const QString &wanted = QString());
    QString claimingSql(const QHash<int, QString> &expressions = {}) const;
    QVariantList claimingBinds(const QVariantList &values, const QString &wanted) const;

    DocNumbers &numbers() { return m_numbers; }
    const QStringList &columns() const { return m_columns; }

    // Statements of this process that claimed a number another save stored meanwhile and were
    // sent again (the benchmarks print it); noteRetry() counts one.
    static quint64 retries();
    static void noteRetry();

private:
    Connection &m_conn;
    DocNumbers m_numbers;
    QStringList m_columns;
    int m_numberAt = -1;
    std::unique_ptr<Statement> m_claiming, m_quiet;
};

// "create index ... (substr(column, 1, n), 流水号)" for the rule's prefix length: with it the
// day's last number is found without reading the table.
QString documentNoIndex(const NumberRule &rule);
// "create unique index ..." on the number column: the guard insertNumbered() retries on.
QString documentNoUniqueIndex(const NumberRule &rule);

} // namespace orv
