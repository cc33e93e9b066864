// The list export: the workbook read back cell by cell, and the sequence around it.
#include "scriptedprompt.h"
#include "xlsxsheet.h"

#include "common/clock.h"
#include "goods/excelexport.h"

#include <QDir>
#include <QHash>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>


using namespace orv;
using namespace orv::test;

namespace {
ExportSheet sample()
{
    ExportSheet s;
    s.headers = QStringList{"编号", "名称", "数量", "备注"};
    s.rows = {QStringList{"0001", "螺丝", "12.5", ""}, QStringList{"HP-2", "o'k & <b>", "007", " 空格 "},
              QStringList{"合计：", "", "-3", "1234567890123456"}};
    s.textColumns = {1};
    s.widths = {{1, 25.0}, {4, 30.0}};
    s.summary = "满足条件记录的总数为：3条";
    return s;
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void workbookReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.xlsx");
        QString error;
        QVERIFY2(writeXlsx(path, sample(), &error), qPrintable(error));
        const Sheet sh(path);

        // Header row, all texts.
        for (const auto &[ref, text] : {std::pair{"A1", "编号"}, {"B1", "名称"}, {"C1", "数量"}, {"D1", "备注"}}) {
            QVERIFY2(sh.cells.value(ref).isText, ref);
            QCOMPARE(sh.cells.value(ref).value, QString(text));
        }
        // The text column keeps codes as typed, formatted "@".
        QCOMPARE(sh.cells.value("A2").value, QString("0001"));
        QVERIFY(sh.cells.value("A2").isText);
        QVERIFY(sh.textFormatted("A2"));
        QVERIFY(sh.textFormatted("A4"));
        QVERIFY(!sh.textFormatted("B2"));
        // General columns: plain numbers become numbers, everything else stays text.
        QVERIFY(!sh.cells.value("C2").isText);
        QCOMPARE(sh.cells.value("C2").value.toDouble(), 12.5);
        QVERIFY(!sh.cells.value("C4").isText);
        QCOMPARE(sh.cells.value("C4").value.toDouble(), -3.0);
        QVERIFY(sh.cells.value("C3").isText);
        QCOMPARE(sh.cells.value("C3").value, QString("007"));
        QVERIFY(sh.cells.value("D4").isText);
        QCOMPARE(sh.cells.value("D4").value, QString("1234567890123456"));
        QCOMPARE(sh.cells.value("B3").value, QString("o'k & <b>"));
        QCOMPARE(sh.cells.value("D3").value, QString(" 空格 "));
        // Empty texts leave the cell empty.
        QVERIFY(!sh.cells.contains("D2"));
        QVERIFY(!sh.cells.contains("B4"));
        // 3 data rows: the summary stands in row n + 2, column 1, and nothing else below.
        QCOMPARE(sh.cells.value("A5").value, QString("满足条件记录的总数为：3条"));
        QVERIFY(!sh.cells.contains("A6"));
        QCOMPARE(sh.cells.size(), 4 + 10 + 1);
        // Column formats and widths.
        QVERIFY(sh.widths.value(1) >= 25.0 && sh.widths.value(1) < 26.0);
        QVERIFY(sh.widths.value(4) >= 30.0 && sh.widths.value(4) < 31.0);
        QVERIFY(sh.textStyles.contains(sh.columnStyles.value(1)));
        QVERIFY(!sh.textStyles.contains(sh.columnStyles.value(4)));
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("integer") << "12" << true;
        QTest::newRow("negative decimal") << "-3.5" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("below one") << "0.25" << true;
        QTest::newRow("trailing zeros") << "4.500" << true;
        QTest::newRow("leading zeros") << "0001" << false;
        QTest::newRow("exponent") << "1e3" << false;
        QTest::newRow("blank around") << " 12" << false;
        QTest::newRow("thousands") << "1,000" << false;
        QTest::newRow("15 digits") << "123456789012345" << true;
        QTest::newRow("16 digits") << "1234567890123456" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("code") << "HP250101001" << false;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        double v = 0;
        QCOMPARE(exportAsNumber(text, &v), number);
        if (number)
            QCOMPARE(v, text.toDouble());
    }

    void fromModel()
    {
        QStandardItemModel m(2, 3);
        m.setHorizontalHeaderLabels({"流水号", "名称", "单位"});
        m.setItem(0, 0, new QStandardItem("7"));
        m.setItem(0, 1, new QStandardItem("螺丝"));
        m.setItem(0, 2, new QStandardItem("个"));
        m.setItem(1, 1, new QStandardItem("合计"));
        const ExportSheet s = exportSheetFromModel(m, {1, 2});
        QCOMPARE(s.headers, (QStringList{"名称", "单位"}));
        QCOMPARE(s.rows, (QList<QStringList>{{"螺丝", "个"}, {"合计", ""}}));
        QCOMPARE(exportSheetFromModel(m).headers.size(), 3);
    }

    void sequence()
    {
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        Clock::pin(QDateTime(QDate(2026, 3, 5), QTime(6, 7, 8), Qt::UTC));
        {
            // An empty list: no question, no file.
            ScriptedPrompt p;
            QVERIFY(ExcelExport::run(nullptr, ExportSheet{{"a"}, {}, {}, {}, {}}, "货品库存").isEmpty());
        }
        {
            // Cancel at the question: no file.
            ScriptedPrompt p;
            p.expectMessage("确认导出excel表吗？", QMessageBox::Cancel, "提示");
            QVERIFY(ExcelExport::run(nullptr, sample(), "货品库存").isEmpty());
            QVERIFY(p.verifyDone());
        }
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QString first;
        {
            ScriptedPrompt p;
            p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
            p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
            p.expectExternal();
            first = ExcelExport::run(nullptr, sample(), "货品库存");
            QVERIFY(p.verifyDone());
            QCOMPARE(p.recorded().last().text, first);
        }
        QVERIFY(first.startsWith(dir.path()));
        QVERIFY(QFileInfo::exists(first));
        QCOMPARE(Sheet(first).cells.value("B2").value, QString("螺丝"));
        {
            // A second export in the same second does not overwrite the first.
            ScriptedPrompt p;
            p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
            p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
            p.expectExternal();
            const QString second = ExcelExport::run(nullptr, sample(), "货品库存");
            QVERIFY(second != first);
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        {
            // No program on the desktop opens the workbook: the operator learns where it is.
            ScriptedPrompt p;
            p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
            p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
            p.expectExternal(false);
            const QString expected = ExcelExport::newFilePath("货品库存");
            p.expectMessage(ExcelExport::notOpenedText(expected), QMessageBox::Ok, "提示");
            const QString third = ExcelExport::run(nullptr, sample(), "货品库存");
            QCOMPARE(third, expected);
            QVERIFY(p.verifyDone());
            QVERIFY(ExcelExport::notOpenedText(third).contains(QDir::toNativeSeparators(third)));
            QVERIFY(QFileInfo::exists(third));
        }
        Clock::pin(QDateTime());
        ExcelExport::setOutputFolder(QString());
    }

    void writeFailureIsReported()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!writeXlsx(dir.filePath("no/such/folder/x.xlsx"), sample(), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
