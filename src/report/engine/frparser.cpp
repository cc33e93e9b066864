#include "report/engine/frparser.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include <cmath>

namespace {
// 1-based character access; '\0' outside the text.
inline QChar at(const QString &s, int pos)
{
    return pos >= 1 && pos <= s.size() ? s[pos - 1] : QChar();
}

enum Code : ushort {
    cGE = 1, cLE = 2, cNE = 3, cOR = 4, cAND = 5, cINT = 6, cFRAC = 7,
    cNEG = 9, cPLUS = 10, cSTR = 11, cNOT = 12, cMOD = 13, cROUND = 14
};

int priority(QChar c)
{
    switch (c.unicode()) {
    case cGE: case cLE: case cNE: case '<': case '=': case '>':
        return 3;
    case '+': case '-': case cNEG: case cPLUS:
        return 2;
    case '*': case '/': case cOR: case cAND: case cMOD: case cNOT:
        return 1;
    case cINT: case cFRAC: case cROUND: case cSTR:
        return 0;
    case '(':
        return 5;
    default:
        return 4;
    }
}

bool isStopChar(QChar c)
{
    switch (c.unicode()) {
    case 13: case ' ': case '(': case ')': case '*': case '+': case '-': case '/':
    case '<': case '=': case '>': case '[':
        return true;
    default:
        return false;
    }
}

bool startsNumber(const QString &t)
{
    if (t.isEmpty())
        return false;
    const QChar c = t[0];
    return (c.unicode() < 128 && c.isDigit()) || c == QLatin1Char(',') || c == QLatin1Char('.');
}

int keywordCode(const QString &upper)
{
    static const struct { const char *name; int code; } kw[] = {
        {"INT", cINT}, {"FRAC", cFRAC}, {"ROUND", cROUND}, {"OR", cOR},
        {"AND", cAND}, {"NOT", cNOT}, {"STR", cSTR}, {"MOD", cMOD},
    };
    for (const auto &k : kw)
        if (upper == QLatin1String(k.name))
            return k.code;
    return 0;
}

QString undefinedSymbol(const QString &name)
{
    return GetLocalizedString(frRes::UndefinedSymbol) + QLatin1String(" \"") + name + QLatin1Char('"');
}

struct DepthGuard {
    int &d;
    explicit DepthGuard(int &depth) : d(depth)
    {
        if (++d > TfrParser::MaxNesting) {
            --d;
            throw EfrParserError(QStringLiteral("Expression nesting too deep (more than %1 levels)")
                                     .arg(TfrParser::MaxNesting));
        }
    }
    ~DepthGuard() { --d; }
};
} // namespace

QString ExtractBracketed(const QString &text, int start, int &finish)
{
    if (at(text, start) != QLatin1Char('[')) {
        finish = start;
        return QString();
    }
    int n = 0;
    bool dq = false, sq = false;
    const int len = int(text.size());
    int p = start;
    for (; p <= len; ++p) {
        const QChar c = text[p - 1];
        if (c == QLatin1Char('[') && !dq && !sq)
            ++n;
        else if (c == QLatin1Char(']') && !dq && !sq)
            --n;
        else if (c == QLatin1Char('"') && !sq)
            dq = !dq;
        else if (c == QLatin1Char('\'') && !dq)
            sq = !sq;
        if (n == 0)
            break;
    }
    finish = p;   // len + 1 when the bracket does not close
    return text.mid(start, finish - start - 1);
}

QString frExpandBrackets(const QString &text, const std::function<QString(const QString &)> &expand)
{
    // Values are never scanned again, so the walk reads the given text once
    // and appends to the result: linear however many brackets there are.
    QString out;
    const int len = int(text.size());
    int copied = 1;   // first 1-based position not yet copied
    int i = 1;
    while (i <= len) {
        if (text[i - 1] != QLatin1Char('[')) {
            ++i;
            continue;
        }
        int finish = i;
        const QString inner = ExtractBracketed(text, i, finish);
        out += QStringView(text).mid(copied - 1, i - copied);
        out += expand(inner);
        i = finish + 1;
        copied = i;
    }
    if (copied <= len)
        out += QStringView(text).mid(copied - 1);
    return out;
}

// ---------------------------------------------------------------------------

