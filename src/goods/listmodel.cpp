#include "goods/listmodel.h"

namespace orv {

DataSetModel::DataSetModel(QObject *parent) : QAbstractTableModel(parent) {}

void DataSetModel::load(DataSet rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void DataSetModel::clearRows()
{
    beginResetModel();
    m_rows = DataSet();
    endResetModel();
}

int DataSetModel::fieldIndex(const QString &field) const
{
    const QStringList names = m_rows.fieldNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant DataSetModel::value(int row, int column) const
{
    if (row < 0 || row >= m_rows.recordCount() || column < 0 || column >= m_rows.fieldCount())
        return {};
    return m_rows.value(row, column);
}

QString DataSetModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.recordCount() || column < 0 || column >= m_rows.fieldCount())
        return QString();
    return Field(&m_rows.value(row, column), m_rows.isFlagColumn(column)).asString();
}

QString DataSetModel::text(int row, const QString &field) const { return text(row, fieldIndex(field)); }

int DataSetModel::findRow(const QString &field, const QString &value) const
{
    const int col = fieldIndex(field);
    if (col < 0)
        return -1;
    for (int r = 0; r < m_rows.recordCount(); ++r)
        if (text(r, col) == value)
            return r;
    return -1;
}

int DataSetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows.recordCount(); }

int DataSetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows.fieldCount(); }

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role == Qt::ToolTipRole) {
        const QString t = text(index.row(), index.column());
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    return {};
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_titles.size() ? m_titles.value(section) : m_rows.fieldNames().value(section);
    return section + 1;
}

} // namespace orv
