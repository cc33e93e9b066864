#pragma once
// Tables of the goods catalogue: 货品目录 (the goods rows per storage place, which are
// at once the stock), 图片, 货品仓库 and the suppliers (往来单位). Call before the program or a test connects.
namespace orv {

void registerGoodsSchema();

} // namespace orv
