#include "report/engine/frstream.h"
#include "common/codec.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {
void need(QIODevice &s, char *dst, qint64 n)
{
    if (n < 0 || s.read(dst, n) != n)
        throw EfrStreamError("Unexpected end of stream");
}

template <typename T> T readLE(QIODevice &s)
{
    char buf[sizeof(T)];
    need(s, buf, sizeof(T));
    return qFromLittleEndian<T>(buf);
}

template <typename T> void writeLE(QIODevice &s, T v)
{
    char buf[sizeof(T)];
    qToLittleEndian<T>(v, buf);
    if (s.write(buf, sizeof(T)) != qint64(sizeof(T)))
        throw EfrStreamError("Stream write error");
}

// The devices that take long texts now; few at a time, most recent last.
thread_local std::vector<TfrLongTexts *> t_longTexts;

// 0xFFFF in the 16-bit length announces a 32-bit length, on devices that take long texts.
constexpr quint16 kLongTextMark = 0xFFFF;
} // namespace

struct TfrLongTextsAccess {
    static TfrLongTexts *find(const QIODevice &s)
    {
        for (auto it = t_longTexts.rbegin(); it != t_longTexts.rend(); ++it)
            if ((*it)->m_device == &s)
                return *it;
        return nullptr;
    }
    static void count(TfrLongTexts &t) { ++t.m_written; }
};

TfrLongTexts::TfrLongTexts(QIODevice &device) : m_device(&device) { t_longTexts.push_back(this); }

TfrLongTexts::~TfrLongTexts() { std::erase(t_longTexts, this); }

bool StreamTakesLongTexts(const QIODevice &s) { return TfrLongTextsAccess::find(s) != nullptr; }

QByteArray ReadStreamText16(QIODevice &s)
{
    const quint16 len = readLE<quint16>(s);
    if (len == kLongTextMark && StreamTakesLongTexts(s))
        return ReadStreamBytes(s, readLE<quint32>(s));
    return ReadStreamBytes(s, len);
}

void WriteStreamText16(QIODevice &s, const QByteArray &bytes)
{
    if (bytes.size() >= kLongTextMark) {
        if (TfrLongTexts *t = TfrLongTextsAccess::find(s)) {
            if (bytes.size() > qsizetype(0xFFFFFFFFu))
                throw EfrNotStorable(QStringLiteral("文本长度为 %1 字节，过长").arg(bytes.size()));
            writeLE<quint16>(s, kLongTextMark);
            writeLE<quint32>(s, quint32(bytes.size()));
            WriteStreamBytes(s, bytes);
            TfrLongTextsAccess::count(*t);
            return;
        }
    }
    // The length field is 16 bits: a longer text is refused, never cut or wrapped.
    if (bytes.size() > frMaxStreamTextBytes)
        throw EfrNotStorable(QStringLiteral("文本长度为 %1 字节，超过了报表文件所能保存的 %2 字节")
                                 .arg(bytes.size())
                                 .arg(frMaxStreamTextBytes));
    writeLE<quint16>(s, quint16(bytes.size()));
    WriteStreamBytes(s, bytes);
}

quint8 ReadStreamByte(QIODevice &s) { return readLE<quint8>(s); }
qint16 ReadStreamWord(QIODevice &s) { return readLE<qint16>(s); }
qint32 ReadStreamInt(QIODevice &s) { return readLE<qint32>(s); }

