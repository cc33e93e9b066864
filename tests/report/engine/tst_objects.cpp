// Object records, the factory and the property interface of report objects.
#include "report/engine/frband.h"
#include "report/engine/frbuild.h"
#include "report/engine/frcheckbox.h"
#include "common/jpeg.h"
#include "report/engine/frline.h"
#include "report/engine/frmemo.h"
#include "report/engine/frpicture.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"

#include "common/codec.h"
#include "jpegfixture.h"

#include <QBuffer>
#include <QMenu>
#include <QtTest>

namespace {
// Little-endian record bytes written by hand, the way older files hold them.
class Bytes {
public:
    Bytes &u8(int v) { b.append(char(v)); return *this; }
    Bytes &u16(int v) { u8(v & 0xFF); return u8((v >> 8) & 0xFF); }
    Bytes &i32(qint64 v) { u16(int(v & 0xFFFF)); return u16(int((v >> 16) & 0xFFFF)); }
    Bytes &str(const QString &s) { const QByteArray g = orv::toGbk(s); u16(int(g.size())); b += g; return u8(0); }
    Bytes &oldStr(const QString &s) { b += orv::toGbk(s); return u8(0); }
    Bytes &list(const QStringList &l)
    {
        u16(int(l.size()));
        if (l.isEmpty())
            return u8(0);
        for (int i = 0; i < l.size(); ++i) {
            const QByteArray g = orv::toGbk(l[i]);
            u16(int(g.size()));
            b += g;
            u8(i + 1 < l.size() ? 13 : 0);
        }
        return *this;
    }
    Bytes &oldList(const QStringList &l)
    {
        for (const QString &s : l) {
            b += orv::toGbk(s);
            u8(13);
        }
        return u8(0);
    }
    Bytes &raw(const QByteArray &r) { b += r; return *this; }
    // The 30-byte geometry and frame block plus the fill colour.
    Bytes &geometry(int l, int t, int w, int h, int flags, int frameTyp, int fw, int fc, int fs, int fill)
    {
        i32(l).i32(t).i32(w).i32(h).u16(flags).u16(frameTyp).i32(fw).i32(fc).u16(fs);
        return i32(fill);
    }
    QByteArray b;
};

QByteArray save(TfrView &v)
{
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    v.SaveToStream(buf);
    return buf.data();
}

void load(TfrView &v, const QByteArray &data, int version, int recordMode = 0)
{
    StreamVersion = version;
    v.RecordMode = quint8(recordMode);
    QBuffer buf;
    buf.setData(data);
    buf.open(QIODevice::ReadOnly);
    v.LoadFromStream(buf);
    StreamVersion = 25;
}

std::unique_ptr<TfrView> make(int type, const QString &cls = QString())
{
    return CreateView(type, cls);
}

// A filled-in object of each kind, different from its defaults.
std::unique_ptr<TfrView> sample(int type, const QString &cls)
{
    auto v = make(type, cls);
    v->Name = QStringLiteral("对象1");
    v->SetBounds(10, 20, 300, 40);
    v->FrameTyp = (type == 2) ? 5 : 15;
    v->FrameWidth = 1.5;
    v->FrameColor = 0x0000FF;
    v->FrameStyle = psDash;
    v->FillColor = 0x00FFFF;
    v->FormatText = QStringLiteral("#,##0.00");
    v->Memo = {QStringLiteral("第一行 [Price]"), QString(), QStringLiteral("end")};
    v->Script = {QStringLiteral("begin"), QStringLiteral("end")};
    v->Visible = false;
    v->Restrictions = 9;
    v->Tag = QStringLiteral("tag[1]");
    v->GapX = 5;
    v->GapY = 6;
    v->BandAlign = baRight;
    if (auto *m = dynamic_cast<TfrMemoView *>(v.get())) {
        m->Font.Name = QStringLiteral("宋体");
        m->Font.Size = 12;
        m->Font.Style.bold = true;
        m->Font.Color = 0x123456;
        m->Alignment = frtaCenter | frtaMiddle;
        m->HighlightCondition = QStringLiteral("[Qty] > 1");
        m->HighlightFontColor = 0xFF;
        m->LineSpacing = 4;
        m->CharSpacing = 1;
    }
    if (auto *b = dynamic_cast<TfrBandView *>(v.get())) {
        b->ChildBand = QStringLiteral("子1");
        b->Master = QStringLiteral("主项数据1");
        b->Columns = 3;
        b->ColumnWidth = 150;
    }
    if (auto *s = dynamic_cast<TfrSubReportView *>(v.get()))
        s->SubReportPage = 2;
    if (auto *p = dynamic_cast<TfrPictureView *>(v.get())) {
        QImage img(4, 3, QImage::Format_RGB32);
        img.fill(Qt::red);
        p->Picture.Set(gkJpeg, orv::encodeJpeg(img));
        p->BlobType = btJPG;
    }
    if (auto *s = dynamic_cast<TfrShapeView *>(v.get()))
        s->Shape = skEllipse;
    if (auto *c = dynamic_cast<TfrCheckBoxView *>(v.get())) {
        c->CheckStyle = csCheck;
        c->CheckColor = 0x00FF00;
    }
    return v;
}
} // namespace