QString TfrParser::ReadIdentifier(const QString &text, int &pos)
{
    const int len = int(text.size());
    while (pos <= len && text[pos - 1].unicode() <= 32)
        ++pos;
    const int start = pos;
    int quotes = 0;
    while (pos <= len) {
        const QChar c = text[pos - 1];
        if (c == QLatin1Char('"'))
            ++quotes;
        if (isStopChar(c) && quotes % 2 == 0)
            break;
        ++pos;
    }
    return text.mid(start - 1, pos - start);
}

QString TfrParser::ReadQuoted(const QString &text, int &pos)
{
    const int start = pos;
    const int len = int(text.size());
    int p = pos + 1;
    for (;;) {
        while (p <= len && text[p - 1] != QLatin1Char('\''))
            ++p;
        if (p > len)
            throw EfrParserError(QStringLiteral("Unterminated quoted text: %1").arg(text.mid(start - 1)));
        if (at(text, p + 1) == QLatin1Char('\'')) {
            p += 2;   // a doubled quote
            continue;
        }
        break;
    }
    pos = p + 1;
    return text.mid(start - 1, pos - start);
}

void TfrParser::SplitArguments(const QString &text, int &pos, QString &arg1, QString &arg2, QString &arg3)
{
    arg1.clear();
    arg2.clear();
    arg3.clear();
    const int len = int(text.size());
    int depth = 1;
    bool sq = false;
    int commas = 0;
    int argStart = pos + 1;
    int p = pos + 1;
    for (; p <= len; ++p) {
        const QChar c = text[p - 1];
        if (c == QLatin1Char('\'')) {
            sq = !sq;
        } else if (!sq) {
            if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                if (--depth == 0)
                    break;
            } else if (c == QLatin1Char(',') && depth == 1) {
                const QString part = text.mid(argStart - 1, p - argStart);
                ++commas;
                if (commas == 1)
                    arg1 = part;
                else if (commas == 2)
                    arg2 = part;
                else
                    throw EfrParserError(QStringLiteral("Too many arguments (at most three) in: %1")
                                             .arg(text.mid(pos - 1)));
                argStart = p + 1;
            }
        }
    }
    if (depth != 0)
        throw EfrParserError(QStringLiteral("Missing \")\" in: %1").arg(text.mid(pos - 1)));
    const QString rest = text.mid(argStart - 1, p - argStart);
    if (commas == 0)
        arg1 = rest;
    else if (commas == 1)
        arg2 = rest;
    else
        arg3 = rest;
    pos = p + 1;
}

