#include "purchasing/documentchecks.h"
#include "ledger/vouchers.h"

#include <QDate>

namespace orv {

namespace {
QString rowText(int row, const char *what) { return QStringLiteral("第%1行%2").arg(row).arg(QString::fromUtf8(what)); }

// The five emptiness checks, each over every row before the next starts; `texts` are the
// endings of the messages for 编号, 名称, 数量, 单价 and 金额.
std::optional<CheckFailure> emptyCells(const GoodsLineGrid &grid, const char *const texts[5])
{
    const GoodsLineColumns &c = grid.columns();
    const int last = grid.gridRowCount() - 1;
    auto empty = [&](int r, int col) { return grid.cell(r, col).isEmpty(); };
    struct Pass {
        int column, whenFilled;
    };
    const Pass passes[5] = {{c.goodsNo, c.name}, {c.name, c.goodsNo}, {c.qty, c.name}, {c.price, c.name},
                            {c.amount, c.name}};
    for (int p = 0; p < 5; ++p)
        for (int r = 1; r <= last; ++r)
            if (empty(r, passes[p].column) && !empty(r, passes[p].whenFilled))
                return CheckFailure{rowText(r, texts[p]), QString()};
    return std::nullopt;
}

bool saved(const GoodsLineGrid &grid, int r)
{
    const GoodsLineColumns &c = grid.columns();
    return !grid.cell(r, c.goodsNo).isEmpty() && !grid.cell(r, c.amount).isEmpty() &&
           !grid.cell(r, c.qty).isEmpty() && !grid.cell(r, c.price).isEmpty();
}

std::optional<CheckFailure> amountField(const QString &text, const char *name, const char *focus)
{
    if (!parseNumber(text))
        return CheckFailure{QString::fromUtf8(name) + QStringLiteral("必须是数字"), QString::fromUtf8(focus)};
    return std::nullopt;
}

std::optional<CheckFailure> dateField(const QString &text, const char *caption, const char *focus)
{
    if (!storedDate(text))
        return CheckFailure{QString::fromUtf8(caption) + QStringLiteral("不是有效的日期"), QString::fromUtf8(focus)};
    return std::nullopt;
}
} // namespace

std::optional<QString> storedDate(const QString &text)
{
    const QString s = text.trimmed();
    for (const char *f : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(s, QString::fromLatin1(f));
        if (d.isValid())
            return d.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return std::nullopt;
}

std::optional<CheckFailure> checkLineNumbers(const GoodsLineGrid &grid)
{
    const GoodsLineColumns &c = grid.columns();
    struct Column {
        int column;
        const char *title;
        bool emptyIsZero;
    };
    const Column columns[] = {{c.qty, "数量", false}, {c.price, "单价", false}, {c.amount, "金额", false},
                              {c.auxQty, "辅助数量", true}};
    for (int r = 1; r < grid.gridRowCount(); ++r) {
        if (!saved(grid, r))
            continue;
        for (const Column &col : columns) {
            const QString text = grid.cell(r, col.column);
            if (col.emptyIsZero && text.trimmed().isEmpty())
                continue;
            if (!parseNumber(text))
                return CheckFailure{rowText(r, col.title) + QStringLiteral("必须是数字"), QString()};
        }
    }
    return std::nullopt;
}

QVector<SavedLine> savedLines(const GoodsLineGrid &grid)
{
    const GoodsLineColumns &c = grid.columns();
    QVector<SavedLine> out;
    for (int r = 1; r < grid.gridRowCount(); ++r) {
        if (!saved(grid, r))
            continue;
        SavedLine l;
        l.gridRow = r;
        l.goodsNo = storedText(grid.cell(r, c.goodsNo));
        l.name = storedText(grid.cell(r, c.name));
        l.spec = storedText(grid.cell(r, c.spec));
        l.unit = storedText(grid.cell(r, c.unit));
        l.auxUnit = storedText(grid.cell(r, c.auxUnit));
        l.goodsID = storedText(grid.cell(r, c.goodsID));
        l.barcode = storedText(grid.cell(r, c.barcode));
        l.place = storedText(grid.cell(r, c.place));
        l.supplier = storedText(grid.cell(r, c.supplier));
        l.category = storedText(grid.cell(r, c.category));
        const QString aux = grid.cell(r, c.auxQty);
        l.auxQty = aux.trimmed().isEmpty() ? 0 : round4(toNumber(aux));
        l.qty = round4(toNumber(grid.cell(r, c.qty)));
        l.price = round4(toNumber(grid.cell(r, c.price)));
        l.amount = round4(toNumber(grid.cell(r, c.amount)));
        l.ratio = parseNumber(grid.cell(r, c.ratio));
        out.append(l);
    }
    return out;
}

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
    return dateField(date, "制单日期", "EditDate");
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
    if (auto f = amountField(amounts.payable, "合计应付", "Edit1"))
        return f;
    if (auto f = amountField(amounts.paid, "实际付款", "Edit2"))
        return f;
    if (auto f = amountField(amounts.onAccount, "挂账金额", "Edit9"))
        return f;
    return dateField(date, "制单日期", "Edit1Date");
}

} // namespace orv
