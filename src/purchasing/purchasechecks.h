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

} // namespace orv
