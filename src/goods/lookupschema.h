#pragma once

namespace orv {
// Registers 类别目录, 单位, 仓位目录 and 客户地域.
void registerGoodsLookupSchema();
} // namespace orv
