#pragma once
// The one face through which document windows post: numbers, record IDs, stock rows and the
// stock-movement voucher of a save, all inside the caller's transaction.
//
//   Ledger ledger(conn);                 keep it for the life of a window
//   Transaction tx(conn);
//   ... write the document's own lines ...
//   Ledger::Result r = ledger.post({VoucherIn, header, lines});
//   if (!r.ok()) -> name line r.failedLine to the operator; tx rolls back on leaving scope
//   ... number the document's header last: ledger.numbers(rule).insertNumbered(...) ...
//   tx.commit();
#include "ledger/docnumbers.h"
#include "ledger/stockmodel.h"
#include "ledger/vouchers.h"

#include <QHash>
#include <map>
#include <memory>
#include <tuple>

namespace orv {

class Ledger {
public:
    explicit Ledger(Connection &c);
    ~Ledger();

    Connection &connection() const { return m_conn; }
    StockModel &stock() { return m_stock; }
    VoucherWriter &vouchers() { return m_vouchers; }
    // The number allocator of one rule, kept (with its prepared statements) for the window's life.
    DocNumbers &numbers(const NumberRule &rule);

    struct Line {
        StockModel::Op op = StockModel::Op::Raise;
        GoodsLine goods;
        NewRowOptions opts = {};
        bool allowNegative = false;
        QString kind; // 类型 of the voucher line; empty: "出库" for a lowering, else "入库"
    };
    struct Posting {
        int kind = VoucherIn; // VoucherIn, VoucherOut or VoucherCount
        VoucherHeader header;
        QVector<Line> lines;
    };
    struct Result {
        VoucherRef voucher;
        QVector<StockMove> moves; // in line order
        int failedLine = -1;      // the first line (in line order) that could not move
        MoveStatus failure = MoveStatus::Moved;
        bool ok() const { return failedLine < 0; }
    };

    // Moves the stock of every line (rows touched in the fixed order: code, place, name). When
    // every line moved it writes the voucher lines and, last, the numbered voucher header.
    // When a line is short or missing nothing of the voucher is written and the caller rolls
    // back. Needs the caller's transaction.
    Result post(const Posting &p);

    // Whether every lowering line could be taken from stock now, without moving anything:
    // the index of the first short or missing line, or -1. Inside a transaction the rows stay
    // locked (taken in the fixed order, as post() takes them) until it ends.
    int firstShortLine(const QVector<Line> &lines);

private:
    VoucherRef writeTogether(int kind, const VoucherHeader &header, const QString &id,
                             const QVector<VoucherLine> &lines, const StockModel::RowWrites &rows);
    Connection &m_conn;
    StockModel m_stock;
    VoucherWriter m_vouchers;
    QHash<QString, std::shared_ptr<DocNumbers>> m_numbers;
    std::map<std::tuple<int, int, int>, std::unique_ptr<Statement>> m_together; // by kind, rows, lines
};

} // namespace orv
