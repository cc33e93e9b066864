#include "report/designer/frdesignerpage.h"
#include "report/designer/frdesignerform.h"
#include "report/designer/frdesignertools.h"

#include "report/engine/frband.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpage.h"
#include "report/engine/frstatescope.h"
#include "report/engine/frutils.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace {
// Band drawing and band alignment need the page; the globals come back after drawing.
struct DesignDrawScope {
    TfrEngineStateScope scope;
    explicit DesignDrawScope(TfrPage *page)
    {
        EngineMode = 0;
        CurrentPage = page;
        frAlignToPage(page);
    }
};

void prepareForDrawing(TfrView *v, TfrPage *page, bool bandTitles)
{
    v->ZoomX = v->ZoomY = 1;
    v->OffsetX = v->OffsetY = 0;
    v->ToPrinter = false;
    if (auto *b = dynamic_cast<TfrBandView *>(v)) {
        b->ShowBandTitles = bandTitles;
        b->PageLeftMargin = page->LeftMargin();
        b->PrintableWidth = page->PrnInfo.PageWidth;
        b->PrintableHeight = page->PrnInfo.PageHeight;
    }
}

QCursor pencilCursor()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(1, 15, 14, 2);
    return QCursor(pm, 1, 15);
}
} // namespace

TfrDesignerPage::TfrDesignerPage(TfrDesignerForm *designer, TfrDesignModel &model, QWidget *parent)
    : QWidget(parent), m_designer(designer), m_model(model)
{
    setObjectName(QStringLiteral("DesignSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAutoFillBackground(false);
}

TfrDesignerPage::~TfrDesignerPage() = default;

template <typename F> void TfrDesignerPage::Guarded(F &&f)
{
    if (!m_guard.Run(std::forward<F>(f), true))
        ResetMouseState();
}

void TfrDesignerPage::SetCursorKind(TfrSurfaceCursor c)
{
    if (c == m_cursor)
        return;
    m_cursor = c;
    switch (c) {
    case ccArrow: setCursor(Qt::ArrowCursor); break;
    case ccCross: setCursor(Qt::CrossCursor); break;
    case ccPencil: setCursor(pencilCursor()); break;
    case ccSizeNWSE: setCursor(Qt::SizeFDiagCursor); break;
    case ccSizeNESW: setCursor(Qt::SizeBDiagCursor); break;
    case ccSizeNS: setCursor(Qt::SizeVerCursor); break;
    case ccSizeWE: setCursor(Qt::SizeHorCursor); break;
    case ccSplit: setCursor(Qt::SplitHCursor); break;
    }
}

QScrollArea *TfrDesignerPage::ScrollBox() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (auto *s = qobject_cast<QScrollArea *>(w))
            return s;
    return nullptr;
}

QPoint TfrDesignerPage::OriginInScrollBox() const
{
    QScrollArea *box = ScrollBox();
    return box ? mapTo(box->viewport(), QPoint(0, 0)) : pos();
}

void TfrDesignerPage::ResetMouseState()
{
    MouseIsDown = false;
    RubberBand = false;
    ResizeEdge = 0;
    m_tool.reset();
    DragRectShown = SplitLineShown = LinePreviewShown = MoveFramesShown = false;
    HandlesShown = true;
    SetCursorKind(ccArrow);
    update();
}

// ---------------------------------------------------------------------------
// Painting

void TfrDesignerPage::resizeEvent(QResizeEvent *)
{
    if (m_layer.size() != size())
        PaintPageObjects();
}

void TfrDesignerPage::RedrawPage()
{
    if (m_designer)
        m_designer->PlaceSurface();
    PaintPageObjects();
}

void TfrDesignerPage::PrimeObjects()
{
    TfrPage *page = m_model.Page();
    if (!page)
        return;
    DesignDrawScope scope(page);
    QImage scratch(8, 8, QImage::Format_RGB32);
    QPainter p(&scratch);
    for (TfrView *v : page->Objects) {
        prepareForDrawing(v, page, m_model.Options.BandTitles);
        v->Draw(&p);
    }
}

void TfrDesignerPage::PaintPageObjects(const QRegion &region)
{
    m_lastDrawCount = 0;
    if (DrawingSuspended || size().isEmpty())
        return;
    if (m_layer.size() != size()) {
        m_layer = QImage(size(), QImage::Format_RGB32);
        m_layer.fill(Qt::white);
    }
    const QRegion area = region.isEmpty() ? QRegion(m_layer.rect()) : (region & m_layer.rect());
    if (area.isEmpty())
        return;
    QPainter p(&m_layer);
    p.setClipRegion(area);
    DrawBackground(p, area);
    if (m_model.Page())
        DrawObjects(p, area);
    p.setClipping(false);
    p.setClipRegion(area);
    DrawMargins(p);
    p.end();
    update(area);
}

void TfrDesignerPage::DrawBackground(QPainter &p, const QRegion &area)
{
    const QColor pageColour = Qt::white;
    const TfrDesignerOptions &o = m_model.Options;
    if (o.GridShow && o.GridSize != 18) {
        QImage brush(8, 8, QImage::Format_RGB32);
        brush.fill(pageColour);
        brush.setPixel(0, 0, qRgb(0, 0, 0));
        if (o.GridSize == 4)
            for (const QPoint q : {QPoint(4, 0), QPoint(0, 4), QPoint(4, 4)})
                brush.setPixel(q, qRgb(0, 0, 0));
        p.setBrushOrigin(0, 0);
        for (const QRect &r : area)
            p.fillRect(r, QBrush(brush));
        return;
    }
    for (const QRect &r : area)
        p.fillRect(r, pageColour);
    if (o.GridShow) {
        const int step = o.GridSize;
        QPolygon dots;
        for (const QRect &r : area)
            for (int y = (r.top() + step - 1) / step * step; y <= r.bottom(); y += step)
                for (int x = (r.left() + step - 1) / step * step; x <= r.right(); x += step)
                    dots << QPoint(x, y);
        p.setPen(QPen(Qt::black, 1));
        p.drawPoints(dots);
    }
}

void TfrDesignerPage::DrawObjects(QPainter &p, const QRegion &area)
{
    TfrPage *page = m_model.Page();
    DesignDrawScope scope(page);
    static const QImage scriptMark = [] {
        QImage m(7, 7, QImage::Format_RGB32);
        m.fill(qRgb(0, 128, 0));
        return m;
    }();
    static const QImage highlightMark = [] {
        QImage m(7, 7, QImage::Format_RGB32);
        m.fill(qRgb(255, 0, 0));
        return m;
    }();
    for (TfrView *v : page->Objects) {
        const QRegion clip = v->GetClipRgn(false);
        if (!v->Selected && !clip.intersects(area))
            continue;
        prepareForDrawing(v, page, m_model.Options.BandTitles);
        p.save();
        v->Draw(&p);
        p.restore();
        ++m_lastDrawCount;
        if (!v->Script.isEmpty())
            p.drawImage(v->Left + 1, v->Top + 1, scriptMark);
        if (auto *m = dynamic_cast<TfrMemoView *>(v); m && !m->HighlightCondition.isEmpty())
            p.drawImage(v->Left + 1, v->Top + 10, highlightMark);
    }
}

void TfrDesignerPage::DrawMargins(QPainter &p)
{
    TfrPage *page = m_model.Page();
    if (!page || page->PageType != ptReport)
        return;
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.setBrush(Qt::NoBrush);
    if (page->UseMargins)
        p.drawRect(QRect(QPoint(page->LeftMargin(), page->TopMargin()),
                         QPoint(page->RightMargin(), page->BottomMargin())));
    if (page->ColCount >= 2) {
        page->ColWidth = (page->RightMargin() - page->LeftMargin() - (page->ColCount - 1) * page->ColGap)
                         / page->ColCount;
        QPen dotted(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine);
        p.setPen(dotted);
        int x = page->LeftMargin();
        for (int i = 0; i < page->ColCount; ++i) {
            p.drawRect(QRect(QPoint(x, -1), QPoint(x + page->ColWidth + 1, page->PrnInfo.PageHeight + 1)));
            x += page->ColWidth + page->ColGap;
        }
    }
}

namespace {
// The marks are drawn by XOR into a copy of the page layer: drawing one twice gives the
// page back, and the result is the same on every paint device.
class XorCanvas {
public:
    XorCanvas(QImage &image, QPoint origin) : m_image(image), m_origin(origin) {}
    void Block(const QRect &r, QRgb colour)
    {
        const QRect area = r.translated(-m_origin) & m_image.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x)
                line[x] ^= (colour & 0xFFFFFF);
        }
    }
    // An axis-parallel line of the given width, both ends included.
    void Line(QPoint a, QPoint b, QRgb colour, int width = 1)
    {
        const int lo = -(width - 1) / 2, hi = width / 2;
        if (a.y() == b.y())
            Block(QRect(QPoint(std::min(a.x(), b.x()), a.y() + lo), QPoint(std::max(a.x(), b.x()), a.y() + hi)),
                  colour);
        else
            Block(QRect(QPoint(a.x() + lo, std::min(a.y(), b.y())), QPoint(a.x() + hi, std::max(a.y(), b.y()))),
                  colour);
    }
    // The outline of the rectangle from (l, t) to (r, b), corners included once.
    void Frame(int l, int t, int r, int b, QRgb colour)
    {
        if (r - l <= 1 || b - t <= 1) {
            Line({l, t}, r - l <= 1 ? QPoint(l, b) : QPoint(r, t), colour);
            return;
        }
        Line({l, t}, {r - 1, t}, colour);
        Line({l, b - 1}, {r - 1, b - 1}, colour);
        if (b - 2 >= t + 1) {
            Line({l, t + 1}, {l, b - 2}, colour);
            Line({r - 1, t + 1}, {r - 1, b - 2}, colour);
        }
    }
private:
    QImage &m_image;
    QPoint m_origin;
};
} // namespace

