#pragma once
// A dock at one edge of a window: toolbars lie in it in rows of RowSize pixels.
// The dock keeps its outer edge; re-laying it (AdjustBounds) removes empty rows,
// opens a row for a toolbar moved beyond the last one and sets its thickness
// (1 pixel without toolbars). In a layout its fixed thickness is what it asks for.
#include "report/engine/frdocklayout.h"

#include <QWidget>

class TfrDock : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Align READ Align)
    Q_PROPERTY(int RowSize READ RowSize WRITE SetRowSize)
public:
    // align: frdock::alTop, alBottom, alLeft or alRight.
    explicit TfrDock(int align, QWidget *parent = nullptr);

    int Align() const { return m_align; }
    int RowSize() const { return m_rowSize; }
    void SetRowSize(int rowSize) { m_rowSize = rowSize > 0 ? rowSize : 1; }
    // Height of a top or bottom dock, width of a left or right one.
    int Thickness() const;

    void AdjustBounds();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setThickness(int thickness);
    int m_align;
    int m_rowSize = 26;
};
