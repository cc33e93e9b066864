// The barcode generator: texts to patterns, check digits, width classes, errors
// and the drawn geometry.
#include "report/engine/frbarcode.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

// Module count of a pattern with the default widths (Modul 1, Ratio 2: 1, 2, 3, 4).
int modules(const QString &pattern)
{
    int n = 0;
    for (QChar c : pattern) {
        const ushort u = c.unicode();
        n += u >= 'A' ? u - 'A' + 1 : u >= '5' ? u - '5' + 1 : u - '0' + 1;
    }
    return n;
}

// Runs of equal colour along one row, from the first non-background pixel on.
QList<int> runs(const QImage &img, int y, QRgb background)
{
    QList<int> r;
    QRgb last = background;
    for (int x = 0; x < img.width(); ++x) {
        const QRgb c = img.pixel(x, y);
        if (c == background && r.isEmpty())
            continue;
        if (c == background)
            break;
        if (!r.isEmpty() && c == last)
            ++r.last();
        else
            r << 1;
        last = c;
    }
    return r;
}

QRect inkBox(const QImage &img, QRgb background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

const QRgb kGrey = qRgb(128, 128, 128);

} // namespace

class TestBarcode : public QObject {
    Q_OBJECT
private slots:
    void encodes_data();
    void encodes();
    void checkDigits_data();
    void checkDigits();
    void checkCharacters_data();
    void checkCharacters();
    void handPatterns_data();
    void handPatterns();
    void ratioClamping();
    void wideModulesDoNotWrap();
    void errorsLeaveTextAlone_data();
    void errorsLeaveTextAlone();
    void fullAscii();
    void drawsExactModules();
    void rotatedBox_data();
    void rotatedBox();
    void widthWriteScalesModul();
};

void TestBarcode::encodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checksum");
    QTest::addColumn<QString>("textAfter");   // Text once the pattern is built
    QTest::addColumn<int>("elements");        // pattern length, -1: not checked
    QTest::addColumn<int>("width");           // modules

    QTest::newRow("EAN-13 with check digit") << int(bcCodeEAN13) << "590123412345" << true
                                             << "5901234123457" << 59 << 95;
    QTest::newRow("EAN-13 of 14 digits keeps 13") << int(bcCodeEAN13) << "59012341234578" << false
                                                  << "5901234123457" << 59 << 95;
    QTest::newRow("EAN-13 of 3 digits is padded") << int(bcCodeEAN13) << "123" << false
                                                  << "0000000000123" << 59 << 95;
    QTest::newRow("EAN-13 text is trimmed") << int(bcCodeEAN13) << " 590123412345 " << true
                                            << "5901234123457" << 59 << 95;
    QTest::newRow("EAN-8 shows its check digit") << int(bcCodeEAN8) << "1234567" << true << "12345670" << 43 << 67;
    QTest::newRow("UPC-A") << int(bcCodeUPC_A) << "03600029145" << true << "036000291452" << 59 << 95;
    QTest::newRow("UPC-E0 check via UPC-A") << int(bcCodeUPC_E0) << "4252610" << true << "4252614" << 33 << 51;
    QTest::newRow("UPC-E0 body of six") << int(bcCodeUPC_E0) << "425261" << true << "4252614" << 33 << 51;
    QTest::newRow("UPC-E1 check via UPC-A") << int(bcCodeUPC_E1) << "4252610" << true << "4252611" << 33 << 51;
    QTest::newRow("UPC-E without checksum keeps text") << int(bcCodeUPC_E0) << "4252610" << false
                                                      << "4252610" << 33 << 51;
    QTest::newRow("5-digit add-on") << int(bcCodeUPC_Supp5) << "52495" << true << "524951" << 31 << 47;
    QTest::newRow("2-digit add-on") << int(bcCodeUPC_Supp2) << "12" << true << "125" << 13 << 20;
    QTest::newRow("Code 128C pads to even") << int(bcCode128C) << "12345" << false << "012345" << 37 << 68;
    QTest::newRow("Code 128B") << int(bcCode128B) << "Hi" << false << "Hi" << 31 << 57;
    QTest::newRow("Code 128A") << int(bcCode128A) << "HI" << false << "HI" << 31 << 57;
    QTest::newRow("Code 128A lower case is one symbol") << int(bcCode128A) << "a" << false << "a" << 25 << 46;
    QTest::newRow("EAN-128A") << int(bcCodeEAN128A) << "A1" << false << "A1" << 37 << 68;
    QTest::newRow("EAN-128B") << int(bcCodeEAN128B) << "ab" << false << "ab" << 37 << 68;
    QTest::newRow("EAN-128C keeps its text") << int(bcCodeEAN128C) << "1234" << true << "1234" << 43 << 79;
    QTest::newRow("Code 39 skips lower case") << int(bcCode39) << "a1" << false << "a1" << 29 << 38;
    QTest::newRow("Code 39 of nothing") << int(bcCode39) << "" << false << "" << 19 << 25;
    QTest::newRow("Code 39 star is one more start") << int(bcCode39) << "A*B" << false << "A*B" << 49 << 64;
    QTest::newRow("Code 39 with check") << int(bcCode39) << "12345678" << true << "12345678" << 109 << 142;
    QTest::newRow("Code 39 Extended a is +A") << int(bcCode39Extended) << "a" << false << "a" << 39 << 51;
    QTest::newRow("Code 93") << int(bcCode93) << "TEST93" << false << "TEST93" << 61 << 91;
    QTest::newRow("Code 93 Extended a is two symbols") << int(bcCode93Extended) << "a" << false << "a" << 37
                                                       << 55;
    QTest::newRow("MSI always has its check digit") << int(bcCodeMSI) << "1234" << false << "1234" << 45 << 67;
    QTest::newRow("MSI of seven digits") << int(bcCodeMSI) << "1234567" << false << "1234567" << 69 << 103;
    QTest::newRow("matrix") << int(bcCode_2_5_matrix) << "12345" << false << "12345" << 41 << 55;
    QTest::newRow("interleaved") << int(bcCode_2_5_interleaved) << "1234" << false << "1234" << 27 << 36;
    QTest::newRow("interleaved pads an odd count with 0") << int(bcCode_2_5_interleaved) << "12345" << false
                                                          << "012345" << 37 << 50;
    QTest::newRow("industrial") << int(bcCode_2_5_industrial) << "1" << false << "1" << 22 << 28;
    QTest::newRow("PostNet") << int(bcCodePostNet) << "12345" << false << "12345" << 53 << 79;
    QTest::newRow("Codabar") << int(bcCodeCodabar) << "123" << false << "123" << 39 << 51;
    QTest::newRow("Codabar skips what it lacks") << int(bcCodeCodabar) << "1x2" << false << "1x2" << 31 << 41;
}

