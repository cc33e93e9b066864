#pragma once
// The gestures of the design surface, one object each: made when a button goes
// down, fed the moves, finished by the release. The surface chooses the tool
// from its cursor and the press (rubber band, insertion frame, line, move,
// single resize, group resize, column split).
#include <QPoint>
#include <functional>
#include <QRegion>
#include <Qt>

class TfrDesignerPage;
class TfrDesignModel;

class TfrSurfaceTool {
public:
    explicit TfrSurfaceTool(TfrDesignerPage &page);
    virtual ~TfrSurfaceTool() = default;
    // The mouse moved with the button down.
    virtual void Move(QPoint p, Qt::KeyboardModifiers mods) = 0;
    virtual void Release(QPoint p) = 0;
    virtual const char *Name() const = 0;

protected:
    TfrDesignModel &Model() const;
    // The snapped delta from the last point; false when it is ignored.
    bool Delta(QPoint p, Qt::KeyboardModifiers mods, int &dx, int &dy) const;
    // One step of a drag that changes the selection: the snapped delta, the first
    // movement's undo step, the change, and the repaint of the area it touched.
    void Step(QPoint p, Qt::KeyboardModifiers mods, const std::function<void(int dx, int dy)> &change);
    virtual void BeforeStep(Qt::KeyboardModifiers) {}
    // At the first real movement of a drag: one undo step for the whole drag, and the
    // area the selection covered then (repainted when the drag ends).
    void FirstMovement();
    TfrDesignerPage &m_page;
    QRegion m_startArea;
};

// Rubber-band selection, and the frame of an insertion tool.
class TfrRubberBandTool : public TfrSurfaceTool {
public:
    TfrRubberBandTool(TfrDesignerPage &page, bool inserting);
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return m_inserting ? "insert" : "rubberband"; }
private:
    bool m_inserting;
};

class TfrLineTool : public TfrSurfaceTool {
public:
    using TfrSurfaceTool::TfrSurfaceTool;
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return "line"; }
};

class TfrMoveTool : public TfrSurfaceTool {
public:
    using TfrSurfaceTool::TfrSurfaceTool;
    void BeforeStep(Qt::KeyboardModifiers mods) override;
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return "move"; }
};

class TfrResizeTool : public TfrSurfaceTool {
public:
    using TfrSurfaceTool::TfrSurfaceTool;
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return "resize"; }
};

class TfrGroupResizeTool : public TfrSurfaceTool {
public:
    using TfrSurfaceTool::TfrSurfaceTool;
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return "groupresize"; }
};

class TfrSplitTool : public TfrSurfaceTool {
public:
    using TfrSurfaceTool::TfrSurfaceTool;
    void Move(QPoint p, Qt::KeyboardModifiers mods) override;
    void Release(QPoint p) override;
    const char *Name() const override { return "split"; }
};
