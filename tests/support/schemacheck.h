#pragma once
// Checks for the tables a subsystem registers: their columns in order, and the document
// numbers of a header kept unique so that insertNumbered() can number it. Both check with
// QTest macros; a caller stops when QTest::currentTestFailed().
#include "testdb.h"
#include "data/dbconnection.h"
#include "ledger/docnumbers.h"

#include <QSqlRecord>
#include <QtTest>

namespace orv::test {

// Column names as the driver reports them, folded: PostgreSQL folds the unquoted ID to id.
inline QStringList columnsOf(Connection &c, const QString &table)
{
    const QSqlRecord r = c.db().record(table);
    QStringList out;
    for (int i = 0; i < r.count(); ++i)
        out << r.fieldName(i).toLower();
    return out;
}

inline void expectColumns(TestDb &t, const QString &table, const QStringList &expected)
{
    QStringList folded;
    for (const auto &name : expected)
        folded << name.toLower();
    QCOMPARE(columnsOf(t.conn(), table), folded);
}

// Two documents asking for one number get two numbers; a plain second insert of a stored
// number is refused by the database. A header with a reversal flag reads "not reversed"
// when its insert leaves the flag out.
inline void expectUniqueNumbers(TestDb &t, const NumberRule &rule, bool hasReversalFlag)
{
    const QDateTime at(QDate(2026, 3, 7), QTime(2, 0), Qt::UTC);
    const QString first = rule.prefix + "260307-001";
    const QString insert = QString("insert into %1 (%2, ID) values (?, ?)").arg(rule.table, rule.column);
    QString got[2];
    {
        Transaction tx(t.conn());
        DocNumbers numbers(t.conn(), rule);
        for (int i = 0; i < 2; ++i)
            got[i] = numbers.insertNumbered(
                [&](const QString &no) { t.conn().exec(insert, {no, QString("doc%1").arg(i)}); }, first, at);
        tx.commit();
    }
    QCOMPARE(got[0], first);
    QCOMPARE(got[1], rule.prefix + "260307-002");
    QVERIFY_THROWS_EXCEPTION(UniqueViolation, t.conn().exec(insert, {first, QString("doc3")}));
    QCOMPARE(t.scalar(QString("select count(*) from %1").arg(rule.table)).toInt(), 2);
    if (hasReversalFlag)
        QCOMPARE(t.scalar(QString("select count(*) from %1 where 是否红冲 = ?").arg(rule.table), {false}).toInt(), 2);
}

} // namespace orv::test