void TfrDesignerPage::DrawOverlay(QImage &image, QPoint origin)
{
    XorCanvas c(image, origin);
    const QRgb white = qRgb(255, 255, 255), silver = qRgb(0xC0, 0xC0, 0xC0);
    const auto selected = m_model.SelectedObjects();
    if (HandlesShown && !MouseIsDown && EngineMode == 0) {
        const bool one = m_model.SelectedCount == 1;
        for (TfrView *v : selected) {
            const int idx = m_model.Page()->Objects.indexOf(v);
            auto dot = [&](int x, int y, QRgb colour) { c.Block(QRect(x - 2, y - 2, 5, 5), colour); };
            const int l = v->Left, t = v->Top, r = v->Left + v->Width, b = v->Top + v->Height;
            dot(l, t, white);
            if (v->Width != 0 && v->Height != 0) {
                dot(r, t, white);
                dot(l, b, white);
            }
            // The anchor of a group (its corner resizes the group) in $808000.
            dot(r, b, idx == m_model.AnchorIndex ? qRgb(0, 0x80, 0x80) : white);
            if (one && v->Width != 0 && v->Height != 0) {
                dot(l + v->Width / 2, t, white);
                dot(l + v->Width / 2, b, white);
                dot(l, t + v->Height / 2, white);
                dot(r, t + v->Height / 2, white);
            }
        }
    }
    if (MoveFramesShown)
        for (TfrView *v : selected)
            c.Frame(v->Left, v->Top, v->Left + v->Width + 1, v->Top + v->Height + 1, white);
    const QRect &d = m_model.DragRect;
    if (DragRectShown) {
        const QRect n(QPoint(std::min(d.left(), d.right()), std::min(d.top(), d.bottom())),
                      QPoint(std::max(d.left(), d.right()), std::max(d.top(), d.bottom())));
        c.Frame(n.left(), n.top(), n.right(), n.bottom(), silver);
    }
    if (SplitLineShown)
        c.Line(SplitLine.topLeft(), QPoint(SplitLine.left(), SplitLine.bottom()), silver);
    if (LinePreviewShown) {
        const QPoint a(d.left(), d.top());
        const QPoint b = std::abs(d.bottom() - d.top()) >= std::abs(d.right() - d.left()) ? QPoint(d.left(), d.bottom())
                                                                                          : QPoint(d.right(), d.top());
        c.Line(a, b, white, std::max(1, frRound(frDesignerSession().Last.LineWidth)));
    }
}

