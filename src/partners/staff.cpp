#include "partners/staff.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/mastercode.h"

#include <QVariant>

namespace orv {

namespace {
const char *const kRoleColumns[kStaffRoleCount] = {"技术员", "仓库管理员", "业务员", "回访员", "结算/出纳",
                                                   "领料员", "报价员", "开票员", "发货员", "复核员",
                                                   "送货员", "验收员", "收货员", "销售员"};
const QString kNoLock = QStringLiteral("员工目录.工号");
const QString kGone = QStringLiteral("该员工已被其他用户删除，修改未保存");

const QString kColumns = QStringLiteral("部门,工号,姓名,性别,出生年月,籍贯,身份证号,电话,手机,底薪,津贴,住址,备注");

QString roleColumnsSql()
{
    QString s;
    for (int i = 0; i < kStaffRoleCount; ++i)
        s += ',' + staffRoleSql(StaffRole(i));
    return s;
}

const StaffPickTarget kTargets[] = {
    {1, "frmPuch", "ComboBox2", QStringLiteral("负责人")},
    {2, "frmPuch", "ComboBox3", QStringLiteral("申请人")},
    {3, "frmPuch", "ComboBox4", QStringLiteral("开票员")},
    {4, "frmPuStore", "ComboBox2", QStringLiteral("经办人")},
    {5, "frmPuStore", "ComboBox1", QStringLiteral("送货员")},
    {6, "frmPuStore", "ComboBox4", QStringLiteral("验收员")},
    {7, "frmPuStore", "ComboBox6", QStringLiteral("收货员")},
    {8, "frmPuStore", "ComboBox7", QStringLiteral("复核员")},
    {9, "frmCaiGouTui", "ComboBox2", QStringLiteral("经办人")},
    {10, "frmCaiGouTui", "ComboBox1", QStringLiteral("送货员")},
    {11, "frmCaiGouTui", "ComboBox6", QStringLiteral("发货员")},
    {12, "frmCaiGouTui", "ComboBox7", QStringLiteral("复核员")},
    {13, "frmPuStore", "ComboBox8", QStringLiteral("领用员")},
    {14, "frmPuStore", "ComboBox9", QStringLiteral("发货员")},
    {15, "frmDiaobo", "ComboBox2", QStringLiteral("开单员")},
    {16, "frmDiaobo", "ComboBox6", QStringLiteral("领用员")},
    {17, "frmDiaobo", "ComboBox7", QStringLiteral("发货员")},
    {18, "frmDiaobo", "ComboBox8", QStringLiteral("送货员")},
    {19, "frmDiaobo", "ComboBox9", QStringLiteral("财务")},
    {20, "frmDiaobo", "ComboBox10", QStringLiteral("复核员")},
    {21, "frmDiaobo", "ComboBox4", QStringLiteral("销售员")},
    {22, "frmDiaobo", "ComboBox11", QStringLiteral("开票员")},
    {23, "frmHuoDiao", "ComboBox2", QStringLiteral("负责人")},
    {24, "frmHuoDiao", "ComboBox1", QStringLiteral("发货员")},
    {25, "frmHuoDiao", "ComboBox4", QStringLiteral("收货员")},
    {26, "frmHuoDiao", "ComboBox3", QStringLiteral("复核员")},
    {27, "frmSaleBilling", "ComboBox1", QStringLiteral("经办人")},
    {28, "frmSaleBilling", "ComboBox2", QStringLiteral("送货员")},
    {29, "frmSaleBilling", "ComboBox3", QStringLiteral("发货员")},
    {30, "frmSaleBilling", "ComboBox4", QStringLiteral("复核员")},
    {31, "frmSaleBilling", "ComboBox5", QStringLiteral("开票员")},
    {32, "frmJinTuiAud", "Edit2", QStringLiteral("审核人")},
    {33, "frmBaoSunAud", "Edit2", QStringLiteral("审核人")},
    {34, "frmHongFan", "ComboBox1", QStringLiteral("红字反冲操作员")},
    {37, "frmHuoPinDiao", "ComboBox2", QStringLiteral("负责人")},
};
} // namespace

QString staffRoleColumn(StaffRole role) { return QString::fromUtf8(kRoleColumns[int(role)]); }

QString staffRoleSql(StaffRole role)
{
    const QString c = staffRoleColumn(role);
    return c.contains('/') ? '"' + c + '"' : c;
}

const StaffPickTarget *staffPickTarget(int mode)
{
    for (const auto &t : kTargets)
        if (t.mode == mode)
            return &t;
    return nullptr;
}

QStringList staffChoices(Connection &c, std::optional<StaffRole> role, StaffText text)
{
    DataSet q(&c);
    QString sql = "select 工号, 姓名 from 员工目录";
    if (role)
        sql += " where " + staffRoleSql(*role) + " = ?";
    q.setSql(sql + " order by 流水号");
    if (role)
        q.addBindValue(true);
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << (text == StaffText::NameOnly ? q.fields(1).asString()
                                            : q.fields(0).asString() + '.' + q.fields(1).asString());
    return out;
}

QList<StaffMember> StaffStore::rows() const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号," + kColumns + roleColumnsSql() + " from 员工目录 order by 流水号");
    q.open();
    QList<StaffMember> out;
    for (q.first(); !q.eof(); q.next()) {
        StaffMember m;
        m.key = q.fields(0).value().toLongLong();
        QString *texts[] = {&m.department, &m.no,     &m.name,    &m.sex,       &m.birth,
                            &m.nativePlace, &m.idCard, &m.phone,   &m.mobile,    &m.basePay,
                            &m.allowance,  &m.address, &m.remark};
        int col = 1;
        for (QString *t : texts)
            *t = q.fields(col++).asString();
        for (int i = 0; i < kStaffRoleCount; ++i)
            m.roles[size_t(i)] = flagValue(q.fields(col++).value());
        out << m;
    }
    return out;
}

