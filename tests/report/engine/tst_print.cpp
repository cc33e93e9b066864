// Printing prepared pages: to a PDF file (its pages counted from the file) and to a
// recording device (jobs, sheets, copies, Cancel).
#include "previewfixture.h"
#include "scriptedprompt.h"

#include "report/engine/frglobals.h"
#include "report/engine/frprint.h"
#include "report/engine/frprinter.h"
#include "report/engine/frprogressform.h"
#include "report/engine/frpreviewform.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace orv::test;

namespace {

const QStringList kSevenLines{"一", "二", "三", "四", "五", "六", "七"};   // three pages

// The page sizes of a PDF file in points, in page order (Qt writes page objects uncompressed).
QList<QSize> pdfPages(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = f.readAll();
    QList<QSize> out;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s][^>]*?/MediaBox\\s*\\[\\s*0 0 ([0-9.]+) ([0-9.]+)\\s*\\]"),
                                         QRegularExpression::DotMatchesEverythingOption);
    auto it = page.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const auto m = it.next();
        out.append(QSize(qRound(m.captured(1).toDouble()), qRound(m.captured(2).toDouble())));
    }
    return out;
}

// A device that records what a print job does and paints onto images.
class RecordingTarget : public TfrPrintTarget {
public:
    bool copies = true;
    bool jobs = true;
    QStringList log;
    QList<QImage> sheets;
    QImage *current = nullptr;
    QPainter painter;

    bool MakesCopies() const override { return copies; }
    bool SeveralJobs() const override { return jobs; }
    void SetJobTitle(const QString &title) override { log << "title " + title; }
    void SetCopies(int n) override { log << QStringLiteral("copies %1").arg(n); }
    bool BeginDoc(const TfrPageInfo &page) override
    {
        log << QStringLiteral("begin %1").arg(page.pgSize);
        return sheet();
    }
    bool NewPage(const TfrPageInfo &page) override
    {
        log << QStringLiteral("page %1").arg(page.pgSize);
        return sheet();
    }
    bool EndDoc() override
    {
        painter.end();
        log << "end";
        return true;
    }
    void Abort() override
    {
        painter.end();
        log << "abort";
    }
    QPainter *Canvas() override { return &painter; }
    TfrPrinterMetrics Metrics() override
    {
        TfrPrinterMetrics m;
        EnsureReportPrinter().FillMetrics(m);
        // 2 device pixels per engine unit, the virtual printer's 5 mm border.
        m.PageWidthPx = 2 * m.PageWidth;
        m.PageHeightPx = 2 * m.PageHeight;
        m.OffsetXPx = 2 * m.OffsetX;
        m.OffsetYPx = 2 * m.OffsetY;
        m.PrintableWidthPx = 2 * m.PrintableWidth;
        m.PrintableHeightPx = 2 * m.PrintableHeight;
        return m;
    }

private:
    bool sheet()
    {
        painter.end();
        const TfrPrinterMetrics m = Metrics();
        sheets.append(QImage(m.PrintableWidthPx, m.PrintableHeightPx, QImage::Format_RGB32));
        sheets.last().fill(Qt::white);
        return painter.begin(&sheets.last());
    }
};

// The sheets' line texts: which prepared page each sheet shows, by the red box's place.
} // namespace

