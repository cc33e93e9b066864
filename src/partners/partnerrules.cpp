#include "partners/partnerrules.h"
#include "common/codec.h"
#include "data/dbconnection.h"

#include <QRegularExpression>

namespace orv {

Refusal firstOverLimit(std::initializer_list<ByteLimit> limits)
{
    for (const ByteLimit &l : limits)
        if (gbkLength(l.value) > l.maxBytes)
            return {l.field, l.message};
    return {};
}

bool parseDecimal(const QString &text, double *value)
{
    static const QRegularExpression decimal(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!decimal.match(text).hasMatch())
        return false;
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (ok && value)
        *value = d;
    return ok;
}

QString containsCondition(const Connection &c, const QString &column)
{
    // PostgreSQL's LIKE heeds letter case; the searches never did (助记码 is typed in either case).
    return column + (c.isSqlite() ? QStringLiteral(" like ?") : QStringLiteral(" ilike ?"));
}

} // namespace orv
