#pragma once
// The main menu: every entry in menu order with its caption and governing privilege flag.
#include <QList>
#include <QString>

namespace orv {

struct MenuItemDef {
    QString parent;  // top-level menu or submenu name; empty for a top-level menu itself
    QString name;    // object name ("FileNewItem", "N9", ...)
    QString caption; // "-" for a separator
    int flag = 0;    // privilege flag 1..55 that shows the entry; 0: always shown
    bool submenu = false;
};

const QList<MenuItemDef> &menuTree();

// Whether an entry governed by `flag` is shown for the given flag text.
// Only the exact text "True" shows it; "销售退货审核" is hidden for everyone.
bool menuEntryVisible(const QString &name, int flag, const QString &flagText);

} // namespace orv
