#pragma once
// Small pieces the administration windows share.
#include <QString>
#include <QStringList>

class QLineEdit;
class QTableWidget;
class QToolButton;
class QWidget;

namespace orv::adminui {

QToolButton *flatButton(QWidget *parent, const QString &objectName, const QString &text);

// White and writable while a record is entered; read-only on the button-face grey otherwise.
void setEditable(QLineEdit *edit, bool editable);

// A read-only list with whole-row selection and the given column titles.
QTableWidget *listGrid(QWidget *parent, const QString &objectName, const QStringList &titles);

// While the list has the focus, a wheel turn moves its current row one row, as an arrow key would.
void wheelMovesCurrentRow(QTableWidget *grid);

// The text of a cell ("" for a missing row or item).
QString cellText(const QTableWidget *grid, int row, int column);

} // namespace orv::adminui
