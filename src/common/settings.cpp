#include "common/settings.h"

#include <QDir>
#include <QStandardPaths>

namespace orv {
namespace {
QString g_path;
}

void setUserSettingsPath(const QString &iniFile) { g_path = iniFile; }

std::unique_ptr<QSettings> userSettings()
{
    QString path = g_path;
    if (path.isEmpty()) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/orvane";
        QDir().mkpath(dir);
        path = dir + "/user.ini";
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
} // namespace orv
