#include "goods/stockmodel.h"
#include "app/docnumbers.h"
#include "common/pinyin.h"

#include <QSqlError>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace orv {

namespace {
void prepare(QSqlQuery &q, const QString &sql)
{
    if (!q.prepare(sql))
        throw DbError(q.lastError().text().toStdString());
}

void run(QSqlQuery &q)
{
    if (!q.exec())
        throw DbError(q.lastError().text().toStdString());
}

const char *kFind = "select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), coalesce(换算比率,0), "
                    "助记码 from 货品目录 where 编号 = ? and 名称 = ? and 仓位 = ? order by 流水号 limit 1";

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }
QVariant textOrNull(const QString &s) { return s.isNull() ? nullText() : QVariant(s); }
} // namespace

StockModel::StockModel(Connection &c)
    : m_conn(c), m_find(c.db()), m_findLocked(c.db()), m_add(c.db()), m_receive(c.db()), m_counted(c.db())
{
    prepare(m_find, kFind);
    // SQLite has no row locks: its write transaction already excludes every other writer.
    prepare(m_findLocked, c.isSqlite() ? QString(kFind) : QString(kFind) + " for update");
    prepare(m_add, "update 货品目录 set 库存 = coalesce(库存,0) + ?, 辅助库存 = coalesce(辅助库存,0) + ? "
                   "where 流水号 = ?");
    prepare(m_receive, "update 货品目录 set 进货价 = ?, 库存 = coalesce(库存,0) + ?, "
                       "辅助库存 = coalesce(辅助库存,0) + ?, 供应商 = ? where 流水号 = ?");
    prepare(m_counted, "update 货品目录 set 库存 = ?, 辅助库存 = case when 换算比率 > 0 then ? / 换算比率 else ? end, "
                       "盘点库存 = '' where 流水号 = ?");
}

