#pragma once
// A date range over a stored date column ("yyyy-MM-dd", perhaps with a time after it): both days
// included whatever follows the date, the same on every database.
//
//   sql += " and " + dateRangeCondition("日期");
//   binds << dateRangeBinds(from, to);
#include <QDate>
#include <QString>
#include <QVariantList>

namespace orv {

// "column >= ? and column < ?": the first day, and the day after the last.
inline QString dateRangeCondition(const QString &column)
{
    return column + QStringLiteral(" >= ? and ") + column + QStringLiteral(" < ?");
}

inline QVariantList dateRangeBinds(const QDate &from, const QDate &to)
{
    return {from.toString(Qt::ISODate), to.addDays(1).toString(Qt::ISODate)};
}

} // namespace orv
