#include "report/engine/frinterp.h"
#include "report/engine/frbuild.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frglobals.h"
#include "report/engine/frobject.h"
#include "report/engine/frpage.h"
#include "report/engine/frprogressform.h"
#include "report/engine/frreport.h"
#include "report/engine/frstdlib.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QHash>
#include <QList>
#include <QSet>
#include <stdexcept>

TInterpretator *GlobalInterpreter = nullptr;

namespace {

enum LineCode : ushort { cCondition = 1, cJump = 2, cExpression = 3, cFailed = 4 };

// Deeper nesting of statements or expressions than this is reported, so a hostile
// script cannot exhaust the machine stack of the recursive compiler.
constexpr int MaxNesting = 500;

QString encodeTarget(int line)
{
    return QString(QChar(ushort(line & 0xFF))) + QChar(ushort((line >> 8) & 0xFF));
}

int decodeTarget(const QString &line)
{
    return int(line[1].unicode() & 0xFF) | (int(line[2].unicode() & 0xFF) << 8);
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool isNameStart(QChar c) { return c.isLetter(); }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'); }

// Compiles one script. Positions are 0-based indexes into the working buffer, from
// which comments are cut as they are met; errors are reported in source lines and
// columns (1-based).
class Compiler {
public:
    Compiler(const QStringList &source, QStringList &compiled, QStringList &errors)
        : m_lines(source), m_out(compiled), m_errors(errors)
    {
        for (const QString &l : source) {
            m_buf += l;
            m_buf += QChar(13);
        }
        m_buf.replace(QChar(9), QLatin1Char(' '));
    }

    void run()
    {
        if (!m_buf.isEmpty())
            statement();
        resolve();
    }

private:
    // ---- the buffer
    QChar at(int p) const { return p >= 0 && p < m_buf.size() ? m_buf[p] : QChar(); }
    bool atEnd() const { return m_pos >= m_buf.size(); }

    void cut(int start, int length)
    {
        m_buf.remove(start, length);
        m_cuts.append(Cut{start, length});
    }

    // A comment starting at p is cut out; true when one was. A comment that does not
    // join two words is blanked instead, which reads the same and keeps positions.
    bool cutCommentAt(int p)
    {
        const QChar c = at(p);
        int end = 0;
        if (c == QLatin1Char('{')) {
            const int close = int(m_buf.indexOf(QLatin1Char('}'), p + 1));
            end = close < 0 ? int(m_buf.size()) : close + 1;
        } else if (c == QLatin1Char('/') && at(p + 1) == QLatin1Char('/')) {
            const int eol = int(m_buf.indexOf(QChar(13), p + 2));
            end = eol < 0 ? int(m_buf.size()) : eol + 1;   // the line end goes with it
        } else {
            return false;
        }
        if (at(p - 1).unicode() > 32 && at(end).unicode() > 32) {
            cut(p, end - p);
        } else {
            for (int i = p; i < end; ++i)
                m_buf[i] = QLatin1Char(' ');
        }
        return true;
    }

    void skipSpace()
    {
        for (;;) {
            while (m_pos < m_buf.size() && m_buf[m_pos].unicode() <= 32)
                ++m_pos;
            if (!cutCommentAt(m_pos))
                return;
        }
    }

    // The next blank-separated word, upper-cased; a single blank at the end of the text.
    // m_wordStart is where it begins; m_pos ends after it. Only the first
    // WordLimit characters are read: a longer word is never a keyword, and callers
    // consume at most a few characters of it, so a text without blanks is read once.
    static constexpr int WordLimit = 32;
    QString readWord()
    {
        for (;;) {
            while (m_pos < m_buf.size() && m_buf[m_pos].unicode() <= 32)
                ++m_pos;
            m_wordStart = m_pos;
            if (atEnd())
                return QStringLiteral(" ");
            const bool quoted = m_buf[m_pos] == QLatin1Char('\'');
            int p = m_pos;
            bool restart = false;
            while (p < m_buf.size() && m_buf[p].unicode() > 32 && p - m_wordStart <= WordLimit) {
                if (!quoted && cutCommentAt(p)) {
                    restart = true;
                    break;
                }
                ++p;
            }
            if (restart)
                continue;   // read the word again from its start
            m_pos = p;
            return m_buf.mid(m_wordStart, p - m_wordStart).toUpper();
        }
    }

    // ---- positions and errors
    int sourcePosition(int p) const
    {
        for (int i = int(m_cuts.size()) - 1; i >= 0; --i)
            if (m_cuts[i].start <= p)
                p += m_cuts[i].length;
        return p;
    }

    QString lineColumn(int bufferPos) const
    {
        int p = sourcePosition(bufferPos);
        for (int i = 0; i < m_lines.size(); ++i) {
            const int len = int(m_lines[i].size()) + 1;
            if (p < len)
                return QStringLiteral("Line %1/%2: ").arg(i + 1).arg(p + 1);
            p -= len;
        }
        // Past the text: just after the last character.
        const int last = int(m_lines.size());
        return QStringLiteral("Line %1/%2: ").arg(qMax(1, last)).arg(last ? m_lines.last().size() + 1 : 1);
    }

    void fail(const QString &message, int at)
    {
        if (m_error)
            return;
        m_error = true;
        m_errors << lineColumn(at) + message;
    }

    // ---- output
    int addLine(const QString &line, int at)
    {
        if (m_out.size() >= TfrInterpretator::MaxCompiledLines - 1) {
            fail(QStringLiteral("Script too long: more than %1 compiled lines")
                     .arg(TfrInterpretator::MaxCompiledLines - 1), at);
            return -1;
        }
        m_out << line;
        m_where << at;
        return int(m_out.size()) - 1;
    }

    void setTarget(int line, int target)
    {
        if (line < 0 || line >= m_out.size())
            return;
        m_out[line] = m_out[line].left(1) + encodeTarget(target) + m_out[line].mid(3);
    }

    int next() const { return int(m_out.size()); }

    struct Depth {
        Compiler &c;
        explicit Depth(Compiler &compiler) : c(compiler) { ++c.m_depth; }
        ~Depth() { --c.m_depth; }
        bool tooDeep()
        {
            if (c.m_depth <= MaxNesting)
                return false;
            c.fail(QStringLiteral("Script nested too deeply (more than %1 levels)").arg(MaxNesting), c.m_pos);
            return true;
        }
    };

    // ---- expressions: only the syntax is checked, to find where each one ends

    // The first three characters of the word at the current position, upper-cased
    // (enough to tell OR, AND, MOD and NOT; nothing is cut).
    QString peekWord() const
    {
        int p = m_pos;
        while (p < m_buf.size() && m_buf[p].unicode() > 32 && p - m_pos < 3)
            ++p;
        return m_buf.mid(m_pos, p - m_pos).toUpper();
    }

    void expression()
    {
        Depth d(*this);
        if (d.tooDeep())
            return;
        simpleExpression();
        if (m_error)
            return;
        skipSpace();
        const QChar c = at(m_pos), n = at(m_pos + 1);
        if (c == QLatin1Char('<') || c == QLatin1Char('>')) {
            m_pos += (n == QLatin1Char('=') || (c == QLatin1Char('<') && n == QLatin1Char('>'))) ? 2 : 1;
            simpleExpression();
        } else if (c == QLatin1Char('=')) {
            ++m_pos;
            simpleExpression();
        }
    }

    void simpleExpression()
    {
        term();
        while (!m_error) {
            skipSpace();
            const QChar c = at(m_pos);
            if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
                ++m_pos;
            } else if (peekWord().startsWith(QLatin1String("OR"))) {
                m_pos += 2;
            } else {
                return;
            }
            term();
        }
    }

    void term()
    {
        factor();
        while (!m_error) {
            skipSpace();
            const QChar c = at(m_pos);
            if (c == QLatin1Char('*') || c == QLatin1Char('/')) {
                ++m_pos;
            } else {
                const QString w = peekWord();
                if (w.startsWith(QLatin1String("AND")) || w.startsWith(QLatin1String("MOD")))
                    m_pos += 3;
                else
                    return;
            }
            factor();
        }
    }

    void factor()
    {
        Depth d(*this);
        if (d.tooDeep())
            return;
        skipSpace();
        const QChar c = at(m_pos);
        if (c == QLatin1Char('(')) {
            ++m_pos;
            expression();
            if (m_error)
                return;
            skipSpace();
            if (at(m_pos) != QLatin1Char(')'))
                return fail(QStringLiteral("Need \")\" here"), m_pos);
            ++m_pos;
        } else if (c == QLatin1Char('[')) {
            bracket();
        } else if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
            ++m_pos;
            expression();
        } else if (peekWord().startsWith(QLatin1String("NOT"))) {
            m_pos += 3;
            expression();
        } else if (isNameStart(c)) {
            name();
            if (m_error)
                return;
            if (at(m_pos) == QLatin1Char('(')) {
                ++m_pos;
                for (;;) {
                    expression();
                    if (m_error)
                        return;
                    skipSpace();
                    const QChar s = at(m_pos);
                    ++m_pos;
                    if (s == QLatin1Char(','))
                        continue;
                    if (s == QLatin1Char(')'))
                        break;
                    return fail(QStringLiteral("Need \",\" or \")\" here"), m_pos - 1);
                }
            }
        } else if (isDigit(c)) {
            while (isDigit(at(m_pos)))
                ++m_pos;
            if (at(m_pos) == QLatin1Char('.')) {
                ++m_pos;
                while (isDigit(at(m_pos)))
                    ++m_pos;
            }
        } else if (c == QLatin1Char('\'')) {
            int p = m_pos + 1;
            for (;;) {
                while (p < m_buf.size() && m_buf[p] != QLatin1Char('\''))
                    ++p;
                if (p >= m_buf.size() || at(p + 1) != QLatin1Char('\''))
                    break;
                p += 2;
            }
            m_pos = qMin(p + 1, int(m_buf.size()));
        }
        // Anything else is an empty factor: the statement around it decides.
    }

