#pragma once
// A toolbar that lies in a dock (TfrDock) or floats in its own small window
// (TfrFloatWindow), and its grip (TfrDragBox).
//
//     auto *top = new TfrDock(frdock::alTop, form);        // docks at the form's edges
//     auto *bar = new TfrToolBar(top);
//     bar->setObjectName("StandardBar");                  // names the stored state
//     new TfrTBButton(bar); ...                            // items (any child widgets)
//     bar->AddToDock(top);                                 // a new row behind the last
//     RestoreToolbarState(bar);  ...  SaveToolbarState(bar);
//
// Dragging the grip or the free area moves the toolbar along its row in pixels and
// across the rows a row at a time; more than 20 pixels past the dock's start, or
// out of the dock's rows, tears it off (when CanFloat). A floating toolbar dragged
// over a dock of its window docks there, turning upright in a left or right dock
// (unless its Orientation forbids that dock).
//
// Items are the toolbar's child widgets in the order they were added; each keeps its
// alignment in the Qt property "Align" (frdock::alLeft ...), set to the toolbar's
// direction when an item arrives without one.
#include "report/engine/frdocklayout.h"
#include "report/engine/frhandlerguard.h"

#include <QPointer>
#include <QWidget>

class TfrDock;
class TfrFloatWindow;
class TfrToolBar;

class TfrDragBox : public QWidget {
    Q_OBJECT
public:
    explicit TfrDragBox(TfrToolBar *toolbar);
    int Align = frdock::alLeft;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TfrToolBar *m_toolbar;
};

class TfrToolBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool CanFloat MEMBER CanFloat)
    Q_PROPERTY(int Orientation MEMBER Orientation)
public:
    static constexpr int GripSize = 11;

    // parent: the dock it starts in, or the form it belongs to.
    explicit TfrToolBar(QWidget *parent = nullptr);
    ~TfrToolBar() override;

    bool CanFloat = true;
    int Orientation = frdock::toAny;   // toAny, toVertOnly, toHorzOnly

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }

    bool IsFloating() const { return m_floating; }
    TfrDock *Dock() const;
    TfrFloatWindow *GetFloatWindow() const { return m_floatWindow; }
    TfrDragBox *DragBox() const { return m_grip; }
    // frdock::orHorizontal in a top or bottom dock, orVertical in a left or right
    // dock, orNone floating.
    int DockOrientation() const;
    // The form the toolbar belongs to (the window of its dock; kept while it floats).
    QWidget *OwnerForm() const { return m_owner; }
    // The items in their order (the grip not included).
    QList<QWidget *> Items() const;

    // Of the floating window while floating, else of the toolbar (its dock is
    // re-laid: a hidden toolbar gives its row up).
    bool IsVisible() const;
    void SetVisible(bool visible);

    void DockTo(TfrDock *dock, int x, int y);
    // Docks in a new row behind the dock's last one.
    void AddToDock(TfrDock *dock);
    // Floats in its own window at (x, y) on the screen, or moves that window there.
    void FloatAt(int x, int y);
    // Floats at the pointer and goes on with the same drag as the window's drag.
    void FloatAtCursor();
    void FloatAtCursor(const QPoint &pointer);
    // Docks into the first dock of `container` that holds `point` (container
    // coordinates), if its Orientation allows that dock, and goes on with the drag
    // inside the dock. False when no dock holds the point or it may not dock there.
    bool TryDock(QWidget *container, const QPoint &point);
    // Moves the docked toolbar to (x, y) of its dock, away from other toolbars in its
    // row; tears it off when dragged past the dock's start or out of its rows. False
    // when there is no room (the toolbar stays).
    bool MoveInDock(int x, int y);
    void ArrangeItems();
    // ArrangeItems, then the length that fits the visible items.
    void AdjustBounds();

    // The drag handlers of the grip and the free area (screen coordinates).
    void DragPress(const QPoint &pointer);
    void DragMove(const QPoint &pointer);
    void DragRelease();
    bool Dragging() const { return m_dragging; }

    // Called by a floating window that is being destroyed with the toolbar in it.
    void FloatWindowGone(TfrFloatWindow *window);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void childEvent(QChildEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TfrDragBox;
    // The mouse events of the toolbar and its grip: the drag handlers above, behind
    // the window's error guard.
    void handleMouse(QMouseEvent *event);
    QList<frdock::BarItem> barItems() const;
    void realign();
    void beginDockedDrag(const QPoint &pointer);

    TfrDragBox *m_grip = nullptr;
    QPointer<TfrFloatWindow> m_floatWindow;
    QPointer<QWidget> m_owner;
    QList<QPointer<QWidget>> m_items;
    QList<QPointer<QWidget>> m_newItems;   // placed behind the others when next laid out
    bool m_floating = false;
    bool m_dragging = false;
    QPoint m_lastPos;
    QPoint m_pointer;
    bool m_realigning = false;
    TfrHandlerGuard m_guard{this};
};

// The toolbar's place in the user's settings under RegistryRootKey + "\ToolBar\" +
// its objectName: "isFloat", "isVisible", "XPosition", "YPosition", "Width",
// "Height" and, docked, "DockName".
QString frToolbarStateGroup(const QString &toolbarName);
void SaveToolbarState(TfrToolBar *toolbar);
// Restores what SaveToolbarState wrote. Missing values keep the current ones; a
// DockName that names no dock of the toolbar's form leaves it where it is; a
// docked position is brought within its dock (frdock::restorePosition) and a
// floating window is kept on the available screen.
void RestoreToolbarState(TfrToolBar *toolbar);
