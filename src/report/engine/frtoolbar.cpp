#include "report/engine/frtoolbar.h"
#include "report/engine/frdock.h"
#include "report/engine/frfloatwindow.h"
#include "report/engine/frformstate.h"
#include "report/engine/frreport.h"

#include "common/settings.h"

#include <QChildEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using namespace frdock;

namespace {

int itemAlign(const QWidget *w, int fallback)
{
    const QVariant a = w->property("Align");
    return a.isValid() ? a.toInt() : fallback;
}

// A 3D edge one pixel wide: light on the top and left, dark on the bottom and right.
void raisedFrame(QPainter &p, const QRect &r, const QPalette &pal)
{
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

// ---------------------------------------------------------------------------

TfrDragBox::TfrDragBox(TfrToolBar *toolbar)
    : QWidget(toolbar), m_toolbar(toolbar)
{
    resize(TfrToolBar::GripSize, TfrToolBar::GripSize);
    setCursor(Qt::SizeAllCursor);
}

void TfrDragBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    if (m_toolbar->DockOrientation() == orVertical) {
        raisedFrame(p, QRect(0, 2, width(), 3), pal);
        raisedFrame(p, QRect(0, 5, width(), 3), pal);
    } else {
        raisedFrame(p, QRect(2, 0, 3, height()), pal);
        raisedFrame(p, QRect(5, 0, 3, height()), pal);
    }
}

void TfrDragBox::mousePressEvent(QMouseEvent *event) { m_toolbar->handleMouse(event); }
void TfrDragBox::mouseMoveEvent(QMouseEvent *event) { m_toolbar->handleMouse(event); }
void TfrDragBox::mouseReleaseEvent(QMouseEvent *event) { m_toolbar->handleMouse(event); }

// ---------------------------------------------------------------------------

TfrToolBar::TfrToolBar(QWidget *parent)
    : QWidget(parent), m_owner(parent ? parent->window() : nullptr)
{
    resize(100, 26);
    m_realigning = true;   // the grip is no item
    m_grip = new TfrDragBox(this);
    m_realigning = false;
}

TfrToolBar::~TfrToolBar()
{
    if (TfrFloatWindow *w = m_floatWindow) {
        m_floatWindow = nullptr;
        w->ReleaseToolBar();
        w->hide();
        w->deleteLater();
    }
}

TfrDock *TfrToolBar::Dock() const { return qobject_cast<TfrDock *>(parentWidget()); }

int TfrToolBar::DockOrientation() const
{
    const TfrDock *dock = Dock();
    return dock ? orientationOf(dock->Align()) : orNone;
}

QList<QWidget *> TfrToolBar::Items() const
{
    QList<QWidget *> out;
    for (const QPointer<QWidget> &w : m_items)
        if (w)
            out << w;
    return out;
}

bool TfrToolBar::IsVisible() const
{
    if (m_floating && m_floatWindow)
        return !m_floatWindow->isHidden();
    return !isHidden();
}

void TfrToolBar::SetVisible(bool visible)
{
    if (m_floating && m_floatWindow) {
        m_floatWindow->setVisible(visible);
        return;
    }
    setVisible(visible);
    // A hidden toolbar gives its row up; shown again it takes one.
    if (TfrDock *dock = Dock())
        dock->AdjustBounds();
}

// ---- items

QList<BarItem> TfrToolBar::barItems() const
{
    const int fallback = DockOrientation() == orVertical ? alTop : alLeft;
    QList<BarItem> items;
    // The grip is 11 pixels along the toolbar; its alignment stretches it across.
    items << BarItem{QRect(m_grip->pos(), QSize(GripSize, GripSize)), m_grip->Align, !m_grip->isHidden(), true, -1};
    int far = 1000000;
    for (int i = 0; i < m_items.size(); ++i) {
        QWidget *w = m_items[i];
        if (!w)
            continue;
        BarItem b{w->geometry(), itemAlign(w, fallback), !w->isHidden(), false, i};
        if (m_newItems.contains(w)) {   // a new item goes behind the others
            b.rect.moveTo(far, far);
            far += 1000;
        }
        items << b;
    }
    return items;
}

void TfrToolBar::realign()
{
    if (m_realigning)
        return;
    m_realigning = true;
    const int fallback = DockOrientation() == orVertical ? alTop : alLeft;
    for (const QPointer<QWidget> &w : std::as_const(m_items))
        if (w && !w->property("Align").isValid())
            w->setProperty("Align", fallback);
    QList<BarItem> items = barItems();
    m_newItems.clear();
    alignItems(rect().adjusted(1, 1, -1, -1), items);
    for (const BarItem &b : std::as_const(items)) {
        QWidget *w = b.grip ? m_grip : m_items.value(b.tag).data();
        if (w && w->geometry() != b.rect)
            w->setGeometry(b.rect);
    }
    m_realigning = false;
}

void TfrToolBar::ArrangeItems()
{
    const int orientation = DockOrientation();
    m_grip->Align = orientation == orVertical ? alTop : alLeft;
    QList<BarItem> items = barItems();
    m_newItems.clear();
    QSize s = size();
    arrangeItems(orientation, s, items);
    QList<QPointer<QWidget>> order;
    for (const BarItem &b : std::as_const(items)) {
        if (b.grip)
            continue;
        QWidget *w = m_items.value(b.tag);
        if (!w)
            continue;
        w->setProperty("Align", b.align);
        w->move(b.rect.topLeft());
        order << w;
    }
    m_items = order;
    m_realigning = true;
    resize(s);
    m_realigning = false;
    realign();
    m_grip->update();
}

void TfrToolBar::AdjustBounds()
{
    ArrangeItems();
    const int length = barLength(DockOrientation(), barItems());
    if (DockOrientation() == orVertical)
        resize(width(), length);
    else
        resize(length, height());
    realign();
}

// ---- docking and floating

void TfrToolBar::DockTo(TfrDock *dock, int x, int y)
{
    if (!dock)
        return;
    hide();
    if (TfrFloatWindow *w = m_floatWindow) {
        m_floatWindow = nullptr;
        w->ReleaseToolBar();
        w->hide();
        w->deleteLater();   // it may be handling the mouse event that brought us here
    }
    TfrDock *old = Dock();
    setParent(dock);
    if (old && old != dock)
        old->AdjustBounds();
    m_floating = false;
    m_owner = dock->window();
    m_grip->show();
    ArrangeItems();
    move(x, y);
    show();
    dock->AdjustBounds();
}

void TfrToolBar::AddToDock(TfrDock *dock)
{
    if (!dock)
        return;
    // The thickness the toolbar has once it lies along the dock.
    const int thick = qMin(width(), height());
    int x = 0, y = 0;
    switch (dock->Align()) {
    case alTop: y = dock->height() - 1; break;
    case alBottom: y = 1 - thick; break;
    case alLeft: x = dock->width() - 1; break;
    default: x = 1 - thick; break;
    }
    DockTo(dock, x, y);
}

void TfrToolBar::FloatAt(int x, int y)
{
    if (m_floatWindow) {
        m_floatWindow->move(x, y);
        return;
    }
    QWidget *owner = OwnerForm();
    if (Dock())
        owner = window();
    m_owner = owner;
    hide();
    m_grip->hide();
    TfrDock *old = Dock();
    auto *w = new TfrFloatWindow(owner, this);
    w->move(x, y);
    w->setWindowTitle(Caption());
    m_floatWindow = w;
    m_floating = true;
    setParent(w);
    ArrangeItems();
    if (old)
        old->AdjustBounds();
    w->SetClientSize(width() - GripSize, height());
    move(w->ClientOrigin());
    show();
    w->show();
}

void TfrToolBar::FloatAtCursor() { FloatAtCursor(QCursor::pos()); }

void TfrToolBar::FloatAtCursor(const QPoint &pointer)
{
    m_floating = true;
    m_dragging = false;
    unsetCursor();
    FloatAt(pointer.x(), pointer.y());
    if (m_floatWindow)
        m_floatWindow->BeginDrag(pointer);
}

bool TfrToolBar::TryDock(QWidget *container, const QPoint &point)
{
    if (!container)
        return false;
    const QList<TfrDock *> docks = container->findChildren<TfrDock *>();
    for (TfrDock *dock : docks) {
        if (dock->isHidden())
            continue;
        const QRect g(dock->mapTo(container, QPoint(0, 0)), dock->size());
        if (point.x() < g.x() || point.x() > g.x() + g.width() || point.y() < g.y() || point.y() > g.y() + g.height())
            continue;
        const bool vertical = !isHorizontalSide(dock->Align());
        if ((Orientation == toHorzOnly && vertical) || (Orientation == toVertOnly && !vertical))
            return false;
        // Sizes once the toolbar lies along this dock.
        const int thick = qMin(width(), height()), length = qMax(width(), height());
        const QPoint p = point - g.topLeft();
        int x = 0, y = 0;
        if (vertical) {
            x = dock->Align() == alLeft ? dock->width() - 1 : 1 - thick;
            y = qMax(0, qMin(p.y(), dock->height() - length));
        } else {
            x = qMax(0, qMin(p.x(), dock->width() - length));
            y = dock->Align() == alTop ? dock->height() - 1 : 1 - thick;
        }
        DockTo(dock, x, y);
        beginDockedDrag(container->mapToGlobal(point));
        return true;
    }
    return false;
}

bool TfrToolBar::MoveInDock(int x, int y)
{
    TfrDock *dock = Dock();
    if (!dock)
        return false;
    QList<QRect> others;
    for (QObject *o : dock->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && w != this && !w->isWindow() && !w->isHidden())
            others << w->geometry();
    }
    const MoveResult r = moveInDock(dock->Align(), dock->size(), size(), others, QPoint(x, y), CanFloat);
    if (r.refused)
        return false;
    const QPoint pointer = m_dragging ? m_pointer : QCursor::pos();
    if (r.floating) {
        FloatAtCursor(pointer);
        return true;
    }
    const bool horizontal = isHorizontalSide(dock->Align());
    auto across = [&](const QRect &g) { return horizontal ? g.y() : g.x(); };
    auto thick = [&](const QRect &g) { return horizontal ? g.height() : g.width(); };
    const QRect old = geometry();
    const int before = dock->Thickness();
    move(r.pos);
    const bool outside = across(geometry()) < 0 || across(geometry()) + thick(geometry()) > before;
    dock->AdjustBounds();
    if (outside) {
        // A toolbar left outside its dock's rows could not be reached again.
        const bool lost = across(geometry()) < 0 || across(geometry()) + thick(geometry()) > dock->Thickness();
        if (CanFloat && (dock->Thickness() == before || lost)) {
            FloatAtCursor(pointer);
        } else if (lost) {
            setGeometry(old);
            dock->AdjustBounds();
            return false;
        }
    }
    return true;
}

