#include "app/frmtime.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

QString shortDateText(const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

TDatePickDialog::TDatePickDialog(QWidget *opener, const QString &caption, const QString &pickerName,
                                 const QString &okName, const QString &cancelName)
    : m_opener(opener)
{
    setWindowTitle(caption);
    auto *label = new QLabel(QStringLiteral("日期："), this);
    m_datePicker = new QDateEdit(this);
    m_datePicker->setObjectName(pickerName);
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(okName);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("取消"), this);
    m_cancelButton->setObjectName(cancelName);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_datePicker, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString TDatePickDialog::chosenText() const { return shortDateText(m_datePicker->date()); }

void TDatePickDialog::FormShow()
{
    m_datePicker->setDate(Clock::localNow().date());
    m_okButton->setFocus();
}

TfrmTime::TfrmTime(QWidget *opener)
    : TDatePickDialog(opener, QStringLiteral("请选择时间"), QStringLiteral("DateTimePickerDate"),
                      QStringLiteral("btnOK"), QStringLiteral("btnCancel"))
{
}

void TfrmTime::FormShow()
{
    writeWindowStatus(windowTitle());
    TDatePickDialog::FormShow();
}

void TfrmTime::OkClick()
{
    G.gDateAndTime.Date = chosenText();
    SendMessage(m_opener, WM_DATE_CHOSEN);
    accept();
}

} // namespace orv
