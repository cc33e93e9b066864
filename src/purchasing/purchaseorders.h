#pragma once
// Purchase orders and their audit, without widgets: the order's save (header and lines in one
// transaction, '待审核'), the pending orders the audit lists, its field-by-field header saves,
// its line total, and the pass that turns an order into a purchase bill.
//
//   PurchaseOrders orders(conn);           keep it for the window's life
//   orders.save(header, lines)             -> the number stored (the one wanted, or the next free)
//   orders.pass(id, pass)                  -> nothing when another client passed or cancelled it
#include "ledger/ledger.h"
#include "documents/documentchecks.h"

#include <QString>
#include <QVector>
#include <optional>

namespace orv {

class DataSet;

struct OrderHeader {
    QString number;    // the number shown; taken when still free
    QString date;      // 日期, "yyyy-MM-dd" (checked before)
    QString manager;   // 负责人
    QString supplier;  // 供应商
    QString memo;      // 备注
    QString invoicer;  // 开票员
    QString applicant; // 申请人
    QString originalNo; // 原始编号
};

// The audit list's search items, as ComboBoxQuery lists them.
enum class OrderSearch { All, ByNumber, BySupplier, ByManager };

// The header fields the audit saves when the focus leaves them.
enum class OrderField { Manager, Date, Supplier, Memo };

class PurchaseOrders {
public:
    explicit PurchaseOrders(Connection &c);

    struct Saved {
        QString number, id;
    };
    // Header '待审核' with the lines' amount total, then every line (供应商 the order's), in one
    // transaction; the number is taken last. Throws DbError (nothing written).
    Saved save(const OrderHeader &header, const QVector<SavedLine> &lines);

    // The pending orders (select * of 采购订单 in state '待审核') by a search; an empty text lists all.
    void openPending(DataSet &ds, OrderSearch search, const QString &text);
    // The lines of an order as the audit lists them.
    void openLines(DataSet &ds, const QString &orderID);

    // One column of a pending order; nothing without an order. A date that is no date is
    // refused (DbError) and nothing is written.
    void saveField(const QString &orderID, OrderField field, const QString &value);
    // 金额合计 := the sum of the order's line amounts (0 without lines).
    void recomputeTotal(const QString &orderID);
    // Deletes a line of the order and sets the order's total to the lines left, together or not at
    // all (DbError).
    void deleteLine(const QString &orderID, qint64 rowNo);

    struct Pass {
        QString wantedNo; // the CG- number shown, taken when still free
        QString auditor;  // 审核人
        QString manager, supplier, memo; // the bill's 负责人, 供应商, 备注 as the window shows them
        QString today;    // 审核日期 and the bill's 日期, "yyyy-MM-dd"
    };
    // Marks the order '已审核' and writes its bill (采购单 under the order's ID, its lines copied
    // into 采购明细), all in one transaction and only while the order is '待审核'. The bill's
    // number, or nullopt when the order was no longer pending (nothing written).
    std::optional<QString> pass(const QString &orderID, const Pass &p);
    // '取消' while the order is pending; false when it was not (nothing written).
    bool cancel(qint64 rowNo);

    Ledger &ledger() { return m_ledger; }

private:
    Connection &m_conn;
    Ledger m_ledger;
    Statement m_line;
};

} // namespace orv
