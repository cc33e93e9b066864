#include "purchasing/pickers.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "goods/frmselectfit.h"
#include "partners/frmduty.h"
#include "partners/frmyuangongmulu.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>

namespace orv {

void openStaffPicker(QWidget *opener, int staffMode)
{
    G.gStaffMode = staffMode;
    openModal(frmYuanGongMuLu, true, opener);
}

void openDepartmentPicker(QWidget *opener, int dutyMode)
{
    G.gDutyMode = dutyMode;
    openModal(frmDuty, true, opener);
}

void openEntryGoodsPicker(QWidget *opener, int fitCaller, int fitFilter)
{
    G.gFitView = 2;
    G.gFitAction = 1;
    G.gFitFilter = fitFilter;
    G.gFitCaller = fitCaller;
    G.gFitPrice = 2;
    openGoodsPicker(opener);
}

void setGreyReadOnly(QLineEdit *edit)
{
    edit->setReadOnly(true);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    edit->setPalette(p);
}

QLabel *redCaption(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    return l;
}

} // namespace orv
