#include "common/codec.h"
#include "common/pinyin.h"

#include <QtTest>

using namespace orv;

class TstPinyin : public QObject
{
    Q_OBJECT
private slots:
    void chnToPY_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::newRow("level 1") << QStringLiteral("钢管") << "GG";
        QTest::newRow("参 read as S") << QStringLiteral("参数") << "SS";
        QTest::newRow("latin kept") << QStringLiteral("ABC钢管") << "ABCGG";
        QTest::newRow("digits kept") << QStringLiteral("12号钢管") << "12HGG";
        QTest::newRow("case and blanks kept") << QStringLiteral("aB 钢-管.") << "aB G-G.";
        QTest::newRow("punctuation dropped") << QStringLiteral("《钢管》") << "GG";
        QTest::newRow("level 2") << QStringLiteral("锂羟") << "LQ";
        QTest::newRow("radical without reading") << QStringLiteral("饣") << " ";
        QTest::newRow("empty") << "" << "";
        // An extension-area character stays whole instead of eating the next one.
        QTest::newRow("extension kept") << QStringLiteral("彙钢丂") << QStringLiteral("彙G丂");
    }
    void chnToPY()
    {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QCOMPARE(ChnToPY(text), code);
    }

    void byteRule_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("lone lead byte at the end") << (toGbk(QStringLiteral("钢")) + "\xB8") << QByteArray("G\xB8");
        QTest::newRow("single byte") << QByteArray("\xB8") << QByteArray("\xB8");
        // 81..9F is copied alone and the byte after it looked at on its own.
        QTest::newRow("extension lead alone") << QByteArray("\x81\x40" "a") << QByteArray("\x81\x40" "a");
        QTest::newRow("extension split") << toGbk(QStringLiteral("彙钢")) << QByteArray("\x8F\xD6");
        QTest::newRow("A0 takes a pair") << QByteArray("\xA0" "ab") << QByteArray("b");
    }
    void byteRule()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, code);
        QCOMPARE(ChnToPY(bytes), code);
    }

    void initial_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("letter");
        QTest::newRow("first A") << 0xB0A1 << int('A');
        QTest::newRow("last A") << 0xB0C4 << int('A');
        QTest::newRow("first B") << 0xB0C5 << int('B');
        QTest::newRow("before 参") << 0xB2CD << int('C');
        QTest::newRow("参") << 0xB2CE << int('S');
        QTest::newRow("after 参") << 0xB2CF << int('C');
        QTest::newRow("last O") << 0xC5BD << int('O');
        QTest::newRow("last Z") << 0xD7FE << int('Z');
        QTest::newRow("symbol row") << 0xA1B6 << 0;
        QTest::newRow("beyond F7") << 0xF8A1 << 0;
        // Outside A1..FE a level-1 row gives a letter only when it is one letter throughout.
        QTest::newRow("B1 row, one letter") << 0xB140 << int('B');
        QTest::newRow("D7 row, one letter") << 0xD780 << int('Z');
        QTest::newRow("B0 row, two letters") << 0xB040 << 0;
        QTest::newRow("B2 row with 参") << 0xB280 << 0;
        QTest::newRow("level 2 outside") << 0xD840 << 0;
        QTest::newRow("blank E2BB") << 0xE2BB << int(' ');
        QTest::newRow("blank ECEA") << 0xECEA << int(' ');
        QTest::newRow("blank F2AE") << 0xF2AE << int(' ');
        QTest::newRow("last cell") << 0xF7FE << int('Z'); // 齄 zha
    }
    void initial()
    {
        QFETCH(int, code);
        QFETCH(int, letter);
        QCOMPARE(int(PinyinInitial(code >> 8, code & 0xFF)), letter);
    }

    void rowD8()
    {
        const QByteArray expected =
            "CJWGNSPGCGNESYPBTYYZDXYKYGTDJNMJQMBSGZSCYJSYYZPGKBZGYCYWYKGKLJSWKPJQHYZWDDZLSGMRYPYWWCCKZNKYDG";
        QByteArray row;
        for (int t = 0xA1; t <= 0xFE; ++t)
            row.append(PinyinInitial(0xD8, t));
        QCOMPARE(row, expected);
    }

    void level2Filled()
    {
        // Every level-2 cell holds a capital, except the three radicals.
        int blanks = 0;
        for (int lead = 0xD8; lead <= 0xF7; ++lead) {
            for (int t = 0xA1; t <= 0xFE; ++t) {
                const char c = PinyinInitial(lead, t);
                if (c == ' ')
                    ++blanks;
                else
                    QVERIFY2(c >= 'A' && c <= 'Z', qPrintable(QString::number(lead * 256 + t, 16)));
            }
        }
        QCOMPARE(blanks, 3);
    }

    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("blanks around") << " 12.5 " << true;
        QTest::newRow("control chars around") << "\t12\r\n" << true;
        QTest::newRow("several points") << "1.2.3" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("only blanks") << "   " << true;
        QTest::newRow("point only") << "." << true;
        QTest::newRow("minus") << "-1" << false;
        QTest::newRow("plus") << "+1" << false;
        QTest::newRow("exponent") << "1e3" << false;
        QTest::newRow("blank inside") << "1 2" << false;
        QTest::newRow("comma") << "1,5" << false;
        QTest::newRow("full-width digits") << QStringLiteral("１２") << false;
        QTest::newRow("ideographic blank") << QStringLiteral("\u300012") << false;
    }
    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(Is_Numeric(text), numeric);
    }
};

QTEST_GUILESS_MAIN(TstPinyin)
#include "tst_pinyin.moc"
