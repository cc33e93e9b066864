#pragma once
// Loss reports waiting for their audit, without widgets: the pending reports the audit lists and
// searches, a report's lines, the line changes of a pending report with its 金额合计 following
// in the same transaction (also those of the goods picker and the line editor, once constructed),
// the approval that moves each line's goods from its place into '报损仓' with an issue and a
// receipt voucher, the cancellation, and the audit's print.
//
//   LossReports reports(conn);             keep it for the window's life
//   reports.approve(id, auditor, date)     -> Approved, NotPending (nothing written) or Short
//   reports.cancel(rowNo)                  false when the report was settled meanwhile
#include "documents/documentapproval.h"
#include "documents/documentprint.h"
#include "documents/pendingdocuments.h"

#include <QDate>
#include <QString>

namespace orv {

class DataSet;

// Where the goods of an approved loss report are kept.
inline const QString kLossPlace = QStringLiteral("报损仓");

class LossReports {
public:
    explicit LossReports(Connection &c);
    ~LossReports();

    // The pending reports, newest first: ID, 单据编号, 日期, 报损部门, 开单员, 金额合计, 部门编号,
    // 复核员, 摘要, 流水号.
    void openPending(DataSet &ds, const PendingSearch &search);
    // A report's lines: ID, 流水号, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 仓位, 供应商, 类别,
    // 辅助数量, 辅助单位.
    void openLines(DataSet &ds, const QString &reportID);

    // 金额合计 := the lines' 金额 sum (0 without lines), while the report is pending. A line
    // change stores it already; this mends a total stored otherwise.
    void recomputeTotal(const QString &reportID);
    // Deletes a line of a pending report and recomputes its total, together; false (nothing
    // written) when the report is no longer pending.
    bool deleteLine(const QString &reportID, qint64 lineRowNo);

    // One transaction: the report '已审核' with its auditor and date (only while pending), every
    // line's goods out of its place (the "CK-" voucher, the line's stock columns by its 流水号),
    // into the report's '报损仓' rows, found by trimmed code and name, a missing one created (the
    // "RK-" voucher, under the report's own record ID). See DocumentApproval.
    DocumentApproval::Result approve(const QString &reportID, const QString &auditor, const QString &auditDate);
    // '取消' while the report is pending; false when it was not (nothing written).
    bool cancel(qint64 rowNo);

    // The audit's print of a stored report (tongyong.frf).
    DocumentPrint print(const QString &reportID);

    Ledger &ledger() { return m_approval.ledger(); }

private:
    Connection &m_conn;
    DocumentApproval m_approval;
};

} // namespace orv
