#pragma once
// Date pickers of the document windows. Each is told the window that opened it and
// hands the chosen date to that window alone.
#include <QDate>
#include "app/formdialog.h"
#include <QPointer>

class QDateEdit;
class QLabel;
class QPushButton;

namespace orv {

// Dates travel between windows in the system's short date format.
QString shortDateText(const QDate &date);

// Label "日期：", a calendar drop-down and the buttons 确定/取消; Esc closes.
class TDatePickDialog : public TFormDialog {
    Q_OBJECT
public:
    TDatePickDialog(QWidget *opener, const QString &caption, const QString &pickerName, const QString &okName,
                    const QString &cancelName);

    QDateEdit *picker() const { return m_datePicker; }
    QWidget *opener() const { return m_opener; }
    // The picker's date as handed over.
    QString chosenText() const;

    void FormShow() override;
    virtual void OkClick() = 0;

protected:
    QPointer<QWidget> m_opener;
    QDateEdit *m_datePicker;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;

};

// 请选择时间: the date boxes of the receipt, purchase audit, purchase return, internal
// document and both transfer windows. Fills gDateAndTime.Date and sends WM_DATE_CHOSEN to its opener.
class TfrmTime : public TDatePickDialog {
    Q_OBJECT
public:
    explicit TfrmTime(QWidget *opener = nullptr);
    void FormShow() override;
    void OkClick() override; // btnOK
};

inline QPointer<TfrmTime> frmTime;

} // namespace orv