void TestBarcode::encodes()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(bool, checksum);
    QFETCH(QString, textAfter);
    QFETCH(int, elements);
    QFETCH(int, width);
    TfrBarcode b;
    b.SetTyp(type);
    b.SetChecksum(checksum);
    b.SetText(text);
    const QString pattern = b.BuildPattern();
    QCOMPARE(b.Text(), textAfter);
    if (elements >= 0)
        QCOMPARE(pattern.size(), elements);
    QCOMPARE(modules(pattern), width);
    QCOMPARE(b.Width(), width);
    QCOMPARE(b.Text(), textAfter);   // a second build changes nothing more
}

void TestBarcode::checkDigits_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("check");
    QTest::newRow("EAN") << "mod10" << "590123412345" << "7";
    QTest::newRow("EAN sum divisible") << "mod10" << "1234567" << "0";
    // Right-anchored: odd lengths differ from counting positions from the left.
    QTest::newRow("MSI odd length") << "msi" << "1234567" << "4";
    QTest::newRow("MSI even length") << "msi" << "1234" << "4";
    QTest::newRow("MSI longer than 32-bit") << "msi" << QString(21, QLatin1Char('1')) << "8";
    QTest::newRow("add-on of five") << "supp" << "52495" << "1";
    QTest::newRow("UPC-E number system 0") << "upce0" << "425261" << "4";
    QTest::newRow("UPC-E last digit 3") << "upce0" << "123453" << QString(TfrBarcode::Modulo10CheckDigit("01230000045"));
    QTest::newRow("UPC-E last digit 7") << "upce0" << "123457" << QString(TfrBarcode::Modulo10CheckDigit("01234500007"));
}

