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
// or, with the document's own lines and numbered header written by the posting itself (on
// PostgreSQL the goods rows, both line sets and both headers then go as one statement):
//   Ledger::Result r = ledger.post(posting, {&lineWriter, rowsOf, &headerInsert, values, shownNo});
//   r.documentNo                         the number the header was given
#include "ledger/docnumbers.h"
#include "ledger/documentlines.h"
#include "ledger/stockmodel.h"
#include "ledger/vouchers.h"

#include <QHash>
#include <functional>
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
        QString documentNo; // post() with a Document that has a header: the number it was given
        bool ok() const { return failedLine < 0; }
    };
    // A document saved with its voucher: its own lines, worked out from the moves (in line order),
    // and its numbered header, whose number names the voucher (引用单号; the posting's refNo is the
    // number shown, kept when the header is the caller's own).
    struct Document {
        DocumentLineWriter *lines = nullptr; // none: the document has no lines of its own
        std::function<QVector<QVariantList>(const QVector<StockMove> &moves)> rows;
        NumberedInsert *header = nullptr;    // none: the caller numbers its header itself
        QVariantList headerValues;           // in header->columns() order
        QString shownNo;                     // the number the window showed
    };

    // Moves the stock of every line (rows touched in the fixed order: code, place, name). When
    // every line moved it writes the voucher lines and, last, the numbered voucher header.
    // When a line is short or missing nothing of the voucher is written and the caller rolls
    // back. Needs the caller's transaction.
    Result post(const Posting &p);
    // The same with the document's lines and header (both written only when every line moved).
    Result post(const Posting &p, const Document &doc);

    // Whether every lowering line could be taken from stock now, without moving anything:
    // the index of the first short or missing line, or -1. Inside a transaction the rows stay
    // locked (taken in the fixed order, as post() takes them) until it ends.
    int firstShortLine(const QVector<Line> &lines);

private:
    void writeTogether(int kind, const VoucherHeader &header, const QString &id, const QVector<VoucherLine> &lines,
                       const StockModel::RowWrites &rows, const Document &doc, const QVector<QVariantList> &docRows,
                       Result &r);
    Connection &m_conn;
    StockModel m_stock;
    VoucherWriter m_vouchers;
    QHash<QString, std::shared_ptr<DocNumbers>> m_numbers;
    // by kind, rows, voucher lines, document lines, document line writer, document header
    std::map<std::tuple<int, int, int, int, const void *, const void *>, std::unique_ptr<Statement>> m_together;
};

} // namespace orv
