#pragma once
// Shape add-in: rectangle, rounded rectangle, ellipse, triangle, diagonals.
#include "report/engine/frview.h"

enum TfrShapeKind : quint8 {
    skRectangle = 0, skRoundRectangle, skEllipse, skTriangle, skDiagonal1, skDiagonal2
};

class TfrShapeView : public TfrView {
public:
    TfrShapeView();
    QString ClassName() const override { return QStringLiteral("TfrShapeView"); }
    quint8 Shape = skRectangle;
    void SetPropValue(const QString &name, const QVariant &value) override;
    QVariant GetPropValue(const QString &name) override;
    void DefinePropList() override;
    void Draw(QPainter *canvas) override;
    void LoadFromStream(QIODevice &stream) override;
    void SaveToStream(QIODevice &stream) override;
    void SaveToXML(TfrXmlWriter &xml) override;
    void DefinePopupMenu(QMenu *) override {}
};

// Registers the class with the add-in table (done once, before the first CreateView).
void RegisterShapeAddIn();
