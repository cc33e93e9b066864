#pragma once
// Variant values of the report engine.
//
// The engine's values are QVariants holding one of:
//   Unassigned  an invalid QVariant()                (frUnassigned(); only the report's value lookup tells it from Null)
//   Null        a QVariant holding std::nullptr_t    (frNull(); QVariant::isNull() is true for both)
//   Boolean     bool
//   integer     int / qint64 (any integral meta type is read as an integer)
//   float       double (float is read as double)
//   date-time   QDateTime (QDate and QTime are read as date-times)
//   text        QString
//
// Arithmetic and comparison follow the usual variant rules (numbers combine numerically, "+" of two texts concatenates, a text met
// with a number is converted to a number and a text that is not numeric raises
// EfrConversionError, two texts compare as text). Choices this implementation makes
// where the stored format leaves them open:
//   - Null (or Unassigned) in arithmetic gives Null; "+" of Null and a text gives the text.
//   - Comparisons: Null equals only Null and is less than every other value.
//   - A Boolean used as a number is -1 (True) or 0 (False), as templates expect.
//   - A date-time used as a number is the day count since 1899-12-30 with the time as
//     fraction (TDateTime); date +/- number gives a date-time.
//   - MOD rounds both operands to whole numbers (halves to even); MOD by 0 raises
//     EfrParserError("Division by zero"). "/" by a divisor equal to 0 gives 0.
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <stdexcept>

// Raised by the parser for malformed expressions, limits, and by evaluation
// (e.g. the "undefined symbol" error of the dictionary and the report values).
class EfrParserError : public std::runtime_error {
public:
    explicit EfrParserError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }
private:
    QString m_message;
};

// The platform's conversion error (a text that is not a number, an unparsable date).
class EfrConversionError : public EfrParserError {
public:
    using EfrParserError::EfrParserError;
};

QVariant frUnassigned();
QVariant frNull();
inline bool frIsUnassigned(const QVariant &v) { return !v.isValid(); }
bool frIsNull(const QVariant &v);            // Null or Unassigned

enum class TfrVarKind { Unassigned, Null, Boolean, Integer, Float, DateTime, Text, Other };
TfrVarKind frVarKind(const QVariant &v);

// Conversions as the engine performs them.
QString frVarToStr(const QVariant &v);            // Null -> "", float -> FloatToStr (15 digits)
double frVarToFloat(const QVariant &v);           // raises EfrConversionError for non-numeric text
qint64 frVarToInt(const QVariant &v);             // rounds halves to even
bool frVarToBool(const QVariant &v);              // non-zero number, "True"/"False" text
double frDateTimeToDouble(const QDateTime &dt);   // days since 1899-12-30
QDateTime frVarToDateTime(const QVariant &v);     // QDate / QTime / number / text (short date + long time)
QDateTime frDoubleToDateTime(double d);
QString frFloatToStr(double v);                   // FloatToStr: general format, 15 digits
// Text -> number: trimmed; "," and "." both accepted as decimal separator; exponent allowed.
bool frTryStrToFloat(const QString &s, double &out);
double frStrToFloat(const QString &s);            // raises EfrConversionError
double frRoundHalfEven(double v);
// STRTODATE / STRTOTIME of the parser: the engine locale's short date format decides
// the order of day, month and year; raise EfrConversionError for unparsable text.
QDate frStrToDate(const QString &s);
QTime frStrToTime(const QString &s);

// Operators of the expression parser.
QVariant frVarAdd(const QVariant &a, const QVariant &b);
QVariant frVarSub(const QVariant &a, const QVariant &b);
QVariant frVarMul(const QVariant &a, const QVariant &b);
QVariant frVarDiv(const QVariant &a, const QVariant &b);  // 0 when b equals 0
QVariant frVarMod(const QVariant &a, const QVariant &b);
QVariant frVarOr(const QVariant &a, const QVariant &b);   // logical for Booleans, bitwise otherwise
QVariant frVarAnd(const QVariant &a, const QVariant &b);
QVariant frVarNeg(const QVariant &a);
// -1, 0, 1. Null is lowest; two texts compare as text; otherwise numerically.
int frVarCompare(const QVariant &a, const QVariant &b);
bool frVarEquals(const QVariant &a, const QVariant &b);
