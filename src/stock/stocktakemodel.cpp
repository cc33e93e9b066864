#include "stock/stocktakemodel.h"
#include "data/dataset.h"
#include "stock/stocktaking.h"

namespace orv {

StockTakeModel::StockTakeModel(QObject *parent) : DataSetModel(parent) {}

void StockTakeModel::load(Connection &c, const SqlCondition &where)
{
    DataSet rows(&c);
    rows.setSql(takeListSql(where));
    for (const QVariant &b : where.binds)
        rows.addBindValue(b);
    rows.open();
    m_stored.clear();
    DataSetModel::load(std::move(rows));
}

const QStringList &StockTakeModel::exportColumns()
{
    static const QStringList columns{"编号", "名称", "规格", "仓位", "单位", "库存", "实盘数量", "进货价"};
    return columns;
}

int StockTakeModel::countColumn() const { return fieldIndex(QStringLiteral("实盘数量")); }

qint64 StockTakeModel::rowNo(int row) const { return text(row, QStringLiteral("流水号")).toLongLong(); }

QString StockTakeModel::count(int row) const
{
    const auto stored = m_stored.constFind(row);
    return stored != m_stored.cend() ? *stored : text(row, countColumn());
}

Qt::ItemFlags StockTakeModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = DataSetModel::flags(index);
    if (index.isValid() && index.column() == countColumn())
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant StockTakeModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && index.column() == countColumn() && (role == Qt::DisplayRole || role == Qt::EditRole))
        return count(index.row());
    return DataSetModel::data(index, role);
}

bool StockTakeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != countColumn() || role != Qt::EditRole)
        return false;
    const QString typed = value.toString().trimmed();
    if (typed == count(index.row()))
        return true;
    if (!m_store || !m_store(rowNo(index.row()), typed))
        return false;
    m_stored[index.row()] = typed;
    emit dataChanged(index, index);
    return true;
}

} // namespace orv
