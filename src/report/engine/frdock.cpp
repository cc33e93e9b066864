#include "report/engine/frdock.h"

#include <QPainter>

TfrDock::TfrDock(int align, QWidget *parent)
    : QWidget(parent), m_align(align)
{
    if (frdock::isHorizontalSide(align))
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setThickness(1);
}

int TfrDock::Thickness() const
{
    return frdock::isHorizontalSide(m_align) ? height() : width();
}

void TfrDock::setThickness(int thickness)
{
    QRect g = geometry();
    switch (m_align) {
    case frdock::alTop: g.setHeight(thickness); break;
    case frdock::alBottom: g.setTop(g.y() + g.height() - thickness); break;
    case frdock::alLeft: g.setWidth(thickness); break;
    default: g.setLeft(g.x() + g.width() - thickness); break;
    }
    // The outer edge stays: a bottom or right dock moves its inner edge.
    if (frdock::isHorizontalSide(m_align))
        setFixedHeight(thickness);
    else
        setFixedWidth(thickness);
    setGeometry(g);
}

void TfrDock::AdjustBounds()
{
    QList<QWidget *> controls;
    QList<frdock::DockItem> items;
    for (QObject *o : children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow())
            continue;
        controls << w;
        items << frdock::DockItem{w->geometry(), !w->isHidden()};
    }
    const int thickness = frdock::relayDock(m_align, Thickness(), m_rowSize, items);
    for (int i = 0; i < controls.size(); ++i)
        if (controls[i]->geometry() != items[i].rect)
            controls[i]->setGeometry(items[i].rect);
    if (thickness != Thickness())
        setThickness(thickness);
}

void TfrDock::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
}
