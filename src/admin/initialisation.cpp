#include "admin/initialisation.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "data/dbconnection.h"

namespace orv {

const QList<TableGroup> &initialisationGroups()
{
    static const QList<TableGroup> groups = {
        {1, "车间调拨业务", {"调拨单", "调拨明细"}},
        {2, "初始化采购业务",
         {"采购单", "采购入库单", "采购入库明细", "采购明细", "采购退货单", "采购退货明细", "采购订单", "采购订单明细"}},
        {3, "初始化销售业务",
         {"销售单", "销售明细", "销售退货单", "销售退货明细", "销售订单", "销售订单明细", "赠送单", "赠送明细"}},
        {4, "初始化成品入库", {"成品入库单", "成品入库明细"}},
        {6, "初始化货品库存", {"货品目录", "盘点单", "盘点明细"}},
        {18, "初始化货品类别", {"类别目录"}},
        {7, "初始化客户信息", {"客户目录"}},
        {19, "初始化客户地域", {"客户地域"}},
        {8, "初始化车间领用", {"车间领用", "车间领用明细"}},
        {9, "初始化借出归还", {"借出单", "借出单明细", "归还单", "归还单明细"}},
        {10, "初始化仓位目录", {"仓位目录"}},
        {20, "初始化常用单位", {"单位"}},
        {11, "初始化员工信息", {"员工目录"}},
        {13, "初始化部门信息", {"部门资料"}},
        {14, "次品返工业务", {"次品返工单", "次品返工明细"}},
        {15, "货品报损业务", {"货品报损单", "货品报损明细"}},
        {16, "出入库信息", {"出入库单", "出入库明细"}},
        {12, "初始化供应商", {"往来单位"}},
        {17, "初始化系统日志", {"日志"}},
        {21, "仓库调拨业务", {"货品调拨单", "货品调拨明细"}},
    };
    return groups;
}

std::optional<CompanyRecord> CompanyStore::first() const
{
    DataSet q(&m_conn);
    q.setSql("select * from 基本信息 order by 流水号");
    q.open();
    if (q.eof())
        return std::nullopt;
    CompanyRecord r;
    r.rowNo = q.fieldByName("流水号").value().toLongLong();
    r.name = q.fieldByName("公司名称").asString();
    r.phone = q.fieldByName("公司电话").asString();
    r.address = q.fieldByName("公司地址").asString();
    r.fax = q.fieldByName("公司传真").asString();
    r.postcode = q.fieldByName("公司邮编").asString();
    r.users = q.fieldByName("用户数").asString();
    r.shortName = q.fieldByName("公司简称").asString();
    r.business = q.fieldByName("主营业务").asString();
    r.printSignature = q.fieldByName("打印签单").asBoolean();
    return r;
}

qint64 CompanyStore::initialise(const QList<int> &tickedBoxes, const CompanyRecord &r)
{
    Transaction tx(m_conn);
    // Table names come from the fixed list above, never from input.
    for (const TableGroup &g : initialisationGroups())
        if (tickedBoxes.contains(g.box))
            for (const QString &table : g.tables)
                m_conn.exec("delete from " + table);
    qint64 rowNo = r.rowNo;
    if (rowNo != 0) {
        DataSet u(&m_conn);
        u.setSql("update 基本信息 set 公司名称=?,公司电话=?,公司地址=?,公司传真=?,公司邮编=?,用户数=?,公司简称=?,"
                 "主营业务=?,打印签单=? where 流水号=?");
        for (const QVariant &v : QVariantList{r.name, r.phone, r.address, r.fax, r.postcode, r.users, r.shortName,
                                              r.business, r.printSignature, rowNo})
            u.addBindValue(v);
        if (u.execSQL() == 0)
            rowNo = 0; // the row went meanwhile: the record is stored anew
    }
    if (rowNo == 0) {
        m_conn.exec("insert into 基本信息(公司名称,公司电话,公司地址,公司传真,公司邮编,用户数,初始化日期,公司简称,"
                    "主营业务,打印签单) values(?,?,?,?,?,?,?,?,?,?)",
                    {r.name, r.phone, r.address, r.fax, r.postcode, r.users,
                     Clock::localNow().date().toString("yyyy-MM-dd"), r.shortName, r.business, r.printSignature});
        DataSet q(&m_conn);
        q.setSql("select max(流水号) as 流水号 from 基本信息");
        q.open();
        rowNo = q.fieldByName("流水号").value().toLongLong();
    }
    tx.commit();
    return rowNo;
}

} // namespace orv
