#include "report/engine/frvalue.h"
#include "report/engine/frlocale.h"

#include <QList>
#include <QMetaType>
#include <QPair>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
const QDateTime &epoch()
{
    static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime);
    return e;
}

QString typeName(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Unassigned: return QStringLiteral("Empty");
    case TfrVarKind::Null: return QStringLiteral("Null");
    case TfrVarKind::Boolean: return QStringLiteral("Boolean");
    case TfrVarKind::Integer: return QStringLiteral("Integer");
    case TfrVarKind::Float: return QStringLiteral("Double");
    case TfrVarKind::DateTime: return QStringLiteral("Date");
    case TfrVarKind::Text: return QStringLiteral("String");
    default: return QString::fromLatin1(v.typeName());
    }
}

[[noreturn]] void castError(const QVariant &v, const char *to)
{
    throw EfrConversionError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                 .arg(typeName(v), QString::fromLatin1(to)));
}

bool isNumberKind(TfrVarKind k)
{
    return k == TfrVarKind::Integer || k == TfrVarKind::Float || k == TfrVarKind::Boolean
        || k == TfrVarKind::DateTime;
}

QVariant fromDouble(double d) { return QVariant(d); }

// Integer result when it fits, else a float.
QVariant intResult(long double r)
{
    if (r >= (long double)std::numeric_limits<qint64>::min() && r <= (long double)std::numeric_limits<qint64>::max())
        return QVariant(qint64(r));
    return QVariant(double(r));
}

enum class Op { Add, Sub, Mul };

QVariant arith(const QVariant &a, const QVariant &b, Op op)
{
    const TfrVarKind ka = frVarKind(a), kb = frVarKind(b);
    if (ka == TfrVarKind::Unassigned || ka == TfrVarKind::Null || kb == TfrVarKind::Unassigned
        || kb == TfrVarKind::Null) {
        if (op == Op::Add) {
            // Null + text keeps the text (string concatenation with an empty string).
            if (ka == TfrVarKind::Text && (kb == TfrVarKind::Null || kb == TfrVarKind::Unassigned))
                return a;
            if (kb == TfrVarKind::Text && (ka == TfrVarKind::Null || ka == TfrVarKind::Unassigned))
                return b;
        }
        return frNull();
    }
    if (op == Op::Add && ka == TfrVarKind::Text && kb == TfrVarKind::Text)
        return QVariant(a.toString() + b.toString());
    // Date arithmetic: date +/- number gives a date.
    if ((op == Op::Add || op == Op::Sub) && (ka == TfrVarKind::DateTime) != (kb == TfrVarKind::DateTime)) {
        const double r = op == Op::Add ? frVarToFloat(a) + frVarToFloat(b) : frVarToFloat(a) - frVarToFloat(b);
        if (ka == TfrVarKind::DateTime || op == Op::Add)
            return QVariant(frDoubleToDateTime(r));
        return fromDouble(r);
    }
    const bool intA = ka == TfrVarKind::Integer || ka == TfrVarKind::Boolean;
    const bool intB = kb == TfrVarKind::Integer || kb == TfrVarKind::Boolean;
    if (intA && intB) {
        const long double x = (long double)frVarToInt(a), y = (long double)frVarToInt(b);
        switch (op) {
        case Op::Add: return intResult(x + y);
        case Op::Sub: return intResult(x - y);
        case Op::Mul: return intResult(x * y);
        }
    }
    const double x = frVarToFloat(a), y = frVarToFloat(b);
    switch (op) {
    case Op::Add: return fromDouble(x + y);
    case Op::Sub: return fromDouble(x - y);
    case Op::Mul: return fromDouble(x * y);
    }
    return frNull();
}

