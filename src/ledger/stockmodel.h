#pragma once
// The stock model of 货品目录: one row per goods item and storage place carries the stock.
//
// Public API:
//   StockModel m(conn);           keep it for the life of a window: statements stay prepared
//     m.findRow(no, name, place)  the row of an item at a place (exact match, first by 流水号)
//     m.lockedRows(lines)         the row of each line as findRow, locked in the fixed order
//     m.lockedRowsTrimmed(lines)  the same by the approvals' rule: trimmed texts, an empty place
//                                 matching NULL or ''
//     m.lowerLocked(takes)        库存/辅助库存 -= quantities of rows found and locked, by 流水号;
//                                 a row without stock is passed over
//     m.raise(line, opts)         库存/辅助库存 += quantities; a missing row is created (opts)
//     m.receive(line, opts)       receipt into store: moving average 进货价, 供应商 := line.supplier,
//                                 then raised like raise()
//     m.lower(line, allowNegative) 库存/辅助库存 -= quantities; Short when 库存 would go below 0,
//                                 Missing when the item has no row at the place
//     m.apply(requests)           a document's lines: rows touched in the fixed order
//                                 (编号, 仓位, 名称, then line order), results in line order
//     m.setCounted(rowNo, qty)    stock taking: 库存 := qty, 辅助库存 := qty / 换算比率, 盘点库存 := ''
//   Pure rules: movingAverage(), newRowRatio().
//   voucherLine(line, move, kind)  the 出入库明细 values of a moved line
// Every change runs inside the caller's transaction (refused outside one), on values rounded to
// four decimals, so ten receipts of 0.1 make exactly 1. A call reads every row it moves FOR
// UPDATE in one statement (in the fixed order), works the moves out from the locked rows, and
// writes the changed rows back (on PostgreSQL in one statement as well): two round trips a
// document, and exact before/after values for the voucher lines. A missing row is created
// under a lock on the item's identity, so two clients receiving a new item at a new place end
// with one row holding both quantities.
#include "data/dbconnection.h"
#include "ledger/vouchers.h"

#include <functional>
#include <map>
#include <memory>

#include <QSqlQuery>
#include <QString>
#include <QVector>
#include <optional>

namespace orv {

// A document line as the stock model needs it (quantities in 单位 and in 辅助单位).
struct GoodsLine {
    QString goodsNo, name, spec, unit, auxUnit, barcode, place, supplier, category;
    double qty = 0;
    double auxQty = 0;
    double price = 0; // unit price of the line
    double amount = 0; // 金额 of the line (for its voucher line)
    double ratio = 0; // the line's own 换算比率; NaN when the line has none (its voucher line stores NULL)
};

// How a raise creates a missing row.
struct NewRowOptions {
    bool create = true;                    // false: report Missing instead
    bool withMnemonic = true;              // 助记码 := pinyin initials of 名称 (the red-ink reversal leaves it NULL)
    std::optional<double> warningStock;    // 警戒库存 (transfers, loss approval, return of lent goods)
    std::optional<double> purchasePrice;   // 进货价, default the line's unit price
    std::optional<double> salePrice;       // 出货价, default the line's unit price
    std::optional<QString> rowID;          // ID of the new row, default a new record ID
};

enum class MoveStatus {
    Moved,   // an existing row was changed
    Created, // a missing row was inserted with the line's quantities
    Short,   // lowering would leave 库存 below 0: nothing changed
    Missing, // no row of the item at the place: nothing changed
};

struct StockMove {
    MoveStatus status = MoveStatus::Missing;
    qint64 rowNo = 0; // 流水号 of the row
    double stockBefore = 0, stockAfter = 0;
    double auxBefore = 0, auxAfter = 0;
    double priceBefore = 0, priceAfter = 0; // 进货价
    double ratio = 0;                       // 换算比率 of the row (of a created row: the one computed)
    QString mnemonic;                       // 助记码 of the row (NULL: empty)
    bool ok() const { return status == MoveStatus::Moved || status == MoveStatus::Created; }
};

struct GoodsRowRef {
    qint64 rowNo = 0;
    double stock = 0, auxStock = 0, purchasePrice = 0, ratio = 0;
    QString mnemonic;
};

class StockModel {
public:
    explicit StockModel(Connection &c);
    ~StockModel();

