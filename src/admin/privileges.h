#pragma once
// Privilege groups (权限组): a name, a description and 55 flags per group. Accounts name their
// group in 用户管理.权限, so a renamed group takes its accounts along; a deleted one leaves them.
// "超级管理员" is the fixed administrator group: the window shows it but never changes it.
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace orv {

class Connection;

constexpr int kPrivilegeFlagCount = 55;
using PrivilegeFlags = std::array<bool, kPrivilegeFlagCount>; // flag n at index n - 1

inline const QString kSuperGroup = QStringLiteral("超级管理员");

struct PrivilegeGroup {
    qint64 rowNo = 0; // 流水号
    QString name;     // 组
    QString description;
};

class PrivilegeStore {
public:
    explicit PrivilegeStore(Connection &c) : m_conn(c) {}

    QList<PrivilegeGroup> groups() const;
    std::optional<PrivilegeGroup> group(qint64 rowNo) const;
    // The stored flags, read by column position as the login reads them; all clear for a
    // group that does not exist.
    PrivilegeFlags flags(qint64 rowNo) const;
    // Exact comparison (case and blanks count) with every stored name.
    bool nameTaken(const QString &name) const;

    enum class Outcome { Saved, NameTaken, Vanished };
    // A new group; the name is checked again inside the saving transaction, so two
    // administrators cannot store one name twice.
    Outcome add(const QString &name, const QString &description, const PrivilegeFlags &flags,
                qint64 *rowNo = nullptr);
    // Name, description and (when given) flags of a group, in one transaction; the accounts of the
    // stored name follow a rename. An unchanged name is not checked.
    Outcome change(qint64 rowNo, const QString &name, const QString &description,
                   const std::optional<PrivilegeFlags> &flags);
    void remove(qint64 rowNo);

private:
    bool nameTakenLocked(const QString &name) const;
    Connection &m_conn;
};

} // namespace orv
