#include "app/formdialog.h"

namespace orv {

void TFormDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

} // namespace orv
