#pragma once
// What the program sets up before its main window: the application's identity and language,
// and every subsystem's tables and menu entries.
class QApplication;

namespace orv {

void setUpApplication(QApplication &app);
// Tables and menu handlers of each subsystem, before the main window builds its menu.
void registerSubsystems();

} // namespace orv
