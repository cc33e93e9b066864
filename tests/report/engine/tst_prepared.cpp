// Prepared pages: the prepared-report file (.frp), the page painter, page texts for
// find, links and the hand-over to the preview.
#include "templatebuilder.h"

#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprinter.h"
#include "scriptedprompt.h"

#include <QtTest>
#include <QTemporaryDir>
#include <limits>

using namespace orv::test;

namespace {

// A built report of two pages: A4 with a framed title and a line, then A5 landscape.
void buildTwoPapers(TfrReport &r)
{
    TemplateBuilder b(r);
    b.page();
    b.band(0, btReportTitle, "报表标题1", 0, 60);
    TfrMemoView *t = b.memo(0, "Memo1", {54, 10, 400, 30}, {"采购入库单 No.[PAGE#]"});
    t->FrameTyp = 15;
    t->Font.Size = 16;
    b.memo(0, "URL1", {500, 10, 100, 20}, {"首页"})->Tag = "@1";
    b.memo(0, "URL2", {500, 30, 100, 20}, {"网站"})->Tag = "https://example.com/a";
    b.memo(0, "URL3", {600, 10, 100, 20}, {"坏"})->Tag = "@abc";
    b.memo(0, "URL4", {600, 30, 100, 20}, {"程序"})->Tag = "/usr/bin/xterm";
    TfrPage &second = b.page(11, poLandscape);
    second.MarginLeft = 30;
    b.band(1, btReportTitle, "报表标题2", 0, 40);
    b.memo(1, "Memo2", {30, 5, 200, 20}, {"第二页"});
    QVERIFY(r.PrepareReport());
}

QStringList pageNames(TfrEMFPages &pages, int index)
{
    pages.ObjectsToPage(index);
    QStringList out;
    for (TfrView *v : pages[index]->Page->Objects)
        out << v->Name + "=" + v->Memo.join("|");
    return out;
}

QByteArray frpBytes(TfrEMFPages &pages)
{
    QBuffer b;
    b.open(QIODevice::ReadWrite);
    pages.SaveToStream(b);
    return b.data();
}

bool darkNear(const QImage &img, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.rect().contains(x + dx, y + dy) && qGray(img.pixel(x + dx, y + dy)) < 128)
                return true;
    return false;
}

void put32(QByteArray &a, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        a.append(char((quint32(v) >> (8 * i)) & 0xFF));
}
void put16(QByteArray &a, qint16 v)
{
    a.append(char(v & 0xFF));
    a.append(char((quint16(v) >> 8) & 0xFF));
}

// Two installed printers at 300 dpi that take A4 and A5 in either orientation.
class TwoPrinters : public TfrPrinterPlatform {
public:
    int selected = 0;
    DeviceMode dm;
    QStringList Printers() const override { return {QStringLiteral("Office"), QStringLiteral("Label")}; }
    int CurrentPrinter() const override { return selected; }
    void SelectPrinter(int index) override { selected = index; }
    bool ReadDevice(DeviceMode &out, Capabilities &caps) override
    {
        out = dm;
        caps.DpiX = caps.DpiY = 300;
        const QSize a4(2480, 3508), a5(1748, 2480);
        QSize size = dm.PaperSize == 11 ? a5 : a4;
        if (dm.Orientation == poLandscape)
            size.transpose();
        caps.PhysicalWidth = caps.PageWidth = size.width();
        caps.PhysicalHeight = caps.PageHeight = size.height();
        caps.PaperCodes = {9, 11};
        caps.PaperNames = {QStringLiteral("A4"), QStringLiteral("A5")};
        return true;
    }
    bool WriteDevice(const DeviceMode &in) override
    {
        dm = in;
        return true;
    }
    bool Printing() const override { return false; }
    bool PropertiesDialog() override { return false; }
};
} // namespace

