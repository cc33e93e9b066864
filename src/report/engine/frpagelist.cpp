#include "report/engine/frpagelist.h"
#include "report/engine/frlocale.h"

#include <climits>

namespace {

// The number of a run of digits; beyond the range of int it is larger than any page count.
int numberOf(const QString &digits)
{
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok);
    return (!ok || v > INT_MAX) ? INT_MAX : int(v);
}

QString stripBlanks(const QString &text)
{
    QString s;
    for (const QChar c : text)
        if (!c.isSpace())
            s += c;
    return s;
}

} // namespace

bool TfrPageList::Check(const QString &text, QString *message)
{
    const QString s = stripBlanks(text);
    bool ok = true;
    bool digits = false, inRange = false;
    for (int i = 0; i < s.size() && ok; ++i) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else if (c == QLatin1Char('-')) {
            ok = digits && !inRange;
            inRange = true;
            digits = false;
        } else if (c == QLatin1Char(',')) {
            ok = digits || !inRange;
            inRange = false;
            digits = false;
        } else {
            ok = false;
        }
    }
    if (!ok && message)
        *message = QStringLiteral("页号不正确: %1\n").arg(text.trimmed()) + GetLocalizedString(53048);
    return ok;
}

TfrPageList TfrPageList::Parse(const QString &text, int pageCount)
{
    TfrPageList list;
    QString s = stripBlanks(text);
    if (s.isEmpty()) {
        list.m_all = true;
        return list;
    }
    if (!Check(s))
        return list;
    if (s.endsWith(QLatin1Char('-')))
        s += QString::number(pageCount);
    s += QLatin1Char(',');
    QString digits;
    int start = 0;
    bool inRange = false;
    for (const QChar c : s) {
        if (c == QLatin1Char('-')) {
            start = numberOf(digits);
            inRange = true;
            digits.clear();
        } else if (c == QLatin1Char(',')) {
            if (!digits.isEmpty()) {
                const int n = numberOf(digits);
                if (!inRange)
                    list.m_ranges.append({n, n});
                else if (n >= start)
                    list.m_ranges.append({start, n});
            }
            inRange = false;
            digits.clear();
        } else {
            digits += c;
        }
    }
    return list;
}

bool TfrPageList::Contains(int pageNo) const
{
    if (m_all)
        return true;
    for (const Range &r : m_ranges)
        if (pageNo >= r.First && pageNo <= r.Last)
            return true;
    return false;
}

TfrPrintPlan frPrintPlan(const TfrPrintRequest &request, int pageCount, bool deviceMakesCopies)
{
    const TfrPageList list = TfrPageList::Parse(request.PageNumbers, pageCount);
    const int copies = qMax(1, request.Copies);
    QList<int> once;
    for (int i = 0; i < pageCount; ++i) {
        const int no = i + 1;
        if (!list.Contains(no))
            continue;
        if ((request.PrintPages == 1 && no % 2 == 0) || (request.PrintPages == 2 && no % 2 == 1))
            continue;
        once.append(i);
    }
    TfrPrintPlan plan;
    if (request.Collate) {
        for (int c = 0; c < copies; ++c)
            plan.Pages += once;
    } else if (deviceMakesCopies) {
        plan.Pages = once;
        plan.DeviceCopies = copies;
    } else {
        for (int i : once)
            for (int c = 0; c < copies; ++c)
                plan.Pages.append(i);
    }
    return plan;
}
