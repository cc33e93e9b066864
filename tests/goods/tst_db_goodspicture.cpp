// The goods picture: stored as read, shown whatever its format; damage is a message.
#include "testdb.h"
#include "goods/goodspicture.h"
#include "goods/goodsschema.h"
#include "jpegfixture.h"

#include <QBuffer>
#include <QPainter>

using namespace orv;
using namespace orv::test;

namespace {
qint64 addGoods(TestDb &t, const QString &no, const QString &name, const QString &place)
{
    t.exec("insert into 货品目录(编号,名称,仓位) values(?,?,?)", {no, name, place});
    return t.scalar("select max(流水号) from 货品目录").toLongLong();
}

QByteArray encoded(const QImage &img, const char *format)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 95);
    return out;
}

QImage sample()
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    QPainter p(&img);
    p.fillRect(20, 0, 20, 30, QColor(20, 40, 220));
    return img;
}
} // namespace

class TestGoodsPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerGoodsSchema(); }

    void pictureRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpeg") << QByteArray("JPG");
        QTest::newRow("bitmap") << QByteArray("BMP");
        QTest::newRow("png") << QByteArray("PNG");
    }
    void pictureRoundTrip()
    {
        QFETCH(QByteArray, format);
        TestDb t;
        const qint64 row = addGoods(t, "HP1", "螺丝", "一号库");
        const QByteArray bytes = encoded(sample(), format.constData());
        QVERIFY(!bytes.isEmpty());
        QVERIFY(saveGoodsPicture(t.conn(), row, bytes));
        const QByteArray back = loadGoodsPicture(t.conn(), row);
        QCOMPARE(back, bytes);
        QString error = "x";
        const QImage img = decodePicture(back, &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(img.size(), QSize(40, 30));
        const QColor left = img.pixelColor(5, 15), right = img.pixelColor(35, 15);
        QVERIFY2(qAbs(left.red() - 200) < 12 && qAbs(left.blue() - 30) < 12, qPrintable(left.name()));
        QVERIFY2(qAbs(right.blue() - 220) < 12 && qAbs(right.red() - 20) < 12, qPrintable(right.name()));

        QVERIFY(saveGoodsPicture(t.conn(), row, {}));
        QVERIFY(loadGoodsPicture(t.conn(), row).isEmpty());
        QVERIFY(!saveGoodsPicture(t.conn(), row + 100, bytes));
    }

    void badPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray jpeg = encoded(sample(), "JPG");
        const QString damaged = "图片已损坏，无法显示", unknown = "不支持的图片格式，无法显示";
        QTest::newRow("truncated jpeg") << jpeg.left(jpeg.size() / 3) << damaged;
        QTest::newRow("jpeg header only") << jpeg.left(4) << damaged;
        QByteArray garbled = jpeg;
        for (int i = 20; i < garbled.size(); i += 7)
            garbled[i] = char(0xFF);
        QTest::newRow("garbled jpeg") << garbled << damaged;
        // A tiny file whose frame header claims 60000 x 60000: refused before any decoding.
        QImage dot(8, 8, QImage::Format_RGB32);
        dot.fill(Qt::red);
        QByteArray claim = encoded(dot, "JPG");
        const int sof = claim.indexOf("\xFF\xC0");
        QVERIFY(sof > 0 && claim.size() < 1000);
        claim[sof + 5] = char(0xEA), claim[sof + 6] = char(0x60), claim[sof + 7] = char(0xEA), claim[sof + 8] = char(0x60);
        QTest::newRow("huge frame claim") << claim << damaged;
        // More scans than any encoder writes: each is a pass over the frame, so such a
        // file is refused rather than decoded for minutes; also behind a stray byte, which
        // other readers pass over.
        const QByteArray busy = progressiveJpeg(sample(), 2);
        QTest::newRow("jpeg of many scans") << busy << damaged;
        QTest::newRow("jpeg of many scans, stray byte") << busy.left(2) + QByteArray(1, '\0') + busy.mid(2) << damaged;
        QTest::newRow("truncated bitmap") << encoded(sample(), "BMP").left(30) << damaged;
        QTest::newRow("metafile") << QByteArray::fromHex("d7cdc69a0000") + QByteArray(100, 'x') << unknown;
        QTest::newRow("text") << QByteArray("not a picture") << unknown;
        QTest::newRow("nothing") << QByteArray() << unknown;
    }
    void badPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString got;
        const QImage img = decodePicture(bytes, &got);
        if (!img.isNull()) {
            // Only a garbled but complete JPEG may still decode: then it shows at the size its
            // frame header gives, without a message.
            QCOMPARE(QTest::currentDataTag(), "garbled jpeg");
            QVERIFY2(got.isEmpty(), qPrintable(got));
            QCOMPARE(img.size(), sample().size());
            return;
        }
        QCOMPARE(got, error);
    }
};

ORV_DB_TEST_MAIN(TestGoodsPicture)
#include "tst_db_goodspicture.moc"
