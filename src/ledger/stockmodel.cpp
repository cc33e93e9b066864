#include "ledger/stockmodel.h"
#include "common/pinyin.h"

#include <QSqlError>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace orv {

namespace {
const char *kFind = "select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), coalesce(换算比率,0), "
                    "助记码 from 货品目录 where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1";
// What an update hands back: the row as it is after the change.
const char *kReturning = " returning 流水号, 库存, 辅助库存, coalesce(进货价,0), coalesce(换算比率,0), 助记码";
const char *kRowOf = "(select 流水号 from 货品目录 where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1)";

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }
QVariant textOrNull(const QString &s) { return s.isNull() ? nullText() : QVariant(s); }
// Empty texts compare as empty, never as NULL.
QString key(const QString &s) { return s.isNull() ? QString("") : s; }
} // namespace

StockModel::StockModel(Connection &c)
    : m_conn(c), m_find(c, kFind),
      // SQLite has no row locks: its write transaction already excludes every other writer.
      m_findLocked(c, c.isSqlite() ? QString(kFind) : QString(kFind) + " for update"),
      m_add(c, QString("update 货品目录 set 库存 = round(coalesce(库存,0) + ?, 4), "
                       "辅助库存 = round(coalesce(辅助库存,0) + ?, 4) where 流水号 = %1%2")
                   .arg(kRowOf, kReturning)),
      m_lower(c, QString("update 货品目录 set 库存 = round(coalesce(库存,0) - ?, 4), "
                         "辅助库存 = round(coalesce(辅助库存,0) - ?, 4) where 流水号 = %1 "
                         "and (? or round(coalesce(库存,0) - ?, 4) >= 0)%2")
                     .arg(kRowOf, kReturning)),
      m_receive(c, "update 货品目录 set 进货价 = ?, 库存 = round(coalesce(库存,0) + ?, 4), "
                   "辅助库存 = round(coalesce(辅助库存,0) + ?, 4), 供应商 = ? where 流水号 = ?"),
      m_counted(c, "update 货品目录 set 库存 = ?, 辅助库存 = round(cast(case when 换算比率 > 0 then ? / 换算比率 "
                   "else ? end as numeric), 4), 盘点库存 = '' where 流水号 = ?")
{
}

double StockModel::movingAverage(double stock, double price, double qty, double linePrice)
{
    stock = round4(stock);
    qty = round4(qty);
    const double base = round4(stock + qty);
    if (!(base > 0))
        return round4(price);
    if (stock < 0)
        return round4(linePrice);
    return round4((stock * price + qty * linePrice) / base);
}

double StockModel::newRowRatio(double qty, double auxQty, double lineRatio)
{
    if (auxQty != 0) {
        const double r = qty / auxQty;
        if (std::isfinite(r) && r > 0)
            return r;
    }
    if (std::isfinite(lineRatio) && lineRatio > 0)
        return lineRatio;
    return 1;
}

namespace {
GoodsRowRef rowOf(const QSqlQuery &q)
{
    GoodsRowRef r;
    r.rowNo = q.value(0).toLongLong();
    r.stock = round4(q.value(1).toDouble());
    r.auxStock = round4(q.value(2).toDouble());
    r.purchasePrice = q.value(3).toDouble();
    r.ratio = q.value(4).toDouble();
    r.mnemonic = q.value(5).toString();
    return r;
}

// A move of an existing row from the row as it is after the change.
StockMove movedFrom(const GoodsRowRef &after, double qty, double auxQty)
{
    StockMove m;
    m.status = MoveStatus::Moved;
    m.rowNo = after.rowNo;
    m.stockAfter = after.stock;
    m.auxAfter = after.auxStock;
    m.stockBefore = round4(after.stock - qty);
    m.auxBefore = round4(after.auxStock - auxQty);
    m.priceBefore = m.priceAfter = after.purchasePrice;
    m.ratio = after.ratio;
    m.mnemonic = after.mnemonic;
    return m;
}
} // namespace

