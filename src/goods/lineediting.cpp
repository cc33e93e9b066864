#include "goods/lineediting.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodspick.h"
#include "ledger/vouchers.h"

namespace orv::lineediting {

namespace {
QString times(const QString &a, const QString &b) { return generalNumber(toNumber(a) * toNumber(b)); }

void discountFollows(LineValues &v)
{
    if (!v.discount.isEmpty())
        v.discounted = times(v.discount, v.amount);
}
} // namespace

LineValues afterQty(LineValues v, const std::optional<QString> &ratio)
{
    if (!ratio)
        return v;
    if (v.qty.isEmpty()) {
        v.auxQty = QStringLiteral("0");
    } else {
        const double r = toNumber(*ratio);
        v.auxQty = r == 0 ? v.qty : generalNumber(toNumber(v.qty) / r);
        v.amount = times(v.qty, v.price);
    }
    discountFollows(v);
    return v;
}

LineValues afterAuxQty(LineValues v, const std::optional<QString> &ratio)
{
    if (!ratio)
        return v;
    if (v.auxQty.isEmpty()) {
        v.qty = QStringLiteral("0");
    } else {
        const double r = toNumber(*ratio);
        v.qty = r == 0 ? v.auxQty : generalNumber(toNumber(v.auxQty) * r);
    }
    v.amount = times(v.qty, v.price);
    discountFollows(v);
    return v;
}

LineValues afterPrice(LineValues v)
{
    if (!v.qty.isEmpty() && !v.price.isEmpty()) {
        v.amount = times(v.qty, v.price);
        discountFollows(v);
    }
    return v;
}

LineValues enterAmount(LineValues v)
{
    if (!v.qty.isEmpty() && !v.price.isEmpty())
        v.amount = times(v.qty, v.price);
    return v;
}

LineValues afterDiscount(LineValues v)
{
    if (!v.amount.isEmpty())
        v.discounted = times(v.discount, v.amount);
    return v;
}

LineValues forGridSave(LineValues v, bool withDiscount)
{
    v.amount = times(v.qty, v.price);
    if (withDiscount) {
        if (v.discount.isEmpty())
            v.discount = QStringLiteral("1");
        v.discounted = times(v.discount, v.amount);
    }
    return v;
}

std::optional<QString> ratioOf(Connection &c, const QString &goodsNo, const QString &name, const QString &place)
{
    DataSet q(&c);
    q.setSql("select 换算比率 from 货品目录 where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1");
    q.addBindValue(goodsNo);
    q.addBindValue(name);
    q.addBindValue(place);
    q.open();
    if (q.isEmpty() || q.fields(0).isNull())
        return std::nullopt;
    return q.fields(0).asString();
}

std::optional<DetailRow> readDetailRow(Connection &c, int auditKind, qint64 rowNo)
{
    const QString table = auditDetailTable(auditKind);
    if (table.isEmpty())
        return std::nullopt;
    DataSet q(&c);
    q.setSql("select * from " + table + " where 流水号 = ?");
    q.addBindValue(rowNo);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    auto text = [&q](const char *f) { return q.fieldExists(f) ? q.fieldByName(f).asString() : QString(); };
    DetailRow r;
    r.goodsNo = text("编号");
    r.name = text("名称");
    r.spec = text("规格");
    r.unit = text("单位");
    r.auxUnit = text("辅助单位");
    r.barcode = text("条码");
    r.place = text("仓位");
    r.supplier = text("供应商");
    r.category = text("类别");
    r.ratio = text("换算比率");
    r.values.price = text("单价");
    r.values.qty = text("数量");
    r.values.auxQty = text("辅助数量");
    r.values.amount = text("金额");
    if (auditKind == 2) {
        r.values.discount = text("折扣");
        r.values.discounted = text("折后金额");
    }
    return r;
}

bool updateDetailRow(Connection &c, int auditKind, qint64 rowNo, const LineValues &v)
{
    const QString table = auditDetailTable(auditKind);
    if (table.isEmpty())
        throw DbError(QStringLiteral("未知的审核单据类别：%1").arg(auditKind));
    // Every value is a number as typed (金额 as shown); an empty one is no number.
    QVariantList binds{round4(toNumber(v.price)), round4(toNumber(v.qty)), round4(toNumber(v.amount)),
                       round4(toNumber(v.auxQty))};
    QString sql = "update " + table + " set 单价 = ?, 数量 = ?, 金额 = ?, 辅助数量 = ?";
    if (auditKind == 2) {
        sql += ", 折后金额 = ?, 折扣 = ?";
        binds << round4(toNumber(v.discounted)) << round4(toNumber(v.discount));
    }
    sql += " where 流水号 = ?";
    binds << rowNo;
    const QString gone = QStringLiteral("该明细行已被其他用户删除，修改未保存");
    Transaction tx(c);
    DataSet line(&c);
    line.setSql("select ID from " + table + " where 流水号 = ?");
    line.addBindValue(rowNo);
    line.open();
    if (line.isEmpty())
        throw DbError(gone);
    if (!auditDocumentOpen(c, auditKind, line.fields(0).asString()))
        return false;
    DataSet q(&c);
    q.setSql(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (q.execSQL() == 0)
        throw DbError(gone);
    followAuditLines(c, auditKind, line.fields(0).asString());
    tx.commit();
    return true;
}

} // namespace orv::lineediting
