#pragma once
// The login check against 用户管理 and 权限组, and the log rows of coming and going.
#include <QString>
#include <QStringList>
#include <array>

namespace orv {

class Connection;

struct LoginResult {
    bool ok = false;
    QString message;      // what the operator is told when not ok
    QString user;         // 姓名 as stored
    std::array<QString, 55> privileges{};
};

class LoginService {
public:
    explicit LoginService(Connection &c) : m_conn(c) {}
    // Every 姓名 of 用户管理, disabled accounts too, in the database's order.
    QStringList userNames();
    // Checks name and password; on success reads the group's flags and writes the log row.
    LoginResult check(const QString &name, const QString &password);
    // Inserts a row into 日志 with the local time "yyyy-MM-dd   hh:mm:ss".
    void writeLog(const QString &user, const QString &event);

private:
    Connection &m_conn;
};

} // namespace orv
