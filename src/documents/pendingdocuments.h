#pragma once
// The header rows of a document family waiting for their audit ('待审核'), without widgets: the
// list an audit window shows (every pending document, or a date range narrowed by one column),
// and one header column changed only while its document is still pending.
#include <QDate>
#include <QString>
#include <QVariant>

namespace orv {

class Connection;
class DataSet;

struct PendingSearch {
    bool ranged = false; // false: every pending document (the opening list)
    QDate from, to;      // 日期 range, both days included
    QString column;      // the column the text is searched in; empty: the range alone
    QString text;        // an empty text searches the range alone
};

// `columns` of the pending rows of `table`, newest 日期 first.
void openPendingDocuments(Connection &c, DataSet &ds, const QString &table, const QString &columns,
                          const PendingSearch &search);

// One column of a pending document, by record ID; false (nothing written) when it is not pending.
bool setWhilePending(Connection &c, const QString &table, const QString &column, const QVariant &value,
                     const QString &docID);

} // namespace orv
