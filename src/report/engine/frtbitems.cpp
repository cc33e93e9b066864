#include "report/engine/frtbitems.h"

#include <QEvent>
#include <QPainter>
#include <QVariant>

TfrAlign frToolbarItemAlign(const QWidget *parent, TfrAlign current)
{
    if (!parent || !parent->inherits("TfrToolBar"))
        return current;
    const QWidget *dock = parent->parentWidget();
    const QVariant a = dock ? dock->property("Align") : QVariant();
    const int align = a.isValid() ? a.toInt() : alNone;
    return (align == alLeft || align == alRight) ? alTop : alLeft;
}

namespace {
void dottedOutline(QWidget *w)
{
    QPainter p(w);
    QPen pen(Qt::black, 1, Qt::DotLine);
    p.setPen(pen);
    p.drawRect(w->rect().adjusted(0, 0, -1, -1));
}
} // namespace

TfrTBButton::TfrTBButton(QWidget *parent) : TfrSpeedButton(parent)
{
    SetFlat(true);
    Align = frToolbarItemAlign(parent, alLeft);
}

void TfrTBButton::changeEvent(QEvent *e)
{
    TfrSpeedButton::changeEvent(e);
    if (e->type() == QEvent::ParentChange)
        Align = frToolbarItemAlign(parentWidget(), Align);
}

TfrTBSeparator::TfrTBSeparator(QWidget *parent) : QWidget(parent)
{
    resize(8, 8);
    Align = frToolbarItemAlign(parent, alLeft);
}

void TfrTBSeparator::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ParentChange)
        Align = frToolbarItemAlign(parentWidget(), Align);
}

void TfrTBSeparator::paintEvent(QPaintEvent *)
{
    {
        QPainter p(this);
        const QPalette &pal = palette();
        p.fillRect(rect(), pal.color(QPalette::Button));
        if (DrawBevel) {
            const int w = width(), h = height();
            if (Align == alTop || Align == alBottom) {
                p.setPen(pal.color(QPalette::Dark));
                p.drawLine(2, h / 2 - 1, w - 2, h / 2 - 1);
                p.setPen(pal.color(QPalette::Light));
                p.drawLine(2, h / 2, w - 2, h / 2);
            } else if (Align == alLeft || Align == alRight) {
                p.setPen(pal.color(QPalette::Dark));
                p.drawLine(w / 2 - 1, 2, w / 2 - 1, h - 2);
                p.setPen(pal.color(QPalette::Light));
                p.drawLine(w / 2, 2, w / 2, h - 2);
            }
        }
    }
    if (DesignTime)
        dottedOutline(this);
}

TfrTBPanel::TfrTBPanel(QWidget *parent) : QFrame(parent)
{
    resize(8, 8);
    setFrameShape(QFrame::NoFrame);
    Align = frToolbarItemAlign(parent, alLeft);
}

void TfrTBPanel::changeEvent(QEvent *e)
{
    QFrame::changeEvent(e);
    if (e->type() == QEvent::ParentChange)
        Align = frToolbarItemAlign(parentWidget(), Align);
}

void TfrTBPanel::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    if (DesignTime)
        dottedOutline(this);
}
