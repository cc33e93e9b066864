#pragma once

namespace orv {
// Registers the catalogue's tables (goods, suppliers and lookups) and the menu entries 类别目录 (N9),
// 客户地域 (N56), 仓位目录 (N57), 常见单位 (N58), 货品库存 (HelpAboutItem) and 供应商目录 (N8).
void registerGoodsWindows();
} // namespace orv
