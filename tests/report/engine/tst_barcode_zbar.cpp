// Barcodes printed from a template, read back by an independent decoder
// (zbarimg of zbar-tools, used only as a test oracle).
#include "report/engine/frbarcodeview.h"
#include "report/engine/frreport.h"

#include "templatebuilder.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Case {
    int type;
    const char *code;
    bool checksum;
    const char *decoded;   // what the decoder reports for the symbol
};

// Every symbology the decoder reads. (It does not read MSI, PostNet, industrial
// and matrix 2 of 5, add-ons standing alone, or UPC-E of number system 1.)
const Case kCases[] = {
    {bcCode_2_5_interleaved, "12345670", false, "12345670"},
    {bcCode39, "CODE-39 $/", false, "CODE-39 $/"},
    {bcCode39, "12345678", true, "12345678-"},
    {bcCode39Extended, "Ab1", false, "A+B1"},
    {bcCode128A, "ABC-12_", false, "ABC-12_"},
    {bcCode128B, "Hello, 128!", false, "Hello, 128!"},
    {bcCode128C, "1234567", false, "01234567"},
    {bcCode93, "TEST93", false, "TEST93"},
    {bcCode93Extended, "Ab1", false, "Ab1"},
    {bcCodeCodabar, "12-34", false, "A12-34B"},
    {bcCodeEAN8, "1234567", true, "12345670"},
    {bcCodeEAN13, "590123412345", true, "5901234123457"},
    {bcCodeUPC_A, "03600029145", true, "036000291452"},
    {bcCodeUPC_E0, "425261", true, "04252614"},
    {bcCodeEAN128A, "AB12", false, "AB12"},
    {bcCodeEAN128B, "ab12", false, "ab12"},
    {bcCodeEAN128C, "0112345678901231", false, "0112345678901231"},
    // An odd count of digits is padded with a leading 0, never cut.
    {bcCode_2_5_interleaved, "123456789", false, "0123456789"},
};

QString zbarimg() { return QStandardPaths::findExecutable(QStringLiteral("zbarimg")); }

// Decoded symbols of an image file, one "TYPE:data" per symbol.
QStringList decode(const QString &file)
{
    QProcess p;
    p.start(zbarimg(), {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sean2.enable=0"),
                        QStringLiteral("-Sean5.enable=0"), QStringLiteral("-Supca.enable"),
                        QStringLiteral("-Supce.enable"), QStringLiteral("-Scodabar.enable"),
                        QStringLiteral("-Scode93.enable"), QStringLiteral("-Si25.enable"), file});
    if (!p.waitForFinished(30000))
        return {QStringLiteral("<timeout>")};
    QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return out;
}

} // namespace

class TestBarcodeZbar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (zbarimg().isEmpty())
            QFAIL("zbarimg not found: scripts/install-deps.sh installs zbar-tools");
    }
    void init()
    {
        StreamVersion = 25;
        EngineMode = 0;
        EngineHooks = TfrEngineHooks();
    }

    // A template with one barcode of each kind is stored, read back, printed into
    // prepared records, drawn from them and decoded.
    void templatePrintsReadableBarcodes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("rotation");
        for (int i = 0; i < int(std::size(kCases)); ++i) {
            const QByteArray name = BarcodeTypes[kCases[i].type].Name;
            QTest::newRow(name + " " + kCases[i].code) << i << 0.0;
        }
        QTest::newRow("EAN13 at 90") << 11 << 90.0;
        QTest::newRow("Code128B at 180") << 5 << 180.0;
        QTest::newRow("Code39 at 270") << 2 << 270.0;
    }
    void templatePrintsReadableBarcodes()
    {
        QFETCH(int, index);
        QFETCH(double, rotation);
        const Case &c = kCases[index];

        QByteArray frf;
        {
            TfrReport report;
            orv::test::TemplateBuilder b(report);
            b.page();
            auto *bar = b.add<TfrBarCodeView>(0, 10, QStringLiteral("TfrBarCodeView"), QStringLiteral("Bar1"),
                                              QRect(20, 20, 100, 80));
            bar->BarType = quint8(c.type);
            bar->CalcCheckSum = c.checksum;
            bar->Rotation = rotation;
            bar->Memo = QStringList{QStringLiteral("[Code]")};
            frf = b.bytes();
        }
        TfrReport report;
        QBuffer in(&frf);
        in.open(QIODevice::ReadOnly);
        QVERIFY(report.LoadFromStream(in));
        auto *bar = dynamic_cast<TfrBarCodeView *>(report.FindObject(QStringLiteral("Bar1")));
        QVERIFY(bar);

        // Print: the expression gives the code.
        EngineMode = 1;
        EngineHooks.Evaluate = [&](const QString &expr) -> QVariant {
            return expr == QLatin1String("[Code]") ? QVariant(QString::fromLatin1(c.code)) : QVariant();
        };
        bar->RecordMode = 1;
        QBuffer page;
        page.open(QIODevice::ReadWrite);
        bar->Print(page);
        page.seek(0);
        QCOMPARE(ReadStreamByte(page), quint8(10));
        const QString cls = ReadStreamString(page);
        auto shown = CreateView(10, cls);
        shown->RecordMode = 1;
        shown->LoadFromStream(page);
        QCOMPARE(shown->Memo, QStringList{QString::fromLatin1(c.code)});

        // Drawn as the preview does at 300 %, with a quiet zone around it.
        const int zoom = 3;
        QImage img(800, 800, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            shown->ZoomX = shown->ZoomY = zoom;
            shown->OffsetX = shown->OffsetY = 0;
            shown->Draw(&p);
        }
        auto *drawn = static_cast<TfrBarCodeView *>(shown.get());
        QCOMPARE(drawn->DrawError(), QString());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bar.png"));
        QVERIFY(img.save(file));
        const QStringList symbols = decode(file);
        QCOMPARE(symbols, QStringList{QString::fromLatin1(c.decoded)});
    }

    // Add-ons are read (parities checked) when they follow an EAN-13 symbol.
    void addOnsFollowingEan13_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("five digits") << int(bcCodeUPC_Supp5) << "52495" << "52495";
        QTest::newRow("two digits") << int(bcCodeUPC_Supp2) << "12" << "12";
    }
    void addOnsFollowingEan13()
    {
        QFETCH(int, type);
        QFETCH(QString, code);
        QFETCH(QString, decoded);
        TfrBarCodeView ean, addOn;
        ean.BarType = bcCodeEAN13;
        ean.Memo = QStringList{QStringLiteral("590123412345")};
        ean.SetBounds(20, 20, 95, 60);
        addOn.BarType = quint8(type);
        addOn.CalcCheckSum = false;
        addOn.Memo = QStringList{code};
        addOn.SetBounds(20 + 95 + 9, 20, 50, 60);   // nine modules after the end guard
        EngineMode = 1;
        QImage img(600, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            for (TfrBarCodeView *v : {&ean, &addOn}) {
                v->ZoomX = v->ZoomY = 3;
                v->Draw(&p);
            }
        }
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("addon.png"));
        QVERIFY(img.save(file));
        QProcess p;
        p.start(zbarimg(), {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sean2.enable"),
                            QStringLiteral("-Sean5.enable"), file});
        QVERIFY(p.waitForFinished(30000));
        QStringList symbols = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        symbols.sort();
        QCOMPARE(symbols, QStringList({decoded, QStringLiteral("5901234123457")}));
    }
};

QTEST_MAIN(TestBarcodeZbar)
#include "tst_barcode_zbar.moc"
