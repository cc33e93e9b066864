#include "purchasing/partslist.h"
#include "app/appglobals.h"
#include "data/dataset.h"
#include "partners/partnerrules.h"

namespace orv {

void openParts(Connection &c, DataSet &ds, const QString &text)
{
    ds.clear();
    QString sql = "select 编号,名称,规格,所属车型,仓位,维修价,销售价,供应价,库存,单位,助记码,进货价,警戒库存 from 配件目录";
    if (!text.isEmpty()) {
        QStringList any;
        for (const char *column : {"编号", "名称", "助记码", "规格"})
            any << containsCondition(c, QString::fromUtf8(column));
        sql += " where " + any.join(" or ");
    }
    ds.setSql(sql + " order by 流水号");
    if (!text.isEmpty())
        for (int i = 0; i < 4; ++i)
            ds.addBindValue(containsPattern(text));
    ds.open();
}

void handOverPart(const PickedPart &part, int k, repairFit &fit)
{
    fit.GoodsNo = part.goodsNo;
    fit.GoodsName = part.name;
    fit.Spec = part.spec;
    fit.Unit = part.unit;
    fit.Model = part.model;
    fit.PurchasePrice = part.purchasePrice;
    fit.Qty = QStringLiteral("1");
    fit.Amount = part.purchasePrice;
    fit.TargetRow = k;
}

} // namespace orv
