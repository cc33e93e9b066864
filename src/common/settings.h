#pragma once
// The program's registry keys, kept as an INI file in the user's XDG config folder.
#include <QSettings>
#include <memory>

namespace orv {
// Settings under "Software\OrvReport\..." and the like keep their key names;
// backslashes become groups.
std::unique_ptr<QSettings> userSettings();
// Tests point the settings at a folder of their own.
void setUserSettingsPath(const QString &iniFile);
} // namespace orv
