#include "warehouse/warehouseschema.h"
#include "data/schema.h"
#include "ledger/documenttables.h"

namespace orv {

namespace {
const char *const kReversal = "是否红冲 {BOOL} NOT NULL DEFAULT FALSE, 红冲操作员 VARCHAR(300)";

// The header of a kind: the operator, party and code columns and the staff columns in the
// order the save writes them. Parties are departments (部门编号 + "." + 部门名称), staff
// 工号 + "." + 姓名.
QString internalHeader(const InternalKind &k)
{
    QStringList staff;
    for (const InternalField &f : k.staff)
        if (f.column)
            staff << QString::fromUtf8(f.column) + (qstrcmp(f.column, "部门经理") == 0 ? " VARCHAR(200)" : " VARCHAR(300)");
    QString ddl = QString("create table %1 (流水号 {ID}, 单据编号 VARCHAR(50), 日期 {DATE}, %2 VARCHAR(300), "
                          "ID VARCHAR(50), 当前状态 VARCHAR(50), %3 VARCHAR(400), %4 VARCHAR(200), %5, "
                          "金额合计 {MONEY}, 摘要 TEXT, 时间 VARCHAR(20), %6")
                      .arg(QString::fromUtf8(k.header), QString::fromUtf8(k.operatorColumn),
                           QString::fromUtf8(k.partyColumn), QString::fromUtf8(k.codeColumn), staff.join(", "),
                           QString::fromUtf8(kReversal));
    // A pending kind's audit writes 审核人 and 审核日期; its list reads 复核员, which no one writes.
    if (k.direction == InternalDirection::Pending)
        ddl += ", 审核人 VARCHAR(300), 审核日期 {DATE}, 复核员 VARCHAR(300)";
    return ddl + ")";
}

const char *const kGoods =
    "编号 VARCHAR(200), 名称 VARCHAR(200), 规格 VARCHAR(200), 单位 VARCHAR(200), 辅助单位 VARCHAR(200), "
    "辅助数量 {MONEY}, 数量 {MONEY}, 单价 {MONEY}, 金额 {MONEY}, ID VARCHAR(50), 条码 VARCHAR(200), "
    "仓位 VARCHAR(200), 供应商 VARCHAR(1300), 类别 VARCHAR(200)";

// The seven internal line tables: the stock columns follow the ratio.
QString internalLines(const char *table)
{
    return QString("create table %1 (流水号 {ID}, %2, 换算比率 DOUBLE PRECISION, 结存 {MONEY}, "
                   "原有库存数量 {MONEY}, 辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))")
        .arg(QString::fromUtf8(table), QString::fromUtf8(kGoods));
}

// The transfer line tables: the ratio stands between the stock columns, as the saves write them.
QString transferLines(const QString &table)
{
    return QString("create table %1 (流水号 {ID}, %2, 结存 {MONEY}, 原有库存数量 {MONEY}, "
                   "换算比率 DOUBLE PRECISION, 辅助库存结存 {MONEY}, 原有辅助数量 {MONEY}, 拼音码 VARCHAR(200))")
        .arg(table, QString::fromUtf8(kGoods));
}
} // namespace

// Column order is what "select *" readers and the list windows see; keep it.
void registerWarehouseSchema()
{
    QList<TableDef> tables;
    for (const InternalKind &k : kInternalKinds) {
        const QString lines = QString::fromUtf8(k.lines);
        tables.append({QString::fromUtf8(k.header), internalHeader(k), documentHeaderIndexes(internalDocNumbers(k.kind))});
        tables.append({lines, internalLines(k.lines), {recordIdIndex(lines)}});
    }
    tables.append({"调拨单",
                   QString("create table 调拨单 (流水号 {ID}, ID VARCHAR(50), 单据编号 VARCHAR(50), 负责人 VARCHAR(300), "
                           "调出车间 VARCHAR(400), 调入车间 VARCHAR(400), 日期 {DATE}, 摘要 TEXT, 发货员 VARCHAR(300), "
                           "收货员 VARCHAR(300), 复核员 VARCHAR(300), 金额合计 {MONEY}, 当前状态 VARCHAR(50), "
                           "时间 VARCHAR(20), %1)")
                       .arg(QString::fromUtf8(kReversal)),
                   documentHeaderIndexes(workshopTransferNumbers())});
    tables.append({"调拨明细", transferLines("调拨明细"), {recordIdIndex("调拨明细")}});
    tables.append({"货品调拨单",
                   QString("create table 货品调拨单 (流水号 {ID}, ID VARCHAR(50), 单据编号 VARCHAR(50), "
                           "负责人 VARCHAR(300), 调出仓位 VARCHAR(200), 调入仓位 VARCHAR(200), 日期 {DATE}, 摘要 TEXT, "
                           "金额合计 {MONEY}, 当前状态 VARCHAR(50), 时间 VARCHAR(20), %1)")
                       .arg(QString::fromUtf8(kReversal)),
                   documentHeaderIndexes(warehouseTransferNumbers())});
    tables.append({"货品调拨明细", transferLines("货品调拨明细"), {recordIdIndex("货品调拨明细")}});
    Schema::addTables("warehouse", 1, tables);
}

} // namespace orv
