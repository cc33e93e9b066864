#pragma once
// Base of the objects that host a visual control on a dialog page. No class of
// this kind is registered in this program; a class that hosts a widget creates
// it in its constructor and hands it to SetControl.
#include "report/engine/frview.h"

#include <QPointer>
#include <QWidget>

class TfrControl : public TfrView {
public:
    TfrControl();
    ~TfrControl() override;

    // The hosted control, owned by this object (or by the form it was placed on).
    QWidget *Control() const { return m_control; }
    void SetControl(QWidget *control);

    void DefinePropList() override;
    void SetPropValue(const QString &name, const QVariant &value) override;
    void DefinePopupMenu(QMenu *) override {}
    void Draw(QPainter *canvas) override;

    // Puts the control on `form` at the object's place.
    void PlaceControl(QWidget *form);
    // Paints the control, on a button-face ground of (Width + 1) x (Height + 1)
    // pixels, at (Left, Top) of Canvas. Between BeginDraw and EndDraw.
    virtual void PaintControl();

private:
    QPointer<QWidget> m_control;
};
