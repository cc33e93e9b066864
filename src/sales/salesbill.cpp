#include "sales/salesbill.h"
#include "ledger/vouchers.h"

namespace orv {

namespace {
bool typed(const QString &text) { return appliesNow(text); }

} // namespace

QString discountForNewLine(SaleMode mode, LineOrigin origin, DiscountChoice choice, const QString &customerDiscount,
                           const QString &goodsDiscount)
{
    if (mode == SaleMode::Return && origin != LineOrigin::Coded)
        return QStringLiteral("1");
    const QString &first = choice == DiscountChoice::Customer ? customerDiscount : goodsDiscount;
    const QString &second = choice == DiscountChoice::Customer ? goodsDiscount : customerDiscount;
    // A field still being typed ("0.", ".") is no discount yet.
    if (typed(first))
        return first.trimmed();
    if (typed(second))
        return second.trimmed();
    return QStringLiteral("1");
}

bool appliesNow(const QString &discountText)
{
    const auto v = parseNumber(discountText);
    return v && *v > 0;
}

QString discountOnLeave(const QString &discountText)
{
    const auto v = parseNumber(discountText);
    if (discountText.trimmed().isEmpty() || (v && *v == 0))
        return QStringLiteral("1");
    return discountText;
}

void setLineDiscount(GoodsLineGrid &grid, int gridRow, const QString &discount)
{
    const GoodsLineColumns &c = grid.columns();
    grid.setCell(gridRow, c.discount, discount);
    const auto qty = parseNumber(grid.cell(gridRow, c.qty));
    const auto price = parseNumber(grid.cell(gridRow, c.price));
    const auto d = parseNumber(discount);
    if (qty && price && d)
        grid.setCell(gridRow, c.discounted, generalNumber(round4(*price * *qty * *d)));
}

void applyDiscount(GoodsLineGrid &grid, const QString &discount)
{
    for (int r = 1; r < grid.gridRowCount(); ++r)
        if (grid.isCounted(r))
            setLineDiscount(grid, r, discount);
}

std::optional<SaleTotals> saleTotals(const GoodsLineGrid &grid, SaleMode mode)
{
    const GoodsLineGrid::Totals t = grid.totals();
    if (t.counted == 0)
        return std::nullopt;
    SaleTotals s;
    s.qty = t.qty;
    s.auxQty = t.auxQty;
    if (mode == SaleMode::Return) {
        s.due = t.amount;
        return s;
    }
    double discounted = 0;
    for (int r = 1; r < grid.gridRowCount(); ++r)
        if (grid.isCounted(r))
            discounted += toNumber(grid.cell(r, grid.columns().discounted));
    s.due = generalNumber(round4(discounted));
    return s;
}

QString dueOfLine(const GoodsLineGrid &grid, int gridRow, SaleMode mode)
{
    const GoodsLineColumns &c = grid.columns();
    return grid.cell(gridRow, mode == SaleMode::Return ? c.amount : c.discounted);
}

std::optional<SaleCheck> checkSaleBill(SaleMode mode, const GoodsLineGrid &grid, const SaleFields &f)
{
    const bool ret = mode == SaleMode::Return;
    if (!grid.hasLines())
        return SaleCheck{{QStringLiteral("请输入货品"), QString()}, false};
    const char *const texts[5] = {"货品编号不能为空", "货品名称不能为空", "货品数量不能为空", "货品单价不能为空",
                                  "货品金额不能为空"};
    if (auto e = emptyCells(grid, texts))
        return SaleCheck{*e, false};
    auto boxed = [](const QString &message, const char *focus) {
        return SaleCheck{{message, QString::fromUtf8(focus)}, true};
    };
    if (f.clerk.isEmpty())
        return boxed(QStringLiteral("经办人不能为空！"), "ComboBox1");
    if (f.due.isEmpty())
        return boxed(ret ? QStringLiteral("应退款不能为空！") : QStringLiteral("应收款不能为空！"), "Edit9");
    if (f.received.isEmpty())
        return boxed(ret ? QStringLiteral("实退款不能为空！") : QStringLiteral("实收款不能为空！"), "Edit10");
    if (f.customer.isEmpty())
        return boxed(QStringLiteral("客户名称不能为空！"), "Edit3");
    // Every number and date the save writes is read before the first write.
    if (auto e = checkLineNumbers(grid))
        return SaleCheck{*e, false};
    auto boxedFailure = [](std::optional<CheckFailure> e) -> std::optional<SaleCheck> {
        if (!e)
            return std::nullopt;
        return SaleCheck{*e, true};
    };
    if (auto e = boxedFailure(checkNumberField(f.due, ret ? "应退款" : "应收款", "Edit9")))
        return e;
    if (auto e = boxedFailure(checkNumberField(f.received, ret ? "实退款" : "实收款", "Edit10")))
        return e;
    if (auto e = boxedFailure(checkNumberField(f.onAccount, "挂账金额", "Edit20")))
        return e;
    if (!f.customerDiscount.trimmed().isEmpty())
        if (auto e = boxedFailure(checkNumberField(f.customerDiscount, "客户折扣", "Edit15")))
            return e;
    if (!ret && !f.invoiceAmount.trimmed().isEmpty())
        if (auto e = boxedFailure(checkNumberField(f.invoiceAmount, "开票额", "Edit12")))
            return e;
    if (auto e = boxedFailure(checkDateField(f.date, "制单日期", "Edit2")))
        return e;
    if (!ret && !f.invoiceDate.trimmed().isEmpty())
        if (auto e = boxedFailure(checkDateField(f.invoiceDate, "开票日期", "Edit11")))
            return e;
    return std::nullopt;
}

QVector<SaleLine> saleLines(GoodsLineGrid &grid)
{
    const GoodsLineColumns &c = grid.columns();
    QVector<SaleLine> out;
    for (const SavedLine &l : savedLines(grid)) {
        if (grid.cell(l.gridRow, c.purchasePrice).isEmpty())
            grid.setCell(l.gridRow, c.purchasePrice, grid.cell(l.gridRow, c.price));
        SaleLine s;
        s.goods = l;
        s.discount = round4(toNumber(grid.cell(l.gridRow, c.discount)));
        s.discounted = round4(toNumber(grid.cell(l.gridRow, c.discounted)));
        s.cost = round4(toNumber(grid.cell(l.gridRow, c.purchasePrice)));
        out.append(s);
    }
    return out;
}

} // namespace orv
