#include "report/engine/frformat.h"

#include "report/engine/frglobals.h"
#include "report/engine/frlocale.h"
#include "report/engine/frvalue.h"

#include <cmath>

namespace {

// A non-negative number as decimal digits: value = 0.d1 d2 d3 ... x 10^exp.
struct Decimal {
    QString digits;   // no leading or trailing zeros; empty for zero
    int exp = 0;
};

// The value's 15 significant digits, as the class library keeps a double.
Decimal toDecimal(double v)
{
    Decimal d;
    v = std::fabs(v);
    if (v == 0 || !std::isfinite(v))
        return d;
    const QString s = QString::number(v, 'e', 14);   // d.dddddddddddddde+XX
    const int e = int(s.indexOf(QLatin1Char('e')));
    QString digits = s.left(e);
    digits.remove(QLatin1Char('.'));
    d.exp = s.mid(e + 1).toInt() + 1;
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    int lead = 0;
    while (lead < digits.size() && digits[lead] == QLatin1Char('0'))
        ++lead;
    d.digits = digits.mid(lead);
    d.exp -= lead;
    if (d.digits.isEmpty())
        d.exp = 0;
    return d;
}

// Rounds to `count` significant digits counted from the decimal point shift:
// keeps digits up to position n = exp + decimals (halves away from zero).
void roundAt(Decimal &d, int n)
{
    if (d.digits.isEmpty())
        return;
    if (n < 0) {
        d = Decimal();
        return;
    }
    if (n >= d.digits.size())
        return;
    const bool up = d.digits[n] >= QLatin1Char('5');
    QString kept = d.digits.left(n);
    if (up) {
        int i = n - 1;
        while (i >= 0 && kept[i] == QLatin1Char('9')) {
            kept[i] = QLatin1Char('0');
            --i;
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            d.exp += 1;
        } else {
            kept[i] = QChar(kept[i].unicode() + 1);
        }
    }
    while (kept.endsWith(QLatin1Char('0')))
        kept.chop(1);
    d.digits = kept;
    if (d.digits.isEmpty())
        d.exp = 0;
}

QString intDigits(const Decimal &d)
{
    if (d.exp <= 0 || d.digits.isEmpty())
        return QString();
    QString s = d.digits.left(d.exp);
    while (s.size() < d.exp)
        s += QLatin1Char('0');
    return s;
}

QString fracDigits(const Decimal &d, int count)
{
    QString s;
    for (int k = 0; k < count; ++k) {
        const int pos = d.exp + k;
        s += pos >= 0 && pos < d.digits.size() ? d.digits[pos] : QLatin1Char('0');
    }
    return s;
}

QString group(const QString &digits)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += QLatin1Char(',');
    }
    return out;
}

// Splits at ";" outside quotes.
QStringList sections(const QString &pattern)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            cur += c;
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