QString TfrParser::Translate(const QString &expression)
{
    const QString &s = expression;
    const int len = int(s.size());
    QString out;
    QString st;   // operator stack, first character is the top
    bool operand = false;
    auto place = [&](QChar op) {
        if (st.isEmpty()) {
            st = op;
        } else if (priority(op) < priority(st[0])) {
            st.prepend(op);
        } else {
            while (!st.isEmpty() && priority(st[0]) <= priority(op)) {
                out += st[0];
                st.remove(0, 1);
            }
            st.prepend(op);
        }
    };
    int pos = 1;
    while (pos <= len) {
        const int before = pos;
        const QChar c = s[pos - 1];
        if (c.unicode() == 13 || c == QLatin1Char(' ')) {
            ++pos;
            continue;
        }
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('(')) {
            st.prepend(c);
            operand = false;
            ++pos;
            continue;
        }
        if (c == QLatin1Char(')')) {
            const int k = int(st.indexOf(QLatin1Char('(')));
            if (k >= 0) {
                out += st.left(k);
                st.remove(0, k + 1);
            }
            ++pos;
            continue;
        }
        if (QStringLiteral("+-*/<=>").contains(c)) {
            QChar op = c;
            const QChar n = at(s, pos + 1);
            if (c == QLatin1Char('<') && n == QLatin1Char('>')) {
                op = QChar(cNE);
                ++pos;
            } else if (c == QLatin1Char('>') && n == QLatin1Char('=')) {
                op = QChar(cGE);
                ++pos;
            } else if (c == QLatin1Char('<') && n == QLatin1Char('=')) {
                op = QChar(cLE);
                ++pos;
            }
            if (!operand) {
                if (op == QLatin1Char('-'))
                    op = QChar(cNEG);
                else if (op == QLatin1Char('+'))
                    op = QChar(cPLUS);
            }
            operand = false;
            place(op);
            ++pos;
            continue;
        }
        // An operand.
        operand = true;
        QString text;
        if (c == QLatin1Char('%')) {
            text = s.mid(pos - 1, 2);
            pos += 2;
        }
        const QString prefix = text;
        bool isWord = false;
        int wordStart = pos;
        const QChar c2 = at(s, pos);
        if (c2 == QLatin1Char('\'')) {
            text += ReadQuoted(s, pos);
        } else if (c2 == QLatin1Char('[')) {
            int fin = pos;
            const QString inner = ExtractBracketed(s, pos, fin);
            if (fin > len)
                throw EfrParserError(QStringLiteral("Missing \"]\" in: %1").arg(s.mid(pos - 1)));
            text += QLatin1Char('[') + inner + QLatin1Char(']');
            pos = fin + 1;
        } else {
            isWord = true;
            while (wordStart <= len && s[wordStart - 1].unicode() <= 32)
                ++wordStart;
            QString w = ReadIdentifier(s, pos);
            if (at(s, pos) == QLatin1Char('[')) {
                int fin = pos;
                const QString inner = ExtractBracketed(s, pos, fin);
                if (fin > len)
                    throw EfrParserError(QStringLiteral("Missing \"]\" in: %1").arg(s.mid(pos - 1)));
                w += QLatin1Char('[') + inner + QLatin1Char(']');
                pos = fin + 1;
            }
            text += w;
        }
        if (startsNumber(text)) {
            out += text + QLatin1Char(' ');
        } else if (const int code = keywordCode(text.toUpper())) {
            place(QChar(ushort(code)));
            operand = false;
        } else if (isWord && at(s, pos) == QLatin1Char('(')) {
            QString a1, a2, a3;
            SplitArguments(s, pos, a1, a2, a3);
            out += prefix + s.mid(wordStart - 1, pos - wordStart);
        } else {
            out += text + QLatin1Char(' ');
        }
        if (pos <= before)
            throw EfrParserError(QStringLiteral("Unexpected character in expression: %1").arg(s.mid(before - 1)));
    }
    if (st.contains(QLatin1Char('(')))
        throw EfrParserError(QStringLiteral("Missing \")\" in expression: %1").arg(expression));
    out += st;
    return out;
}

QVariant TfrParser::Calculate(const QString &expression)
{
    return Evaluate(Translate(expression));
}

QVariant TfrParser::Evaluate(const QString &compiled)
{
    DepthGuard guard(m_depth);
    return evaluate(compiled);
}