QVariant bitwise(const QVariant &a, const QVariant &b, bool isOr)
{
    const TfrVarKind ka = frVarKind(a), kb = frVarKind(b);
    if (ka == TfrVarKind::Null || ka == TfrVarKind::Unassigned || kb == TfrVarKind::Null
        || kb == TfrVarKind::Unassigned)
        return frNull();
    if (ka == TfrVarKind::Boolean && kb == TfrVarKind::Boolean)
        return QVariant(isOr ? (a.toBool() || b.toBool()) : (a.toBool() && b.toBool()));
    const qint64 x = frVarToInt(a), y = frVarToInt(b);
    return QVariant(isOr ? (x | y) : (x & y));
}
} // namespace

QVariant frUnassigned() { return QVariant(); }

QVariant frNull() { return QVariant::fromValue(nullptr); }

bool frIsNull(const QVariant &v)
{
    const TfrVarKind k = frVarKind(v);
    return k == TfrVarKind::Null || k == TfrVarKind::Unassigned;
}

TfrVarKind frVarKind(const QVariant &v)
{
    if (!v.isValid())
        return TfrVarKind::Unassigned;
    switch (v.typeId()) {
    case QMetaType::Nullptr:
        return TfrVarKind::Null;
    case QMetaType::Bool:
        return TfrVarKind::Boolean;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        return TfrVarKind::Integer;
    case QMetaType::Double: case QMetaType::Float:
        return TfrVarKind::Float;
    case QMetaType::QDateTime: case QMetaType::QDate: case QMetaType::QTime:
        return TfrVarKind::DateTime;
    case QMetaType::QString: case QMetaType::QChar: case QMetaType::QByteArray:
        return TfrVarKind::Text;
    default:
        return TfrVarKind::Other;
    }
}

double frRoundHalfEven(double v) { return std::nearbyint(v); }

double frDateTimeToDouble(const QDateTime &dt)
{
    const qint64 ms = epoch().msecsTo(dt);
    // Days with the time of day as fraction; before the epoch the fraction stays positive
    // (the sign applies to the day part only), as stored date values count.
    const qint64 dayMs = 86400000;
    qint64 days = ms / dayMs;
    qint64 rest = ms % dayMs;
    if (rest < 0) {
        days -= 1;
        rest += dayMs;
    }
    if (days < 0)
        return double(days) - double(rest) / double(dayMs);
    return double(days) + double(rest) / double(dayMs);
}

QDateTime frDoubleToDateTime(double d)
{
    double days = std::trunc(d);
    double frac = std::fabs(d - days);
    qint64 ms = qint64(std::llround(frac * 86400000.0));
    return epoch().addDays(qint64(days)).addMSecs(ms);
}

static QDateTime asDateTime(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0), Qt::LocalTime);
    if (v.typeId() == QMetaType::QTime)
        return QDateTime(QDate(1899, 12, 30), v.toTime(), Qt::LocalTime);
    return v.toDateTime();
}

QString frFloatToStr(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (v == 0)
        return QStringLiteral("0");
    const QChar dec = GetEngineLocale()->DecimalSeparator;
    // 15 significant digits, then decide fixed or scientific by the exponent, as stored reports expect.
    QString e = QString::number(v, 'e', 14);           // d.dddddddddddddde+XX
    const int ePos = e.indexOf(QLatin1Char('e'));
    QString mant = e.left(ePos);
    const int exp = e.mid(ePos + 1).toInt();
    const bool neg = mant.startsWith(QLatin1Char('-'));
    if (neg)
        mant.remove(0, 1);
    QString digits = mant;
    digits.remove(QLatin1Char('.'));
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString out;
    if (exp < 15 && std::fabs(v) >= 0.00001) {
        if (exp >= 0) {
            QString intPart = digits.left(exp + 1);
            while (intPart.size() < exp + 1)
                intPart += QLatin1Char('0');
            const QString fracPart = digits.mid(exp + 1);
            out = intPart;
            if (!fracPart.isEmpty())
                out += dec + fracPart;
        } else {
            out = QStringLiteral("0") + dec + QString(-exp - 1, QLatin1Char('0')) + digits;
        }
    } else {
        out = digits.left(1);
        if (digits.size() > 1)
            out += dec + digits.mid(1);
        out += QLatin1Char('E');
        if (exp < 0)
            out += QLatin1Char('-');
        out += QString::number(std::abs(exp));
    }
    return neg ? QLatin1Char('-') + out : out;
}

