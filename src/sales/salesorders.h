#pragma once
// Sales orders after their entry, without widgets: the pending orders the audit lists and
// searches, their header fields and lines changed only while the order is pending, the
// cancellation, and the approval that turns an order into a sales bill: its goods out of stock
// with a "CK-" voucher, the bill "XSCK-" numbered from the direct sale's series under the order's
// record ID, all in one transaction.
//
//   SalesOrders orders(conn);                 keep it for the window's life
//   orders.saveText(id, SalesOrderField::Buyer, text)       false: no longer pending, nothing written
//   orders.approve(id, {partner..., remark, onAccount}) -> Approved, NotPending or Short
#include "documents/documentapproval.h"
#include "documents/pendingdocuments.h"

#include <QDate>
#include <QString>
#include <memory>

namespace orv {

class DataSet;
class DocumentLineWriter;

// The header fields the audit saves one at a time.
enum class SalesOrderField { Buyer, Contact, Phone, Address, Memo, Receivable, Received, OnAccount };

class SalesOrders {
public:
    explicit SalesOrders(Connection &c);
    ~SalesOrders();

    // The pending orders, newest first, with the audit grid's columns: ID, 单据编号, 日期, 购买单位,
    // 经办人, 联系电话, 应收款, 实收款, 挂账金额, 单位编号, 联系人, 地址, 客户折扣, 开票员, 送货员,
    // 发货员, 复核员, 销售单位, 传真, 销售单位编号, 备注, 流水号.
    void openPending(DataSet &ds, const PendingSearch &search);
    // An order's lines: ID, 流水号, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 折扣, 折后金额, 仓位,
    // 供应商, 类别, 辅助数量, 辅助单位, 换算比率.
    void openLines(DataSet &ds, const QString &orderID);

    // One header field of a pending order; false (nothing written) when it is not pending.
    bool saveText(const QString &orderID, SalesOrderField field, const QString &text);
    bool saveAmount(const QString &orderID, SalesOrderField field, double amount);
    // 应收款 = 实收款 := the lines' 折后金额 sum, 挂账金额 := 0, while the order is pending.
    void recomputeTotals(const QString &orderID);
    // A line of a pending order deleted and its totals recomputed, together; false (nothing
    // written) when the order is no longer pending.
    bool deleteLine(const QString &orderID, qint64 lineRowNo);
    // '取消' while the order is pending; false when it was not (nothing written).
    bool cancel(qint64 rowNo);

    struct Approval {
        // The partner as the audit took it when the order was selected: 购买单位, 单位编号, 联系人,
        // 联系电话, 销售单位 (the voucher's 相关单位 .. 相关部门).
        QString partner, partnerCode, contact, phone, department;
        QString remark;       // the voucher's 单据备注
        double onAccount = 0; // the order's and the bill's 挂账金额
    };
    struct Approved {
        DocumentApproval::Result result;
        QString billNumber; // Approved: the XSCK- number the bill was given
    };
    // The goods out of stock (lines whose row holds stock), the voucher (金额 the lines' 金额),
    // 销售明细 under the order's ID with the stock each line found and left, the order '已审核'
    // with its 挂账金额, and 销售单 dated today under the order's ID; see DocumentApproval.
    Approved approve(const QString &orderID, const Approval &a);

    Ledger &ledger() { return m_approval.ledger(); }

private:
    Connection &m_conn;
    DocumentApproval m_approval;
    std::unique_ptr<DocumentLineWriter> m_billLines;
};

} // namespace orv
