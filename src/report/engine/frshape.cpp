#include "report/engine/frshape.h"

#include "report/engine/frfonts.h"

namespace {
const char *const kShapeNames[] = {"skRectangle", "skRoundRectangle", "skEllipse",
                                   "skTriangle",  "skDiagonal1",      "skDiagonal2"};
}

void RegisterShapeAddIn()
{
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setPen(Qt::black);
        p.setBrush(QColor(255, 255, 160));
        p.drawEllipse(QRect(1, 3, 13, 10));
    }
    RegisterAddInObject(QStringLiteral("TfrShapeView"), [] { return new TfrShapeView; }, glyph,
                        QStringLiteral("55226"));
}

TfrShapeView::TfrShapeView()
{
    TypeCode = 10;
    BaseName = QStringLiteral("Shape");
    if (EngineHooks.SetScriptConstant)
        for (int i = 0; i < 6; ++i)
            EngineHooks.SetScriptConstant(QString::fromLatin1(kShapeNames[i]), i);
}

void TfrShapeView::DefinePropList()
{
    TfrView::DefinePropList();
    AddEnumProperty(QStringLiteral("Shape"),
                    QStringLiteral("skRectangle;skRoundRectangle;skEllipse;skTriangle;skDiagonal1;skDiagonal2"),
                    {0, 1, 2, 3, 4, 5});
}

void TfrShapeView::SetPropValue(const QString &name, const QVariant &value)
{
    TfrView::SetPropValue(name, value);
    if (name.toUpper() == QLatin1String("SHAPE"))
        Shape = quint8(value.toInt());
}

QVariant TfrShapeView::GetPropValue(const QString &name)
{
    QVariant v = TfrView::GetPropValue(name);
    if (v.isNull() && name.toUpper() == QLatin1String("SHAPE"))
        v = int(Shape);
    return v;
}

void TfrShapeView::SaveToStream(QIODevice &s)
{
    TfrView::SaveToStream(s);
    WriteStreamByte(s, Shape);
}

void TfrShapeView::LoadFromStream(QIODevice &s)
{
    TfrView::LoadFromStream(s);
    Shape = ReadStreamByte(s);
}

void TfrShapeView::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    PrintText = Memo;
    BeginDraw();
    // The fill belongs inside the outline only, never to the bounding rectangle.
    const qint32 fill = FillColor;
    FillColor = clTransparent;
    ShowBackground();
    ShowFrame();
    FillColor = fill;
    if (Canvas) {
        const int x1 = Left, y1 = Top;
        const int x2 = RightEdge();
        const int y2 = BottomEdge();
        const int m = qMin(Width, Height);
        QPainter *p = Canvas;
        p->save();
        p->setRenderHint(QPainter::Antialiasing, false);
        // A pen narrower than one pixel still draws one pixel, so a hairline frame never vanishes.
        const int pw = qMax(1, frRound(FrameWidth));
        p->setPen(QPen(FrColor(FrameColor), pw, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p->setBrush(FillColor != clTransparent ? QBrush(FrColor(FillColor)) : QBrush(Qt::NoBrush));
        const QRect box(x1, y1, x2 - x1, y2 - y1);
        switch (Shape) {
        case skRectangle: p->drawRect(box); break;
        case skRoundRectangle: {
            const qreal r = (m / 4) / 2.0; // corner ellipses of m div 4 across
            p->drawRoundedRect(box, r, r);
            break;
        }
        case skEllipse: p->drawEllipse(box); break;
        case skTriangle: {
            const QPoint pts[] = {{x2, y2}, {x1, y2}, {x1 + (x2 - x1) / 2, y1}};
            p->drawPolygon(pts, 3);
            break;
        }
        case skDiagonal1: p->drawLine(x1, y2, x2, y1); break;
        case skDiagonal2: p->drawLine(x1, y1, x2, y2); break;
        default: break;
        }
        p->restore();
    }
    EndDraw();
}
