#pragma once
// The purchasing tests use the document tests' fixture.
#include "documentfixture.h"

#include "common/clock.h"
#include "partners/staffcombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

namespace documenttest {

// What the purchasing windows' tests look up and count.
inline int closeEditor(QDialog *) { return int(QDialog::Rejected); }
inline QString today() { return orv::Clock::localNow().date().toString("yyyy-MM-dd"); }
inline QLineEdit *edit(QWidget *w, const char *name)
{
    auto *e = w->findChild<QLineEdit *>(QString::fromUtf8(name));
    if (!e)
        qFatal("no field %s", name);
    return e;
}
inline orv::StaffCombo *staff(QWidget *w, const char *name)
{
    return w->findChild<orv::StaffCombo *>(QString::fromUtf8(name));
}
inline QCheckBox *box(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(QString::fromUtf8(name)); }
inline QString supplierText(QWidget *w) { return w->findChild<QComboBox *>("ComboBox3")->currentText(); }
inline int count(orv::test::TestDb &t, const QString &table)
{
    return t.scalar("select count(*) from " + table).toInt();
}

} // namespace documenttest

namespace purchasetest = documenttest;
