#pragma once
// What the program sets up before its main window: the application's identity, icon and
// language, and every subsystem's tables and menu entries.
#include <QApplication>

namespace orv {

// The program's application object. The interface is Chinese whatever the session's language:
// the standard dialogs are Qt's own, translated, and show sizes and dates in Chinese; every
// window carries the program's icon.
class Application : public QApplication {
public:
    Application(int &argc, char **argv);
};

// Identity, icon, language and the report engine, on an application object already made
// (Application does this itself).
void setUpApplication(QApplication &app);
// Tables and menu handlers of each subsystem, before the main window builds its menu.
void registerSubsystems();

} // namespace orv