bool isPlaceholder(QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#'); }

// Formats a non-negative value with one section.
QString formatSection(const QString &sec, double value, QChar sep)
{
    // Layout of the section: placeholders before and after the point, grouping, exponent.
    int point = -1, expAt = -1, intCount = 0, firstZero = -1, fracCount = 0, lastFracZero = -1;
    bool thousands = false;
    int expDigits = 0;
    bool expSign = false;
    QChar quote;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (expAt >= 0)
            continue;
        if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < sec.size()
            && (sec[i + 1] == QLatin1Char('+') || sec[i + 1] == QLatin1Char('-'))) {
            expAt = i;
            expSign = sec[i + 1] == QLatin1Char('+');
            for (int k = i + 2; k < sec.size() && sec[k] == QLatin1Char('0'); ++k)
                ++expDigits;
            continue;
        }
        if (c == QLatin1Char('.') && point < 0) {
            point = i;
        } else if (c == QLatin1Char(',') && point < 0) {
            thousands = true;
        } else if (isPlaceholder(c)) {
            if (point < 0) {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = intCount;
                ++intCount;
            } else {
                ++fracCount;
                if (c == QLatin1Char('0'))
                    lastFracZero = fracCount;
            }
        }
    }
    if (intCount == 0 && fracCount == 0) {
        // Literal-only section.
        QString out;
        QChar q;
        for (QChar c : sec) {
            if (!q.isNull()) {
                if (c == q)
                    q = QChar();
                else
                    out += c;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                q = c;
            } else {
                out += c;
            }
        }
        return out;
    }
    const int minInt = firstZero < 0 ? 0 : intCount - firstZero;
    const int minFrac = lastFracZero < 0 ? 0 : lastFracZero;

    Decimal d = toDecimal(value);
    int exponent = 0;
    if (expAt >= 0) {
        const int lead = qMax(1, intCount);
        if (!d.digits.isEmpty()) {
            roundAt(d, lead + fracCount);   // significant digits from the first
            exponent = d.exp - lead;
            d.exp = lead;
        }
    } else {
        roundAt(d, d.exp + fracCount);
    }
    QString ints = intDigits(d);
    while (ints.size() < minInt)
        ints.prepend(QLatin1Char('0'));
    QString frac = fracDigits(d, fracCount);
    while (frac.size() > minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);

    // Walk the section and put the digits at the placeholders.
    QString out;
    int intIndex = 0, fracIndex = 0;
    const int L = int(ints.size());
    auto emitIntDigit = [&](int j) {
        out += ints[j];
        const int left = L - 1 - j;
        if (thousands && left > 0 && left % 3 == 0)
            out += QLatin1Char(',');
    };
    quote = QChar();
    bool pointDone = false;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (i == expAt) {
            const QString e = QString::number(std::abs(exponent)).rightJustified(expDigits, QLatin1Char('0'));
            out += c;
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (expSign)
                out += QLatin1Char('+');
            out += e;
            i += 1 + expDigits;
            continue;
        }
        if (point >= 0 && i == point && !pointDone) {
            pointDone = true;
            if (!frac.isEmpty())
                out += sep;
            continue;
        }
        if (c == QLatin1Char(',') && (point < 0 || i < point))
            continue;
        if (isPlaceholder(c)) {
            if (point < 0 || i < point) {
                const int j = L - intCount + intIndex;   // digit index of this placeholder
                if (intIndex == 0)
                    for (int k = 0; k < j; ++k)
                        emitIntDigit(k);
                if (j >= 0)
                    emitIntDigit(j);
                ++intIndex;
            } else {
                if (fracIndex < frac.size())
                    out += frac[fracIndex];
                ++fracIndex;
            }
            continue;
        }
        out += c;
    }
    return out;
}
} // namespace

QString frFormatFloat(const QString &pattern, double value, QChar decimalSeparator)
{
    if (pattern.isEmpty()) {
        QString s = frFloatToStr(value);
        s.replace(QLatin1Char('.'), decimalSeparator);
        return s;
    }
    if (!std::isfinite(value))
        return frFloatToStr(value);
    const QStringList secs = sections(pattern);
    const QString positive = secs.value(0);
    if (value < 0) {
        if (secs.size() > 1 && !secs[1].isEmpty())
            return formatSection(secs[1], -value, decimalSeparator);
        const QString s = formatSection(positive, -value, decimalSeparator);
        // A negative that rounds to zero shows no sign.
        for (QChar c : s)
            if (c.isDigit() && c != QLatin1Char('0'))
                return QLatin1Char('-') + s;
        return s;
    }
    if (value == 0 && secs.size() > 2 && !secs[2].isEmpty())
        return formatSection(secs[2], 0, decimalSeparator);
    return formatSection(positive, value, decimalSeparator);
}

QString frFormatFixed(double value, int decimals, bool thousands, QChar decimalSeparator)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return frFloatToStr(value);
    decimals = qBound(0, decimals, 18);
    Decimal d = toDecimal(value);
    roundAt(d, d.exp + decimals);
    QString ints = intDigits(d);
    if (ints.isEmpty())
        ints = QStringLiteral("0");
    QString out = thousands ? group(ints) : ints;
    if (decimals > 0)
        out += decimalSeparator + fracDigits(d, decimals);
    if (value < 0 && !d.digits.isEmpty())
        out.prepend(QLatin1Char('-'));
    return out;
}