double ReadStreamDouble(QIODevice &s)
{
    const quint64 bits = readLE<quint64>(s);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

float ReadStreamSingle(QIODevice &s)
{
    const quint32 bits = readLE<quint32>(s);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool ReadStreamBool(QIODevice &s) { return ReadStreamByte(s) != 0; }

QByteArray ReadStreamBytes(QIODevice &s, qint64 count)
{
    if (count < 0 || (!s.isSequential() && count > s.bytesAvailable()))
        throw EfrStreamError("Unexpected end of stream");
    QByteArray b(qsizetype(count), Qt::Uninitialized);
    need(s, b.data(), count);
    return b;
}

QString ReadStreamString(QIODevice &s)
{
    const QByteArray b = ReadStreamText16(s);
    ReadStreamByte(s); // terminator, whatever it holds
    return orv::fromGbk(b);
}

QStringList ReadStreamStrings(QIODevice &s)
{
    QStringList out;
    // The count only tells an empty list; the separators decide how many lines follow.
    const quint16 n = readLE<quint16>(s);
    if (n == 0) {
        ReadStreamByte(s);
        return out;
    }
    for (;;) {
        out << orv::fromGbk(ReadStreamText16(s));
        if (ReadStreamByte(s) == 0) // 13 between lines, 0 after the last
            break;
    }
    return out;
}

QString ReadOldStreamString(QIODevice &s)
{
    QByteArray b;
    for (;;) {
        const quint8 c = ReadStreamByte(s);
        if (c == 0)
            break;
        b.append(char(c));
    }
    return orv::fromGbk(b);
}

QStringList ReadOldStreamStrings(QIODevice &s)
{
    QStringList out;
    QByteArray line;
    bool any = false;
    for (;;) {
        const quint8 c = ReadStreamByte(s);
        if (c == 0)
            break;
        any = true;
        if (c == 13) {
            out << orv::fromGbk(line);
            line.clear();
            any = false;
        } else {
            line.append(char(c));
        }
    }
    if (any)
        out << orv::fromGbk(line);
    return out;
}

void WriteStreamByte(QIODevice &s, quint8 v) { writeLE<quint8>(s, v); }
void WriteStreamWord(QIODevice &s, qint16 v) { writeLE<qint16>(s, v); }
void WriteStreamInt(QIODevice &s, qint32 v) { writeLE<qint32>(s, v); }

void WriteStreamDouble(QIODevice &s, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof v);
    writeLE<quint64>(s, bits);
}

void WriteStreamSingle(QIODevice &s, float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, sizeof v);
    writeLE<quint32>(s, bits);
}

void WriteStreamBool(QIODevice &s, bool v) { WriteStreamByte(s, v ? 1 : 0); }

void WriteStreamBytes(QIODevice &s, const QByteArray &bytes)
{
    if (s.write(bytes) != bytes.size())
        throw EfrStreamError("Stream write error");
}

void WriteStreamString(QIODevice &s, const QString &text)
{
    WriteStreamText16(s, orv::toGbk(text));
    WriteStreamByte(s, 0);
}

void WriteStreamStrings(QIODevice &s, const QStringList &lines)
{
    // The count only tells an empty list (the separators count the lines), so a stream
    // kept in memory may say 65535 for more.
    if (lines.size() > frMaxStreamLines) {
        TfrLongTexts *t = TfrLongTextsAccess::find(s);
        if (!t)
            throw EfrNotStorable(QStringLiteral("文本有 %1 行，超过了报表文件所能保存的 %2 行")
                                     .arg(lines.size())
                                     .arg(frMaxStreamLines));
        TfrLongTextsAccess::count(*t);
    }
    const qsizetype n = lines.size();
    writeLE<quint16>(s, quint16(std::min<qsizetype>(n, frMaxStreamLines)));
    if (n == 0) {
        WriteStreamByte(s, 0);
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        WriteStreamText16(s, orv::toGbk(lines[i]));
        WriteStreamByte(s, i + 1 < n ? 13 : 0);
    }
}

TfrFontStyles IntToFontStyles(int v)
{
    return {bool(v & 1), bool(v & 2), bool(v & 4), bool(v & 8)};
}

int FontStylesToInt(const TfrFontStyles &st)
{
    return (st.italic ? 1 : 0) | (st.bold ? 2 : 0) | (st.underline ? 4 : 0) | (st.strikeOut ? 8 : 0);
}
