#pragma once
// Posting a receipt into store, without widgets. One transaction writes all of it or nothing:
// per line the goods row raised at its moving average price (a row created where the goods
// are not kept at that place), the receipt's lines with the stock before and after, the "RK-"
// voucher, and the receipt header 采购入库单 ('已入库'); with a direct issue to a workshop also the
// stock lowered again, the requisition 车间领用 ('已审核') with its lines under the receipt's ID,
// and the "CK-" voucher. The numbers are taken last; a number another client took meanwhile
// gives way to the next free one.
//
//   ReceiptPosting posting(conn);          keep it for the window's life
//   auto r = posting.post(header, issue, savedLines(grid));
//   if (r.shortRow) -> "第n行库存不足不能进行车间领用操作", nothing written
#include "documents/documentchecks.h"
#include "ledger/ledger.h"

#include <QString>
#include <QVector>
#include <memory>

namespace orv {

struct ReceiptHeader {
    QString number;       // the CGJH- number shown
    QString date;         // 开单日期, "yyyy-MM-dd"
    QString clerk;        // 开单人 (经办人)
    QString supplier;     // 供应商 text
    QString supplierCode; // 供应商编号: the code of the window's own supplier pick or import
    QString deliverer, inspector, receiver, checker; // 送货员, 验收员, 收货员, 复核员
    QString originalNo;   // 原始编号
    QString memo;         // 备注
    double payable = 0, paid = 0, onAccount = 0; // 合计应付, 实际付款, 挂账金额
};

struct DirectIssue {
    bool on = false;
    QString number;        // the NBLY- number proposed
    QString department;    // 领用单位 / 领用部门
    QString departmentCode; // 部门编号
    QString manager;       // 部门经理
    QString picker;        // 领用员
    QString shipper;       // 发货员
};

class ReceiptPosting {
public:
    explicit ReceiptPosting(Connection &c);
    ~ReceiptPosting();

    struct Result {
        QString receiptNo, receiptID;
        QString issueNo;  // with a direct issue
        int shortRow = 0; // the grid row of the first line the direct issue could not take: nothing written
        bool ok() const { return shortRow == 0; }
    };
    // Throws DbError when the database refuses (nothing written).
    Result post(const ReceiptHeader &header, const DirectIssue &issue, const QVector<SavedLine> &lines);

    Ledger &ledger() { return m_ledger; }

private:
    struct Lines;
    Connection &m_conn;
    Ledger m_ledger;
    std::unique_ptr<Lines> m_lines;
};

} // namespace orv
