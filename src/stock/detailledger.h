#pragma once
// The in/out detail ledger's rows: first the totals row (编号 "合计:", the sums of 数量 and 金额 over
// the lines of unreversed vouchers), then every line of every voucher dated in the period,
// reversed ones included, in posting order (the voucher's 流水号, then the line's). 单据编号 and
// 单据类别 are the source document's number and kind (引用单号, 引用类别). A goods text or a
// composed condition narrows the lines and the totals alike.
//
// The lines are read a page at a time as the grid scrolls to them (canFetchMore/fetchMore), so a
// year of vouchers opens as fast as a day's.
#include "stock/ledgerfilter.h"

#include <QAbstractTableModel>
#include <QVector>
#include <memory>

namespace orv {

class Connection;
class Statement;

struct DetailQuery {
    QDate from, to;
    LedgerGoods goods;
    SqlCondition condition;
};

// The page statement (binds: the query's, then the first and last voucher 流水号 to walk, the
// last row read (its voucher's and its own 流水号) and the page size), the totals statement, and
// the period's first and last voucher 流水号.
SqlCondition detailPageStatement(const DetailQuery &q, bool postgres);
SqlCondition detailTotalsStatement(const DetailQuery &q, bool postgres);
SqlCondition detailRangeStatement(const DetailQuery &q);

class DetailLedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DetailLedgerModel(QObject *parent = nullptr);
    ~DetailLedgerModel() override;

    // The grid's columns in order (ID, 流水号 and 是否红冲 hidden).
    static const QStringList &columnNames();
    static int column(const QString &name);
    static bool hiddenColumn(int column);
    static const QString &hint(); // what red rows mean

    // The totals and the first page; throws DbError (the rows shown stay).
    void load(Connection &c, const DetailQuery &q);
    // Reads every page not read yet (the export walks them all); throws DbError.
    void fetchAll();
    void setPageSize(int rows) { m_pageSize = rows; }

    // Row 0 is the totals row; lines from row 1.
    int lineCount() const { return int(m_lines.size()); }
    QString text(int row, int column) const;
    QString text(int row, const QString &name) const { return text(row, column(name)); }
    bool reversed(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    QVector<QVector<QVariant>> readPage(Statement &page, QVariantList binds, QPair<qint64, qint64> vouchers,
                                        const QVector<QVariant> *after, bool *more) const;
    void appendPage();
    std::unique_ptr<Statement> m_page;
    QVariantList m_binds;
    QPair<qint64, qint64> m_vouchers; // the period's first and last voucher
    QVector<QVariant> m_totals;
    QVector<QVector<QVariant>> m_lines;
    bool m_more = false;
    int m_pageSize = 500;
};

} // namespace orv