// ---------------------------------------------------------------------------
// Dates

namespace {
const char *const kMonths[12] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                 "七月", "八月", "九月", "十月", "十一月", "十二月"};
const char *const kLongDays[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
const char *const kShortDays[7] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

QString pad(int v, int width) { return QString::number(v).rightJustified(width, QLatin1Char('0')); }

bool startsWithCI(const QString &s, int i, const char *word)
{
    return s.mid(i, int(qstrlen(word))).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Whether the pattern asks for a 12-hour clock.
bool twelveHour(const QString &p)
{
    QChar quote;
    for (int i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (startsWithCI(p, i, "ampm") || startsWithCI(p, i, "am/pm") || startsWithCI(p, i, "a/p"))
            return true;
    }
    return false;
}

QString formatDate(const QString &p, const QDateTime &dt, int depth);

QString shortDate(const QDateTime &dt, int depth)
{
    return formatDate(GetEngineLocale()->ShortDateFormat, dt, depth + 1);
}
QString longTime(const QDateTime &dt, int depth)
{
    return formatDate(GetEngineLocale()->LongTimeFormat, dt, depth + 1);
}

QString formatDate(const QString &p, const QDateTime &dt, int depth)
{
    if (depth > 2)
        return QString();
    const QDate date = dt.date();
    const QTime time = dt.time();
    const TfrLocale *loc = GetEngineLocale();
    const bool h12 = twelveHour(p);
    QString out;
    QChar lastField;
    int i = 0;
    while (i < p.size()) {
        const QChar c = p[i];
        const QChar u = c.toUpper();
        int n = 1;
        while (i + n < p.size() && p[i + n].toUpper() == u)
            ++n;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < p.size() && p[j] != c)
                out += p[j++];
            i = j + 1;
            continue;
        }
        if (u == QLatin1Char('Y')) {
            out += n <= 2 ? pad(date.year() % 100, 2) : pad(date.year(), 4);
            lastField = u;
        } else if (u == QLatin1Char('M')) {
            if (n >= 3) {
                out += QString::fromUtf8(kMonths[qBound(1, date.month(), 12) - 1]);
            } else if (lastField == QLatin1Char('H')) {
                out += n == 1 ? QString::number(time.minute()) : pad(time.minute(), 2);
            } else {
                out += n == 1 ? QString::number(date.month()) : pad(date.month(), 2);
            }
            lastField = u;
        } else if (u == QLatin1Char('D')) {
            const int dow = date.dayOfWeek() % 7;   // Sunday first
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += pad(date.day(), 2);
            else if (n == 3)
                out += QString::fromUtf8(kShortDays[dow]);
            else if (n == 4)
                out += QString::fromUtf8(kLongDays[dow]);
            else if (n == 5)
                out += shortDate(dt, depth);
            else
                out += FormatLongDate(dt);
            lastField = u;
        } else if (u == QLatin1Char('H')) {
            int h = time.hour();
            if (h12) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 1 ? QString::number(h) : pad(h, 2);
            lastField = u;
            n = qMin(n, 2);
        } else if (u == QLatin1Char('N')) {
            out += n == 1 ? QString::number(time.minute()) : pad(time.minute(), 2);
            lastField = u;
            n = qMin(n, 2);
        } else if (u == QLatin1Char('S')) {
            out += n == 1 ? QString::number(time.second()) : pad(time.second(), 2);
            lastField = u;
            n = qMin(n, 2);
        } else if (u == QLatin1Char('Z')) {
            out += n < 3 ? QString::number(time.msec()) : pad(time.msec(), 3);
            lastField = u;
            n = qMin(n, 3);
        } else if (u == QLatin1Char('A') && startsWithCI(p, i, "ampm")) {
            out += time.hour() < 12 ? QStringLiteral("上午") : QStringLiteral("下午");
            n = 4;
        } else if (u == QLatin1Char('A') && startsWithCI(p, i, "am/pm")) {
            const QString word = p.mid(i, 5);
            out += time.hour() < 12 ? word.left(2) : word.mid(3, 2);
            n = 5;
        } else if (u == QLatin1Char('A') && startsWithCI(p, i, "a/p")) {
            const QString word = p.mid(i, 3);
            out += time.hour() < 12 ? word.left(1) : word.mid(2, 1);
            n = 3;
        } else if (u == QLatin1Char('C')) {
            out += shortDate(dt, depth);
            if (time != QTime(0, 0))
                out += QLatin1Char(' ') + longTime(dt, depth);
            n = 1;
        } else if (u == QLatin1Char('T')) {
            out += n == 1 ? formatDate(QStringLiteral("hh:nn"), dt, depth + 1) : longTime(dt, depth);
            n = qMin(n, 2);
            lastField = QLatin1Char('T');
        } else if (c == QLatin1Char('/')) {
            out += loc->DateSeparator;
            n = 1;
        } else if (c == QLatin1Char(':')) {
            out += loc->TimeSeparator;
            n = 1;
        } else {
            out += c;
            n = 1;
        }
        i += n;
    }
    return out;
}
} // namespace

