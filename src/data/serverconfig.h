#pragma once
// From config.ini (or typed values) to the settings of the shared connection.
#include "data/dbconnection.h"

namespace orv {

// Blanks around each value are removed, as the connection has always done.
ConnectionSettings connectionSettings(const QString &server, const QString &user, const QString &password);

// Reads config.ini and deciphers its password. Throws CipherError or DbError.
ConnectionSettings settingsFromConfigIni(const QString &path);

// Tries the settings on a connection of its own; the shared connection is not touched and
// nothing is created on the server (tables come when the program switches to it).
// Returns an empty text on success, the driver's error otherwise.
QString testConnection(const ConnectionSettings &s);

} // namespace orv
