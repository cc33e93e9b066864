#pragma once
// The rows a list window shows: an opened dataset as a table model. Columns are the dataset's
// fields, titled with their names; texts as the data layer reads them (flags "True"/"False",
// NULL as ""). Every non-empty cell carries its text as a tooltip, so a long name cut off by
// its column can still be read.
#include "data/dataset.h"

#include <QAbstractTableModel>

namespace orv {

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(QObject *parent = nullptr);

    // Shows the rows of an opened dataset (taken over).
    void load(DataSet rows);
    // Titles shown over the columns in place of the field names (PostgreSQL reports a name such
    // as Email folded to lower case).
    void setColumnTitles(const QStringList &titles) { m_titles = titles; }
    void clearRows();
    const DataSet &rows() const { return m_rows; }

    int dataRowCount() const { return m_rows.recordCount(); }
    int fieldIndex(const QString &field) const;
    // Text of a field of a data row; empty outside the data rows.
    QString text(int row, const QString &field) const;
    QString text(int row, int column) const;
    QVariant value(int row, int column) const;
    // First data row whose field holds `value` (as text); -1 when none.
    int findRow(const QString &field, const QString &value) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DataSet m_rows;
    QStringList m_titles;
};

} // namespace orv
