#include "documents/pickers.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/codeentry.h"
#include "goods/frmselectfit.h"
#include "partners/frmduty.h"
#include "partners/frmyuangongmulu.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTableView>
#include <QToolButton>

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

void openEntryGoodsPicker(QWidget *opener, int fitCaller, int fitFilter, int fitPrice)
{
    G.gFitView = 2;
    G.gFitAction = 1;
    G.gFitFilter = fitFilter;
    G.gFitCaller = fitCaller;
    G.gFitPrice = fitPrice;
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

QToolButton *toolButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QComboBox *pickedOnlyCombo(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->lineEdit()->setReadOnly(true);
    return c;
}

QDateEdit *datePicker(const QString &name, QWidget *parent)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return d;
}

QTableView *listGrid(const QString &name, QAbstractItemModel *model, QWidget *parent)
{
    auto *g = new QTableView(parent);
    g->setObjectName(name);
    g->setModel(model);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    return g;
}

bool lookUpEnteredCode(QWidget *window, const QString &code, int fitPrice)
{
    bool found = false;
    try {
        found = fitFromCode(db(), code, G.gRepFit, fitPrice);
    } catch (const std::exception &e) {
        showError(window, e);
        return false;
    }
    if (!found)
        notice(window, QStringLiteral("没有此货品"));
    return found;
}

QString today() { return Clock::localNow().date().toString(QStringLiteral("yyyy-MM-dd")); }

} // namespace orv
