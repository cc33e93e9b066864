#include "report/designer/frdesignertools.h"
#include "report/designer/frdesignerform.h"
#include "report/designer/frdesignerpage.h"

#include "report/engine/frband.h"
#include "report/engine/frcontrol.h"
#include "report/engine/frpage.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include "common/prompt.h"

#include <functional>

namespace {
// The area a set of objects covers on screen (their extended clipping regions).
QRegion areaOf(const std::vector<TfrView *> &views)
{
    QRegion r;
    for (TfrView *v : views)
        r += v->GetClipRgn(true);
    return r;
}

bool hasCrossView(const std::vector<TfrView *> &views)
{
    for (TfrView *v : views)
        if (v->ClassName() == QLatin1String("TfrCrossView"))
            return true;
    return false;
}
} // namespace

TfrSurfaceTool::TfrSurfaceTool(TfrDesignerPage &page) : m_page(page) {}

TfrDesignModel &TfrSurfaceTool::Model() const { return m_page.Model(); }

bool TfrSurfaceTool::Delta(QPoint p, Qt::KeyboardModifiers mods, int &dx, int &dy) const
{
    dx = p.x() - m_page.LastPoint.x();
    dy = p.y() - m_page.LastPoint.y();
    return Model().SnapDelta(dx, dy, mods & Qt::AltModifier) && (dx != 0 || dy != 0);
}

void TfrSurfaceTool::FirstMovement()
{
    if (!m_page.SelectionRegionStale)
        return;
    m_page.SelectionRegionStale = false;
    m_startArea = areaOf(Model().SelectedObjects());
    Model().RecordUndoStep(acEdit);
}

// Repaints after a step of a drag: the area before and after (contents follow), or
// only the frames (Selection 0).
static void repaintStep(TfrDesignerPage &page, const QRegion &before)
{
    TfrDesignModel &m = page.Model();
    const std::vector<TfrView *> sel = m.SelectedObjects();
    if (m.Options.Selection == 0) {
        page.update(before + areaOf(sel));
    } else if (hasCrossView(sel)) {
        page.PaintPageObjects();
    } else {
        page.PaintPageObjects(before + areaOf(sel));
    }
    if (page.Designer())
        page.Designer()->UpdateCoordinates();
}

// The end of a move, resize or split: the objects settle and the toolbars follow.
static void finishDrag(TfrDesignerPage &page, bool resized, const QRegion &startArea)
{
    TfrDesignModel &m = page.Model();
    if (!page.HasMoved) {
        if (page.Designer())
            page.Designer()->SyncToolbarsWithSelection();
        page.update();
        return;
    }
    const QRegion before = startArea + areaOf(m.SelectedObjects());
    if (m.SelectedCount == 1) {
        TfrView *v = m.LastSelected();
        TfrDesignModel::NormalizeView(*v);
        if (resized)
            v->Resized();
    } else {
        m.ComputeSelectionFrame();
    }
    page.PaintPageObjects(before + areaOf(m.SelectedObjects()));
    if (page.Designer())
        page.Designer()->SyncToolbarsWithSelection();
}

// ---------------------------------------------------------------------------

TfrRubberBandTool::TfrRubberBandTool(TfrDesignerPage &page, bool inserting)
    : TfrSurfaceTool(page), m_inserting(inserting)
{
}

void TfrRubberBandTool::Move(QPoint p, Qt::KeyboardModifiers)
{
    int x = p.x(), y = p.y();
    if (m_inserting)
        Model().SnapToGrid(x, y);
    const QRect before = Model().DragRect.normalized();
    Model().DragRect.setBottomRight(QPoint(x, y));
    m_page.DragRectShown = true;
    if (m_inserting && m_page.Designer()) {
        m_page.ShowDragRect = true;
        m_page.Designer()->UpdateCoordinates();
        m_page.ShowDragRect = false;
    }
    m_page.update(before.united(Model().DragRect.normalized()).adjusted(-2, -2, 2, 2));
}

void TfrRubberBandTool::Release(QPoint)
{
    TfrDesignModel &m = Model();
    TfrDesignerForm *form = m_page.Designer();
    m_page.DragRectShown = false;
    m_page.RubberBand = false;
    if (!m_inserting) {
        m.SelectInRect(m.DragRect);
        if (form)
            form->SyncToolbarsWithSelection();
        m_page.update();
        return;
    }
    m_page.HoverMode = 1;
    QRect r = m.DragRect;
    if (r.left() == r.right() && r.top() == r.bottom())
        r = m.DragRectStart;
    r = QRect(QPoint(std::min(r.left(), r.right()), std::min(r.top(), r.bottom())),
              QPoint(std::max(r.left(), r.right()), std::max(r.top(), r.bottom())));
    m.DragRect = r;
    const QRect frame(r.topLeft(), QSize(r.right() - r.left(), r.bottom() - r.top()));
    const int tag = form ? form->CurrentObjectTool() : 0;
    TfrView *v = nullptr;
    if (!(m.DesignerRestrictions & frdrDontCreateObj)) {
        if (tag == 2) {
            const int type = form ? form->ChooseBandType() : -1;
            m_page.ResetMouseState();
            if (type >= 0)
                v = m.InsertBand(type, frame, m_page.width());
        } else if (tag == 3) {
            v = form ? form->InsertSubReport(frame) : nullptr;
        } else {
            QString error;
            v = m.InsertObject(tag, frame, m_page.width(), &error);
            if (!v && !error.isEmpty()) {
                orv::prompt().message(form, GetLocalizedString(frRes::Error), error, QMessageBox::Critical);
                m_page.ResetMouseState();
            }
        }
    }
    if (v) {
        m_page.PaintPageObjects(v->GetClipRgn(true));
        if (form) {
            form->SyncToolbarsWithSelection();
            if (m.Options.EditAfterInsert && !m_page.DragInsert && !dynamic_cast<TfrControl *>(v)) {
                form->ShowObjectEditor();
                m_page.ResetMouseState();
            }
        }
    }
    if (form && form->KeepInsertTool) {
        m_page.DragRectShown = true;
    } else if (form) {
        form->PressSelectTool();
        m_page.SetCursorKind(ccArrow);
    }
    m_page.update();
}

