#include "goods/codeentry.h"
#include "app/appglobals.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"

namespace orv {

bool fitFromCode(Connection &c, const QString &code, repairFit &fit, int fitPrice)
{
    DataSet q(&c);
    q.setSql("select 编号,名称,规格,单位,辅助单位,换算比率,进货价,出货价,ID,条码,仓位,供应商,类别,流水号 from 货品目录 "
             "where 条码 = ? or 编号 = ? order by 流水号");
    q.addBindValue(code);
    q.addBindValue(code);
    q.open();
    if (q.isEmpty())
        return false;
    auto text = [&](const char *f) { return q.fieldByName(QString::fromUtf8(f)).asString(); };
    const auto ratio = parseNumber(text("换算比率"));
    const QString price = text(fitPrice == 1 ? "出货价" : "进货价");
    const auto priceValue = parseNumber(price);
    fit.GoodsNo = text("编号");
    fit.GoodsName = text("名称");
    fit.Spec = text("规格");
    fit.Unit = text("单位");
    fit.AuxUnit = text("辅助单位");
    fit.Qty = QStringLiteral("1");
    fit.AuxQty = ratio && *ratio != 0 ? generalNumber(1 / *ratio) : QStringLiteral("1");
    fit.Price = priceValue ? price : QStringLiteral("0");
    fit.Amount = generalNumber(priceValue.value_or(0));
    fit.PurchasePrice = text("进货价");
    fit.GoodsID = text("ID");
    fit.GoodsRowNo = text("流水号");
    fit.Barcode = text("条码");
    fit.Place = text("仓位");
    fit.Supplier = text("供应商");
    fit.Category = text("类别");
    fit.Ratio = text("换算比率");
    fit.TargetRow += 1;
    return true;
}

} // namespace orv
