#pragma once
// The geometry of docks and toolbars, without widgets: rows of a dock, a toolbar's
// move along and across them, and the order and alignment of a toolbar's items.
// TfrDock and TfrToolBar apply these to their widgets.
//
// Coordinates are those of the dock (toolbar rectangles) or the toolbar (items).
// A dock's rows are RowSize thick and counted from its outer edge: for a top or left
// dock from 0, for a bottom or right dock from its far edge inwards (a toolbar then
// belongs to a row by its far edge).
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace frdock {

// Alignments as the engine stores them.
constexpr int alNone = 0, alTop = 1, alBottom = 2, alLeft = 3, alRight = 4;
// A toolbar's dock orientation: horizontal in a top or bottom dock, vertical in a
// left or right dock, none while floating.
constexpr int orNone = 0, orHorizontal = 1, orVertical = 3;
// TfrToolBar.Orientation: where a toolbar may dock.
constexpr int toAny = 0, toVertOnly = 1, toHorzOnly = 2;

inline bool isHorizontalSide(int align) { return align == alTop || align == alBottom; }
inline bool isFarSide(int align) { return align == alBottom || align == alRight; }
inline int orientationOf(int dockAlign)
{
    return isHorizontalSide(dockAlign) ? orHorizontal : (dockAlign == alLeft || dockAlign == alRight ? orVertical : orNone);
}

struct DockItem {
    QRect rect;
    bool visible = true;
};

// Re-lays a dock (TfrDock.AdjustBounds): removes empty rows, makes room for
// toolbars that lie beyond its inner edge (or, in a bottom or right dock, before
// its origin, shifting every toolbar inwards), and returns the new thickness
// (1 for a dock without toolbars). Items are moved in place.
int relayDock(int align, int thickness, int rowSize, QList<DockItem> &items);

// The adjustment passes of TfrToolBar.MoveInDock for a toolbar asked to move to
// `wanted` in a dock of `dockSize`; `others` are the other visible toolbars there.
struct MoveResult {
    bool refused = false;    // the first two passes both had to move it: no room
    bool floating = false;   // dragged more than 20 pixels past the dock's start
    QPoint pos;              // where it goes when neither
};
MoveResult moveInDock(int dockAlign, QSize dockSize, QSize barSize, const QList<QRect> &others, QPoint wanted,
                      bool canFloat);

// Where a toolbar stored at `stored` goes when its state is restored into a dock of
// `dockSize` (barSize as stored; docked, its long side lies along the rows): along
// the rows within the dock's length, from its start when it is longer than the dock;
// across them from the outer edge and within `maxRows` rows, so that a position
// from a damaged or foreign state neither hides the toolbar nor makes the dock grow
// to reach it.
QPoint restorePosition(int dockAlign, QSize dockSize, QSize barSize, int rowSize, int maxRows, QPoint stored);

// Items of a toolbar in control order. The grip (when there is one) is the first
// item and stays first.
struct BarItem {
    QRect rect;
    int align = alLeft;
    bool visible = true;
    bool grip = false;
    int tag = 0;        // the caller's own reference
};

// TfrToolBar.ArrangeItems: sorts the items by position and turns them to the
// toolbar's orientation (swapping the toolbar's width and height when it lies the
// wrong way), keeping their order.
void arrangeItems(int orientation, QSize &barSize, QList<BarItem> &items);
// Places aligned items inside `client` as aligned controls are placed: top, bottom,
// left, right, each group in order of position. Items aligned none keep their place.
void alignItems(const QRect &client, QList<BarItem> &items);
// The toolbar's length along its orientation: its visible items plus 4.
int barLength(int orientation, const QList<BarItem> &items);

} // namespace frdock
