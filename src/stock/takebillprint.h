#pragma once
// The print of a stock-taking bill through "pandian.frf": the title, the column heads, one data
// band per line of the bill (its row slots set before the band, so the lines print in the order
// written), the four totals, the person in charge, the time and the footer line (Memo25).
#include "documents/documentprint.h"

namespace orv {

class Connection;

// 编号, 名称, 规格, 仓位, 数量, 单位, 单价, 金额, 实盘数量, 盘盈盘亏, 盘盈亏金额 in their slots.
LineSlots takeBillLineSlots();
// The print of bill `billID`; `clerk` follows "负责人:" unless signature mode is on.
DocumentPrint takeBillPrint(Connection &c, const QString &billID, const QString &clerk);

} // namespace orv
