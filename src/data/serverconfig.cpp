#include "data/serverconfig.h"
#include "common/cipher.h"
#include "common/configini.h"

#include <QFileInfo>

namespace orv {

ConnectionSettings connectionSettings(const QString &server, const QString &user, const QString &password)
{
    ConnectionSettings s;
    s.server = server.trimmed();
    s.user = user.trimmed();
    s.password = password.trimmed();
    return s;
}

ConnectionSettings settingsFromConfigIni(const QString &path)
{
    ServerConfig cfg;
    if (!readConfigIni(path, cfg))
        throw DbError("config.ini cannot be read");
    return connectionSettings(cfg.server, cfg.user, decipherPassword(cfg.passwordCipher));
}

QString testConnection(const ConnectionSettings &s)
{
    try {
        Connection probe(QStringLiteral("orv_probe"));
        probe.open(s, Connection::SchemaMode::Leave);
        probe.close();
        return QString();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace orv