void TfrToolBar::FloatWindowGone(TfrFloatWindow *window)
{
    if (m_floatWindow == window)
        m_floatWindow = nullptr;
}

// ---- dragging

void TfrToolBar::beginDockedDrag(const QPoint &pointer)
{
    m_lastPos = pointer;
    m_pointer = pointer;
    m_dragging = true;
    grabMouse();
}

void TfrToolBar::DragPress(const QPoint &pointer)
{
    if (m_floating)
        return;
    m_lastPos = pointer;
    m_pointer = pointer;
    m_dragging = true;
}

void TfrToolBar::DragMove(const QPoint &pointer)
{
    if (m_floating) {
        // The floating window's drag has taken over.
        if (m_dragging) {
            m_dragging = false;
            unsetCursor();
        }
        return;
    }
    TfrDock *dock = Dock();
    if (!m_dragging || !dock)
        return;
    const bool horizontal = isHorizontalSide(dock->Align());
    const int rowSize = dock->RowSize();
    int dx = pointer.x() - m_lastPos.x(), dy = pointer.y() - m_lastPos.y();
    if (horizontal)
        dy = dy / rowSize * rowSize;   // across the rows: whole rows
    else
        dx = dx / rowSize * rowSize;
    if (dx == 0 && dy == 0)
        return;
    m_pointer = pointer;
    if (MoveInDock(x() + dx, y() + dy)) {
        if (dx != 0)
            m_lastPos.setX(pointer.x());
        if (dy != 0)
            m_lastPos.setY(pointer.y());
    }
}

