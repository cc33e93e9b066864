#include "documents/billpicker.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "partners/partnerrules.h"

namespace orv {

namespace {
struct ModeTables {
    const char *list;  // column list and table
    const char *state; // the listed state
    const char *lines; // line table
    const char *number, *supplier, *clerk; // search columns
};

const ModeTables &tablesOf(int mode)
{
    static const ModeTables kModes[3] = {
        {"select ID,流水号,单据编号,日期,负责人,供应商,备注,金额合计 as 合计 from 采购单", "已审核", "采购明细",
         "采购单.单据编号", "采购单.供应商", "采购单.负责人"},
        {"select ID,流水号,单据编号,开单日期 as 日期,开单人 as 负责人,供应商,备注,合计应付 as 合计 from 采购入库单", "已入库",
         "采购入库明细", "采购入库单.单据编号", "采购入库单.供应商", "采购入库单.开单人"},
        {"select ID,流水号,单据编号,日期,开单员 as 负责人,相关单位 as 供应商,摘要 as 备注,金额合计 as 合计 from 成品入库单",
         "已审核", "成品入库明细", "成品入库单.单据编号", "成品入库单.相关单位", "成品入库单.开单员"}};
    if (mode < 1 || mode > 3)
        throw DbError(QStringLiteral("未知的单据选择方式：%1").arg(mode));
    return kModes[mode - 1];
}
} // namespace

void openBills(Connection &c, DataSet &ds, int mode, BillSearch search, const QString &text)
{
    const ModeTables &t = tablesOf(mode);
    QString sql = QString::fromUtf8(t.list) + " where 当前状态 = ?";
    const char *column = nullptr;
    if (!text.isEmpty()) {
        switch (search) {
        case BillSearch::All:
            break;
        case BillSearch::ByNumber:
            column = t.number;
            break;
        case BillSearch::BySupplier:
            column = t.supplier;
            break;
        case BillSearch::ByClerk:
            column = t.clerk;
            break;
        }
    }
    if (column)
        sql += " and " + containsCondition(c, QString::fromUtf8(column));
    ds.clear();
    ds.setConnection(&c);
    ds.setSql(sql + " order by 流水号");
    ds.addBindValue(QString::fromUtf8(t.state));
    if (column)
        ds.addBindValue(containsPattern(text));
    ds.open();
}

void openBillLines(Connection &c, DataSet &ds, int mode, const QString &docID)
{
    ds.clear();
    ds.setConnection(&c);
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,仓位,辅助单位,辅助数量,条码,供应商,类别,换算比率 from " +
              QString::fromUtf8(tablesOf(mode).lines) + " where ID = ? order by 流水号");
    ds.addBindValue(docID);
    ds.open();
}

QString supplierCodeOf(Connection &c, const QString &supplierText)
{
    const int dot = supplierText.indexOf('.');
    const QString name = dot >= 0 ? supplierText.mid(dot + 1) : supplierText;
    DataSet q(&c);
    q.setSql("select ID from 往来单位 where 单位名称 = ? order by 流水号");
    q.addBindValue(name);
    q.open();
    return q.isEmpty() ? QString() : q.fields(0).asString();
}

void handOverBillLine(const DataSet &l, repairFit &fit)
{
    auto text = [&](const char *f) { return l.fieldByName(QString::fromUtf8(f)).asString(); };
    fit.GoodsNo = text("编号");
    fit.GoodsName = text("名称");
    fit.Spec = text("规格");
    fit.AuxUnit = text("辅助单位");
    fit.Unit = text("单位");
    fit.AuxQty = text("辅助数量");
    fit.Qty = text("数量");
    fit.Price = text("单价");
    fit.Amount = text("金额");
    fit.Category = text("类别");
    fit.Supplier = text("供应商");
    fit.Barcode = text("条码");
    fit.Place = text("仓位");
    fit.Ratio = text("换算比率");
    fit.GoodsID.clear();
    fit.PurchasePrice.clear();
    fit.TargetRow += 1;
}

} // namespace orv
