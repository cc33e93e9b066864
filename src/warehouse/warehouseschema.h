#pragma once
// Tables of the internal warehouse documents: the seven internal kinds (workshop requisition,
// finished-goods receipt, defect rework, loss report, lending, return of lent goods, gifts),
// the workshop transfer and the warehouse transfer, each a header with one row per document
// and a line table joined by ID. Call before the program or a test connects. The internal
// kinds and their number series (internalDocNumbers) are in warehouse/internalkinds.h.
#include "ledger/docnumbers.h"
#include "warehouse/internalkinds.h"

namespace orv {

void registerWarehouseSchema();

inline NumberRule workshopTransferNumbers() { return {"调拨单", "单据编号", "HPDB-"}; }
inline NumberRule warehouseTransferNumbers() { return {"货品调拨单", "单据编号", "CKDB-"}; }

} // namespace orv