bool frTryStrToFloat(const QString &s, double &out)
{
    QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    const QChar dec = GetEngineLocale()->DecimalSeparator;
    if (dec != QLatin1Char('.'))
        t.replace(dec, QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    // Only plain decimal notation with an optional exponent.
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    int digits = 0, dots = 0;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            ++digits;
        else if (c == QLatin1Char('.') && dots == 0)
            ++dots;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        int ed = 0;
        for (; i < n && t[i].unicode() < 128 && t[i].isDigit(); ++i)
            ++ed;
        if (ed == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok)
        return false;
    out = d;
    return true;
}

double frStrToFloat(const QString &s)
{
    double d = 0;
    if (!frTryStrToFloat(s, d))
        throw EfrConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return d;
}

QString frVarToStr(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Unassigned:
    case TfrVarKind::Null:
        return QString();
    case TfrVarKind::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TfrVarKind::Integer:
        return QString::number(v.toLongLong());
    case TfrVarKind::Float:
        return frFloatToStr(v.toDouble());
    case TfrVarKind::DateTime: {
        const QDateTime dt = asDateTime(v);
        const TfrLocale *loc = GetEngineLocale();
        auto conv = [](QString f) {
            // Report patterns write minutes as "nn".
            f.replace(QStringLiteral("nn"), QStringLiteral("mm"));
            return f;
        };
        QString dateFmt = loc->ShortDateFormat;
        dateFmt.replace(QStringLiteral("mm"), QStringLiteral("MM"));
        dateFmt.replace(QLatin1Char('m'), QLatin1Char('M'));
        QString out;
        if (v.typeId() != QMetaType::QTime)
            out = dt.date().toString(dateFmt);
        if (v.typeId() == QMetaType::QTime || dt.time() != QTime(0, 0)) {
            const QString t = dt.time().toString(conv(loc->LongTimeFormat));
            out = out.isEmpty() ? t : out + QLatin1Char(' ') + t;
        }
        return out;
    }
    case TfrVarKind::Text:
        return v.toString();
    default:
        return v.toString();
    }
}

double frVarToFloat(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Unassigned:
        return 0;
    case TfrVarKind::Null:
        castError(v, "Double");
    case TfrVarKind::Boolean:
        return v.toBool() ? -1.0 : 0.0;
    case TfrVarKind::Integer:
        return double(v.toLongLong());
    case TfrVarKind::Float:
        return v.toDouble();
    case TfrVarKind::DateTime:
        return frDateTimeToDouble(asDateTime(v));
    case TfrVarKind::Text: {
        double d = 0;
        if (!frTryStrToFloat(v.toString(), d))
            castError(v, "Double");
        return d;
    }
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            castError(v, "Double");
        return d;
    }
    }
}

qint64 frVarToInt(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Boolean:
        return v.toBool() ? -1 : 0;
    case TfrVarKind::Integer:
        return v.toLongLong();
    default: {
        const double d = frRoundHalfEven(frVarToFloat(v));
        if (!(d >= -9.2e18 && d <= 9.2e18))
            castError(v, "Int64");
        return qint64(d);
    }
    }
}

bool frVarToBool(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Boolean:
        return v.toBool();
    case TfrVarKind::Text: {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return frVarToFloat(v) != 0;
    }
    case TfrVarKind::Unassigned:
        return false;
    default:
        return frVarToFloat(v) != 0;
    }
}

QVariant frVarAdd(const QVariant &a, const QVariant &b) { return arith(a, b, Op::Add); }
QVariant frVarSub(const QVariant &a, const QVariant &b) { return arith(a, b, Op::Sub); }
QVariant frVarMul(const QVariant &a, const QVariant &b) { return arith(a, b, Op::Mul); }

