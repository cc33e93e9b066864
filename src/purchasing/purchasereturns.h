#pragma once
// Purchase returns, without widgets: the return's save (its lines and its header '待审核' in one
// transaction, no stock moved), the pending returns the audit lists and searches, the line
// changes of a pending return with its totals following, the approval that takes the goods out
// of stock with a "CK-" voucher, and the cancellation.
//
//   PurchaseReturns returns(conn);          keep it for the window's life
//   returns.save(header, lines)             -> the number stored (the one shown, or the next free)
//   returns.approve(id, approval)           -> Approved, NotPending (nothing written) or Short
#include "documents/documentapproval.h"
#include "documents/documentchecks.h"
#include "documents/documentprint.h"
#include "documents/pendingdocuments.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <memory>

namespace orv {

class DataSet;
class DocumentLineWriter;

struct ReturnHeader {
    QString number;       // the CGTH- number shown; taken when still free
    QString date;         // 日期, "yyyy-MM-dd" (checked before)
    QString clerk;        // 经办人
    QString supplier;     // 供应商 text, also every line's 供应商
    QString supplierCode; // 供应商编号: the code of the window's own supplier pick or import
    QString shipper, checker, deliverer; // 发货员, 复核员, 送货员
    QString memo;         // 备注
    double receivable = 0, received = 0, onAccount = 0; // 合计应收, 实际收款, 挂账金额
};

class PurchaseReturns {
public:
    explicit PurchaseReturns(Connection &c);
    ~PurchaseReturns();

    struct Saved {
        QString number, id;
    };
    // The lines (供应商 the return's), then the header '待审核', 单据类别 '采购退货', numbered last;
    // all or nothing. Throws DbError.
    Saved save(const ReturnHeader &header, const QVector<SavedLine> &lines);

    // The pending returns, newest first, with the audit's columns: ID, 单据编号, 日期, 供应商, 经办人,
    // 合计应收, 供应商编号, 开票员, 负责人, 送货员, 发货员, 复核员, 备注, 流水号, 实际收款, 挂账金额.
    void openPending(DataSet &ds, const PendingSearch &search);
    // A return's lines: ID, 流水号, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 仓位, 供应商, 类别,
    // 辅助数量, 辅助单位, 换算比率.
    void openLines(DataSet &ds, const QString &returnID);

    // 合计应收 and 实际收款 := the lines' 金额 sum, 挂账金额 := 0, while the return is pending.
    void recomputeTotals(const QString &returnID);
    // Deletes a line of a pending return and recomputes its totals, together; false (nothing
    // written) when the return is no longer pending.
    bool deleteLine(const QString &returnID, qint64 lineRowNo);

    struct Approval {
        QString auditor;   // 审核人, also the voucher's 制单人
        QString auditDate; // 审核日期 and the voucher's dates, "yyyy-MM-dd"
        double received = 0, onAccount = 0; // 实际收款, 挂账金额 as the audit shows them
    };
    // The goods out of stock, the voucher, the lines' stock columns and the header '已审核',
    // together; see DocumentApproval.
    DocumentApproval::Result approve(const QString &returnID, const Approval &a);
    // '取消' while the return is pending; false when it was not (nothing written).
    bool cancel(qint64 rowNo);
    // The audit's print of a stored return (tongyong2.frf). Throws DbError.
    DocumentPrint print(const QString &returnID);

    Ledger &ledger() { return m_approval.ledger(); }

private:
    Connection &m_conn;
    DocumentApproval m_approval;
    std::unique_ptr<DocumentLineWriter> m_lines;
};

} // namespace orv
