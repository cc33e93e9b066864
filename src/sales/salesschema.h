#pragma once
// Tables of sales: sales orders, sales bills and sales returns, each a header with one row per
// document and a line table joined by ID, and the quotations 报价单 and 报价明细 that the
// quotation picker reads. Call before the program or a test connects.
#include "ledger/docnumbers.h"

namespace orv {

void registerSalesSchema();

// The number series of the sales documents (the sales bill window in its three modes; the
// order approval numbers 销售单 from the same series as the direct sale). Inline, so that a
// window of another subsystem can number a sales document without linking this library.
inline NumberRule salesOrderNumbers() { return {"销售订单", "单据编号", "XSDD-"}; }
inline NumberRule salesBillNumbers() { return {"销售单", "单据编号", "XSCK-"}; }
inline NumberRule salesReturnNumbers() { return {"销售退货单", "单据编号", "XSTH-"}; }

} // namespace orv
