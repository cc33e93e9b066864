// Truncated, malformed and hostile template streams: refused with one message,
// and the report stays exactly as it was.
#include "templatebuilder.h"
#include "templatebytes.h"

#include "scriptedprompt.h"

#include "common/clock.h"

#include <QtTest>

using namespace orv::test;

namespace {
const QDateTime kNow(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC);

// A small template holding a page, a band, a memo, a line, an add-in, a
// picture, a dictionary variable and a password.
QByteArray smallTemplate()
{
    TfrReport r;
    TemplateBuilder b(r);
    b.page();
    b.band(0, btMasterData, QStringLiteral("主项数据1"), 40, 20);
    b.memo(0, QStringLiteral("Memo1"), {10, 42, 100, 16}, {QStringLiteral("货品")});
    b.line(0, QStringLiteral("Line1"), {10, 60, 100, 0});
    b.checkBox(0, QStringLiteral("Check1"), {120, 42, 16, 16});
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::green);
    b.picture(0, QStringLiteral("Picture1"), {140, 42, 16, 16}, img);
    b.variables(QStringLiteral("类"), {{QStringLiteral("甲"), QStringLiteral("1+2")}});
    r.Attributes.Author = QStringLiteral("作者");
    r.Attributes.Password = QStringLiteral("pw");
    return b.bytes();
}

// The report every refused load must leave untouched.
void fillKept(TfrReport &r)
{
    TemplateBuilder b(r);
    b.page(11, poLandscape).Name = QStringLiteral("Keep");
    b.memo(0, QStringLiteral("Kept"), {1, 2, 3, 4}, {QStringLiteral("kept")});
    r.TwoPass = 1;
    r.Attributes.Comment = QStringLiteral("kept");
}

// Version 25 stream: header, the given records, an empty dictionary and the end record.
QByteArray v25(const std::function<void(RawBytes &)> &records, bool endRecord = true)
{
    RawBytes w;
    w.byte(25).i16(0).i16(0).str(QString(QChar(1)));
    records(w);
    w.byte(254).i16(-2).i32(0).i32(0).i32(0);
    if (endRecord)
        w.byte(252);
    return w.data;
}

void pageRecord(RawBytes &w, int size = 9, int width = 0, int height = 0, int columns = 1, int type = 0,
                int nameLength = -1)
{
    w.byte(255).i32(-1).i32(size).i32(width).i32(height).i32(54).i32(72).i32(54).i32(54).byte(0).i32(-1)
        .i16(0).i16(-1).i32(columns).i32(0).byte(type);
    if (nameLength >= 0)
        w.i16(nameLength).raw("ab");
    else
        w.str(QStringLiteral("P"));
    w.byte(3).str(QString()).i32(0).i32(0).i32(0).i32(0).i32(0).byte(0).strings({});
}

// A line object record; `endShift` moves the stored end position away from the true one,
// `padding` bytes follow the data inside the record.
void lineRecord(RawBytes &w, int pageIndex, qint64 endShift = 0, int typeCode = 4, int padding = 0)
{
    w.byte(typeCode).byte(pageIndex);
    const qint64 at = w.pos();
    w.i32(0).str(QStringLiteral("L")).byte(2).byte(0);
    w.i32(1).i32(2).i32(3).i32(4).i16(1).i16(4).i32(1).i32(0).i16(0).i32(0);
    w.i32(0).str(QString()).strings({}).strings({}).i16(-1).i16(0).str(QString()).i32(2).i32(1).byte(0);
    w.raw(QByteArray(padding, '\x5A'));
    w.patch32(at, w.pos() + endShift);
}
} // namespace

