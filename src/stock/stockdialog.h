#pragma once
// The modal dialogs of stock taking and the ledgers: FormShow on first show, and Esc does not
// close them (only their own buttons and the title bar's close box do).
#include "app/formdialog.h"

#include <QKeyEvent>

namespace orv {

class StockDialog : public TFormDialog {
    Q_OBJECT
public:
    using TFormDialog::TFormDialog;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Escape) {
            e->accept();
            return;
        }
        TFormDialog::keyPressEvent(e);
    }
};

} // namespace orv