class TstPrepared : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { frEnsureGlobals(); }
    void init() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }

    void roundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("单据.frp");
        TfrReport r;
        buildTwoPapers(r);
        QCOMPARE(r.EMFPages().Count(), 2);
        const QStringList page1 = pageNames(r.EMFPages(), 0);
        QVERIFY(page1.contains("Memo1=采购入库单 No.1"));
        QVERIFY(r.SavePreparedReport(path));

        TfrReport back;
        QVERIFY(back.Rebuildable);
        QVERIFY(back.LoadPreparedReport(path));
        QVERIFY(!back.Rebuildable);
        TfrEMFPages &pages = back.EMFPages();
        QCOMPARE(pages.Count(), 2);
        QCOMPARE(pageNames(pages, 0), page1);
        QCOMPARE(pageNames(pages, 1), pageNames(r.EMFPages(), 1));
        QCOMPARE(pages[0]->pgSize, 9);
        QCOMPARE(pages[1]->pgSize, 11);
        QCOMPARE(pages[1]->pgOr, int(poLandscape));
        QCOMPARE(pages[1]->MarginLeft, 30);
        QCOMPARE(pages[1]->PrnInfo, r.EMFPages()[1]->PrnInfo);
        QCOMPARE(pages[0]->PrnInfo.PageWidth, 758);
        // Written again, the file is the same bytes.
        QCOMPARE(frpBytes(pages), frpBytes(r.EMFPages()));
    }

    void noPages()
    {
        TfrReport r;
        const QByteArray bytes = frpBytes(r.EMFPages());
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        TfrReport back;
        back.EMFPages().LoadFromStream(b);
        QCOMPARE(back.EMFPages().Count(), 0);
    }

    // A damaged file changes nothing: the pages shown stay, and so does an old file.
    void truncatedFileKeepsPages()
    {
        QTemporaryDir dir;
        TfrReport r;
        buildTwoPapers(r);
        const QByteArray whole = frpBytes(r.EMFPages());
        for (int cut : {1, 10, int(whole.size() / 2), int(whole.size() - 1)}) {
            const QString path = dir.filePath(QString("cut%1.frp").arg(cut));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(whole.left(cut));
            f.close();
            QString error;
            QVERIFY2(!r.LoadPreparedReport(path, &error), qPrintable(QString::number(cut)));
            QVERIFY(!error.isEmpty());
            QCOMPARE(r.EMFPages().Count(), 2);
            QVERIFY(r.Rebuildable);
        }
        QString error;
        const QString nowhere = dir.filePath("missing/x.frp");
        QVERIFY(!r.SavePreparedReport(nowhere, &error));
        QVERIFY(!QFile::exists(nowhere));
    }

    // A file read whole selects its printer and its pages' paper; the same file cut
    // short selects nothing: the printer, its paper and the report's printer name stay.
    void truncatedFileKeepsPrinterAndPaper()
    {
        InitReportPrinter(std::make_unique<TwoPrinters>());
        TfrPrinter &prn = EnsureReportPrinter();
        TfrReport r;
        buildTwoPapers(r); // A4, then A5 landscape
        prn.SelectPrinter(1);
        const QByteArray whole = frpBytes(r.EMFPages());
        auto officeA4 = [&] {
            prn.SelectPrinter(0);
            prn.SetPaper(9, 2100, 2970, frDefaultBin, poPortrait, true);
            r.PrinterName = "Office";
        };

        officeA4();
        for (int cut : {40, int(whole.size() / 2), int(whole.size() - 1)}) {
            QBuffer b;
            b.setData(whole.left(cut));
            b.open(QIODevice::ReadOnly);
            QVERIFY_THROWS_EXCEPTION(EfrStreamError, r.EMFPages().LoadFromStream(b));
            QCOMPARE(prn.CurrentPrinterName(), QString("Office"));
            QCOMPARE(r.PrinterName, QString("Office"));
            QCOMPARE(prn.PaperSize, 9);
            QCOMPARE(prn.Orientation, int(poPortrait));
            QCOMPARE(r.EMFPages().Count(), 2);
        }

        QBuffer b;
        b.setData(whole);
        b.open(QIODevice::ReadOnly);
        r.EMFPages().LoadFromStream(b);
        QCOMPARE(prn.CurrentPrinterName(), QString("Label"));
        QCOMPARE(r.PrinterName, QString("Label"));
        QCOMPARE(prn.PaperSize, 11);
        QCOMPARE(prn.Orientation, int(poLandscape));
        QCOMPARE(r.EMFPages()[1]->PrnInfo.PageWidthPx, 2480);
    }

    // Without a version byte (first byte 1: the compressed flag) the current layout is
    // read as version 0: bins default, margins zero.
    void versionZeroFile()
    {
        QByteArray file;
        file.append(char(0));
        file.append(QByteArray("P\0", 2));
        put32(file, 1);
        const int at = int(file.size());
        put32(file, 0);
        put16(file, 9);
        put32(file, 2100);
        put32(file, 2970);
        file.append(char(0));
        file.append(char(1));         // margins used
        file.append(char(25));        // page stream: version byte only
        const qint32 next = qint32(file.size());
        for (int i = 0; i < 4; ++i)
            file[at + i] = char((quint32(next) >> (8 * i)) & 0xFF);
        file.append(char(88));
        file[0] = char(1);            // "compressed" flag 1 in the first byte
        QBuffer b;
        b.setData(file);
        b.open(QIODevice::ReadOnly);
        TfrReport r;
        // Compressed flag set without a decompressor: the page comes out empty.
        r.EMFPages().LoadFromStream(b);
        QCOMPARE(r.EMFPages().Count(), 1);
        TfrPageInfo *p = r.EMFPages()[0];
        QCOMPARE(p->pgBin, frDefaultBin);
        QCOMPARE(p->MarginLeft, 0);
        QVERIFY(p->UseMargins);
        r.EMFPages().ObjectsToPage(0);
        QCOMPARE(p->Page->Objects.size(), 0);
    }

    // The older layout: a printer-name list first; each page is a metafile picture.
    void legacyLayout()
    {
        const QByteArray emf = QByteArray::fromHex("01000000") + QByteArray("fake metafile bytes");
        QByteArray file("Printer One\r\0", 13);
        put32(file, 2);
        for (int page = 0; page < 2; ++page) {
            const int at = int(file.size());
            put32(file, 0);
            put16(file, 9);
            put32(file, 2100);
            put32(file, 2970);
            file.append(char(0));
            file.append(char(1));
            file.append(emf);
            const qint32 next = qint32(file.size());
            for (int i = 0; i < 4; ++i)
                file[at + i] = char((quint32(next) >> (8 * i)) & 0xFF);
        }
        QBuffer b;
        b.setData(file);
        b.open(QIODevice::ReadOnly);
        TfrReport r;
        r.EMFPages().LoadFromStream(b);
        QCOMPARE(r.EMFPages().Count(), 2);
        TfrEMFPages &pages = r.EMFPages();
        pages.ObjectsToPage(1);
        QCOMPARE(pages[1]->Page->Objects.size(), 1);
        auto *pic = dynamic_cast<TfrPictureView *>(pages[1]->Page->Objects.first());
        QVERIFY(pic);
        QCOMPARE(pic->Picture.Kind, quint8(gkMetafile));
        QCOMPARE(pic->Picture.Data, emf);
        QCOMPARE(pic->Width, 758);
        // Drawn as a marked placeholder without failing.
        QImage img(379, 536, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        pages.SetVisible(1, true);
        pages.Draw(1, &painter, img.rect());
        painter.end();
    }

    // The page painter: a page drawn into an image at half size puts the framed title
    // where the page has it; a page drawn while not visible frees its objects.
    void painterAndVisibility()
    {
        TfrReport r;
        buildTwoPapers(r);
        TfrEMFPages &pages = r.EMFPages();
        QImage img(758 / 2, 1071 / 2, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        pages.SetVisible(0, true);
        pages.Draw(0, &painter, img.rect());
        painter.end();
        if (const QString keep = qEnvironmentVariable("ORV_DRAW_PNG"); !keep.isEmpty())
            img.save(keep + "/prepared-page.png");
        // Frame of Memo1: x 54..454, y 82..112 engine units, halved.
        QVERIFY(darkNear(img, 27, 48));     // left edge
        QVERIFY(darkNear(img, 127, 41));    // top edge
        QVERIFY(darkNear(img, 227, 48));    // right edge
        QVERIFY(!darkNear(img, 300, 300));  // empty page
        QVERIFY(pages[0]->Page);
        pages.SetVisible(0, false);
        QPainter again(&img);
        pages.Draw(0, &again, img.rect());
        QVERIFY(!pages[0]->Page);
    }

    // Find reads the texts of a page as drawn, with their places.
    void pageTexts()
    {
        TfrReport r;
        buildTwoPapers(r);
        const QList<TfrTextRecord> t = r.EMFPages().PageTexts(0);
        QStringList all;
        for (const TfrTextRecord &rec : t)
            all << rec.Text;
        QVERIFY2(all.join("").contains("采购入库单"), qPrintable(all.join("|")));
        for (const TfrTextRecord &rec : t)
            if (rec.Text.contains("采购")) {
                QVERIFY(rec.Rect.left() >= 54 && rec.Rect.left() < 100);
                QVERIFY(rec.Rect.top() >= 72 && rec.Rect.bottom() <= 72 + 45);
            }
    }

    // Links: web addresses open through the desktop, "@n" goes back to the preview,
    // anything else is ignored; hovering shows the hand.
    void links()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        buildTwoPapers(r);
        TfrEMFPages &pages = r.EMFPages();
        QString link;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        QVERIFY(pages.ObjectAtPoint(0, {510, 72 + 15}, link, cursor, true));
        QCOMPARE(link, QString("@1"));
        prompt.expectExternal();
        QVERIFY(pages.ObjectAtPoint(0, {510, 72 + 35}, link, cursor, true));
        QVERIFY(link.isEmpty());
        QCOMPARE(prompt.recorded().last().text, QString("https://example.com/a"));
        QVERIFY(pages.ObjectAtPoint(0, {610, 72 + 15}, link, cursor, true));
        QVERIFY(link.isEmpty());
        QVERIFY(pages.ObjectAtPoint(0, {610, 72 + 35}, link, cursor, true));
        QVERIFY(link.isEmpty());
        QVERIFY(pages.ObjectAtPoint(0, {510, 72 + 15}, link, cursor, false));
        QCOMPARE(cursor, Qt::PointingHandCursor);
        QVERIFY(!pages.ObjectAtPoint(0, {300, 700}, link, cursor, true));
        TfrView *clicked = nullptr;
        r.OnObjectClick = [&](TfrView *v) { clicked = v; };
        QVERIFY(pages.ObjectAtPoint(0, {100, 72 + 20}, link, cursor, true));
        QVERIFY(clicked && clicked->Name == "Memo1");
        QVERIFY(prompt.verifyDone());
    }

    // A file may put an object anywhere an int reaches: drawn and hit-tested, it lies off
    // the page and is neither drawn nor found; a page's margins beyond what a template may
    // hold refuse the file, and the pages shown stay.
    void farGeometry_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("beyond the right") << std::numeric_limits<int>::max() << 10;
        QTest::newRow("beyond the top") << 10 << std::numeric_limits<int>::min();
        QTest::newRow("both beyond") << std::numeric_limits<int>::min() << std::numeric_limits<int>::max();
    }
    void farGeometry()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        TfrReport r;
        buildTwoPapers(r);
        TfrEMFPages &pages = r.EMFPages();
        pages.ObjectsToPage(0);
        for (TfrView *v : pages[0]->Page->Objects) {
            v->Left = left;
            v->Top = top;
            v->Width = v->Height = std::numeric_limits<int>::max();
        }
        pages.PageToObjects(0);
        QBuffer file;
        file.setData(frpBytes(pages));
        file.open(QIODevice::ReadOnly);
        TfrReport back;
        back.EMFPages().LoadFromStream(file);
        TfrEMFPages &far = back.EMFPages();
        QImage img(379, 535, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        far.SetVisible(0, true);
        far.Draw(0, &painter, img.rect());
        painter.end();
        QCOMPARE(img.pixel(190, 60), qRgb(255, 255, 255));
        QString link;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        QVERIFY(!far.ObjectAtPoint(0, {100, 72 + 20}, link, cursor, false));

        pages[0]->MarginLeft = std::numeric_limits<int>::max();
        pages[0]->MarginRight = std::numeric_limits<int>::min();
        file.close();
        file.setData(frpBytes(pages));
        file.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(EfrStreamError, far.LoadFromStream(file));
        QCOMPARE(far.Count(), 2);
    }

    // A prepared page holds texts of any length. The file takes a text of 65535 bytes,
    // the most its lengths hold, and reads it back as written; one byte more is refused
    // with the page named. Editing the page keeps what it holds.
    void textsAtTheFileLimit_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("the limit") << 65535 << "";
        QTest::newRow("a byte more")
            << 65536 << "第 1 页：文本长度为 65536 字节，超过了报表文件所能保存的 65535 字节";
    }
    void textsAtTheFileLimit()
    {
        QFETCH(int, bytes);
        QFETCH(QString, error);
        const QString text(bytes, QLatin1Char('x'));
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btReportTitle, "报表标题1", 0, 60);
        b.memo(0, "Memo1", {54, 10, 400, 30}, {text});
        QVERIFY(r.PrepareReport());
        QCOMPARE(pageNames(r.EMFPages(), 0), QStringList{"Memo1=" + text});
        r.EMFPages().PageToObjects(0);
        r.EMFPages()[0]->Page.reset();
        QCOMPARE(pageNames(r.EMFPages(), 0), QStringList{"Memo1=" + text});

        QTemporaryDir dir;
        const QString path = dir.filePath("limit.frp");
        QString got;
        QCOMPARE(r.SavePreparedReport(path, &got), error.isEmpty());
        QCOMPARE(got, error);
        if (!error.isEmpty())
            return;
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains(QByteArray("\xFF\xFF", 2) + QByteArray(16, 'x')));   // the 16-bit form
        TfrReport back;
        QVERIFY(back.LoadPreparedReport(path));
        QCOMPARE(pageNames(back.EMFPages(), 0), QStringList{"Memo1=" + text});
    }

    // Editing a prepared page's objects and writing them back changes what prints.
    void pageToObjects()
    {
        TfrReport r;
        buildTwoPapers(r);
        TfrEMFPages &pages = r.EMFPages();
        pages.ObjectsToPage(1);
        TfrView *v = pages[1]->Page->Objects.first();
        v->Memo = QStringList{"改过"};
        pages.PageToObjects(1);
        pages.SetVisible(1, false);
        QImage img(10, 10, QImage::Format_RGB32);
        QPainter p(&img);
        pages.Draw(1, &p, img.rect());
        QCOMPARE(pageNames(pages, 1), QStringList{"Memo2=改过"});
    }

    // The preview is reached through its hook, only with pages; the hand-over keeps them.
    void showPreparedReport()
    {
        TfrReport r;
        r.Title = "入库单";
        QString caption;
        int shown = 0;
        TfrReport::PreviewHook = [&](TfrReport &rep, const QString &c) {
            ++shown;
            caption = c;
            std::unique_ptr<TfrEMFPages> pages = rep.TakePreparedPages();
            QCOMPARE(rep.EMFPages().Count(), 0);
            rep.ReturnPreparedPages(std::move(pages));
        };
        r.ShowPreparedReport();
        QCOMPARE(shown, 0);
        buildTwoPapers(r);
        r.ShowPreparedReport();
        QCOMPARE(shown, 1);
        QCOMPARE(caption, QString("预览 - 入库单"));
        QCOMPARE(r.EMFPages().Count(), 2);
        TfrReport::PreviewHook = nullptr;
    }
};

QTEST_MAIN(TstPrepared)
#include "tst_prepared.moc"
