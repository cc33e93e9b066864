#include "goods/goodslist.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"

#include <QBrush>
#include <QColor>
#include <QTimer>
#include <cmath>

namespace orv {

namespace {
const QStringList kColumns{"流水号", "编号", "名称", "规格", "辅助单位", "单位", "辅助库存", "库存",
                           "警戒库存", "进货价", "出货价", "供应商", "仓位", "条码", "ID"};

qint64 scaled(const QVariant &v) { return v.isNull() ? 0 : qint64(std::llround(v.toDouble() * 10000.0)); }
} // namespace

GoodsCondition containsCondition(const QString &column, const QString &text, bool postgres)
{
    return {column + (postgres ? " ilike ?" : " like ?"), {'%' + text + '%'}};
}

GoodsCondition belowWarningCondition() { return {QStringLiteral("库存 < 警戒库存"), {}}; }

const QStringList &goodsSearchItems()
{
    static const QStringList items{"按照货品拼音首字母查询", "按照编号查询",     "按照名称查询",
                                   "按照规格查询",           "按照仓位查询",     "按照条码查询",
                                   "低于警戒库存查询",       "按照备注查询",     "显示全部"};
    return items;
}

GoodsCondition goodsSearchCondition(const QString &item, const QString &text, bool postgres)
{
    static const QHash<QString, QString> columns{{"按照货品拼音首字母查询", "助记码"}, {"按照编号查询", "编号"},
                                                 {"按照名称查询", "名称"},           {"按照规格查询", "规格"},
                                                 {"按照仓位查询", "仓位"},           {"按照条码查询", "条码"},
                                                 {"按照备注查询", "备注"}};
    if (text.isEmpty())
        return {};
    if (item == QStringLiteral("低于警戒库存查询"))
        return belowWarningCondition();
    const QString column = columns.value(item);
    if (column.isEmpty())
        return {};
    return containsCondition(column, text, postgres);
}

bool paintedBelowWarning(double stock, double warning)
{
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    return std::nearbyint(stock) < std::nearbyint(warning);
}

GoodsListModel::GoodsListModel(QObject *parent) : QAbstractTableModel(parent) {}

const QStringList &GoodsListModel::columnNames() { return kColumns; }

QString GoodsListModel::selectSql(const GoodsCondition &c)
{
    QString sql = "select " + kColumns.join(',') + " from 货品目录";
    if (!c.isEmpty())
        sql += " where " + c.sql;
    return sql + " order by 流水号";
}

void GoodsListModel::load(Connection &c, const GoodsListQuery &q)
{
    DataSet rows(&c);
    rows.setSql(selectSql(q.condition));
    for (const QVariant &b : q.condition.binds)
        rows.addBindValue(b);
    rows.open();
    beginResetModel();
    // Releasing the rows shown before (a hundred thousand of them, say) waits until the new
    // ones are on screen: the next turn of the event loop, or the model's end.
    auto previous = std::make_shared<DataSet>(std::move(m_rows));
    QTimer::singleShot(0, this, [previous] {});
    m_rows = std::move(rows);
    m_query = q;
    m_fresh.clear();
    m_map.resize(m_rows.recordCount());
    for (int i = 0; i < m_map.size(); ++i)
        m_map[i] = i;
    m_stockCol = int(kColumns.indexOf("库存"));
    m_auxCol = int(kColumns.indexOf("辅助库存"));
    m_warnCol = int(kColumns.indexOf("警戒库存"));
    sumUp();
    endResetModel();
}

void GoodsListModel::sumUp()
{
    if (m_map.isEmpty()) {
        m_stockTotal.clear();
        m_auxTotal.clear();
        return;
    }
    // Sums of exact four-decimal values, so the totals row adds up as the stored values do.
    qint64 stock = 0, aux = 0;
    for (int r = 0; r < m_map.size(); ++r) {
        stock += scaled(raw(r, m_stockCol));
        aux += scaled(raw(r, m_auxCol));
    }
    m_stockTotal = generalNumber(double(stock) / 10000.0);
    m_auxTotal = generalNumber(double(aux) / 10000.0);
}

const QVariant &GoodsListModel::raw(int row, int column) const
{
    const int source = m_map[row];
    const auto fresh = m_fresh.constFind(source);
    if (fresh != m_fresh.cend())
        return (*fresh)[column];
    return m_rows.value(source, column);
}

QString GoodsListModel::text(int row, int column) const
{
    if (column < 0 || column >= kColumns.size())
        return QString();
    if (row == goodsRowCount()) {
        if (column == 1)
            return m_query.totalsLabel;
        if (column == m_stockCol)
            return m_stockTotal;
        if (column == m_auxCol)
            return m_auxTotal;
        return QString();
    }
    if (!isGoodsRow(row))
        return QString();
    return Field(&raw(row, column), false).asString();
}

QString GoodsListModel::text(int row, const QString &column) const { return text(row, int(kColumns.indexOf(column))); }

qint64 GoodsListModel::rowNo(int row) const { return isGoodsRow(row) ? raw(row, 0).toLongLong() : 0; }

int GoodsListModel::findRowNo(qint64 rowNo) const
{
    for (int r = 0; r < goodsRowCount(); ++r)
        if (raw(r, 0).toLongLong() == rowNo)
            return r;
    return -1;
}

bool GoodsListModel::paintedRed(int row) const
{
    if (!isGoodsRow(row))
        return false;
    return paintedBelowWarning(raw(row, m_stockCol).toDouble(), raw(row, m_warnCol).toDouble());
}

bool GoodsListModel::refreshRow(Connection &c, int row)
{
    if (!isGoodsRow(row))
        return false;
    DataSet q(&c);
    q.setSql("select " + kColumns.join(',') + " from 货品目录 where 流水号 = ?");
    q.addBindValue(rowNo(row));
    q.open();
    if (q.isEmpty())
        return false;
    QVector<QVariant> values(kColumns.size());
    for (int col = 0; col < kColumns.size(); ++col)
        values[col] = q.value(0, col);
    m_fresh.insert(m_map[row], values);
    sumUp();
    emit dataChanged(index(row, 0), index(row, int(kColumns.size()) - 1));
    emit dataChanged(index(goodsRowCount(), 0), index(goodsRowCount(), int(kColumns.size()) - 1));
    return true;
}

void GoodsListModel::dropRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows) {
        if (!isGoodsRow(r))
            continue;
        beginRemoveRows(QModelIndex(), r, r);
        m_map.remove(r);
        endRemoveRows();
    }
    sumUp();
    emit dataChanged(index(goodsRowCount(), 0), index(goodsRowCount(), int(kColumns.size()) - 1));
}

int GoodsListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : goodsRowCount() + 1; }

int GoodsListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(kColumns.size()); }

QVariant GoodsListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::ToolTipRole: {
        const QString t = text(index.row(), index.column());
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case Qt::BackgroundRole:
        if (paintedRed(index.row()))
            return QBrush(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant GoodsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return kColumns.value(section);
    return section + 1;
}

} // namespace orv
