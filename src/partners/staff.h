#pragma once
// 员工目录: staff with their role flags, the checks on a staff row, the statements behind the
// staff window, where a pick of the staff picker goes, and the rule of the documents' staff
// drop-downs. A staff member is referred to elsewhere by 工号 + "." + 姓名.
#include "partners/partnerrules.h"
#include "goods/excelexport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <array>
#include <optional>

namespace orv {

class Connection;

// The role flags in stored order; each is a column of 员工目录 named as staffRoleColumn() says.
enum class StaffRole {
    Technician,  // 技术员
    StoreKeeper, // 仓库管理员
    Salesman,    // 业务员
    Visitor,     // 回访员 (no box the operator can tick)
    Cashier,     // 结算/出纳
    Picker,      // 领料员
    Quoter,      // 报价员 (no box the operator can tick)
    Invoicer,    // 开票员
    Shipper,     // 发货员
    Checker,     // 复核员
    Deliverer,   // 送货员
    Inspector,   // 验收员
    Receiver,    // 收货员
    Seller,      // 销售员
};
constexpr int kStaffRoleCount = 14;
QString staffRoleColumn(StaffRole role);
// The column as a statement names it ("结算/出纳" needs quoting).
QString staffRoleSql(StaffRole role);

struct StaffMember {
    qint64 key = 0; // 流水号
    QString department, no, name, sex, birth, nativePlace, idCard, phone, mobile;
    QString basePay, allowance; // as typed; empty stores 0
    QString address, remark;
    std::array<bool, kStaffRoleCount> roles{};

    bool hasRole(StaffRole r) const { return roles[size_t(r)]; }
    void setRole(StaffRole r, bool on) { roles[size_t(r)] = on; }
    QString text() const { return no + '.' + name; }
};

// How a drop-down shows a staff member.
enum class StaffText { NoDotName, NameOnly };

// The rule of every staff drop-down of the document windows, refilled when it takes the focus:
// every staff row (no role) or only the rows whose flag for `role` is set, in stored order.
QStringList staffChoices(Connection &c, std::optional<StaffRole> role = std::nullopt,
                         StaffText text = StaffText::NoDotName);

// Where a pick of the staff window goes: the opener's staff field, by the name its
// setField(FieldRole::Staff, ...) answers to.
struct StaffPickTarget {
    int mode;           // gStaffMode
    const char *window; // the opener's instance name
    const char *control;
    QString field;
};
// The target of a gStaffMode; nullptr for 36 (the menu's list) and for values no opener sets.
const StaffPickTarget *staffPickTarget(int mode);
constexpr int kStaffMenuMode = 36;

class StaffStore {
public:
    explicit StaffStore(Connection &c) : m_conn(c) {}

    QList<StaffMember> rows() const;

    // Checks 1 to 11 (empty 工号, byte limits), then for a new row the 工号 clash, inside the
    // saving transaction so two clients never store one 工号. Texts are stored as typed.
    Refusal saveNew(StaffMember &m);
    // A changed row: checks 1 to 11 only; its 工号 may equal another row's.
    Refusal saveEdit(qint64 key, const StaffMember &m);
    bool remove(qint64 key);

    static Refusal checkFields(const StaffMember &m);

private:
    QVariantList values(const StaffMember &m, Refusal *refusal) const;
    Connection &m_conn;
};

// The staff export: the twelve visible columns but 销售员, no count line.
ExportSheet staffExportSheet(const QList<StaffMember> &rows);

} // namespace orv
