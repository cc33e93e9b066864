#pragma once
// The lines of a document that moved stock, written into the document's own line table with
// the stock each line found and left: the goods columns, the document's record ID, then the
// table's tail (结存, 原有库存数量, 换算比率, 辅助库存结存, 原有辅助数量, 拼音码 and whatever
// columns of its own the table keeps among them, in the table's order).
//
//   DocumentLineWriter receipt(conn, "采购入库明细");            keep it for the window's life
//   DocumentLineWriter sale(conn, "销售明细", {"折扣", "折后金额", "成本价", "结存", "原有库存数量",
//                                            "换算比率", "辅助库存结存", "原有辅助数量", "拼音码"});
//   Ledger::Result r = ledger.post(posting);
//   QVector<QVariantList> rows;
//   for (i ...) rows << sale.row(docID, posting.lines[i].goods, r.moves[i], {discount, discounted, cost});
//   sale.insert(rows);                                           inside the posting's transaction
#include "ledger/stockmodel.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace orv {

class DocumentLineWriter {
public:
    // The tail of the purchase and requisition lines.
    static QStringList stockColumns();

    // `tail`: the columns after 类别, in the table's order. The six stock columns are filled from
    // the line's move; every other column takes the next of the row's extras.
    DocumentLineWriter(Connection &c, const QString &table, const QStringList &tail = stockColumns());
    ~DocumentLineWriter();

    // One line's values. 供应商 is the goods line's own; 换算比率 is the one computed for a row the
    // move created, else the line's own (NULL when it has none); 拼音码 is the row's 助记码 (empty
    // when it has none). `extras` go into the table's own columns, in tail order.
    QVariantList row(const QString &docID, const GoodsLine &goods, const StockMove &move,
                     const QVariantList &extras = {}) const;
    // Writes the rows, a statement for up to 32 of them. Needs the caller's transaction.
    void insert(const QVector<QVariantList> &rows);
    // The insert of `rows` rows (at most kRowsPerStatement), bound with the rows' values in order:
    // for a caller that sends it with other statements.
    static constexpr int kRowsPerStatement = 32;
    QString insertSql(int rows) const;

    const QString &table() const { return m_table; }

private:
    enum class Tail { StockAfter, StockBefore, Ratio, AuxAfter, AuxBefore, Mnemonic, Extra };
    Connection &m_conn;
    QString m_table;
    QStringList m_tail;
    QVector<Tail> m_kinds;
    int m_extras = 0;
    QHash<int, std::shared_ptr<Statement>> m_byRows;
};

} // namespace orv
