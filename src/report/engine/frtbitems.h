#pragma once
// Items placed on the engine's toolbars: a flat button, a separator and a
// panel for other controls. Placed on a toolbar (a widget of class
// "TfrToolBar"), an item takes the toolbar's direction: aligned to the top
// when the toolbar sits in a left or right dock, else to the left.
#include "report/engine/frspeedbutton.h"

#include <QFrame>
#include <QWidget>

// Alignments as the engine stores them: none 0, top 1, bottom 2, left 3, right 4.
enum TfrAlign { alNone = 0, alTop = 1, alBottom = 2, alLeft = 3, alRight = 4 };

// The alignment an item takes on `parent`: alTop when the parent is a toolbar
// whose own parent (its dock) has the Qt property "Align" left or right, else alLeft.
// Returns `current` when the parent is not a toolbar.
TfrAlign frToolbarItemAlign(const QWidget *parent, TfrAlign current);

class TfrTBButton : public TfrSpeedButton {
    Q_OBJECT
    Q_PROPERTY(int Align READ AlignValue WRITE SetAlignValue)
public:
    explicit TfrTBButton(QWidget *parent = nullptr);
    TfrAlign Align = alLeft;
    int AlignValue() const { return Align; }
    void SetAlignValue(int v) { Align = TfrAlign(v); }

protected:
    void changeEvent(QEvent *e) override;
};

class TfrTBSeparator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Align READ AlignValue WRITE SetAlignValue)
public:
    explicit TfrTBSeparator(QWidget *parent = nullptr);
    TfrAlign Align = alLeft;
    bool DrawBevel = true;
    bool DesignTime = false;
    int AlignValue() const { return Align; }
    void SetAlignValue(int v) { Align = TfrAlign(v); update(); }
    QSize sizeHint() const override { return {8, 8}; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
};

class TfrTBPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int Align READ AlignValue WRITE SetAlignValue)
public:
    explicit TfrTBPanel(QWidget *parent = nullptr);
    TfrAlign Align = alLeft;
    bool DesignTime = false;
    int AlignValue() const { return Align; }
    void SetAlignValue(int v) { Align = TfrAlign(v); }

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
};
