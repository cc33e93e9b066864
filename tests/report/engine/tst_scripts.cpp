// Scripts and aggregates in a build: page, band and object scripts run while the
// pages are formed, and the aggregate functions total over their data bands.
#include "templatebuilder.h"

#include "report/engine/frbuild.h"
#include "report/engine/frdataset.h"
#include "report/engine/frglobals.h"
#include "report/engine/frinterp.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprinter.h"
#include "report/engine/frprogressform.h"
#include "scriptedprompt.h"

#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

using namespace orv::test;

namespace {

QStringList texts(TfrReport &r, const QString &name)
{
    QStringList out;
    TfrEMFPages &pages = r.EMFPages();
    for (int i = 0; i < pages.Count(); ++i) {
        pages.ObjectsToPage(i);
        for (TfrView *v : pages[i]->Page->Objects)
            if (v->Name == name)
                out << v->Memo.join(QLatin1Char('\n'));
    }
    return out;
}

// Goods rows by category, under an owner the report sits on.
struct Goods {
    QObject owner;
    TfrMemoryTable *table = new TfrMemoryTable(QStringLiteral("Goods"), &owner);
    TfrDBDataSet *cursor = new TfrDBDataSet(&owner);
    Goods()
    {
        cursor->setObjectName(QStringLiteral("frGoods"));
        table->AddField(QStringLiteral("类别"));
        table->AddField(QStringLiteral("名称"));
        table->AddField(QStringLiteral("数量"), TfrFieldType::Float);
        const struct { const char *c, *n; double q; } rows[] = {
            {"A", "a1", 3}, {"A", "a2", 4}, {"B", "b1", 5}, {"B", "b2", 6}, {"B", "b3", 7},
        };
        for (const auto &r : rows)
            table->AppendRow({QString::fromUtf8(r.c), QString::fromUtf8(r.n), r.q});
        cursor->SetDataSet(table);
    }
};

const char *const qty = "[Goods.\"数量\"]";
QString q(const char *pattern) { return QString::fromUtf8(pattern).arg(QString::fromUtf8(qty)); }

} // namespace

