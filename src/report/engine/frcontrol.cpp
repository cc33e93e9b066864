#include "report/engine/frcontrol.h"

#include "report/engine/frfonts.h"

#include <QImage>
#include <QPainter>

namespace {
// Larger controls are drawn as their ground only: the picture of a control is
// made in memory, and a stored size may be absurd.
constexpr int kMaxPaintedSide = 4096;
} // namespace

TfrControl::TfrControl()
{
    TypeCode = 10;
    FillColor = clBtnFace;
    FrameTyp = 0;
}

TfrControl::~TfrControl()
{
    // A control placed on a form may already be gone with it.
    delete m_control.data();
}

void TfrControl::SetControl(QWidget *control)
{
    if (m_control == control)
        return;
    delete m_control.data();
    m_control = control;
    if (m_control)
        m_control->setVisible(false);
}

void TfrControl::DefinePropList()
{
    ClearPropList();
    AddProperty(QStringLiteral("Name"), 0x101);
    AddProperty(QStringLiteral("Left"), 0x80);
    AddProperty(QStringLiteral("Top"), 0x80);
    AddProperty(QStringLiteral("Width"), 0x80);
    AddProperty(QStringLiteral("Height"), 0x80);
    AddProperty(QStringLiteral("Visible"), 8);
    AddProperty(QStringLiteral("Restrictions"), 0x40, [this] {
        if (EditorHooks.Restrictions)
            EditorHooks.Restrictions(this);
    });
}

void TfrControl::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    if (name.toUpper() == QLatin1String("VISIBLE") && m_control && m_control->parentWidget())
        m_control->setVisible(Visible);
}

void TfrControl::PlaceControl(QWidget *form)
{
    if (!m_control)
        return;
    m_control->setParent(form);
    m_control->setGeometry(Left, Top, Width, Height);
    m_control->setVisible(Visible);
}

void TfrControl::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    if (m_control && Width > 0 && Height > 0 && Width <= kMaxPaintedSide && Height <= kMaxPaintedSide)
        m_control->resize(Width, Height);
    BeginDraw();
    PaintControl();
    EndDraw();
}

void TfrControl::PaintControl()
{
    if (!Canvas || Width < 0 || Height < 0)
        return;
    if (Width >= kMaxPaintedSide || Height >= kMaxPaintedSide) {
        Canvas->fillRect(QRect(Left, Top, Width + 1, Height + 1), FrColor(clBtnFace));
        return;
    }
    QImage picture(Width + 1, Height + 1, QImage::Format_ARGB32_Premultiplied);
    picture.fill(FrColor(clBtnFace));
    if (m_control) {
        // A control hidden on no form still paints itself into the picture.
        m_control->ensurePolished();
        m_control->render(&picture);
    }
    Canvas->drawImage(QPoint(Left, Top), picture);
}
