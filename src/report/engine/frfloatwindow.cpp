#include "report/engine/frfloatwindow.h"
#include "report/engine/frtoolbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

TfrFloatWindow::TfrFloatWindow(QWidget *owner, TfrToolBar *toolbar)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), m_toolbar(toolbar), m_owner(owner)
{
}

TfrFloatWindow::~TfrFloatWindow()
{
    delete m_frame;
    // The toolbar goes with the window; it must not reach back into it.
    if (m_toolbar)
        m_toolbar->FloatWindowGone(this);
}

void TfrFloatWindow::BeginDrag(const QPoint &pointer)
{
    m_dragging = true;
    m_grabOffset = pointer - geometry().topLeft();
    m_dragRect = QRect(pointer - m_grabOffset, size());
    if (!m_frame)
        m_frame = new QRubberBand(QRubberBand::Rectangle);
    m_frame->setGeometry(m_dragRect);
    m_frame->show();
    grabMouse();
}

void TfrFloatWindow::DragMove(const QPoint &pointer)
{
    if (!m_dragging)
        return;
    m_dragRect.moveTopLeft(pointer - m_grabOffset);
    if (m_owner && m_toolbar) {
        const QPoint inOwner = m_owner->mapFromGlobal(pointer);
        if (m_toolbar->TryDock(m_owner, inOwner)) {
            endDrag();   // the toolbar's own drag goes on inside the dock
            return;
        }
    }
    if (m_frame) {
        m_frame->setGeometry(m_dragRect);
        m_frame->show();
    }
}

void TfrFloatWindow::DragRelease()
{
    if (!m_dragging)
        return;
    endDrag();
    move(m_dragRect.topLeft());
    show();
}

void TfrFloatWindow::ReleaseToolBar()
{
    endDrag();
    m_toolbar = nullptr;
}

void TfrFloatWindow::endDrag()
{
    if (m_dragging)
        releaseMouse();
    m_dragging = false;
    if (m_frame)
        m_frame->hide();
}

void TfrFloatWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    const QRect caption(0, 0, width(), CaptionHeight);
    p.fillRect(caption, pal.color(QPalette::Highlight));
    QFont f = font();
    f.setPixelSize(CaptionHeight - 2);
    p.setFont(f);
    p.setPen(pal.color(QPalette::HighlightedText));
    p.drawText(caption.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfrFloatWindow::mousePressEvent(QMouseEvent *event) { handleMouse(event); }
void TfrFloatWindow::mouseMoveEvent(QMouseEvent *event) { handleMouse(event); }
void TfrFloatWindow::mouseReleaseEvent(QMouseEvent *event) { handleMouse(event); }

void TfrFloatWindow::handleMouse(QMouseEvent *event)
{
    // A failed drag lets the pointer go and takes the outline away; the window stays put.
    GuardedDrag(
        m_guard, event, [this](QPoint p) { BeginDrag(p); }, [this](QPoint p) { DragMove(p); },
        [this] { DragRelease(); }, [this] { endDrag(); });
}
