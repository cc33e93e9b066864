#pragma once
// The print of an internal document through "tongyong.frf", the same for every kind and for
// both callers (the entry window and the list): the kind's title after the company name, its
// party caption and its four signature lines (captions alone in signature mode), the header's
// number, date, party and remark, the three totals, and one data band per line.
#include "documents/documentprint.h"
#include "warehouse/internalkinds.h"

#include <functional>

namespace orv {

class Connection;

struct InternalPrintValues {
    QString number, date, party, remark;
    QString qty, auxQty, amount; // Memo26, Memo25, Memo27
    // The value of a header column (the signatures' names).
    std::function<QString(const QString &column)> column;
    LineSlots lineSlots = documentLineSlots();
    QList<QStringList> lines;
};

DocumentPrint internalPrint(Connection &c, const InternalKind &kind, const InternalPrintValues &v);

} // namespace orv

namespace orv {

// The print of a stored document of the kind, by its record ID: every text read from its
// header row and lines (a header gone meanwhile prints empty texts; its stored lines still print).
DocumentPrint internalStoredPrint(Connection &c, const InternalKind &kind, const QString &docID);

} // namespace orv
