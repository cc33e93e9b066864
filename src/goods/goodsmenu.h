#pragma once

namespace orv {
// Registers the catalogue's tables (goods and lookups) and the menu entries 类别目录 (N9),
// 客户地域 (N56), 仓位目录 (N57) and 常见单位 (N58).
void registerGoodsWindows();
} // namespace orv