void TfrDesignerPage::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    if (m_layer.size() != size()) {
        p.fillRect(e->rect(), Qt::white);
        return;
    }
    QImage part = m_layer.copy(e->rect());
    if (m_model.Page())
        DrawOverlay(part, e->rect().topLeft());
    p.drawImage(e->rect().topLeft(), part);
}

// ---------------------------------------------------------------------------
// Mouse

void TfrDesignerPage::mousePressEvent(QMouseEvent *e)
{
    Guarded([&] { PageMouseDown(e->button(), e->modifiers(), e->position().toPoint()); });
}

void TfrDesignerPage::mouseMoveEvent(QMouseEvent *e)
{
    Guarded([&] { PageMouseMove(e->buttons(), e->modifiers(), e->position().toPoint()); });
}

void TfrDesignerPage::mouseReleaseEvent(QMouseEvent *e)
{
    Guarded([&] { PageMouseUp(e->button(), e->modifiers(), e->position().toPoint()); });
}

void TfrDesignerPage::mouseDoubleClickEvent(QMouseEvent *e)
{
    // The second press of a double click arrives as this event alone: it starts no gesture.
    CtrlAtDown = e->modifiers() & Qt::ControlModifier;
    Guarded([&] { PageDblClick(e->position().toPoint()); });
}

