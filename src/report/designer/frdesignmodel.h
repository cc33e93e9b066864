#pragma once
// The designer's editing layer, without widgets: the selection kept in the
// objects' Selected flags with SelectedCount in step, the group frame, snapping,
// hit and handle tests, band order, the geometry and formatting commands, the
// two undo lists and the internal clipboard. The surface and the window call it
// and repaint what it changed.
//
// It never keeps an object pointer or ID across a call that rebuilds the page
// (a build, a reload): Reset() empties both undo lists and the reference object.
#include "report/designer/frdesignersession.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class TfrPage;
class TfrReport;
class TfrView;

// Object restrictions (TfrView::Restrictions).
enum TfrObjectRestriction : quint16 {
    frrfDontEditMemo = 0x01, frrfDontEditScript = 0x02, frrfDontEditContents = 0x04, frrfDontModify = 0x08,
    frrfDontSize = 0x10, frrfDontMove = 0x20, frrfDontDelete = 0x40,
};
// Designer restrictions (TfrDesignModel::DesignerRestrictions).
enum TfrDesignerRestriction : quint16 {
    frdrDontEditObj = 0x0001, frdrDontModifyObj = 0x0002, frdrDontSizeObj = 0x0004, frdrDontMoveObj = 0x0008,
    frdrDontDeleteObj = 0x0010, frdrDontCreateObj = 0x0020, frdrDontDeletePage = 0x0040,
    frdrDontCreatePage = 0x0080, frdrDontEditPage = 0x0100, frdrDontCreateReport = 0x0200,
    frdrDontLoadReport = 0x0400, frdrDontSaveReport = 0x0800, frdrDontPreviewReport = 0x1000,
    frdrDontEditVariables = 0x2000, frdrDontChangeReportOptions = 0x4000,
};

enum TfrUndoAction { acInsert = 0, acDelete = 1, acEdit = 2, acZOrder = 3 };

// What a toolbar control hands to a formatting command.
struct TfrCommandInput {
    bool Down = false;          // the toggle's state after the click
    QString Text;               // a combo's text
    qint32 Color = 0;           // a picked colour
    bool Middle = false, Bottom = false;  // vertical alignment buttons (Tag 15)
};

// Which side or corner a handle is: the resize cursors.
enum TfrHandle { hNone = 0, hTopLeft, hBottomRight, hTopRight, hBottomLeft, hLeft, hRight, hTop, hBottom };
// Sizing cursors of a single resize.
enum TfrSizeCursor { scNone = 0, scNWSE, scNESW, scWE, scNS };

// Bits of SelectionKind.
enum TfrSelectionKind { skBand = 1, skText = 2, skOther = 4, skMany = 8, skClipboard = 0x10 };

// Where the surface goes in its scroll box, and the box's scroll ranges.
struct TfrSurfacePlacement {
    QRect Bounds;
    int VerticalRange = 0, HorizontalRange = 0;
};
TfrSurfacePlacement PlaceSurface(QSize page, int clientWidth, int pagePosition, bool unlimitedHeight,
                                 int scrollBarWidth);

// Width and height of a new text object (grid step and last font size).
QSize DefaultObjectSize(int gridSize, int lastFontSize);

// 18 pixels are 5 mm.
double PixelsToUnits(double v, int units);
double UnitsToPixels(double v, int units);
// The texts of the units panel ("象素", "MM", "英寸").
QString UnitsCaption(int units);
// A pair of values as the coordinates panel writes them ("10;20" or "2.78; 5.56").
QString UnitsPairText(double x, double y, int units);

// Rounding to the nearest integer, halves to the even neighbour.
int frRoundEven(double v);

class TfrDesignModel {
public:
    TfrDesignModel();
    ~TfrDesignModel();
    TfrDesignModel(const TfrDesignModel &) = delete;
    TfrDesignModel &operator=(const TfrDesignModel &) = delete;

    // --- the page and its settings
    void SetPage(TfrPage *page, int pageIndex);
    TfrPage *Page() const { return m_page; }
    int CurPageIndex() const { return m_pageIndex; }
    // Forgets every step, the reference object and the group frame (after a build or reload).
    void Reset();

    TfrDesignerOptions Options;
    int GridStepX() const { return Options.GridSize; }
    int GridStepY() const { return Options.GridSize; }
    quint16 DesignerRestrictions = 0;
    // SetModified(True) of the window: every recorded step and change calls it.
    std::function<void()> Changed;
    // The undo and redo counts changed.
    std::function<void()> UndoStateChanged;

    // --- selection
    int SelectedCount = 0;
    TfrView *ReferenceObject = nullptr;
    int AnchorIndex = -1;
    QPoint SelectionTopLeft{10000, 10000};
    bool SelectionFrameValid = false;
    QRect DragRect, DragRectStart;   // left, top, right, bottom as the gestures keep them

