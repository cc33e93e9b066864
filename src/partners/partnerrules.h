#pragma once
// Small rules shared by the department, staff and customer stores.
#include <QString>
#include <initializer_list>

namespace orv {

class Connection;

// Why a save was refused: the operator's message and the column whose field takes the cursor
// (empty: the cursor stays where it is).
struct Refusal {
    QString field;
    QString message;
    explicit operator bool() const { return !message.isEmpty(); }
};

// A text and the most code-page-936 bytes its column takes.
struct ByteLimit {
    QString field;
    QString value;
    int maxBytes;
    QString message;
};

// The first text over its limit, in the order given.
Refusal firstOverLimit(std::initializer_list<ByteLimit> limits);

// A number as the money and discount fields take it (digits and one point); false for
// anything else, "." alone included.
bool parseDecimal(const QString &text, double *value);

// "column like ?" for a case-insensitive search, as the lists search on every database.
QString containsCondition(const Connection &c, const QString &column);
// The bound pattern: the typed text anywhere in the column, its wildcards kept.
inline QString containsPattern(const QString &text) { return '%' + text + '%'; }

} // namespace orv
