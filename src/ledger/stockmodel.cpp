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

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }
QVariant textOrNull(const QString &s) { return s.isNull() ? nullText() : QVariant(s); }
// Empty texts compare as empty, never as NULL.
QString key(const QString &s) { return s.isNull() ? QString("") : s; }
} // namespace

StockModel::StockModel(Connection &c)
    : m_conn(c), m_find(c, kFind),
      // SQLite has no row locks: its write transaction already excludes every other writer.
      m_findLocked(c, c.isSqlite() ? QString(kFind) : QString(kFind) + " for update"),
      m_counted(c, "update 货品目录 set 库存 = ?, 辅助库存 = round(cast(case when 换算比率 > 0 then ? / 换算比率 "
                   "else ? end as numeric), 4), 盘点库存 = '' where 流水号 = ?")
{
}

StockModel::~StockModel() = default;

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
GoodsRowRef rowOf(const StatementResult &q)
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

// The fixed order of rows: code, place, name, compared as the database's "C" collation does
// (UTF-8 bytes), so the rows a call locks in one statement come in the order it sorts them.
int compareKeys(const QString &a, const QString &b) { return key(a).toUtf8().compare(key(b).toUtf8()); }
bool before(const GoodsLine &x, const GoodsLine &y)
{
    if (const int c = compareKeys(x.goodsNo, y.goodsNo))
        return c < 0;
    if (const int c = compareKeys(x.place, y.place))
        return c < 0;
    return compareKeys(x.name, y.name) < 0;
}
QString identity(const GoodsLine &l) { return key(l.goodsNo) + '\x1f' + key(l.name) + '\x1f' + key(l.place); }

// The items of some lines, each once, in the fixed order; `order` the line indexes in that
// order (lines of one item keep their own order).
QVector<const GoodsLine *> fixedOrder(const QVector<const GoodsLine *> &lines, QVector<int> &order)
{
    order.resize(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return before(*lines[a], *lines[b]); });
    QVector<const GoodsLine *> identities;
    for (int i : order)
        if (identities.isEmpty() || before(*identities.last(), *lines[i]))
            identities << lines[i];
    return identities;
}

// Statements a call builds with room for `rows` rows, in chunks of at most kChunk.
constexpr int kChunk = 32;
} // namespace

// A row as a call has read and changed it so far.
struct StockModel::RowState {
    explicit RowState(const GoodsRowRef &r) : row(r) {}
    GoodsRowRef row;
    double addStock = 0, addAux = 0; // what the call moved, written back at its end
    bool changed = false;
    bool received = false; // 进货价 and 供应商 are written back too
    QVariant supplier;
};

std::optional<GoodsRowRef> StockModel::findRow(const QString &goodsNo, const QString &name, const QString &place,
                                               bool forUpdate)
{
    if (forUpdate)
        m_conn.requireTransaction("库存修改");
    StatementResult &q = (forUpdate ? m_findLocked : m_find).exec({key(goodsNo), key(name), key(place)});
    std::optional<GoodsRowRef> out;
    if (q.next())
        out = rowOf(q);
    q.finish();
    return out;
}

