// The report component's protocol around a build: report values and script
// procedures, the progress window, export, and editing a prepared page in a designer.
#include "templatebuilder.h"

#include "report/engine/frbuild.h"
#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprinter.h"
#include "scriptedprompt.h"

#include <QtTest>
#include <QTemporaryDir>

using namespace orv::test;

namespace {

void threePages(TfrReport &r)
{
    TemplateBuilder b(r);
    b.page();
    TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 400);
    md->FormatText = "6";
    b.memo(0, "Line", {54, 0, 200, 20}, {"行[LINE#]"});
}

class RecordingHost : public TfrProgressHost {
public:
    QString caption;
    QStringList labels;
    bool cancelAtSecondLabel = false;
    std::function<void()> cancel;
    bool visible = false;
    bool Run(const QString &c, const QString &label, const std::function<bool()> &work,
             const std::function<void()> &cancelFn) override
    {
        caption = c;
        labels << label;
        cancel = cancelFn;
        visible = true;
        const bool ok = work();
        visible = false;
        return ok && !cancelled;
    }
    void SetLabel(const QString &label) override
    {
        labels << label;
        if (cancelAtSecondLabel && labels.size() == 3 && cancel) {
            cancelled = true;
            cancel();
        }
    }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    bool cancelled = false;
};

class CountingFilter : public TfrExportFilter {
public:
    int pages = 0, objects = 0;
    QStringList lines;
    bool began = false, ended = false;
    void OnBeginDoc() override { began = true; }
    void OnEndDoc() override
    {
        ended = true;
        Stream->write("done");
    }
    void OnBeginPage() override { ++pages; }
    void OnData(int, int, TfrView *) override { ++objects; }
    void OnText(const QString &line, const QRect &, int, int, int) override { lines << line; }
};

class FakeDesigner : public TfrReportDesigner {
public:
    FakeDesigner() : TfrReportDesigner(false) {}
    bool modified = false;
    bool GetModified() override { return modified; }
    void SetModified(bool v) override { modified = v; }
    void BeforeChange() override {}
    void AfterChange() override {}
    void RedrawPage() override {}
    void SelectObject(const QString &) override {}
    QString InsertDBField() override { return {}; }
    QString InsertExpression() override { return {}; }
};

// The texts prepared page `index` shows.
QStringList shownTexts(TfrEMFPages &pages, int index)
{
    QStringList texts;
    for (const TfrTextRecord &t : pages.PageTexts(index))
        texts << t.Text;
    return texts;
}
} // namespace

