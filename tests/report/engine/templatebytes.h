#pragma once
// Writes template bytes by hand, field by field, for the older stream
// versions and for broken streams that our own writer never produces.
#include "common/codec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtEndian>

namespace orv::test {

class RawBytes {
public:
    QByteArray data;

    RawBytes &byte(int v) { data.append(char(quint8(v))); return *this; }
    RawBytes &i16(int v)
    {
        char b[2];
        qToLittleEndian<qint16>(qint16(v), b);
        data.append(b, 2);
        return *this;
    }
    RawBytes &i32(qint64 v)
    {
        char b[4];
        qToLittleEndian<quint32>(quint32(v), b);
        data.append(b, 4);
        return *this;
    }
    RawBytes &f64(double v)
    {
        char b[8];
        qToLittleEndian<double>(v, b);
        data.append(b, 8);
        return *this;
    }
    RawBytes &raw(const QByteArray &b) { data.append(b); return *this; }
    // u16 length, bytes, 0 (version 23 on).
    RawBytes &str(const QString &s)
    {
        const QByteArray b = orv::toGbk(s);
        i16(int(b.size()));
        data.append(b);
        return byte(0);
    }
    // Bytes ended by 0 (version 22 and older).
    RawBytes &oldStr(const QString &s)
    {
        data.append(orv::toGbk(s));
        return byte(0);
    }
    RawBytes &strings(const QStringList &l)
    {
        i16(int(l.size()));
        if (l.isEmpty())
            return byte(0);
        for (int i = 0; i < l.size(); ++i) {
            const QByteArray b = orv::toGbk(l[i]);
            i16(int(b.size()));
            data.append(b);
            byte(i + 1 < l.size() ? 13 : 0);
        }
        return *this;
    }
    RawBytes &oldStrings(const QStringList &l)
    {
        for (const QString &s : l) {
            data.append(orv::toGbk(s));
            byte(13);
        }
        return byte(0);
    }
    // Text in the form of a stream version.
    RawBytes &vstr(int version, const QString &s) { return version >= 23 ? str(s) : oldStr(s); }
    RawBytes &vstrings(int version, const QStringList &l) { return version >= 23 ? strings(l) : oldStrings(l); }

    qint64 pos() const { return data.size(); }
    void patch32(qint64 at, qint64 v) { qToLittleEndian<quint32>(quint32(v), data.data() + at); }
};

} // namespace orv::test
