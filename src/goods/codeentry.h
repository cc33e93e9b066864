#pragma once
// Code entry of the document entry windows: a goods code or barcode typed below the grid
// becomes one goods line in G.gRepFit, as if the goods picker had handed it over.
#include <QString>

namespace orv {

class Connection;
struct repairFit;

// The first goods row (by 流水号) whose 条码 or 编号 equals `code` fills `fit`: 数量 "1",
// 辅助数量 = 1 ÷ 换算比率 ("1" when the ratio is 0 or not set), 单价 = 进货价 (fitPrice 2) or
// 出货价 (1), 金额 = 单价, and TargetRow is raised by one. False when no row has the code
// (nothing changes).
bool fitFromCode(Connection &c, const QString &code, repairFit &fit, int fitPrice = 2);

} // namespace orv
