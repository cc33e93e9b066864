#include "report/engine/frline.h"

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
    int outer, inner;
    if (FrameStyle == psDouble) {
        outer = int(std::trunc(1.5 * w));
        inner = int(std::trunc(std::trunc((w - 1) / 2) + w));
    } else {
        outer = int(std::trunc(0.5 * w));
        inner = int(std::trunc((w - 1) / 2));
    }
    int l = Left, t = Top, r = Left + Width + 1, b = Top + Height + 1;
    if (FrameTyp == frftLeft) {
        l -= outer;
        r += inner;
    } else {
        t -= outer;
        b += inner;
    }
    QRect rc(QPoint(l, t), QPoint(r - 1, b - 1));
    if (extended)
        rc.adjust(-10, -10, 10, 10);
    return QRegion(rc);
}
