#pragma once
// Operator accounts (用户管理): a login name (工号.姓名 of a staff entry), a password kept as
// typed, the name of a privilege group and the 禁用 flag. Names are unique by an exact check
// made inside the saving transaction.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;

struct Account {
    qint64 rowNo = 0; // 流水号
    QString name;     // 姓名
    QString password; // 密码, plain text as the login compares it
    QString group;    // 权限: a group's name, not checked against 权限组
    bool disabled = false;
};

class AccountStore {
public:
    explicit AccountStore(Connection &c) : m_conn(c) {}

    QList<Account> accounts() const;
    std::optional<Account> account(qint64 rowNo) const;
    // 工号 + "." + 姓名 of every staff entry, in the table's order.
    QStringList staffEntries() const;
    QStringList groupNames() const;
    bool nameTaken(const QString &name) const;

    enum class Outcome { Saved, NameTaken, Vanished };
    Outcome add(const Account &a, qint64 *rowNo = nullptr);
    // Writes every field of a.rowNo; the name is checked only when it differs from the stored one.
    Outcome change(const Account &a);
    void remove(qint64 rowNo);

    // The password change of the logged-in operator: the old password must match the stored
    // one exactly, the new one must be typed twice alike and must not be empty. Returns the
    // refusal, or an empty text once every account of that name has the new password.
    QString changePassword(const QString &name, const QString &oldPassword, const QString &newPassword,
                           const QString &confirmation);

private:
    Connection &m_conn;
};

} // namespace orv
