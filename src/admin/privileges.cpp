#include "admin/privileges.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "data/schema.h"

namespace orv {

namespace {
const QString kNameLock = QStringLiteral("权限组.组");
}

QList<PrivilegeGroup> PrivilegeStore::groups() const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号, 组, 描述 from 权限组 order by 流水号");
    q.open();
    QList<PrivilegeGroup> out;
    for (q.first(); !q.eof(); q.next())
        out.append({q.fieldByName("流水号").value().toLongLong(), q.fieldByName("组").asString(),
                    q.fieldByName("描述").asString()});
    return out;
}

std::optional<PrivilegeGroup> PrivilegeStore::group(qint64 rowNo) const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号, 组, 描述 from 权限组 where 流水号=?");
    q.addBindValue(rowNo);
    q.open();
    if (q.eof())
        return std::nullopt;
    return PrivilegeGroup{rowNo, q.fieldByName("组").asString(), q.fieldByName("描述").asString()};
}

PrivilegeFlags PrivilegeStore::flags(qint64 rowNo) const
{
    PrivilegeFlags out{};
    DataSet q(&m_conn);
    q.setSql("select * from 权限组 where 流水号=?");
    q.addBindValue(rowNo);
    q.open();
    if (q.eof())
        return out;
    // Flag n stands at position n + 2, as every reader of the table takes it.
    for (int n = 1; n <= kPrivilegeFlagCount && n + 2 < q.fieldCount(); ++n)
        out[size_t(n - 1)] = q.fields(n + 2).asString() == QLatin1String("True");
    return out;
}

bool PrivilegeStore::nameTaken(const QString &name) const
{
    DataSet q(&m_conn);
    q.setSql("select 组 from 权限组");
    q.open();
    for (q.first(); !q.eof(); q.next())
        if (q.fieldByName("组").asString() == name)
            return true;
    return false;
}

bool PrivilegeStore::nameTakenLocked(const QString &name) const
{
    m_conn.lockSequence(kNameLock);
    return nameTaken(name);
}

PrivilegeStore::Outcome PrivilegeStore::add(const QString &name, const QString &description,
                                            const PrivilegeFlags &flags, qint64 *rowNo)
{
    Transaction tx(m_conn);
    if (nameTakenLocked(name))
        return Outcome::NameTaken;
    const QStringList &cols = privilegeColumns();
    QString sql = "insert into 权限组 (组,描述," + cols.join(',') + ") values (?,?";
    QVariantList binds{name, description};
    for (bool f : flags) {
        sql += ",?";
        binds << f;
    }
    m_conn.exec(sql + ")", binds);
    if (rowNo) {
        DataSet q(&m_conn);
        q.setSql("select max(流水号) as 流水号 from 权限组 where 组=?");
        q.addBindValue(name);
        q.open();
        *rowNo = q.fieldByName("流水号").value().toLongLong();
    }
    tx.commit();
    return Outcome::Saved;
}

PrivilegeStore::Outcome PrivilegeStore::change(qint64 rowNo, const QString &name, const QString &description,
                                               const std::optional<PrivilegeFlags> &flags)
{
    Transaction tx(m_conn);
    m_conn.lockSequence(kNameLock);
    const std::optional<PrivilegeGroup> stored = group(rowNo);
    if (!stored)
        return Outcome::Vanished;
    if (name != stored->name && nameTaken(name))
        return Outcome::NameTaken;
    if (flags) {
        const QStringList &cols = privilegeColumns();
        QString sql = "update 权限组 set ";
        QVariantList binds;
        for (int i = 0; i < cols.size(); ++i) {
            sql += (i ? "," : "") + cols[i] + "=?";
            binds << (*flags)[size_t(i)];
        }
        binds << rowNo;
        m_conn.exec(sql + " where 流水号=?", binds);
    }
    m_conn.exec("update 用户管理 set 权限=? where 权限=?", {name, stored->name});
    m_conn.exec("update 权限组 set 组=?, 描述=? where 流水号=?", {name, description, rowNo});
    tx.commit();
    return Outcome::Saved;
}

void PrivilegeStore::remove(qint64 rowNo)
{
    Transaction tx(m_conn);
    m_conn.exec("delete from 权限组 where 流水号=?", {rowNo});
    tx.commit();
}

} // namespace orv
