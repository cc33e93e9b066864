#pragma once
// The checks of the purchase order and receipt windows before they write anything, in the
// order the operator is told: the lines' cells, the supplier or amounts, then every number
// and the date.
#include "documents/documentchecks.h"

namespace orv {

// The order window: the five line checks over every grid row (the first one's text depends on
// the print box), the supplier, then the numbers of the saved lines and the date.
std::optional<CheckFailure> checkOrder(const GoodsLineGrid &grid, bool printTicked, const QString &supplier,
                                       const QString &date);

// The receipt window's amount fields.
struct ReceiptAmounts {
    QString payable, paid, onAccount; // 合计应付, 实际付款, 挂账金额
};

// The receipt window: "请输入货品", the five line checks, the two amount fields, then the
// numbers of the saved lines, the three amounts and the date.
std::optional<CheckFailure> checkReceipt(const GoodsLineGrid &grid, const ReceiptAmounts &amounts,
                                         const QString &date);

// The return window's header and amount fields.
struct ReturnFields {
    QString supplier, receivable, received, onAccount, date; // 供应商, 合计应收, 实际收款, 挂账金额, 制单日期
};

// The return window, in its order: "请输入货品" and the five line checks; then the header
// (the supplier, whose message depends on the print box, and the two amounts: after any of these
// the print box is unticked); then the numbers of the saved lines, the three amounts and the date.
std::optional<CheckFailure> checkReturnLines(const GoodsLineGrid &grid);
std::optional<CheckFailure> checkReturnHeader(const ReturnFields &f, bool printTicked);
std::optional<CheckFailure> checkReturnNumbers(const GoodsLineGrid &grid, const ReturnFields &f);

} // namespace orv
