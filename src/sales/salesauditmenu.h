#pragma once

namespace orv {

// The menu entries of the sales audits and lists: 销售订单审核, 销售订单, 销售退货审核, 销售退货单, 销售单.
void registerSalesListWindows();

} // namespace orv