QVariant frVarDiv(const QVariant &a, const QVariant &b)
{
    if (frIsNull(a) || frIsNull(b))
        return frNull();
    const double y = frVarToFloat(b);
    if (y == 0)
        return QVariant(0.0);
    return QVariant(frVarToFloat(a) / y);
}

QVariant frVarMod(const QVariant &a, const QVariant &b)
{
    if (frIsNull(a) || frIsNull(b))
        return frNull();
    const qint64 x = frVarToInt(a), y = frVarToInt(b);
    if (y == 0)
        throw EfrParserError(QStringLiteral("Division by zero"));
    if (y == -1)
        return QVariant(qint64(0));
    return QVariant(qint64(x % y));
}

QVariant frVarOr(const QVariant &a, const QVariant &b) { return bitwise(a, b, true); }
QVariant frVarAnd(const QVariant &a, const QVariant &b) { return bitwise(a, b, false); }

QVariant frVarNeg(const QVariant &a)
{
    switch (frVarKind(a)) {
    case TfrVarKind::Unassigned:
    case TfrVarKind::Null:
        return frNull();
    case TfrVarKind::Integer:
    case TfrVarKind::Boolean: {
        const qint64 x = frVarToInt(a);
        if (x == std::numeric_limits<qint64>::min())
            return QVariant(-double(x));
        return QVariant(-x);
    }
    default:
        return QVariant(-frVarToFloat(a));
    }
}

