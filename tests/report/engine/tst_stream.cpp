// Stream encodings of texts and text lists shared by the report file formats.
#include "report/engine/frstream.h"

#include <QBuffer>
#include <QtTest>

namespace {
template <typename F> QByteArray written(F f)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    f(b);
    return b.data();
}

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray out;
    for (int c : v)
        out.append(char(c));
    return out;
}
} // namespace

class TestStream : public QObject {
    Q_OBJECT
private slots:
    void textLists_data();
    void textLists();
    void texts();
    void oldTexts_data();
    void oldTexts();
    void truncated_data();
    void truncated();
    void numbersAndStyles();
    void overlongTextsAreRefused();
    void memoryTakesLongTexts();
    void listsReadBySeparators_data();
    void listsReadBySeparators();
};

void TestStream::textLists_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("empty") << QStringList{} << bytes({0, 0, 0});
    QTest::newRow("ab and empty") << QStringList{"ab", ""} << bytes({2, 0, 2, 0, 'a', 'b', 13, 0, 0, 0});
    QTest::newRow("chinese counts bytes") << QStringList{"货品"} << bytes({1, 0, 4, 0, 0xbb, 0xf5, 0xc6, 0xb7, 0});
}

void TestStream::textLists()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, encoded);
    QCOMPARE(written([&](QIODevice &s) { WriteStreamStrings(s, lines); }), encoded);
    QBuffer b(&encoded);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadStreamStrings(b), lines);
    QCOMPARE(b.pos(), qint64(encoded.size()));
}

void TestStream::texts()
{
    QCOMPARE(written([](QIODevice &s) { WriteStreamString(s, QString()); }), bytes({0, 0, 0}));
    QByteArray enc = written([](QIODevice &s) { WriteStreamString(s, QStringLiteral("盘点")); });
    QCOMPARE(enc, bytes({4, 0, 0xc5, 0xcc, 0xb5, 0xe3, 0}));
    // The terminator byte is skipped whatever it holds.
    enc[enc.size() - 1] = 'x';
    QBuffer b(&enc);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadStreamString(b), QStringLiteral("盘点"));
}

void TestStream::oldTexts_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("x, empty line") << bytes({'x', 13, 13, 0}) << QStringList{"x", ""};
    QTest::newRow("x") << bytes({'x', 0}) << QStringList{"x"};
    QTest::newRow("empty") << bytes({0}) << QStringList{};
}

void TestStream::oldTexts()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QStringList, lines);
    QBuffer b(&encoded);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadOldStreamStrings(b), lines);
    QByteArray t = bytes({'a', 'b', 0, 'z'});
    QBuffer c(&t);
    c.open(QIODevice::ReadOnly);
    QCOMPARE(ReadOldStreamString(c), QStringLiteral("ab"));
    QCOMPARE(c.pos(), qint64(3));
}

void TestStream::truncated_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<int>("kind");   // 0 text, 1 text list, 2 old text, 3 old list, 4 int
    QTest::newRow("text cut in length") << bytes({5}) << 0;
    QTest::newRow("text cut in body") << bytes({5, 0, 'a', 'b'}) << 0;
    QTest::newRow("text without terminator") << bytes({2, 0, 'a', 'b'}) << 0;
    QTest::newRow("list cut") << bytes({2, 0, 1, 0, 'a', 13}) << 1;
    QTest::newRow("empty list without byte") << bytes({0, 0}) << 1;
    QTest::newRow("old text without end") << bytes({'a', 'b'}) << 2;
    QTest::newRow("old list without end") << bytes({'a', 13, 'b'}) << 3;
    QTest::newRow("int") << bytes({1, 2, 3}) << 4;
}

void TestStream::truncated()
{
    QFETCH(QByteArray, encoded);
    QFETCH(int, kind);
    QBuffer b(&encoded);
    b.open(QIODevice::ReadOnly);
    switch (kind) {
    case 0: QVERIFY_THROWS_EXCEPTION(EfrStreamError, ReadStreamString(b)); break;
    case 1: QVERIFY_THROWS_EXCEPTION(EfrStreamError, ReadStreamStrings(b)); break;
    case 2: QVERIFY_THROWS_EXCEPTION(EfrStreamError, ReadOldStreamString(b)); break;
    case 3: QVERIFY_THROWS_EXCEPTION(EfrStreamError, ReadOldStreamStrings(b)); break;
    default: QVERIFY_THROWS_EXCEPTION(EfrStreamError, ReadStreamInt(b)); break;
    }
    QVERIFY(b.pos() <= encoded.size());
}

