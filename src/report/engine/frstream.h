#pragma once
// Binary stream encodings shared by every report file format.
// Integers are little-endian; texts are code-page-936 bytes.
// A short or malformed stream raises EfrStreamError; nothing reads past the data.
// A text of more than 65535 bytes, or a list of more than 65535 lines, is
// refused on writing with EfrNotStorable; nothing is cut. Streams that never
// leave memory take them (TfrLongTexts).
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <stdexcept>

class EfrStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a file format cannot hold (a text beyond the 16-bit length fields, an
// object on page 257 or later): writing refuses it instead of cutting it. The
// message is for the operator.
constexpr int frMaxStreamTextBytes = 0xFFFF;
constexpr int frMaxStreamLines = 0xFFFF;
class EfrNotStorable : public EfrStreamError {
public:
    explicit EfrNotStorable(const QString &message) : EfrStreamError(message.toStdString()) {}
};

// A stream kept in memory (a build's copy of the template, the prepared pages) holds
// texts of any length. While a TfrLongTexts lives for a device, a text of 65535 bytes
// or more is written to it as the length 0xFFFF, a 32-bit length and the bytes, and is
// read back so; a list may have any number of lines. Files never get this form: a
// stored file has the 16-bit lengths only, and writing one refuses what they cannot hold.
class TfrLongTexts {
public:
    explicit TfrLongTexts(QIODevice &device);
    ~TfrLongTexts();
    TfrLongTexts(const TfrLongTexts &) = delete;
    TfrLongTexts &operator=(const TfrLongTexts &) = delete;
    // Texts written in the long form (or lists of more lines) since this began.
    int Written() const { return m_written; }

private:
    friend struct TfrLongTextsAccess;
    QIODevice *m_device;
    int m_written = 0;
};
// Whether the device takes texts of any length (a TfrLongTexts lives for it).
bool StreamTakesLongTexts(const QIODevice &s);

// A text as a 16-bit byte count and the bytes (the long form where the device takes it).
void WriteStreamText16(QIODevice &s, const QByteArray &bytes);
QByteArray ReadStreamText16(QIODevice &s);

quint8 ReadStreamByte(QIODevice &s);
qint16 ReadStreamWord(QIODevice &s);
qint32 ReadStreamInt(QIODevice &s);
double ReadStreamDouble(QIODevice &s);   // 8-byte IEEE double
float ReadStreamSingle(QIODevice &s);    // 4-byte IEEE single
bool ReadStreamBool(QIODevice &s);       // one byte, non-zero is true
QByteArray ReadStreamBytes(QIODevice &s, qint64 count);
QString ReadStreamString(QIODevice &s);
QStringList ReadStreamStrings(QIODevice &s);
QString ReadOldStreamString(QIODevice &s);
QStringList ReadOldStreamStrings(QIODevice &s);

void WriteStreamByte(QIODevice &s, quint8 v);
void WriteStreamWord(QIODevice &s, qint16 v);
void WriteStreamInt(QIODevice &s, qint32 v);
void WriteStreamDouble(QIODevice &s, double v);
void WriteStreamSingle(QIODevice &s, float v);
void WriteStreamBool(QIODevice &s, bool v);
void WriteStreamBytes(QIODevice &s, const QByteArray &bytes);
void WriteStreamString(QIODevice &s, const QString &text);
void WriteStreamStrings(QIODevice &s, const QStringList &lines);

// Font styles as stored: 1 italic, 2 bold, 4 underline, 8 strike-out.
struct TfrFontStyles {
    bool italic = false, bold = false, underline = false, strikeOut = false;
    bool operator==(const TfrFontStyles &) const = default;
};
TfrFontStyles IntToFontStyles(int v);
int FontStylesToInt(const TfrFontStyles &st);
