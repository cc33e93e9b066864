#pragma once
// The cipher of the password kept in config.ini: DES (FIPS 46-3) in ECB mode
// with zero padding, then Base64. The format is fixed by files already written,
// so nothing here may change the bytes it produces.
#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace orv {

class CipherError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Only its first 8 bytes are the DES key.
inline constexpr char kPasswordKey[] = "qorvatelmibusdnkzw";

// Throws CipherError("Error: the last char is NULL char.") when Text is not
// empty and ends in byte 0 (zero padding could not be told from it).
QByteArray EncryptString(const QByteArray &text, const QByteArray &key);
// Whole 8-byte blocks only; every trailing byte 0 of the result is removed.
QByteArray DecryptString(const QByteArray &cipher, const QByteArray &key);

QString EncodeBase64(const QByteArray &bytes);
// Throws CipherError("Invalid Base64 code.") for a text that is not Base64.
QByteArray DecodeBase64(const QString &text);

// Password text <-> the value stored in config.ini (CP936 bytes, fixed key).
// Both throw CipherError.
QString encipherPassword(const QString &password);
QString decipherPassword(const QString &stored);

namespace detail {
// One DES block; exposed for known-answer checks.
quint64 desBlock(quint64 block, const QByteArray &key8, bool decrypt);
} // namespace detail

} // namespace orv