QString frFormatDateTime(const QString &pattern, const QDateTime &value)
{
    if (pattern.isEmpty())
        return formatDate(QStringLiteral("c"), value, 0);
    return formatDate(pattern, value, 0);
}

QString FormatLongDate(const QDateTime &value)
{
    return formatDate(QStringLiteral("yyyy'年'm'月'd'日'"), value, 1);
}

// ---------------------------------------------------------------------------

QString FormatValue(const QVariant &value, qint32 code, const QString &formatText)
{
    const TfrVarKind kind = frVarKind(value);
    if (kind == TfrVarKind::Unassigned || kind == TfrVarKind::Null)
        return QString();
    if (kind == TfrVarKind::Text && value.toString().trimmed().isEmpty())
        return QString();
    const int category = (quint32(code) >> 24) & 0x0F;
    const int type = (quint32(code) >> 16) & 0xFF;
    try {
        switch (category) {
        case 0:
            return frVarToStr(value);
        case 1: {
            const int decimals = (quint32(code) >> 8) & 0xFF;
            const int sepCode = code & 0xFF;
            const QChar sep = sepCode ? QChar(sepCode) : GetEngineLocale()->DecimalSeparator;
            const double v = frVarToFloat(value);
            switch (type) {
            case 0: return frFormatFloat(QStringLiteral("##0.") + QString(decimals, QLatin1Char('#')), v, sep);
            case 1: return frFormatFixed(v, decimals, false, sep);
            case 2: return frFormatFloat(QStringLiteral("#,##0.") + QString(decimals, QLatin1Char('#')), v, sep);
            case 3: return frFormatFixed(v, decimals, true, sep);
            case 4: return frFormatFloat(formatText, v, sep);
            default: return frVarToStr(value);
            }
        }
        case 2: {
            const QDateTime dt = frVarToDateTime(value);
            if (type == 4)
                return frFormatDateTime(formatText, dt);
            if (type == 3)
                return FormatLongDate(dt);
            return frFormatDateTime(DateFormats.value(type, QStringLiteral("yyyy-mm-dd")), dt);
        }
        case 3: {
            const QDateTime dt = frVarToDateTime(value);
            if (type == 4)
                return frFormatDateTime(formatText, dt);
            return frFormatDateTime(TimeFormats.value(type, QStringLiteral("hh:nn:ss")), dt);
        }
        case 4: {
            const QString pattern = type == 4 ? formatText : BooleanFormats.value(type);
            const int semi = int(pattern.indexOf(QLatin1Char(';')));
            const bool on = frVarToBool(value);
            if (semi < 0)
                return on ? QString() : pattern;
            return on ? pattern.mid(semi + 1) : pattern.left(semi);
        }
        default:
            return frVarToStr(value);
        }
    } catch (...) {
        return frVarToStr(value);
    }
}