void TfrDesignerPage::leaveEvent(QEvent *)
{
    Guarded([&] { PageMouseLeave(); });
}

void TfrDesignerPage::PageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint p)
{
    TfrDesignModel &m = m_model;
    if (!m.Page())
        return;
    CtrlAtDown = mods & Qt::ControlModifier;
    if (button == Qt::RightButton && MouseIsDown && RubberBand)
        DragRectShown = false;
    RubberBand = false;
    HandlesShown = false;
    MouseIsDown = true;
    m_tool.reset();
    const bool left = button == Qt::LeftButton;
    auto clearSelection = [&] {
        m.UnselectAll();
        m.AnchorIndex = -1;
        m.SelectionFrameValid = false;
        m.ReferenceObject = nullptr;
    };
    if (left && ((mods & Qt::ControlModifier) || m_cursor == ccCross)) {
        RubberBand = true;
        const bool inserting = m_cursor == ccCross;
        int x = p.x(), y = p.y();
        if (inserting) {
            DragRectShown = false;
            m.SnapToGrid(x, y);
            m.DragRectStart = m.DragRect;
        }
        m.DragRect = QRect(QPoint(x, y), QPoint(x, y));
        DragRectShown = true;
        clearSelection();
        m_tool = std::make_unique<TfrRubberBandTool>(*this, inserting);
        LastPoint = {x, y};
        PaintPageObjects(m.SelectionArea());
        update();
        return;
    }
    if (left && m_cursor == ccPencil) {
        int x = p.x(), y = p.y();
        if (m.Options.GridAlign && !m.SnapToCorner(x, y)) {
            x = frRound(double(x) / m.GridStepX()) * m.GridStepX();
            y = frRound(double(y) / m.GridStepY()) * m.GridStepY();
        }
        m.DragRect = QRect(QPoint(x, y), QPoint(x, y));
        clearSelection();
        LastPoint = {x, y};
        m_tool = std::make_unique<TfrLineTool>(*this);
        LinePreviewShown = true;
        update();
        return;
    }
    bool hit = true;
    if (m_cursor == ccArrow) {
        const int index = m.HitTest(p);
        hit = index >= 0;
        if (hit) {
            TfrView *v = m.Page()->Objects[index];
            if (mods & Qt::ShiftModifier)
                m.Select(v, !v->Selected);
            else if (!v->Selected)
                m.SelectOnly(v);
            if (m.SelectedCount == 0)
                m.ReferenceObject = nullptr;
            else if (m.SelectedCount == 1)
                m.ReferenceObject = v;
            else if (m.ReferenceObject && !m.ReferenceObject->Selected)
                m.ReferenceObject = nullptr;
            m.ComputeSelectionFrame();
        } else {
            clearSelection();
            if (left) {
                RubberBand = true;
                m.DragRect = QRect(p, p);
                DragRectShown = true;
                m_tool = std::make_unique<TfrRubberBandTool>(*this, false);
                update();
                return;
            }
        }
    }
    if (hit) {
        if (m.SelectedCount == 0) {
            m.AnchorIndex = -1;
            m.SelectionFrameValid = false;
        }
        LastPoint = p;
        HasMoved = false;
        SelectionRegionStale = true;
        BandMovePending = true;
    }
    update();
    if (button == Qt::RightButton) {
        HandlesShown = true;
        MouseIsDown = false;
        m_tool.reset();
        if (m_designer) {
            m_designer->SyncToolbarsWithSelection();
            m_designer->ShowSurfacePopup(mapToGlobal(p));
            ResetMouseState();
        }
        update();
        return;
    }
    if (!left)
        return;
    if (m.Options.Selection == 0)
        MoveFramesShown = true;
    switch (m_cursor) {
    case ccArrow:
        if (m.SelectedCount > 0)
            m_tool = std::make_unique<TfrMoveTool>(*this);
        break;
    case ccSplit:
        if (m.SelectionFrameValid)
            m_tool = std::make_unique<TfrSplitTool>(*this);
        break;
    case ccSizeNWSE:
        if (m.SelectedCount > 1 && m.SelectionFrameValid) {
            m_tool = std::make_unique<TfrGroupResizeTool>(*this);
            break;
        }
        [[fallthrough]];
    case ccSizeNESW:
    case ccSizeNS:
    case ccSizeWE:
        if (m.SelectedCount == 1)
            m_tool = std::make_unique<TfrResizeTool>(*this);
        break;
    default:
        break;
    }
}

