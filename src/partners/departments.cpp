#include "partners/departments.h"
#include "common/pinyin.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/mastercode.h"

namespace orv {

namespace {
const QString kCodeTaken = QStringLiteral("部门编号不能相同");
const QString kGone = QStringLiteral("该部门已被其他用户删除，修改未保存");
// Serialises the code check and the write of two clients.
const QString kCodeLock = QStringLiteral("部门资料.部门编号");

const DepartmentPickTarget kTargets[] = {
    {1, "frmPuStore", QStringLiteral("领用单位"), QStringLiteral("部门经理"), QStringLiteral("部门编号")},
    {2, "frmDiaobo", QStringLiteral("相关部门"), QStringLiteral("部门经理"), QStringLiteral("部门编号")},
    {3, "frmHuoDiao", QStringLiteral("调出单位"), QString(), QStringLiteral("调出单位编号")},
    {4, "frmHuoDiao", QStringLiteral("调入单位"), QString(), QStringLiteral("调入单位编号")},
    {5, "frmSaleBilling", QStringLiteral("销售单位"), QString(), QStringLiteral("部门编号")},
};
} // namespace

const DepartmentPickTarget *departmentPickTarget(int mode)
{
    for (const auto &t : kTargets)
        if (t.mode == mode)
            return &t;
    return nullptr;
}

QList<Department> DepartmentStore::rows() const
{
    DataSet q(&m_conn);
    q.setSql("select 流水号, 部门编号, 部门名称, 联系电话, 职能, 备注, 部门经理, 助记码 from 部门资料 order by 流水号");
    q.open();
    QList<Department> out;
    for (q.first(); !q.eof(); q.next())
        out.append({q.fields(0).value().toLongLong(), q.fields(1).asString(), q.fields(2).asString(),
                    q.fields(3).asString(), q.fields(4).asString(), q.fields(5).asString(), q.fields(6).asString(),
                    q.fields(7).asString()});
    return out;
}

bool DepartmentStore::codeTaken(const QString &code) const
{
    DataSet q(&m_conn);
    q.setSql("select 1 from 部门资料 where 部门编号 = ?");
    q.addBindValue(code);
    q.open();
    return !q.isEmpty();
}

Refusal DepartmentStore::checkFields(const Department &d)
{
    if (codeMissing(d.code))
        return {"部门编号", "部门编号不能为空"};
    if (d.name.isEmpty())
        return {"部门名称", "部门名称不能为空"};
    return firstOverLimit({{"部门编号", d.code, 200, "部门编号不得超过200"},
                           {"部门名称", d.name, 200, "部门名称不得超过200"},
                           {"联系电话", d.phone, 200, "联系电话不得超过200"},
                           {"职能", d.function, 200, "职能不得超过200"},
                           {"部门经理", d.manager, 200, "部门经理不得超过200"},
                           {"备注", d.remark, 3000, "备注不得超过3000"}});
}

Refusal DepartmentStore::saveNew(Department &d)
{
    if (codeTaken(d.code))
        return {"部门编号", kCodeTaken};
    if (Refusal r = checkFields(d))
        return r;
    Transaction tx(m_conn);
    m_conn.lockSequence(kCodeLock);
    if (codeTaken(d.code))
        return {"部门编号", kCodeTaken};
    d.mnemonic = ChnToPY(d.name);
    DataSet q(&m_conn);
    q.setSql("insert into 部门资料(部门编号,部门名称,联系电话,职能,备注,助记码,部门经理) values (?,?,?,?,?,?,?) "
             "returning 流水号");
    for (const QString &v : {d.code, d.name, d.phone, d.function, d.remark, d.mnemonic, d.manager})
        q.addBindValue(v);
    q.open();
    d.key = q.fields(0).value().toLongLong();
    tx.commit();
    return {};
}

Refusal DepartmentStore::saveEdit(qint64 key, const Department &d)
{
    if (Refusal r = checkFields(d))
        return r;
    Transaction tx(m_conn);
    m_conn.lockSequence(kCodeLock);
    DataSet stored(&m_conn);
    stored.setSql("select 部门编号 from 部门资料 where 流水号 = ?");
    stored.addBindValue(key);
    stored.open();
    if (stored.isEmpty())
        return {QString(), kGone};
    if (stored.fields(0).asString() != d.code && codeTaken(d.code))
        return {"部门编号", kCodeTaken};
    DataSet q(&m_conn);
    q.setSql("update 部门资料 set 部门编号 = ?, 部门名称 = ?, 联系电话 = ?, 职能 = ?, 备注 = ?, 部门经理 = ? "
             "where 流水号 = ?");
    for (const QString &v : {d.code, d.name, d.phone, d.function, d.remark, d.manager})
        q.addBindValue(v);
    q.addBindValue(key);
    q.execSQL();
    tx.commit();
    return {};
}

bool DepartmentStore::remove(qint64 key)
{
    Transaction tx(m_conn);
    DataSet q(&m_conn);
    q.setSql("delete from 部门资料 where 流水号 = ?");
    q.addBindValue(key);
    const int n = q.execSQL();
    tx.commit();
    return n > 0;
}

} // namespace orv
