#include "app/xuanzeriqi.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

namespace orv {

Txuanzeriqi::Txuanzeriqi(QWidget *opener)
    : TDatePickDialog(opener, QStringLiteral("请选择日期"), QStringLiteral("DateTimePicker1"),
                      QStringLiteral("Button1"), QStringLiteral("Button2"))
{
    m_picker->setDate(Clock::localNow().date());
}

void Txuanzeriqi::FormShow()
{
    writeWindowStatus(windowTitle());
    TDatePickDialog::FormShow();
}

void Txuanzeriqi::OkClick()
{
    if (G.gDatePickTarget == 2 && m_opener) {
        if (auto *edit = m_opener->findChild<QLineEdit *>(QStringLiteral("Edit2")))
            edit->setText(chosenText());
        if (auto *combo = m_opener->findChild<QWidget *>(QStringLiteral("ComboBox2")))
            combo->setFocus();
    }
    accept();
}

} // namespace orv
