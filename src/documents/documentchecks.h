#pragma once
// The checks an entry window runs before it writes anything: the goods lines of its grid (each
// message names the grid row), its amount fields and its date. Every number the save will write
// is read here first, so a save never stops half-way on a value that is not a number.
#include "goods/goodslines.h"
#include "ledger/stockmodel.h"

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

// The goods line of a saved grid line as the stock model takes it (供应商 the document's).
GoodsLine goodsLineOf(const SavedLine &l, const QString &supplier);

// The five emptiness checks, each over every row before the next starts: 编号 empty while 名称
// is filled, 名称 empty while 编号 is, then 数量, 单价 and 金额 each empty while 名称 is filled.
// `texts` are the endings of the five messages ("第n行" + text), e.g. "货品不能为空".
std::optional<CheckFailure> emptyCells(const GoodsLineGrid &grid, const char *const texts[5]);

// The numbers of the saved lines (with the sales grid's 折扣, 折后金额 and 进货价):
// "第n行<column>必须是数字" for the first that does not read.
std::optional<CheckFailure> checkLineNumbers(const GoodsLineGrid &grid);

// An amount field: `name` + "必须是数字" (focus on `focus`) when its text is no number.
std::optional<CheckFailure> checkNumberField(const QString &text, const char *name, const char *focus);
// A date field: `caption` + "不是有效的日期" (focus on `focus`) when its text is no date.
std::optional<CheckFailure> checkDateField(const QString &text, const char *caption, const char *focus);

} // namespace orv
