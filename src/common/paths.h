#pragma once
#include <QString>

namespace orv {
// Where config.ini and the reports folder live: beside the program first
// (a portable install and the build tree), else the XDG folders.
class Paths {
public:
    // Folder that holds (or will hold) config.ini.
    static QString configDir();
    static QString configFile();
    static QString reportsDir();
    // Overrides the folder for config.ini and orv.db (tests); empty restores the lookup.
    static void setConfigDirOverride(const QString &dir);
};
} // namespace orv
