#pragma once
// The sales bill's rules on its goods grid, without widgets: which discount a new line takes,
// the discount fields applied to the lines, the totals of each mode, the checks before a save
// and the lines a save writes.
//
//   discountForNewLine(mode, origin, choice, customer, goods)   "1", the customer's or the goods'
//   applyDiscount(grid, "0.9")     every counted line: 折扣 and 折后金额 follow
//   saleTotals(grid, mode)         应收款 / 应退款 and the hidden sums; nullopt when no line counts
//   checkSaleBill(mode, grid, f)   the first reason the bill may not be saved
//   saleLines(grid)                the lines a save writes, their numbers read
#include "documents/documentchecks.h"

#include <QString>
#include <QVector>
#include <optional>

namespace orv {

enum class SaleMode { Order = 1, Return = 2, Direct = 3 };

// How a line came into the grid.
enum class LineOrigin { Picked, Coded, Imported };
// Which discount new lines take (RadioButton1 客户折扣 / RadioButton2 货品折扣).
enum class DiscountChoice { Customer, Goods };

// The discount a line takes when it comes in: "1" for a picked or imported line of a return;
// otherwise the chosen field's text, else the other one's, else "1".
QString discountForNewLine(SaleMode mode, LineOrigin origin, DiscountChoice choice, const QString &customerDiscount,
                           const QString &goodsDiscount);

// A discount field's text that is applied to the lines while it is typed: a positive number.
// Empty, "0", "0." or "." leave the lines as they are.
bool appliesNow(const QString &discountText);
// A discount field's text when the cursor leaves it: empty or zero becomes "1".
QString discountOnLeave(const QString &discountText);

// 折扣 := discount and 折后金额 := 单价 × 数量 × 折扣 of one line (when 单价 and 数量 read).
void setLineDiscount(GoodsLineGrid &grid, int gridRow, const QString &discount);
// The same for every counted line.
void applyDiscount(GoodsLineGrid &grid, const QString &discount);

struct SaleTotals {
    QString due;      // 应收款 (Σ折后金额) or, for a return, 应退款 (Σ金额)
    QString qty, auxQty;
};
// Sums of the counted lines; nullopt when none counts (the fields keep their text). Throws
// ConversionError for a counted line whose figures do not read.
std::optional<SaleTotals> saleTotals(const GoodsLineGrid &grid, SaleMode mode);
// What a deleted line takes off the amount due: its 折后金额, or for a return its 金额.
QString dueOfLine(const GoodsLineGrid &grid, int gridRow, SaleMode mode);

// The header fields the checks read, as typed.
struct SaleFields {
    QString clerk;            // ComboBox1 经办人 / 负责人
    QString due, received;    // Edit9, Edit10
    QString onAccount;        // Edit20 挂账金额
    QString customer;         // Edit3
    QString customerDiscount; // Edit15
    QString invoiceAmount;    // Edit12 开票额 (modes 1 and 3)
    QString date;             // Edit2
    QString invoiceDate;      // Edit11 (modes 1 and 3)
};

struct SaleCheck {
    CheckFailure failure;
    bool boxed = false; // a message box captioned "Orvane仓库管理" (the header checks), else a plain one
};
// "请输入货品", the five line checks, the staff, amount and customer checks, then every number
// and date the save writes. Nothing is written before all of them pass.
std::optional<SaleCheck> checkSaleBill(SaleMode mode, const GoodsLineGrid &grid, const SaleFields &fields);

// A line a save writes: the goods line, its discount and 成本价 (进货价, or else 单价).
struct SaleLine {
    SavedLine goods;
    double discount = 1, discounted = 0, cost = 0;
};
// Call after the checks passed. An empty 进货价 of a written line is first set to its 单价 in the
// grid, so the grid shows the 成本价 stored.
QVector<SaleLine> saleLines(GoodsLineGrid &grid);

} // namespace orv
