#pragma once
// The one number and date formatter of the report engine: display formats of text
// objects, inline formats of brackets ("[Price #N0.00]") and the script functions
// FORMATFLOAT and FORMATDATETIME all format through it.
//
// Number patterns (frFormatFloat):
//   0  digit, always shown         #  digit, shown when significant
//   .  decimal point (the first one; written as `decimalSeparator`)
//   ,  thousands grouping of the integer part (anywhere in the integer part)
//   E+ E- e+ e-  scientific notation; the 0s after it give the least exponent digits,
//                E+ always writes the exponent's sign, E- only a minus
//   'x' "x"  literal text; any other character is copied as it is
//   Up to three sections "positive;negative;zero". A missing or empty negative
//   section formats negatives with the positive one and a leading "-"; a missing or
//   empty zero section formats zero with the positive one. An empty pattern gives
//   the general format (15 significant digits).
//   Rounding is decimal, halves away from zero, on the value's 15 significant digits
//   (so 2.675 with "0.00" is "2.68").
//
// Date and time patterns (frFormatDateTime), letters in any case:
//   yyyy yy  year       mmmm mmm mm m  month (name, short name, 2 digits, digits)
//   dddd ddd dd d  day (name, short name, 2 digits, digits)   ddddd dddddd  short / long date
//   hh h  hour          nn n  minute      ss s  second      zzz z  millisecond
//   mm / m right after an hour field (hh, h) means minutes
//   ampm  上午/下午 and a 12-hour clock; am/pm a/p likewise with the letters as written
//   c  short date and long time       t tt  short / long time
//   /  date separator   :  time separator   'x' "x" literal text
#include <QChar>
#include <QDateTime>
#include <QString>
#include <QVariant>

// Number formatted by a pattern; `decimalSeparator` replaces "." in the output.
QString frFormatFloat(const QString &pattern, double value, QChar decimalSeparator = QLatin1Char('.'));
// Fixed notation (digits after the point: decimals), with thousands grouping when asked;
// 15 significant digits as the class library's fixed and number formats.
QString frFormatFixed(double value, int decimals, bool thousands, QChar decimalSeparator = QLatin1Char('.'));
// Date and time formatted by a pattern.
QString frFormatDateTime(const QString &pattern, const QDateTime &value);
// The long date of the locale ("2024年3月5日").
QString FormatLongDate(const QDateTime &value);

// A text object's display format: code = category << 24 | type << 16 | decimals << 8
// | decimal separator character; formatText is the custom pattern (type 4). Unassigned,
// Null and blank texts give ""; a value that cannot be formatted gives its plain text.
QString FormatValue(const QVariant &value, qint32 code, const QString &formatText);