class TstProtocol : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
    }

    void scriptProcedures()
    {
        TfrReport r;
        QVariant v;
        GlobalVariables->SetValue("X", 4);
        r.RunFunction("INC", "X", QString(), QString(), v);
        QCOMPARE(GlobalVariables->GetValue("X").toInt(), 5);
        r.RunFunction("DEC", "X", QString(), QString(), v);
        r.RunFunction("DEC", "X", QString(), QString(), v);
        QCOMPARE(GlobalVariables->GetValue("X").toInt(), 3);

        r.RunFunction("SETARRAY", "A", "2", "10", v);
        r.RunFunction("GETARRAY", "A", "2", QString(), v);
        QCOMPARE(v.toInt(), 10);
        r.RunFunction("GETARRAY", "A", "3", QString(), v);
        QVERIFY(frIsNull(v));

        // An unknown function leaves "0" unless the report's handler answers.
        r.RunFunction("NOSUCH", QString(), QString(), QString(), v);
        QCOMPARE(v.toString(), QString("0"));
        r.OnUserFunction = [](const QString &name, const QVariant &, const QVariant &, const QVariant &,
                              QVariant &val) {
            if (name == "NOSUCH")
                val = 42;
        };
        r.RunFunction("NOSUCH", QString(), QString(), QString(), v);
        QCOMPARE(v.toInt(), 42);
    }

    // DATE and TIME hold one value for the whole build; PAGE# counts prepared pages.
    void buildValues()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 500);
        md->FormatText = "3";
        b.memo(0, "When", {54, 0, 300, 20}, {"[TIME #Dhh:nn:ss.zzz] [PAGE#]"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 3);
        QStringList got;
        for (int p = 0; p < 3; ++p) {
            r.EMFPages().ObjectsToPage(p);
            got << r.EMFPages()[p]->Page->Objects.first()->Memo.join("");
        }
        const QString time = got[0].section(' ', 0, 0);
        QCOMPARE(got, (QStringList{time + " 1", time + " 2", time + " 3"}));
    }

    // The progress window gets the caption and the page labels; Cancel stops the build.
    void progressWindow()
    {
        RecordingHost host;
        frSetProgressHost(&host);
        TfrReport r;
        r.Title = "入库单";
        threePages(r);
        QVERIFY(r.PrepareReport());
        QCOMPARE(host.caption, QString("正在准备报表 - 入库单"));
        QCOMPARE(host.labels.first(), QString("正在处理页:  1"));
        QVERIFY(host.labels.contains("正在处理页:  3"));
        QCOMPARE(r.EMFPages().Count(), 3);

        RecordingHost cancelling;
        cancelling.cancelAtSecondLabel = true;
        frSetProgressHost(&cancelling);
        QVERIFY(!r.PrepareReport());
        QVERIFY(r.EMFPages().Count() < 3);
        frSetProgressHost(nullptr);
    }

    void exportLoop()
    {
        QTemporaryDir dir;
        TfrReport r;
        threePages(r);
        QVERIFY(r.PrepareReport());
        CountingFilter filter;
        QString ended;
        filter.OnEndExport = [&](const QString &f) { ended = f; };
        const QString file = dir.filePath("out.txt");
        r.ExportTo(filter, file);
        QVERIFY(filter.began && filter.ended);
        QCOMPARE(filter.pages, 3);
        QCOMPARE(filter.objects, 6);
        QCOMPARE(filter.lines.join(","), QString("行1,行2,行3,行4,行5,行6"));
        QCOMPARE(ended, file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("done"));
    }

    void editPreparedPage()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        threePages(r);
        QVERIFY(r.PrepareReport());
        const QStringList templateNames = [&] {
            QStringList n;
            for (TfrView *v : r.Pages()[0]->Objects)
                n << v->Name;
            return n;
        }();
        // No designer linked: nothing happens.
        r.EditPreparedPage(1);

        FakeDesigner *made = nullptr;
        DesignerClassRef = [&](bool) {
            made = new FakeDesigner;
            return made;
        };
        prompt.expectModal([&](QDialog *d) {
            auto *designer = static_cast<FakeDesigner *>(d);
            designer->DesignerPage->Objects.first()->Memo = QStringList{"改过的行"};
            designer->modified = true;
            return int(QDialog::Accepted);
        });
        prompt.expectMessage("保存变动?", QMessageBox::Yes, "确认");
        r.EditPreparedPage(1);
        QVERIFY(prompt.verifyDone());
        QVERIFY(!ActiveDesigner);
        DesignerClassRef = nullptr;

        // The template is as it was; the prepared page holds the edit.
        QCOMPARE(r.Pages().Count(), 1);
        QStringList after;
        for (TfrView *v : r.Pages()[0]->Objects)
            after << v->Name;
        QCOMPARE(after, templateNames);
        TfrEMFPages &pages = r.EMFPages();
        pages.SetVisible(1, false);
        QImage img(4, 4, QImage::Format_RGB32);
        QPainter p(&img);
        pages.Draw(1, &p, img.rect());
        pages.ObjectsToPage(1);
        QCOMPARE(pages[1]->Page->Objects.first()->Memo, QStringList{"改过的行"});
    }

    // How an edit ends: the answer, a save inside the designer, and the engine state after it.
    void editPreparedPageOutcomes_data()
    {
        QTest::addColumn<bool>("savedInside");     // the designer saved to a file: modified cleared
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no drops the edit") << false << int(QMessageBox::No) << "行3";
        QTest::newRow("yes keeps it") << false << int(QMessageBox::Yes) << "改过的行";
        QTest::newRow("saved inside, still asked") << true << int(QMessageBox::Yes) << "改过的行";
    }
    void editPreparedPageOutcomes()
    {
        QFETCH(bool, savedInside);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        ScriptedPrompt prompt;
        TfrReport r;
        threePages(r);
        QVERIFY(r.PrepareReport());
        TfrEMFPages &pages = r.EMFPages();
        // As the preview does for a page on screen: its objects stay built.
        pages.SetVisible(1, true);
        QVERIFY(shownTexts(pages, 1).join(QString()).startsWith("行3"));

        // Hooks found before the edit (none, as in the preview) come back; the designer's go.
        EditorHooks = TfrEditorHooks();
        TfrPage *pageBefore = CurrentPage;
        const quint8 modeBefore = EngineMode;
        DesignerClassRef = [](bool) { return new FakeDesigner; };
        prompt.expectModal([&](QDialog *d) {
            auto *designer = static_cast<FakeDesigner *>(d);
            EditorHooks.BeforeChange = [] {};
            EditorHooks.SelectedObjects = [] { return std::vector<TfrView *>(); };
            EngineMode = 0;
            designer->DesignerPage->Objects.first()->Memo = QStringList{"改过的行"};
            designer->DesignerPage->MarginLeft = 90;
            designer->EditedSinceOpened = true;
            designer->modified = !savedInside;
            return int(QDialog::Accepted);
        });
        prompt.expectMessage("保存变动?", QMessageBox::StandardButton(answer), "确认");
        r.EditPreparedPage(1);
        QVERIFY(prompt.verifyDone());
        DesignerClassRef = nullptr;
        QVERIFY(!ActiveDesigner);
        QVERIFY(!EditorHooks.BeforeChange && !EditorHooks.SelectedObjects);
        QCOMPARE(EngineMode, modeBefore);
        QVERIFY(CurrentPage == pageBefore || CurrentPage == nullptr);

        QVERIFY2(shownTexts(pages, 1).join(QString()).startsWith(shown), qPrintable(shownTexts(pages, 1).join(",")));
        QCOMPARE(pages[1]->MarginLeft, answer == QMessageBox::Yes ? 90 : 54);
        // The page painter draws the same thing.
        QImage img(400, 600, QImage::Format_RGB32);
        QPainter p(&img);
        pages.Draw(1, &p, img.rect());
        QCOMPARE(pages[1]->Page->Objects.first()->Memo, QStringList{shown});
    }
};

QTEST_MAIN(TstProtocol)
#include "tst_protocol.moc"
