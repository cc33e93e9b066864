// The one number and date formatter: display formats, inline bracket formats and
// the patterns the script functions reuse.
#include "report/engine/frformat.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frreport.h"

#include <QtTest>

namespace {
qint32 code(int category, int type, int decimals = 0, char sep = '.')
{
    return qint32((quint32(category) << 24) | (quint32(type) << 16) | (quint32(decimals) << 8) | quint8(sep));
}
const QDateTime kWhen(QDate(2024, 3, 5), QTime(14, 7, 9, 45));
} // namespace

class TstFormat : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { frEnsureGlobals(); }

    void numbers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two decimals") << "0.00" << 1234.5 << "1234.50";
        QTest::newRow("half up, decimal") << "0.00" << 2.675 << "2.68";
        QTest::newRow("half up negative") << "0.00" << -2.675 << "-2.68";
        QTest::newRow("grouping") << "#,##0.00" << 1234567.891 << "1,234,567.89";
        QTest::newRow("grouping small") << "#,##0.00" << 12.0 << "12.00";
        QTest::newRow("optional decimals") << "##0.##" << 3.1 << "3.1";
        QTest::newRow("no point when none left") << "##0.##" << 3.0 << "3";
        QTest::newRow("min int digits") << "000" << 7.0 << "007";
        QTest::newRow("hash only zero") << "#.##" << 0.0 << "";
        QTest::newRow("hash fraction") << "#.00" << 0.5 << ".50";
        QTest::newRow("rounds to int") << "0" << 2.5 << "3";
        QTest::newRow("literal quoted") << "'￥'#,##0.00" << 1500.0 << "￥1,500.00";
        QTest::newRow("literal dq") << "0.0\"元\"" << 3.25 << "3.3元";
        QTest::newRow("sections negative") << "0.00;(0.00)" << -5.0 << "(5.00)";
        QTest::newRow("sections zero") << "0.00;-0.00;'零'" << 0.0 << "零";
        QTest::newRow("empty negative section") << "0.0;;'-'" << -1.25 << "-1.3";
        QTest::newRow("negative to zero") << "0.0" << -0.01 << "0.0";
        QTest::newRow("exponent") << "0.00E+00" << 12345.0 << "1.23E+04";
        QTest::newRow("exponent small") << "0.0E-0" << 0.00123 << "1.2E-3";
        QTest::newRow("exponent plus hidden") << "0.0E-00" << 1230.0 << "1.2E03";
        QTest::newRow("big") << "#,##0" << 1e15 << "1,000,000,000,000,000";
        QTest::newRow("general") << "" << 0.1 << "0.1";
    }
    void numbers()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(frFormatFloat(pattern, value), expected);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("iso") << "yyyy-mm-dd" << "2024-03-05";
        QTest::newRow("short parts") << "yy/m/d" << "24-3-5";
        QTest::newRow("minutes after hour") << "yyyy-mm-dd hh:mm:ss" << "2024-03-05 14:07:09";
        QTest::newRow("nn minutes") << "h:nn" << "14:07";
        QTest::newRow("month not after hour") << "mm" << "03";
        QTest::newRow("quoted Chinese") << "yyyy'年'mm'月'dd'日'" << "2024年03月05日";
        QTest::newRow("doubled quotes") << "yyyy''年''mm''月''dd''日''" << "2024年03月05日";
        QTest::newRow("double quoted") << "m\"月\"d\"日\"" << "3月5日";
        QTest::newRow("ampm") << "h:nn ampm" << "2:07 下午";
        QTest::newRow("am/pm") << "hh AM/PM" << "02 PM";
        QTest::newRow("milliseconds") << "ss.zzz" << "09.045";
        QTest::newRow("weekday") << "dddd" << "星期二";
        QTest::newRow("month name") << "mmmm" << "三月";
        QTest::newRow("case") << "YYYY-MM-DD HH:NN" << "2024-03-05 14:07";
    }
    void dates()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(frFormatDateTime(pattern, kWhen), expected);
    }

    void displayFormats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text as is") << QVariant(12.5) << code(0, 0) << "" << "12.5";
        QTest::newRow("null") << QVariant() << code(1, 1, 2) << "" << "";
        QTest::newRow("blank text") << QVariant("  ") << code(1, 1, 2) << "" << "";
        QTest::newRow("float ##0.##") << QVariant(3.14159) << code(1, 0, 2) << "" << "3.14";
        QTest::newRow("fixed comma") << QVariant(1234.5) << code(1, 1, 2, ',') << "" << "1234,50";
        QTest::newRow("grouped float") << QVariant(1234.5) << code(1, 2, 1) << "" << "1,234.5";
        QTest::newRow("number notation") << QVariant(1234567.0) << code(1, 3, 2) << "" << "1,234,567.00";
        QTest::newRow("custom") << QVariant(0.5) << code(1, 4) << "0.0%" << "0.5%";
        QTest::newRow("numeric text") << QVariant("7") << code(1, 1, 1) << "" << "7.0";
        QTest::newRow("not a number") << QVariant("abc") << code(1, 1, 1) << "" << "abc";
        QTest::newRow("date type 1") << QVariant(kWhen) << code(2, 1) << "" << "2024.03.05";
        QTest::newRow("date long") << QVariant(kWhen) << code(2, 3) << "" << "2024年3月5日";
        QTest::newRow("date custom") << QVariant(kWhen) << code(2, 4) << "dd.mm.yy" << "05.03.24";
        QTest::newRow("time type 0") << QVariant(kWhen) << code(3, 0) << "" << "14:07:09";
        QTest::newRow("time type 3") << QVariant(kWhen) << code(3, 3) << "" << "14:07";
        QTest::newRow("bool 否;是 true") << QVariant(true) << code(4, 1) << "" << "是";
        QTest::newRow("bool 否;是 zero") << QVariant(0) << code(4, 1) << "" << "否";
        QTest::newRow("bool custom") << QVariant(1) << code(4, 4) << "No;Yes" << "Yes";
    }
    void displayFormats()
    {
        QFETCH(QVariant, value);
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(FormatValue(value, code, text), expected);
    }

    // Brackets with an inline format, and HideZeros, as a text object prints them.
    void inlineFormats_data()
    {
        QTest::addColumn<QString>("bracket");
        QTest::addColumn<bool>("hideZeros");
        QTest::addColumn<QString>("expected");
        QTest::newRow("N0.00") << "Price #N0.00" << false << "1234.50";
        QTest::newRow("digit first") << "Price #0.0" << false << "1234.5";
        QTest::newRow("N0,00") << "Price #N0,00" << false << "1234,50";
        QTest::newRow("custom #,##0.00") << "Price #N#,##0.00" << false << "1,234.50";
        QTest::newRow("boolean yes") << "Done #BNo;Yes" << false << "Yes";
        QTest::newRow("boolean no") << "Zero #BNo;Yes" << false << "No";
        QTest::newRow("date") << "When #Dyyyy-mm-dd" << false << "2024-03-05";
        QTest::newRow("time") << "When #Thh:nn" << false << "14:07";
        QTest::newRow("hide zero number") << "Zero" << true << "";
        QTest::newRow("hide zero keeps text 0") << "ZeroText" << true << "0";
        QTest::newRow("hide zero keeps others") << "Price" << true << "1234.5";
    }
    void inlineFormats()
    {
        QFETCH(QString, bracket);
        QFETCH(bool, hideZeros);
        QFETCH(QString, expected);
        TfrReport r;
        r.OnGetValue = [](const QString &name, QVariant &v) {
            if (name == "Price")
                v = 1234.5;
            else if (name == "Done")
                v = true;
            else if (name == "Zero")
                v = 0;
            else if (name == "ZeroText")
                v = QString("0");
            else if (name == "When")
                v = kWhen;
        };
        TfrMemoView memo;
        if (hideZeros)
            memo.Flags |= flHideZeros;
        CurrentView = &memo;
        QString out;
        r.ExpandBracket(bracket, out);
        CurrentView = nullptr;
        QCOMPARE(out, expected);
    }
};

QTEST_MAIN(TstFormat)
#include "tst_format.moc"