void TestBarcode::checkDigits()
{
    QFETCH(QString, kind);
    QFETCH(QString, digits);
    QFETCH(QString, check);
    QChar c;
    if (kind == QLatin1String("mod10"))
        c = TfrBarcode::Modulo10CheckDigit(digits);
    else if (kind == QLatin1String("msi"))
        c = TfrBarcode::MsiCheckDigit(digits);
    else if (kind == QLatin1String("supp"))
        c = TfrBarcode::SupplementCheckDigit(digits);
    else
        c = TfrBarcode::UpcECheckDigit(digits, 0);
    QCOMPARE(QString(c), check);
}

namespace {
// Where the check symbols sit in a pattern, and how long they are.
struct CheckPlace {
    int fromEnd, length;
    TfrBarcodeType reference; // the type whose data symbols they are
    int dataAt;               // where the first data symbol of the reference starts
};
CheckPlace checkPlace(int type)
{
    switch (type) {
    case bcCode39:
    case bcCode39Extended:
        return {19, 9, bcCode39, 10}; // check, gap, stop of nine
    case bcCode93:
    case bcCode93Extended:
        return {19, 12, bcCode93, 6}; // C and K, stop of seven
    case bcCode128A:
    case bcCodeEAN128A:
        return {13, 6, bcCode128A, 6};
    case bcCode128B:
    case bcCodeEAN128B:
        return {13, 6, bcCode128B, 6};
    case bcCode128C:
    case bcCodeEAN128C:
        return {13, 6, bcCode128C, 6};
    default:
        return {11, 8, bcCodeMSI, 2}; // check digit, stop of three
    }
}
} // namespace

// The check symbols of a pattern are those of the expected characters encoded as data.
void TestBarcode::checkCharacters_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checksum");
    QTest::addColumn<QString>("check");
    QTest::newRow("Code 39: 36 is -") << int(bcCode39) << "12345678" << true << "-";
    QTest::newRow("Code 39: 75 mod 43 is W") << int(bcCode39) << "CODE39" << true << "W";
    QTest::newRow("Code 39: skipped lower case adds nothing") << int(bcCode39) << "a1" << true << "1";
    QTest::newRow("Code 39 Extended sums +A") << int(bcCode39Extended) << "a" << true << "8";
    QTest::newRow("Code 93") << int(bcCode93) << "TEST93" << false << "+6";
    QTest::newRow("Code 93: C of 43 is the ($) shift") << int(bcCode93) << "K3" << false << "[F";
    QTest::newRow("Code 93 Extended sums (+)A") << int(bcCode93Extended) << "a" << false << "8P";
    QTest::newRow("Code 128A") << int(bcCode128A) << "HI" << false << "3";
    QTest::newRow("Code 128A lower case counts as space") << int(bcCode128A) << "a" << false << " ";
    QTest::newRow("Code 128B") << int(bcCode128B) << "Hi" << false << "t";
    QTest::newRow("Code 128C over 01 23 45") << int(bcCode128C) << "12345" << false << "81";
    QTest::newRow("EAN-128A, FNC1 at position 1") << int(bcCodeEAN128A) << "A1" << false << "-";
    QTest::newRow("EAN-128B") << int(bcCodeEAN128B) << "ab" << false << "3";
    QTest::newRow("EAN-128B over 12 and its digit 3") << int(bcCodeEAN128B) << "12" << true << "]";
    QTest::newRow("EAN-128C over 01 23 48") << int(bcCodeEAN128C) << "1234" << true << "58";
    QTest::newRow("MSI of one digit") << int(bcCodeMSI) << "1" << false << "8";
    QTest::newRow("MSI of odd length") << int(bcCodeMSI) << "1234567" << false << "4";
    QTest::newRow("MSI of even length") << int(bcCodeMSI) << "1234" << false << "4";
}

void TestBarcode::checkCharacters()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(bool, checksum);
    QFETCH(QString, check);
    const CheckPlace at = checkPlace(type);
    TfrBarcode b;
    b.SetTyp(type);
    b.SetChecksum(checksum);
    b.SetText(text);
    const QString pattern = b.BuildPattern();
    TfrBarcode ref;
    ref.SetTyp(at.reference);
    ref.SetText(check);
    const QString expected = ref.BuildPattern().mid(at.dataAt, at.length);
    QCOMPARE(expected.size(), at.length);
    QCOMPARE(pattern.mid(pattern.size() - at.fromEnd, at.length), expected);
}