QVector<std::optional<GoodsRowRef>> StockModel::lockedRows(const QVector<GoodsLine> &lines)
{
    QVector<const GoodsLine *> all;
    all.reserve(lines.size());
    for (const GoodsLine &l : lines)
        all << &l;
    QVector<int> order;
    std::map<QString, RowState> rows;
    lockRows(fixedOrder(all, order), rows);
    QVector<std::optional<GoodsRowRef>> out(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        if (const auto it = rows.find(identity(lines[i])); it != rows.end())
            out[i] = it->second.row;
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
                           o.rowID ? *o.rowID : makeRecordID(), textOrNull(l.barcode), key(l.place), textOrNull(l.supplier),
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
    StatementResult &q = stmt->exec(values);
    if (m_conn.isSqlite())
        m.rowNo = q.lastInsertId().toLongLong();
    else if (q.next())
        m.rowNo = q.value(0).toLongLong();
    q.finish();
    return m;
}

StockMove StockModel::raise(const GoodsLine &line, const NewRowOptions &opts)
{
    return apply({{Op::Raise, line, opts, false}}).first();
}

StockMove StockModel::receive(const GoodsLine &line, const NewRowOptions &opts)
{
    return apply({{Op::Receive, line, opts, false}}).first();
}

StockMove StockModel::lower(const GoodsLine &line, bool allowNegative)
{
    return apply({{Op::Lower, line, {}, allowNegative}}).first();
}

Statement &StockModel::chunkStatement(std::map<int, std::unique_ptr<Statement>> &cache, int rows,
                                      const std::function<QString(int)> &sqlFor)
{
    auto &stmt = cache[rows];
    if (!stmt)
        stmt = std::make_unique<Statement>(m_conn, sqlFor(rows));
    return *stmt;
}

void StockModel::lockRows(const QVector<const GoodsLine *> &identities, std::map<QString, RowState> &rows,
                          bool emptyPlaceMatchesNull)
{
    // Every row of the call is read and locked by one statement a chunk, in the fixed order:
    // two calls never wait on each other in a circle. A NULL place sorts as the empty one, so the
    // order is one whichever lookup a call makes.
    const QString place = emptyPlaceMatchesNull ? QStringLiteral("coalesce(仓位,'')") : QStringLiteral("仓位");
    for (qsizetype start = 0; start < identities.size(); start += kChunk) {
        const int n = int(qMin<qsizetype>(kChunk, identities.size() - start));
        Statement &stmt = chunkStatement(emptyPlaceMatchesNull ? m_lockRowsTrimmed : m_lockRows, n, [&](int count) {
            QStringList match;
            for (int i = 0; i < count; ++i)
                match << "(编号 = ? and 名称 = ? and " + place + " = ?)";
            QString sql = "select 流水号, coalesce(库存,0), coalesce(辅助库存,0), coalesce(进货价,0), "
                          "coalesce(换算比率,0), 助记码, 编号, 名称, " +
                          place + " from 货品目录 where " + match.join(" or ");
            if (!m_conn.isSqlite())
                sql += " order by 编号 collate \"C\", " + place + " collate \"C\", 名称 collate \"C\", 流水号 for update";
            return sql;
        });
        QVariantList binds;
        binds.reserve(3 * n);
        for (int i = 0; i < n; ++i) {
            const GoodsLine &l = *identities[start + i];
            binds << key(l.goodsNo) << key(l.name) << key(l.place);
        }
        StatementResult &q = stmt.exec(binds);
        while (q.next()) {
            const QString id = q.value(6).toString() + '\x1f' + q.value(7).toString() + '\x1f' + q.value(8).toString();
            const GoodsRowRef r = rowOf(q);
            auto it = rows.find(id);
            // Of several rows of one item at one place the first (by 流水号) carries the stock.
            if (it == rows.end() || r.rowNo < it->second.row.rowNo)
                rows.insert_or_assign(id, RowState(r));
        }
        q.finish();
    }
}

QVector<std::optional<GoodsRowRef>> StockModel::lockedRowsTrimmed(const QVector<GoodsLine> &lines)
{
    QVector<GoodsLine> trimmed;
    trimmed.reserve(lines.size());
    for (const GoodsLine &l : lines) {
        GoodsLine t;
        t.goodsNo = trimBlanks(l.goodsNo);
        t.name = trimBlanks(l.name);
        t.place = trimBlanks(l.place);
        trimmed << t;
    }
    QVector<const GoodsLine *> all;
    all.reserve(trimmed.size());
    for (const GoodsLine &l : trimmed)
        all << &l;
    QVector<int> order;
    std::map<QString, RowState> rows;
    lockRows(fixedOrder(all, order), rows, true);
    QVector<std::optional<GoodsRowRef>> out(trimmed.size());
    for (int i = 0; i < trimmed.size(); ++i)
        if (const auto it = rows.find(identity(trimmed[i])); it != rows.end())
            out[i] = it->second.row;
    return out;
}

QVector<StockMove> StockModel::lowerLocked(const QVector<Take> &takes)
{
    m_conn.requireTransaction("库存修改");
    std::map<qint64, RowState> rows; // node-based: the changed list points into it
    QVector<RowState *> changed;
    QVector<StockMove> out(takes.size());
    for (int i = 0; i < takes.size(); ++i) {
        const Take &t = takes[i];
        RowState &s = rows.try_emplace(t.row.rowNo, t.row).first->second;
        StockMove &m = out[i];
        m.rowNo = s.row.rowNo;
        m.stockBefore = m.stockAfter = s.row.stock;
        m.auxBefore = m.auxAfter = s.row.auxStock;
        m.priceBefore = m.priceAfter = s.row.purchasePrice;
        m.ratio = s.row.ratio;
        m.mnemonic = s.row.mnemonic;
        if (!(s.row.stock > 0)) {
            m.status = MoveStatus::Short;
            continue;
        }
        const double qty = round4(t.qty), auxQty = round4(t.auxQty);
        s.row.stock = round4(s.row.stock - qty);
        s.row.auxStock = round4(s.row.auxStock - auxQty);
        s.addStock -= qty;
        s.addAux -= auxQty;
        m.status = MoveStatus::Moved;
        m.stockAfter = s.row.stock;
        m.auxAfter = s.row.auxStock;
        if (!s.changed) {
            s.changed = true;
            changed << &s;
        }
    }
    writeRows(changed, nullptr);
    return out;
}

StockModel::RowWritesSql StockModel::rowWrites(int rows)
{
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << "(cast(? as bigint), cast(? as numeric), cast(? as numeric), cast(? as integer), "
                  "cast(? as numeric), cast(? as varchar(1300)))";
    return {"v(r, dq, da, received, price, supplier) as (values " + values.join(",") + ")",
            "update 货品目录 set 库存 = round(coalesce(库存,0) + v.dq, 4), "
            "辅助库存 = round(coalesce(辅助库存,0) + v.da, 4), "
            "进货价 = case when v.received = 1 then v.price else 进货价 end, "
            "供应商 = case when v.received = 1 then v.supplier else 供应商 end "
            // The row numbers again as one array: the planner reaches the few rows by the key
            // index then, where a join on the values alone may read the whole table.
            "from v where 货品目录.流水号 = v.r and 货品目录.流水号 = any(cast(? as bigint[]))"};
}

void StockModel::writeRows(const QVector<RowState *> &changed, RowWrites *deferred)
{
    const auto bindsOf = [](const RowState &s) {
        return QVariantList{s.row.rowNo, round4(s.addStock), round4(s.addAux), s.received ? 1 : 0, s.row.purchasePrice,
                            s.received ? s.supplier : nullText()};
    };
    if (m_conn.isSqlite()) {
        // In-process, a statement a row costs nothing; the joined form would build a temporary
        // table (and its page cache) on every call.
        if (!m_writeRow)
            m_writeRow = std::make_unique<Statement>(
                m_conn, "update 货品目录 set 库存 = round(coalesce(库存,0) + ?, 4), "
                        "辅助库存 = round(coalesce(辅助库存,0) + ?, 4), "
                        "进货价 = case when ? = 1 then ? else 进货价 end, "
                        "供应商 = case when ? = 1 then ? else 供应商 end where 流水号 = ?");
        for (const RowState *s : changed) {
            const QVariantList b = bindsOf(*s);
            m_writeRow->exec({b[1], b[2], b[3], b[4], b[3], b[5], b[0]}).finish();
        }
        return;
    }
    const auto rowNumbers = [](const QVector<RowState *> &rows, qsizetype from, qsizetype n) {
        QStringList numbers;
        for (qsizetype i = from; i < from + n; ++i)
            numbers << QString::number(rows[i]->row.rowNo);
        return QString('{' + numbers.join(',') + '}');
    };
    if (deferred && changed.size() <= kChunk) {
        deferred->rows = int(changed.size());
        for (const RowState *s : changed)
            deferred->binds << bindsOf(*s);
        if (!changed.isEmpty())
            deferred->binds << rowNumbers(changed, 0, changed.size());
        return;
    }
    for (qsizetype start = 0; start < changed.size(); start += kChunk) {
        const int n = int(qMin<qsizetype>(kChunk, changed.size() - start));
        Statement &stmt = chunkStatement(m_writeRows, n, [](int count) {
            const RowWritesSql sql = rowWrites(count);
            return "with " + sql.values + " " + sql.update;
        });
        QVariantList binds;
        binds.reserve(6 * n);
        for (int i = 0; i < n; ++i)
            binds << bindsOf(*changed[start + i]);
        binds << rowNumbers(changed, start, n);
        stmt.exec(binds).finish();
    }
}

QVector<StockMove> StockModel::apply(const QVector<Request> &requests, RowWrites *deferred)
{
    m_conn.requireTransaction("库存修改");
    // One order for every client (code, then place, then name) so two documents never wait on
    // each other in a circle; lines of one row keep their own order.
    QVector<const GoodsLine *> lines;
    lines.reserve(requests.size());
    for (const Request &r : requests)
        lines << &r.line;
    QVector<int> order;
    const QVector<const GoodsLine *> identities = fixedOrder(lines, order);
    std::map<QString, RowState> rows; // node-based: the changed list points into it
    lockRows(identities, rows);

    // The moves are worked out here from the locked rows, on values rounded to four decimals,
    // and the changed rows written back by one statement a chunk.
    QVector<StockMove> out(requests.size());
    QVector<RowState *> changed;
    for (int i : order) {
        const Request &r = requests[i];
        const GoodsLine &l = r.line;
        const QString id = identity(l);
        auto it = rows.find(id);
        if (it == rows.end()) {
            if (r.op == Op::Lower || !r.opts.create)
                continue; // Missing
            // Two clients may both have found no row: the second waits here, then finds the first's.
            lockIdentity(l);
            if (const auto row = findRow(l.goodsNo, l.name, l.place, true)) {
                it = rows.emplace(id, RowState(*row)).first;
            } else {
                const StockMove m = insertRow(l, r.opts);
                out[i] = m;
                rows.emplace(id, RowState({m.rowNo, m.stockAfter, m.auxAfter, m.priceAfter, m.ratio, m.mnemonic}));
                continue;
            }
        }
        RowState &s = it->second;
        const double qty = round4(l.qty) * (r.op == Op::Lower ? -1 : 1);
        const double auxQty = round4(l.auxQty) * (r.op == Op::Lower ? -1 : 1);
        StockMove &m = out[i];
        m.rowNo = s.row.rowNo;
        m.stockBefore = s.row.stock;
        m.auxBefore = s.row.auxStock;
        m.priceBefore = s.row.purchasePrice;
        m.ratio = s.row.ratio;
        m.mnemonic = s.row.mnemonic;
        if (r.op == Op::Lower && !r.allowNegative && round4(s.row.stock + qty) < 0) {
            m.status = MoveStatus::Short;
            m.stockAfter = m.stockBefore;
            m.auxAfter = m.auxBefore;
            m.priceAfter = m.priceBefore;
            continue;
        }
        if (r.op == Op::Receive) {
            s.row.purchasePrice = movingAverage(s.row.stock, s.row.purchasePrice, qty, l.price);
            s.received = true;
            s.supplier = textOrNull(l.supplier);
        }
        s.row.stock = round4(s.row.stock + qty);
        s.row.auxStock = round4(s.row.auxStock + auxQty);
        s.addStock += qty;
        s.addAux += auxQty;
        m.status = MoveStatus::Moved;
        m.stockAfter = s.row.stock;
        m.auxAfter = s.row.auxStock;
        m.priceAfter = s.row.purchasePrice;
        if (!s.changed) {
            s.changed = true;
            changed << &s;
        }
    }
    writeRows(changed, deferred);
    return out;
}

bool StockModel::setCounted(qint64 rowNo, double counted)
{
    m_conn.requireTransaction("库存修改");
    counted = round4(counted);
    StatementResult &q = m_counted.exec({counted, counted, counted, rowNo});
    const bool changed = q.numRowsAffected() > 0;
    q.finish();
    return changed;
}

QString trimBlanks(const QString &s)
{
    qsizetype from = 0, to = s.size();
    const auto blank = [](QChar c) { return c.unicode() <= 0x20 || c.isSpace(); };
    while (from < to && blank(s[from]))
        ++from;
    while (to > from && blank(s[to - 1]))
        --to;
    return s.mid(from, to - from);
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
    if (m.status == MoveStatus::Created)
        v.ratio = m.ratio;
    else if (std::isfinite(l.ratio))
        v.ratio = l.ratio;
    else // the document line's ratio was empty: keep it so
        v.ratio = QVariant(QMetaType::fromType<double>());
    v.auxAfter = m.auxAfter;
    v.auxBefore = m.auxBefore;
    v.mnemonic = m.mnemonic;
    return v;
}

} // namespace orv