    // "[" ... "]" taken whole, quotes and nested brackets honoured.
    void bracket()
    {
        int finish = 0;
        ExtractBracketed(m_buf, m_pos + 1, finish);   // 1-based
        if (finish > m_buf.size())
            return fail(QStringLiteral("Need \"]\" here"), int(m_buf.size()));
        m_pos = finish;   // just after "]"
    }

    // Letters, digits, "_" and "."; then an optional "[" index "]".
    void name()
    {
        while (isNameChar(at(m_pos)))
            ++m_pos;
        if (at(m_pos) == QLatin1Char('[')) {
            ++m_pos;
            expression();
            if (m_error)
                return;
            skipSpace();
            if (at(m_pos) != QLatin1Char(']'))
                return fail(QStringLiteral("Need \"]\" here"), m_pos);
            ++m_pos;
        }
    }

    // The text of one expression from the current position, trimmed.
    QString expressionText()
    {
        skipSpace();
        const int start = m_pos;
        expression();
        return m_buf.mid(start, m_pos - start).trimmed();
    }

    // ---- statements

    void statement()
    {
        Depth d(*this);
        if (m_error || d.tooDeep())
            return;
        const QString w = readWord();
        const int ws = m_wordStart;
        if (w == QLatin1String("BEGIN"))
            return compoundStatement();
        if (w == QLatin1String("IF"))
            return ifStatement();
        if (w == QLatin1String("REPEAT"))
            return repeatStatement();
        if (w == QLatin1String("WHILE"))
            return whileStatement();
        if (w == QLatin1String("FOR"))
            return forStatement();
        if (w == QLatin1String("GOTO"))
            return gotoStatement();
        m_pos = ws;   // the enclosing construct, or the statement below, reads it again
        if (w == QLatin1String("END") || w == QLatin1String("END;") || w == QLatin1String("UNTIL")
            || w == QLatin1String(" "))
            return;

        // A label: digits and ":" (not ":=").
        if (isDigit(at(ws))) {
            int p = ws;
            while (isDigit(at(p)))
                ++p;
            if (at(p) == QLatin1Char(':') && at(p + 1) != QLatin1Char('=')) {
                const QString label = m_buf.mid(ws, p - ws + 1);
                if (!m_labels.contains(label))
                    m_labels.insert(label, next());
                m_pos = p + 1;
                return statement();
            }
        }

        if (isNameStart(at(ws))) {
            int p = ws;
            while (isNameChar(at(p)))
                ++p;
            const QString target = m_buf.mid(ws, p - ws);
            m_pos = p;
            QString index;
            if (at(m_pos) == QLatin1Char('[')) {
                ++m_pos;
                index = expressionText();
                if (m_error)
                    return;
                skipSpace();
                if (at(m_pos) != QLatin1Char(']'))
                    return fail(QStringLiteral("Need \"]\" here"), m_pos);
                ++m_pos;
            }
            skipSpace();
            if (index.isNull() && at(m_pos) == QLatin1Char('(')) {
                m_pos = ws;   // a call with arguments: an expression statement
                return expressionStatement();
            }
            const QString w2 = readWord();
            const int w2s = m_wordStart;
            if (w2.startsWith(QLatin1String(":="))) {
                m_pos = w2s + 2;
                const QString value = expressionText();
                if (m_error)
                    return;
                if (!index.isNull())
                    addLine(QString(QChar(cExpression)) + QStringLiteral("SETARRAY(") + target
                             + QStringLiteral(", ") + index + QStringLiteral(", ") + value + QLatin1Char(')'),
                         ws);
                else
                    addLine(target + QLatin1Char(' ') + value, ws);
                return;
            }
            // A bare name: a procedure call, also when the text ends after it.
            if (index.isNull()
                && (w2 == QLatin1String(";") || w2 == QLatin1String("END") || w2 == QLatin1String("ELSE")
                    || w2 == QLatin1String(" "))) {
                m_pos = w2s;
                addLine(QString(QChar(cExpression)) + target + QStringLiteral("(0)"), ws);
                return;
            }
            return fail(QStringLiteral("Need \":=\" here"), w2s);
        }
        expressionStatement();
    }