std::optional<GoodsRowRef> StockModel::findRow(const QString &goodsNo, const QString &name, const QString &place,
                                               bool forUpdate)
{
    if (forUpdate)
        m_conn.requireTransaction("库存修改");
    QSqlQuery &q = (forUpdate ? m_findLocked : m_find).exec({key(goodsNo), key(name), key(place)});
    std::optional<GoodsRowRef> out;
    if (q.next())
        out = rowOf(q);
    q.finish();
    return out;
}

void StockModel::lockIdentity(const GoodsLine &l)
{
    if (m_conn.isSqlite())
        return; // the write transaction already excludes every other writer
    if (!m_identityLock)
        m_identityLock = std::make_unique<Statement>(m_conn, "select pg_advisory_xact_lock(hashtext(?))");
    m_identityLock->exec({"goods:" + key(l.goodsNo) + '\x1f' + key(l.name) + '\x1f' + key(l.place)});
}

StockMove StockModel::insertRow(const GoodsLine &l, const NewRowOptions &o)
{
    StockMove m;
    m.status = MoveStatus::Created;
    m.ratio = newRowRatio(l.qty, l.auxQty, l.ratio);
    m.stockAfter = round4(l.qty);
    m.auxAfter = round4(l.auxQty);
    m.priceAfter = round4(o.purchasePrice.value_or(l.price));
    m.mnemonic = o.withMnemonic ? ChnToPY(l.name) : QString();

    QString cols = "编号,名称,规格,单位,辅助单位,辅助库存,库存,进货价,出货价,ID,条码,仓位,供应商,类别,换算比率";
    QVariantList values = {l.goodsNo, l.name, textOrNull(l.spec), textOrNull(l.unit), textOrNull(l.auxUnit),
                           m.auxAfter, m.stockAfter, m.priceAfter, round4(o.salePrice.value_or(l.price)),
                           makeRecordID(), textOrNull(l.barcode), key(l.place), textOrNull(l.supplier),
                           textOrNull(l.category), m.ratio};
    if (o.warningStock) {
        cols += ",警戒库存";
        values << round4(*o.warningStock);
    }
    if (o.withMnemonic) {
        cols += ",助记码";
        values << m.mnemonic;
    }
    const int variant = (o.warningStock ? 1 : 0) + (o.withMnemonic ? 2 : 0);
    auto &stmt = m_inserts[variant];
    if (!stmt) {
        QString sql = "insert into 货品目录 (" + cols + ") values (?" + QString(",?").repeated(values.size() - 1) + ")";
        if (!m_conn.isSqlite())
            sql += " returning 流水号";
        stmt = std::make_unique<Statement>(m_conn, sql);
    }
    QSqlQuery &q = stmt->exec(values);
    if (m_conn.isSqlite())
        m.rowNo = q.lastInsertId().toLongLong();
    else if (q.next())
        m.rowNo = q.value(0).toLongLong();
    q.finish();
    return m;
}

StockMove StockModel::createMissing(const GoodsLine &l, const NewRowOptions &o, bool receipt)
{
    if (!o.create)
        return {};
    // Two clients may both have found no row: the second waits here, then finds the first's.
    lockIdentity(l);
    if (findRow(l.goodsNo, l.name, l.place, true))
        return change(l, o, receipt);
    return insertRow(l, o);
}

StockMove StockModel::change(const GoodsLine &l, const NewRowOptions &o, bool receipt)
{
    m_conn.requireTransaction("库存修改");
    const double qty = round4(l.qty), auxQty = round4(l.auxQty);
    if (!receipt) {
        QSqlQuery &q = m_add.exec({qty, auxQty, key(l.goodsNo), key(l.name), key(l.place)});
        if (!q.next()) {
            q.finish();
            return createMissing(l, o, receipt);
        }
        const GoodsRowRef after = rowOf(q);
        q.finish();
        return movedFrom(after, qty, auxQty);
    }
    const auto row = findRow(l.goodsNo, l.name, l.place, true);
    if (!row)
        return createMissing(l, o, receipt);
    StockMove m;
    m.status = MoveStatus::Moved;
    m.rowNo = row->rowNo;
    m.stockBefore = row->stock;
    m.auxBefore = row->auxStock;
    m.stockAfter = round4(row->stock + qty);
    m.auxAfter = round4(row->auxStock + auxQty);
    m.priceBefore = row->purchasePrice;
    m.priceAfter = movingAverage(row->stock, row->purchasePrice, qty, l.price);
    m.ratio = row->ratio;
    m.mnemonic = row->mnemonic;
    m_receive.exec({m.priceAfter, qty, auxQty, textOrNull(l.supplier), row->rowNo}).finish();
    return m;
}

