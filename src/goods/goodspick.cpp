#include "goods/goodspick.h"
#include "app/appglobals.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"
#include "ledger/vouchers.h"

#include <QHash>

namespace orv {

namespace {
// In the order the list shows them after the two hidden row keys.
const QString kListColumns = QStringLiteral("select ID,流水号,编号,名称,规格,仓位,库存 from 货品目录");

QVariant money(const QString &text)
{
    // An empty price or quantity goes in as 0, as the hand-over already reads it.
    if (text.isEmpty())
        return 0.0;
    return round4(toNumber(text));
}

QVariant numberOrNull(const QString &text)
{
    const auto v = parseNumber(text);
    return v ? QVariant(round4(*v)) : QVariant(QMetaType::fromType<double>());
}
} // namespace

QString fitListSql(int fitFilter, const QString &text, bool postgres, QString *pattern)
{
    QStringList where;
    if (pattern)
        pattern->clear();
    if (!text.isEmpty()) {
        where << QStringLiteral("助记码 %1 ?").arg(postgres ? "ilike" : "like");
        if (pattern)
            *pattern = '%' + text + '%';
    }
    if (fitFilter == 2)
        where << QStringLiteral("库存 < 警戒库存");
    QString sql = kListColumns;
    if (!where.isEmpty())
        sql += " where " + where.join(" and ");
    return sql + " order by 流水号";
}

std::optional<GoodsRowTexts> readGoodsRow(Connection &c, qint64 rowNo)
{
    DataSet q(&c);
    q.setSql("select 规格,类别,出货价,供应商,辅助单位,单位,条码,进货价,仓位,换算比率,ID from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    GoodsRowTexts r;
    QString *fields[] = {&r.spec,          &r.category, &r.salePrice, &r.supplier, &r.auxUnit, &r.unit,
                         &r.barcode,       &r.purchasePrice, &r.place, &r.ratio,   &r.id};
    for (int i = 0; i < int(std::size(fields)); ++i)
        *fields[i] = q.fields(i).asString();
    return r;
}

QStringList stageLine(repairFit &fit, const PickedRow &picked, const GoodsRowTexts &row, int fitPrice)
{
    fit.GoodsRowNo = picked.rowNo;
    fit.GoodsNo = picked.goodsNo;
    fit.GoodsName = picked.name;
    fit.Spec = row.spec;
    fit.Category = row.category;
    fit.Price = row.salePrice;
    fit.Supplier = row.supplier;
    fit.AuxUnit = row.auxUnit;
    fit.Unit = row.unit;
    fit.Barcode = row.barcode;
    fit.PurchasePrice = row.purchasePrice;
    fit.Place = row.place;
    fit.RawRatio = row.ratio;
    fit.GoodsID = row.id;
    fit.Qty = QStringLiteral("1");
    fit.Stock = picked.stock;
    // 数量 in 辅助单位: 数量 / 换算比率; a ratio of 0 counts one to one; no ratio gives none.
    const auto ratio = parseNumber(fit.RawRatio);
    if (!ratio)
        fit.AuxQty.clear();
    else if (*ratio == 0)
        fit.AuxQty = fit.Qty;
    else
        fit.AuxQty = generalNumber(toNumber(fit.Qty) / *ratio);

    QString price = fitPrice == 1 ? row.salePrice : row.purchasePrice;
    if (price.isEmpty())
        price = QStringLiteral("0");
    QStringList staged(StagedColumns, QString());
    staged[SGoodsNo] = picked.goodsNo;
    staged[SName] = picked.name;
    staged[SSpec] = row.spec;
    staged[SAuxUnit] = row.auxUnit;
    staged[SUnit] = row.unit;
    staged[SAuxQty] = fit.AuxQty;
    staged[SQty] = fit.Qty;
    staged[SPrice] = price;
    staged[SAmount] = generalNumber(toNumber(price) * toNumber(fit.Qty));
    staged[SCategory] = row.category;
    staged[SSupplier] = row.supplier;
    staged[SBarcode] = row.barcode;
    staged[SID] = row.id;
    staged[SKind] = QStringLiteral("成品");
    staged[SPlace] = row.place;
    staged[SPurchasePrice] = row.purchasePrice;
    staged[SRatio] = row.ratio;
    return staged;
}

bool handOverLine(const QStringList &staged, repairFit &fit)
{
    if (staged.size() != StagedColumns || staged[SGoodsNo].isEmpty() || staged[SPrice].isEmpty()
        || staged[SAmount].isEmpty() || staged[SQty].isEmpty())
        return false;
    auto zeroIfEmpty = [](const QString &s) { return s.isEmpty() ? QStringLiteral("0") : s; };
    fit.GoodsNo = staged[SGoodsNo];
    fit.GoodsName = staged[SName];
    fit.Spec = staged[SSpec];
    fit.AuxUnit = staged[SAuxUnit];
    fit.Unit = staged[SUnit];
    fit.AuxQty = zeroIfEmpty(staged[SAuxQty]);
    fit.Qty = zeroIfEmpty(staged[SQty]);
    fit.Price = zeroIfEmpty(staged[SPrice]);
    fit.Amount = zeroIfEmpty(staged[SAmount]);
    fit.Category = staged[SCategory];
    fit.Supplier = staged[SSupplier];
    fit.Barcode = staged[SBarcode];
    fit.GoodsID = staged[SID];
    fit.Place = staged[SPlace];
    fit.PurchasePrice = staged[SPurchasePrice];
    fit.Ratio = staged[SRatio];
    fit.TargetRow += 1;
    return true;
}

QString auditDetailTable(int auditKind)
{
    switch (auditKind) {
    case 1: return QStringLiteral("采购订单明细");
    case 2: return QStringLiteral("销售订单明细");
    case 3: return QStringLiteral("采购退货明细");
    case 4: return QStringLiteral("货品报损明细");
    default: return QString();
    }
}

QString auditHeaderTable(int auditKind)
{
    switch (auditKind) {
    case 1: return QStringLiteral("采购订单");
    case 2: return QStringLiteral("销售订单");
    case 3: return QStringLiteral("采购退货单");
    case 4: return QStringLiteral("货品报损单");
    default: return QString();
    }
}

namespace {
QHash<int, AuditLinesFollowUp> &followUps()
{
    static QHash<int, AuditLinesFollowUp> registered;
    return registered;
}
} // namespace

bool auditDocumentOpen(Connection &c, int auditKind, const QString &docID)
{
    const QString table = auditHeaderTable(auditKind);
    if (table.isEmpty())
        throw DbError(QStringLiteral("未知的审核单据类别：%1").arg(auditKind));
    // Shared with other line changes, exclusive of the approval's state change; exclusive of
    // them too where the change writes the header after (two sharers would deadlock there).
    QString lock;
    if (!c.isSqlite())
        lock = followUps().contains(auditKind) ? QStringLiteral(" for update") : QStringLiteral(" for share");
    DataSet q(&c);
    q.setSql("select 当前状态 from " + table + " where ID = ?" + lock);
    q.addBindValue(docID);
    q.open();
    for (q.first(); !q.eof(); q.next())
        if (q.fields(0).asString() != QStringLiteral("待审核"))
            return false;
    return true;
}

void setAuditLinesFollowUp(int auditKind, AuditLinesFollowUp followUp) { followUps().insert(auditKind, followUp); }

void followAuditLines(Connection &c, int auditKind, const QString &docID)
{
    if (const AuditLinesFollowUp f = followUps().value(auditKind))
        f(c, docID);
}

qint64 insertAuditLine(Connection &c, int auditKind, const repairFit &fit, const QString &docID)
{
    const QString table = auditDetailTable(auditKind);
    if (table.isEmpty())
        throw DbError(QStringLiteral("未知的审核单据类别：%1").arg(auditKind));
    const bool sales = auditKind == 2;
    // Sales orders are priced at the handed-over 单价 (出货价), the others at 进货价.
    const QVariant price = money(sales ? fit.Price : fit.PurchasePrice);
    QVariantList binds{fit.GoodsNo.trimmed(), fit.GoodsName, fit.Spec, fit.Unit, price, money(fit.Qty),
                       money(fit.Amount), docID, fit.Place, numberOrNull(fit.AuxQty), fit.AuxUnit, fit.Category,
                       fit.Supplier, fit.Barcode};
    QString columns = "编号,名称,规格,单位,单价,数量,金额,ID,仓位,辅助数量,辅助单位,类别,供应商,条码";
    if (sales) {
        columns += ",折扣,折后金额";
        binds << 1.0 << money(fit.Amount);
    }
    columns += ",换算比率";
    binds << numberOrNull(fit.Ratio);
    QStringList marks;
    for (int i = 0; i < binds.size(); ++i)
        marks << "?";
    Transaction tx(c);
    if (!auditDocumentOpen(c, auditKind, docID))
        return 0;
    DataSet q(&c);
    q.setSql("insert into " + table + " (" + columns + ") values (" + marks.join(',') + ") returning 流水号");
    for (const QVariant &v : binds)
        q.addBindValue(v);
    q.open();
    const qint64 rowNo = q.fields(0).value().toLongLong();
    followAuditLines(c, auditKind, docID);
    tx.commit();
    return rowNo;
}

} // namespace orv
