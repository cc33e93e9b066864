#pragma once
// How the menu and windows open one another: modal dialogs created afresh each time,
// child windows inside the main window (one class at a time), the status bar panels
// every opened window writes, and the handlers behind the menu entries.
#include "common/prompt.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QString>
#include <functional>

namespace orv {

// Menu entries by item name ("N9", "FileNewItem", ...). A subsystem registers the
// handlers of the entries whose windows it builds; an entry without a handler stays unconnected.
using MenuHandler = std::function<void()>;
void setMenuHandler(const QString &itemName, MenuHandler handler);
MenuHandler menuHandler(const QString &itemName);
QStringList menuHandlerNames();

// Panel 0 := "登陆时间", panel 5 := gAppTitle + "-[" + caption + "]" (when the main window exists).
void writeWindowStatus(const QString &caption);

// The wait cursor while a slow step (a connection attempt) runs on the GUI thread.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Centre a window on the desktop.
void centreOnDesktop(QWidget *w);

// Enter in a text box or drop-down of `window` moves the focus to the next field.
void enterMovesToNextField(QWidget *window);

// Modal-dialog steps: free an earlier instance, create a new one (the variable holds it
// before its own set-up runs), centre it and run it modally through the prompt layer.
// Returns the dialog's result code.
template <typename T, typename... Args>
int openModal(QPointer<T> &var, bool centre = true, Args &&...args)
{
    if (var) {
        var->close();
        delete var.data();
    }
    T *w = new T(std::forward<Args>(args)...);
    var = w;
    if (centre)
        centreOnDesktop(w);
    const int r = prompt().runModal(w);
    return r;
}

// Child windows live in the main window's workspace.
class ChildHost {
public:
    virtual ~ChildHost() = default;
    // Shows (restoring, raising, focusing) the open child of the same class, or adopts `created`.
    virtual QWidget *showChild(const char *className, const std::function<QWidget *()> &create) = 0;
    // Closes every child whose class is not `keepClassName`.
    virtual void closeOtherChildren(const char *keepClassName) = 0;
};
ChildHost *childHost();
void setChildHost(ChildHost *host);

// Closes the other children, then shows (or creates into `var`) the one child of class T.
template <typename T>
T *ShowChildForm(QPointer<T> &var)
{
    ChildHost *host = childHost();
    const char *cls = T::staticMetaObject.className();
    if (!host) {
        if (!var)
            var = new T();
        var->show();
        return var;
    }
    host->closeOtherChildren(cls);
    QWidget *w = host->showChild(cls, [&var]() -> QWidget * {
        T *t = new T();
        var = t;
        return t;
    });
    var = qobject_cast<T *>(w);
    return var;
}

} // namespace orv