// Patterns small enough to write out from the rules.
void TestBarcode::handPatterns_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    // Marks of 1 are 10001: wide bar, narrow space, narrow bar, narrow space, wide bar, gap.
    QTest::newRow("matrix 1") << int(bcCode_2_5_matrix) << "1" << "705050" "605060" "70505";
    // 1 is 0001; its check digit is 8 (1 doubled from the right, 10 - 2).
    QTest::newRow("MSI 1") << int(bcCodeMSI) << "1" << "60" "51515160" "60515151" "515";
}

void TestBarcode::handPatterns()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    TfrBarcode b;
    b.SetTyp(type);
    b.SetText(text);
    QCOMPARE(b.BuildPattern(), pattern);
}

void TestBarcode::ratioClamping()
{
    TfrBarcode b;
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.SetText(QStringLiteral("590123412345"));
    b.SetChecksum(true);
    changes = 0;
    b.SetRatio(1.5);
    QCOMPARE(changes, 1);
    b.BuildPattern();
    QCOMPARE(b.Ratio(), 2.0);
    QVERIFY(changes >= 2);   // the clamp is reported like any change

    b.SetRatio(2.6);   // inside the clamp: the EAN proportions are lost
    b.BuildPattern();
    QCOMPARE(QList<int>({b.ModuleWidth(0), b.ModuleWidth(1), b.ModuleWidth(2), b.ModuleWidth(3)}),
             QList<int>({1, 3, 4, 6}));

    b.SetTyp(bcCode39);
    b.SetRatio(5);
    b.BuildPattern();
    QCOMPARE(b.Ratio(), 3.0);
    b.SetTyp(bcCode_2_5_matrix);
    b.SetText(QStringLiteral("12"));
    b.SetRatio(2);
    b.BuildPattern();
    QCOMPARE(b.Ratio(), 2.25);
    b.SetTyp(bcCode128B);
    b.SetRatio(1.5);
    b.BuildPattern();
    QCOMPARE(b.Ratio(), 1.5);

    changes = 0;
    b.SetRatio(1.5);   // unchanged: no notification
    b.SetModul(0);     // outside 1..49: ignored
    b.SetModul(50);
    QCOMPARE(changes, 0);
    QCOMPARE(b.Modul(), 1);
}

void TestBarcode::wideModulesDoNotWrap()
{
    TfrBarcode b;
    b.SetTyp(bcCode39);
    b.SetText(QStringLiteral("1"));
    b.SetModul(49);
    b.SetRatio(3);
    const int w = b.Width();
    QCOMPARE(b.ModuleWidth(3), 294);
    // Start, "1", stop: 6 narrow and 3 wide each, with two narrow gaps.
    QCOMPARE(w, 3 * (6 * 49 + 3 * 147) + 2 * 49);
}

void TestBarcode::errorsLeaveTextAlone_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("error");
    QTest::newRow("decimal point") << int(bcCodeEAN13) << "12.5" << int(csmModulo10) << "Barcode must be numeric";
    QTest::newRow("sign") << int(bcCode128C) << "-12" << int(csmModulo10) << "Barcode must be numeric";
    QTest::newRow("EAN-8 one short") << int(bcCodeEAN8) << "1234567" << int(csmNone) << "Invalid Text len (EAN8)";
    QTest::newRow("EAN-13 one short") << int(bcCodeEAN13) << "123456789012" << int(csmNone)
                                      << "Invalid Text len (EAN13)";
    QTest::newRow("Code 93 lower case") << int(bcCode93) << "abc" << int(csmModulo10)
                                        << "TfrBarcode:Code93 bad Data <abc>";
    QTest::newRow("unknown type") << 23 << "1" << int(csmModulo10) << "TfrBarcode: wrong BarcodeType";
}

void TestBarcode::errorsLeaveTextAlone()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, method);
    QFETCH(QString, error);
    TfrBarcode b;
    b.SetTyp(type);
    b.SetChecksum(true);
    b.SetCheckSumMethod(TfrCheckSumMethod(method));
    b.SetText(text);
    try {
        b.BuildPattern();
        QFAIL("no error");
    } catch (const EfrBarcodeError &e) {
        QCOMPARE(e.message(), error);
    }
    QCOMPARE(b.Text(), text);
    int w, kind;
    QVERIFY_THROWS_EXCEPTION(EfrBarcodeError, b.ElementProps(QLatin1Char('4'), w, kind));
}