void TestStream::numbersAndStyles()
{
    const QByteArray enc = written([](QIODevice &s) {
        WriteStreamWord(s, -2);
        WriteStreamInt(s, 0x01020304);
        WriteStreamDouble(s, 1.5);
        WriteStreamBool(s, true);
    });
    QCOMPARE(enc.left(6), bytes({0xfe, 0xff, 4, 3, 2, 1}));
    QByteArray copy = enc;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadStreamWord(b), qint16(-2));
    QCOMPARE(ReadStreamInt(b), 0x01020304);
    QCOMPARE(ReadStreamDouble(b), 1.5);
    QVERIFY(ReadStreamBool(b));
    QCOMPARE(FontStylesToInt(IntToFontStyles(2 | 8)), 10);
    QVERIFY(IntToFontStyles(1).italic && !IntToFontStyles(1).bold);
}

void TestStream::overlongTextsAreRefused()
{
    // 65535 bytes hold 32767 two-byte characters and one more byte, not one more character.
    const QString fits = QStringLiteral("a") + QString(32767, QChar(0x8d27));   // 货
    QByteArray enc = written([&](QIODevice &s) { WriteStreamString(s, fits); });
    QCOMPARE(enc.size(), 2 + 65535 + 1);
    QBuffer b(&enc);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadStreamString(b), fits);

    // One character more is refused whole, with a text for the operator; nothing is written.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    try {
        WriteStreamString(out, fits + QChar(0x8d27));
        QFAIL("an overlong text was written");
    } catch (const EfrNotStorable &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("文本长度为 65537 字节，超过了报表文件所能保存的 65535 字节"));
    }
    QCOMPARE(out.data().size(), 0);
    QVERIFY_THROWS_EXCEPTION(EfrNotStorable, WriteStreamStrings(out, {QStringLiteral("x"), fits + QStringLiteral("yy")}));
    QVERIFY_THROWS_EXCEPTION(EfrNotStorable, WriteStreamStrings(out, QStringList(65536, QStringLiteral("x"))));
}

// A stream kept in memory takes texts and lists of any length: 0xFFFF announces a 32-bit
// length there, for 65535 bytes already. Other devices keep the 16-bit form.
void TestStream::memoryTakesLongTexts()
{
    const QString exact = QString(65535, QLatin1Char('x'));
    const QString remark = QString(35000, QChar(0x5907));   // 70,000 bytes
    const QStringList many(70000, QStringLiteral("行"));
    QBuffer b;
    b.open(QIODevice::ReadWrite);
    {
        const TfrLongTexts memory(b);
        QVERIFY(StreamTakesLongTexts(b));
        WriteStreamString(b, exact);
        WriteStreamString(b, QStringLiteral("短"));
        WriteStreamStrings(b, {QStringLiteral("a"), remark});
        WriteStreamStrings(b, many);
        QCOMPARE(memory.Written(), 3);
        QCOMPARE(b.data().mid(0, 6), bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
        b.seek(0);
        QCOMPARE(ReadStreamString(b), exact);
        QCOMPARE(ReadStreamString(b), QStringLiteral("短"));
        QCOMPARE(ReadStreamStrings(b), (QStringList{QStringLiteral("a"), remark}));
        QCOMPARE(ReadStreamStrings(b), many);
        QVERIFY(b.atEnd());
    }
    // Once the stream leaves memory the 16-bit form holds again: 0xFFFF is a length.
    QVERIFY(!StreamTakesLongTexts(b));
    b.seek(0);
    QVERIFY(ReadStreamString(b) != exact);
    QVERIFY_THROWS_EXCEPTION(EfrNotStorable, WriteStreamString(b, remark));
}

// The count of a text list only tells an empty list; the separators decide how many lines follow.
void TestStream::listsReadBySeparators_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("count one, three lines") << bytes({1, 0, 1, 0, 'a', 13, 1, 0, 'b', 13, 0, 0, 0})
                                            << QStringList{"a", "b", ""};
    QTest::newRow("count five, one line") << bytes({5, 0, 1, 0, 'a', 0}) << QStringList{"a"};
    QTest::newRow("any non-zero separator") << bytes({2, 0, 1, 0, 'a', 7, 1, 0, 'b', 0})
                                            << QStringList{"a", "b"};
}
void TestStream::listsReadBySeparators()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QStringList, lines);
    QBuffer b(&encoded);
    b.open(QIODevice::ReadOnly);
    QCOMPARE(ReadStreamStrings(b), lines);
    QVERIFY(b.atEnd());
}

QTEST_GUILESS_MAIN(TestStream)
#include "tst_stream.moc"
