#include "app/frmpushtime.h"
#include "app/appglobals.h"

namespace orv {

TfrmPushTime::TfrmPushTime(QWidget *opener)
    : TDatePickDialog(opener, QStringLiteral("请选择日期"), QStringLiteral("DateTimePickerDate"),
                      QStringLiteral("Button1"), QStringLiteral("Button2"))
{
}

void TfrmPushTime::OkClick()
{
    G.gDateAndTime.Date = chosenText();
    SendMessage(m_opener, WM_DATE_CHOSEN);
    accept();
}

} // namespace orv
