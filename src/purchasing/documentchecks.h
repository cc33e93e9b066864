#pragma once
// The checks an entry window runs before it writes anything: the goods lines of its grid (each
// message names the grid row), its amount fields and its date. Every number the save will write
// is read here first, so a save never stops half-way on a value that is not a number.
#include "goods/goodslines.h"

#include <QString>
#include <QVector>
#include <optional>

namespace orv {

// Why a save was refused, and the field that takes the cursor (empty: none).
struct CheckFailure {
    QString message;
    QString focus;
};

// A date as the documents store it ("yyyy-MM-dd"); the forms "yyyy-M-d", "yyyy/M/d",
// "yyyy.M.d" and "yyyyMMdd" are read too. nullopt when the text is no date.
std::optional<QString> storedDate(const QString &text);

// A text as a document column stores it: never NULL, empty when nothing was entered.
inline QString storedText(const QString &s) { return s.isNull() ? QStringLiteral("") : s; }

// A grid line that a save writes (编号, 金额, 数量 and 单价 all filled), its numbers read.
struct SavedLine {
    int gridRow = 0;
    QString goodsNo, name, spec, unit, auxUnit, goodsID, barcode, place, supplier, category;
    double auxQty = 0, qty = 0, price = 0, amount = 0; // four decimals; an empty 辅助数量 is 0
    std::optional<double> ratio;                       // 换算比率; none when empty or no number
};

// The lines a save writes, in grid order. Call after the checks passed: a number that does not
// read throws ConversionError.
QVector<SavedLine> savedLines(const GoodsLineGrid &grid);

// The order window: the five line checks over every grid row (the first one's text depends on
// the print box), the supplier, then the numbers of the saved lines and the date.
std::optional<CheckFailure> checkOrder(const GoodsLineGrid &grid, bool printTicked, const QString &supplier,
                                       const QString &date);

// The receipt window's amount fields.
struct ReceiptAmounts {
    QString payable, paid, onAccount; // 合计应付, 实际付款, 挂账金额
};

// The receipt window: "请输入货品", the five line checks, the two amount fields, then the
// numbers of the saved lines, the three amounts and the date.
std::optional<CheckFailure> checkReceipt(const GoodsLineGrid &grid, const ReceiptAmounts &amounts,
                                         const QString &date);

// The numbers of the saved lines: "第n行<column>必须是数字" for the first that does not read.
std::optional<CheckFailure> checkLineNumbers(const GoodsLineGrid &grid);

} // namespace orv