QVariant TfrParser::evaluate(const QString &s)
{
    QVariant nm[StackSize + 1];
    int sp = 1;          // next free slot; slot 1 holds the result
    nm[1] = QVariant(0);
    const int len = int(s.size());

    auto push = [&](const QVariant &v) {
        if (sp > StackSize)
            throw EfrParserError(QStringLiteral("Expression too complex: more than %1 pending values")
                                     .arg(StackSize));
        nm[sp++] = v;
    };
    auto needBinary = [&](QChar op) {
        if (sp < 3)
            throw EfrParserError(QStringLiteral("Missing operand for \"%1\" in expression").arg(
                op.unicode() < 32 ? QStringLiteral("#%1").arg(op.unicode()) : QString(op)));
    };
    auto needUnary = [&](QChar op) {
        if (sp < 2)
            throw EfrParserError(QStringLiteral("Missing operand for \"%1\" in expression").arg(
                op.unicode() < 32 ? QStringLiteral("#%1").arg(op.unicode()) : QString(op)));
    };
    auto one = [](bool b) { return QVariant(b ? 1 : 0); };

    int pos = 1;
    while (pos <= len) {
        const QChar c = s[pos - 1];
        const ushort u = c.unicode();
        switch (u) {
        case ' ':
        case cPLUS:
            ++pos;
            continue;
        case '+': case '-': case '*': case '/': case '<': case '=': case '>':
        case cGE: case cLE: case cNE: case cOR: case cAND: case cMOD: {
            needBinary(c);
            QVariant &a = nm[sp - 2];
            const QVariant &b = nm[sp - 1];
            switch (u) {
            case '+': a = frVarAdd(a, b); break;
            case '-': a = frVarSub(a, b); break;
            case '*': a = frVarMul(a, b); break;
            case '/': a = frVarDiv(a, b); break;
            case '<': a = one(frVarCompare(a, b) < 0); break;
            case '=': a = one(frVarCompare(a, b) == 0); break;
            case '>': a = one(frVarCompare(a, b) > 0); break;
            case cGE: a = one(frVarCompare(a, b) >= 0); break;
            case cLE: a = one(frVarCompare(a, b) <= 0); break;
            case cNE: a = one(frVarCompare(a, b) != 0); break;
            case cOR: a = frVarOr(a, b); break;
            case cAND: a = frVarAnd(a, b); break;
            case cMOD: a = frVarMod(a, b); break;
            }
            --sp;
            ++pos;
            continue;
        }
        case cNEG: case cNOT: case cINT: case cFRAC: case cROUND: case cSTR: {
            needUnary(c);
            QVariant &a = nm[sp - 1];
            switch (u) {
            case cNEG: a = frVarNeg(a); break;
            case cNOT: a = one(frVarEquals(a, QVariant(0))); break;
            case cSTR: a = QVariant(frVarToStr(a)); break;
            case cINT: {
                const double v = frVarToFloat(a);
                const double r = frRoundHalfEven(v);
                a = QVariant(std::fabs(r - v) < 1e-10 ? r : std::trunc(v));
                break;
            }
            case cFRAC: {
                double v = frVarToFloat(a);
                const double r = frRoundHalfEven(v);
                if (std::fabs(r - v) < 1e-10)
                    v = r;
                a = QVariant(v - std::trunc(v));
                break;
            }
            case cROUND: a = QVariant(frRoundHalfEven(frVarToFloat(a))); break;
            }
            ++pos;
            continue;
        }
        default:
            break;
        }
        if (c == QLatin1Char('[')) {
            int fin = pos;
            const QString name = ExtractBracketed(s, pos, fin);
            if (fin > len)
                throw EfrParserError(QStringLiteral("Missing \"]\" in: %1").arg(s.mid(pos - 1)));
            QVariant v = frNull();
            if (ValueHandler)
                ValueHandler(name, v);
            push(v);
            pos = fin + 1;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            const QString lit = ReadQuoted(s, pos);
            QString t = lit.mid(1, lit.size() - 2);
            t.replace(QStringLiteral("''"), QStringLiteral("'"));
            push(QVariant(t));
            continue;
        }
        const int before = pos;
        const QString word = ReadIdentifier(s, pos);
        if (word.isEmpty()) {
            if (pos > len)
                break;   // trailing control characters
            throw EfrParserError(QStringLiteral("Unexpected \"%1\" in expression").arg(s.mid(before - 1)));
        }
        if (startsNumber(word)) {
            QString t = word;
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            double d = 0;
            // Plain decimal numbers only (an exponent is allowed, as the float conversion always did).
            if (!frTryStrToFloat(t, d) || t.contains(QLatin1Char('+')) || t.startsWith(QLatin1Char('-')))
                throw EfrConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(word));
            push(QVariant(d));
            continue;
        }
        const QString upper = word.toUpper();
        if (upper == QLatin1String("TRUE")) {
            push(QVariant(true));
            continue;
        }
        if (upper == QLatin1String("FALSE")) {
            push(QVariant(false));
            continue;
        }
        if (at(s, pos) == QLatin1Char('[')) {
            int fin = pos;
            const QString idx = ExtractBracketed(s, pos, fin);
            if (fin > len)
                throw EfrParserError(QStringLiteral("Missing \"]\" in: %1").arg(s.mid(pos - 1)));
            pos = fin + 1;
            push(Calculate(QStringLiteral("GETARRAY(") + word + QStringLiteral(", ") + idx + QLatin1Char(')')));
            continue;
        }
        if (at(s, pos) == QLatin1Char('(')) {
            QString a1, a2, a3;
            SplitArguments(s, pos, a1, a2, a3);
            push(callFunction(upper, a1, a2, a3));
            continue;
        }
        QVariant v = frNull();
        if (ValueHandler)
            ValueHandler(upper, v);
        push(v);
    }
    return nm[1];
}

