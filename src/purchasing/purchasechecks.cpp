#include "purchasing/purchasechecks.h"

namespace orv {

std::optional<CheckFailure> checkOrder(const GoodsLineGrid &grid, bool printTicked, const QString &supplier,
                                       const QString &date)
{
    const char *const texts[5] = {printTicked ? "编号不能为空" : "货品不能为空", "名称不能为空", "数量不能为空",
                                  "单价不能为空", "金额不能为空"};
    if (auto f = emptyCells(grid, texts))
        return f;
    if (supplier.isEmpty())
        return CheckFailure{QStringLiteral("采购商不能为空!"), QStringLiteral("ComboBox1")};
    if (auto f = checkLineNumbers(grid))
        return f;
    return checkDateField(date, "制单日期", "EditDate");
}

std::optional<CheckFailure> checkReceipt(const GoodsLineGrid &grid, const ReceiptAmounts &amounts,
                                         const QString &date)
{
    if (!grid.hasLines())
        return CheckFailure{QStringLiteral("请输入货品"), QString()};
    const char *const texts[5] = {"货品不能为空", "货品名称不能为空", "货品数量不能为空", "货品单价不能为空",
                                  "货品金额不能为空"};
    if (auto f = emptyCells(grid, texts))
        return f;
    if (amounts.payable.isEmpty())
        return CheckFailure{QStringLiteral("合计应付金额不能为空"), QStringLiteral("Edit1")};
    if (amounts.paid.isEmpty())
        return CheckFailure{QStringLiteral("实际应付金额不能为空"), QStringLiteral("Edit2")};
    if (auto f = checkLineNumbers(grid))
        return f;
    if (auto f = checkNumberField(amounts.payable, "合计应付", "Edit1"))
        return f;
    if (auto f = checkNumberField(amounts.paid, "实际付款", "Edit2"))
        return f;
    if (auto f = checkNumberField(amounts.onAccount, "挂账金额", "Edit9"))
        return f;
    return checkDateField(date, "制单日期", "Edit1Date");
}

} // namespace orv
