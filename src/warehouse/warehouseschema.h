#pragma once
// Tables of the internal warehouse documents: the seven internal kinds (workshop requisition,
// finished-goods receipt, defect rework, loss report, lending, return of lent goods, gifts),
// the workshop transfer and the warehouse transfer, each a header with one row per document
// and a line table joined by ID. Call before the program or a test connects.
#include "ledger/docnumbers.h"

namespace orv {

void registerWarehouseSchema();

// One internal document kind (gDocKind 1 to 7): its tables and number prefix.
struct InternalDocTables {
    int kind;
    const char *header;
    const char *lines;
    const char *prefix;
};

inline constexpr InternalDocTables kInternalDocTables[] = {
    {1, "车间领用", "车间领用明细", "NBLY-"}, {2, "成品入库单", "成品入库明细", "CPRK-"},
    {3, "次品返工单", "次品返工明细", "CPFG-"}, {4, "货品报损单", "货品报损明细", "HPBS-"},
    {5, "借出单", "借出单明细", "HPJC-"},       {6, "归还单", "归还单明细", "HPGH-"},
    {7, "赠送单", "赠送明细", "HPZS-"}};

// The number series of an internal kind (1 to 7); throws DbError for another kind. Kept in this
// header: the receipt's direct issue to a workshop numbers its requisition with it (purchasing
// links this library for the requisition's tables).
inline NumberRule internalDocNumbers(int kind)
{
    for (const auto &k : kInternalDocTables)
        if (k.kind == kind)
            return {QString::fromUtf8(k.header), "单据编号", QString::fromUtf8(k.prefix)};
    throw DbError(QString("未知的单据类别：%1").arg(kind));
}

inline NumberRule workshopTransferNumbers() { return {"调拨单", "单据编号", "HPDB-"}; }
inline NumberRule warehouseTransferNumbers() { return {"货品调拨单", "单据编号", "CKDB-"}; }

} // namespace orv
