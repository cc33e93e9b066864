#include "stock/stocktaking.h"
#include "goods/goodslines.h"
#include "stock/stockschema.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>

namespace orv {

namespace {
const char *const kBillLineColumns = "(编号,名称,数量,单价,实盘数量,ID,盘盈盘亏,金额,盘盈亏金额,规格,仓位,单位,辅助数量)";
constexpr int kBillLineValues = 13;
constexpr int kChunk = 32;

struct CountedRow {
    qint64 rowNo = 0;
    QString goodsNo, name, spec, unit, place, count;
    double stock = 0, price = 0, ratio = 1;
};

QString localDate() { return Clock::localNow().date().toString(Qt::ISODate); }
} // namespace

// The bill's lines, written a chunk of rows per statement.
struct StockTaking::BillLines {
    explicit BillLines(Connection &c) : conn(c) {}
    void insert(const QVector<QVariantList> &rows)
    {
        for (qsizetype at = 0; at < rows.size(); at += kChunk) {
            const int n = int(qMin<qsizetype>(kChunk, rows.size() - at));
            auto &stmt = byRows[n];
            if (!stmt) {
                const QString one = "(" + QString("?,").repeated(kBillLineValues - 1) + "?)";
                stmt = std::make_unique<Statement>(conn, "insert into 盘点明细" + QString::fromUtf8(kBillLineColumns)
                                                             + " values " + QStringList(n, one).join(','));
            }
            QVariantList binds;
            binds.reserve(n * kBillLineValues);
            for (int i = 0; i < n; ++i)
                binds << rows[at + i];
            stmt->exec(binds).finish();
        }
    }
    Connection &conn;
    std::map<int, std::unique_ptr<Statement>> byRows;
};

SqlCondition takeScopeCondition(const TakeScope &scope, bool postgres)
{
    if (scope.category.isEmpty())
        return {};
    return containsLiteral(QStringLiteral("类别"), scope.category, postgres);
}

const QStringList &takeSearchItems()
{
    static const QStringList items{"显示全部",     "按照编号查询", "按照名称查询",     "按照规格查询",
                                   "按照仓位查询", "按照条码查询", "低于警戒库存查询", "按照备注查询"};
    return items;
}

SqlCondition takeSearchCondition(int item, const QString &text, bool postgres)
{
    static const char *const columns[] = {nullptr, "编号", "名称", "规格", "仓位", "条码", nullptr, "备注"};
    if (text.isEmpty() || item <= 0 || item >= int(std::size(columns)))
        return {};
    if (item == 6)
        return {QStringLiteral("库存 <= 警戒库存"), {}};
    return containsCondition(QString::fromUtf8(columns[item]), text, postgres);
}

QString takeListSql(const SqlCondition &where)
{
    return "select 流水号, 编号, 名称, 规格, 仓位, 单位, 库存, 盘点库存 as 实盘数量, 进货价 from 货品目录"
           + (where.isEmpty() ? QString() : " where " + where.sql) + " order by 流水号";
}

bool wholeCount(const QString &count)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(count.trimmed()).hasMatch();
}

StockTaking::StockTaking(Connection &c)
    : m_conn(c), m_ledger(c), m_billLines(std::make_unique<BillLines>(c)),
      m_storeCount(c, "update 货品目录 set 盘点库存 = ? where 流水号 = ?")
{
}

StockTaking::~StockTaking() = default;

QString StockTaking::badCountText(const QString &goodsNo)
{
    return QStringLiteral("货品编号为") + goodsNo + QStringLiteral("实盘数量有问题操作被取消");
}

QString StockTaking::doneText(double qty, double amount)
{
    return QStringLiteral("库存盘点完毕盈亏数量为:") + generalNumber(qty) + QStringLiteral("盈亏金额为")
           + generalNumber(amount);
}

void StockTaking::storeCount(qint64 rowNo, const QString &count)
{
    m_storeCount.exec({count.trimmed(), rowNo}).finish();
}

int StockTaking::clearCounts(const TakeScope &scope)
{
    const SqlCondition where = takeScopeCondition(scope, !m_conn.isSqlite());
    Transaction tx(m_conn);
    QSqlQuery q(m_conn.db());
    q.prepare("update 货品目录 set 盘点库存 = ''" + (where.isEmpty() ? QString() : " where " + where.sql));
    for (const QVariant &b : where.binds)
        q.addBindValue(b);
    m_conn.run(q, QStringLiteral("盘点初始化"));
    const int rows = q.numRowsAffected();
    tx.commit();
    return rows;
}

TakeCheck StockTaking::check(const TakeScope &scope)
{
    const SqlCondition where = allOf({{QStringLiteral("盘点库存 <> ''"), {}}, takeScopeCondition(scope, !m_conn.isSqlite())});
    QSqlQuery q(m_conn.db());
    q.setForwardOnly(true);
    q.prepare("select 编号, 盘点库存 from 货品目录 where " + where.sql + " order by 流水号");
    for (const QVariant &b : where.binds)
        q.addBindValue(b);
    m_conn.run(q, QStringLiteral("盘点"));
    TakeCheck c;
    while (q.next()) {
        ++c.counted;
        if (!c.bad && !wholeCount(q.value(1).toString())) {
            c.bad = true;
            c.badGoodsNo = q.value(0).toString();
        }
    }
    return c;
}

