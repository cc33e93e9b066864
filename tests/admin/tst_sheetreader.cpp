// Reading workbooks without a spreadsheet program: .xlsx and .xls, cells as a spreadsheet shows them;
// hostile workbooks (parts that unpack to hundreds of MB, positions past a sheet's bounds, texts
// that are not there, damaged legacy files) end in a message, within a fixed memory.
#include "workbooks.h"

#include "admin/sheetreader.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using namespace orv;
using namespace orv::test;

namespace {
const QString kTooLarge = "所选的Excel文件中的数据超出了导入所能读取的范围，请把数据分到几个较小的工作簿中再导入";
const QString kCrashed = "所选的Excel文件已损坏，无法读取";
constexpr qint64 kMB = 1024 * 1024;

// A body of about 1 MB made of `piece` over and over.
QByteArray megabyteOf(const QByteArray &piece) { return piece.repeated(qMax<qsizetype>(1, kMB / piece.size())); }

QString writeBook(const QTemporaryDir &dir, const QList<ZipPart> &parts)
{
    static int n = 0;
    const QString path = dir.filePath(QString("book%1.xlsx").arg(++n));
    return writeZip(path, parts) ? path : QString();
}

// Reads every row of the first sheet; the message that stopped it, or "" when none did.
QString readThrough(const QString &path, QList<QStringList> *rows = nullptr)
{
    try {
        const auto r = SheetReader::open(path);
        r->selectSheet(0);
        for (int n = 1; n <= SheetReader::kMaxRows + 1; ++n)
            if (const QStringList row = r->row(n); rows && !row.isEmpty())
                *rows << row;
        return QString();
    } catch (const WorkbookError &e) {
        return QString::fromUtf8(e.what());
    }
}

// What the damaged legacy workbooks are made from (one of its damages brings the library down).
const Sheets kDamageBase = {{"货品", {{QString("编号"), QString("名称"), QString("数量"), QString("日期")},
                                      {QString("HP01"), QString("钢管"), 12.5, QDate(2024, 3, 5)},
                                      {QString("HP02"), QString("螺丝"), 100.0},
                                      {QString("HP03"), QString("电话"), 13800138000.0}}}};

const Sheets kBook = {
    {"货品", {{QString("编号"), QString("名称"), QString("数量"), QString("日期"), QString("是否")},
              {QString(" HP01 "), QString("钢管《大》"), 12.5, QDate(2024, 3, 5), true},
              {QString("HP02"), QVariant(), 100.0, QVariant(), false},
              {QString("HP03"), QString("电话"), 13800138000.0, QVariant(), QVariant()},
              {QVariant(), QString("空了第一格"), 0.30000000000000004}}},
    {"第二页", {{QString("A")}}}};
} // namespace

