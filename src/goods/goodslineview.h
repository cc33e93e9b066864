#pragma once
// The goods line grid as an entry window shows it (StringGrid1): a table view over a
// GoodsLineGrid with the window's column widths, the editor on a double-click, and the keys of
// the entry windows: Enter, Down and Right ask for the goods picker (also while a cell is
// edited), Left and Up hand the focus back to the field before the grid; the mouse wheel moves
// the current line by one row.
#include "goods/goodslines.h"

#include <QTableView>
#include <QVector>

namespace orv {

class GoodsLineView : public QTableView {
    Q_OBJECT
public:
    // `widths` by column; a negative width hides the column. `inPlace`: the grid's editable
    // columns (数量 and 单价 of the purchase order, 折扣 of the sales bill) are edited in their
    // cells, else whole rows are selected and nothing is edited.
    GoodsLineView(GoodsLineGrid *lines, const QVector<int> &widths, bool inPlace, QWidget *parent = nullptr);

    GoodsLineGrid *lines() const { return m_lines; }
    // The grid row of the current line (1 = the first line); 0 when none.
    int currentGridRow() const;
    void setCurrentGridRow(int gridRow);

signals:
    void pickerRequested(); // Enter, Down, Right
    void backRequested();   // Left, Up
    void editRequested();   // double-click on a line with a 编号
    void cellEdited();      // an in-place edit reached the line (its amount follows)

protected slots:
    void commitData(QWidget *editor) override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    bool navigationKey(int key);
    GoodsLineGrid *m_lines;
    bool m_inPlace;
};

} // namespace orv
