#pragma once
// Helpers of the administration tests: controls by their names, rows of the shared tables.
#include "testdb.h"

#include <QCheckBox>
#include <QSqlQuery>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>

namespace orv::test {

template <typename T = QWidget> T *control(QWidget *w, const QString &name)
{
    T *c = w->findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

inline QLineEdit *edit(QWidget *w, const QString &name) { return control<QLineEdit>(w, name); }
inline QToolButton *button(QWidget *w, const QString &name) { return control<QToolButton>(w, name); }
inline QTableWidget *grid(QWidget *w) { return control<QTableWidget>(w, "DBGrid1"); }

// The visible texts of a grid column.
inline QStringList column(QTableWidget *g, int c)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << (g->item(r, c) ? g->item(r, c)->text() : QString());
    return out;
}

inline int count(TestDb &t, const QString &table, const QString &where = QString(), const QVariantList &binds = {})
{
    return t.scalar("select count(*) from " + table + (where.isEmpty() ? QString() : " where " + where), binds).toInt();
}

} // namespace orv::test