void TestBarcode::fullAscii()
{
    QCOMPARE(Code39FullAscii(QLatin1Char('a')), QStringLiteral("+A"));
    QCOMPARE(Code39FullAscii(QLatin1Char('$')), QStringLiteral("/D"));
    QCOMPARE(Code39FullAscii(QChar(0)), QStringLiteral("%U"));
    QCOMPARE(Code39FullAscii(QChar(127)), QStringLiteral("%T"));
    QCOMPARE(Code39FullAscii(QChar(0x4E2D)), QString());
    QCOMPARE(Code93FullAscii(QLatin1Char('a')), QStringLiteral("}A"));
    QCOMPARE(Code93FullAscii(QLatin1Char('$')), QStringLiteral("$"));
    QCOMPARE(Code93FullAscii(QLatin1Char('!')), QStringLiteral("{A"));
    QCOMPARE(Code93FullAscii(QLatin1Char('\r')), QStringLiteral("[M"));
}

void TestBarcode::drawsExactModules()
{
    // Each element is as many pixels wide as its modules, at scale 1 and 2.
    for (int scale : {1, 2}) {
        TfrBarcode b;
        b.SetTyp(bcCodeEAN13);
        b.SetText(QStringLiteral("5901234123457"));
        b.SetHeight(40);
        b.SetLeft(5);
        b.SetTop(3);
        const QString pattern = b.BuildPattern();
        QImage img(240, 120, QImage::Format_RGB32);
        img.fill(kGrey);
        {
            QPainter p(&img);
            p.scale(scale, scale);
            b.RenderTo(&p);
        }
        QList<int> expected;
        for (QChar c : pattern) {
            int w, kind;
            b.ElementProps(c, w, kind);
            expected << w * scale;
        }
        QCOMPARE(runs(img, 20 * scale, kGrey), expected);
        QCOMPARE(inkBox(img, kGrey), QRect(5 * scale, 3 * scale, 95 * scale, 41 * scale));
    }
}

void TestBarcode::rotatedBox_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<QRect>("box");        // for W 67 (EAN-8), H 50, Left 20, Top 10
    QTest::addColumn<QPoint>("firstBar");  // a pixel of the first (left) bar
    QTest::newRow("0") << 0.0 << QRect(QPoint(20, 10), QPoint(20 + 66, 60)) << QPoint(20, 30);
    QTest::newRow("90") << 90.0 << QRect(QPoint(20, 11), QPoint(70, 10 + 67)) << QPoint(40, 10 + 67);
    QTest::newRow("180") << 180.0 << QRect(QPoint(21, 10), QPoint(20 + 67, 60)) << QPoint(20 + 67, 30);
    QTest::newRow("270") << 270.0 << QRect(QPoint(20, 10), QPoint(70, 10 + 66)) << QPoint(40, 10);
}

void TestBarcode::rotatedBox()
{
    QFETCH(double, angle);
    QFETCH(QRect, box);
    QFETCH(QPoint, firstBar);
    TfrBarcode b;
    b.SetTyp(bcCodeEAN8);
    b.SetText(QStringLiteral("12345670"));
    b.SetHeight(50);
    b.SetLeft(20);
    b.SetTop(10);
    b.SetAngle(angle);
    QCOMPARE(b.Width(), 67);
    QImage img(120, 120, QImage::Format_RGB32);
    img.fill(kGrey);
    {
        QPainter p(&img);
        p.setPen(Qt::green);
        b.RenderTo(&p);
        QCOMPARE(p.pen().color(), QColor(Qt::green));   // the painter's state is given back
    }
    QCOMPARE(inkBox(img, kGrey), box);
    QCOMPARE(QColor(img.pixel(firstBar)), QColor(Qt::black));
}

void TestBarcode::widthWriteScalesModul()
{
    TfrBarcode b;
    b.SetTyp(bcCodeEAN13);
    b.SetText(QStringLiteral("5901234123457"));
    b.SetWidth(300);
    QCOMPARE(b.Modul(), 3);
    QCOMPARE(b.Width(), 285);
    b.SetWidth(100000);   // would need a module above 49: ignored
    QCOMPARE(b.Modul(), 3);
}

QTEST_MAIN(TestBarcode)
#include "tst_barcode.moc"
