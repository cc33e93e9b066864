#include "app/xuanzeriqi.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"

#include <QDateEdit>

namespace orv {

Txuanzeriqi::Txuanzeriqi(QWidget *opener)
    : TDatePickDialog(opener, QStringLiteral("请选择日期"), QStringLiteral("DateTimePicker1"),
                      QStringLiteral("Button1"), QStringLiteral("Button2"))
{
    m_datePicker->setDate(Clock::localNow().date());
}

void Txuanzeriqi::FormShow()
{
    writeWindowStatus(windowTitle());
    TDatePickDialog::FormShow();
}

void Txuanzeriqi::OkClick()
{
    // The sales window fills its date box and moves on to its next field itself.
    if (G.gDatePickTarget == 2)
        setCallerField(m_opener, FieldRole::Date, kSalesDateField, chosenText());
    accept();
}

} // namespace orv
