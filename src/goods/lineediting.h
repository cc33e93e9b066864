#pragma once
// The line editor's rules without widgets: the conversion between 数量 and 辅助数量 by the goods'
// 换算比率, the amount and the discounted amount, what a save writes, and the audit mode's read
// and update of a pending document's detail row.
//
// Every rule works on a copy of the values and returns the new ones whole; a value that is not
// a number throws ConversionError and nothing changes.
#include "goods/goodslines.h"

#include <QString>
#include <optional>

namespace orv {

class Connection;

struct LineValues {
    QString qty, auxQty, price, amount, discount, discounted;
};

namespace lineediting {

// `ratio`: the goods' 换算比率 as text; nullopt when the goods has no row or the ratio is NULL.
LineValues afterQty(LineValues v, const std::optional<QString> &ratio);
LineValues afterAuxQty(LineValues v, const std::optional<QString> &ratio);
LineValues afterPrice(LineValues v);
LineValues enterAmount(LineValues v);
LineValues afterDiscount(LineValues v);

// What "确定" writes back into a grid row: 金额 = 数量 × 单价; with a discount row (the sales
// bill) an empty 折扣 becomes "1" and 折后金额 = 折扣 × 金额.
LineValues forGridSave(LineValues v, bool withDiscount);

// The goods' 换算比率 by 编号, 名称 and 仓位 (first row), as text; nullopt when unknown.
std::optional<QString> ratioOf(Connection &c, const QString &goodsNo, const QString &name, const QString &place);

// A pending detail row (mode 8).
struct DetailRow {
    QString goodsNo, name, spec, unit, auxUnit, barcode, place, supplier, category, ratio;
    LineValues values;
};
std::optional<DetailRow> readDetailRow(Connection &c, int auditKind, qint64 rowNo);
// Updates 单价, 数量, 金额, 辅助数量 (kind 2 also 折后金额 and 折扣) of the row; false (nothing
// written) when its document is no longer pending. Throws ConversionError for a value that is
// not a number, DbError when the row is gone.
bool updateDetailRow(Connection &c, int auditKind, qint64 rowNo, const LineValues &v);

} // namespace lineediting

// The window whose goods line grid the line editor edits (modes 1 to 6 and 15): its grid and
// the line that is current while the editor is open.
class GoodsLineHost {
public:
    virtual ~GoodsLineHost() = default;
    virtual GoodsLineGrid *goodsLines() = 0;
    virtual int currentGoodsLine() const = 0; // grid row
};

} // namespace orv
