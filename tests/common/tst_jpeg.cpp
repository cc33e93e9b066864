// The JPEG decoder bounds the work a file may ask for: a progressive file decodes,
// one with more scans than any encoder writes is refused before its passes are run.
#include "common/jpeg.h"
#include "jpegfixture.h"

#include <QtTest>

using namespace orv::test;

namespace {
// A grey ramp, so every coefficient carries something.
QImage ramp(int w, int h)
{
    QImage img(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.scanLine(y)[x] = uchar((x * 7 + y * 3) % 256);
    return img;
}
} // namespace

class TstJpeg : public QObject {
    Q_OBJECT
private slots:
    void scans_data()
    {
        QTest::addColumn<int>("passes");
        QTest::addColumn<int>("scans");
        QTest::addColumn<bool>("decodes");
        QTest::newRow("usual progression") << 0 << 6 << true;
        QTest::newRow("a scan per coefficient") << 1 << 64 << true;
        QTest::newRow("beyond the limit") << 2 << 127 << false;
        QTest::newRow("far beyond") << 11 << 694 << false;
    }
    void scans()
    {
        QFETCH(int, passes);
        QFETCH(int, scans);
        QFETCH(bool, decodes);
        const QImage source = ramp(64, 48);
        const QByteArray file = progressiveJpeg(source, passes);
        QCOMPARE(jpegScanCount(file), scans);
        QString error;
        const QImage img = orv::decodeJpeg(file, &error);
        if (!decodes) {
            QVERIFY(img.isNull());
            QCOMPARE(error, QStringLiteral("JPEG has more than %1 scans").arg(orv::kJpegMaxScans));
            return;
        }
        QVERIFY2(!img.isNull(), qPrintable(error));
        QCOMPARE(img.size(), source.size());
        QVERIFY(qAbs(qGray(img.pixel(40, 20)) - int(source.scanLine(20)[40])) < 12);
    }
};

QTEST_MAIN(TstJpeg)
#include "tst_jpeg.moc"
