#pragma once
// The goods line grid every document entry window keeps: one line per goods item and storage
// place, handed over by the goods picker (WM_FIT_CHOSEN in G.gRepFit) or edited by the line
// editor. A model without widgets: a window shows it in a table view and drives it through its
// handlers; the line editor writes the current line back through it.
//
// Rows are numbered as the grid numbers them: row 0 is the title row (the view's header),
// lines occupy rows 1 .. gridRowCount() - 2, and the last row is always an empty one. The
// model's rows are grid rows 1 .. gridRowCount() - 1 (model row r = grid row r + 1).
//
//   GoodsLineGrid grid;                     16 columns (purchasing, internal documents)
//   GoodsLineGrid grid(GoodsLineLayout::Sales19);  the sales bill's 19 columns
//   grid.take(G.gRepFit)   WM_FIT_CHOSEN: appends the line at TargetRow, or finds the line of the
//                          same 编号, 名称 and 仓位 and lowers TargetRow by one
//   grid.totals()          sums of the counted lines (金额, 单价 and 数量 all filled)
//   grid.writeEdited(row, values)  the line editor's save, every cell at once
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>
#include <stdexcept>

namespace orv {

struct repairFit;

// A cell or field whose text is not a number where a computation needs one.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &text);
    const QString &text() const { return m_text; }
    static QString messageFor(const QString &text);

private:
    QString m_text;
};

// Numbers computed from texts are written back in the general decimal format: at most 15
// significant digits, no trailing zeros, "." as the decimal point (1/3 -> 0.333333333333333).
QString generalNumber(double v);
// The number a text holds; nullopt for an empty text, a lone "." and anything else not a number.
std::optional<double> parseNumber(const QString &text);
// As parseNumber, but throws ConversionError.
double toNumber(const QString &text);

enum class GoodsLineLayout { Standard16, Sales19 };

// Column of each field in a layout; -1 where the layout has none.
struct GoodsLineColumns {
    int count;
    int goodsNo, name, spec, unit, discount, auxQty, qty, price, amount, discounted, goodsID, barcode, place,
        supplier, category, auxUnit, purchasePrice, ratio;
    QStringList titles;
    static const GoodsLineColumns &of(GoodsLineLayout layout);
};

class GoodsLineGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GoodsLineGrid(GoodsLineLayout layout = GoodsLineLayout::Standard16, QObject *parent = nullptr);

    GoodsLineLayout layout() const { return m_layout; }
    const GoodsLineColumns &columns() const { return GoodsLineColumns::of(m_layout); }

    // The grid's RowCount: title row, lines, and the empty row below them (2 when fresh).
    int gridRowCount() const { return int(m_rows.size()) + 1; }
    QString cell(int gridRow, int column) const;
    void setCell(int gridRow, int column, const QString &text);
    // A row whose 编号 is empty once blanks are removed (a deleted line, or the empty row).
    bool isBlank(int gridRow) const;
    // 金额, 单价 and 数量 all non-empty.
    bool isCounted(int gridRow) const;

    // The line holding the goods (编号, 名称 and 仓位 compared exactly); 0 when there is none.
    int find(const QString &goodsNo, const QString &name, const QString &place) const;
    // At least one line with a non-blank 编号.
    bool hasLines() const;

    struct Taken {
        int row = 0;        // the line that now holds the goods: make it current
        bool existing = false; // the goods was already in the grid; nothing was added
        bool openEditor = false; // open the line editor on `row`
    };
    // The receiving side of WM_FIT_CHOSEN: the picker has filled `fit` and raised fit.TargetRow.
    // A line already holding the goods is selected and fit.TargetRow lowered by one; otherwise
    // the line goes into row fit.TargetRow (the empty row when TargetRow points nowhere useful)
    // and a new empty row is added below.
    Taken take(repairFit &fit);
    // The receiving side of WM_PUCH_FIT (a line of an imported document): always a new line at
    // fit.TargetRow, whether or not the grid holds the goods already.
    Taken append(repairFit &fit);

    // What the line editor writes back, every cell at once (discount cells only in Sales19).
    struct Edited {
        QString qty, auxQty, price, amount;
        QString discount, discounted;
    };
    void writeEdited(int gridRow, const Edited &values);

    struct Totals {
        QString amount = QStringLiteral("0"), qty = QStringLiteral("0"), auxQty = QStringLiteral("0");
        int counted = 0; // lines that entered the sums
    };
    // Sums of the counted lines in the general format (an empty 辅助数量 counts as 0); throws
    // ConversionError (naming the text) when a counted line's 数量, 辅助数量 or 金额 is not a number.
    Totals totals() const;

    // Deleting a line blanks it: its row and number stay, it is no longer counted or saved.
    void blankLine(int gridRow);
    // Back to a fresh grid: no lines, RowCount 2.
    void clearLines();
    // Column 0 of every row receives the row's own number ("1", "2", ...).
    void renumber();

    // The cells a view may edit in place (numbers only): 数量 and 单价 unless set; the sales bill
    // edits 折扣 alone. An edit makes 金额 (and 折后金额) of the line follow.
    void setEditableColumns(const QVector<int> &columns) { m_editable = columns; }
    QVector<int> editableColumns() const;

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void ensureRows(int gridRows);
    GoodsLineLayout m_layout;
    QVector<QStringList> m_rows; // grid rows 1 .. RowCount - 1
    std::optional<QVector<int>> m_editable;
};

} // namespace orv