class TestObjects : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StreamVersion = 25;
        EngineMode = 0;
        LoadErrorFlag = false;
        LoadErrorText.clear();
        EngineHooks = TfrEngineHooks();
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<int>("mode");
        for (int mode : {0, 1}) {
            const QByteArray m = mode ? " prepared" : " template";
            QTest::newRow("memo" + m) << 0 << QString() << mode;
            QTest::newRow("picture" + m) << 1 << QString() << mode;
            QTest::newRow("band" + m) << 2 << QString() << mode;
            QTest::newRow("subreport" + m) << 3 << QString() << mode;
            QTest::newRow("line" + m) << 4 << QString() << mode;
            QTest::newRow("shape" + m) << 10 << QStringLiteral("TfrShapeView") << mode;
            QTest::newRow("checkbox" + m) << 10 << QStringLiteral("TfrCheckBoxView") << mode;
        }
    }
    void roundTrip()
    {
        QFETCH(int, type);
        QFETCH(QString, cls);
        QFETCH(int, mode);
        auto a = sample(type, cls);
        a->RecordMode = quint8(mode);
        a->PrintText = a->Memo;
        const QByteArray bytes = save(*a);
        auto b = make(type, cls);
        load(*b, bytes, 25, mode);
        b->RecordMode = quint8(mode);
        b->PrintText = b->Memo;
        QCOMPARE(save(*b), bytes);
        QCOMPARE(b->Name, a->Name);
        QCOMPARE(b->Memo, a->Memo);
        QCOMPARE(b->FrameWidth, 1.5);
        QCOMPARE(b->Tag, a->Tag);
        if (mode == 0) {
            QCOMPARE(b->Script, a->Script);
            QCOMPARE(b->Visible, false);
        } else {
            // A prepared record carries the evaluated text only.
            QVERIFY(b->Script.isEmpty());
            QVERIFY(b->Visible);
            QCOMPARE(b->FormatText, QString());
        }
    }

    void frameWidthCoding_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<qint32>("stored");
        QTest::newRow("0") << 0.0 << 0;
        QTest::newRow("1") << 1.0 << 1;
        QTest::newRow("10") << 10.0 << 10;
        QTest::newRow("1.5") << 1.5 << 1500;
        QTest::newRow("0.1") << 0.1 << 100;
        QTest::newRow("2.125") << 2.125 << 2125;
        QTest::newRow("whole above 10") << 12.0 << 12000;
    }
    void frameWidthCoding()
    {
        QFETCH(double, width);
        QFETCH(qint32, stored);
        QCOMPARE(TfrView::EncodeFrameWidth(width), stored);
        QCOMPARE(TfrView::DecodeFrameWidth(stored), width);
    }
    void storedTwentyIsThousandths() { QCOMPARE(TfrView::DecodeFrameWidth(20), 0.02); }
    void negativeStoredWidthReadsAsNone()
    {
        for (qint32 stored : {-1, -1000, -2147483647 - 1})
            QCOMPARE(TfrView::DecodeFrameWidth(stored), 0.0);
    }

    // Version 23 template: new string forms, no record version, no later fields.
    void memoVersion23()
    {
        Bytes b;
        b.str(QStringLiteral("Memo7"))
            .geometry(1, 2, 30, 40, 3, 15, 2, 0, 0, clTransparent)
            .i32(0x01020000).str(QStringLiteral("fmt")).list({QStringLiteral("x"), QStringLiteral("y")})
            .list({QStringLiteral("script")}).u16(0)
            // font name, size, style, colour, alignment, charset
            .str(QStringLiteral("黑体")).i32(9).u16(2).i32(255).i32(1).u16(134)
            .u16(1).i32(0xFF).i32(0xFFFF).str(QStringLiteral("cond"));
        TfrMemoView m;
        load(m, b.b, 23);
        QCOMPARE(m.Name, QStringLiteral("Memo7"));
        QCOMPARE(m.Width, 30);
        QCOMPARE(m.FrameWidth, 2.0);
        QCOMPARE(m.DisplayFormat, 0x01020000);
        QCOMPARE(m.Memo, QStringList({"x", "y"}));
        QCOMPARE(m.Script, QStringList({"script"}));
        QCOMPARE(m.Visible, false);
        QCOMPARE(m.Font.Name, QStringLiteral("黑体"));
        QCOMPARE(m.Font.Charset, 134);
        QCOMPARE(m.HighlightCondition, QStringLiteral("cond"));
        // Fields of later versions keep their constructor values.
        QCOMPARE(m.GapX, 2);
        QCOMPARE(m.Tag, QString());
        QCOMPARE(m.LineSpacing, 2);
        QCOMPARE(m.BandAlign, quint8(baNone));
    }

    // Versions 21 and 22: zero-terminated strings, no name, no script, charset replaced.
    void memoOldVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("wordWrap");
        QTest::newRow("22") << 22 << false;
        QTest::newRow("21 turns word wrap on") << 21 << true;
    }
    void memoOldVersions()
    {
        QFETCH(int, version);
        QFETCH(bool, wordWrap);
        Bytes b;
        b.geometry(5, 6, 70, 80, 1, 0, 1, 0, 0, 0xFFFFFF)
            .i32(0).oldStr(QString()).oldList({QStringLiteral("甲"), QString(), QStringLiteral("乙")})
            .oldStr(QStringLiteral("Arial")).i32(10).u16(0).i32(0).i32(2).u16(134)
            .u16(2).i32(0).i32(0xFFFFFF).oldStr(QString());
        TfrMemoView m;
        load(m, b.b, version);
        QCOMPARE(m.Memo, QStringList({"甲", "", "乙"}));
        QCOMPARE(m.Name, QStringLiteral("Memo1")); // given a fresh name
        QCOMPARE(m.Font.Charset, 1);
        QCOMPARE(m.Alignment, qint32(frtaCenter));
        QCOMPARE(bool(m.Flags & flWordWrap), wordWrap);
        QVERIFY(m.Script.isEmpty());
        QVERIFY(m.Visible);
    }

    // A version-23 prepared record has no name; the object is named afresh.
    void preparedVersion23()
    {
        Bytes b;
        b.geometry(1, 2, 3, 4, 1, 0, 1, 0, 0, clTransparent).list({QStringLiteral("printed")});
        TfrShapeView s;
        load(s, b.b + QByteArray(1, char(skTriangle)), 23, 1);
        QCOMPARE(s.Name, QStringLiteral("Shape1"));
        QCOMPARE(s.Memo, QStringList({"printed"}));
        QCOMPARE(s.Shape, quint8(skTriangle));
    }

    void bandVersion23KeepsDefaults()
    {
        Bytes b;
        b.str(QStringLiteral("主项数据1")).geometry(0, 100, 700, 20, 48, 5, 1, 0, 0, clTransparent)
            .i32(0).str(QStringLiteral("frDataSet1")).list({}).list({}).u16(0xFFFF);
        TfrBandView band;
        load(band, b.b, 23);
        QCOMPARE(band.GetBandType(), int(btMasterData));
        QCOMPARE(band.FormatText, QStringLiteral("frDataSet1"));
        QCOMPARE(band.ChildBand, QString());
        QCOMPARE(band.Columns, 1);
        QCOMPARE(band.ColumnWidth, 200);
        QCOMPARE(band.ColumnGap, 20);
        QCOMPARE(band.Master, QString());
    }

    // A version-24 band written with record minor 0 has no master field.
    void bandMasterNeedsRecordVersion()
    {
        TfrBandView a;
        a.Master = QStringLiteral("M");
        QByteArray bytes = save(a);
        // Record minor is the byte after the name (u16 length 0 + terminator = 3 bytes, then major).
        QCOMPARE(int(bytes[3]), 2);
        QCOMPARE(int(bytes[4]), 1);
        bytes[4] = 0;
        bytes.chop(3); // the master string
        TfrBandView b;
        load(b, bytes, 24);
        QCOMPARE(b.Master, QString());
    }

    void checkBoxVersion23KeepsDefaults()
    {
        Bytes b;
        b.str(QStringLiteral("Check1")).geometry(0, 0, 20, 20, 1, 15, 2, 0, 0, clTransparent)
            .i32(0).str(QString()).list({QStringLiteral("[Done]")}).list({}).u16(0xFFFF);
        auto v = make(10, QStringLiteral("TfrCheckBoxView"));
        load(*v, b.b, 23);
        auto *c = static_cast<TfrCheckBoxView *>(v.get());
        QCOMPARE(c->CheckStyle, quint8(csCross));
        QCOMPARE(c->CheckColor, 0);
        QCOMPARE(c->Memo, QStringList({"[Done]"}));
    }

    void pictureVersion23()
    {
        // No record version: no blob type byte; the end position is absolute.
        QImage img(2, 2, QImage::Format_RGB32);
        img.fill(Qt::blue);
        const QByteArray jpeg = orv::encodeJpeg(img);
        Bytes b;
        b.raw("PREFIX"); // the record does not start at 0 in its stream
        b.str(QStringLiteral("Picture1")).geometry(0, 0, 50, 50, 5, 0, 1, 0, 0, clTransparent)
            .i32(0).str(QString()).list({}).list({}).u16(0xFFFF).u8(gkJpeg);
        const qint64 end = b.b.size() + 4 + jpeg.size();
        b.i32(end).raw(jpeg).raw("NEXT");
        TfrPictureView p;
        StreamVersion = 23;
        QBuffer buf;
        buf.setData(b.b);
        buf.open(QIODevice::ReadOnly);
        buf.seek(6);
        p.LoadFromStream(buf);
        StreamVersion = 25;
        QCOMPARE(buf.pos(), end);
        QCOMPARE(p.Picture.Kind, quint8(gkJpeg));
        QCOMPARE(p.Picture.Data, jpeg);
        QCOMPARE(p.BlobType, quint8(btBMP));
        QCOMPARE(p.Picture.Image().size(), QSize(2, 2));
    }

    void pictureContinuesAfterUndecodableImage()
    {
        TfrPictureView a;
        a.Picture.Set(gkJpeg, QByteArray("\xFF\xD8 this is not a jpeg at all", 28));
        QByteArray bytes = save(a);
        bytes += "TAIL";
        TfrPictureView b;
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        b.LoadFromStream(buf);
        QCOMPARE(buf.read(4), QByteArray("TAIL"));
        QVERIFY(b.Picture.Image().isNull());
        QVERIFY(!b.Picture.DecodeError().isEmpty());
        QImage canvas(60, 60, QImage::Format_RGB32);
        QPainter p(&canvas);
        b.Draw(&p); // draws a marked box, no crash
    }

    void metafileKeptByteForByte()
    {
        QByteArray emf(88, '\0');
        emf[0] = 1; // record type 1: header; bounds 0,0..99,49
        emf[16] = 99;
        emf[20] = 49;
        emf += QByteArray("rest of records", 15);
        TfrPictureView a;
        a.Picture.Set(gkMetafile, emf);
        TfrPictureView b;
        load(b, save(a), 25);
        QCOMPARE(b.Picture.Data, emf);
        QCOMPARE(b.Picture.NaturalSize(), QSize(100, 50));
    }

    // Every cut of a record is refused with a stream error, never a crash or a read past the data.
    void truncatedRecords_data() { roundTrip_data(); }
    void truncatedRecords()
    {
        QFETCH(int, type);
        QFETCH(QString, cls);
        QFETCH(int, mode);
        auto a = sample(type, cls);
        a->RecordMode = quint8(mode);
        const QByteArray bytes = save(*a);
        for (int n = 0; n < bytes.size(); ++n) {
            auto b = make(type, cls);
            bool refused = false;
            try {
                load(*b, bytes.left(n), 25, mode);
            } catch (const EfrStreamError &) {
                refused = true;
            }
            StreamVersion = 25;
            QVERIFY2(refused, qPrintable(QStringLiteral("accepted a cut at %1 of %2").arg(n).arg(bytes.size())));
        }
    }

    void hostilePictureSizes_data()
    {
        QTest::addColumn<qint64>("end");
        QTest::newRow("beyond the data") << qint64(0xFFFFFFF0);
        QTest::newRow("before its own position") << qint64(3);
    }
    void hostilePictureSizes()
    {
        QFETCH(qint64, end);
        TfrPictureView a;
        QByteArray bytes = save(a);
        // The end position is the last u32 of an empty picture record.
        const int at = bytes.size() - 4;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((end >> (8 * i)) & 0xFF);
        TfrPictureView b;
        QVERIFY_THROWS_EXCEPTION(EfrStreamError, load(b, bytes, 25));
        StreamVersion = 25;
    }

    void hostileStringLength()
    {
        // A name announcing 65535 bytes in a 10-byte stream.
        const QByteArray bytes("\xFF\xFFshort", 7);
        TfrMemoView m;
        QVERIFY_THROWS_EXCEPTION(EfrStreamError, load(m, bytes, 25));
        StreamVersion = 25;
    }

    void corruptJpeg_data()
    {
        QTest::addColumn<QByteArray>("data");
        QImage img(32, 32, QImage::Format_RGB32);
        img.fill(Qt::green);
        const QByteArray good = orv::encodeJpeg(img);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("GIF89a not a jpeg");
        QTest::newRow("header only") << good.left(20);
        const int sof = int(good.indexOf(QByteArray("\xFF\xC0", 2)));
        QVERIFY(sof > 0);
        QByteArray badPrecision = good;
        badPrecision[sof + 4] = char(3);
        QTest::newRow("bad sample precision") << badPrecision;
        QByteArray huge = good;
        // Claim a 65500 x 65500 frame in the start-of-frame header.
        huge[sof + 5] = char(0xFF);
        huge[sof + 6] = char(0xDC);
        huge[sof + 7] = char(0xFF);
        huge[sof + 8] = char(0xDC);
        QTest::newRow("absurd frame size") << huge;
    }
    void corruptJpeg()
    {
        QFETCH(QByteArray, data);
        QString error;
        const QImage img = orv::decodeJpeg(data, &error);
        QVERIFY(img.isNull());
        QVERIFY(!error.isEmpty());
    }

    void truncatedJpegDoesNotCrash()
    {
        QImage img(64, 64, QImage::Format_RGB32);
        img.fill(Qt::green);
        const QByteArray good = orv::encodeJpeg(img);
        QCOMPARE(orv::decodeJpeg(good).size(), QSize(64, 64));
        QCOMPARE(orv::decodeJpeg(good).pixelColor(10, 10).green() > 200, true);
        // A cut stream is damage: an error, never a grey-padded picture or an exit.
        QString error;
        const QImage cut = orv::decodeJpeg(good.left(good.size() / 2), &error);
        QVERIFY(cut.isNull());
        QVERIFY(!error.isEmpty());
    }

    // Report pictures go through the one bounded decoder, a JPEG under another name too.
    void reportPictureScansBounded()
    {
        QImage img(32, 32, QImage::Format_RGB32);
        img.fill(Qt::gray);
        const QByteArray busy = orv::test::progressiveJpeg(img, 2);
        QVERIFY(orv::test::jpegScanCount(busy) > orv::kJpegMaxScans);
        TfrPictureView stored;
        stored.Picture.Set(gkJpeg, busy);
        QVERIFY(stored.Picture.Image().isNull());
        QVERIFY(stored.Picture.DecodeError().contains(QStringLiteral("scans")));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("picture.png"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(busy);
        f.close();
        TfrPictureView loaded;
        QVERIFY(loaded.LoadFromFile(file));
        QCOMPARE(loaded.Picture.Kind, quint8(gkJpeg));
        QCOMPARE(loaded.Picture.Data, busy);
        QVERIFY(loaded.Picture.Image().isNull());
    }

    void factory()
    {
        QCOMPARE(CreateView(7, QString()).get(), nullptr);
        auto a = CreateView(0);
        auto b = CreateView(4);
        QCOMPARE(b->ObjectID, a->ObjectID + 1);
        QCOMPARE(CreateView(10, QStringLiteral("TfrShapeView"))->TypeCode, quint8(10));
        QCOMPARE(CreateView(10, QStringLiteral("TfrShapeView"))->ClassName(), QStringLiteral("TfrShapeView"));
        // The class name is compared exactly.
        QVERIFY_THROWS_EXCEPTION(EfrClassNotFound, CreateView(10, QStringLiteral("tfrshapeview")));
        QVERIFY_THROWS_EXCEPTION(EfrClassNotFound, CreateView(10, QStringLiteral("TfrGone")));
        QVERIFY(LoadErrorFlag);
        QCOMPARE(LoadErrorText, QStringLiteral("tfrshapeview\rTfrGone\r"));
    }

    void addInTableLimit()
    {
        const int before = AddInObjectCount();
        QVERIFY(before >= 2);
        QVERIFY(!RegisterAddInObject(QStringLiteral("TfrShapeView"), [] { return new TfrShapeView; }, {},
                                     QStringLiteral("ignored")));
        QCOMPARE(AddInObjectCount(), before);
        QCOMPARE(AddInObject(0).ButtonHint, QStringLiteral("55226"));
        int added = 0;
        for (int i = 0; i < frMaxAddIns + 5; ++i) {
            if (RegisterAddInObject(QStringLiteral("TfrDummy%1").arg(i), [] { return new TfrShapeView; }, {},
                                    QString()))
                ++added;
        }
        QCOMPARE(AddInObjectCount(), frMaxAddIns);
        QCOMPARE(added, frMaxAddIns - before);
    }

    void defaults()
    {
        TfrMemoView m;
        QCOMPARE(m.TypeCode, quint8(0));
        QCOMPARE(m.Flags, quint16(3));
        QCOMPARE(m.BaseName, QStringLiteral("Memo"));
        TfrBandView band;
        QCOMPARE(band.Flags, quint16(48));
        QCOMPARE(band.DisplayFormat, 0);
        band.SetBandType(0x85);
        QCOMPARE(band.GetBandType(), 5);
        TfrLineView line;
        QCOMPARE(line.FrameTyp, quint16(frftLeft));
        QCOMPARE(line.FillColor, 0xFFFFFF);
        TfrPictureView pic;
        QCOMPARE(pic.Flags, quint16(5));
        TfrCheckBoxView c;
        QCOMPARE(c.FrameWidth, 2.0);
        QCOMPARE(c.FrameTyp, quint16(15));
    }

    void properties()
    {
        TfrMemoView m;
        QCOMPARE(m.GetPropValue(QStringLiteral("DataField")), QVariant(QString()));
        m.SetPropValue(QStringLiteral("memo"), QStringLiteral("a\r\nb"));
        QCOMPARE(m.Memo, QStringList({"a", "b"}));
        QCOMPARE(m.GetPropValue(QStringLiteral("MEMO")).toString(), QStringLiteral("a\r\nb"));
        QCOMPARE(m.GetPropValue(QStringLiteral("Memo.Count")).toInt(), 2);
        QCOMPARE(m.GetPropValue(QStringLiteral("DataField")).toString(), QStringLiteral("a"));
        m.SetPropValue(QStringLiteral("Font.Style"), 3);
        QVERIFY(m.Font.Style.bold && m.Font.Style.italic);
        m.SetPropValue(QStringLiteral("WordWrap"), false);
        QCOMPARE(m.GetPropValue(QStringLiteral("WORDWRAP")).toBool(), false);
        QVERIFY(m.GetPropValue(QStringLiteral("NoSuchThing")).isNull());
        QVariant val;
        m.DoMethod(QStringLiteral("LINES.ADD"), QStringLiteral("c"), {}, {}, val);
        m.DoMethod(QStringLiteral("MEMO.ADD"), QStringLiteral("d"), {}, {}, val);
        QCOMPARE(m.Memo, QStringList({"a", "b", "c", "d"}));
        m.DoMethod(QStringLiteral("HIDE"), {}, {}, {}, val);
        QVERIFY(!m.Visible);
        EnsurePropList(&m);
        QVERIFY(m.FindPropRec(QStringLiteral("font.name")));
        QCOMPARE(m.FindPropRec(QStringLiteral("Name"))->PropFlags, quint16(0x101));
        m.AddProperty(QString(40, QLatin1Char('x')), 0);
        QVERIFY(m.FindPropRec(QString(32, QLatin1Char('x'))));
        TfrBandView band;
        band.SetBandType(btPageFooter);
        EnsurePropList(&band);
        QVERIFY(!band.FindPropRec(QStringLiteral("FrameTyp")));
        QVERIFY(band.FindPropRec(QStringLiteral("OnBeforePrint")));
        QVERIFY(!band.FindPropRec(QStringLiteral("ChildBand")));
        QVERIFY(band.FindPropRec(QStringLiteral("OnLastPage")));
    }

    void uniqueName()
    {
        TfrMemoView v1, v3;
        v1.Name = QStringLiteral("View1");
        v3.Name = QStringLiteral("View3");
        EngineHooks.FindObject = [&](const QString &n) -> TfrView * {
            for (TfrView *v : {static_cast<TfrView *>(&v1), static_cast<TfrView *>(&v3)})
                if (v->Name.compare(n, Qt::CaseInsensitive) == 0)
                    return v;
            return nullptr;
        };
        TfrShapeView s;
        s.BaseName = QStringLiteral("View");
        s.CreateUniqueName();
        QCOMPARE(s.Name, QStringLiteral("View2"));
    }

    void bandAlignment_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("wantLeft");
        QTest::addColumn<int>("wantWidth");
        QTest::newRow("left after its neighbour") << int(baLeft) << 300 << 40 << 150 << 40;
        QTest::newRow("left without neighbour") << int(baLeft) << 90 << 40 << 20 << 40;
        QTest::newRow("right before its neighbour") << int(baRight) << 400 << 30 << 569 << 30;
        QTest::newRow("right without neighbour") << int(baRight) << 650 << 30 << 690 << 30;
        QTest::newRow("centre") << int(baCenter) << 5 << 100 << 320 << 100;
        QTest::newRow("rest") << int(baRest) << 300 << 10 << 150 << 450;
        QTest::newRow("width") << int(baWidth) << 300 << 10 << 20 << 700;
    }
    void bandAlignment()
    {
        QFETCH(int, align);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(int, wantLeft);
        QFETCH(int, wantWidth);
        TfrShapeView a, c, other, self;
        a.SetBounds(100, 10, 50, 20);
        a.BandAlign = baLeft;
        c.SetBounds(600, 10, 40, 20);
        c.BandAlign = baRight;
        other.SetBounds(200, 50, 40, 20); // another row
        other.BandAlign = baLeft;
        self.SetBounds(left, 10, width, 20);
        self.BandAlign = quint8(align);
        EngineHooks.AlignContext = [&](TfrAlignContext &ctx) {
            ctx.LeftMargin = 20;
            ctx.RightMargin = 720;
            ctx.Objects = {&a, &other, &c, &self};
            return true;
        };
        self.AttachCanvas(nullptr);
        QCOMPARE(self.Left, wantLeft);
        QCOMPARE(self.Width, wantWidth);
        QCOMPARE(CurrentView, &self);
    }

    void popupMenus()
    {
        QMenu menu;
        TfrBandView footer;
        footer.SetBandType(btPageFooter);
        footer.DefinePopupMenu(&menu);
        QStringList texts;
        for (QAction *a : menu.actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts, QStringList({"-", "在第一页", "在最后一页", }));

        // Flag items act on every selected object whose restrictions allow it.
        TfrMemoView a, b, locked;
        locked.Restrictions = 8;
        int changes = 0;
        EditorHooks.SelectedObjects = [&] { return std::vector<TfrView *>{&a, &b, &locked}; };
        EditorHooks.BeforeChange = [&] { ++changes; };
        QMenu memoMenu;
        a.DefinePopupMenu(&memoMenu);
        QAction *underlines = nullptr;
        for (QAction *act : memoMenu.actions())
            if (act->text() == QStringLiteral("下划线"))
                underlines = act;
        QVERIFY(underlines);
        underlines->trigger();
        QVERIFY((a.Flags & flUnderlines) && (b.Flags & flUnderlines));
        QVERIFY(!(locked.Flags & flUnderlines));
        QCOMPARE(changes, 1);
        EditorHooks = TfrEditorHooks();
    }

    void assignCopies()
    {
        auto a = sample(0, QString());
        TfrMemoView b;
        b.Assign(*a);
        QCOMPARE(save(b), save(*a));
    }

    // Values holding brackets are not expanded again; nested brackets belong to
    // their outer one; a "]" inside a quoted literal does not close the bracket;
    // an unclosed "[" takes the rest of the text as its expression.
    void expandVariables_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("value not expanded again") << "x[A]y" << "x[B]y";
        QTest::newRow("nested") << "y[f([1])]z" << "y<f([1])>z";
        QTest::newRow("quoted bracket") << "A[IF(1>2,'x]y','z')]B" << "A<IF(1>2,'x]y','z')>B";
        QTest::newRow("double quotes") << "[\"a]b\"]!" << "<\"a]b\">!";
        QTest::newRow("unclosed") << "z[open" << "z<open>";
        QTest::newRow("unclosed after closed") << "[A]-[x + 'y]'" << "[B]-<x + 'y]'>";
        QTest::newRow("no brackets") << "plain ] text" << "plain ] text";
    }
    void expandVariables()
    {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        EngineHooks.ExpandBracket = [](const QString &inner) { return inner == QLatin1String("A") ? QStringLiteral("[B]") : QStringLiteral("<%1>").arg(inner); };
        TfrMemoView m;
        m.ExpandVariables(text);
        QCOMPARE(text, expanded);
    }

    void printWritesPreparedRecord()
    {
        EngineHooks.ExpandBracket = [](const QString &) { return QStringLiteral("42"); };
        TfrShapeView s;
        s.Name = QStringLiteral("Shape1");
        s.Tag = QStringLiteral("[x]");
        s.RecordMode = 1;
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        s.Print(buf);
        QCOMPARE(s.Tag, QStringLiteral("[x]"));
        buf.seek(0);
        QCOMPARE(ReadStreamByte(buf), quint8(10));
        QCOMPARE(ReadStreamString(buf), QStringLiteral("TfrShapeView"));
        TfrShapeView r;
        r.RecordMode = 1;
        r.LoadFromStream(buf);
        QCOMPARE(r.Tag, QStringLiteral("42"));
        QCOMPARE(buf.bytesAvailable(), 0);

        // An invisible object writes nothing.
        QBuffer none;
        none.open(QIODevice::ReadWrite);
        s.Visible = false;
        s.Print(none);
        QCOMPARE(none.size(), 0);
    }

    void checkBoxPrintTruncates_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        QTest::newRow("0.9 is unchecked") << "0.9" << "0";
        QTest::newRow("-1 is checked") << "-1" << "-1";
        QTest::newRow("2.7") << "2.7" << "2";
        // Beyond the 64-bit range the value saturates and stays checked.
        QTest::newRow("1e300") << "1e300" << "9223372036854775807";
        QTest::newRow("-inf") << "-inf" << "-9223372036854775808";
        QTest::newRow("2^63 - 1024") << "9223372036854774784" << "9223372036854774784";
    }
    void checkBoxPrintTruncates()
    {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        TfrCheckBoxView c;
        c.Memo = {value};
        c.RecordMode = 1;
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        c.Print(buf);
        buf.seek(0);
        ReadStreamByte(buf);
        ReadStreamString(buf);
        TfrCheckBoxView r;
        r.RecordMode = 1;
        r.LoadFromStream(buf);
        QCOMPARE(r.Memo, QStringList({stored}));
        EngineMode = 1;
        r.PrintText = r.Memo;
        QCOMPARE(r.IsChecked(), stored != QLatin1String("0"));
    }

    void checkBoxNonNumberIsAnError()
    {
        for (const char *value : {"abc", "nan"}) {
            TfrCheckBoxView c;
            c.Memo = {QString::fromLatin1(value)};
            QBuffer buf;
            buf.open(QIODevice::ReadWrite);
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, c.Print(buf));
            QCOMPARE(buf.size(), 0);
        }
    }

    void resolveDataSet()
    {
        TfrDataset *ds = nullptr;
        bool created = false;
        ResolveDataSet(QStringLiteral("5"), ds, created);
        QVERIFY(created);
        std::unique_ptr<TfrDataset> owned(ds);
        QCOMPARE(ds->RangeEnd, reCount);
        QCOMPARE(ds->RangeEndCount, 5);
        ResolveDataSet(QStringLiteral("0"), ds, created); // a component name, none here
        QVERIFY(!created);
        QCOMPARE(ds, nullptr);
    }

    void findObjectAndProperty()
    {
        TfrMemoView current, memo5;
        memo5.Name = QStringLiteral("Memo5");
        EngineHooks.FindObject = [&](const QString &n) -> TfrView * {
            return n.compare(memo5.Name, Qt::CaseInsensitive) == 0 ? &memo5 : nullptr;
        };
        TfrShapeView page2; // stands in for the second template page
        CurrentView = &current;
        TfrObject *obj = nullptr;
        QString prop;
        FindObjectAndProperty(QStringLiteral("Page2.Visible"), obj, prop,
                              [&](int n) -> TfrObject * { return n == 2 ? &page2 : nullptr; });
        QCOMPARE(obj, static_cast<TfrObject *>(&page2));
        QCOMPARE(prop, QStringLiteral("Visible"));
        FindObjectAndProperty(QStringLiteral("Memo5.Font.Size"), obj, prop);
        QCOMPARE(obj, static_cast<TfrObject *>(&memo5));
        QCOMPARE(prop, QStringLiteral("Font.Size"));
        FindObjectAndProperty(QStringLiteral("Font.Size"), obj, prop);
        QCOMPARE(obj, static_cast<TfrObject *>(&current));
        QCOMPARE(prop, QStringLiteral("Font.Size"));
        FindObjectAndProperty(QStringLiteral("Width"), obj, prop);
        QCOMPARE(obj, static_cast<TfrObject *>(&current));
        QCOMPARE(prop, QStringLiteral("Width"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 FindObjectAndProperty(QStringLiteral("Page2x.Visible"), obj, prop));
        CurrentView = nullptr;
    }

    void hexRoundTrip()
    {
        QCOMPARE(StrToHex("AB"), QStringLiteral("4142"));
        const QByteArray s("\x00\xFFz密", 6);
        QCOMPARE(HexToStr(StrToHex(s)), s);
        QCOMPARE(HexToStr(QStringLiteral("4")), QByteArray());
        QCOMPARE(HexToStr(QStringLiteral("4a")), QByteArray("J"));
        QCOMPARE(HexDigit(0), QChar(u'0'));
        QCOMPARE(HexDigit(11), QChar(u'B'));
        QCOMPARE(HexDigit(0x1F), QChar(u'F'));
        QCOMPARE(HexDigitValue(u'7'), 7);
        QCOMPARE(HexDigitValue(u'f'), 15);
        QCOMPARE(HexDigitValue(u'C'), 12);
    }

    // An error while an object prints is recorded with the object's text and
    // names, and stops the build through the master report.
    // A band object's NEXT, PRIOR and FIRST (any case) move the data set of the band
    // being printed; with no band running they move nothing.
    void bandMovesItsDataSet()
    {
        TfrUserDataset ds;
        TfrBand running(btMasterData, nullptr);
        running.DataSet = &ds;
        TfrBandView view;
        QVariant val;
        view.DoMethod(QStringLiteral("NEXT"), {}, {}, {}, val);
        QCOMPARE(ds.RecNo, 0);
        view.OwnerBand = &running;
        const QList<std::pair<QString, int>> steps = {
            {"next", 1}, {"Next", 2}, {"PRIOR", 1}, {"NEXT", 2}, {"First", 0}, {"Prior", -1}, {"VISIBLE", -1}};
        for (const auto &[method, recNo] : steps) {
            view.DoMethod(method, {}, {}, {}, val);
            QVERIFY2(ds.RecNo == recNo, qPrintable(method));
        }
        view.OwnerBand = nullptr;
    }

    // Renaming a band renames the references to it by exact name; an empty name clears
    // them (before a child band is deleted). Other objects are left alone.
    void renameBandReferences()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        TfrPage page(9, 0, 0, frDefaultBin, poPortrait);
        QList<TfrBandView *> bands;
        for (const char *child : {"子1", "子1 ", "子10", "子1"}) {
            auto *b = new TfrBandView;
            b->ChildBand = QString::fromUtf8(child);
            page.Add(b);
            bands << b;
        }
        page.Add(new TfrMemoView);
        auto children = [&] {
            QStringList out;
            for (TfrBandView *b : bands)
                out << b->ChildBand;
            return out;
        };
        RenameBandReferences(&page, QStringLiteral("子1"), QStringLiteral("明细子带"));
        QCOMPARE(children(), QStringList({"明细子带", "子1 ", "子10", "明细子带"}));
        RenameBandReferences(&page, QStringLiteral("明细子带"), QString());
        QCOMPARE(children(), QStringList({"", "子1 ", "子10", ""}));
        RenameBandReferences(nullptr, QStringLiteral("子10"), QString());
    }

    void calcErrorStopsTheBuild()
    {
        TfrReport master, current;
        current.setObjectName(QStringLiteral("frReport1"));
        TfrMemoView m;
        m.Name = QStringLiteral("Memo7");
        m.Memo = {QStringLiteral("[1/]"), QStringLiteral("第二行")};
        MasterReport = &master;
        CurrentReport = &current;
        CurrentView = &m;
        LoadErrorFlag = false;
        ReportCalcError(std::runtime_error("Missing operand"));
        QVERIFY(LoadErrorFlag);
        QVERIFY(master.StopRequested);
        QVERIFY(!current.StopRequested);
        QCOMPARE(LoadErrorText, QStringLiteral("计算时发生错误\r[1/]\r第二行\r\r报表: frReport1\r对象: Memo7\r\rMissing operand"));
        CurrentView = nullptr;
        ReportCalcError(std::runtime_error("x"));
        QCOMPARE(LoadErrorText, QStringLiteral("计算时发生错误\r\r报表: frReport1\r\rx"));
        MasterReport = nullptr;
        CurrentReport = nullptr;
        LoadErrorFlag = false;
    }

    void pictureBlobHeader()
    {
        QImage img(3, 2, QImage::Format_RGB32);
        img.fill(Qt::red);
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        img.save(&bmp, "BMP");
        QByteArray field;
        field.append("\x01\x00\x00\x01", 4);
        const quint32 n = quint32(bmp.data().size());
        field.append(reinterpret_cast<const char *>(&n), 4);
        field += bmp.data();
        TfrPictureView p;
        p.GetBlob(field);
        QCOMPARE(p.Picture.Data, bmp.data());
        QCOMPARE(p.Picture.Image().size(), QSize(3, 2));
        p.BlobType = btJPG;
        p.GetBlob(orv::encodeJpeg(img));
        QCOMPARE(p.Picture.Kind, quint8(gkJpeg));
        QCOMPARE(p.Picture.Image().size(), QSize(3, 2));
        p.GetBlob(QVariant());
        QVERIFY(p.Picture.IsEmpty());
    }
};

QTEST_MAIN(TestObjects)
#include "tst_objects.moc"
