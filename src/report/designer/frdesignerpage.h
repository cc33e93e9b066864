#pragma once
// The design surface: the current page drawn over its grid with margins and
// columns, the selection marks drawn over it, and the mouse gestures.
//
// The objects are drawn into a cached page layer by the handlers that change
// them (drawing may lay objects out, so it never runs inside paintEvent); the
// paint event copies the layer and draws the marks (handles, move frames, the
// XOR rectangle, the split line and the line preview) as an overlay.
//
// Each gesture is one tool object (frdesignertools.h) made at the press and fed
// the moves until the release.
#include "report/designer/frdesignmodel.h"
#include "report/engine/frhandlerguard.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>

class QScrollArea;
class TfrDesignerForm;
class TfrSurfaceTool;

// What a press with the current cursor starts.
enum TfrSurfaceCursor { ccArrow, ccCross, ccPencil, ccSizeNWSE, ccSizeNESW, ccSizeNS, ccSizeWE, ccSplit };

// The private drag type of data fields dropped onto the surface.
inline constexpr char frFieldMimeType[] = "application/x-orvreport-field";

class TfrDesignerPage : public QWidget {
    Q_OBJECT
public:
    TfrDesignerPage(TfrDesignerForm *designer, TfrDesignModel &model, QWidget *parent = nullptr);
    ~TfrDesignerPage() override;

    TfrDesignerForm *Designer() const { return m_designer; }
    TfrDesignModel &Model() const { return m_model; }

    // --- state of the gestures
    bool MouseIsDown = false;
    bool HasMoved = false;
    bool RubberBand = false;
    bool CtrlAtDown = false;
    bool DragInsert = false;
    bool DrawingSuspended = false;
    bool BandMovePending = false;
    bool SelectionRegionStale = false;
    bool ShowDragRect = false;
    int HoverMode = 1;              // 1 select or line tool, 0 an insertion frame follows the mouse
    int ResizeEdge = 0;
    QPoint LastPoint;
    QRect SplitLine;                // the column split line (x1, y1, x2, y2 as left/top/right/bottom)
    int SplitEdgeX = 0;
    TfrView *SplitLeft = nullptr, *SplitRight = nullptr;
    TfrSurfaceCursor CursorKind() const { return m_cursor; }
    void SetCursorKind(TfrSurfaceCursor c);

    // --- the marks shown over the page
    bool HandlesShown = true;       // selection handles (hidden while a button is down)
    bool DragRectShown = false;     // the XOR rectangle (rubber band, insertion frame)
    bool SplitLineShown = false;
    bool LinePreviewShown = false;
    bool MoveFramesShown = false;   // while dragging with Selection 0

    // --- painting
    // Redraws the objects into the page layer within `region` (all when empty) and
    // schedules the repaint. Objects lay themselves out while drawn.
    void PaintPageObjects(const QRegion &region = QRegion());
    // The whole page: placement, layer and repaint.
    void RedrawPage();
    // Draws every object once on a scratch image so that they lay themselves out.
    void PrimeObjects();
    const QImage &Layer() const { return m_layer; }
    // How many object draws the last PaintPageObjects made (benchmarks).
    int LastDrawCount() const { return m_lastDrawCount; }

    // --- gestures (the event handlers call these; tests may too)
    void PageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint p);
    void PageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPoint p);
    void PageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint p);
    void PageDblClick(QPoint p);
    void PageMouseLeave();
    void ResetMouseState();
    // The tool a press with the current state starts, for tests.
    TfrSurfaceTool *ActiveTool() const { return m_tool.get(); }

    // The scroll box holding the surface, when there is one.
    QScrollArea *ScrollBox() const;
    // The surface's top-left in its scroll box's viewport (negative when scrolled).
    QPoint OriginInScrollBox() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    friend class TfrSurfaceTool;
    void ChooseHoverCursor(QPoint p);
    void AutoScroll(QPoint p);
    void DrawObjects(QPainter &p, const QRegion &region);
    void DrawBackground(QPainter &p, const QRegion &region);
    void DrawMargins(QPainter &p);
    void DrawOverlay(QImage &image, QPoint origin);
    template <typename F> void Guarded(F &&f);

    TfrDesignerForm *m_designer;
    TfrDesignModel &m_model;
    std::unique_ptr<TfrSurfaceTool> m_tool;
    TfrSurfaceCursor m_cursor = ccArrow;
    QImage m_layer;
    int m_lastDrawCount = 0;
    TfrHandlerGuard m_guard{this};
};