QVariant TfrParser::callFunction(const QString &name, const QString &a1, const QString &a2, const QString &a3)
{
    if (name == QLatin1String("COPY")) {
        const QString text = frVarToStr(Calculate(a1));
        qint64 from = frVarToInt(Calculate(a2));
        const qint64 count = frVarToInt(Calculate(a3));
        if (from < 1)
            from = 1;
        if (count <= 0 || from > text.size())
            return QVariant(QString());
        return QVariant(text.mid(from - 1, count));
    }
    if (name == QLatin1String("IF")) {
        const QVariant c = Calculate(a1);
        double n = 0;
        // The condition as text, then as a number. A Boolean counts as -1 / 0 and Null
        // as 0 instead of raising a conversion error.
        if (frVarKind(c) == TfrVarKind::Boolean)
            n = c.toBool() ? -1 : 0;
        else if (frIsNull(c))
            n = 0;
        else
            n = frStrToFloat(frVarToStr(c));
        return std::trunc(n) != 0 ? Calculate(a2) : Calculate(a3);
    }
    if (name == QLatin1String("STRTODATE"))
        return QVariant(frStrToDate(frVarToStr(Calculate(a1))));
    if (name == QLatin1String("STRTOTIME"))
        return QVariant(frStrToTime(frVarToStr(Calculate(a1))));
    QVariant v = frNull();
    if (FunctionHandler)
        FunctionHandler(name, QVariant(a1), QVariant(a2), QVariant(a3), v);
    return v;
}

QVariant frCalculate(const QString &expression, const TfrParser::TValueHandler &values,
                     const TfrParser::TFunctionHandler &functions)
{
    TfrParser p;
    p.ValueHandler = values;
    p.FunctionHandler = functions;
    return p.Calculate(expression);
}

// ---------------------------------------------------------------------------

TfrFunctionSplitter::TfrFunctionSplitter(const QStringList &matchNames, const TfrVariables *variables,
                                         QStringList &callTexts)
    : m_matchNames(matchNames), m_variables(variables), m_callTexts(callTexts)
{
}

void TfrFunctionSplitter::Split(const QString &expression)
{
    m_expanding.clear();
    split(expression, 0);
}

void TfrFunctionSplitter::splitVariable(const QString &name, int depth)
{
    for (const QString &n : std::as_const(m_expanding))
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            throw EfrParserError(undefinedSymbol(name));
    m_expanding << name;
    split(frVarToStr(m_variables->GetValue(name)), depth + 1);
    m_expanding.removeLast();
}

void TfrFunctionSplitter::split(const QString &expression, int depth)
{
    if (depth > TfrParser::MaxNesting)
        throw EfrParserError(QStringLiteral("Expression nesting too deep (more than %1 levels)")
                                 .arg(TfrParser::MaxNesting));
    const QString s = expression.trimmed();
    if (s.isEmpty() || s[0] == QLatin1Char('\''))
        return;
    const int len = int(s.size());
    int pos = 1;
    while (pos <= len) {
        const int start = pos;
        if (s[pos - 1] == QLatin1Char('[')) {
            int fin = pos;
            const QString inner = ExtractBracketed(s, pos, fin);
            if (m_variables && m_variables->IndexOf(inner) >= 0)
                splitVariable(inner, depth);
            else
                split(inner, depth + 1);
            pos = fin + 1;
            continue;
        }
        const QString w = TfrParser::ReadIdentifier(s, pos);
        const QChar next = at(s, pos);
        if (next == QLatin1Char('(')) {
            QString a1, a2, a3;
            TfrParser::SplitArguments(s, pos, a1, a2, a3);
            split(a1, depth + 1);
            split(a2, depth + 1);
            split(a3, depth + 1);
            for (const QString &m : m_matchNames) {
                if (m.compare(w, Qt::CaseInsensitive) == 0) {
                    m_callTexts << s.mid(start - 1, pos - start);
                    break;
                }
            }
            continue;
        }
        if (!w.isEmpty() && m_variables && m_variables->IndexOf(w) >= 0) {
            splitVariable(w, depth);
            continue;
        }
        if (pos > len)
            break;
        if (next.unicode() == 13 || QStringLiteral(" +-*/<=>").contains(next)) {
            ++pos;
        } else if (w.isEmpty()) {
            break;
        }
        // else: go on from that character
    }
}
