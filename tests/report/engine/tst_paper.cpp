// Paper table, printer selection, page metrics and page margins.
#include "report/engine/frpage.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"

#include <QtTest>

namespace {
// A printer at 300 dpi with an A4 page and 1/6-inch unprintable borders,
// or one whose settings cannot be read.
class FakePrinters : public TfrPrinterPlatform {
public:
    bool readable = true;
    int selected = 0;
    DeviceMode dm;
    int writes = 0;

    QStringList Printers() const override { return {QStringLiteral("Office"), QStringLiteral("Label")}; }
    int CurrentPrinter() const override { return selected; }
    void SelectPrinter(int index) override { selected = index; }
    bool ReadDevice(DeviceMode &out, Capabilities &caps) override
    {
        if (!readable)
            return false;
        out = dm;
        caps.DpiX = caps.DpiY = 300;
        const bool land = dm.Orientation == poLandscape;
        caps.PhysicalWidth = land ? 3508 : 2480;
        caps.PhysicalHeight = land ? 2480 : 3508;
        caps.PhysicalOffsetX = caps.PhysicalOffsetY = 50;
        caps.PageWidth = caps.PhysicalWidth - 100;
        caps.PageHeight = caps.PhysicalHeight - 100;
        caps.PaperCodes = {9, 11};
        caps.PaperNames = {QStringLiteral("A4"), QStringLiteral("A5")};
        caps.BinCodes = {1, 2};
        caps.BinNames = {QStringLiteral("Upper"), QStringLiteral("Lower")};
        return true;
    }
    bool WriteDevice(const DeviceMode &in) override
    {
        ++writes;
        dm = in;
        dm.PaperSize = 9; // this printer only has A4
        return true;
    }
    bool Printing() const override { return false; }
    bool PropertiesDialog() override { return false; }
};
} // namespace

class TstPaper : public QObject {
    Q_OBJECT
private slots:
    void init() { InitReportPrinter(std::make_unique<TfrNoPrinters>()); }

