#pragma once
// The four purchase lists, as the document list shows them: approved purchase orders, purchase
// bills, receipts into store and approved purchase returns, each with its columns, searches,
// totals, buttons, exports and print. Receipts and returns offer the red-ink reversal.
#include "documents/documentlist.h"

namespace orv {

DocumentListConfig receiptListConfig();        // 采购入库单: 采购入库单 '已入库', by 开单日期
DocumentListConfig purchaseOrderListConfig();  // 采购订货单: 采购订单 '已审核'
DocumentListConfig purchaseBillListConfig();   // 采购单: 采购单 '已审核'
DocumentListConfig purchaseReturnListConfig(); // 采购退货单: 采购退货单 '已审核'

} // namespace orv