Refusal StaffStore::checkFields(const StaffMember &m)
{
    if (codeMissing(m.no))
        return {"工号", "工号不能为空！"};
    return firstOverLimit({{"工号", m.no, 50, "工号长度不得超过50请重新输入"},
                           {"部门", m.department, 200, "所在部门不得超过200"},
                           {"姓名", m.name, 200, "员工姓名不得超过200"},
                           {"性别", m.sex, 4, "请输入男或者女"},
                           {"出生年月", m.birth, 50, "出生年月日不得超过50 请重新输入"},
                           {"籍贯", m.nativePlace, 50, "籍贯不得超过50 请重新输入"},
                           {"身份证号", m.idCard, 50, "身份证号不得超过50 请重新输入"},
                           {"电话", m.phone, 50, "电话不得超过50 请重新输入"},
                           {"手机", m.mobile, 50, "手机不得超过50 请重新输入"},
                           {"住址", m.address, 100, "住址不得超过100 请重新输入"}});
}

QVariantList StaffStore::values(const StaffMember &m, Refusal *refusal) const
{
    // Money fields accept only digits and one point; "." alone is still no number.
    auto money = [refusal](const QString &text, const char *field, const char *message) -> QVariant {
        if (text.isEmpty())
            return 0.0;
        double v = 0;
        if (!parseDecimal(text, &v) && !*refusal)
            *refusal = {field, message};
        return v;
    };
    QVariantList v{m.department, m.no, m.name, m.sex, m.birth, m.nativePlace, m.idCard, m.phone, m.mobile};
    v << money(m.basePay, "底薪", "底薪必须是数字") << money(m.allowance, "津贴", "津贴必须是数字");
    v << m.address << m.remark;
    for (bool on : m.roles)
        v << on;
    return v;
}

Refusal StaffStore::saveNew(StaffMember &m)
{
    if (Refusal r = checkFields(m))
        return r;
    Transaction tx(m_conn);
    m_conn.lockSequence(kNoLock);
    DataSet taken(&m_conn);
    taken.setSql("select 1 from 员工目录 where 工号 = ?");
    taken.addBindValue(m.no);
    taken.open();
    if (!taken.isEmpty())
        return {"工号", "工号不能相同！"};
    Refusal refusal;
    const QVariantList v = values(m, &refusal);
    if (refusal)
        return refusal;
    DataSet q(&m_conn);
    QString marks;
    for (int i = 0; i < v.size(); ++i)
        marks += i ? ",?" : "?";
    q.setSql("insert into 员工目录(" + kColumns + roleColumnsSql() + ") values (" + marks + ") returning 流水号");
    for (const QVariant &x : v)
        q.addBindValue(x);
    q.open();
    m.key = q.fields(0).value().toLongLong();
    tx.commit();
    return {};
}

Refusal StaffStore::saveEdit(qint64 key, const StaffMember &m)
{
    if (Refusal r = checkFields(m))
        return r;
    Refusal refusal;
    const QVariantList v = values(m, &refusal);
    if (refusal)
        return refusal;
    QStringList sets;
    for (const QString &c : kColumns.split(','))
        sets << c + " = ?";
    for (int i = 0; i < kStaffRoleCount; ++i)
        sets << staffRoleSql(StaffRole(i)) + " = ?";
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("update 员工目录 set " + sets.join(", ") + " where 流水号 = ?");
    for (const QVariant &x : v)
        q.addBindValue(x);
    q.addBindValue(key);
    if (q.execSQL() == 0)
        return {QString(), kGone};
    tx.commit();
    return {};
}

bool StaffStore::remove(qint64 key)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("delete from 员工目录 where 流水号 = ?");
    q.addBindValue(key);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

ExportSheet staffExportSheet(const QList<StaffMember> &rows)
{
    ExportSheet s;
    s.headers = QStringList{"部门", "工号", "姓名", "籍贯", "性别", "出生年月", "身份证号", "电话", "手机", "住址", "底薪", "津贴"};
    for (const StaffMember &m : rows)
        s.rows << QStringList{m.department, m.no,    m.name,   m.nativePlace, m.sex,     m.birth,
                              m.idCard,     m.phone, m.mobile, m.address,     m.basePay, m.allowance};
    return s;
}

} // namespace orv
