#include "admin/accounts.h"
#include "data/dataset.h"
#include "data/dbconnection.h"

namespace orv {

namespace {
const QString kNameLock = QStringLiteral("用户管理.姓名");

Account accountFrom(const DataSet &q)
{
    return {q.fieldByName("流水号").value().toLongLong(), q.fieldByName("姓名").asString(),
            q.fieldByName("密码").asString(), q.fieldByName("权限").asString(), q.fieldByName("禁用").asBoolean()};
}
} // namespace

QList<Account> AccountStore::accounts() const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号,姓名,权限,密码,禁用 from 用户管理 order by 流水号");
    q.open();
    QList<Account> out;
    for (q.first(); !q.eof(); q.next())
        out << accountFrom(q);
    return out;
}

std::optional<Account> AccountStore::account(qint64 rowNo) const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号,姓名,权限,密码,禁用 from 用户管理 where 流水号=?");
    q.addBindValue(rowNo);
    q.open();
    if (q.eof())
        return std::nullopt;
    return accountFrom(q);
}

QStringList AccountStore::staffEntries() const
{
    DataSet q(&m_conn);
    q.setSql("select 工号,姓名 from 员工目录 order by 流水号");
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.fieldByName("工号").asString() + '.' + q.fieldByName("姓名").asString();
    return out;
}

QStringList AccountStore::groupNames() const
{
    DataSet q(&m_conn);
    q.setSql("select 组 from 权限组 order by 流水号");
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.fieldByName("组").asString();
    return out;
}

bool AccountStore::nameTaken(const QString &name) const
{
    DataSet q(&m_conn);
    q.setSql("select 姓名 from 用户管理");
    q.open();
    for (q.first(); !q.eof(); q.next())
        if (q.fieldByName("姓名").asString() == name)
            return true;
    return false;
}

AccountStore::Outcome AccountStore::add(const Account &a, qint64 *rowNo)
{
    Transaction tx(m_conn);
    m_conn.lockSequence(kNameLock);
    if (nameTaken(a.name))
        return Outcome::NameTaken;
    m_conn.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {a.name, a.password, a.group, a.disabled});
    if (rowNo) {
        DataSet q(&m_conn);
        q.setSql("select max(流水号) as 流水号 from 用户管理 where 姓名=?");
        q.addBindValue(a.name);
        q.open();
        *rowNo = q.fieldByName("流水号").value().toLongLong();
    }
    tx.commit();
    return Outcome::Saved;
}

AccountStore::Outcome AccountStore::change(const Account &a)
{
    Transaction tx(m_conn);
    m_conn.lockSequence(kNameLock);
    const std::optional<Account> stored = account(a.rowNo);
    if (!stored)
        return Outcome::Vanished;
    if (a.name != stored->name && nameTaken(a.name))
        return Outcome::NameTaken;
    m_conn.exec("update 用户管理 set 姓名=?,密码=?,权限=?,禁用=? where 流水号=?",
                {a.name, a.password, a.group, a.disabled, a.rowNo});
    tx.commit();
    return Outcome::Saved;
}

void AccountStore::remove(qint64 rowNo)
{
    Transaction tx(m_conn);
    m_conn.exec("delete from 用户管理 where 流水号=?", {rowNo});
    tx.commit();
}

QString AccountStore::changePassword(const QString &name, const QString &oldPassword, const QString &newPassword,
                                     const QString &confirmation)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("select 密码 from 用户管理 where 姓名=? order by 流水号");
    q.addBindValue(name);
    q.open();
    // An account that is gone has no password that could match.
    if (q.eof() || oldPassword != q.fieldByName("密码").asString())
        return "旧密码输入不正确，请重新输入";
    if (newPassword != confirmation)
        return "两次输入的密码不相同，请重新输入";
    // The login refuses an empty password: storing one would lock the operator out.
    if (newPassword.isEmpty())
        return "新密码不能为空";
    m_conn.exec("update 用户管理 set 密码=? where 姓名=?", {newPassword, name});
    tx.commit();
    return QString();
}

} // namespace orv
