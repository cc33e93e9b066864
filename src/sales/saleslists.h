#pragma once
// The sales lists as the document list shows them, and the prints of stored sales documents:
// approved sales orders (deleted with their lines), every sales bill, approved sales returns
// (both deleted header only, both reversible), each with its columns, searches, totals,
// exports and print.
#include "documents/documentlist.h"

namespace orv {

DocumentListConfig salesOrderListConfig();  // 销售订单: 销售订单 '已审核'
DocumentListConfig salesBillListConfig();   // 销售单: every 销售单
DocumentListConfig salesReturnListConfig(); // 销售退货单: 销售退货单 '已审核'

// tongyong1 "货品销售订单" / "货品销售单" of a stored order or bill, by record ID: 主项头2 shown,
// 折后金额 and 折扣 in the line slots, the lines' 折后金额 summed.
DocumentPrint salesOrderPrint(Connection &c, const QString &orderID);
DocumentPrint salesBillPrint(Connection &c, const QString &billID);
// tongyong2 "销售退货单" of a stored return.
DocumentPrint salesReturnPrint(Connection &c, const QString &returnID);

} // namespace orv