    void expressionStatement()
    {
        const int at = m_pos;
        const QString text = expressionText();
        if (!m_error && !text.isEmpty())   // an empty statement compiles to nothing
            addLine(QString(QChar(cExpression)) + text, at);
    }

    void compoundStatement()
    {
        for (;;) {
            statement();
            if (m_error)
                return;
            const QString w = readWord();
            if (w.startsWith(QLatin1Char(';'))) {
                m_pos = m_wordStart + 1;
                continue;
            }
            if (w == QLatin1String("END") || w == QLatin1String("END;")) {
                m_pos = m_wordStart + 3;
                return;
            }
            return fail(QStringLiteral("Need \";\" or \"end\" here"), m_wordStart);
        }
    }

    // "<condition> <keyword> <statement>" of IF and WHILE: the condition line (its target set
    // later) or -1 after an error.
    int guardedStatement(const QString &keyword, const QString &need)
    {
        const int at = m_pos;
        const QString condition = expressionText();
        if (m_error)
            return -1;
        const int conditionLine = addLine(QString(QChar(cCondition)) + encodeTarget(0) + condition, at);
        if (m_error)
            return -1;
        if (readWord() != keyword) {
            fail(need, m_wordStart);
            return -1;
        }
        statement();
        return m_error ? -1 : conditionLine;
    }

