#pragma once
// What the bill picker reads, without widgets: the documents of its mode (1 approved purchase
// bills, 2 receipts into store, 3 approved finished-goods receipts) with their lines, the search,
// the supplier code of a picked document, and the hand-over of one line in G.gRepFit.
#include "app/appglobals.h"

#include <QString>

namespace orv {

class Connection;
class DataSet;

// The search items, as ComboBoxQuery lists them.
enum class BillSearch { All, ByNumber, BySupplier, ByClerk };

// The documents of a mode: ID, 流水号, 单据编号, 日期, 负责人, 供应商, 备注, 合计; an empty text lists all.
void openBills(Connection &c, DataSet &ds, int mode, BillSearch search = BillSearch::All,
               const QString &text = QString());
// The lines of a document: ID, 流水号, 编号, 名称, 规格, 单位, 数量, 单价, 金额, 仓位, 辅助单位,
// 辅助数量, 条码, 供应商, 类别, 换算比率, in the order they were written.
void openBillLines(Connection &c, DataSet &ds, int mode, const QString &docID);
// 往来单位.ID of the supplier named in a document's supplier text (the text after the first
// "." of "ID.单位名称", or the whole text); empty when no partner has that name.
QString supplierCodeOf(Connection &c, const QString &supplierText);
// One line of a picked document into `fit` as the receiver reads it (NULL as empty text) and
// TargetRow raised by one. The goods ID and purchase price of an earlier line never stay:
// a document line carries neither.
void handOverBillLine(const DataSet &lines, repairFit &fit);

} // namespace orv