// ---------------------------------------------------------------------------

void TfrLineTool::Move(QPoint p, Qt::KeyboardModifiers mods)
{
    int dx, dy;
    if (!Delta(p, mods, dx, dy))
        return;
    QRect &d = Model().DragRect;
    d.setRight(d.right() + dx);
    d.setBottom(d.bottom() + dy);
    m_page.LastPoint += QPoint(dx, dy);
    m_page.LinePreviewShown = true;
    m_page.update();
}

void TfrLineTool::Release(QPoint)
{
    m_page.LinePreviewShown = false;
    TfrView *v = Model().InsertLine(Model().DragRect);
    if (v) {
        m_page.PaintPageObjects(v->GetClipRgn(true));
        if (m_page.Designer())
            m_page.Designer()->SyncToolbarsWithSelection();
    }
    m_page.update();
}

// ---------------------------------------------------------------------------

void TfrSurfaceTool::Step(QPoint p, Qt::KeyboardModifiers mods, const std::function<void(int, int)> &change)
{
    int dx, dy;
    if (!Delta(p, mods, dx, dy))
        return;
    BeforeStep(mods);
    FirstMovement();
    const QRegion before = areaOf(Model().SelectedObjects());
    change(dx, dy);
    m_page.LastPoint += QPoint(dx, dy);
    repaintStep(m_page, before);
}

void TfrMoveTool::BeforeStep(Qt::KeyboardModifiers mods)
{
    // A lone band takes along what lies inside it, before the drag's one step is recorded.
    if (m_page.BandMovePending && !(mods & Qt::AltModifier) && Model().TakeObjectsInsideBand() && m_page.Designer())
        m_page.Designer()->SyncToolbarsWithSelection();
    m_page.BandMovePending = false;
}

void TfrMoveTool::Move(QPoint p, Qt::KeyboardModifiers mods)
{
    Step(p, mods, [this](int dx, int dy) { Model().MoveSelection(dx, dy); });
}

void TfrMoveTool::Release(QPoint) { finishDrag(m_page, false, m_startArea); }

void TfrResizeTool::Move(QPoint p, Qt::KeyboardModifiers mods)
{
    TfrSizeCursor c = scNone;
    switch (m_page.CursorKind()) {
    case ccSizeNWSE: c = scNWSE; break;
    case ccSizeNESW: c = scNESW; break;
    case ccSizeNS: c = scNS; break;
    case ccSizeWE: c = scWE; break;
    default: return;
    }
    Step(p, mods, [this, c](int dx, int dy) { Model().ResizeSingle(c, dx, dy, m_page.LastPoint, m_page.ResizeEdge); });
}

void TfrResizeTool::Release(QPoint) { finishDrag(m_page, true, m_startArea); }

void TfrGroupResizeTool::Move(QPoint p, Qt::KeyboardModifiers mods)
{
    Step(p, mods, [this](int dx, int dy) { Model().ResizeGroup(dx, dy); });
}

void TfrGroupResizeTool::Release(QPoint)
{
    TfrDesignModel &m = Model();
    if (m_page.HasMoved) {
        m_page.PaintPageObjects(m_startArea + areaOf(m.SelectedObjects()));
        m.ComputeSelectionFrame();
    }
    if (m_page.Designer())
        m_page.Designer()->SyncToolbarsWithSelection();
}

void TfrSplitTool::Move(QPoint p, Qt::KeyboardModifiers mods)
{
    int dx = p.x() - m_page.LastPoint.x(), dy = 0;
    if (!Model().SnapDelta(dx, dy, mods & Qt::AltModifier) || dx == 0)
        return;
    FirstMovement();
    m_page.SplitLine.translate(dx, 0);
    m_page.SplitLineShown = true;
    m_page.LastPoint.rx() += dx;
    m_page.update();
}

void TfrSplitTool::Release(QPoint)
{
    TfrDesignModel &m = Model();
    m_page.SplitLineShown = false;
    if (m_page.HasMoved && m.SelectionFrameValid) {
        const QRegion before = areaOf(m.SelectedObjects());
        m.SplitColumns(m_page.SplitLeft, m_page.SplitRight, m_page.SplitLine.left() - m_page.SplitEdgeX);
        m.ComputeSelectionFrame();
        m_page.PaintPageObjects(before + areaOf(m.SelectedObjects()));
    }
    if (m_page.Designer())
        m_page.Designer()->SyncToolbarsWithSelection();
}
