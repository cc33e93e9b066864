#pragma once
// What the warehouse's entry windows (the internal documents and the two transfers) build alike
// around their headers: the bold title, the goods line grid fed by the goods picker and the line
// editor (the goods row's ID and the ratio hidden, no editing in place), the code entry, the total
// with the hidden quantity sums, the print box, the three line buttons and the print run.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"

#include <memory>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class TfrReport;

namespace orv {

class EntryKeys;
class GoodsLineView;

class GoodsEntryWindow : public EntryWindow {
    Q_OBJECT
public:
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void SpeedButton12Click(); // 增加新的货品
    void SpeedButton14Click(); // 修改
    void SpeedButton13Click(); // 删除

    TfrReport &report() { return *frReport1; }
    // What the last print built.
    const PrintRun &lastPrint() const { return m_lastPrint; }
    GoodsLineView *grid() const { return goodsGrid; }

protected:
    // The window under `caption`, its bold title label named `titleName`.
    GoodsEntryWindow(const QString &caption, const char *titleName, QWidget *parent);
    ~GoodsEntryWindow() override;

    // The grid and the controls around it, made after the header's fields (the Tab order), the
    // code entry and the print box under the names the window designs.
    void buildLines(const char *entryName, const char *printBoxName);

    // The grid wired to the picker and editor modes; the totals follow its lines.
    void setUpLines(int fitCaller, int mdfMode, QWidget *focusAfterDelete, QWidget *backField = nullptr);
    // The row below the grid: the code entry after `entryCaption`, the total after `totalCaption`,
    // the hidden sums.
    QHBoxLayout *totalsRow(QLabel *entryCaption, QLabel *totalCaption);
    // A fresh entry: the lines numbered from the first, today's date in `date`, `first` focused.
    void startEntry(QLineEdit *date, QWidget *first);
    void recomputeTotals();
    // The lines emptied, the code entry cleared, the total 0, the print box unchecked.
    void clearLines();
    // True when the code entry holds something to look up (an empty one would match every goods
    // row without a barcode).
    bool entryTyped() const;
    // `build`'s print run, its failure shown instead.
    void runPrint(const std::function<DocumentPrint()> &build);

    GoodsLineGrid m_lines;
    EntryKeys *m_keys = nullptr;

    QLabel *titleLabel;
    GoodsLineView *goodsGrid; // StringGrid1
    QLineEdit *entryEdit;
    QLineEdit *totalEdit;     // Edit1
    QLabel *qtyLabel;         // Label9 (hidden)
    QLabel *auxQtyLabel;      // Label10 (hidden)
    QCheckBox *printBox;      // 打印单据
    QToolButton *addButton, *editButton, *deleteButton; // SpeedButton12, 14, 13

private:
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
};

} // namespace orv
