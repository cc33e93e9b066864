#pragma once
// config.ini: the database server, login name and enciphered password, in a
// plain Windows-style ini file ([ServerName] ServerName=..., [UserID] UserID=...,
// [PassWord] PassWord=...) stored in code page 936. Values are kept as typed,
// blanks included, so the file is read and written here rather than through
// QSettings, which quotes and escapes such values.
#include <QByteArray>
#include <QString>

namespace orv {

struct ServerConfig
{
    QString server;
    QString user;
    QString passwordCipher; // as stored: Base64 of the DES cipher, or empty
};

// The file's bytes when it is a regular file of at most 64 KB; false (and nothing read) for a
// missing or unreadable file, a directory, a FIFO or a device, or a larger file.
bool readConfigIniBytes(const QString &path, QByteArray &bytes);

// False when the file cannot be read (see readConfigIniBytes); a missing section
// or key reads as an empty text either way.
bool readConfigIni(const QString &path, ServerConfig &config);

// One value; empty when the file, section or key is missing. Names compare
// without regard to case, as the Windows profile functions do.
QString readIniValue(const QString &path, const QString &section, const QString &key);

// Writes the three values (the password enciphered; empty stays empty),
// creating the file and the sections when missing and keeping everything else
// in it. False when the file cannot be written or a value holds a line break.
// Throws CipherError for a password that ends in a NUL character.
bool writeConfigIni(const QString &path, const QString &server, const QString &user,
                    const QString &plainPassword);

} // namespace orv
