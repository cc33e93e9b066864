#pragma once
// Small helpers shared by the catalogue's windows.
#include "common/prompt.h"

#include <QLineEdit>
#include <QPalette>
#include <exception>

namespace orv::goodsui {

// A name box is white and editable while a record is entered, grey and read-only otherwise.
inline void setEntryState(QLineEdit *edit, bool editable)
{
    edit->setReadOnly(!editable);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, editable ? QColor(Qt::white) : QColor(0xd4, 0xd0, 0xc8));
    edit->setPalette(p);
}

// A failure reaches the operator as a message; the window stays usable.
inline void showError(QWidget *parent, const std::exception &e)
{
    notice(parent, QString::fromUtf8(e.what()), QMessageBox::Critical);
}

} // namespace orv::goodsui