int frVarCompare(const QVariant &a, const QVariant &b)
{
    const bool na = frIsNull(a), nb = frIsNull(b);
    if (na || nb)
        return na && nb ? 0 : (na ? -1 : 1);
    const TfrVarKind ka = frVarKind(a), kb = frVarKind(b);
    if (ka == TfrVarKind::Text && kb == TfrVarKind::Text) {
        const int c = QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (ka == TfrVarKind::Boolean && kb == TfrVarKind::Boolean) {
        const int x = a.toBool() ? 1 : 0, y = b.toBool() ? 1 : 0;
        // True (-1) sorts below False (0) when seen as numbers.
        return x == y ? 0 : (x ? -1 : 1);
    }
    // A Boolean met with a text: the text is read as a Boolean ("True", "False" or a number).
    if ((ka == TfrVarKind::Boolean && kb == TfrVarKind::Text) || (ka == TfrVarKind::Text && kb == TfrVarKind::Boolean))
        return frVarCompare(QVariant(frVarToBool(a)), QVariant(frVarToBool(b)));
    // A date met with a text: the text is read as a date-time.
    if ((ka == TfrVarKind::DateTime && kb == TfrVarKind::Text) || (ka == TfrVarKind::Text && kb == TfrVarKind::DateTime)) {
        const double x = frDateTimeToDouble(frVarToDateTime(a)), y = frDateTimeToDouble(frVarToDateTime(b));
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if ((ka == TfrVarKind::Integer || ka == TfrVarKind::Boolean)
        && (kb == TfrVarKind::Integer || kb == TfrVarKind::Boolean)) {
        const qint64 x = frVarToInt(a), y = frVarToInt(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (!isNumberKind(ka) && ka != TfrVarKind::Text)
        castError(a, "Double");
    if (!isNumberKind(kb) && kb != TfrVarKind::Text)
        castError(b, "Double");
    const double x = frVarToFloat(a), y = frVarToFloat(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool frVarEquals(const QVariant &a, const QVariant &b) { return frVarCompare(a, b) == 0; }

QDateTime frVarToDateTime(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::DateTime:
        return asDateTime(v);
    case TfrVarKind::Text: {
        const QString s = v.toString().trimmed();
        double d = 0;
        if (frTryStrToFloat(s, d))
            return frDoubleToDateTime(d);
        // "date", "time" or "date time"
        const int sp = s.indexOf(QLatin1Char(' '));
        if (s.contains(GetEngineLocale()->TimeSeparator) && sp < 0)
            return QDateTime(QDate(1899, 12, 30), frStrToTime(s), Qt::LocalTime);
        if (sp > 0)
            return QDateTime(frStrToDate(s.left(sp)), frStrToTime(s.mid(sp + 1).trimmed()), Qt::LocalTime);
        return QDateTime(frStrToDate(s), QTime(0, 0), Qt::LocalTime);
    }
    default:
        return frDoubleToDateTime(frVarToFloat(v));
    }
}

namespace {
QList<int> numbersOf(const QString &s, bool &clean)
{
    QList<int> out;
    clean = true;
    QString cur;
    for (const QChar c : s) {
        if (c.unicode() < 128 && c.isDigit()) {
            cur += c;
        } else {
            if (!cur.isEmpty()) {
                out << cur.toInt();
                cur.clear();
            }
            if (!(c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('/')
                  || c == QLatin1Char(' ') || c == QLatin1Char(':') || c == GetEngineLocale()->DateSeparator
                  || c == GetEngineLocale()->TimeSeparator))
                clean = false;
        }
    }
    if (!cur.isEmpty())
        out << cur.toInt();
    return out;
}
} // namespace

QDate frStrToDate(const QString &text)
{
    const QString s = text.trimmed();
    bool clean = false;
    const QList<int> n = numbersOf(s, clean);
    const QString fmt = GetEngineLocale()->ShortDateFormat.toLower();
    // Order of the parts as the short date format gives them.
    const int py = fmt.indexOf(QLatin1Char('y')), pm = fmt.indexOf(QLatin1Char('m')), pd = fmt.indexOf(QLatin1Char('d'));
    QList<QPair<int, QChar>> order{{py, QLatin1Char('y')}, {pm, QLatin1Char('m')}, {pd, QLatin1Char('d')}};
    std::sort(order.begin(), order.end(), [](auto a, auto b) { return a.first < b.first; });
    int y = QDate::currentDate().year(), m = 0, d = 0;
    bool ok = clean && (n.size() == 3 || n.size() == 2);
    if (ok) {
        if (n.size() == 3) {
            for (int i = 0; i < 3; ++i) {
                const QChar k = order[i].second;
                if (k == QLatin1Char('y')) y = n[i];
                else if (k == QLatin1Char('m')) m = n[i];
                else d = n[i];
            }
            if (y < 100)
                y += 2000;
        } else {
            // Month and day in the format's order.
            const bool monthFirst = pm < pd;
            m = monthFirst ? n[0] : n[1];
            d = monthFirst ? n[1] : n[0];
        }
    }
    const QDate date(y, m, d);
    if (!ok || !date.isValid())
        throw EfrConversionError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

QTime frStrToTime(const QString &text)
{
    QString s = text.trimmed();
    int pmShift = -1;   // -1 none, 0 am, 12 pm
    const QString up = s.toUpper();
    if (up.endsWith(QLatin1String("AM")) || up.endsWith(QLatin1String("PM"))) {
        pmShift = up.endsWith(QLatin1String("PM")) ? 12 : 0;
        s = s.left(s.size() - 2).trimmed();
    }
    bool clean = false;
    const QList<int> n = numbersOf(s, clean);
    bool ok = clean && !n.isEmpty() && n.size() <= 3 && (n.size() > 1 || pmShift >= 0);
    int h = ok ? n[0] : -1, mi = n.size() > 1 ? n[1] : 0, sec = n.size() > 2 ? n[2] : 0;
    if (ok && pmShift >= 0) {
        if (h < 1 || h > 12)
            ok = false;
        else
            h = h % 12 + pmShift;
    }
    const QTime t(h, mi, sec);
    if (!ok || !t.isValid())
        throw EfrConversionError(QStringLiteral("'%1' is not a valid time").arg(text));
    return t;
}
