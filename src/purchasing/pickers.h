#pragma once
// How the purchasing windows open the shared pickers: the mode variable set, an instance left
// from an earlier opening freed, a new one centred and run modally. The picker hands its choice
// to the window that opened it.
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace orv {

void openStaffPicker(QWidget *opener, int staffMode);
void openDepartmentPicker(QWidget *opener, int dutyMode);
// The goods picker of an entry window (document mode, purchase price).
void openEntryGoodsPicker(QWidget *opener, int fitCaller, int fitFilter);

// The read-only look of a number field.
void setGreyReadOnly(QLineEdit *edit);
// A caption in red (the code entry's label, the hints above the grids).
QLabel *redCaption(const QString &text, QWidget *parent);

} // namespace orv
