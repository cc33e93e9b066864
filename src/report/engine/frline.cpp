#include "report/engine/frline.h"

#include <algorithm>
#include <cmath>

TfrLineView::TfrLineView()
{
    TypeCode = 4;
    FrameTyp = frftLeft;
    FillColor = 0xFFFFFF;
    BaseName = QStringLiteral("Line");
}

void TfrLineView::DefinePropList()
{
    TfrView::DefinePropList();
    AddProperty(QStringLiteral("Stretched"), 8);
}

void TfrLineView::Draw(QPainter *canvas)
{
    AttachCanvas(canvas);
    // The line keeps the orientation it is drawn with.
    if (Height < Width) {
        Height = 0;
        FrameTyp = frftTop;
    } else {
        Width = 0;
        FrameTyp = frftLeft;
    }
    BeginDraw();
    ShowFrame();
    EndDraw();
}

QRegion TfrLineView::GetClipRgn(bool extended)
{
    const double w = FrameWidth;
    // Truncations, saturated at the drawing limit (the width may be absurd).
    auto trunc = [](double v) {
        return std::isnan(v) ? 0.0 : std::clamp(std::trunc(v), double(-frDrawLimit), double(frDrawLimit));
    };
    qint64 outer, inner;
    if (FrameStyle == psDouble) {
        outer = qint64(trunc(1.5 * w));
        inner = qint64(trunc(trunc((w - 1) / 2) + w));
    } else {
        outer = qint64(trunc(0.5 * w));
        inner = qint64(trunc((w - 1) / 2));
    }
    qint64 l = Left, t = Top, r = qint64(Left) + Width + 1, b = qint64(Top) + Height + 1;
    if (FrameTyp == frftLeft) {
        l -= outer;
        r += inner;
    } else {
        t -= outer;
        b += inner;
    }
    auto sat = [](qint64 v) { return int(std::clamp<qint64>(v, -frDrawLimit, frDrawLimit)); };
    QRect rc(QPoint(sat(l), sat(t)), QPoint(sat(r - 1), sat(b - 1)));
    if (extended)
        rc.adjust(-10, -10, 10, 10);
    return QRegion(rc);
}