double StockModel::movingAverage(double stock, double price, double qty, double linePrice)
{
    const double base = stock + qty;
    if (!(base > 0))
        return price;
    if (stock < 0)
        return linePrice;
    return (stock * price + qty * linePrice) / base;
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

std::optional<GoodsRowRef> StockModel::findRow(const QString &goodsNo, const QString &name, const QString &place,
                                               bool forUpdate)
{
    QSqlQuery &q = forUpdate ? m_findLocked : m_find;
    // Empty texts compare as empty, never as NULL.
    q.addBindValue(goodsNo.isNull() ? QString("") : goodsNo);
    q.addBindValue(name.isNull() ? QString("") : name);
    q.addBindValue(place.isNull() ? QString("") : place);
    run(q);
    std::optional<GoodsRowRef> out;
    if (q.next()) {
        GoodsRowRef r;
        r.rowNo = q.value(0).toLongLong();
        r.stock = q.value(1).toDouble();
        r.auxStock = q.value(2).toDouble();
        r.purchasePrice = q.value(3).toDouble();
        r.ratio = q.value(4).toDouble();
        r.mnemonic = q.value(5).toString();
        out = r;
    }
    q.finish();
    return out;
}

StockMove StockModel::insertRow(const GoodsLine &l, const NewRowOptions &o)
{
    StockMove m;
    m.status = MoveStatus::Created;
    m.ratio = newRowRatio(l.qty, l.auxQty, l.ratio);
    m.stockAfter = l.qty;
    m.auxAfter = l.auxQty;
    m.priceAfter = o.purchasePrice.value_or(l.price);
    m.mnemonic = o.withMnemonic ? ChnToPY(l.name) : QString();

    QString cols = "编号,名称,规格,单位,辅助单位,辅助库存,库存,进货价,出货价,ID,条码,仓位,供应商,类别,换算比率";
    QVariantList values = {l.goodsNo, l.name, textOrNull(l.spec), textOrNull(l.unit), textOrNull(l.auxUnit),
                           l.auxQty, l.qty, m.priceAfter, o.salePrice.value_or(l.price), makeRecordID(),
                           textOrNull(l.barcode), l.place.isNull() ? QString("") : l.place,
                           textOrNull(l.supplier), textOrNull(l.category), m.ratio};
    if (o.warningStock) {
        cols += ",警戒库存";
        values << *o.warningStock;
    }
    if (o.withMnemonic) {
        cols += ",助记码";
        values << m.mnemonic;
    }
    QString sql = "insert into 货品目录 (" + cols + ") values (?" + QString(",?").repeated(values.size() - 1) + ")";
    if (!m_conn.isSqlite())
        sql += " returning 流水号";
    const int variant = (o.warningStock ? 1 : 0) + (o.withMnemonic ? 2 : 0);
    if (!m_inserts[variant]) {
        m_inserts[variant].emplace(m_conn.db());
        prepare(*m_inserts[variant], sql);
    }
    QSqlQuery &q = *m_inserts[variant];
    for (const auto &v : values)
        q.addBindValue(v);
    run(q);
    if (m_conn.isSqlite())
        m.rowNo = q.lastInsertId().toLongLong();
    else if (q.next())
        m.rowNo = q.value(0).toLongLong();
    q.finish();
    return m;
}

StockMove StockModel::change(const GoodsLine &l, const NewRowOptions &o, bool receipt)
{
    const auto row = findRow(l.goodsNo, l.name, l.place, true);
    if (!row) {
        if (!o.create)
            return {};
        return insertRow(l, o);
    }
    StockMove m;
    m.status = MoveStatus::Moved;
    m.rowNo = row->rowNo;
    m.stockBefore = row->stock;
    m.auxBefore = row->auxStock;
    m.stockAfter = row->stock + l.qty;
    m.auxAfter = row->auxStock + l.auxQty;
    m.priceBefore = m.priceAfter = row->purchasePrice;
    m.ratio = row->ratio;
    m.mnemonic = row->mnemonic;
    if (receipt) {
        m.priceAfter = movingAverage(row->stock, row->purchasePrice, l.qty, l.price);
        m_receive.addBindValue(m.priceAfter);
        m_receive.addBindValue(l.qty);
        m_receive.addBindValue(l.auxQty);
        m_receive.addBindValue(textOrNull(l.supplier));
        m_receive.addBindValue(row->rowNo);
        run(m_receive);
    } else {
        m_add.addBindValue(l.qty);
        m_add.addBindValue(l.auxQty);
        m_add.addBindValue(row->rowNo);
        run(m_add);
    }
    return m;
}

StockMove StockModel::raise(const GoodsLine &line, const NewRowOptions &opts) { return change(line, opts, false); }

StockMove StockModel::receive(const GoodsLine &line, const NewRowOptions &opts) { return change(line, opts, true); }

StockMove StockModel::lower(const GoodsLine &l, bool allowNegative)
{
    const auto row = findRow(l.goodsNo, l.name, l.place, true);
    StockMove m;
    if (!row)
        return m;
    m.rowNo = row->rowNo;
    m.stockBefore = m.stockAfter = row->stock;
    m.auxBefore = m.auxAfter = row->auxStock;
    m.priceBefore = m.priceAfter = row->purchasePrice;
    m.ratio = row->ratio;
    m.mnemonic = row->mnemonic;
    if (!allowNegative && row->stock - l.qty < 0) {
        m.status = MoveStatus::Short;
        return m;
    }
    m.status = MoveStatus::Moved;
    m.stockAfter = row->stock - l.qty;
    m.auxAfter = row->auxStock - l.auxQty;
    m_add.addBindValue(-l.qty);
    m_add.addBindValue(-l.auxQty);
    m_add.addBindValue(row->rowNo);
    run(m_add);
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
    m_counted.addBindValue(counted);
    m_counted.addBindValue(counted);
    m_counted.addBindValue(counted);
    m_counted.addBindValue(rowNo);
    run(m_counted);
    return m_counted.numRowsAffected() > 0;
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