    void ifStatement()
    {
        const int conditionLine = guardedStatement(QStringLiteral("THEN"), QStringLiteral("Need \"then\" here"));
        if (conditionLine < 0)
            return;
        const int save = m_pos;
        if (readWord() == QLatin1String("ELSE")) {
            const int jumpLine = addLine(QString(QChar(cJump)) + encodeTarget(0), m_wordStart);
            if (m_error)
                return;
            setTarget(conditionLine, jumpLine + 1);
            statement();
            setTarget(jumpLine, next());
        } else {
            m_pos = save;
            setTarget(conditionLine, next());
        }
    }

    void repeatStatement()
    {
        const int first = next();
        for (;;) {
            statement();
            if (m_error)
                return;
            const QString w = readWord();
            if (w.startsWith(QLatin1Char(';'))) {
                m_pos = m_wordStart + 1;
                continue;
            }
            if (w == QLatin1String("UNTIL"))
                break;
            return fail(QStringLiteral("Need \";\" or \"until\" here"), m_wordStart);
        }
        const int at = m_pos;
        const QString condition = expressionText();
        if (!m_error)
            addLine(QString(QChar(cCondition)) + encodeTarget(first) + condition, at);
    }

    void whileStatement()
    {
        const int conditionLine = guardedStatement(QStringLiteral("DO"), QStringLiteral("Need \"do\" here"));
        if (conditionLine < 0)
            return;
        addLine(QString(QChar(cJump)) + encodeTarget(conditionLine), m_pos);
        setTarget(conditionLine, next());
    }