TakeResult StockTaking::post(const TakeScope &scope, const QString &clerk)
{
    TakeResult r;
    const SqlCondition where = allOf({{QStringLiteral("盘点库存 <> ''"), {}}, takeScopeCondition(scope, !m_conn.isSqlite())});
    Transaction tx(m_conn);

    // The counted rows, once, locked in the fixed order; then posted in 流水号 order.
    QSqlQuery q(m_conn.db());
    q.setForwardOnly(true);
    q.prepare("select 流水号, 编号, 名称, 规格, 单位, 仓位, 盘点库存, 库存, 进货价, 换算比率 from 货品目录 where "
              + where.sql + " order by 编号, 仓位, 名称, 流水号" + (m_conn.isSqlite() ? "" : " for update"));
    for (const QVariant &b : where.binds)
        q.addBindValue(b);
    m_conn.run(q, QStringLiteral("盘点"));
    QVector<CountedRow> rows;
    while (q.next()) {
        CountedRow row;
        row.rowNo = q.value(0).toLongLong();
        row.goodsNo = q.value(1).toString();
        row.name = q.value(2).toString();
        row.spec = q.value(3).toString();
        row.unit = q.value(4).toString();
        row.place = q.value(5).toString();
        row.count = q.value(6).toString().trimmed();
        row.stock = q.value(7).toDouble();
        row.price = q.value(8).toDouble();
        const double ratio = q.value(9).toDouble();
        row.ratio = ratio > 0 ? ratio : 1;
        rows << row;
    }
    q.finish();
    std::sort(rows.begin(), rows.end(), [](const CountedRow &a, const CountedRow &b) { return a.rowNo < b.rowNo; });
    if (rows.isEmpty())
        return r; // another client posted them meanwhile: nothing to do
    for (const CountedRow &row : rows) {
        if (!wholeCount(row.count)) {
            r.status = TakeResult::BadCount;
            r.badGoodsNo = row.goodsNo;
            return r;
        }
    }

    r.billID = makeRecordID();
    r.voucherID = makeRecordID();
    const QString today = localDate();
    QVector<QVariantList> billLines;
    QVector<VoucherLine> voucherLines;
    billLines.reserve(rows.size());
    voucherLines.reserve(rows.size());
    for (const CountedRow &row : rows) {
        const double counted = row.count.toDouble();
        const double diff = round4(counted - row.stock);
        const double diffAmount = round4(diff * row.price);
        const double auxBefore = round4(row.stock / row.ratio);
        m_ledger.stock().setCounted(row.rowNo, counted);
        r.qty += diff;
        r.amount += diffAmount;
        billLines << QVariantList{row.goodsNo,  row.name,   row.stock, row.price, counted,   r.billID, diff,
                                  round4(row.stock * row.price), diffAmount, row.spec, row.place, row.unit,
                                  auxBefore};
        VoucherLine v;
        v.goodsNo = row.goodsNo;
        v.name = row.name;
        v.spec = row.spec;
        v.unit = row.unit;
        v.price = row.price;
        v.qty = diff;
        v.amount = diffAmount;
        v.place = row.place;
        v.auxQty = auxBefore;
        v.auxUnit = v.category = v.supplier = v.barcode = QStringLiteral("");
        v.stockAfter = counted;
        v.stockBefore = row.stock;
        v.kind = diff > 0 ? QStringLiteral("入库") : diff < 0 ? QStringLiteral("出库") : QStringLiteral("相同");
        voucherLines << v;
    }
    m_billLines->insert(billLines);
    m_ledger.vouchers().writeLines(r.voucherID, voucherLines);

    r.qty = round4(r.qty);
    r.amount = round4(r.amount);
    const QString time = Clock::localNow().time().toString(QStringLiteral("hh:mm:ss"));
    r.billNo = m_ledger.numbers(stockTakeNumbers()).insertNumbered([&](const QString &no) {
        m_conn.exec("insert into 盘点单(单据编号,日期,负责人,盈亏金额,盈亏数量,ID,时间) values (?,?,?,?,?,?,?)",
                    {no, today, clerk, r.amount, r.qty, r.billID, time});
    });
    VoucherHeader h;
    h.refNo = r.billNo;
    h.refID = r.billID;
    h.reason = h.category = QStringLiteral("盘点");
    h.date = h.auditDate = today;
    h.maker = clerk;
    h.remark = h.auditor = h.contact = h.phone = QStringLiteral("");
    h.partner = h.partnerCode = QStringLiteral("公司内部");
    r.voucherNo = m_ledger.vouchers().writeHeader(VoucherCount, h, r.voucherID).number;
    tx.commit();
    r.status = TakeResult::Posted;
    r.rows = int(rows.size());
    return r;
}

} // namespace orv
