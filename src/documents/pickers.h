#pragma once
// How the document windows open the shared pickers: the mode variable set, an instance left
// from an earlier opening freed, a new one centred and run modally. The picker hands its choice
// to the window that opened it. Also the small controls the document windows build alike.
#include <QString>

class QAbstractItemModel;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;
class QWidget;

namespace orv {

void openStaffPicker(QWidget *opener, int staffMode);
void openDepartmentPicker(QWidget *opener, int dutyMode);
// The prices a goods line is handed over at (G.gFitPrice): the goods row's 出货价 or 进货价.
inline constexpr int kSalePrice = 1;
inline constexpr int kPurchasePrice = 2;

// The goods picker of an entry window (document mode) at `fitPrice`.
void openEntryGoodsPicker(QWidget *opener, int fitCaller, int fitFilter, int fitPrice);

// The read-only look of a number field.
void setGreyReadOnly(QLineEdit *edit);
// A caption in red (the code entry's label, the hints above the grids).
QLabel *redCaption(const QString &text, QWidget *parent);
// A flat text button, a text box and a read-only one-row-at-a-time list, each under its control name.
QToolButton *toolButton(const QString &name, const QString &text, QWidget *parent);
QLineEdit *lineEdit(const QString &name, QWidget *parent);
QTableView *listGrid(const QString &name, QAbstractItemModel *model, QWidget *parent);
// A drop-down whose text comes from its picker alone: typing into it is refused.
QComboBox *pickedOnlyCombo(const QString &name, QWidget *parent);
// A date field with its calendar, showing "yyyy-MM-dd" (the search range, the audit date).
QDateEdit *datePicker(const QString &name, QWidget *parent);
// An entry window's code entry: the goods code or barcode typed looked up into G.gRepFit at
// `fitPrice`; false, after saying why, when it finds nothing.
bool lookUpEnteredCode(QWidget *window, const QString &code, int fitPrice);
// Today's local date as the date fields show it.
QString today();

} // namespace orv