    void forStatement()
    {
        skipSpace();
        const int ws = m_pos;
        int p = ws;
        while (isNameChar(at(p)))
            ++p;
        if (!isNameStart(at(ws)) || p == ws) {
            readWord();
            return fail(QStringLiteral("Need \":=\" here"), m_wordStart);
        }
        m_pos = p;
        readWord();
        if (!m_buf.mid(m_wordStart, 2).startsWith(QLatin1String(":=")))
            return fail(QStringLiteral("Need \":=\" here"), m_wordStart);
        // The variable is the text before ":=" (trailing blanks kept).
        const QString variable = m_buf.mid(ws, m_wordStart - ws);
        const QString name = m_buf.mid(ws, p - ws);
        m_pos = m_wordStart + 2;
        const QString start = expressionText();
        if (m_error)
            return;
        addLine(name + QLatin1Char(' ') + start, ws);
        if (m_error)
            return;
        if (readWord() != QLatin1String("TO"))
            return fail(QStringLiteral("Need \"to\" here"), m_wordStart);
        const int at = m_pos;
        const QString limit = expressionText();
        if (m_error)
            return;
        const int conditionLine = addLine(QString(QChar(cCondition)) + encodeTarget(0) + variable
                                           + QStringLiteral("<=") + limit, at);
        if (m_error)
            return;
        if (readWord() != QLatin1String("DO"))
            return fail(QStringLiteral("Need \"do\" here"), m_wordStart);
        statement();
        if (m_error)
            return;
        addLine(name + QLatin1Char(' ') + variable + QStringLiteral("+1"), at);
        addLine(QString(QChar(cJump)) + encodeTarget(conditionLine), at);
        setTarget(conditionLine, next());
    }

    void gotoStatement()
    {
        skipSpace();
        const int ws = m_pos;
        int p = ws;
        while (isNameChar(at(p)))
            ++p;
        const QString label = m_buf.mid(ws, p - ws);
        bool digits = !label.isEmpty();
        for (const QChar c : label)
            digits = digits && isDigit(c);
        if (!digits)
            return fail(QStringLiteral("\"goto\" label must be a number"), ws);
        m_pos = p;
        const int line = addLine(QString(QChar(cJump)) + label, ws);
        if (line >= 0)
            m_gotos << line;
    }

    // ---- second pass: jumps to labels, expressions into the parser's compiled form
    void resolve()
    {
        TfrParser parser;
        for (int i = 0; i < m_out.size(); ++i) {
            QString &line = m_out[i];
            if (line.isEmpty())
                continue;
            const ushort code = line[0].unicode();
            if (code == cJump) {
                if (!m_gotos.contains(i))
                    continue;
                const QString label = line.mid(1);
                const auto it = m_labels.constFind(label + QLatin1Char(':'));
                if (it != m_labels.constEnd()) {
                    line = QString(QChar(cJump)) + encodeTarget(*it);
                } else {
                    const QString message = lineColumn(m_where.value(i))
                        + QStringLiteral("Label \"%1\" is not defined").arg(label);
                    line = QString(QChar(cFailed)) + message;
                    if (!m_error) {
                        m_error = true;
                        m_errors << message;
                    }
                }
                continue;
            }
            int keep = 0;
            if (code == cCondition)
                keep = 3;
            else if (code == cExpression)
                keep = 1;
            else {
                const int blank = int(line.indexOf(QLatin1Char(' ')));
                keep = blank < 0 ? int(line.size()) : blank + 1;
            }
            try {
                line = line.left(keep) + parser.Translate(line.mid(keep));
            } catch (const EfrParserError &e) {
                const QString message = lineColumn(m_where.value(i)) + e.message();
                line = QString(QChar(cFailed)) + message;
                if (!m_error) {
                    m_error = true;
                    m_errors << message;
                }
            }
        }
    }