class TstTemplateMalformed : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }
    void init() { orv::Clock::pin(kNow); }
    void cleanup() { orv::Clock::pin(QDateTime()); }

    void truncatedAtEveryLength()
    {
        const QByteArray full = smallTemplate();
        // The document attributes may be missing altogether: the stream then ends at its end record.
        const int attributes = 7 * 2 + int(orv::toGbk(QStringLiteral("作者")).size()) + (2 + 4) + 1 + 1 + 8 + 8;
        const int bodyEnd = int(full.size()) - attributes;
        QCOMPARE(quint8(full.at(bodyEnd - 1)), quint8(252));

        TfrReport r;
        fillKept(r);
        const QByteArray kept = templateBytes(r);
        for (int len = 0; len < full.size(); ++len) {
            const TfrLoadResult res = readTemplate(r, full.left(len));
            if (len == bodyEnd) {
                QCOMPARE(res, TfrLoadResult::Ok);
                r.Clear();
                fillKept(r);
                continue;
            }
            QVERIFY2(res != TfrLoadResult::Ok && res != TfrLoadResult::MissingClasses,
                     qPrintable(QStringLiteral("accepted at length %1").arg(len)));
            QVERIFY2(templateBytes(r) == kept, qPrintable(QStringLiteral("changed at length %1").arg(len)));
        }
        QCOMPARE(readTemplate(r, full), TfrLoadResult::Ok);
    }

    void refusedStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        const int malformed = int(TfrLoadResult::Malformed);
        QTest::newRow("empty") << QByteArray() << int(TfrLoadResult::Empty);
        QTest::newRow("version 26") << QByteArray("\x1A\0\0", 3) << int(TfrLoadResult::Unsupported);
        QTest::newRow("version 255") << QByteArray("\xFF", 1) << int(TfrLoadResult::Unsupported);
        QTest::newRow("record code 11") << v25([](RawBytes &w) { w.byte(11); }) << malformed;
        QTest::newRow("no end record") << v25([](RawBytes &w) { pageRecord(w); }, false) << malformed;
        QTest::newRow("end position backwards")
            << v25([](RawBytes &w) { pageRecord(w); lineRecord(w, 0, -100); }) << malformed;
        QTest::newRow("end position before its own field")
            << v25([](RawBytes &w) {
                   pageRecord(w);
                   w.byte(4).byte(0).i32(3);
               }) << malformed;
        QTest::newRow("end position past the end")
            << v25([](RawBytes &w) { pageRecord(w); lineRecord(w, 0, 100000); }) << malformed;
        QTest::newRow("custom paper 0 x 0") << v25([](RawBytes &w) { pageRecord(w, 256, 0, 0); }) << malformed;
        QTest::newRow("custom paper too large")
            << v25([](RawBytes &w) { pageRecord(w, 256, 2100, 2000000000); }) << malformed;
        QTest::newRow("negative columns") << v25([](RawBytes &w) { pageRecord(w, 9, 0, 0, -1); }) << malformed;
        QTest::newRow("huge columns") << v25([](RawBytes &w) { pageRecord(w, 9, 0, 0, 1 << 30); }) << malformed;
        QTest::newRow("page type 2") << v25([](RawBytes &w) { pageRecord(w, 9, 0, 0, 1, 2); }) << malformed;
        QTest::newRow("name longer than the data")
            << v25([](RawBytes &w) { pageRecord(w, 9, 0, 0, 1, 0, 60000); }) << malformed;
        QTest::newRow("old record on a missing page")
            << [] {
                   RawBytes w;
                   w.byte(23).i16(0).i16(0).str(QString(QChar(1))).byte(4).byte(3);
                   w.raw(QByteArray(60, '\0')).byte(252);
                   return w.data;
               }() << malformed;
        QTest::newRow("old unknown add-in")
            << [] {
                   RawBytes w;
                   w.byte(23).i16(0).i16(0).str(QString(QChar(1)));
                   w.byte(255).i32(9).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).byte(0).i16(0).i16(-1).i32(1).i32(0);
                   w.byte(10).str(QStringLiteral("TfrNoSuchView")).byte(0).raw(QByteArray(60, '\0')).byte(252);
                   return w.data;
               }() << malformed;
    }
    void refusedStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        TfrReport r;
        fillKept(r);
        const QByteArray kept = templateBytes(r);
        QString message;
        QCOMPARE(int(readTemplate(r, bytes, &message)), result);
        QCOMPARE(message, QStringLiteral("不支持的FRF格式"));
        QCOMPARE(templateBytes(r), kept);
    }

    // What a file may claim is bounded, so building and drawing never compute
    // with absurd numbers: geometry, gaps, spacing and font size within one
    // million units, band columns up to 1000. Beyond, the template is refused.
    void storedLimits_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("left at the limit") << "left" << qint64(1000000) << true;
        QTest::newRow("left beyond") << "left" << qint64(1000001) << false;
        QTest::newRow("top below") << "top" << qint64(-1000001) << false;
        QTest::newRow("width of int max") << "width" << qint64(2147483647) << false;
        QTest::newRow("height negative at the limit") << "height" << qint64(-1000000) << true;
        QTest::newRow("gap") << "gapx" << qint64(1500000000) << false;
        QTest::newRow("frame width") << "framewidth" << qint64(1000001) << false;
        QTest::newRow("line spacing") << "linespacing" << qint64(2000000000) << false;
        QTest::newRow("char spacing") << "charspacing" << qint64(-2000000000) << false;
        QTest::newRow("font size") << "fontsize" << qint64(1000000000) << false;
        QTest::newRow("1000 band columns") << "columns" << qint64(1000) << true;
        QTest::newRow("1001 band columns") << "columns" << qint64(1001) << false;
        QTest::newRow("band column width") << "columnwidth" << qint64(2000000000) << false;
        QTest::newRow("page margin") << "margin" << qint64(2000000000) << false;
    }
    void storedLimits()
    {
        QFETCH(QString, field);
        QFETCH(qint64, value);
        QFETCH(bool, accepted);
        TfrReport src;
        TemplateBuilder b(src);
        TfrPage &page = b.page();
        TfrBandView *band = b.band(0, btMasterData, QStringLiteral("主项数据1"), 40, 20);
        TfrMemoView *memo = b.memo(0, QStringLiteral("Memo1"), {10, 42, 100, 16}, {QStringLiteral("货品")});
        const int v = int(value);
        if (field == QLatin1String("left")) memo->Left = v;
        else if (field == QLatin1String("top")) memo->Top = v;
        else if (field == QLatin1String("width")) memo->Width = v;
        else if (field == QLatin1String("height")) memo->Height = v;
        else if (field == QLatin1String("gapx")) memo->GapX = v;
        else if (field == QLatin1String("framewidth")) memo->FrameWidth = v;
        else if (field == QLatin1String("linespacing")) memo->LineSpacing = v;
        else if (field == QLatin1String("charspacing")) memo->CharSpacing = v;
        else if (field == QLatin1String("fontsize")) memo->Font.Size = v;
        else if (field == QLatin1String("columns")) band->Columns = v;
        else if (field == QLatin1String("columnwidth")) band->ColumnWidth = v;
        else if (field == QLatin1String("margin")) page.MarginLeft = v;
        TfrReport r;
        fillKept(r);
        const QByteArray kept = templateBytes(r);
        const TfrLoadResult res = readTemplate(r, templateBytes(src));
        QCOMPARE(res == TfrLoadResult::Ok, accepted);
        if (!accepted)
            QCOMPARE(templateBytes(r), kept);
    }

    void skippedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("objects");
        QTest::newRow("unknown kind") << v25([](RawBytes &w) {
            pageRecord(w);
            lineRecord(w, 0, 0, 7);
            lineRecord(w, 0);
        }) << 1;
        QTest::newRow("object on a missing page") << v25([](RawBytes &w) {
            pageRecord(w);
            lineRecord(w, 5);
            lineRecord(w, 0);
        }) << 1;
        QTest::newRow("data shorter than its end position") << v25([](RawBytes &w) {
            pageRecord(w);
            lineRecord(w, 0, 0, 4, 7);
            lineRecord(w, 0);
        }) << 2;
        QTest::newRow("data manager record stops") << [] {
            RawBytes w;
            w.byte(25).i16(0).i16(0).str(QString(QChar(1)));
            pageRecord(w);
            w.byte(253).byte(0);
            return w.data;
        }() << 0;
    }
    void skippedRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, objects);
        TfrReport r;
        QCOMPARE(readTemplate(r, bytes), TfrLoadResult::Ok);
        QCOMPARE(r.Pages().Count(), 1);
        QCOMPARE(int(r.Pages()[0]->Objects.size()), objects);
    }

    void subReportLinks_data()
    {
        QTest::addColumn<QList<int>>("shows");   // per page: the page its sub-report shows, -1 none
        QTest::addColumn<bool>("accepted");
        QTest::newRow("one level") << QList<int>{1, -1} << true;
        QTest::newRow("own page") << QList<int>{0} << false;
        QTest::newRow("missing page") << QList<int>{9} << false;
        QTest::newRow("negative page") << QList<int>{-5, -1} << false;
        QTest::newRow("cycle") << QList<int>{1, 2, 0} << false;
        QList<int> chain32, chain33;
        for (int i = 0; i < 32; ++i)
            chain32 << i + 1;
        chain32 << -1;
        chain33 = chain32;
        chain33.last() = 33;
        chain33 << -1;
        QTest::newRow("32 levels") << chain32 << true;
        QTest::newRow("33 levels") << chain33 << false;
    }
    void subReportLinks()
    {
        QFETCH(QList<int>, shows);
        QFETCH(bool, accepted);
        TfrReport src;
        TemplateBuilder b(src);
        for (int i = 0; i < shows.size(); ++i)
            b.page();
        for (int i = 0; i < shows.size(); ++i)
            if (shows[i] != -1)
                b.subReport(i, QStringLiteral("SubReport%1").arg(i + 1), {0, 0, 10, 10}, shows[i]);
        TfrReport r;
        const TfrLoadResult res = readTemplate(r, templateBytes(src));
        QCOMPARE(res == TfrLoadResult::Ok, accepted);
    }

    void refusalShowsOneMessage()
    {
        TfrReport r;
        fillKept(r);
        QByteArray bytes = smallTemplate().left(40);
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("不支持的FRF格式"), QMessageBox::Ok, QStringLiteral("错误"));
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QVERIFY(!r.LoadFromStream(buf));
        QVERIFY(prompt.verifyDone());
        QCOMPARE(r.Pages()[0]->Name, QStringLiteral("Keep"));
    }
};

QTEST_MAIN(TstTemplateMalformed)
#include "tst_template_malformed.moc"