    std::vector<TfrView *> SelectedObjects() const;
    void Select(TfrView *view, bool selected);
    void SelectOnly(TfrView *view);
    void UnselectAll();
    void SelectAll();
    void RecountSelection();
    int LastSelectedIndex() const;
    TfrView *LastSelected() const;
    TfrView *FirstSelectedBand() const;
    int SelectionKind(bool clipboardHasObject) const;
    void ComputeSelectionFrame();
    // Union of the selected objects' extended clipping regions.
    QRect SelectionArea() const;

    // --- hit and handle tests, snapping
    int HitTest(QPoint p) const;             // index, -1 none
    static bool NearPoint(QPoint p, QPoint handle, int t);
    // The handle of `view` under p (t = 2 for the cursor, 3 for deciding the edge).
    TfrHandle HandleAt(const TfrView &view, QPoint p, int t) const;
    void SnapToGrid(int &x, int &y) const;
    // The snapping rule of a drag: false when the delta is ignored (it accumulates).
    bool SnapDelta(int &dx, int &dy, bool altHeld) const;
    bool SnapToCorner(int &x, int &y) const;
    // The split cursor test: true when p lies on a shared edge of two selected objects.
    bool FindColumnSplit(QPoint p, QRect &line, int &edgeX, TfrView *&leftObject, TfrView *&rightObject) const;

    // --- band order
    void SortBands();
    bool PageHasBand(int bandType) const;
    int FirstFreeBandType() const;
    static void NormalizeView(TfrView &view);

    // --- commands (each records one undo step before it changes anything)
    // The formatting command of a toolbar control's Tag. Throws EfrConversionError for
    // an unreadable font size or frame width, before anything changed.
    void DoClick(int tag, const TfrCommandInput &input);
    void NudgeSelection(int dx, int dy, bool resize);
    // Arrow alone: selects the neighbour in that direction; with Alt pushes the
    // selection against it. dir: 0 left, 1 right, 2 up, 3 down. False when none qualifies.
    bool NeighbourStep(int dir, bool alt);
    // Index of the neighbour (the formulas of the step), -1 none.
    int FindNeighbour(int dir) const;
    // Align1 to Align10 (n = 1..10); surface: the surface's size for 3 and 8.
    bool Align(int n, QSize surface);
    void FitToGrid();

    // --- gestures (one undo step at the first real movement, by the caller)
    void MoveSelection(int dx, int dy);
    // Band drag-along: a lone band being moved takes the objects lying inside it.
    bool TakeObjectsInsideBand();
    // Single resize with the given cursor and delta; returns the new edge state.
    void ResizeSingle(TfrSizeCursor cursor, int dx, int dy, QPoint lastPoint, int &resizeEdge);
    // Group resize by a frame delta.
    void ResizeGroup(int dx, int dy);
    void SplitColumns(TfrView *leftObject, TfrView *rightObject, int d);
    // A rubber band ended: objects touching it are selected (bands only when nothing else).
    void SelectInRect(QRect r);

    // --- insertion
    // Inserts an object of a tool (0 text, 1 picture, 10 + n add-in n) into rect; null
    // with `error` set when a once-per-page class is already there.
    TfrView *InsertObject(int tag, QRect rect, int surfaceWidth, QString *error = nullptr);
    TfrView *InsertBand(int bandType, QRect rect, int surfaceWidth);
    TfrView *InsertLine(QRect rect);

    // --- undo and redo
    void RecordUndoStep(int action);
    bool Undo();
    bool Redo();
    void ClearUndo();
    void ClearRedo();
    int UndoCount() const { return int(m_undo.size()); }
    int RedoCount() const { return int(m_redo.size()); }
    static constexpr int MaxSteps = 100;

    // --- clipboard, delete, z-order
    void CopySelection();
    void CutSelection();
    static bool ClipboardHasObject();
    // surfaceOrigin: the surface's top-left in its scroll box (negative when scrolled).
    void Paste(QPoint surfaceOrigin);
    void DeleteSelection();
    void BringToFront();
    void SendToBack();

private:
    struct Entry {
        qint32 ObjectID = 0;
        std::unique_ptr<TfrView> Copy;
        int Position = -1;
    };
    struct Step {
        int Action = acEdit;
        int Page = 0;
        std::vector<Entry> Entries;
    };
    using Pair = std::pair<TfrView *, int>;
    void PushStep(std::deque<Step> &list, int action, const std::vector<Pair> &pairs);
    bool ApplyStep(std::deque<Step> &from, std::deque<Step> &to);
    void MarkChanged();
    void UndoStateChange();
    bool MayMove(const TfrView &v) const;
    bool MaySize(const TfrView &v) const;
    void PrepareNewObject(TfrView &v, bool addIn);
    void AddObject(TfrView *v);
    void PasteOne(QIODevice &s, int pass, QPoint &smallest, QPoint surfaceOrigin, TfrView *targetBand);

    TfrPage *m_page = nullptr;
    int m_pageIndex = 0;
    std::deque<Step> m_undo, m_redo;
};

// A copy of an object made through its record (type code, class name, Assign), keeping its ID.
std::unique_ptr<TfrView> CopyView(TfrView &source);
// The InsertExpression rule: empty stays empty, "[name]" stays, anything else gets brackets.
QString BracketExpression(const QString &text);