    struct Cut { int start, length; };

    QStringList m_lines;     // the source as given (for line and column)
    QStringList &m_out;
    QStringList &m_errors;
    QList<int> m_where;      // where each compiled line's statement starts (buffer position)
    QString m_buf;
    int m_pos = 0;
    int m_wordStart = 0;
    int m_depth = 0;
    bool m_error = false;
    QList<Cut> m_cuts;
    QHash<QString, int> m_labels;   // "12:" -> line; the first definition wins
    QSet<int> m_gotos;              // jump lines that still hold a label
};

TfrObject *templatePage(int pageNo)
{
    if (!CurrentReport)
        return nullptr;
    if (pageNo < 1 || pageNo > CurrentReport->Pages().Count())
        throw std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(pageNo - 1).toStdString());
    return CurrentReport->Pages().GetPage(pageNo - 1);
}

} // namespace

// ---------------------------------------------------------------------------

TfrInterpretator::TfrInterpretator()
{
    m_parser.ValueHandler = [this](const QString &name, QVariant &value) { GetValue(name, value); };
    m_parser.FunctionHandler = [this](const QString &name, const QVariant &p1, const QVariant &p2,
                                      const QVariant &p3, QVariant &value) {
        CallFunction(name, p1, p2, p3, value);
    };
}

TfrInterpretator::~TfrInterpretator() = default;

void TfrInterpretator::GetValue(const QString &, QVariant &) {}
void TfrInterpretator::SetValue(const QString &, const QVariant &) {}
void TfrInterpretator::CallFunction(const QString &, const QVariant &, const QVariant &, const QVariant &,
                                    QVariant &)
{
}

bool TfrInterpretator::StopRequested() { return false; }

void TfrInterpretator::CompileScript(const QStringList &source, QStringList &compiled, QStringList &errors)
{
    const QStringList text = source;   // compiled may be the same list
    compiled.clear();
    errors.clear();
    Compiler(text, compiled, errors).run();
}

void TfrInterpretator::RunScript(const QStringList &compiled)
{
    const int n = int(compiled.size());
    int i = 0;
    int steps = 0;
    while (i >= 0 && i < n) {
        if (++steps >= StopCheckInterval) {
            steps = 0;
            if (StopRequested())
                return;
        }
        const QString &line = compiled[i];
        if (line.isEmpty()) {
            ++i;
            continue;
        }
        switch (line[0].unicode()) {
        case cCondition: {
            if (line.size() < 3)
                return;
            const QVariant v = m_parser.Evaluate(line.mid(3));
            i = frVarEquals(v, QVariant(0)) ? decodeTarget(line) : i + 1;
            break;
        }
        case cJump:
            if (line.size() < 3)
                return;
            i = decodeTarget(line);
            break;
        case cExpression: {
            const QString e = line.mid(1);
            if (e.compare(QLatin1String("EXIT(0)"), Qt::CaseInsensitive) == 0)
                return;
            m_parser.Evaluate(e);
            ++i;
            break;
        }
        case cFailed:
            throw EfrParserError(line.mid(1));
        default: {
            const int blank = int(line.indexOf(QLatin1Char(' ')));
            const QString name = blank < 0 ? line : line.left(blank);
            const QVariant value = m_parser.Evaluate(blank < 0 ? QString() : line.mid(blank + 1));
            SetValue(name, value);
            ++i;
            break;
        }
        }
    }
}

