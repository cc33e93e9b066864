#include "common/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orv {
namespace {
QString g_override;

QString programDir()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

bool writableDir(const QString &dir)
{
    QFileInfo fi(dir);
    return fi.isDir() && fi.isWritable();
}
} // namespace

void Paths::setConfigDirOverride(const QString &dir) { g_override = dir; }

QString Paths::configDir()
{
    if (!g_override.isEmpty())
        return g_override;
    // Beside the program when a config.ini is there; else the XDG folder when one is there;
    // else a new one beside the program when that folder is writable; else in the XDG folder.
    const QString beside = programDir();
    if (QFileInfo::exists(beside + "/config.ini"))
        return beside;
    const QString xdg = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (QFileInfo::exists(xdg + "/config.ini") || !writableDir(beside)) {
        QDir().mkpath(xdg);
        return xdg;
    }
    return beside;
}

QString Paths::configFile() { return configDir() + "/config.ini"; }

QString Paths::reportsDir()
{
    const QString beside = programDir() + "/reports";
    if (QFileInfo(beside).isDir())
        return beside;
    for (const QString &d : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        if (QFileInfo(d + "/reports").isDir())
            return d + "/reports";
    return beside;
}
} // namespace orv
