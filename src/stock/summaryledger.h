#pragma once
// The in/out summary ledger's rows: per goods item (编号, 名称, 仓位, listed with its 规格 and
// 单位) of the unreversed vouchers dated in a period, the stock before the period (原有库存数量
// of its first line by 流水号), the quantity and amount received (lines '入库' or '相同' of
// vouchers '入库' or '盘点') and issued (the same with '出库'), and the stock at the end (结存 of
// its last line); then the totals row "合计:". Empty figures read "0"; numbers are written in the
// general number format, the totals summed row by row as the rows shown.
//
// One statement computes every row. A goods item listed with two 规格 or 单位 gives two rows with
// the same figures, which the totals add twice. A composed condition narrows the goods listed
// and their receipts and issues, never the balances before and after.
#include "stock/ledgerfilter.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace orv {

class Connection;

struct SummaryQuery {
    QDate from, to;
    LedgerGoods goods;      // the top strip's goods text
    SqlCondition condition; // the filter dialog's conditions
};

// The statement, with its binds in order.
SqlCondition summaryStatement(const SummaryQuery &q, bool postgres);

class SummaryLedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { No, Name, Spec, Unit, Place, Before, QtyIn, AmountIn, QtyOut, AmountOut, After, ColumnCount };
    explicit SummaryLedgerModel(QObject *parent = nullptr);

    // Reads the rows; throws DbError (the rows shown stay).
    void compute(Connection &c, const SummaryQuery &q);

    static const QStringList &columnTitles();   // 编号 … 数量 as the grid heads its columns
    static const QStringList &exportHeaders();  // 编号 … 期末结存
    static const QString &totalsLabel();        // "合计:" between blanks

    int goodsRowCount() const { return int(m_rows.size()); }
    // Goods rows, then the totals row.
    QString text(int row, int column) const;
    QStringList rowTexts(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<QStringList> m_rows;
    QStringList m_totals;
};

} // namespace orv
