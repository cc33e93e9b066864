#include "stock/detailledger.h"
#include "data/dataset.h"
#include "data/dbconnection.h"

#include <QBrush>
#include <QSqlQuery>
#include <QSqlRecord>

namespace orv {

namespace {
// The grid's columns as selected, then the line's 流水号 (the second half of the order).
const char *const kSelect =
    "select 出入库单.ID, 出入库单.流水号, 出入库明细.编号, 出入库明细.名称, 出入库明细.类别, 出入库明细.规格, "
    "出入库明细.仓位, 出入库明细.单位, 出入库明细.原有库存数量, 出入库明细.数量, 出入库明细.结存, "
    "出入库单.引用单号, 出入库单.引用类别, 出入库明细.单价, 出入库明细.金额, 出入库单.制单日期, "
    "出入库单.相关单位, 出入库单.单位编号, 出入库单.是否红冲, 出入库明细.流水号 ";
const char *const kFrom = "from 出入库单 join 出入库明细 on 出入库明细.ID = 出入库单.ID where ";
constexpr int kLineKey = 19;
constexpr int kHeaderKey = 1;
constexpr int kFlag = 18;

// The values of a statement's one row (empty when it has none).
QVariantList oneRow(Connection &c, const SqlCondition &st)
{
    QSqlQuery q(c.db());
    q.prepare(st.sql);
    for (const QVariant &b : st.binds)
        q.addBindValue(b);
    c.run(q, QStringLiteral("出入库明细帐"));
    QVariantList row;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
    return row;
}

SqlCondition narrowing(const DetailQuery &q, bool postgres)
{
    return allOf({periodCondition(q.from, q.to), ledgerGoodsCondition(q.goods.item, q.goods.text, postgres),
                  q.condition});
}
} // namespace

SqlCondition detailPageStatement(const DetailQuery &q, bool postgres)
{
    // The vouchers are walked in 流水号 order between the period's first and last, from the
    // last line read: each page reads its own rows, never the period's again.
    SqlCondition st = narrowing(q, postgres);
    st.sql = QString::fromUtf8(kSelect) + QString::fromUtf8(kFrom) + st.sql
             + " and 出入库单.流水号 between ? and ? and (出入库单.流水号 > ? or 出入库明细.流水号 > ?) "
               "order by 出入库单.流水号, 出入库明细.流水号 limit ?";
    return st;
}

SqlCondition detailRangeStatement(const DetailQuery &q)
{
    SqlCondition st = periodCondition(q.from, q.to);
    st.sql = "select min(出入库单.流水号), max(出入库单.流水号) from 出入库单 where " + st.sql;
    return st;
}

SqlCondition detailTotalsStatement(const DetailQuery &q, bool postgres)
{
    SqlCondition st = narrowing(q, postgres);
    st.sql = "select sum(出入库明细.数量), sum(出入库明细.金额) " + QString::fromUtf8(kFrom) + st.sql
             + " and 出入库单.是否红冲 = false";
    return st;
}

DetailLedgerModel::DetailLedgerModel(QObject *parent) : QAbstractTableModel(parent) {}

DetailLedgerModel::~DetailLedgerModel() = default;

const QStringList &DetailLedgerModel::columnNames()
{
    static const QStringList names{"ID",       "流水号",   "编号",     "名称",     "类别",     "规格",     "仓位",
                                   "单位",     "原有库存数量", "数量", "结存",     "单据编号", "单据类别", "单价",
                                   "金额",     "制单日期", "相关单位", "单位编号", "是否红冲"};
    return names;
}

int DetailLedgerModel::column(const QString &name) { return int(columnNames().indexOf(name)); }

bool DetailLedgerModel::hiddenColumn(int c) { return c == 0 || c == kHeaderKey || c == kFlag; }

const QString &DetailLedgerModel::hint()
{
    static const QString text = QStringLiteral("红色表示已经做过红冲 累计数量不计");
    return text;
}

void DetailLedgerModel::load(Connection &c, const DetailQuery &q)
{
    const bool postgres = !c.isSqlite();
    const QVariantList sums = oneRow(c, detailTotalsStatement(q, postgres));
    QVector<QVariant> totalsRow(int(columnNames().size()));
    totalsRow[column("编号")] = QStringLiteral("合计:");
    totalsRow[column("数量")] = sums.value(0);
    totalsRow[column("金额")] = sums.value(1);

    const QVariantList range = oneRow(c, detailRangeStatement(q));
    const QPair<qint64, qint64> vouchers{range.value(0).toLongLong(), range.value(1).toLongLong()};
    const SqlCondition page = detailPageStatement(q, postgres);
    auto statement = std::make_unique<Statement>(c, page.sql);
    bool more = false;
    QVector<QVector<QVariant>> first;
    if (!range.value(0).isNull())
        first = readPage(*statement, page.binds, vouchers, nullptr, &more);
    beginResetModel();
    m_page = std::move(statement);
    m_binds = page.binds;
    m_vouchers = vouchers;
    m_more = more;
    m_totals = std::move(totalsRow);
    m_lines = std::move(first);
    endResetModel();
}

QVector<QVector<QVariant>> DetailLedgerModel::readPage(Statement &page, QVariantList binds,
                                                       QPair<qint64, qint64> vouchers, const QVector<QVariant> *after,
                                                       bool *more) const
{
    if (after)
        binds << (*after)[kHeaderKey] << vouchers.second << (*after)[kHeaderKey] << (*after)[kLineKey];
    else
        binds << vouchers.first << vouchers.second << vouchers.first - 1 << 0;
    binds << m_pageSize;
    StatementResult &query = page.exec(binds);
    QVector<QVector<QVariant>> rows;
    const int columns = kLineKey + 1;
    while (query.next()) {
        QVector<QVariant> r(columns);
        for (int col = 0; col < columns; ++col)
            r[col] = query.value(col);
        rows << r;
    }
    query.finish();
    *more = rows.size() == m_pageSize;
    return rows;
}

void DetailLedgerModel::appendPage()
{
    const QVector<QVector<QVariant>> rows =
        readPage(*m_page, m_binds, m_vouchers, m_lines.isEmpty() ? nullptr : &m_lines.last(), &m_more);
    if (rows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_lines.size()) + 1, int(m_lines.size() + rows.size()));
    m_lines += rows;
    endInsertRows();
}

