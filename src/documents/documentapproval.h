#pragma once
// The approval of a pending document that takes goods out of stock (a purchase return, a sales
// order, a loss report), without widgets. One transaction does all of it or nothing:
//   1. the state change: 当前状态 '待审核' -> '已审核' with the caller's columns, only while the
//      document is pending (another client's approval or cancellation leaves nothing to do);
//   2. every goods row the lines name, locked at once in the fixed order (编号, 仓位, 名称), found
//      by trimmed code, name and place, an empty place matching a NULL or empty one;
//   3. the check: the document's quantity of a code and name over all its lines, whatever their
//      place, against the stock of each line's own row (0 when it has none); the first line in
//      line order short of it refuses the whole approval with a message naming the goods;
//   4. the lines taken out of their rows in line order, lines of one row one after the other; a
//      line whose row holds no stock at its turn (or has no row) is passed over;
//   5. the "CK-" voucher: the caller's header, one voucher line ('出库') per line taken;
//   6. per line taken: its stock columns written back by 流水号 (on request), then the caller's
//      own action; 7. the caller's closing writes. Then the commit.
//
//   DocumentApproval approval(conn);        keep it for the window's life
//   DocumentApproval::Request r;
//   r.headerTable = "采购退货单"; r.lineTable = "采购退货明细"; r.docID = id;
//   r.stateWrites = {{"审核人", auditor}, {"审核日期", date}};
//   r.voucher = {...};                     引用单号, 引用ID, reason, dates, partner ...
//   r.writeBackStock = true;
//   r.eachTaken = [&](const ApprovalLine &l, const StockMove &m) { ... };   optional
//   r.closing = [&](const DocumentApproval::Result &res) { ... };           optional
//   const auto res = approval.approve(r);
//   switch (res.status) { Approved: success message; NotPending: reload; Short: res.message }
// Throws DbError when the database refuses (nothing written). The two callbacks run inside the
// transaction; an exception from them rolls everything back and reaches the caller.
#include "ledger/ledger.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

namespace orv {

// A line of the pending document as stored: texts untrimmed, an empty 辅助数量, 单价 or 金额 as 0,
// an empty 换算比率 as NaN (its voucher line stores NULL).
struct ApprovalLine {
    qint64 rowNo = 0;    // 流水号 of the line
    GoodsLine goods;     // 供应商 is the line's own
    QVariantList extras; // the request's extraColumns, in order
};

class DocumentApproval {
public:
    explicit DocumentApproval(Connection &c);
    ~DocumentApproval();

    Ledger &ledger() { return m_ledger; }

    enum class Status {
        Approved,   // committed
        NotPending, // the document was no longer '待审核' (or does not exist): nothing written
        Short,      // a line's goods are short: nothing written, `message` says which
    };
    struct Result {
        Status status = Status::NotPending;
        QString message;    // Short: "货品编号:"+编号+"名称:"+名称+"库存不足,操作被取消"
        int shortLine = -1; // Short: the line (index into lines)
        VoucherRef voucher; // Approved, and inside closing
        QVector<ApprovalLine> lines;
        QVector<StockMove> moves; // per line: Moved, or Short / Missing for a line passed over
        bool taken(int line) const { return moves[line].status == MoveStatus::Moved; }
    };

    struct Request {
        QString headerTable, lineTable, docID;
        // Columns the state change sets besides 当前状态 (names are the caller's, never typed).
        QList<QPair<QString, QVariant>> stateWrites;
        // Further columns of each line to read into ApprovalLine::extras.
        QStringList extraColumns;
        // The voucher's header as the caller wants it; its number is made here.
        VoucherHeader voucher;
        QString voucherID; // empty: a new record ID
        // Each taken line's 结存, 原有库存数量, 辅助库存结存, 原有辅助数量 := its move, 拼音码 := the
        // row's 助记码, by the line's 流水号.
        bool writeBackStock = false;
        std::function<void(const ApprovalLine &, const StockMove &)> eachTaken;
        std::function<void(const Result &)> closing;
    };

    Result approve(const Request &request);
    // The cancellation of a pending document: 当前状态 := '取消' by the header's 流水号, only while
    // it is '待审核'; false when it was not (nothing written).
    static bool cancel(Connection &c, const QString &headerTable, qint64 rowNo);

    static QString shortageMessage(const GoodsLine &line);

private:
    QVector<ApprovalLine> readLines(const Request &r);
    Connection &m_conn;
    Ledger m_ledger;
};

} // namespace orv
