// Template stream: exact bytes, round trips, the older versions, .frt files,
// the form property and the password.
#include "templatebuilder.h"
#include "templatebytes.h"

#include "report/engine/frstrings.h"
#include "scriptedprompt.h"

#include "common/clock.h"

#include <QtTest>
#include <QTemporaryDir>

using namespace orv::test;

namespace {
const QDateTime kNow(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC);

QString virtualPrinterName() { return QStringLiteral("虚拟打印机"); }

// A report with one of every object kind on two pages, a dialog page,
// dictionary variables and document attributes.
void buildEverything(TfrReport &r)
{
    TemplateBuilder b(r);
    b.page();
    b.page(11, poLandscape);
    b.dialogPage(QStringLiteral("选择")).Script = QStringList{QStringLiteral("begin"), QStringLiteral("end")};
    b.band(0, btReportTitle, QStringLiteral("报表标题1"), 20, 40);
    b.band(0, btMasterData, QStringLiteral("主项数据1"), 80, 20);
    b.band(0, btPageFooter, QStringLiteral("页脚1"), 1000, 30);
    TfrMemoView *m = b.memo(0, QStringLiteral("Memo1"), {20, 24, 300, 18}, {QStringLiteral("仓库盘点单"), QStringLiteral("[PAGE#]")});
    m->Font.Name = QStringLiteral("宋体");
    m->Alignment = frtaCenter;
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    b.picture(0, QStringLiteral("Picture1"), {400, 20, 40, 30}, img);
    b.line(0, QStringLiteral("Line1"), {20, 60, 700, 0});
    b.subReport(0, QStringLiteral("SubReport1"), {20, 120, 300, 40}, 1);
    b.shape(1, QStringLiteral("Shape1"), {10, 10, 50, 50}, skEllipse);
    b.checkBox(1, QStringLiteral("Check1"), {70, 10, 16, 16}, QStringLiteral("1"));
    b.memo(1, QStringLiteral("Memo2"), {10, 80, 100, 18}, {QStringLiteral("A5")});
    b.variables(QStringLiteral("单据"), {{QStringLiteral("编号"), QStringLiteral("'PD-001'")}});
    r.TwoPass = 1;
    r.Attributes.Comment = QStringLiteral("盘点");
    r.Attributes.Author = QStringLiteral("Orvane");
    r.Attributes.VMajor = QStringLiteral("1");
    r.Attributes.VBuild = QStringLiteral("42");
    r.Attributes.Password = QStringLiteral("密码ab");
    r.Attributes.Protected = 1;
}

QStringList objectNames(const TfrReport &r)
{
    QStringList out;
    for (const TfrPage *p : r.Pages().List())
        for (const TfrView *v : p->Objects)
            out << p->Name + QLatin1Char('/') + v->Name;
    return out;
}
} // namespace

