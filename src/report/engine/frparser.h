#pragma once
// Expression parser of the report engine.
//
// Quick use (e.g. a text object evaluating "[...]" insertions of its memo text):
//
//     TfrParser p;
//     p.ValueHandler = [&](const QString &name, QVariant &value) { value = lookUp(name); };
//     QVariant v = p.Calculate("[Price] * 2");           // compiled and evaluated
//     QString s = frExpandBrackets(memoLine, [&](const QString &inner) {
//         return frVarToStr(p.Calculate(inner)); });       // every [..] replaced by its text
//
// During a build the report installs its value and function callbacks on GlobalParser
// (frglobals.h); TfrReport.GetValue / RunFunction are such handlers.
//
// Semantics kept exactly as they are because stored templates rely on them:
//  - priorities (smaller binds tighter): INT FRAC ROUND STR 0; * / OR AND MOD 1;
//    + - (and unary - +) 2; comparisons 3; equal priorities group from the left.
//    So "a = 1 or b = 2" is "(a = (1 or b)) = 2", and "2 * -3" leaves "*" without its
//    right operand (an error): write "2 * (-3)".
//  - comparisons yield the integers 1 and 0; TRUE and FALSE are the Boolean literals;
//  - number literals are floats, "," and "." are both decimal separators;
//  - "/" by 0 gives 0; NOT x is 1 when x equals 0, else 0;
//  - a bare identifier reaches ValueHandler upper-cased, a [bracketed] name as written;
//  - word[index] becomes GETARRAY(word, index) for FunctionHandler; IF is lazy;
//  - calls have at most three arguments, passed to FunctionHandler as source texts;
//  - ";" where an operand or operator may start ends the expression.
//
// Deliberate safety: the 32-value evaluation stack is checked and an
// overflow raises EfrParserError; a missing operand, an unmatched "(" or an unreadable
// compiled text raise EfrParserError instead of reading garbage; nested evaluation
// (handlers calling Calculate) is limited to MaxNesting levels and then raises
// EfrParserError, so a name defined by itself never overflows the machine stack.
#include "report/engine/frvalue.h"
#include "report/engine/frvariables.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// Text strictly between the "[" at `start` and its matching "]" (nested brackets and
// quotes honoured). Positions are 1-based. When text[start]
// is not "[", returns empty and finish = start. When the brackets do not close, finish
// is the last position reached (the end of the text).
QString ExtractBracketed(const QString &text, int start, int &finish);

// Replaces every [..] of `text`, left to right, by what `expand` gives for the text
// inside; scanning continues after the inserted text (so values holding "[" are not
// expanded again). This is the walk of TfrView.ExpandVariables.
QString frExpandBrackets(const QString &text, const std::function<QString(const QString &inner)> &expand);

class TfrParser {
public:
    // Value of a name: called for a [bracketed] name (the text between the brackets as
    // written) and for a bare identifier (upper-cased). Value is Null on entry.
    using TValueHandler = std::function<void(const QString &name, QVariant &value)>;
    // A call NAME(a, b, c) the parser does not know itself. Name upper-cased; the
    // arguments are their source texts as QString variants (missing ones empty texts);
    // Value is Null on entry. The handler evaluates arguments itself (Calculate).
    using TFunctionHandler = std::function<void(const QString &name, const QVariant &arg1,
                                                const QVariant &arg2, const QVariant &arg3,
                                                QVariant &value)>;

    static constexpr int StackSize = 32;     // fixed evaluation stack, checked
    static constexpr int MaxNesting = 64;    // nested Calculate / Evaluate calls

    TValueHandler ValueHandler;
    TFunctionHandler FunctionHandler;

    // Compiled reverse Polish text of an expression. Raises EfrParserError for an
    // unmatched "(" and (from SplitArguments) for an unbalanced call.
    QString Translate(const QString &expression);
    // Value of a compiled text. Raises EfrParserError / EfrConversionError.
    QVariant Evaluate(const QString &compiled);
    // Evaluate(Translate(expression)).
    QVariant Calculate(const QString &expression);

    // Reading routines reused by the function splitter and the interpreter.
    // Positions are 1-based; `pos` ends after what was read (ReadIdentifier: on the stop character).
    static QString ReadIdentifier(const QString &text, int &pos);
    static QString ReadQuoted(const QString &text, int &pos);
    // pos on "(": returns the three argument texts; pos ends just after ")".
    // Unbalanced parentheses raise EfrParserError with an empty message.
    static void SplitArguments(const QString &text, int &pos, QString &arg1, QString &arg2, QString &arg3);

private:
    QVariant evaluate(const QString &compiled);
    QVariant callFunction(const QString &name, const QString &a1, const QString &a2, const QString &a3);
    int m_depth = 0;
};

// One-off evaluation with the given handlers (a parser of its own, so the handlers
// of GlobalParser are left alone).
QVariant frCalculate(const QString &expression, const TfrParser::TValueHandler &values,
                     const TfrParser::TFunctionHandler &functions = {});

// Collects the text of every call to one of MatchNames; used to find the aggregate
// function calls. The lists are not owned.
class TfrFunctionSplitter {
public:
    // A variable that refers back to itself raises EfrParserError(res 55439 + " \"name\"").
    TfrFunctionSplitter(const QStringList &matchNames, const TfrVariables *variables, QStringList &callTexts);
    virtual ~TfrFunctionSplitter() = default;
    void Split(const QString &expression);

protected:
    void split(const QString &expression, int depth);
    void splitVariable(const QString &name, int depth);
    const QStringList &m_matchNames;
    const TfrVariables *m_variables;
    QStringList &m_callTexts;
    QStringList m_expanding;   // variables being expanded (a cycle raises "符号没定义")
};
