#include "goods/goodslines.h"
#include "app/appglobals.h"

#include <QRegularExpression>
#include <cmath>

namespace orv {

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(messageFor(text).toStdString()), m_text(text)
{
}

QString ConversionError::messageFor(const QString &text) { return QStringLiteral("“%1”不是有效的数字").arg(text); }

QString generalNumber(double v)
{
    if (v == 0 || !std::isfinite(v))
        return QStringLiteral("0");
    return QString::number(v, 'g', 15);
}

std::optional<double> parseNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double toNumber(const QString &text)
{
    const auto v = parseNumber(text);
    if (!v)
        throw ConversionError(text);
    return *v;
}

const GoodsLineColumns &GoodsLineColumns::of(GoodsLineLayout layout)
{
    //                         count no name spec unit disc aux qty price amt dised id  bar place sup cat auxU pp ratio
    static const GoodsLineColumns standard{16, 1, 2, 3, 4, -1, 6, 7, 8, 9, -1, 10, 11, 12, 13, 14, 5, -1, 15,
                                           {"", "编号", "名称", "规格", "单位", "辅助单位", "辅助数量", "数量",
                                            "单价", "金额", "ID", "条码", "仓位", "供应商", "类别", "换算比率"}};
    static const GoodsLineColumns sales{19, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 11, 12, 13, 14, 16, 17, 18,
                                        {"", "编号", "名称", "规格", "单位", "折扣", "辅助数量", "数量", "单价",
                                         "金额", "折后金额", "条码", "仓位", "供应商", "类别", "ID", "辅助单位",
                                         "进货价", "换算比率"}};
    return layout == GoodsLineLayout::Sales19 ? sales : standard;
}

GoodsLineGrid::GoodsLineGrid(GoodsLineLayout layout, QObject *parent) : QAbstractTableModel(parent), m_layout(layout)
{
    ensureRows(2);
}

void GoodsLineGrid::ensureRows(int gridRows)
{
    const int have = gridRowCount();
    if (gridRows <= have)
        return;
    beginInsertRows(QModelIndex(), have - 1, gridRows - 2);
    while (gridRowCount() < gridRows)
        m_rows.append(QStringList(columns().count, QString()));
    endInsertRows();
}

QString GoodsLineGrid::cell(int gridRow, int column) const
{
    if (gridRow < 1 || gridRow >= gridRowCount() || column < 0 || column >= columns().count)
        return QString();
    return m_rows[gridRow - 1][column];
}

void GoodsLineGrid::setCell(int gridRow, int column, const QString &text)
{
    if (gridRow < 1 || column < 0 || column >= columns().count)
        return;
    ensureRows(gridRow + 1);
    m_rows[gridRow - 1][column] = text;
    const QModelIndex i = index(gridRow - 1, column);
    emit dataChanged(i, i);
}

bool GoodsLineGrid::isBlank(int gridRow) const { return cell(gridRow, columns().goodsNo).trimmed().isEmpty(); }

bool GoodsLineGrid::isCounted(int gridRow) const
{
    const GoodsLineColumns &c = columns();
    return !cell(gridRow, c.amount).isEmpty() && !cell(gridRow, c.price).isEmpty() && !cell(gridRow, c.qty).isEmpty();
}

int GoodsLineGrid::find(const QString &goodsNo, const QString &name, const QString &place) const
{
    const GoodsLineColumns &c = columns();
    for (int r = 1; r <= gridRowCount() - 2; ++r)
        if (cell(r, c.goodsNo) == goodsNo && cell(r, c.name) == name && cell(r, c.place) == place)
            return r;
    return 0;
}

bool GoodsLineGrid::hasLines() const
{
    for (int r = 1; r < gridRowCount(); ++r)
        if (!isBlank(r))
            return true;
    return false;
}

GoodsLineGrid::Taken GoodsLineGrid::take(repairFit &fit)
{
    if (const int found = find(fit.GoodsNo, fit.GoodsName, fit.Place)) {
        fit.TargetRow -= 1;
        return {found, true, true};
    }
    return append(fit);
}

GoodsLineGrid::Taken GoodsLineGrid::append(repairFit &fit)
{
    int row = fit.TargetRow;
    // The picker raised TargetRow to the row below the last appended line; a value that points
    // at a title row or past the empty row would lose the line, so it lands in the empty row.
    if (row < 1 || row > gridRowCount() - 1 || !isBlank(row))
        row = gridRowCount() - 1;
    fit.TargetRow = row;
    const GoodsLineColumns &c = columns();
    QStringList values(c.count, QString());
    auto put = [&](int col, const QString &v) {
        if (col >= 0)
            values[col] = v;
    };
    put(c.goodsNo, fit.GoodsNo);
    put(c.name, fit.GoodsName);
    put(c.spec, fit.Spec);
    put(c.unit, fit.Unit);
    put(c.auxUnit, fit.AuxUnit);
    put(c.auxQty, fit.AuxQty);
    put(c.qty, fit.Qty);
    put(c.price, fit.Price);
    put(c.amount, fit.Amount);
    put(c.goodsID, fit.GoodsID);
    put(c.barcode, fit.Barcode);
    put(c.place, fit.Place);
    put(c.supplier, fit.Supplier);
    put(c.category, fit.Category);
    put(c.ratio, fit.Ratio);
    put(c.purchasePrice, fit.PurchasePrice);
    ensureRows(gridRowCount() + 1);
    values[0] = QString::number(gridRowCount() - 2);
    m_rows[row - 1] = values;
    emit dataChanged(index(row - 1, 0), index(row - 1, c.count - 1));
    return {row, false, !values[c.goodsNo].isEmpty()};
}

void GoodsLineGrid::writeEdited(int gridRow, const Edited &v)
{
    if (gridRow < 1 || gridRow >= gridRowCount())
        return;
    const GoodsLineColumns &c = columns();
    QStringList &row = m_rows[gridRow - 1];
    row[c.qty] = v.qty;
    row[c.auxQty] = v.auxQty;
    row[c.price] = v.price;
    row[c.amount] = v.amount;
    if (c.discount >= 0)
        row[c.discount] = v.discount;
    if (c.discounted >= 0)
        row[c.discounted] = v.discounted;
    emit dataChanged(index(gridRow - 1, 0), index(gridRow - 1, c.count - 1));
}

GoodsLineGrid::Totals GoodsLineGrid::totals() const
{
    const GoodsLineColumns &c = columns();
    double amount = 0, qty = 0, aux = 0;
    Totals t;
    for (int r = 1; r < gridRowCount(); ++r) {
        if (!isCounted(r))
            continue;
        qty += toNumber(cell(r, c.qty));
        // An auxiliary quantity left empty (a document line without one) counts as none.
        const QString a = cell(r, c.auxQty);
        aux += a.trimmed().isEmpty() ? 0 : toNumber(a);
        amount += toNumber(cell(r, c.amount));
        ++t.counted;
    }
    if (t.counted > 0) {
        t.amount = generalNumber(amount);
        t.qty = generalNumber(qty);
        t.auxQty = generalNumber(aux);
    }
    return t;
}

void GoodsLineGrid::blankLine(int gridRow)
{
    if (gridRow < 1 || gridRow >= gridRowCount())
        return;
    QStringList &row = m_rows[gridRow - 1];
    for (int col = 1; col < row.size(); ++col)
        row[col].clear();
    emit dataChanged(index(gridRow - 1, 0), index(gridRow - 1, columns().count - 1));
}

void GoodsLineGrid::clearLines()
{
    beginResetModel();
    m_rows = {QStringList(columns().count, QString())};
    endResetModel();
}

void GoodsLineGrid::renumber()
{
    for (int r = 1; r < gridRowCount(); ++r)
        m_rows[r - 1][0] = QString::number(r);
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

int GoodsLineGrid::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int GoodsLineGrid::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : columns().count; }

QVariant GoodsLineGrid::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QString text = cell(index.row() + 1, index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text;
    case Qt::ToolTipRole:
        return text.isEmpty() ? QVariant() : QVariant(text);
    case Qt::TextAlignmentRole:
        if (index.column() == columns().goodsNo)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

bool GoodsLineGrid::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const GoodsLineColumns &c = columns();
    if (!index.isValid() || role != Qt::EditRole || !editableColumns().contains(index.column()))
        return false;
    // In-place entry takes digits and one decimal point; anything else is not typed into a cell.
    static const QRegularExpression typed(QStringLiteral("^\\d*\\.?\\d*$"));
    const QString text = value.toString();
    if (!typed.match(text).hasMatch())
        return false;
    const int row = index.row() + 1;
    setCell(row, index.column(), text);
    const auto qty = parseNumber(cell(row, c.qty));
    const auto price = parseNumber(cell(row, c.price));
    // The amount follows while both are numbers; an emptied or lone "." cell leaves it as it was.
    if (qty && price) {
        setCell(row, c.amount, generalNumber(*qty * *price));
        // The sales grid's discounted amount follows as well.
        if (const auto discount = parseNumber(cell(row, c.discount)); discount && c.discounted >= 0)
            setCell(row, c.discounted, generalNumber(*qty * *price * *discount));
    }
    return true;
}

QVariant GoodsLineGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columns().titles.value(section);
    return section + 1;
}

QVector<int> GoodsLineGrid::editableColumns() const
{
    if (m_editable)
        return *m_editable;
    return {columns().qty, columns().price};
}

Qt::ItemFlags GoodsLineGrid::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && editableColumns().contains(index.column()) && !isBlank(index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace orv
