// The shared print routine of the document windows with the program's own templates:
// a document of 60 lines through the slots and the line band, literal slot texts,
// missing slots and a missing template.
#include "report/engine/frband.h"
#include "report/engine/frdocprint.h"
#include "report/engine/frglobals.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprint.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "scriptedprompt.h"
#include "templatebuilder.h"

#include <QtTest>

using namespace orv::test;

namespace {

QString templateFile(const QString &name) { return QStringLiteral(ORV_REPORTS_SOURCE_DIR "/") + name; }

struct Printed {
    QString name;
    int top;
    QString text;
};

QList<Printed> pageObjects(TfrReport &r, int index)
{
    r.EMFPages().ObjectsToPage(index);
    QList<Printed> out;
    for (TfrView *v : r.EMFPages()[index]->Page->Objects)
        out.append(Printed{v->Name, v->Top, v->Memo.join("\n").remove(frParagraphMark)});
    return out;
}

QStringList texts(TfrReport &r, int index, const QString &name)
{
    QStringList out;
    for (const Printed &p : pageObjects(r, index))
        if (p.name == name)
            out << p.text;
    return out;
}

struct Line {
    QString name, spec, aux, qty, unit, price, amount;
};

QList<Line> sixtyLines()
{
    QList<Line> lines;
    for (int i = 1; i <= 60; ++i)
        lines.append(Line{QString("货品%1").arg(i), "规格", "0", QString::number(i), "个", "1.5",
                          QString::number(i * 1.5)});
    lines[4].name = "螺丝[M6]";
    return lines;
}

// The build of a receipt print: title and header bands, one line band per line, totals, footer.
TfrDocumentPrint::Build receiptBuild(const QList<Line> &lines)
{
    return [lines](TfrDocumentPage &page) {
        page.ShowBand("报表标题1");
        page.ShowBand("主项头1");
        page.ShowBand("主项头3");
        for (const Line &l : lines) {
            page.SetSlot("Memo18", l.name);
            page.SetSlot("Memo19", l.spec);
            page.SetSlot("Memo20", l.aux);
            page.SetSlot("Memo21", l.qty);
            page.SetSlot("Memo22", l.unit);
            page.SetSlot("Memo23", l.price);
            page.SetSlot("Memo24", l.amount);
            page.ShowBand("主项数据1");
        }
        page.ShowBand("主项脚1");
        page.ShowBand("页脚1");
    };
}
} // namespace

class TstDocumentPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
    }

    void sixtyLinesIntoTongyong2()
    {
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile("tongyong2.frf")));
        print.SetSlot("Memo1", "测试公司采购入库单");
        print.SetSlot("Memo2", "供应商单位:");
        print.SetSlot("Memo3", "华东五金[总部]");
        print.SetSlot("Memo5", "2024-03-05");
        print.SetSlot("Memo9", "RK-240305-001");
        print.SetSlot("Memo6", "实付款:");
        print.SetSlot("Memo8", "100");
        print.SetSlot("Memo11", "1730");
        print.SetSlot("Memo26", "1830");
        print.SetSlot("Memo25", "0");
        print.SetSlot("Memo27", "2745");
        print.SetSlot("Memo28", "送货员:张三");
        if (print.SlotText("Memo4") != "本单据由系统打印")
            print.SetSlot("Memo4", "本单据由系统打印");
        QVERIFY(print.Prepare(receiptBuild(sixtyLines())));

        const int pageCount = r.EMFPages().Count();
        QVERIFY(pageCount >= 2);
        QStringList names;
        for (int p = 0; p < pageCount; ++p)
            names << texts(r, p, "Memo18");
        QCOMPARE(names.size(), 60);
        QCOMPARE(names.first(), QString("货品1"));
        QCOMPARE(names.last(), QString("货品60"));
        // A slot's text prints as typed, brackets and all.
        QCOMPARE(names[4], QString("螺丝[M6]"));
        QCOMPARE(texts(r, 0, "Memo3"), QStringList{"华东五金[总部]"});
        // Title and header on the first page only; column heads again on continued pages.
        QCOMPARE(texts(r, 0, "Memo1"), QStringList{"测试公司采购入库单"});
        QCOMPARE(texts(r, 1, "Memo1"), QStringList());
        QCOMPARE(texts(r, 0, "PageHead1"), QStringList());
        QCOMPARE(texts(r, 1, "PageHead1"), QStringList{"名称"});
        // Totals and signatures once, after the last line; a footer with its number on every page.
        QCOMPARE(texts(r, pageCount - 1, "Memo26"), QStringList{"1830"});
        QCOMPARE(texts(r, pageCount - 1, "Memo28"), QStringList{"送货员:张三"});
        for (int p = 0; p < pageCount; ++p) {
            QCOMPARE(texts(r, p, "PageNumber"), QStringList{QString("第 %1 页").arg(p + 1)});
            QCOMPARE(texts(r, p, "Memo4"), QStringList{"本单据由系统打印"});
        }
        // The lines stay inside the page, above the footer.
        for (int p = 0; p < pageCount; ++p)
            for (const Printed &o : pageObjects(r, p))
                if (o.name == "Memo18")
                    QVERIFY(o.top + 20 <= 1017 - 24);

        // A look at the first page: ORV_DRAW_PNG=<folder>.
        if (const QString keep = qEnvironmentVariable("ORV_DRAW_PNG"); !keep.isEmpty()) {
            for (int p = 0; p < pageCount; ++p) {
                QImage img(758 * 2, 1071 * 2, QImage::Format_RGB32);
                img.fill(Qt::white);
                QPainter painter(&img);
                r.EMFPages().SetVisible(p, true);
                r.EMFPages().Draw(p, &painter, img.rect());
                painter.end();
                img.save(QString("%1/tongyong2-page%2.png").arg(keep).arg(p + 1));
            }
        }
    }

    // Every slot the windows fill exists in the template they print into.
    void templatesHoldTheirSlots_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("slotNames");
        QTest::addColumn<QStringList>("bands");
        const QStringList bands = {"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项脚1", "页脚1"};
        QStringList lineAndTotals;
        for (int i = 18; i <= 31; ++i)
            lineAndTotals << QString("Memo%1").arg(i);
        QTest::newRow("tongyong") << "tongyong.frf"
                                  << (QStringList{"Memo1", "Memo2", "Memo3", "Memo4", "Memo5", "Memo7", "Memo9"}
                                      + lineAndTotals)
                                  << bands;
        QTest::newRow("tongyong1")
            << "tongyong1.frf"
            << (QStringList{"Memo1", "Memo2", "Memo3", "Memo5", "Memo6", "Memo7", "Memo8", "Memo9", "Memo10",
                            "Memo11", "Memo12", "Memo13", "Memo14", "Memo15", "Memo33", "Memo35"}
                + lineAndTotals)
            << bands;
        QTest::newRow("tongyong2")
            << "tongyong2.frf"
            << (QStringList{"Memo1", "Memo2", "Memo3", "Memo4", "Memo5", "Memo6", "Memo7", "Memo8", "Memo9", "Memo11"}
                + lineAndTotals)
            << bands;
        QTest::newRow("pandian") << "pandian.frf"
                                 << QStringList{"Memo1", "Memo5", "Memo6", "Memo7", "Memo8", "Memo9", "Memo18",
                                                "Memo19", "Memo20", "Memo21", "Memo22", "Memo23", "Memo24", "Memo26",
                                                "Memo27", "Memo28", "Memo29", "Memo33"}
                                 << bands;
    }
    void templatesHoldTheirSlots()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, slotNames);
        QFETCH(QStringList, bands);
        TfrReport r;
        QVERIFY(r.LoadFromFile(templateFile(file)));
        QCOMPARE(r.Pages().Count(), 1);
        TfrPage *page = r.Pages()[0];
        QCOMPARE(page->pgSize, 9);
        for (const QString &s : slotNames)
            QVERIFY2(dynamic_cast<TfrMemoView *>(r.FindObject(s)), qPrintable(file + ": " + s));
        for (const QString &b : bands) {
            auto *band = dynamic_cast<TfrBandView *>(r.FindObject(b));
            QVERIFY2(band, qPrintable(file + ": " + b));
        }
    }

    // Each template prints a short document on one page, every object inside the paper.
    // ORV_DRAW_PNG=<folder> keeps the pages for a look.
    void everyTemplatePrints_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("bands");
        const QStringList purchase = {"报表标题1", "主项头1", "主项头3"};
        QTest::newRow("tongyong") << "tongyong.frf" << purchase;
        QTest::newRow("tongyong1") << "tongyong1.frf" << QStringList{"报表标题1", "主项头1", "主项头2", "主项头3"};
        QTest::newRow("tongyong2") << "tongyong2.frf" << purchase;
        QTest::newRow("pandian") << "pandian.frf" << QStringList{"报表标题1", "主项头3"};
    }
    void everyTemplatePrints()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, bands);
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile(file)));
        const QStringList header = {"Memo1", "Memo2", "Memo3", "Memo5", "Memo6", "Memo7", "Memo8", "Memo9",
                                    "Memo10", "Memo11", "Memo12", "Memo13", "Memo15", "Memo25", "Memo26",
                                    "Memo27", "Memo28", "Memo29", "Memo30", "Memo31", "Memo33", "Memo4"};
        const bool pandian = file == "pandian.frf";
        for (const QString &slot : header)
            if (print.SlotText(slot).isEmpty() && r.FindObject(slot))
                print.SetSlot(slot, slot == "Memo1" ? QString("某某商贸有限公司单据") : QString("%1的文字").arg(slot));
        QVERIFY(print.Prepare([&](TfrDocumentPage &page) {
            for (const QString &b : bands)
                page.ShowBand(b);
            for (int i = 1; i <= 5; ++i) {
                for (int s : {18, 19, 20, 21, 22, 23, 24, 35})
                    if (r.FindObject(QString("Memo%1").arg(s)))
                        page.SetSlot(QString("Memo%1").arg(s), s == 18 ? QString("货品%1").arg(i) : QString::number(s));
                if (pandian)
                    for (int s : {5, 6, 7, 33})
                        page.SetSlot(QString("Memo%1").arg(s), QString::number(s));
                page.ShowBand("主项数据1");
            }
            page.ShowBand("主项脚1");
            page.ShowBand("页脚1");
        }));
        QCOMPARE(r.EMFPages().Count(), 1);
        for (const Printed &p : pageObjects(r, 0))
            QVERIFY2(p.top >= 72 && p.top < 1017, qPrintable(p.name));
        if (const QString keep = qEnvironmentVariable("ORV_DRAW_PNG"); !keep.isEmpty()) {
            QImage img(758 * 2, 1071 * 2, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter painter(&img);
            r.EMFPages().SetVisible(0, true);
            r.EMFPages().Draw(0, &painter, img.rect());
            painter.end();
            img.save(QString("%1/%2.png").arg(keep, QFileInfo(file).baseName()));
        }
    }

    // A text longer than a report file's 16-bit lengths (a remark of 70,000 bytes) prints
    // whole, set before the print (a slot of the template) or during it (a line). Saving the
    // prepared report takes it when the page holds it in wrapped lines, and refuses it with
    // a message when the page holds it as one line, which the file's lengths cannot hold.
    void longTextPrints_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("saveError");
        QTest::newRow("header slot, one line")
            << "Memo3" << "第 1 页：文本长度为 70000 字节，超过了报表文件所能保存的 65535 字节";
        QTest::newRow("line, wrapped") << "Memo18" << "";
    }
    void longTextPrints()
    {
        QFETCH(QString, slot);
        QFETCH(QString, saveError);
        const QString remark = QString(35000, QChar(0x5907));   // 备: two bytes each, 70,000 in all
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile("tongyong.frf")));
        ScriptedPrompt prompt;   // nothing to tell
        if (slot == "Memo3")
            print.SetSlot(slot, remark);
        QVERIFY(print.Prepare([&](TfrDocumentPage &page) {
            page.ShowBand("报表标题1");
            page.ShowBand("主项头1");
            page.SetSlot("Memo18", slot == "Memo18" ? remark : QStringLiteral("螺丝"));
            page.ShowBand("主项数据1");
            page.ShowBand("页脚1");
        }));
        QVERIFY(prompt.verifyDone());
        const auto printed = [&slot](TfrReport &from) {
            QStringList out;
            for (int p = 0; p < from.EMFPages().Count(); ++p)
                out += texts(from, p, slot);
            return out.join(QString()).remove('\n');
        };
        QCOMPARE(printed(r), remark);
        QCOMPARE(print.SlotText("Memo3"), slot == "Memo3" ? remark : QString()); // the template as before

        QTemporaryDir dir;
        const QString file = dir.filePath("long.frp");
        QString error;
        QCOMPARE(r.SavePreparedReport(file, &error), saveError.isEmpty());
        QCOMPARE(error, saveError);
        if (!saveError.isEmpty()) {
            QVERIFY(!QFile::exists(file));
            return;
        }
        TfrReport back;
        QVERIFY(back.LoadPreparedReport(file));
        QCOMPARE(printed(back), remark);
    }

    // What the engine cannot build or show is told; nothing leaves the print, no page is kept.
    void engineErrorIsTold()
    {
        // A template whose copy even memory cannot hold: an object beyond page 256.
        {
            TfrReport r;
            orv::test::TemplateBuilder b(r);
            for (int i = 0; i < 257; ++i)
                b.page();
            b.memo(256, QStringLiteral("Late"), {0, 0, 5, 5});
            ScriptedPrompt prompt;
            prompt.expectMessage(QStringLiteral("第 257 页及以后各页上的对象（Late）不能保存"), QMessageBox::Ok,
                                 QStringLiteral("错误"));
            QVERIFY(!r.PrepareReport());
            QVERIFY(prompt.verifyDone());
            QCOMPARE(r.EMFPages().Count(), 0);
        }
        // A preview that fails.
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile("tongyong.frf")));
        const auto kept = std::exchange(TfrReport::PreviewHook, [](TfrReport &, const QString &) {
            throw std::runtime_error("预览窗口不能打开");
        });
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("打印失败：预览窗口不能打开"), QMessageBox::Ok, QStringLiteral("错误"));
        print.Show([](TfrDocumentPage &page) { page.ShowBand("报表标题1"); });
        TfrReport::PreviewHook = kept;
        QVERIFY(prompt.verifyDone());
        QCOMPARE(r.EMFPages().Count(), 0);
    }

    // The PDF of a printed receipt carries the characters printed: a search or a copy
    // finds what the page shows (radicals and variants drawn with the same glyphs do not
    // stand in for them).
    void pdfTextIsThePrintedText()
    {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QFAIL("pdftotext not found: scripts/install-deps.sh installs poppler-utils");
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile("tongyong.frf")));
        print.SetSlot("Memo1", "某某商贸有限公司采购入库单");
        print.SetSlot("Memo2", "供应商：");
        print.SetSlot("Memo3", "日用品厂");
        QList<Line> lines = sixtyLines().mid(0, 3);
        lines[0].name = "透明胶带";
        lines[1].name = "金属片";
        QVERIFY(print.Prepare(receiptBuild(lines)));
        QTemporaryDir dir;
        const QString file = dir.filePath("receipt.pdf");
        TfrPdfTarget pdf(file);
        QVERIFY(PrintPreparedReport(r, {}, pdf));
        QProcess p;
        p.start(pdftotext, {"-enc", "UTF-8", file, "-"});
        QVERIFY(p.waitForFinished(30000));
        QString text = QString::fromUtf8(p.readAllStandardOutput());
        text.remove(QRegularExpression("\\s"));
        for (const char *printed : {"采购入库单", "日用品厂", "金额", "第1页", "透明胶带", "金属片"})
            QVERIFY2(text.contains(QString::fromUtf8(printed)), qPrintable(QString::fromUtf8(printed) + ": " + text));
    }

    // A slot the template lacks is skipped with a log line; the print goes on.
    void missingSlotLogged()
    {
        TfrReport r;
        TfrDocumentPrint print(r);
        QVERIFY(print.Load(templateFile("tongyong.frf")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("has no text slot Memo12"));
        QVERIFY(!print.SetSlot("Memo12", "实收款:"));
        QVERIFY(print.Prepare([](TfrDocumentPage &page) { page.ShowBand("报表标题1"); }));
        QCOMPARE(r.EMFPages().Count(), 1);
    }

    // A missing template is told and nothing prints, whatever was loaded before.
    void missingTemplate()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        TfrDocumentPrint first(r);
        QVERIFY(first.Load(templateFile("tongyong.frf")));
        const QString path = templateFile("nothere.frf");
        prompt.expectMessage("报表模板不存在：" + path);
        TfrDocumentPrint print(r);
        QVERIFY(!print.Load(path));
        int built = 0;
        print.Show([&](TfrDocumentPage &) { ++built; });
        QCOMPARE(built, 0);
        QCOMPARE(r.EMFPages().Count(), 0);
        QVERIFY(prompt.verifyDone());
    }
};

QTEST_MAIN(TstDocumentPrint)
#include "tst_documentprint.moc"
