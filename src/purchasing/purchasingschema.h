#pragma once
// Tables of purchasing: purchase orders, purchase bills, receipts into store and purchase
// returns, each a header with one row per document and a line table joined by ID, and the
// parts list 配件目录 of the batch picker. Call before the program or a test connects.
#include "ledger/docnumbers.h"

namespace orv {

void registerPurchasingSchema();

// The number series of the purchasing documents. The windows number with these rules and the
// headers carry the unique index that DocNumbers::insertNumbered() retries on. Inline, so that
// a window of another subsystem can number a purchasing document without linking this library.
inline NumberRule purchaseOrderNumbers() { return {"采购订单", "单据编号", "CGDH-"}; }
inline NumberRule purchaseBillNumbers() { return {"采购单", "单据编号", "CG-"}; }
inline NumberRule receiptNumbers() { return {"采购入库单", "单据编号", "CGJH-"}; }
inline NumberRule purchaseReturnNumbers() { return {"采购退货单", "单据编号", "CGTH-"}; }

} // namespace orv