class TestSheetReader : public QObject {
    Q_OBJECT
private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("xls") << "xls";
    }

    void formats()
    {
        QFETCH(QString, suffix);
        QTemporaryDir dir;
        // The name says nothing: the content decides.
        const QString path = dir.filePath("book.dat");
        if (suffix == "xlsx") {
            QVERIFY(writeXlsxBook(path, kBook));
        } else {
            const QString why = writeXlsBook(path, kBook);
            QVERIFY2(why.isEmpty(), qPrintable(why));
        }
        const auto r = SheetReader::open(path);
        QCOMPARE(r->sheetNames(), (QStringList{"货品", "第二页"}));
        QCOMPARE(r->cell(1, 1), QString()); // nothing selected yet
        r->selectSheet(0);
        QCOMPARE(r->cell(0, 1), QString());
        QCOMPARE(r->row(1), (QStringList{"编号", "名称", "数量", "日期", "是否"}));
        QCOMPARE(r->cell(1, 6), QString());
        QCOMPARE(r->cell(2, 1), QString(" HP01 "));
        QCOMPARE(r->cell(2, 2), QString("钢管《大》"));
        QCOMPARE(r->cell(2, 3), QString("12.5"));
        QCOMPARE(r->cell(2, 4), QString("2024-03-05"));
        QCOMPARE(r->cell(3, 2), QString());
        QCOMPARE(r->cell(3, 3), QString("100"));
        QCOMPARE(r->cell(4, 3), QString("13800138000"));
        // The last row and column are read; beyond them nothing.
        QCOMPARE(r->row(5), (QStringList{QString(), "空了第一格", "0.3"}));
        QCOMPARE(r->row(6), QStringList());
        QCOMPARE(r->progress(), 1.0);
        // Rows are read forwards only.
        QVERIFY_THROWS_EXCEPTION(std::logic_error, r->row(2));
        r->selectSheet(1);
        QCOMPARE(r->cell(1, 1), QString("A"));
        QCOMPARE(r->cell(2, 1), QString());
        // Selecting again reads from the top.
        r->selectSheet(0);
        QCOMPARE(r->cell(2, 1), QString(" HP01 "));
        QVERIFY_THROWS_EXCEPTION(WorkbookError, r->selectSheet(2));
    }

    void notWorkbooks()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath("a.xls");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("编号,名称\n1,2\n");
        f.close();
        // A zip that holds no workbook.
        const QString zip = dir.filePath("b.xlsx");
        int err = 0;
        zip_t *z = zip_open(QFile::encodeName(zip).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        QVERIFY(z);
        static const char hello[] = "hello";
        zip_source_t *src = zip_source_buffer(z, hello, sizeof hello - 1, 0);
        QVERIFY(zip_file_add(z, "hello.txt", src, ZIP_FL_OVERWRITE) >= 0);
        QCOMPARE(zip_close(z), 0);
        for (const QString &path : {text, zip, dir.filePath("missing.xlsx")}) {
            try {
                SheetReader::open(path);
                QFAIL(qPrintable("opened " + path));
            } catch (const WorkbookError &e) {
                QVERIFY(!QString::fromUtf8(e.what()).isEmpty());
            }
        }
    }

    // Parts that unpack to hundreds of MB. What is kept whole is refused before it is unpacked;
    // a sheet is read as a stream, so its first row comes at once whatever follows it, and a
    // piece of it that would pass the budget is refused when it is reached.
    void hostileParts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("rowsRead");  // rows read (and found) before the message
        QTest::addColumn<QString>("message");
        QTest::newRow("500 MB of shared texts") << "strings" << 0 << kTooLarge;
        QTest::newRow("shared texts larger than stated") << "strings lie" << 0 << QString("所选的Excel文件已损坏");
        QTest::newRow("a cell of 500 MB") << "cell" << 1 << kTooLarge;
        QTest::newRow("500 MB of blanks") << "blanks" << 1 << kTooLarge;
        QTest::newRow("a row past the last column") << "columns" << 1 << QString("所选的数据表已损坏：第2行的单元格位置不正确");
        QTest::newRow("entities of its own") << "entities" << 0 << QString("所选的数据表已损坏");
        QTest::newRow("a row past the budget") << "wide row" << 1 << QString("所选的数据表第2行的数据过多，超出了导入所能读取的范围");
    }

    void hostileParts()
    {
        QFETCH(QString, kind);
        QFETCH(int, rowsRead);
        QFETCH(QString, message);
        const QByteArray titles = "<row r=\"1\">" + inlineCell("编号") + inlineCell("名称") + "</row>";
        const QByteArray strings = megabyteOf("<si><t>" + QByteArray(200, 'S') + "</t></si>");
        QList<ZipPart> parts;
        const ZipPart sst{"xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst>", strings, 500, "</sst>"};
        if (kind == "strings")
            parts = sheetParts({{}, titles}) << sst;
        else if (kind == "strings lie")
            parts = sheetParts({{}, titles}) << ZipPart{sst.name, sst.head, strings, 8, sst.tail, 100000};
        else if (kind == "cell")
            parts = sheetParts({{}, titles + "<row r=\"2\"><c t=\"inlineStr\"><is><t>", megabyteOf("A"), 500, "</t></is></c></row>"});
        else if (kind == "blanks")
            parts = sheetParts({{}, titles, megabyteOf(" "), 500, "<row r=\"2\">" + inlineCell("X") + "</row>"});
        else if (kind == "entities")
            parts = sheetParts({{}, "<row r=\"1\">" + QByteArray("<c t=\"inlineStr\"><is><t>") + QByteArray("&a;").repeated(100000) + "</t></is></c></row>"}),
            parts[2].head.replace("<worksheet", "<!DOCTYPE worksheet [<!ENTITY a \"" + QByteArray(4000, 'E') + "\">]><worksheet");
        else if (kind == "columns")
            parts = sheetParts({{}, titles + "<row r=\"2\">", megabyteOf("<c><v>1</v></c>"), 500, "</row>"});
        else if (kind == "wide row")
            parts = sheetParts({{}, titles + "<row r=\"2\">" + inlineCell(QByteArray(3 * kMB / 2, 'W')).repeated(3) + "</row>"});
        QTemporaryDir dir;
        const QString path = writeBook(dir, parts);
        QVERIFY(!path.isEmpty());
        QVERIFY(QFileInfo(path).size() < 4 * kMB);
        // Listing the sheets reads neither the sheet nor the shared texts.
        QCOMPARE(SheetReader::open(path)->sheetNames(), QStringList{"数据"});
        QList<QStringList> rows;
        QCOMPARE(readThrough(path, &rows), message);
        QCOMPARE(rows.size(), rowsRead);
    }

    // A sheet of 500 MB of rows: the titles come at once and the rest is not read for them (it is
    // read as a stream when its rows are asked for).
    void titlesOfAHugeSheet()
    {
        QTemporaryDir dir;
        const QByteArray titles = "<row r=\"1\">" + inlineCell("编号") + "</row>";
        const QString path = writeBook(dir, sheetParts({{}, titles, megabyteOf("<row>" + inlineCell("HP") + "</row>"), 500, {}}));
        const auto r = SheetReader::open(path);
        r->selectSheet(0);
        QCOMPARE(r->row(1), QStringList{"编号"});
        QVERIFY2(r->progress() < 0.001, qPrintable(QString::number(r->progress())));
        QCOMPARE(r->row(2), QStringList{"HP"});
    }

    // Positions past a sheet's bounds or out of order: the sheet is named damaged, with the row.
    void positions_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("message");
        const QByteArray x = inlineCell("x");
        QTest::newRow("column of many letters") << "<row r=\"1\">" + inlineCell("x", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA1") + "</row>"
                                                << QString("所选的数据表已损坏：第1行的单元格位置不正确");
        QTest::newRow("column at the int limit") << "<row r=\"1\">" + inlineCell("x", "FXSHRXW1") + x + "</row>"
                                                 << QString("所选的数据表已损坏：第1行的单元格位置不正确");
        QTest::newRow("last column, then one more") << "<row r=\"1\">" + inlineCell("x", "XFD1") + x + "</row>"
                                                    << QString("所选的数据表已损坏：第1行的单元格位置不正确");
        QTest::newRow("cell of another row") << "<row r=\"1\">" + inlineCell("x", "A2") + "</row>"
                                             << QString("所选的数据表已损坏：第1行的单元格位置不正确");
        QTest::newRow("row 0 in a cell") << "<row r=\"1\">" + inlineCell("x", "A0") + "</row>"
                                         << QString("所选的数据表已损坏：第1行的单元格位置不正确");
        QTest::newRow("row at the int limit, then one more") << "<row r=\"2147483647\">" + x + "</row><row>" + x + "</row>"
                                                             << QString("所选的数据表已损坏：第一行的行号不正确");
        QTest::newRow("last row, then one more") << "<row r=\"1048576\">" + x + "</row><row>" + x + "</row>"
                                                 << QString("所选的数据表已损坏：第1048576行之后的行号不正确");
        QTest::newRow("row number too long") << "<row r=\"99999999999999999999\">" + x + "</row>"
                                             << QString("所选的数据表已损坏：第一行的行号不正确");
        QTest::newRow("rows out of order") << "<row r=\"3\">" + x + "</row><row r=\"2\">" + x + "</row>"
                                           << QString("所选的数据表已损坏：第3行之后的行号不正确");
        QTest::newRow("sound") << "<row>" + x + "</row><row r=\"3\"><c r=\"C3\"><v>1</v></c>" + x + "</row>" << QString();
    }

    void positions()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QList<QStringList> read;
        QCOMPARE(readThrough(writeBook(dir, sheetParts({{}, rows})), &read), message);
        if (message.isEmpty())
            QCOMPARE(read, (QList<QStringList>{{"x"}, {QString(), QString(), "1", "x"}}));
    }

    // A cell that points at a shared text that is not there names its row and column.
    void sharedTextReferences_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QString>("message");
        const QString missing = "所选的数据表已损坏：第2行第3列引用的文本不存在";
        QTest::newRow("past the end") << QByteArray("2") << missing;
        QTest::newRow("negative") << QByteArray("-1") << missing;
        QTest::newRow("not a number") << QByteArray("x") << missing;
        QTest::newRow("too long") << QByteArray("99999999999999999999") << missing;
        QTest::newRow("there") << QByteArray("1") << QString();
    }

    void sharedTextReferences()
    {
        QFETCH(QByteArray, index);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QByteArray rows = "<row r=\"1\"><c t=\"s\"><v>0</v></c></row><row r=\"2\"><c t=\"s\"><v>1</v></c><c/><c t=\"s\"><v>"
                                + index + "</v></c></row>";
        QList<QStringList> read;
        QCOMPARE(readThrough(writeBook(dir, sheetParts({{}, rows}, "<si><t>编号</t></si><si><r><t>钢</t></r><r><t>管</t></r></si>")), &read),
                 message);
        QCOMPARE(read.value(0), QStringList{"编号"});
        if (message.isEmpty())
            QCOMPARE(read.value(1), (QStringList{"钢管", QString(), "钢管"}));
    }

    // A value that is no day, in a cell formatted as a date, reads as written (the import's number
    // test then names it); a day reads as a date.
    void valuesThatAreNoDay_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("asDate");
        QTest::addColumn<QString>("asNumber");
        QTest::newRow("nan") << QByteArray("nan") << "nan" << "nan";
        QTest::newRow("inf") << QByteArray("inf") << "inf" << "inf";
        QTest::newRow("-inf") << QByteArray("-inf") << "-inf" << "-inf";
        QTest::newRow("before day 0") << QByteArray("-1") << "-1" << "-1";
        QTest::newRow("past 9999") << QByteArray("1e300") << "1e300" << "1e+300";
        QTest::newRow("a day") << QByteArray("45356.5") << "2024-03-05" << "45356.5";
        QTest::newRow("not a number") << QByteArray("abc") << "abc" << "abc";
    }

    void valuesThatAreNoDay()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, asDate);
        QFETCH(QString, asNumber);
        QTemporaryDir dir;
        const QByteArray rows = "<row><c s=\"1\"><v>" + value + "</v></c><c><v>" + value + "</v></c></row>";
        QList<QStringList> read;
        QCOMPARE(readThrough(writeBook(dir, sheetParts({{}, rows}, {}, true)), &read), QString());
        QCOMPARE(read, (QList<QStringList>{{asDate, asNumber}}));
    }

    // Legacy workbooks our own writer made, then damaged record by record: the library that reads
    // them may crash or leak, in a process of its own; here each one ends in a message or is read.
    void damagedLegacyWorkbooks_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("record length 1") << 1;
        QTest::newRow("record length 65535") << 0xffff;
        QTest::newRow("cut short") << -1;
    }

    void damagedLegacyWorkbooks()
    {
        QFETCH(int, damage);
        QTemporaryDir dir;
        const QString sound = dir.filePath("sound.xls");
        const QString why = writeXlsBook(sound, kDamageBase);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QFile f(sound);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray book = f.readAll();
        QList<QByteArray> corpus;
        if (damage < 0) {
            for (int k = 1; k < 16; ++k)
                corpus << book.left(book.size() * k / 16);
        } else {
            // The records of the workbook stream, which our writer puts right after the file's
            // header: those of the sheet, and those of the workbook that lead to it (beginnings,
            // ends, the sheet list, the shared texts); fonts and formats are left whole.
            auto u16 = [&book](qsizetype at) { return quint16(uchar(book[at]) | uchar(book[at + 1]) << 8); };
            int begun = 0;
            for (qsizetype at = 512; at + 4 <= book.size();) {
                const quint16 id = u16(at), length = u16(at + 2);
                if (id == 0 && length == 0)
                    break;
                begun += id == 0x0809;
                const bool leading = id == 0x0809 || id == 0x000a || id == 0x0085 || id == 0x00fc;
                if (length != damage && (begun > 1 || leading)) {
                    QByteArray bad = book;
                    bad[at + 2] = char(damage & 0xff);
                    bad[at + 3] = char(damage >> 8);
                    corpus << bad;
                }
                at += 4 + length;
            }
        }
        QVERIFY(corpus.size() > 10);
        int crashed = 0;
        const QString path = dir.filePath("damaged.xls");
        for (const QByteArray &bad : std::as_const(corpus)) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bad);
            out.close();
            const QString message = readThrough(path);
            crashed += message == kCrashed;
        }
        // The one damage known to bring the library down is in the corpus.
        if (damage == 1)
            QVERIFY(crashed > 0);
        // The sound workbook is still read as it should be.
        QList<QStringList> rows;
        QCOMPARE(readThrough(sound, &rows), QString());
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[3], (QStringList{"HP03", "电话", "13800138000"}));
    }
};

QTEST_MAIN(TestSheetReader)
#include "tst_sheetreader.moc"
