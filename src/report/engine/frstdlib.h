#pragma once
// The function libraries the engine registers at start: the standard library
// (text, number and date functions, INPUT, MESSAGEBOX and the aggregates AVG, COUNT,
// MAX, MIN, SUM) and the database library (FIELDISNULL), with the descriptions the
// designer's function picker lists; and the finder of aggregate calls.
//
// A library function gets its arguments as source texts and evaluates each one it
// uses with GlobalParser; its result starts as the text "0".
#include "report/engine/frfunclib.h"
#include "report/engine/frparser.h"

#include <QString>
#include <QStringList>

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
public:
    // Names: the functions computed here. Records the descriptions of these and of
    // the names the parser, the report and the interpreter compute.
    TfrStdFunctionLibrary();
    static QString StaticClassName() { return QStringLiteral("TfrStdFunctionLibrary"); }
    QString ClassName() const override { return StaticClassName(); }
    void ComputeFunction(int index, const QString &name, const QVariant &p1, const QVariant &p2,
                         const QVariant &p3, QVariant &value) override;
};

class TDatabaseFunctionLibrary : public TfrFunctionLibrary {
public:
    TDatabaseFunctionLibrary();   // FIELDISNULL
    static QString StaticClassName() { return QStringLiteral("TDatabaseFunctionLibrary"); }
    QString ClassName() const override { return StaticClassName(); }
    void ComputeFunction(int index, const QString &name, const QVariant &p1, const QVariant &p2,
                         const QVariant &p3, QVariant &value) override;
};

// Registers both libraries (a class already registered is left as it is), and
// removes them with their descriptions.
void frRegisterStandardLibraries();
void frUnregisterStandardLibraries();

// Finds the aggregate calls (AVG, COUNT, MAX, MIN, SUM) of text objects and scripts;
// names of the current report's dictionary variables are looked into.
class TAggregateFunctionsSplitter : public TfrFunctionSplitter {
public:
    explicit TAggregateFunctionsSplitter(QStringList &found);
    static const QStringList &AggregateNames();
    // Every "[...]" of every line.
    void SplitMemo(const QStringList &lines);
    // The expressions of compiled script lines.
    void SplitScript(const QStringList &compiled);
private:
    QStringList &m_found;
};

// Whether a data field (a dotted name; a bare field name of the default data set when
// the report uses one) is Null. No data set found: true. A data set without that field
// raises EfrDataError "Field '<name>' not found".
bool FieldIsNull(const QString &name);

// The text of an edit mask filled with `value` ("(000) 000-0000" and "0123456789"
// give "(012) 345-6789"). The mask may carry the fields ";1" (value holds the
// literal characters too) and ";c" (c shows unfilled positions; default a blank).
// Mask characters: L l A a C c 0 9 # take a character of the value; > and < switch
// to upper and lower case, <> ends that; \ takes the next character literally; :
// and / are the locale's time and date separators; _ is a blank; ! fills unfilled
// positions at the start instead of the end; anything else is copied.
QString frFormatMaskText(const QString &editMask, const QString &value);