StockMove StockModel::raise(const GoodsLine &line, const NewRowOptions &opts) { return change(line, opts, false); }

StockMove StockModel::receive(const GoodsLine &line, const NewRowOptions &opts) { return change(line, opts, true); }

StockMove StockModel::lower(const GoodsLine &l, bool allowNegative)
{
    m_conn.requireTransaction("库存修改");
    const double qty = round4(l.qty), auxQty = round4(l.auxQty);
    QSqlQuery &q = m_lower.exec({qty, auxQty, key(l.goodsNo), key(l.name), key(l.place), allowNegative, qty});
    if (q.next()) {
        const GoodsRowRef after = rowOf(q);
        q.finish();
        return movedFrom(after, -qty, -auxQty);
    }
    q.finish();
    // Nothing changed: tell a short row from a missing one.
    StockMove m;
    const auto row = findRow(l.goodsNo, l.name, l.place, true);
    if (!row)
        return m;
    m.status = MoveStatus::Short;
    m.rowNo = row->rowNo;
    m.stockBefore = m.stockAfter = row->stock;
    m.auxBefore = m.auxAfter = row->auxStock;
    m.priceBefore = m.priceAfter = row->purchasePrice;
    m.ratio = row->ratio;
    m.mnemonic = row->mnemonic;
    return m;
}

QVector<StockMove> StockModel::apply(const QVector<Request> &requests)
{
    // One order for every client (code, then place) so two documents never wait on each other
    // in a circle; lines of one row keep their own order.
    QVector<int> order(requests.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const GoodsLine &x = requests[a].line, &y = requests[b].line;
        if (x.goodsNo != y.goodsNo)
            return x.goodsNo < y.goodsNo;
        return x.place < y.place;
    });
    QVector<StockMove> out(requests.size());
    for (int i : order) {
        const Request &r = requests[i];
        switch (r.op) {
        case Op::Raise:
            out[i] = raise(r.line, r.opts);
            break;
        case Op::Receive:
            out[i] = receive(r.line, r.opts);
            break;
        case Op::Lower:
            out[i] = lower(r.line, r.allowNegative);
            break;
        }
    }
    return out;
}

bool StockModel::setCounted(qint64 rowNo, double counted)
{
    m_conn.requireTransaction("库存修改");
    counted = round4(counted);
    QSqlQuery &q = m_counted.exec({counted, counted, counted, rowNo});
    const bool changed = q.numRowsAffected() > 0;
    q.finish();
    return changed;
}

VoucherLine voucherLine(const GoodsLine &l, const StockMove &m, const QString &kind)
{
    VoucherLine v;
    v.goodsNo = l.goodsNo;
    v.name = l.name;
    v.spec = l.spec;
    v.unit = l.unit;
    v.price = l.price;
    v.qty = l.qty;
    v.amount = l.amount;
    v.place = l.place;
    v.auxQty = l.auxQty;
    v.auxUnit = l.auxUnit;
    v.category = l.category;
    v.supplier = l.supplier;
    v.barcode = l.barcode;
    v.stockAfter = m.stockAfter;
    v.stockBefore = m.stockBefore;
    v.kind = kind;
    v.ratio = m.status == MoveStatus::Created ? m.ratio : l.ratio;
    v.auxAfter = m.auxAfter;
    v.auxBefore = m.auxBefore;
    v.mnemonic = m.mnemonic;
    return v;
}

} // namespace orv
