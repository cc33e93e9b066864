#include "data/login.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "common/clock.h"

namespace orv {

QStringList LoginService::userNames()
{
    DataSet q(&m_conn);
    q.setSql("select 姓名 from 用户管理 order by 流水号");
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.fieldByName("姓名").asString();
    return out;
}

LoginResult LoginService::check(const QString &name, const QString &password)
{
    LoginResult r;
    if (name.isEmpty() || password.isEmpty()) {
        r.message = "用户名或密码不能为空!";
        return r;
    }
    DataSet q(&m_conn);
    q.setSql("select 姓名,密码,权限 from 用户管理 where 姓名=? and 禁用=?");
    q.addBindValue(name);
    q.addBindValue(false);
    q.open();
    if (q.eof()) {
        r.message = "用户名不存在";
        return r;
    }
    const QString stored = q.fieldByName("姓名").asString();
    if (q.fieldByName("密码").asString() != password) {
        r.message = "用户名或密码错误,请重新输入！";
        return r;
    }
    const QString group = q.fieldByName("权限").asString();

    // Flags are read by position, as the table's column order is part of its format.
    DataSet g(&m_conn);
    g.setSql("select * from 权限组 where 组=?");
    g.addBindValue(group);
    g.open();
    if (!g.eof())
        for (int p = 3; p <= 57 && p < g.fieldCount(); ++p)
            r.privileges[size_t(p - 3)] = g.fields(p).asString();

    writeLog(stored, "登录系统");
    r.ok = true;
    r.user = stored;
    return r;
}

void LoginService::writeLog(const QString &user, const QString &event)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("insert into 日志(时间,用户,事件) values(?,?,?)");
    q.addBindValue(Clock::localNow().toString("yyyy-MM-dd   hh:mm:ss"));
    q.addBindValue(user);
    q.addBindValue(event);
    q.execSQL();
    tx.commit();
}

} // namespace orv