void DetailLedgerModel::fetchAll()
{
    while (m_more)
        appendPage();
}

bool DetailLedgerModel::canFetchMore(const QModelIndex &parent) const { return !parent.isValid() && m_more; }

void DetailLedgerModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !m_more)
        return;
    try {
        appendPage();
    } catch (const std::exception &) {
        // The view asks while it paints: the lines read so far stay, and the failure has been
        // logged where it arose. A new query reads again.
        m_more = false;
    }
}

QString DetailLedgerModel::text(int row, int col) const
{
    if (col < 0 || col >= int(columnNames().size()) || row < 0 || row > m_lines.size())
        return QString();
    const QVariant &v = row == 0 ? m_totals[col] : m_lines[row - 1][col];
    return Field(&v, col == kFlag).asString();
}

bool DetailLedgerModel::reversed(int row) const
{
    return row > 0 && row <= m_lines.size() && flagValue(m_lines[row - 1][kFlag]);
}

int DetailLedgerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_totals.isEmpty() ? 0 : int(m_lines.size()) + 1;
}

int DetailLedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columnNames().size());
}

QVariant DetailLedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::BackgroundRole:
        return reversed(index.row()) ? QVariant(QBrush(Qt::red)) : QVariant();
    case Qt::ToolTipRole:
        return hint();
    default:
        return {};
    }
}

QVariant DetailLedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columnNames().value(section);
    return section + 1;
}

} // namespace orv