class TestScripts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
        QVERIFY(GlobalInterpreter);
        QVERIFY(ScriptHooks.Compile && ScriptHooks.Run && ScriptHooks.SetValue);
    }
    void init() { GlobalVariables->Clear(); }

    // A running total kept by an object script, an object shown by a band script, and
    // group, master and report totals by the aggregate functions.
    void scriptsAndAggregates()
    {
        ScriptedPrompt prompt;   // a build error would show a message
        Goods data;
        TfrReport r(&data.owner);
        TemplateBuilder b(r);
        TfrPage &page = b.page();
        page.Script = QStringList{QStringLiteral("Running := 0")};
        b.band(0, btPageHeader, QStringLiteral("页头1"), 0, 20);
        b.memo(0, QStringLiteral("PH"), {54, 0, 200, 20}, {q("[SUM(%1)]")});
        TfrBandView *gh = b.band(0, btGroupHeader, QStringLiteral("分组头1"), 30, 20);
        gh->FormatText = QStringLiteral("[Goods.\"类别\"]");
        b.memo(0, QStringLiteral("GH"), {54, 30, 200, 20}, {QStringLiteral("组 [Goods.\"类别\"]")});
        TfrBandView *md = b.band(0, btMasterData, QStringLiteral("主项数据1"), 60, 20);
        md->FormatText = QStringLiteral("frGoods");
        md->Script = QStringList{q("Mark.Visible := %1 > 5")};
        TfrMemoView *line = b.memo(0, QStringLiteral("Line"), {54, 60, 200, 20},
                                   {QStringLiteral("[Goods.\"名称\"] [Running]")});
        line->Script = QStringList{QStringLiteral("begin"), q("  Running := Running + %1 { the running total }"),
                                   QStringLiteral("end")};
        b.memo(0, QStringLiteral("Mark"), {300, 60, 20, 20}, {QStringLiteral("*")});
        b.band(0, btGroupFooter, QStringLiteral("分组脚1"), 90, 20);
        b.memo(0, QStringLiteral("GF"), {54, 90, 400, 20},
               {q("[SUM(%1)] [COUNT(主项数据1)] [AVG(%1)] [MAX(%1, 主项数据1)] [MIN(%1)]")});
        b.band(0, btMasterFooter, QStringLiteral("主项脚1"), 120, 20);
        b.memo(0, QStringLiteral("MF"), {54, 120, 200, 20}, {q("[SUM(%1)]")});
        b.band(0, btReportSummary, QStringLiteral("报表合计1"), 150, 20);
        b.memo(0, QStringLiteral("RS"), {54, 150, 200, 20}, {q("[SUM(%1, 主项数据1)] [COUNT(主项数据1)]")});

        QVERIFY(r.PrepareReport());
        QCOMPARE(texts(r, QStringLiteral("Line")),
                 (QStringList{"a1 3", "a2 7", "b1 12", "b2 18", "b3 25"}));
        QCOMPARE(texts(r, QStringLiteral("Mark")).size(), 2);
        QCOMPARE(texts(r, QStringLiteral("GF")), (QStringList{"7 2 3.5 4 3", "18 3 6 7 5"}));
        QCOMPARE(texts(r, QStringLiteral("MF")), QStringList{"25"});
        QCOMPARE(texts(r, QStringLiteral("RS")), QStringList{"25 5"});
        // A page header totals nothing.
        QCOMPARE(texts(r, QStringLiteral("PH")), QStringList{"0"});
        // What scripts changed in the template is undone after the build.
        QVERIFY(r.FindObject(QStringLiteral("Mark"))->Visible);
        QCOMPARE(r.FindObject(QStringLiteral("Line"))->Script.size(), 3);
    }

    // Goods rows crossed with two columns: the cross footer totals each row over its
    // columns, the master footer's cells total each column over the rows.
    void crossTabAggregates()
    {
        ScriptedPrompt prompt;
        Goods data;
        auto *cols = new TfrMemoryTable(QStringLiteral("Cols"), &data.owner);
        cols->AddField(QStringLiteral("k"), TfrFieldType::Float);
        cols->AppendRow({1.0});
        cols->AppendRow({2.0});
        auto *colCursor = new TfrDBDataSet(&data.owner);
        colCursor->setObjectName(QStringLiteral("frCols"));
        colCursor->SetDataSet(cols);

        TfrReport r(&data.owner);
        TemplateBuilder b(r);
        const int h = b.page().PrnInfo.PageHeight;
        TfrBandView *cd = b.band(0, btCrossData, QStringLiteral("交叉数据1"), 0, h);
        cd->SetBounds(200, 0, 60, h);
        cd->FormatText = QStringLiteral("frCols");
        b.band(0, btCrossFooter, QStringLiteral("交叉脚1"), 0, h)->SetBounds(300, 0, 60, h);
        b.band(0, btMasterData, QStringLiteral("主项数据1"), 60, 20)->FormatText = QStringLiteral("frGoods");
        const QString cell = QString::fromUtf8(qty) + QStringLiteral(" * [Cols.\"k\"]");
        b.memo(0, QStringLiteral("Cell"), {200, 60, 60, 20}, {QLatin1Char('[') + cell + QLatin1Char(']')});
        b.memo(0, QStringLiteral("RowTotal"), {300, 60, 60, 20}, {QStringLiteral("[SUM(%1)]").arg(cell)});
        b.band(0, btMasterFooter, QStringLiteral("主项脚1"), 90, 20);
        b.memo(0, QStringLiteral("ColTotal"), {200, 90, 60, 20}, {QStringLiteral("[SUM(%1)]").arg(cell)});

        QVERIFY(r.PrepareReport());
        QCOMPARE(texts(r, QStringLiteral("Cell")), (QStringList{"3", "6", "4", "8", "5", "10", "6", "12", "7", "14"}));
        // A cross footer sums its row across the columns; a master footer's cell in the cross
        // column sums that column down the rows.
        QCOMPARE(texts(r, QStringLiteral("RowTotal")), (QStringList{"9", "12", "15", "18", "21"}));
        QCOMPARE(texts(r, QStringLiteral("ColTotal")), (QStringList{"25", "50"}));
        QVERIFY(prompt.verifyDone());
    }

    // Rows of an invisible data band count only with the flag 1; a band without rows
    // totals 0, averages 0 and has 1e300 as its minimum.
    void invisibleRowsAndEmptyBands()
    {
        ScriptedPrompt prompt;
        Goods data;
        auto *empty = new TfrMemoryTable(QStringLiteral("Empty"), &data.owner);
        empty->AddField(QStringLiteral("x"), TfrFieldType::Float);
        auto *emptyCursor = new TfrDBDataSet(&data.owner);
        emptyCursor->setObjectName(QStringLiteral("frEmpty"));
        emptyCursor->SetDataSet(empty);

        TfrReport r(&data.owner);
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, QStringLiteral("主项数据1"), 0, 20);
        md->FormatText = QStringLiteral("frGoods");
        md->Visible = false;
        b.memo(0, QStringLiteral("Line"), {54, 0, 200, 20}, {QStringLiteral("[Goods.\"名称\"]")});
        b.band(0, btMasterFooter, QStringLiteral("主项脚1"), 30, 20);
        b.memo(0, QStringLiteral("MF"), {54, 30, 400, 20},
               {q("[SUM(%1)] [SUM(%1, 主项数据1, 1)] [COUNT(主项数据1,1)] [COUNT(主项数据1)]")});
        b.page();
        TfrBandView *md2 = b.band(1, btMasterData, QStringLiteral("空数据"), 0, 20);
        md2->FormatText = QStringLiteral("frEmpty");
        b.band(1, btReportSummary, QStringLiteral("报表合计1"), 30, 20);
        b.memo(1, QStringLiteral("RS"), {54, 30, 400, 20},
               {QStringLiteral("[SUM([Empty.\"x\"])] [AVG([Empty.\"x\"])] [MIN([Empty.\"x\"])]")});

        QVERIFY(r.PrepareReport());
        QVERIFY(texts(r, QStringLiteral("Line")).isEmpty());
        QCOMPARE(texts(r, QStringLiteral("MF")), QStringList{"0 25 5 0"});
        QCOMPARE(texts(r, QStringLiteral("RS")), QStringList{QStringLiteral("0 0 ") + frFloatToStr(1e300)});
    }

    // A dialog page's script closes its form through MODALRESULT: Cancel builds nothing.
    void modalResultOfADialogPage_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("pages");
        QTest::newRow("mrOk") << "mrOk" << 1;
        QTest::newRow("mrCancel") << "mrCancel" << 0;
    }
    void modalResultOfADialogPage()
    {
        QFETCH(QString, result);
        QFETCH(int, pages);
        ScriptedPrompt prompt;   // the form is never run modally
        TfrReport r;
        TemplateBuilder b(r);
        TfrPage &dialog = b.dialogPage(QStringLiteral("条件"));
        b.memo(0, QStringLiteral("Hint"), {10, 10, 100, 20}, {QStringLiteral("条件")});
        dialog.Script = QStringList{QStringLiteral("ModalResult := ") + result};
        b.page();
        b.band(1, btReportTitle, QStringLiteral("报表标题1"), 0, 20);
        b.memo(1, QStringLiteral("Title"), {54, 0, 100, 20}, {QStringLiteral("标题")});
        r.PrepareReport();
        QCOMPARE(r.EMFPages().Count(), pages);
        QVERIFY(prompt.verifyDone());
    }

    // An endless loop in an object script ends when the build is asked to stop.
    void endlessScriptIsCancelled()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btReportTitle, QStringLiteral("报表标题1"), 0, 20);
        TfrMemoView *m = b.memo(0, QStringLiteral("Title"), {54, 0, 100, 20}, {QStringLiteral("标题")});
        m->Script = QStringList{QStringLiteral("begin n := 0; while 1 = 1 do n := n + 1 end")};
        QTimer::singleShot(100, [&r] { r.StopRequested = true; });
        QElapsedTimer clock;
        clock.start();
        r.PrepareReport();   // returns once the stop request is seen
        QVERIFY(clock.elapsed() < 30000);
        QVERIFY(frVarToInt(GlobalVariables->GetValue(QStringLiteral("n"))) > 1000);
        QVERIFY(prompt.verifyDone());
    }

    // The same loop in a band script, ended by the operator: Cancel in the progress
    // window stops the build, which returns unsuccessfully without an error message.
    void endlessScriptIsCancelledFromTheProgressWindow()
    {
        frSetProgressHost(frProgressWindowHost());
        const auto noHost = qScopeGuard([] { frSetProgressHost(nullptr); });
        ScriptedPrompt prompt;
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, QStringLiteral("主项数据1"), 0, 20);
        md->FormatText = QStringLiteral("3");
        md->Script = QStringList{QStringLiteral("begin n := 0; while 1 = 1 do n := n + 1 end")};
        b.memo(0, QStringLiteral("Line"), {54, 0, 100, 20}, {QStringLiteral("[LINE#]")});
        QString cancelText;
        prompt.expectModal([&](QDialog *d) {
            auto *cancel = d->findChild<QPushButton *>(QStringLiteral("Button1"));
            cancelText = cancel->text();
            QTimer::singleShot(100, cancel, &QPushButton::click);
            QCoreApplication::processEvents();   // the build runs inside the window's run
            return d->result();
        });
        QVERIFY(!r.PrepareReport());
        QVERIFY(prompt.verifyDone());   // no error message either
        QCOMPARE(cancelText, QStringLiteral("取消"));
        QVERIFY(!TfrProgressForm::Active());
        QVERIFY(frVarToInt(GlobalVariables->GetValue(QStringLiteral("n"))) > 1000);
        QCOMPARE(texts(r, QStringLiteral("Line")), QStringList());
    }

    // Compiled scripts hold jump targets as characters; one that reads like "(" must
    // not be taken for a call while aggregate calls are looked for.
    void jumpTargetsAreNoCalls()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btMasterData, QStringLiteral("主项数据1"), 0, 20)->FormatText = QStringLiteral("1");
        b.band(0, btReportSummary, QStringLiteral("报表合计1"), 30, 20);
        TfrMemoView *m = b.memo(0, QStringLiteral("Memo1"), {54, 30, 100, 20}, {QStringLiteral("[Last]")});
        QString script = QStringLiteral("begin if 1 = 1 then begin ");
        for (int i = 1; i <= 39; ++i)   // the condition then jumps to line 40, the code of "("
            script += QStringLiteral("a%1 := %1; ").arg(i);
        script += QStringLiteral("end; Last := a39 end");
        m->Script = QStringList{script};
        QVERIFY(r.PrepareReport());
        QCOMPARE(texts(r, QStringLiteral("Memo1")), QStringList{QStringLiteral("39")});
        QVERIFY(prompt.verifyDone());
    }

    // A run-time error of a script stops the build with the engine's message.
    void scriptErrorStopsTheBuild()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        r.setObjectName(QStringLiteral("frReport1"));
        TemplateBuilder b(r);
        b.page();
        b.band(0, btReportTitle, QStringLiteral("报表标题1"), 0, 20);
        TfrMemoView *m = b.memo(0, QStringLiteral("Memo1"), {54, 0, 100, 20}, {QStringLiteral("x")});
        m->Script = QStringList{QStringLiteral("begin a := 1;"), QStringLiteral("  goto 5"), QStringLiteral("end")};
        prompt.expectMessage(QStringLiteral("计算时发生错误\rx\r\r报表: frReport1\r对象: Memo1\r\r"
                                            "Line 2/8: Label \"5\" is not defined"),
                             QMessageBox::Ok, QStringLiteral("错误"));
        QVERIFY(!r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 0);
        QVERIFY(prompt.verifyDone());
    }
};

QTEST_MAIN(TestScripts)
#include "tst_scripts.moc"
