#include "goods/lookups.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "common/codec.h"

namespace orv {

const LookupText &lookupText(LookupKind kind)
{
    static const LookupText units{"单位", "单位名称", "单位目录", "单位名称：", "单位不能为空！",
                                  "单位名称长度不得超过200", "单位名称长度不得超过200"};
    static const LookupText places{"仓位目录", "仓位", "仓位目录", "仓位：", "仓位不能为空！",
                                   "仓位长度不得超过200 请从新输入", "仓位长度不得超过200 请从新输入"};
    static const LookupText regions{"客户地域", "地域", "客户地域", "地域：", "客户地域不能为空！",
                                    "客户地域长度太长请修改", "客户地域长度太长请从新输入"};
    switch (kind) {
    case LookupKind::Units:
        return units;
    case LookupKind::Places:
        return places;
    case LookupKind::Regions:
        break;
    }
    return regions;
}

QList<LookupRow> LookupStore::rows() const
{
    const LookupText &t = lookupText(m_kind);
    DataSet q(&m_conn);
    q.setSql("select 流水号, " + t.nameColumn + " from " + t.table + " order by 流水号");
    q.open();
    QList<LookupRow> out;
    for (q.first(); !q.eof(); q.next())
        out.append({q.fields(0).value().toLongLong(), q.fields(1).asString()});
    return out;
}

QStringList LookupStore::names() const
{
    QStringList out;
    for (const auto &r : rows())
        out << r.name;
    return out;
}

QString LookupStore::check(const QString &name, bool adding) const
{
    const LookupText &t = lookupText(m_kind);
    if (name.isEmpty())
        return t.emptyName;
    if (gbkLength(name) > kLookupNameMaxBytes)
        return adding ? t.tooLongAdd : t.tooLongEdit;
    return QString();
}

qint64 LookupStore::add(const QString &name)
{
    const LookupText &t = lookupText(m_kind);
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("insert into " + t.table + "(" + t.nameColumn + ") values (?) returning 流水号");
    q.addBindValue(name);
    q.open();
    const qint64 key = q.fields(0).value().toLongLong();
    tx.commit();
    return key;
}

bool LookupStore::update(qint64 key, const QString &name)
{
    const LookupText &t = lookupText(m_kind);
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("update " + t.table + " set " + t.nameColumn + " = ? where 流水号 = ?");
    q.addBindValue(name);
    q.addBindValue(key);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

bool LookupStore::remove(qint64 key)
{
    const LookupText &t = lookupText(m_kind);
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("delete from " + t.table + " where 流水号 = ?");
    q.addBindValue(key);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

} // namespace orv
