#pragma once
// The small tool window that holds a floating toolbar. It has a thin caption of
// its own and moves by its own drag handling (a press on the caption counts as a
// press on the window): while it is dragged an outline shows where it will go, and
// over a dock of its owner window the toolbar docks there at once and the drag
// goes on as the toolbar's drag inside the dock. Where the window system does not
// let a program place its windows, the window opens where the system puts it.
#include "report/engine/frhandlerguard.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class QRubberBand;
class TfrToolBar;

class TfrFloatWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int CaptionHeight = 12;

    // A tool window owned by `owner` (it stays above it), hosting `toolbar`.
    TfrFloatWindow(QWidget *owner, TfrToolBar *toolbar);
    ~TfrFloatWindow() override;

    TfrToolBar *ToolBar() const { return m_toolbar; }
    QWidget *Owner() const { return m_owner; }
    // The area below the caption, where the toolbar sits.
    QPoint ClientOrigin() const { return QPoint(0, CaptionHeight); }
    QSize ClientSize() const { return QSize(width(), height() - CaptionHeight); }
    void SetClientSize(int width, int height) { resize(width, height + CaptionHeight); }

    // Starts the window drag as if pressed at `pointer` (screen coordinates).
    void BeginDrag(const QPoint &pointer);
    // The same handlers the mouse events use, in screen coordinates.
    void DragMove(const QPoint &pointer);
    void DragRelease();
    bool Dragging() const { return m_dragging; }
    // Where the drag would leave the window (screen coordinates).
    QRect DragRect() const { return m_dragRect; }
    // The drop outline while dragging.
    QRubberBand *DragFrame() const { return m_frame; }

    // The toolbar no longer lives here (it docked).
    void ReleaseToolBar();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The mouse events, through the drag handlers above behind the window's error guard.
    void handleMouse(QMouseEvent *event);
    void endDrag();
    QPointer<TfrToolBar> m_toolbar;
    QPointer<QWidget> m_owner;
    bool m_dragging = false;
    QPoint m_grabOffset;
    QRect m_dragRect;
    QRubberBand *m_frame = nullptr;
    TfrHandlerGuard m_guard{this};
};