class TstPrint : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
    }
    void cleanup() { frSetProgressHost(nullptr); }

    void pdfPageCount_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<int>("oddEven");
        QTest::addColumn<int>("pages");
        QTest::newRow("all") << "" << 1 << true << 0 << 3;
        QTest::newRow("a list, two collated copies") << "1,3" << 2 << true << 0 << 4;
        QTest::newRow("uncollated copies repeated in the file") << "2-" << 3 << false << 0 << 6;
        QTest::newRow("odd pages") << "" << 1 << true << 1 << 2;
        QTest::newRow("nothing selected") << "7-9" << 1 << true << 0 << 0;
    }
    void pdfPageCount()
    {
        QFETCH(QString, list);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(int, oddEven);
        QFETCH(int, pages);
        TfrReport r;
        buildLines(r, kSevenLines);
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 3);
        const QString file = m_dir.filePath(QStringLiteral("out.pdf"));
        QFile::remove(file);
        TfrPdfTarget pdf(file);
        QVERIFY(PrintPreparedReport(r, {list, copies, collate, quint8(oddEven)}, pdf));
        const QList<QSize> sizes = pdfPages(file);
        QCOMPARE(sizes.size(), pages);
        for (const QSize &s : sizes)
            QCOMPARE(s, QSize(595, 842));   // A4 in points
    }

    void changeOfPaper()
    {
        TfrReport r;
        buildLines(r, {"一"}, 9, true);   // an A4 page, then an A5 page
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 2);
        // A PDF file: a page of its own size in the same file.
        const QString file = m_dir.filePath(QStringLiteral("papers.pdf"));
        TfrPdfTarget pdf(file);
        QVERIFY(PrintPreparedReport(r, {"", 2, true, 0}, pdf));
        QCOMPARE(pdfPages(file), (QList<QSize>{{595, 842}, {420, 595}, {595, 842}, {420, 595}}));
        // A printer: a new job for every change of paper.
        RecordingTarget device;
        QVERIFY(PrintPreparedReport(r, {"", 2, true, 0}, device));
        QCOMPARE(device.log, (QStringList{"title Untitled", "copies 1", "begin 9", "end", "begin 11", "end",
                                          "begin 9", "end", "begin 11", "end"}));
    }

    void copiesByTheDevice()
    {
        TfrReport r;
        buildLines(r, kSevenLines);
        r.Title = QStringLiteral("入库单");
        QVERIFY(r.PrepareReport());
        RecordingTarget device;
        QVERIFY(PrintPreparedReport(r, {"1-2", 3, false, 0}, device));
        QCOMPARE(device.log, (QStringList{"title 入库单", "copies 3", "begin 9", "page 9", "end"}));
        // The sheet shows the page's red box where the page puts it (2 pixels per unit,
        // the page drawn whole from the paper's corner).
        const QImage &first = device.sheets.first();
        const TfrPrinterMetrics m = device.Metrics();
        const QPoint red(2 * (kRedLeft + 50) - m.OffsetXPx, 2 * (kFirstLineTop + kRedOffset + 20) - m.OffsetYPx);
        QCOMPARE(first.pixelColor(red).rgb(), qRgb(255, 0, 0));
        QCOMPARE(first.pixelColor(red + QPoint(0, 2 * kLineHeight)).rgb(), qRgb(255, 0, 0));
        QCOMPARE(first.pixelColor(10, 10).rgb(), qRgb(255, 255, 255));
        // Printed pages let go of their objects.
        for (int i = 0; i < r.EMFPages().Count(); ++i)
            QVERIFY(!r.EMFPages().GetPage(i)->Page);
    }

    void cancelAbortsAfterThePage()
    {
        TfrReport r;
        buildLines(r, kSevenLines);
        QVERIFY(r.PrepareReport());
        QList<int> progress;
        r.OnProgress = [&](int n) {
            progress << n;
            if (n == 2)
                r.StopRequested = true;   // Cancel while page 2 prints
        };
        RecordingTarget device;
        QVERIFY(!PrintPreparedReport(r, {"", 1, true, 0}, device));
        QCOMPARE(progress, (QList<int>{1, 2}));
        QCOMPARE(device.log.last(), QStringLiteral("abort"));
        QVERIFY(!device.log.contains(QStringLiteral("end")));
        // A cancelled PDF leaves the file that was there.
        const QString file = m_dir.filePath(QStringLiteral("kept.pdf"));
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        progress.clear();
        TfrPdfTarget pdf(file);
        QVERIFY(!PrintPreparedReport(r, {"", 1, true, 0}, pdf));
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("old"));
    }

    void refusedPageListPrintsNothing()
    {
        TfrReport r;
        buildLines(r, kSevenLines);
        QVERIFY(r.PrepareReport());
        RecordingTarget device;
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("页号不正确: 1,x\n输入页号或页范围,逗号分隔.例如: 1,3,5-12"),
                             QMessageBox::Ok, QStringLiteral("错误"));
        QVERIFY(!PrintPreparedReport(r, {"1,x", 1, true, 0}, device));
        QVERIFY(prompt.verifyDone());
        QVERIFY(device.log.isEmpty());
    }

    void underTheProgressWindow()
    {
        frSetProgressHost(frProgressWindowHost());
        TfrReport r;
        buildLines(r, kSevenLines);
        QVERIFY(r.PrepareReport());
        r.ShowProgress = true;
        r.Title = QStringLiteral("盘点单");
        RecordingTarget device;
        ScriptedPrompt prompt;
        QString caption, label;
        prompt.expectModal([&](QDialog *d) {
            caption = d->windowTitle();
            QCoreApplication::processEvents();   // the work runs inside the window's run
            label = d->findChild<QLabel *>(QStringLiteral("Label1"))->text();
            return d->result();
        });
        QVERIFY(PrintPreparedReport(r, {"", 1, true, 0}, device));
        QVERIFY(prompt.verifyDone());
        QCOMPARE(caption, QStringLiteral("正在准备报表 - 盘点单"));
        QCOMPARE(label, QStringLiteral("正在打印页:  3"));
        QCOMPARE(device.log.count(QStringLiteral("end")), 1);
    }
};

QTEST_MAIN(TstPrint)
#include "tst_print.moc"
