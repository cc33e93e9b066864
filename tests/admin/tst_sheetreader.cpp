// Reading workbooks without a spreadsheet program: .xlsx and .xls, cells as a spreadsheet shows them.
#include "workbooks.h"

#include "admin/sheetreader.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using namespace orv;
using namespace orv::test;

namespace {
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
        QCOMPARE(r->cell(1, 2), QString("名称"));
        QCOMPARE(r->cell(2, 1), QString(" HP01 "));
        QCOMPARE(r->cell(2, 2), QString("钢管《大》"));
        QCOMPARE(r->cell(2, 3), QString("12.5"));
        QCOMPARE(r->cell(2, 4), QString("2024-03-05"));
        QCOMPARE(r->cell(3, 2), QString());
        QCOMPARE(r->cell(3, 3), QString("100"));
        QCOMPARE(r->cell(4, 3), QString("13800138000"));
        QCOMPARE(r->cell(5, 1), QString());
        QCOMPARE(r->cell(5, 3), QString("0.3"));
        // The last row and column are read; beyond them and before them nothing.
        QCOMPARE(r->cell(5, 2), QString("空了第一格"));
        QCOMPARE(r->cell(6, 1), QString());
        QCOMPARE(r->cell(1, 6), QString());
        QCOMPARE(r->cell(0, 1), QString());
        r->selectSheet(1);
        QCOMPARE(r->cell(1, 1), QString("A"));
        QCOMPARE(r->cell(2, 1), QString());
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
};

QTEST_MAIN(TestSheetReader)
#include "tst_sheetreader.moc"
