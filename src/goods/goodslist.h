#pragma once
// The goods list's rows: the goods rows of 货品目录 that satisfy a condition, then one totals row
// (its label in 编号, the sums of 库存 and 辅助库存, nothing else), as a table model for the list
// window. Rows below warning stock are painted red when 库存 < 警戒库存 after both are rounded to
// whole numbers (a half to the even one), so 4.6 against 5 is listed as below warning stock by
// the condition but not painted.
//
// Loading runs one statement; the sums are made while the rows are read.
#include "data/dataset.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariantList>
#include <QVector>
#include <optional>

namespace orv {

class Connection;

// A WHERE expression over 货品目录 with its bound values; empty: every row.
struct GoodsCondition {
    QString sql;
    QVariantList binds;
    bool isEmpty() const { return sql.isEmpty(); }
};

// The statement a list shows: its condition and the label of its totals row.
struct GoodsListQuery {
    GoodsCondition condition;
    QString totalsLabel = QStringLiteral("合计：");
};

inline const QString kTotalsFullWidth = QStringLiteral("合计：");
inline const QString kTotalsAscii = QStringLiteral("合计:");

// "column like ?" (case-insensitive on PostgreSQL as on SQLite) with '%text%' bound: the typed
// text keeps "_" and "%" as wildcards and is never joined into the statement.
GoodsCondition containsCondition(const QString &column, const QString &text, bool postgres);
GoodsCondition belowWarningCondition();

// The search selector of the goods list, in order.
const QStringList &goodsSearchItems();
// The condition of a search; an empty text lists every row whatever the item.
GoodsCondition goodsSearchCondition(const QString &item, const QString &text, bool postgres);

// The rounding the red rows use: to the nearest whole number, a half to the even one.
bool paintedBelowWarning(double stock, double warning);

class GoodsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GoodsListModel(QObject *parent = nullptr);

    // The grid's columns, in order: 流水号 (hidden), 编号 … 条码, ID (hidden).
    static const QStringList &columnNames();
    static QString selectSql(const GoodsCondition &c);

    // Reads the rows; throws DbError.
    void load(Connection &c, const GoodsListQuery &q);
    const GoodsListQuery &query() const { return m_query; }

    // Rows: the goods rows, then the totals row.
    int goodsRowCount() const { return int(m_map.size()); }
    bool isGoodsRow(int row) const { return row >= 0 && row < goodsRowCount(); }
    QString text(int row, int column) const;
    QString text(int row, const QString &column) const;
    qint64 rowNo(int row) const;
    int findRowNo(qint64 rowNo) const;
    bool paintedRed(int row) const;
    // The sums of the totals row ("" when the list has no goods row).
    QString stockTotal() const { return m_stockTotal; }
    QString auxStockTotal() const { return m_auxTotal; }

    // One goods row read again (a click on it); false when it is gone.
    bool refreshRow(Connection &c, int row);
    // Rows deleted from the table leave the list without a new read; the sums follow.
    void dropRows(QList<int> rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const QVariant &raw(int row, int column) const;
    void sumUp();
    DataSet m_rows;
    QVector<int> m_map;                    // list row -> dataset row
    QHash<int, QVector<QVariant>> m_fresh; // dataset rows read again since the load
    GoodsListQuery m_query;
    QString m_stockTotal, m_auxTotal;
    int m_stockCol = -1, m_auxCol = -1, m_warnCol = -1;
};

} // namespace orv