void TfrDesignerPage::ChooseHoverCursor(QPoint p)
{
    TfrDesignModel &m = m_model;
    const int tool = m_designer ? m_designer->CurrentObjectTool() : -1;
    if ((tool == 4 || tool == -1) && DragRectShown) {
        // An insertion frame left from a tool given up.
        DragRectShown = false;
        update();
    }
    if (tool == 4) {
        HoverMode = 1;
        SetCursorKind(ccPencil);
        return;
    }
    if (tool == -1) {
        HoverMode = 1;
        SetCursorKind(ccArrow);
        if (m.SelectedCount == 0) {
            ShowDragRect = false;
            m.DragRect = QRect(p, p);
            if (m_designer)
                m_designer->UpdateCoordinates();
        }
    } else {
        HoverMode = 0;
        if (m_cursor != ccCross) {
            int x = p.x(), y = p.y();
            m.SnapToGrid(x, y);
            QSize s = DefaultObjectSize(m.Options.GridSize, frDesignerSession().Last.FontSize);
            if (tool == 2)
                s.setWidth(width());
            m.DragRect = QRect(QPoint(x, y), QPoint(x + s.width(), y + s.height()));
            DragRectShown = m.Page() && m.Page()->PageType == ptReport;
            SetCursorKind(ccCross);
        }
        int x = p.x(), y = p.y();
        m.SnapToGrid(x, y);
        m.DragRect.moveTopLeft(QPoint(x, y));
        ShowDragRect = true;
        if (m_designer)
            m_designer->UpdateCoordinates();
        ShowDragRect = false;
        update();
        return;
    }
    if (m.SelectedCount == 1) {
        TfrView *v = m.LastSelected();
        switch (m.HandleAt(*v, p, 2)) {
        case hTopLeft: case hBottomRight: SetCursorKind(ccSizeNWSE); break;
        case hTopRight: case hBottomLeft: SetCursorKind(ccSizeNESW); break;
        case hTop: case hBottom: SetCursorKind(ccSizeNS); break;
        case hLeft: case hRight: SetCursorKind(ccSizeWE); break;
        default: SetCursorKind(ccArrow); break;
        }
    } else if (m.SelectedCount > 1) {
        SetCursorKind(ccArrow);
        if (m.AnchorIndex >= 0) {
            TfrView *a = m.Page()->Objects[m.AnchorIndex];
            if (TfrDesignModel::NearPoint(p, {a->Left + a->Width, a->Top + a->Height}, 2))
                SetCursorKind(ccSizeNWSE);
        }
        QRect line;
        int edge;
        TfrView *l, *r;
        if (m.FindColumnSplit(p, line, edge, l, r)) {
            SetCursorKind(ccSplit);
            SplitLine = line;
            SplitEdgeX = edge;
            SplitLeft = l;
            SplitRight = r;
        }
    }
}

void TfrDesignerPage::PageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPoint p)
{
    HasMoved = true;
    DragInsert = false;
    if (!m_model.Page())
        return;
    const bool down = MouseIsDown && (buttons & Qt::LeftButton);
    if (!down) {
        ChooseHoverCursor(p);
        return;
    }
    if (m_tool)
        m_tool->Move(p, mods);
    if ((buttons == Qt::LeftButton) && mods == Qt::NoModifier)
        AutoScroll(p);
}

