#include "documents/pendingdocuments.h"
#include "data/dataset.h"
#include "documents/datesearch.h"
#include "partners/partnerrules.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
}

void openPendingDocuments(Connection &c, DataSet &ds, const QString &table, const QString &columns,
                          const PendingSearch &search)
{
    QString sql = "select " + columns + " from " + table + " where 当前状态 = ?";
    QVariantList binds{kPending};
    if (search.ranged) {
        if (!search.column.isEmpty() && !search.text.isEmpty()) {
            sql += " and " + containsCondition(c, search.column);
            binds << containsPattern(search.text);
        }
        sql += " and " + dateRangeCondition(QStringLiteral("日期"));
        binds << dateRangeBinds(search.from, search.to);
    }
    ds.clear();
    ds.setSql(sql + " order by 日期 desc, 流水号 desc");
    for (const QVariant &b : std::as_const(binds))
        ds.addBindValue(b);
    ds.open();
}

bool setWhilePending(Connection &c, const QString &table, const QString &column, const QVariant &value,
                     const QString &docID)
{
    DataSet q(&c);
    q.setSql("update " + table + " set " + column + " = ? where ID = ? and 当前状态 = ?");
    q.addBindValue(value);
    q.addBindValue(docID);
    q.addBindValue(kPending);
    return q.execSQL() > 0;
}

} // namespace orv