void TfrInterpretator::CollectCalls(const QStringList &compiled, const QStringList &matchNames,
                                    const TfrVariables *variables, QStringList &found)
{
    TfrFunctionSplitter splitter(matchNames, variables, found);
    for (const QString &line : compiled) {
        if (line.isEmpty())
            continue;
        switch (line[0].unicode()) {
        case cCondition:
            splitter.Split(line.mid(3));
            break;
        case cExpression:
            splitter.Split(line.mid(1));
            break;
        case cJump:
        case cFailed:
            break;
        default: {
            const int blank = int(line.indexOf(QLatin1Char(' ')));
            if (blank >= 0)
                splitter.Split(line.mid(blank));
            break;
        }
        }
    }
}

// ---------------------------------------------------------------------------

void TInterpretator::GetValue(const QString &name, QVariant &value)
{
    if (GlobalParser && GlobalParser->ValueHandler)
        GlobalParser->ValueHandler(name, value);
}

void TInterpretator::CallFunction(const QString &name, const QVariant &p1, const QVariant &p2,
                                  const QVariant &p3, QVariant &value)
{
    if (GlobalParser && GlobalParser->FunctionHandler)
        GlobalParser->FunctionHandler(name, p1, p2, p3, value);
}

void TInterpretator::SetValue(const QString &name, const QVariant &value)
{
    if (GlobalVariables && GlobalVariables->IndexOf(name) >= 0) {
        GlobalVariables->SetValue(name, value);
        return;
    }
    if (CurrentReport && CurrentReport->Dictionary().IsVariable(name)) {
        CurrentReport->Dictionary().Variables.SetValue(name, value);
        return;
    }
    const QString upper = name.toUpper();
    if (upper == QLatin1String("MODALRESULT")) {
        if (CurrentPage && CurrentPage->PageType == ptDialog) {
            if (QDialog *form = CurrentPage->DialogForm()) {
                const int result = int(frVarToInt(value));
                if (form->isVisible() && result != 0)
                    form->done(result);
                else
                    form->setResult(result);
            }
        }
        return;
    }
    if (upper == QLatin1String("CURY")) {
        if (CurrentBand && (CurrentBand->ForceNewPage > 0 || CurrentBand->ForceNewColumn > 0))
            CurrentBand->CurYSet = true;
        if (CurrentPage)
            CurrentPage->CurY = int(frVarToInt(value));
        return;
    }
    if (upper == QLatin1String("PROGRESS")) {
        if (TfrProgressForm *progress = TfrProgressForm::Active())
            progress->Label2->setText(frVarToStr(value));
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        return;
    }
    TfrObject *object = nullptr;
    QString property;
    FindObjectAndProperty(name, object, property, templatePage);
    if (object && object->FindPropRec(property)) {
        object->SetPropValue(property, value);
        return;
    }
    if (GlobalVariables)
        GlobalVariables->SetValue(name, value);
}

bool TInterpretator::StopRequested()
{
    if (!MasterReport)
        return false;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    return MasterReport && MasterReport->StopRequested;
}

// ---------------------------------------------------------------------------

void frStartScriptEngine()
{
    frRegisterStandardLibraries();
    if (!GlobalInterpreter)
        GlobalInterpreter = new TInterpretator;
    ScriptHooks.Compile = [](QStringList &lines) {
        QStringList errors;   // the build runs what compiled; a failed line raises when run
        if (GlobalInterpreter)
            GlobalInterpreter->CompileScript(lines, lines, errors);
    };
    ScriptHooks.Run = [](const QStringList &compiled) {
        if (GlobalInterpreter)
            GlobalInterpreter->RunScript(compiled);
    };
    ScriptHooks.SetValue = [](const QString &name, const QVariant &value) {
        if (GlobalInterpreter)
            GlobalInterpreter->SetValue(name, value);
    };
}

void frStopScriptEngine()
{
    ScriptHooks = TfrScriptHooks();
    delete GlobalInterpreter;
    GlobalInterpreter = nullptr;
    frUnregisterStandardLibraries();
}