void TfrDesignerPage::AutoScroll(QPoint p)
{
    QScrollArea *box = ScrollBox();
    if (!box)
        return;
    const QPoint at = mapTo(box->widget(), p);
    QScrollBar *h = box->horizontalScrollBar(), *v = box->verticalScrollBar();
    const int cw = box->viewport()->width(), ch = box->viewport()->height();
    if (at.x() > h->value() + cw)
        h->setValue(at.x() - cw);
    else if (at.x() < h->value())
        h->setValue(at.x());
    if (at.y() > v->value() + ch)
        v->setValue(at.y() - ch);
    else if (at.y() < v->value())
        v->setValue(at.y());
}

void TfrDesignerPage::PageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint p)
{
    if (button != Qt::LeftButton)
        return;
    const bool wasDown = MouseIsDown;
    MouseIsDown = false;
    MoveFramesShown = false;
    HandlesShown = true;
    std::unique_ptr<TfrSurfaceTool> tool = std::move(m_tool);
    // A release that ends no press (the one after a double click) does nothing.
    if (!wasDown || !m_model.Page()) {
        update();
        return;
    }
    if (tool)
        tool->Release(p);
    else if (m_designer)
        m_designer->SyncToolbarsWithSelection();
    HasMoved = false;
    ResizeEdge = 0;
    update();
}

void TfrDesignerPage::PageDblClick(QPoint p)
{
    Q_UNUSED(p);
    MouseIsDown = false;
    m_tool.reset();
    if (!m_designer)
        return;
    if (m_model.SelectedCount == 1) {
        if (CtrlAtDown)
            m_designer->ShowMemoEditor(nullptr);
        else
            m_designer->ShowObjectEditor();
    } else if (m_model.SelectedCount == 0) {
        m_designer->PgB3Click();
    }
    // An editor ran modally: whatever the pointer did meanwhile starts nothing.
    ResetMouseState();
}

void TfrDesignerPage::PageMouseLeave()
{
    if ((HoverMode == 0 && !MouseIsDown) || DragInsert) {
        DragRectShown = false;
        m_model.DragRect.translate(-10000, -10000);
        update();
    }
}

// ---------------------------------------------------------------------------
// Dropping fields

void TfrDesignerPage::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasFormat(QString::fromLatin1(frFieldMimeType)) && m_model.Page()
        && m_model.Page()->PageType == ptReport && !(m_model.DesignerRestrictions & frdrDontCreateObj)) {
        DragInsert = true;
        const QPoint p = e->position().toPoint();
        const QSize s = DefaultObjectSize(m_model.Options.GridSize, frDesignerSession().Last.FontSize);
        m_model.DragRect = QRect(QPoint(p.x() - 4, p.y() - 4), QPoint(p.x() + s.width() - 4, p.y() + s.height() - 4));
        DragRectShown = true;
        e->acceptProposedAction();
        update();
    } else {
        e->ignore();
    }
}

void TfrDesignerPage::dragMoveEvent(QDragMoveEvent *e)
{
    if (!DragInsert) {
        e->ignore();
        return;
    }
    int x = e->position().toPoint().x(), y = e->position().toPoint().y();
    m_model.SnapToGrid(x, y);
    m_model.DragRect.moveTopLeft(QPoint(x - 4, y - 4));
    e->acceptProposedAction();
    update();
}

void TfrDesignerPage::dragLeaveEvent(QDragLeaveEvent *)
{
    PageMouseLeave();
    DragInsert = false;
}

void TfrDesignerPage::dropEvent(QDropEvent *e)
{
    if (!DragInsert) {
        e->ignore();
        return;
    }
    const QString field = QString::fromUtf8(e->mimeData()->data(QString::fromLatin1(frFieldMimeType)));
    e->acceptProposedAction();
    Guarded([&] {
        DragRectShown = false;
        const QRect r = m_model.DragRect;
        TfrView *v = m_model.InsertObject(0, QRect(r.topLeft(), QSize(r.right() - r.left(), r.bottom() - r.top())),
                                          width());
        DragInsert = false;
        if (v) {
            v->Memo = QStringList{QLatin1Char('[') + field + QLatin1Char(']')};
            PaintPageObjects(v->GetClipRgn(true));
        }
        if (m_designer) {
            m_designer->PressSelectTool();
            m_designer->SyncToolbarsWithSelection();
        }
    });
}
