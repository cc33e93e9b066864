#include "admin/systemlog.h"
#include "data/dataset.h"
#include "data/dbconnection.h"

namespace orv {

int LogStore::count() const
{
    DataSet q(&m_conn);
    q.setSql("select count(*) as count from 日志");
    q.open();
    return q.fieldByName("count").asInteger();
}

QList<LogRow> LogStore::rows() const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号,时间,用户,事件 from 日志 order by 时间 desc, 流水号 desc");
    q.open();
    QList<LogRow> out;
    out.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next())
        out.append({q.fieldByName("流水号").value().toLongLong(), q.fieldByName("时间").asString(),
                    q.fieldByName("用户").asString(), q.fieldByName("事件").asString()});
    return out;
}

void LogStore::remove(qint64 rowNo)
{
    Transaction tx(m_conn);
    m_conn.exec("delete from 日志 where 流水号=?", {rowNo});
    tx.commit();
}

void LogStore::clear()
{
    Transaction tx(m_conn);
    m_conn.exec("delete from 日志");
    tx.commit();
}

} // namespace orv
