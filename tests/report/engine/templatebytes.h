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

// A template of a stream version from 21 to 25, written field by field: an A5
// landscape page in the older page layout, an A4 page (a dialog page from
// version 24 on) holding a line with the texts 甲 and 乙, from version 24
// on an unknown object kind stepped over by its end position, and a dictionary
// (in the older block layout up to version 22). Pages and the
// line carry stored names only where the version stores them.
// Without the version byte the body starts at once, UseDefaultPrinter being 20.
inline QByteArray olderVersionStream(int version, bool versionByte = true)
{
    RawBytes w;
    if (versionByte)
        w.byte(version);
    // Without a version byte the body starts at once; its first byte (20) is UseDefaultPrinter's.
    w.i16(versionByte ? 0 : 20).i16(1).vstr(version, QString(QChar(1)));

    // Page 1: older layout (no -1 marker), A5 landscape.
    w.byte(255).i32(11).i32(1480).i32(2100).i32(10).i32(20).i32(30).i32(40).byte(1);
    if (version <= 22)
        w.raw(QByteArray(6, 'x'));
    if (version >= 24)
        w.i32(7);
    w.i16(-1).i16(0).i32(2).i32(5);
    if (version >= 24)
        w.byte(0).str(QStringLiteral("Kopf")).byte(0).str(QString()).i32(0).i32(0).i32(0).i32(0).i32(0).byte(0);
    // Page 2: current layout marker, A4, dialog in the newer versions.
    w.byte(255).i32(-1).i32(9).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).byte(0);
    if (version <= 22)
        w.raw(QByteArray(6, 'x'));
    if (version >= 24)
        w.i32(-1);
    w.i16(0).i16(-1).i32(1).i32(0);
    if (version >= 24)
        w.byte(1).str(QStringLiteral("Dialog")).byte(0).str(QStringLiteral("输入")).i32(0x00FF00)
            .i32(1).i32(2).i32(3).i32(4).byte(1).strings({QStringLiteral("x := 1;")});

    // A line on page 2.
    w.byte(4).byte(1);
    qint64 endAt = -1;
    if (version >= 24) {
        endAt = w.pos();
        w.i32(0);
    }
    if (version >= 23)
        w.vstr(version, QStringLiteral("LineA"));
    if (version >= 24)
        w.byte(2).byte(0);
    w.i32(11).i32(12).i32(13).i32(0).i16(1).i16(4).i32(2).i32(0xFF).i16(0).i32(0xFFFFFF);
    w.i32(0).vstr(version, QString()).vstrings(version, {QStringLiteral("甲"), QStringLiteral("乙")});
    if (version >= 23)
        w.vstrings(version, {}).i16(-1);
    if (version >= 24)
        w.i16(0).str(QStringLiteral("tag")).i32(2).i32(1).byte(0);
    if (version >= 24) {
        // Room the object does not use: the end position decides where the next record starts.
        w.raw(QByteArray(5, '\xAB'));
        w.patch32(endAt, w.pos());
        // A kind this program does not know, stepped over by its end position.
        w.byte(7).byte(0);
        const qint64 at = w.pos();
        w.i32(0).raw(QByteArray(9, '\x11'));
        w.patch32(at, w.pos());
    }
    // The dictionary: in the older block layout up to version 22 (typed records,
    // then the names as an old text list, categories without their blank), else
    // the current one. Either way a category 单据 with the variables 编号 and 页.
    w.byte(254);
    if (version <= 22) {
        auto shortText = [&w](const QString &s) {
            const QByteArray b = orv::toGbk(s);
            w.byte(int(b.size())).raw(b);
        };
        w.i32(2);
        w.byte(2).i32(1);
        shortText(QString());
        shortText(QStringLiteral("'PD-001'"));
        shortText(QStringLiteral("编号"));
        w.byte(2).i32(0);
        shortText(QString());
        shortText(QString());
        shortText(QStringLiteral("页"));
        w.vstrings(version, {QStringLiteral("单据"), QStringLiteral(" 编号"), QStringLiteral(" 页")});
        w.byte(252);
        return w.data;
    }
    w.i16(-2).i32(3).str(QStringLiteral(" 单据")).str(QString()).str(QStringLiteral("编号"))
        .str(QStringLiteral("'PD-001'")).str(QStringLiteral("页")).str(QStringLiteral("PAGE#"));
    w.i32(0).i32(0).byte(252);
    return w.data;
}

} // namespace orv::test
