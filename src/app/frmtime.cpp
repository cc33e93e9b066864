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
    m_picker = new QDateEdit(this);
    m_picker->setObjectName(pickerName);
    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(okName);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(cancelName);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_picker, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TDatePickDialog::chosenText() const { return shortDateText(m_picker->date()); }

void TDatePickDialog::FormShow()
{
    m_picker->setDate(Clock::localNow().date());
    m_ok->setFocus();
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