void TfrToolBar::DragRelease()
{
    if (m_dragging)
        releaseMouse();
    m_dragging = false;
    unsetCursor();
}

// ---- events

void TfrToolBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    if (Dock())
        raisedFrame(p, rect(), palette());
}

void TfrToolBar::mousePressEvent(QMouseEvent *event) { handleMouse(event); }
void TfrToolBar::mouseMoveEvent(QMouseEvent *event) { handleMouse(event); }
void TfrToolBar::mouseReleaseEvent(QMouseEvent *event) { handleMouse(event); }

void TfrToolBar::handleMouse(QMouseEvent *event)
{
    // A failed drag lets the pointer go, or every later move would fail the same way.
    GuardedDrag(
        m_guard, event, [this](QPoint p) { DragPress(p); }, [this](QPoint p) { DragMove(p); },
        [this] { DragRelease(); }, [this] { DragRelease(); });
}

void TfrToolBar::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    QObject *c = event->child();
    if (event->type() == QEvent::ChildAdded) {
        if (m_realigning && !m_grip)
            return;   // the grip being made
        if (!c->isWidgetType() || c == m_grip)
            return;
        auto *w = static_cast<QWidget *>(c);
        if (w->isWindow())
            return;
        m_items << w;
        m_newItems << w;
        QMetaObject::invokeMethod(this, [this] { realign(); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::ChildRemoved) {
        m_items.removeIf([c](const QPointer<QWidget> &w) { return !w || w.data() == c; });
        m_newItems.removeIf([c](const QPointer<QWidget> &w) { return !w || w.data() == c; });
    }
}

void TfrToolBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    realign();
}

