#pragma once
// Stock taking's and the ledgers' tables and menu entries (出入库汇总帐, 出入库明细帐, 货品盘点, 货品盘点单),
// and the goods list's 调价.
namespace orv {

void registerStockWindows();

} // namespace orv
