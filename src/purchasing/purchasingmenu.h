#pragma once
// Purchasing's tables and menu entries (采购订货, 采购审核, 验收入库).
namespace orv {

void registerPurchasingWindows();

} // namespace orv
