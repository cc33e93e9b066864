#pragma once
// What the goods picker does besides showing its list, without widgets: the list statement,
// building a goods line from a picked row, handing it over in G.gRepFit, and the audit mode's
// insert into the pending document's detail table.
//
// A pick is staged as one line (the 17 values below) and handed over at once; the staging is
// emptied whether or not the hand-over succeeded, so a line is never handed over twice or in
// place of a later pick.
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

class Connection;
struct repairFit;

// The list: ID, 流水号, 编号, 名称, 规格, 仓位, 库存 of 货品目录 (gFitFilter 1), only the rows
// below warning stock (2), narrowed by the mnemonic code (LIKE '%text%', bound) when text is given.
QString fitListSql(int fitFilter, const QString &text, bool postgres, QString *pattern);

// The row the operator picked, as the list shows it.
struct PickedRow {
    QString rowNo; // 流水号
    QString goodsNo, name, stock;
};

// The goods row re-read by 流水号 (texts, empty for NULL).
struct GoodsRowTexts {
    QString spec, category, salePrice, supplier, auxUnit, unit, barcode, purchasePrice, place, ratio, id;
};
std::optional<GoodsRowTexts> readGoodsRow(Connection &c, qint64 rowNo);

// Staged line columns: 编号, 名称, 规格, 辅助单位, 单位, 辅助数量, 数量, 单价, 金额, 类别, 供应商, 条码,
// ID, 类型, 仓位, 进货价, 换算比率.
enum StagedColumn { SGoodsNo, SName, SSpec, SAuxUnit, SUnit, SAuxQty, SQty, SPrice, SAmount, SCategory, SSupplier,
                    SBarcode, SID, SKind, SPlace, SPurchasePrice, SRatio, StagedColumns };

// Fills the pick's fields of `fit` (row keys, the re-read values, 数量 "1", 辅助数量 from the ratio)
// and returns the staged line. fitPrice 1: 单价 is 出货价; 2: 进货价. An empty price is "0".
QStringList stageLine(repairFit &fit, const PickedRow &picked, const GoodsRowTexts &row, int fitPrice);

// The staged line into `fit` as the receiver reads it (empty numbers become "0"), and
// TargetRow raised by one. False for a line that is not complete (编号, 单价, 金额, 数量).
bool handOverLine(const QStringList &staged, repairFit &fit);

// Audit mode: the pending document's detail table by kind (1 采购订单明细, 2 销售订单明细,
// 3 采购退货明细, 4 货品报损明细); empty for another kind.
QString auditDetailTable(int auditKind);
// Its header table (1 采购订单, 2 销售订单, 3 采购退货单, 4 货品报损单).
QString auditHeaderTable(int auditKind);
// Whether the lines of document `docID` may still change: false when its header is no longer
// '待审核' (approved or cancelled meanwhile). Inside the caller's transaction the header stays
// locked against an approval until the transaction ends.
bool auditDocumentOpen(Connection &c, int auditKind, const QString &docID);
// What else a change of a pending document's lines writes, by audit kind (the document's stored
// total): run inside the line change's transaction, after the line, so both are stored or neither.
using AuditLinesFollowUp = void (*)(Connection &c, const QString &docID);
void setAuditLinesFollowUp(int auditKind, AuditLinesFollowUp followUp);
void followAuditLines(Connection &c, int auditKind, const QString &docID);
// Inserts the handed-over line into the kind's detail table under the document's record ID
// (kind 2 with 折扣 1 and 折后金额 = 金额); returns the new row's 流水号, or 0 when the document is
// no longer pending (nothing written). Throws DbError.
qint64 insertAuditLine(Connection &c, int auditKind, const repairFit &fit, const QString &docID);

} // namespace orv