class TstTemplate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
    }
    void init()
    {
        orv::Clock::pin(kNow);
        TfrReport::PasswordQuery = nullptr;
    }
    void cleanup() { orv::Clock::pin(QDateTime()); }

    void emptyReportIsFiftyNineBytes()
    {
        TfrReport r;
        const QByteArray bytes = templateBytes(r);
        const double now = frDateTimeToDouble(orv::Clock::localNow());
        RawBytes expected;
        expected.byte(25).i16(0).i16(0).i16(1).byte(1).byte(0)
            .byte(0xFE).i16(-2).i32(0).i32(0).i32(0)
            .byte(0xFC).raw(QByteArray(14, '\0')).i16(0).byte(0x58).byte(0)
            .f64(now).f64(now);
        QCOMPARE(bytes.size(), 59);
        QCOMPARE(bytes.toHex(' '), expected.data.toHex(' '));
    }

    void dateValues()
    {
        QCOMPARE(frDateTimeToDouble(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
        QCOMPARE(frDateTimeToDouble(QDateTime(QDate(2024, 1, 2), QTime(12, 0))), 45293.5);
        QCOMPARE(frDoubleToDateTime(45293.5), QDateTime(QDate(2024, 1, 2), QTime(12, 0)));
    }

    void everyKindRoundTripsByteForByte()
    {
        TfrReport r;
        buildEverything(r);
        const QByteArray first = templateBytes(r);

        TfrReport back;
        QString message;
        QCOMPARE(readTemplate(back, first, &message), TfrLoadResult::Ok);
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QCOMPARE(objectNames(back), objectNames(r));
        QCOMPARE(templateBytes(back).toHex(), first.toHex());

        QCOMPARE(back.Pages().Count(), 3);
        const TfrPage *a5 = back.Pages()[1];
        QCOMPARE(a5->pgSize, 11);
        QCOMPARE(a5->pgOr, int(poLandscape));
        QCOMPARE(a5->pgWidth, 2100);
        QCOMPARE(a5->pgHeight, 1480);
        const TfrPage *dlg = back.Pages()[2];
        QCOMPARE(dlg->PageType, ptDialog);
        QCOMPARE(dlg->Caption, QStringLiteral("选择"));
        QCOMPARE(dlg->Script, (QStringList{QStringLiteral("begin"), QStringLiteral("end")}));
        QCOMPARE(back.TwoPass, qint16(1));
        QCOMPARE(back.PrinterName, virtualPrinterName());
        QCOMPARE(back.Attributes, r.Attributes);
        QCOMPARE(back.Dictionary().Variables.GetValue(QStringLiteral("编号")).toString(), QStringLiteral("'PD-001'"));
        auto *memo = dynamic_cast<TfrMemoView *>(back.FindObject(QStringLiteral("memo1")));
        QVERIFY(memo);
        QCOMPARE(memo->Memo, (QStringList{QStringLiteral("仓库盘点单"), QStringLiteral("[PAGE#]")}));
        QCOMPARE(memo->ParentPage, back.Pages()[0]);
    }

    // End positions are positions in the stream written to: a template stored
    // behind other data reads back from there.
    void templateInsideALargerStream()
    {
        TfrReport src;
        buildEverything(src);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        out.write("head");
        src.SaveToStream(out);
        out.close();

        QBuffer in;
        in.setData(out.data());
        in.open(QIODevice::ReadOnly);
        in.seek(4);
        TfrReport r;
        QCOMPARE(r.ReadFromStream(in), TfrLoadResult::Ok);
        QCOMPARE(objectNames(r), objectNames(src));
        auto *pic = dynamic_cast<TfrPictureView *>(r.FindObject(QStringLiteral("Picture1")));
        QVERIFY(pic);
        QCOMPARE(pic->Picture.Image().pixelColor(0, 0), QColor(Qt::red));
    }

    void loadReplacesTheWholeReport()
    {
        TfrReport r;
        buildEverything(r);
        TfrReport small;
        TemplateBuilder(small).page();
        TemplateBuilder(small).memo(0, QStringLiteral("Only"), {1, 1, 10, 10});
        QCOMPARE(readTemplate(r, templateBytes(small)), TfrLoadResult::Ok);
        QCOMPARE(objectNames(r), QStringList{QStringLiteral("Page1/Only")});
        QCOMPARE(r.TwoPass, qint16(0));
        QCOMPARE(r.Dictionary().Variables.Count(), 0);
        QVERIFY(r.Attributes.Password.isEmpty());
    }

    void passwordAsHexDigits()
    {
        TfrReport r;
        r.Attributes.Password = QStringLiteral("ab");
        const QByteArray bytes = templateBytes(r);
        // The password follows the seven empty attribute texts.
        QCOMPARE(bytes.mid(25 + 14, 6), QByteArray("\x04\x00" "6162", 6));
    }

    // Hand-written streams of the older versions, with what the reader makes of them.
    void olderVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("versionByte");
        QTest::newRow("21") << 21 << true;
        QTest::newRow("22") << 22 << true;
        QTest::newRow("23") << 23 << true;
        QTest::newRow("24") << 24 << true;
        QTest::newRow("25") << 25 << true;
        QTest::newRow("no version byte") << 21 << false;
    }
    void olderVersions()
    {
        QFETCH(int, version);
        QFETCH(bool, versionByte);
        TfrReport r;
        QString message;
        QCOMPARE(readTemplate(r, olderVersionStream(version, versionByte), &message), TfrLoadResult::Ok);
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QCOMPARE(r.UseDefaultPrinter, qint16(versionByte ? 0 : 20));
        QCOMPARE(r.TwoPass, qint16(1));
        QCOMPARE(r.PrinterName, virtualPrinterName());
        QCOMPARE(r.Pages().Count(), 2);

        const TfrPage *p1 = r.Pages()[0];
        QCOMPARE(p1->Name, version >= 24 ? QStringLiteral("Kopf") : QStringLiteral("Page1"));
        QCOMPARE(p1->pgSize, 11);
        QCOMPARE(p1->pgOr, int(poLandscape));
        QCOMPARE(p1->pgWidth, 2100);
        QCOMPARE(p1->pgHeight, 1480);
        QCOMPARE(p1->pgBin, version >= 24 ? 7 : 65535);
        QCOMPARE((QList<int>{p1->MarginLeft, p1->MarginTop, p1->MarginRight, p1->MarginBottom}),
                 (QList<int>{10, 20, 30, 40}));
        QVERIFY(p1->PrintToPrevPage);
        QVERIFY(!p1->UseMargins);
        QCOMPARE(p1->ColCount, 2);
        QCOMPARE(p1->ColGap, 5);
        QCOMPARE(p1->PageType, ptReport);
        QVERIFY(p1->Script.isEmpty());

        const TfrPage *p2 = r.Pages()[1];
        QCOMPARE(p2->Name, version >= 24 ? QStringLiteral("Dialog") : QStringLiteral("Page2"));
        QCOMPARE(p2->pgWidth, 2100);
        QCOMPARE(p2->pgHeight, 2970);
        QCOMPARE(p2->pgBin, 65535);
        if (version >= 24) {
            QCOMPARE(p2->PageType, ptDialog);
            QCOMPARE(p2->BorderStyle, quint8(bsDialog));
            QCOMPARE(p2->Caption, QStringLiteral("输入"));
            QCOMPARE(p2->Color, 0x00FF00);
            QCOMPARE((QList<int>{p2->DialogLeft, p2->DialogTop, p2->DialogWidth, p2->DialogHeight}),
                     (QList<int>{1, 2, 3, 4}));
            QCOMPARE(p2->Position, quint8(poScreenCenter));
            QCOMPARE(p2->Script, QStringList{QStringLiteral("x := 1;")});
        }
        QCOMPARE(p2->Objects.size(), 1);
        const TfrView *line = p2->Objects[0];
        QVERIFY(dynamic_cast<const TfrLineView *>(line));
        QCOMPARE(line->Name, version >= 23 ? QStringLiteral("LineA") : QStringLiteral("Line1"));
        QCOMPARE((QList<int>{line->Left, line->Top, line->Width, line->Height}), (QList<int>{11, 12, 13, 0}));
        QCOMPARE(line->FrameColor, 0xFF);
        QCOMPARE(line->Memo, (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
        QCOMPARE(line->Tag, version >= 24 ? QStringLiteral("tag") : QString());
        QVERIFY(line->Visible);
        const TfrVariables &vars = r.Dictionary().Variables;
        QCOMPARE(vars.Names(), (QStringList{QStringLiteral(" 单据"), QStringLiteral("编号"), QStringLiteral("页")}));
        QCOMPARE(vars.GetValue(QStringLiteral("编号")).toString(), QStringLiteral("'PD-001'"));
        QCOMPARE(vars.GetValue(QStringLiteral("页")).toString(), QStringLiteral("PAGE#"));
        // Read streams keep no trace of their version: they are written as version 25.
        QCOMPARE(templateBytes(r).at(0), char(25));
    }

    void endsAfterEndRecordGetsFreshAttributes()
    {
        TfrReport src;
        src.Attributes.Author = QStringLiteral("someone");
        src.Attributes.CreationDate = 1.0;
        const QByteArray bytes = templateBytes(src);
        orv::Clock::pin(kNow.addDays(1));
        TfrReport r;
        QCOMPARE(readTemplate(r, bytes.left(25)), TfrLoadResult::Ok);
        QVERIFY(r.Attributes.Author.isEmpty());
        QCOMPARE(r.Attributes.GeneratorVersion, frGeneratorVersion);
        QCOMPARE(r.Attributes.CreationDate, frDateTimeToDouble(orv::Clock::localNow()));
    }

    void missingAddInsAreListedAndTheRestLoads()
    {
        TfrReport src;
        TemplateBuilder b(src);
        b.page();
        b.memo(0, QStringLiteral("Memo1"), {0, 0, 10, 10});
        b.shape(0, QStringLiteral("Shape1"), {0, 0, 10, 10});
        b.memo(0, QStringLiteral("Memo2"), {0, 0, 10, 10});
        QByteArray bytes = templateBytes(src);
        // Rename the shape's class to ones no unit registers.
        bytes.replace("TfrShapeView", "TfrOtherView");

        TfrReport r;
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("Report contains the following non-plugged components:\r"
                                            "TfrOtherView\rYou must include these components into your project."),
                             QMessageBox::Ok, QStringLiteral("错误"));
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QVERIFY(r.LoadFromStream(buf));
        QVERIFY(prompt.verifyDone());
        QCOMPARE(objectNames(r), (QStringList{QStringLiteral("Page1/Memo1"), QStringLiteral("Page1/Memo2")}));
    }

    void unsupportedVersionIsRefusedWithMessage()
    {
        TfrReport r;
        TemplateBuilder(r).page();
        const QByteArray before = templateBytes(r);
        QByteArray bytes = before;
        bytes[0] = char(26);
        ScriptedPrompt prompt;
        prompt.expectMessage(QStringLiteral("不支持的FRF格式"), QMessageBox::Ok, QStringLiteral("错误"));
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QVERIFY(!r.LoadFromStream(buf));
        QVERIFY(prompt.verifyDone());
        QCOMPARE(templateBytes(r), before);
    }

    void protectedReportFromFile_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("opens");
        QTest::newRow("right") << true << QStringLiteral("密码ab") << true;
        QTest::newRow("wrong case") << true << QStringLiteral("密码AB") << false;
        QTest::newRow("cancelled") << false << QStringLiteral("密码ab") << false;
    }
    void protectedReportFromFile()
    {
        QFETCH(bool, answer);
        QFETCH(QString, entered);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.frf"));
        TfrReport src;
        buildEverything(src);
        QVERIFY(src.SaveToFile(path));

        int asked = 0;
        TfrReport::PasswordQuery = [&](QString &pw) {
            ++asked;
            pw = entered;
            return answer;
        };
        TfrReport r;
        r.FileName = QStringLiteral("old.frf");
        QCOMPARE(r.LoadFromFile(path), opens);
        QCOMPARE(asked, 1);
        if (opens) {
            QCOMPARE(objectNames(r), objectNames(src));
            QCOMPARE(r.FileName, path);
        } else {
            QCOMPARE(r.Pages().Count(), 1);
            QVERIFY(r.Pages()[0]->Objects.isEmpty());
            QCOMPARE(r.FileName, QStringLiteral("Untitled"));
            QVERIFY(r.Attributes.Password.isEmpty());
        }

        // Copies in memory (the build's) never ask.
        TfrReport mem;
        QCOMPARE(readTemplate(mem, templateBytes(src)), TfrLoadResult::Ok);
        QCOMPARE(asked, 1);
    }

    void missingFileLeavesReport()
    {
        TfrReport r;
        TemplateBuilder(r).page();
        const QByteArray before = templateBytes(r);
        QVERIFY(!r.LoadFromFile(QStringLiteral("/nonexistent/x.frf")));
        QCOMPARE(templateBytes(r), before);
    }

    void newReportTemplateFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.frt"));
        TfrReport src;
        buildEverything(src);
        QImage pic(8, 6, QImage::Format_RGB32);
        pic.fill(Qt::blue);
        const QStringList description{QStringLiteral("盘点单"), QStringLiteral("A4")};
        src.SaveTemplate(path, description, pic);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray file = f.readAll();
        // The body offset points just behind the picture, at the body's UseDefaultPrinter.
        const qint64 descLen = 2 + (2 + 6 + 1) + (2 + 2 + 1);
        const quint32 body = qFromLittleEndian<quint32>(file.constData() + descLen);
        QCOMPARE(int(quint8(file.at(descLen + 4))), 1);
        QCOMPARE(file.mid(descLen + 5, 2), QByteArray("BM"));
        QCOMPARE(qint64(body), descLen + 5 + qFromLittleEndian<quint32>(file.constData() + descLen + 7));

        TfrReport r;
        TemplateBuilder(r).page();
        const QByteArray before = templateBytes(r);
        QStringList desc;
        QImage got;
        r.LoadTemplate(path, &desc, &got, false);
        QCOMPARE(desc, description);
        QCOMPARE(got.size(), pic.size());
        QCOMPARE(got.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(templateBytes(r), before);

        r.LoadTemplate(path, nullptr, nullptr, true);
        QCOMPARE(objectNames(r), objectNames(src));
        QCOMPARE(r.Pages()[1]->pgSize, 11);
    }

    void templateWithoutPicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.frt"));
        TfrReport src;
        TemplateBuilder(src).page();
        src.SaveTemplate(path, {}, QImage());
        TfrReport r;
        QImage got(1, 1, QImage::Format_RGB32);
        QStringList desc{QStringLiteral("x")};
        r.LoadTemplate(path, &desc, &got, false);
        QVERIFY(desc.isEmpty());
        QVERIFY(got.isNull());
        r.LoadTemplate(path, nullptr, nullptr, true);
        QCOMPARE(r.Pages().Count(), 1);
        QVERIFY_THROWS_EXCEPTION(EfrStreamError, r.LoadTemplate(dir.filePath(QStringLiteral("none.frt")), nullptr, nullptr, true));
    }

    void reportFormProperty()
    {
        TfrReport r;
        QCOMPARE(r.ReportFormData(), QByteArray("\x19\0\0\0", 4));

        r.StoreInDFM = true;
        const QByteArray form = r.ReportFormData();
        QCOMPARE(form.size(), 4 + 4 + 59);
        QCOMPARE(form.mid(4, 4), QByteArray("\x3B\0\0\0", 4));
        QCOMPARE(form.mid(8), templateBytes(r));

        TfrReport src;
        buildEverything(src);
        src.StoreInDFM = true;
        const QByteArray stored = src.ReportFormData();
        TfrReport loaded;
        loaded.StoreInDFM = true;
        QVERIFY(loaded.ReadReportForm(stored));
        QCOMPARE(loaded.Pages().Count(), 0);
        loaded.FormLoaded();
        QCOMPARE(objectNames(loaded), objectNames(src));

        // Saved without the report: the marker alone leaves the component empty.
        TfrReport empty;
        QVERIFY(empty.ReadReportForm(QByteArray("\x19\0\0\0", 4)));
        empty.FormLoaded();
        QCOMPARE(empty.Pages().Count(), 0);

        // A count beyond the data keeps nothing.
        TfrReport cut;
        cut.StoreInDFM = true;
        QVERIFY(!cut.ReadReportForm(stored.left(stored.size() - 1)));
        cut.FormLoaded();
        QCOMPARE(cut.Pages().Count(), 0);
    }

    // What the format cannot hold is refused, and a file written before stays as it was.
    void refusedWrites_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<QString>("message");
        QTest::newRow("attribute text over 65535 bytes")
            << 0 << QStringLiteral("报表属性的文本长度为 80000 字节，超过了报表文件所能保存的 65535 字节");
        QTest::newRow("object on page 257") << 1 << QStringLiteral("第 257 页及以后各页上的对象（Late）不能保存");
        QTest::newRow("memo text over 65535 bytes")
            << 2 << QStringLiteral("对象 Memo1：文本长度为 70000 字节，超过了报表文件所能保存的 65535 字节");
        QTest::newRow("page script line over 65535 bytes")
            << 3 << QStringLiteral("页 Page1：文本长度为 65536 字节，超过了报表文件所能保存的 65535 字节");
    }
    void refusedWrites()
    {
        QFETCH(int, what);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.frf"));
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        QVERIFY(r.SaveToFile(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        if (what == 0) {
            r.Attributes.Comment = QString(40000, QChar(0x4E2D));
        } else if (what == 1) {
            for (int i = 1; i < 257; ++i)
                b.page();
            b.memo(256, QStringLiteral("Late"), {0, 0, 5, 5});
        } else if (what == 2) {
            b.memo(0, QStringLiteral("Memo1"), {0, 0, 5, 5}, {QStringLiteral("ok"), QString(35000, QChar(0x4E2D))});
        } else {
            r.Pages()[0]->Script = QStringList{QString(65536, QLatin1Char('x'))};
        }
        QVERIFY_THROWS_EXCEPTION(EfrNotStorable, templateBytes(r));
        ScriptedPrompt prompt;
        prompt.expectMessage(message, QMessageBox::Ok, QStringLiteral("错误"));
        QVERIFY(!r.SaveToFile(path));
        QVERIFY(prompt.verifyDone());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void findObjectIgnoresCaseLowerPageWins()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.page();
        TfrMemoView *second = b.memo(1, QStringLiteral("Memo18"), {0, 0, 5, 5});
        TfrMemoView *first = b.memo(0, QStringLiteral("Memo18"), {0, 0, 5, 5});
        QCOMPARE(r.FindObject(QStringLiteral("memo18")), first);
        QVERIFY(second);
        QCOMPARE(r.FindObject(QStringLiteral("Memo19")), nullptr);
    }
};

QTEST_MAIN(TstTemplate)
#include "tst_template.moc"
