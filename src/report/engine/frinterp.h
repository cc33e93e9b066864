#pragma once
// Script interpreter of the report engine: a Pascal-like language compiled into a
// list of compiled lines with resolved jumps, and the runner of such lists.
//
//     TfrInterpretator ip;                 // or the engine's GlobalInterpreter
//     QStringList compiled, errors;
//     ip.CompileScript(sourceLines, compiled, errors);   // never throws
//     if (errors.isEmpty()) ip.RunScript(compiled);      // errors of the run propagate
//
// Statements: begin S; ... end, if E then S [else S], repeat S; ... until E,
// while E do S, for V := E1 to E2 do S (no step, no downto), goto N, N: S (labels are
// digits), V := E, V[I] := E (SETARRAY), a bare name P (the call P(0)), exit, and any
// expression whose value is dropped. Comments { ... } and // ... are cut before the
// text is compiled; error positions still point into the source.
//
// The compiler reads exactly one statement: several statements need begin ... end.
//
// Compiled lines (first character):
//   \x01 lo hi condition   evaluate the condition; when it equals 0 jump to line lo+256*hi
//   \x02 lo hi             jump
//   \x03 expression        evaluate and drop; "EXIT(0)" ends the run
//   \x04 message           a line that could not be compiled (an unresolved goto, an
//                          expression the parser refuses): running it raises EfrParserError
//   anything else          "name expression": assignment through SetValue
// Expressions are kept in the parser's compiled (reverse Polish) form.
//
// Limits are reported, never overrun: a script that compiles into more lines than a
// jump can address gives an error; labels and text length are unbounded.
#include "report/engine/frparser.h"
#include "report/engine/frvariables.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class TfrInterpretator {
public:
    TfrInterpretator();
    virtual ~TfrInterpretator();
    TfrInterpretator(const TfrInterpretator &) = delete;
    TfrInterpretator &operator=(const TfrInterpretator &) = delete;

    // Lines a jump target can address (two characters of eight bits).
    static constexpr int MaxCompiledLines = 65536;
    // The run looks at StopRequested every so many executed lines.
    static constexpr int StopCheckInterval = 4096;

    // The names and calls of a running script; the base class knows none.
    virtual void GetValue(const QString &name, QVariant &value);
    virtual void SetValue(const QString &name, const QVariant &value);
    virtual void CallFunction(const QString &name, const QVariant &p1, const QVariant &p2,
                              const QVariant &p3, QVariant &value);

    // Clears compiled and errors, then compiles source (compiled may be the same list
    // as source). One "Line l/c: message" per error; compilation stops at the first.
    virtual void CompileScript(const QStringList &source, QStringList &compiled, QStringList &errors);
    // Runs compiled lines. Parser and handler errors propagate to the caller.
    virtual void RunScript(const QStringList &compiled);

    // Appends to found the text of every call to one of matchNames in the expressions
    // of compiled lines (the aggregate finder uses it).
    void CollectCalls(const QStringList &compiled, const QStringList &matchNames,
                      const TfrVariables *variables, QStringList &found);

    TfrParser &Parser() { return m_parser; }

protected:
    // Asked every StopCheckInterval executed lines; true ends the run quietly. The
    // base class never stops (a script run outside a build has nobody to cancel it).
    virtual bool StopRequested();

private:
    TfrParser m_parser;
};

// The report binding: names and calls go to the running report (the handlers the
// build installs on GlobalParser); assignments are routed in this order:
//   1. an engine variable (GlobalVariables) that exists;
//   2. a dictionary variable or data field of CurrentReport (set in its variable list);
//   3. MODALRESULT: the modal result of the current dialog page's form (a value
//      that is not 0 closes it when it is shown);
//   4. CURY: the current y of the page being built (after the band's pending new
//      pages or columns, when there are any);
//   5. PROGRESS: the second label of the progress window;
//   6. Object.Property (or a property of the object being printed) when it exists;
//      otherwise the name becomes (or stays) an engine variable.
// A run during a build processes pending events every StopCheckInterval lines and
// ends when the build was asked to stop (Cancel in the progress window), so an
// endless loop in a script can be cancelled.
class TInterpretator : public TfrInterpretator {
public:
    void GetValue(const QString &name, QVariant &value) override;
    void SetValue(const QString &name, const QVariant &value) override;
    void CallFunction(const QString &name, const QVariant &p1, const QVariant &p2,
                      const QVariant &p3, QVariant &value) override;

protected:
    bool StopRequested() override;
};

// The engine's interpreter.
extern TInterpretator *GlobalInterpreter;

// Made and freed with the engine's globals (TfrGlobals): GlobalInterpreter, the
// registration of TfrStdFunctionLibrary and TDatabaseFunctionLibrary, and the
// build's script hooks (compile, run, assign).
void frStartScriptEngine();
void frStopScriptEngine();
