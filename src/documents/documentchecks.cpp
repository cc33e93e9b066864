#include "documents/documentchecks.h"
#include "ledger/vouchers.h"

#include <QDate>
#include <QtNumeric>

namespace orv {

namespace {
QString rowText(int row, const char *what) { return QStringLiteral("第%1行%2").arg(row).arg(QString::fromUtf8(what)); }

bool saved(const GoodsLineGrid &grid, int r)
{
    const GoodsLineColumns &c = grid.columns();
    return !grid.cell(r, c.goodsNo).isEmpty() && !grid.cell(r, c.amount).isEmpty() &&
           !grid.cell(r, c.qty).isEmpty() && !grid.cell(r, c.price).isEmpty();
}
} // namespace

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

std::optional<CheckFailure> checkNumberField(const QString &text, const char *name, const char *focus)
{
    if (!parseNumber(text))
        return CheckFailure{QString::fromUtf8(name) + QStringLiteral("必须是数字"), QString::fromUtf8(focus)};
    return std::nullopt;
}

std::optional<CheckFailure> checkDateField(const QString &text, const char *caption, const char *focus)
{
    if (!storedDate(text))
        return CheckFailure{QString::fromUtf8(caption) + QStringLiteral("不是有效的日期"), QString::fromUtf8(focus)};
    return std::nullopt;
}

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
    // The sales grid's discount columns and its 进货价 (the line's 成本价) are written too.
    const Column columns[] = {{c.qty, "数量", false},        {c.price, "单价", false},
                              {c.amount, "金额", false},     {c.auxQty, "辅助数量", true},
                              {c.discount, "折扣", false},   {c.discounted, "折后金额", false},
                              {c.purchasePrice, "进货价", true}};
    for (int r = 1; r < grid.gridRowCount(); ++r) {
        if (!saved(grid, r))
            continue;
        for (const Column &col : columns) {
            if (col.column < 0)
                continue;
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

GoodsLine goodsLineOf(const SavedLine &l, const QString &supplier)
{
    GoodsLine g;
    g.goodsNo = l.goodsNo;
    g.name = l.name;
    g.spec = l.spec;
    g.unit = l.unit;
    g.auxUnit = l.auxUnit;
    g.barcode = l.barcode;
    g.place = l.place;
    g.supplier = supplier;
    g.category = l.category;
    g.qty = l.qty;
    g.auxQty = l.auxQty;
    g.price = l.price;
    g.amount = l.amount;
    // An empty 换算比率 travels as NaN: the voucher line then stores NULL as the document line does.
    g.ratio = l.ratio.value_or(qQNaN());
    return g;
}

} // namespace orv
