#pragma once
// The audit of sales returns, without widgets: the pending returns listed and searched, one
// header field saved at a time, the approval of the state and the amounts (the stock moved when
// the return was saved) and the cancellation, each only while the return is pending.
#include "data/dbconnection.h"
#include "documents/pendingdocuments.h"

#include <QDate>
#include <QString>

namespace orv {

class DataSet;

// The header fields the audit saves one at a time.
enum class SalesReturnField { Partner, Contact, Phone, Address, Memo, Auditor, AuditDate, Receivable, Paid, OnAccount };

class SalesReturnsAudit {
public:
    explicit SalesReturnsAudit(Connection &c) : m_conn(c) {}

    // The pending returns, newest first, with every column of 销售退货单.
    void openPending(DataSet &ds, const PendingSearch &search);
    // A return's lines: ID, 流水号, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 折扣, 折后金额, 仓位,
    // 供应商, 类别, 辅助数量, 辅助单位, 结存, 原有库存数量, 换算比率.
    void openLines(DataSet &ds, const QString &returnID);

    // One header field of a pending return (a date as "yyyy-MM-dd"); false (nothing written)
    // when it is not pending.
    bool saveText(const QString &returnID, SalesReturnField field, const QString &text);
    bool saveAmount(const QString &returnID, SalesReturnField field, double amount);
    // '已审核' with 实退款 and 挂账金额, while pending; false (nothing written) when it was not.
    bool approve(const QString &returnID, double paid, double onAccount);
    // '取消' while pending; false when it was not.
    bool cancel(qint64 rowNo);

private:
    Connection &m_conn;
};

} // namespace orv
