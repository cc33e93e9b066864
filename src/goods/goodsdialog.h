#pragma once
// The catalogue's dialogs open at a size that shows their caption, every control and the
// content they typically hold: the opener centres a dialog at its size hint, so the hint
// is where that size is decided.
#include "app/formdialog.h"

#include <QSize>

namespace orv {

class GoodsDialog : public TFormDialog {
    Q_OBJECT
public:
    using TFormDialog::TFormDialog;

    QSize sizeHint() const override;
    // The size that shows the dialog's typical content (a tree of a few levels, a list of a
    // dozen rows); the hint never falls below it, nor below what the caption needs.
    void setTypicalSize(const QSize &size) { m_typical = size; }

protected:
    // The first show grows the dialog to its hint (within the screen), centred where it stood:
    // the opener's sizing caps a window at two thirds of the screen.
    void showEvent(QShowEvent *e) override;

private:
    QSize m_typical;
    bool m_sized = false;
};

// Width the window's caption needs in its title bar (text, icon and the frame's buttons).
int captionWidth(const QWidget *window);

} // namespace orv