    std::optional<GoodsRowRef> findRow(const QString &goodsNo, const QString &name, const QString &place,
                                       bool forUpdate = false);
    // The row of each line (as findRow finds it), in line order: read in one statement a chunk,
    // on PostgreSQL locked in the fixed order (编号, 仓位, 名称) until the caller's transaction
    // ends, so that a check before a posting never waits on another client in a circle.
    QVector<std::optional<GoodsRowRef>> lockedRows(const QVector<GoodsLine> &lines);
    // As lockedRows(), by the lookup of the approvals of pending documents: 编号, 名称 and 仓位 of
    // the line trimmed of blanks and control characters, an empty place matching a row whose place
    // is NULL or empty; of several rows the first by 流水号.
    QVector<std::optional<GoodsRowRef>> lockedRowsTrimmed(const QVector<GoodsLine> &lines);

    // A take from a row the caller found and locked (lockedRows, lockedRowsTrimmed).
    struct Take {
        GoodsRowRef row;
        double qty = 0, auxQty = 0;
    };
    // Lowers 库存 and 辅助库存 of each take's row, found by its 流水号 (so a row whose place is NULL
    // moves too); takes of one row follow each other in order, each starting where the one before
    // left. A take that finds its row without stock (库存 <= 0 at its turn) changes nothing and is
    // Short. Results in take order. Needs the caller's transaction.
    QVector<StockMove> lowerLocked(const QVector<Take> &takes);

    StockMove raise(const GoodsLine &line, const NewRowOptions &opts = {});
    StockMove receive(const GoodsLine &line, const NewRowOptions &opts = {});
    StockMove lower(const GoodsLine &line, bool allowNegative = false);

    enum class Op { Raise, Receive, Lower };
    struct Request {
        Op op = Op::Raise;
        GoodsLine line;
        NewRowOptions opts = {};
        bool allowNegative = false;
    };
    // The changed rows of an apply() whose writing its caller sends with statements of its own
    // (PostgreSQL): rows × six binds and the row numbers' array of rowWrites(rows).
    struct RowWrites {
        int rows = 0;
        QVariantList binds;
    };
    // "v(...) as (values ...)" and the update that writes its rows: with a "with " before the
    // first and the second after it, one statement.
    struct RowWritesSql {
        QString values, update;
    };
    static RowWritesSql rowWrites(int rows);
    // Every request is tried (so the caller can name the first failing line in its own
    // order); a failed one changes nothing, and the caller rolls the document back.
    // With `deferred` on PostgreSQL the changed rows (up to 32) are left to the caller.
    QVector<StockMove> apply(const QVector<Request> &requests, RowWrites *deferred = nullptr);

    // Stock taking. A 换算比率 that is not above 0 counts as 1. Returns false when no such row.
    bool setCounted(qint64 rowNo, double counted);

    // 进货价 after receiving qty at linePrice into stock at price (four decimals):
    //   stock + qty <= 0           price stays (no valued stock to average over);
    //   stock < 0 < stock + qty    linePrice (what is left came from this receipt);
    //   otherwise                  (stock × price + qty × linePrice) / (stock + qty).
    static double movingAverage(double stock, double price, double qty, double linePrice);
    // 换算比率 of a row created from a line: qty / auxQty when that is a positive number,
    // else the line's own ratio when above 0, else 1.
    static double newRowRatio(double qty, double auxQty, double lineRatio);

private:
    struct RowState;
    StockMove insertRow(const GoodsLine &line, const NewRowOptions &opts);
    void lockIdentity(const GoodsLine &line);
    void lockRows(const QVector<const GoodsLine *> &identities, std::map<QString, RowState> &rows,
                  bool emptyPlaceMatchesNull = false);
    void writeRows(const QVector<RowState *> &changed, RowWrites *deferred);
    Statement &chunkStatement(std::map<int, std::unique_ptr<Statement>> &cache, int rows,
                              const std::function<QString(int)> &sqlFor);
    Connection &m_conn;
    Statement m_find, m_findLocked, m_counted;
    std::map<int, std::unique_ptr<Statement>> m_lockRows, m_lockRowsTrimmed, m_writeRows; // by rows per statement
    std::unique_ptr<Statement> m_writeRow, m_identityLock;
    std::unique_ptr<Statement> m_inserts[4]; // by 警戒库存 and 助记码 written or not
};

// A text without its leading and trailing blanks and control characters (the approvals' lookup
// and their messages).
QString trimBlanks(const QString &s);

// The voucher line of a moved goods line: the line's own values, stock before and after,
// 助记码 of the row; 换算比率 the line's own, or for a created row the one computed.
// kind: "入库" or "出库".
VoucherLine voucherLine(const GoodsLine &line, const StockMove &move, const QString &kind);

} // namespace orv
