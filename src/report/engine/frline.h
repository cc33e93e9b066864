#pragma once
// Line object: a horizontal or vertical line drawn with the frame pen.
#include "report/engine/frview.h"

class TfrLineView : public TfrStretcheable {
public:
    TfrLineView();
    QString ClassName() const override { return QStringLiteral("TfrLineView"); }
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    QRegion GetClipRgn(bool extended) override;
    void SaveToXML(TfrXmlWriter &xml) override;
    int CalcHeight() override { return Height; }
    int MinHeight() override { return 1; }
    int RemainHeight() override { return 0; }
};
