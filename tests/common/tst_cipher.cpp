#include "common/cipher.h"
#include "common/codec.h"

#include <QtTest>

using namespace orv;

namespace {
const QByteArray kKey(kPasswordKey);

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const CipherError &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}
} // namespace

class TstCipher : public QObject
{
    Q_OBJECT
private slots:
    void desKnownAnswer_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<quint64>("plain");
        QTest::addColumn<quint64>("cipher");
        QTest::newRow("textbook") << QByteArray("133457799BBCDFF1") << 0x0123456789ABCDEFull << 0x85E813540F0AB405ull;
        // Differs from the key above only in parity bits.
        QTest::newRow("parity ignored") << QByteArray("123457799BBCDFF0") << 0x0123456789ABCDEFull << 0x85E813540F0AB405ull;
        QTest::newRow("variable plaintext") << QByteArray("0101010101010101") << 0x8000000000000000ull << 0x95F8A5E5DD31D900ull;
        QTest::newRow("zero cipher") << QByteArray("0E329232EA6D0D73") << 0x8787878787878787ull << 0x0000000000000000ull;
    }
    void desKnownAnswer()
    {
        QFETCH(QByteArray, key);
        QFETCH(quint64, plain);
        QFETCH(quint64, cipher);
        const QByteArray k = QByteArray::fromHex(key);
        QCOMPARE(detail::desBlock(plain, k, false), cipher);
        QCOMPARE(detail::desBlock(cipher, k, true), plain);
    }

    void storedPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("stored");
        QTest::newRow("digits") << "123456" << "ron0+9aBtQ8=";
        QTest::newRow("sa") << "sa" << "KUPGhnK53L0=";
        QTest::newRow("chinese, CP936 bytes") << QStringLiteral("密码") << "N8KyFMe2j80=";
        QTest::newRow("empty") << "" << "";
    }
    void storedPassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, stored);
        QCOMPARE(encipherPassword(password), stored);
        QCOMPARE(encipherPassword(password), stored); // no state between calls
        QCOMPARE(decipherPassword(stored), password);
    }

    void storedLength_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("chars");
        QTest::addColumn<QString>("ending");
        QTest::newRow("1") << 1 << 12 << "=";
        QTest::newRow("8") << 8 << 12 << "=";
        QTest::newRow("9") << 9 << 24 << "==";
        QTest::newRow("16") << 16 << 24 << "==";
        QTest::newRow("17") << 17 << 32 << "";
    }
    void storedLength()
    {
        QFETCH(int, bytes);
        QFETCH(int, chars);
        QFETCH(QString, ending);
        const QString password(bytes, u'x');
        const QString stored = encipherPassword(password);
        QCOMPARE(stored.size(), chars);
        QVERIFY(stored.endsWith(ending));
        QVERIFY(!stored.endsWith(ending + u'='));
        QCOMPARE(decipherPassword(stored), password);
    }

    void blanksAndEqualBlocks()
    {
        // Trailing blanks are part of the password; equal blocks give equal cipher blocks.
        QCOMPARE(decipherPassword(encipherPassword("pw  ")), QString("pw  "));
        const QByteArray c = EncryptString("abcdefghabcdefgh", kKey);
        QCOMPARE(c.size(), 16);
        QCOMPARE(c.left(8), c.mid(8));
    }

    void onlyFirstEightKeyBytes()
    {
        QCOMPARE(EncryptString("123456", "qorvatel"), EncryptString("123456", kKey));
        // A short key is padded with zero bytes.
        QCOMPARE(EncryptString("123456", "ab"), EncryptString("123456", QByteArray("ab\0\0\0\0\0\0", 8)));
    }

    void decodeBase64_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("12 chars with =") << "ron0+9aBtQ8=" << QByteArray::fromBase64("ron0+9aBtQ8=");
        QTest::newRow("two =") << "QQ==" << QByteArray("A");
        QTest::newRow("inner = counts as 0") << "Q=Q=" << QByteArray("@\x04", 2);
        QTest::newRow("only =") << "====" << QByteArray();
    }
    void decodeBase64()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(DecodeBase64(text), bytes);
    }
    void decodeBase64_eightBytes() { QCOMPARE(DecodeBase64("ron0+9aBtQ8=").size(), 8); }

    void invalidBase64_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("length not x4") << "ron0+9aBtQ8";
        QTest::newRow("blank") << "ron0 9aBtQ8=";
        QTest::newRow("url alphabet") << "ron0-9aBtQ8=";
        QTest::newRow("non-ascii") << QStringLiteral("ron0密aBtQ8=");
    }
    void invalidBase64()
    {
        QFETCH(QString, text);
        QCOMPARE(errorOf([&] { DecodeBase64(text); }), QString("Invalid Base64 code."));
        QCOMPARE(errorOf([&] { decipherPassword(text); }), QString("Invalid Base64 code."));
    }

    void lastCharNull()
    {
        const QString expected("Error: the last char is NULL char.");
        QCOMPARE(errorOf([] { EncryptString(QByteArray("ab\0", 3), kKey); }), expected);
        QCOMPARE(errorOf([] { EncryptString(QByteArray(1, '\0'), kKey); }), expected);
        QCOMPARE(errorOf([] { encipherPassword(QStringLiteral("ab") + QChar(0)); }), expected);
        // A byte 0 inside is kept.
        const QByteArray inner("a\0b", 3);
        QCOMPARE(DecryptString(EncryptString(inner, kKey), kKey), inner);
    }

    void decryptIgnoresPartialBlock()
    {
        const QByteArray c = EncryptString("123456", kKey);
        QCOMPARE(DecryptString(c + "\x01\x02\x03\x04", kKey), QByteArray("123456"));
        QCOMPARE(DecryptString("1234567", kKey), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TstCipher)
#include "tst_cipher.moc"