// ---------------------------------------------------------------------------

namespace {

bool readBool(QSettings &s, const QString &name, bool fallback)
{
    const QVariant v = s.value(name);
    return v.isValid() ? v.toBool() : fallback;
}

QObject *findComponent(QObject *owner, const QString &name)
{
    if (!owner || name.isEmpty())
        return nullptr;
    const QList<QObject *> all = owner->findChildren<QObject *>();
    for (QObject *o : all)
        if (o->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return o;
    return nullptr;
}

} // namespace

QString frToolbarStateGroup(const QString &toolbarName)
{
    QString key = frRegistryRoot() + QStringLiteral("\\ToolBar\\") + toolbarName;
    return key.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void SaveToolbarState(TfrToolBar *toolbar)
{
    if (!toolbar)
        return;
    auto s = orv::userSettings();
    s->beginGroup(frToolbarStateGroup(toolbar->objectName()));
    const bool floating = toolbar->IsFloating() && toolbar->GetFloatWindow();
    s->setValue(QStringLiteral("isFloat"), floating);
    s->setValue(QStringLiteral("isVisible"), toolbar->IsVisible());
    const QPoint at = floating ? toolbar->GetFloatWindow()->pos() : toolbar->pos();
    s->setValue(QStringLiteral("XPosition"), at.x());
    s->setValue(QStringLiteral("YPosition"), at.y());
    s->setValue(QStringLiteral("Width"), toolbar->width());
    s->setValue(QStringLiteral("Height"), toolbar->height());
    if (!floating && toolbar->Dock())
        s->setValue(QStringLiteral("DockName"), toolbar->Dock()->objectName());
    s->endGroup();
}

void RestoreToolbarState(TfrToolBar *toolbar)
{
    if (!toolbar)
        return;
    auto s = orv::userSettings();
    s->beginGroup(frToolbarStateGroup(toolbar->objectName()));
    toolbar->SetVisible(false);
    const bool floatingNow = toolbar->IsFloating() && toolbar->GetFloatWindow();
    const QPoint current = floatingNow ? toolbar->GetFloatWindow()->pos() : toolbar->pos();
    int x = frReadInt(*s, QStringLiteral("XPosition"), current.x());
    int y = frReadInt(*s, QStringLiteral("YPosition"), current.y());
    const int w = frReadInt(*s, QStringLiteral("Width"), toolbar->width());
    const int h = frReadInt(*s, QStringLiteral("Height"), toolbar->height());
    if (w > 0 && h > 0)
        toolbar->resize(w, h);
    if (readBool(*s, QStringLiteral("isFloat"), false)) {
        const QRect r = frFitToScreen(QRect(QPoint(x, y), QSize(toolbar->width() - TfrToolBar::GripSize,
                                                                toolbar->height() + TfrFloatWindow::CaptionHeight)));
        toolbar->FloatAt(r.x(), r.y());
    } else {
        const QWidget *parent = toolbar->parentWidget();
        const QString dockName = s->value(QStringLiteral("DockName"), parent ? parent->objectName() : QString()).toString();
        // A name of something that is not a dock is ignored.
        TfrDock *dock = qobject_cast<TfrDock *>(findComponent(toolbar->OwnerForm(), dockName));
        if (TfrDock *target = dock ? dock : toolbar->Dock()) {
            // A dock never needs more rows than the form has toolbars.
            const QWidget *form = toolbar->OwnerForm();
            const int bars = form ? int(form->findChildren<TfrToolBar *>().size()) : 1;
            const QPoint at = frdock::restorePosition(target->Align(), target->size(), toolbar->size(),
                                                      target->RowSize(), bars, {x, y});
            x = at.x();
            y = at.y();
        } else {
            x = qMax(0, x);
            y = qMax(0, y);
        }
        toolbar->move(x, y);
        if (dock && dock != toolbar->parentWidget())
            toolbar->DockTo(dock, x, y);
        toolbar->AdjustBounds();
        if (TfrDock *d = toolbar->Dock())
            d->AdjustBounds();
    }
    const bool visible = readBool(*s, QStringLiteral("isVisible"), true);
    s->endGroup();
    toolbar->SetVisible(visible);
}
