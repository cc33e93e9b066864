#pragma once
// Tables of stock taking: the stock-taking bill 盘点单 (one row per posting) and its lines
// 盘点明细 (one per counted goods row), joined by ID. Call before the program or a test connects.
#include "ledger/docnumbers.h"

namespace orv {

void registerStockSchema();

// The bills' number series (the voucher of a posting numbers "PD-" in 出入库单 on its own).
inline NumberRule stockTakeNumbers() { return {"盘点单", "单据编号", "PD-"}; }

} // namespace orv