    void paperTable_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 0 << 1 << 2159 << 2794 << QStringLiteral("Letter, 8 1/2 x 11\"");
        QTest::newRow("A4") << 8 << 9 << 2100 << 2970 << QStringLiteral("A4 210 x 297 mm");
        QTest::newRow("after the gap") << 47 << 50 << 2355 << 3048 << QStringLiteral("Letter Extra 9/275 x 12\"");
        QTest::newRow("B6 envelope is wider") << 34 << 35 << 1760 << 1250 << QStringLiteral("B6 Envelope,  176 x 125 mm");
        QTest::newRow("custom") << 66 << 256 << 0 << 0 << QStringLiteral("自定义");
    }
    void paperTable()
    {
        QFETCH(int, position);
        QFETCH(int, code);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, name);
        QCOMPARE(PaperInfo().size(), 67);
        const TPaperInfo &p = PaperInfo()[position];
        QCOMPARE(p.Typ, code);
        QCOMPARE(p.X, width);
        QCOMPARE(p.Y, height);
        QCOMPARE(p.Name, name);
        QCOMPARE(PaperInfoIndex(code), position);
    }

    void virtualPrinter()
    {
        TfrPrinter &prn = *ReportPrinter;
        QCOMPARE(prn.Printers, QStringList{QStringLiteral("虚拟打印机")});
        QVERIFY(prn.IsVirtual());
        QCOMPARE(prn.PaperSizes.size(), 67);
        QCOMPARE(prn.PaperNames.size(), 67);
        QCOMPARE(DefaultPaperCode, 9);
        QVERIFY(PrinterReady);
        QCOMPARE(prn.PaperIndex(48), 66);
        QCOMPARE(prn.PaperIndex(11), 10);
        QCOMPARE(prn.BinIndex(7), 0);
    }

    void virtualMetrics_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("paperWidth");
        QTest::addColumn<int>("paperHeight");
        QTest::addColumn<QList<int>>("metrics");   // page w, h, offset x, y, printable w, h
        QTest::newRow("A4") << 9 << int(poPortrait) << 2100 << 2970 << QList<int>{758, 1071, 18, 18, 722, 1035};
        QTest::newRow("A4 landscape") << 9 << int(poLandscape) << 2970 << 2100
                                      << QList<int>{1071, 758, 18, 18, 1035, 722};
        QTest::newRow("A5") << 11 << int(poPortrait) << 1480 << 2100 << QList<int>{534, 758, 18, 18, 498, 722};
        QTest::newRow("custom") << 256 << int(poPortrait) << 1000 << 500 << QList<int>{361, 180, 18, 18, 325, 144};
    }
    void virtualMetrics()
    {
        QFETCH(int, code);
        QFETCH(int, orientation);
        QFETCH(int, paperWidth);
        QFETCH(int, paperHeight);
        QFETCH(QList<int>, metrics);
        TfrPrinter &prn = *ReportPrinter;
        prn.SetPaper(code, 1000, 500, frDefaultBin, orientation);
        QCOMPARE(prn.PaperWidth, paperWidth);
        QCOMPARE(prn.PaperHeight, paperHeight);
        TfrPrinterMetrics m;
        prn.FillMetrics(m);
        QCOMPARE((QList<int>{m.PageWidth, m.PageHeight, m.OffsetX, m.OffsetY, m.PrintableWidth, m.PrintableHeight}),
                 metrics);
    }

    void samePaper_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bin");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("same");
        // The printer holds custom 1000 x 500, bin 3, portrait.
        QTest::newRow("custom within 1") << 256 << 1001 << 499 << 9 << 0 << true;
        QTest::newRow("custom 2 wider") << 256 << 1002 << 500 << 3 << 0 << false;
        QTest::newRow("custom turned") << 256 << 1000 << 500 << 3 << 1 << false;
        QTest::newRow("other code") << 9 << 1000 << 500 << 3 << 0 << false;
    }
    void samePaper()
    {
        QFETCH(int, code);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bin);
        QFETCH(int, orientation);
        QFETCH(bool, same);
        TfrPrinter &prn = *ReportPrinter;
        prn.SetPaper(256, 1000, 500, 3, poPortrait, true);
        QCOMPARE(prn.SamePaper(code, width, height, bin, orientation), same);
    }

    void samePaperComparesBinsOfTableSizes()
    {
        TfrPrinter &prn = *ReportPrinter;
        prn.SetPaper(9, 0, 0, 3, poPortrait, true);
        QVERIFY(prn.SamePaper(9, 0, 0, 3, poPortrait));
        QVERIFY(prn.SamePaper(9, 0, 0, 0xFFFF, poPortrait));
        QVERIFY(prn.SamePaper(9, 0, 0, -1, poPortrait));
        QVERIFY(!prn.SamePaper(9, 0, 0, 4, poPortrait));
        QVERIFY(!prn.SamePaper(9, 0, 0, 3, poLandscape));
    }

    void realPrinterMetrics()
    {
        auto fake = std::make_unique<FakePrinters>();
        FakePrinters *f = fake.get();
        InitReportPrinter(std::move(fake));
        TfrPrinter &prn = *ReportPrinter;
        QCOMPARE(prn.Printers, (QStringList{QStringLiteral("Office"), QStringLiteral("Label"),
                                            QStringLiteral("虚拟打印机")}));
        QCOMPARE(prn.PrinterIndex, 0);
        QCOMPARE(prn.VirtualPrinterIndex, 2);
        QCOMPARE(prn.PaperWidth, 2100);    // 2480 px / 300 dpi, in tenths of a millimetre
        QCOMPARE(prn.PaperHeight, 2970);
        QCOMPARE(prn.PaperSizes, (QList<int>{9, 11}));
        QCOMPARE(prn.Bins, (QList<int>{0xFFFF, 1, 2}));
        QCOMPARE(prn.BinNames.first(), QStringLiteral("缺省"));
        TfrPrinterMetrics m;
        prn.FillMetrics(m);
        QCOMPARE(m.PageWidthPx, 2480);
        QCOMPARE(m.PageWidth, 757);        // rnd(2480 * 91.6256 / 300)
        QCOMPARE(m.PageHeight, 1071);
        QCOMPARE(m.OffsetXPx, 50);
        QCOMPARE(m.OffsetX, 15);
        QCOMPARE(m.PrintableWidth, 727);

        // The driver's answer wins: this printer turns every paper into A4.
        prn.SetPaper(11, 0, 0, frDefaultBin, poLandscape);
        QCOMPARE(f->writes, 1);
        QCOMPARE(prn.PaperSize, 9);
        QCOMPARE(prn.Orientation, int(poLandscape));
        QCOMPARE(prn.PaperWidth, 2970);

        // A printer that cannot be read gives way to the virtual printer.
        f->readable = false;
        prn.SelectPrinter(1);
        QVERIFY(prn.IsVirtual());
    }

    // Whatever printers this machine has, the virtual printer comes last and a page has a size.
    void installedPrinters()
    {
        InitReportPrinter();
        QCOMPARE(ReportPrinter->Printers.last(), QStringLiteral("虚拟打印机"));
        TfrPage p(DefaultPaperCode, 0, 0, frDefaultBin, poPortrait);
        QVERIFY(p.PrnInfo.PageWidth > 0);
        QVERIFY(p.PrnInfo.PageHeight > 0);
    }

    void unreadablePrinterAtStart()
    {
        auto fake = std::make_unique<FakePrinters>();
        fake->readable = false;
        InitReportPrinter(std::move(fake));
        QVERIFY(ReportPrinter->IsVirtual());
        QCOMPARE(DefaultPaperCode, 9);
        TfrPages pages(nullptr);
        const TfrPage *p = pages[pages.Add()];
        QCOMPARE(p->PrnInfo.PageWidth, 758);
        QCOMPARE(p->PrnInfo.PageHeight, 1071);
    }

    void pageMargins_data()
    {
        QTest::addColumn<bool>("useMargins");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QList<int>>("margins");   // left, top, right, bottom
        QTest::newRow("stored") << true << QList<int>{54, 72, 54, 54} << QList<int>{54, 72, 704, 1017};
        QTest::newRow("zero uses the printable area") << true << QList<int>{0, 0, 0, 0} << QList<int>{18, 18, 740, 1053};
        QTest::newRow("stretched to printable") << false << QList<int>{54, 72, 54, 54} << QList<int>{0, 0, 758, 1071};
    }
    void pageMargins()
    {
        QFETCH(bool, useMargins);
        QFETCH(QList<int>, stored);
        QFETCH(QList<int>, margins);
        TfrPage p(9, 0, 0, frDefaultBin, poPortrait);
        p.UseMargins = useMargins;
        p.MarginLeft = stored[0];
        p.MarginTop = stored[1];
        p.MarginRight = stored[2];
        p.MarginBottom = stored[3];
        QCOMPARE((QList<int>{p.LeftMargin(), p.TopMargin(), p.RightMargin(), p.BottomMargin()}), margins);
    }

    void newPageDefaults()
    {
        TfrPage p(9, 0, 0, frDefaultBin, poPortrait);
        QCOMPARE(p.pgBin, 65535);
        QCOMPARE((QList<int>{p.MarginLeft, p.MarginTop, p.MarginRight, p.MarginBottom}), (QList<int>{54, 72, 54, 54}));
        QVERIFY(p.UseMargins);
        QCOMPARE(p.Caption, QStringLiteral("Form"));
        QCOMPARE((QList<int>{p.DialogLeft, p.DialogTop, p.DialogWidth, p.DialogHeight}), (QList<int>{220, 120, 380, 300}));
        // Page width and height as properties are in engine units (tenths x 18 / 50).
        QCOMPARE(p.GetPropValue(QStringLiteral("width")).toInt(), 756);
        p.SetPropValue(QStringLiteral("Width"), 360);
        QCOMPARE(p.pgSize, 256);
        QCOMPARE(p.pgWidth, 1000);
        p.SetPropValue(QStringLiteral("StretchToPrintable"), true);
        QVERIFY(!p.UseMargins);
    }
};

QTEST_MAIN(TstPaper)
#include "tst_paper.moc"
