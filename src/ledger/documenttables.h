#pragma once
// Indexes shared by the document tables: a header (one row per document) is numbered through
// DocNumbers and found by its record ID; its lines are found by the same ID.
#include "ledger/docnumbers.h"

#include <QStringList>

namespace orv {

// "create index ix_<table>_ID on <table> (ID)": headers and lines are joined and looked up by it.
inline QString recordIdIndex(const QString &table)
{
    return QString("create index ix_%1_ID on %1 (ID)").arg(table);
}

// A numbered header: the unique number (what insertNumbered() retries on), the day's last
// number without a scan, and the record ID.
inline QStringList documentHeaderIndexes(const NumberRule &rule)
{
    return {documentNoUniqueIndex(rule), documentNoIndex(rule), recordIdIndex(rule.table)};
}

} // namespace orv
