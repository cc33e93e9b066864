#pragma once
// Binary stream encodings shared by every report file format.
// Integers are little-endian; texts are code-page-936 bytes.
// A short or malformed stream raises EfrStreamError; nothing reads past the data.
// A text of more than 65535 bytes, or a list of more than 65535 lines, is
// refused on writing with EfrNotStorable; nothing is cut.
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
