#pragma once
// 部门资料: the company's departments, the checks on a department and the statements
// behind the department window. A department is referred to elsewhere by its text
// 部门编号 + "." + 部门名称.
#include "partners/partnerrules.h"

#include <QList>
#include <QString>

namespace orv {

class Connection;

struct Department {
    qint64 key = 0; // 流水号
    QString code;     // 部门编号
    QString name;     // 部门名称
    QString phone;    // 联系电话
    QString function; // 职能
    QString remark;   // 备注
    QString manager;  // 部门经理
    QString mnemonic; // 助记码 (written on insert only)

    QString text() const { return code + '.' + name; }
};

// Where a pick of the department window goes: the fields of the opener, by the names its
// setField(FieldRole::Department, ...) answers to. An empty name: the opener has no such field.
struct DepartmentPickTarget {
    int mode;          // gDutyMode
    const char *window; // the opener's instance name
    QString textField;    // receives 部门编号.部门名称
    QString managerField; // receives 部门经理
    QString codeField;    // receives 部门编号
};
// The target of a gDutyMode, or nullptr when a pick writes nothing (6, the menu's list).
const DepartmentPickTarget *departmentPickTarget(int mode);
constexpr int kDutyMenuMode = 6;

class DepartmentStore {
public:
    explicit DepartmentStore(Connection &c) : m_conn(c) {}

    // Every department in stored order.
    QList<Department> rows() const;
    bool codeTaken(const QString &code) const;

    // A new department: the code clash is checked before the empty fields, then the byte
    // limits; the clash is checked again inside the saving transaction, so two clients
    // never store one code. On success d.key holds the new row.
    Refusal saveNew(Department &d);
    // A changed department: empty fields, byte limits, then the clash when the code changed.
    // The 助记码 stays as it was.
    Refusal saveEdit(qint64 key, const Department &d);
    bool remove(qint64 key);

    // The checks that need no database, in their order.
    static Refusal checkFields(const Department &d);

private:
    Connection &m_conn;
};

} // namespace orv
