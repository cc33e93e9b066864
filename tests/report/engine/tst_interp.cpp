// Script interpreter: compiling, running, error texts and the report binding.
#include "report/engine/frbuild.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frglobals.h"
#include "report/engine/frinterp.h"
#include "report/engine/frmemo.h"
#include "report/engine/frobject.h"
#include "report/engine/frpage.h"
#include "report/engine/frprogressform.h"
#include "report/engine/frreport.h"
#include "report/engine/frvalue.h"

#include "scriptedprompt.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

// An interpreter whose names live in a map (upper-cased); calls are recorded.
class Probe : public TfrInterpretator {
public:
    QMap<QString, QVariant> vars;
    QStringList assigned;   // names in the order they were assigned
    QStringList calls;      // NAME|arg1|arg2|arg3
    void GetValue(const QString &name, QVariant &value) override
    {
        const QString key = name.toUpper();
        if (vars.contains(key))
            value = vars.value(key);
    }
    void SetValue(const QString &name, const QVariant &value) override
    {
        assigned << name;
        vars[name.toUpper()] = value;
    }
    void CallFunction(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                      QVariant &value) override
    {
        calls << name + QLatin1Char('|') + p1.toString() + QLatin1Char('|') + p2.toString() + QLatin1Char('|')
                + p3.toString();
        value = QVariant(0);
    }
    QStringList compile(const QString &text, QStringList *errors = nullptr)
    {
        QStringList compiled, errs;
        CompileScript(text.split(QLatin1Char('\n')), compiled, errs);
        if (errors)
            *errors = errs;
        return compiled;
    }
};

QString show(const QVariant &v) { return frIsNull(v) ? QStringLiteral("<null>") : frVarToStr(v); }

} // namespace

class TestInterp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void run_data();
    void run();
    void errors_data();
    void errors();
    void ifElseLayout();
    void sourceListMayBeTheTarget();
    void unresolvedGotoStopsTheRun();
    void runErrorsPropagate();
    void longScriptsAndDeepNesting();
    void collectCalls();
    void bindingOrder();
    void specialNames();
    void endlessLoopCanBeCancelled();
};

void TestInterp::initTestCase()
{
    frEnsureGlobals();
    QVERIFY(GlobalInterpreter);
}

void TestInterp::run_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");   // NAME=value;... of the map after the run
    QTest::addColumn<QString>("calls");      // calls, joined with ";"
    QTest::addColumn<int>("lines");          // compiled lines, -1 not checked

    QTest::newRow("two statements without begin: only the first")
        << "a := 1; b := 2" << "A=1" << "" << 1;
    QTest::newRow("begin block compiles both") << "begin a := 1; b := 2 end" << "A=1;B=2" << "" << 2;
    QTest::newRow("';' before end") << "begin\n  a := 1;\n  b := 2;\nend" << "A=1;B=2" << "" << 2;
    QTest::newRow("end;") << "begin a := 1 end;" << "A=1" << "" << 1;
    QTest::newRow("empty block") << "begin end" << "" << "" << 0;
    QTest::newRow("no blanks around :=") << "begin a:=2*3;b:=a+1 end" << "A=6;B=7" << "" << 2;
    QTest::newRow("for 1 to 3 leaves 4")
        << "begin n := 0; for i := 1 to 3 do n := n + i end" << "N=6;I=4" << "" << -1;
    QTest::newRow("for below its start runs zero times")
        << "begin n := 0; for i := 5 to 3 do n := 1 end" << "N=0;I=5" << "" << -1;
    QTest::newRow("limit evaluated before every pass")
        << "begin m := 3; for i := 1 to m do m := m - 1 end" << "M=1;I=3" << "" << -1;
    QTest::newRow("if then") << "if 2 > 1 then a := 'yes'" << "A=yes" << "" << 2;
    QTest::newRow("if else") << "if 1 > 2 then a := 1 else a := 2" << "A=2" << "" << 4;
    QTest::newRow("nested if else")
        << "begin x := 5; if x > 3 then if x > 4 then a := 'big' else a := 'mid' else a := 'small' end"
        << "X=5;A=big" << "" << -1;
    QTest::newRow("repeat until") << "begin n := 0; repeat n := n + 1; until n >= 5 end" << "N=5" << "" << -1;
    QTest::newRow("while") << "begin n := 0; while n < 4 do n := n + 2 end" << "N=4" << "" << -1;
    QTest::newRow("goto a label") << "begin n := 0;\n10: n := n + 1;\nif n < 3 then goto 10 end" << "N=3" << "" << -1;
    QTest::newRow("goto forward skips")
        << "begin a := 1; goto 20; a := 2; 20: b := 3 end" << "A=1;B=3" << "" << -1;
    QTest::newRow("exit stops the run") << "begin a := 1; exit; b := 2 end" << "A=1" << "" << -1;
    QTest::newRow("Exit in any case") << "begin a := 1; if a = 1 then EXIT; b := 2 end" << "A=1" << "" << -1;
    QTest::newRow("comments compile to nothing")
        << "{ a comment\nover lines }\n// another one\nbegin a := 1 { here } ; // there\n b := 2 end"
        << "A=1;B=2" << "" << 2;
    QTest::newRow("procedure calls") << "begin NewPage; ShowBand(Band1); a := 1 end" << "A=1"
                                     << "NEWPAGE|0||;SHOWBAND|Band1||" << 3;
    QTest::newRow("procedure call before else") << "if 1 = 1 then NewColumn else NewPage" << ""
                                                << "NEWCOLUMN|0||" << -1;
    QTest::newRow("bare name at the end of the text is a call") << "StopReport" << "" << "STOPREPORT|0||" << 1;
    QTest::newRow("indexed target is SETARRAY") << "arr[2] := 10" << "" << "SETARRAY|arr| 2| 10" << 1;
    QTest::newRow("array read is GETARRAY") << "x := arr[3] + 1" << "X=1" << "GETARRAY|arr| 3|" << 1;
    QTest::newRow("strings with quotes and braces")
        << "begin s := 'it''s {not} a // comment'; t := s end"
        << "S=it's {not} a // comment;T=it's {not} a // comment" << "" << 2;
    QTest::newRow("bracketed names") << "x := [Total] + 1" << "X=<null>" << "" << 1;
    QTest::newRow("property names") << "Memo1.Visible := 0" << "MEMO1.VISIBLE=0" << "" << 1;
    QTest::newRow("tabs are blanks") << "begin\ta\t:=\t1\tend" << "A=1" << "" << 1;
    QTest::newRow("a label before the first statement") << "5: a := 1" << "A=1" << "" << 1;
    QTest::newRow("empty script") << "" << "" << "" << 0;
}

void TestInterp::run()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QFETCH(QString, calls);
    QFETCH(int, lines);
    Probe p;
    QStringList errors;
    const QStringList compiled = p.compile(script, &errors);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    if (lines >= 0)
        QCOMPARE(compiled.size(), lines);
    p.RunScript(compiled);
    QStringList got;
    for (auto it = p.vars.cbegin(); it != p.vars.cend(); ++it)
        got << it.key() + QLatin1Char('=') + show(it.value());
    QStringList want = expected.isEmpty() ? QStringList() : expected.split(QLatin1Char(';'));
    want.sort();
    QCOMPARE(got, want);
    QCOMPARE(p.calls.join(QLatin1Char(';')), calls);
}

void TestInterp::errors_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("error");
    QTest::newRow("text ends before end") << "begin a := 1" << "Line 1/13: Need \";\" or \"end\" here";
    QTest::newRow("missing then") << "if a b := 1" << "Line 1/6: Need \"then\" here";
    QTest::newRow("missing until") << "repeat a := 1 b" << "Line 1/15: Need \";\" or \"until\" here";
    QTest::newRow("missing do after while") << "while a < 1 a := 1" << "Line 1/13: Need \"do\" here";
    QTest::newRow("missing to") << "for i := 1 do a := 1" << "Line 1/12: Need \"to\" here";
    QTest::newRow("missing do after for") << "for i := 1 to 3 a := 1" << "Line 1/17: Need \"do\" here";
    QTest::newRow("goto needs digits") << "goto start" << "Line 1/6: \"goto\" label must be a number";
    QTest::newRow("name without :=") << "begin\n  a b\nend" << "Line 2/5: Need \":=\" here";
    QTest::newRow("unclosed parenthesis") << "x := (1 + 2" << "Line 1/12: Need \")\" here";
    QTest::newRow("bad argument list") << "x := f(1 2)" << "Line 1/10: Need \",\" or \")\" here";
    QTest::newRow("unclosed bracket") << "x := [abc" << "Line 1/10: Need \"]\" here";
    QTest::newRow("unclosed index") << "x := a[1" << "Line 1/9: Need \"]\" here";
    QTest::newRow("position after comments")
        << "{ one }\n// two\n  a b" << "Line 3/5: Need \":=\" here";
    QTest::newRow("comment before the error on its line")
        << "begin { note } a := 1 {x} b end" << "Line 1/27: Need \";\" or \"end\" here";
    QTest::newRow("undefined label") << "begin goto 7 end" << "Line 1/12: Label \"7\" is not defined";
    QTest::newRow("first error only") << "begin a b; c d end" << "Line 1/9: Need \":=\" here";
}

void TestInterp::errors()
{
    QFETCH(QString, script);
    QFETCH(QString, error);
    Probe p;
    QStringList errors;
    p.compile(script, &errors);
    QCOMPARE(errors, QStringList{error});
}

void TestInterp::ifElseLayout()
{
    Probe p;
    const QStringList c = p.compile(QStringLiteral("if x > 1 then a := 1 else a := 2"));
    QCOMPARE(c.size(), 4);
    QCOMPARE(c[0][0], QChar(1));
    QCOMPARE(int(c[0][1].unicode()), 3);   // false: to the else statement
    QCOMPARE(int(c[0][2].unicode()), 0);
    QCOMPARE(c[0].mid(3), QStringLiteral("x 1 >"));
    QCOMPARE(c[1], QStringLiteral("a 1 "));
    QCOMPARE(c[2], QString(QChar(2)) + QChar(4) + QChar(0));   // then: past the else statement
    QCOMPARE(c[3], QStringLiteral("a 2 "));

    // Jump targets beyond 255 use both characters.
    QString many = QStringLiteral("begin if x = 1 then begin ");
    for (int i = 0; i < 300; ++i)
        many += QStringLiteral("a := %1; ").arg(i);
    many += QStringLiteral("end end");
    const QStringList big = p.compile(many);
    QCOMPARE(big.size(), 301);
    QCOMPARE(int(big[0][1].unicode()) + 256 * int(big[0][2].unicode()), 301);
}

void TestInterp::sourceListMayBeTheTarget()
{
    Probe p;
    QStringList lines{QStringLiteral("begin"), QStringLiteral("  a := 7"), QStringLiteral("end")};
    QStringList errors;
    p.CompileScript(lines, lines, errors);
    QCOMPARE(lines, QStringList{QStringLiteral("a 7 ")});
    p.RunScript(lines);
    QCOMPARE(show(p.vars.value(QStringLiteral("A"))), QStringLiteral("7"));
}

void TestInterp::unresolvedGotoStopsTheRun()
{
    Probe p;
    QStringList errors;
    const QStringList c = p.compile(QStringLiteral("begin a := 1;\n  goto 99;\n  b := 2 end"), &errors);
    QCOMPARE(errors, QStringList{QStringLiteral("Line 2/8: Label \"99\" is not defined")});
    try {
        p.RunScript(c);
        QFAIL("the run went on past an unresolved goto");
    } catch (const EfrParserError &e) {
        QCOMPARE(e.message(), QStringLiteral("Line 2/8: Label \"99\" is not defined"));
    }
    QCOMPARE(p.assigned, QStringList{QStringLiteral("a")});
}

void TestInterp::runErrorsPropagate()
{
    Probe p;
    const QStringList c = p.compile(QStringLiteral("if 'abc' then a := 1"));
    QVERIFY_THROWS_EXCEPTION(EfrConversionError, p.RunScript(c));
    QVERIFY(p.assigned.isEmpty());
}

void TestInterp::longScriptsAndDeepNesting()
{
    Probe p;
    // A script longer than any fixed buffer, with more labels than any fixed table.
    QString text = QStringLiteral("begin n := 0;\n");
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("%1: n := n + 1; { a comment to make the text long }\n").arg(i + 1);
    text += QStringLiteral("if n < 2001 then goto 2000 end");
    QStringList errors;
    const QStringList c = p.compile(text, &errors);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    p.RunScript(c);
    QCOMPARE(show(p.vars.value(QStringLiteral("N"))), QStringLiteral("2001"));

    // Nesting deeper than the compiler takes is an error, not a crash.
    const QString deep = QStringLiteral("begin ").repeated(100000) + QStringLiteral("end ").repeated(100000);
    p.compile(deep, &errors);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(QLatin1String("nested too deeply")));
    const QString parens = QStringLiteral("x := ") + QStringLiteral("(").repeated(100000) + QLatin1Char('1');
    p.compile(parens, &errors);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(QLatin1String("nested too deeply")));

    // More lines than a jump can address.
    QString huge = QStringLiteral("begin ");
    for (int i = 0; i < TfrInterpretator::MaxCompiledLines; ++i)
        huge += QStringLiteral("a:=1;");
    huge += QStringLiteral("end");
    const QStringList h = p.compile(huge, &errors);
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(QLatin1String("Script too long")));
    QVERIFY(h.size() < TfrInterpretator::MaxCompiledLines);
}

void TestInterp::collectCalls()
{
    Probe p;
    const QStringList c = p.compile(QStringLiteral(
        "begin if SUM([Qty]) > 0 then x := AVG([Price], Band1) + 1; while COUNT(Band1) < 0 do F(MIN([A])) end"));
    QStringList found;
    p.CollectCalls(c, QStringList{QStringLiteral("AVG"), QStringLiteral("COUNT"), QStringLiteral("MIN"),
                                  QStringLiteral("SUM")},
                   nullptr, found);
    QCOMPARE(found, (QStringList{QStringLiteral("SUM([Qty])"), QStringLiteral("AVG([Price], Band1)"),
                                 QStringLiteral("COUNT(Band1)"), QStringLiteral("MIN([A])")}));
}

void TestInterp::bindingOrder()
{
    TfrReport report;
    report.Pages().Add();
    auto *memo = new TfrMemoView;
    memo->Name = QStringLiteral("Memo1");
    report.Pages()[0]->Add(memo);
    report.Dictionary().Variables.SetValue(QStringLiteral(" Cat"), QVariant(QString()));
    report.Dictionary().Variables.SetValue(QStringLiteral("Shared"), QVariant(QStringLiteral("1")));
    report.Dictionary().Variables.SetValue(QStringLiteral("DictOnly"), QVariant(QStringLiteral("2")));
    CurrentReport = &report;
    GlobalVariables->SetValue(QStringLiteral("Shared"), QVariant(0));

    QStringList compiled, errors;
    GlobalInterpreter->CompileScript(
        QStringList{QStringLiteral("begin Shared := 10; DictOnly := 20; Memo1.Left := 30; "
                                   "Memo1.NoSuchProp := 40; Fresh := 50 end")},
        compiled, errors);
    QVERIFY(errors.isEmpty());
    GlobalInterpreter->RunScript(compiled);

    // 1. an existing engine variable wins over the dictionary
    QCOMPARE(show(GlobalVariables->GetValue(QStringLiteral("Shared"))), QStringLiteral("10"));
    QCOMPARE(show(report.Dictionary().Variables.GetValue(QStringLiteral("Shared"))), QStringLiteral("1"));
    // 2. a dictionary variable
    QCOMPARE(show(report.Dictionary().Variables.GetValue(QStringLiteral("DictOnly"))), QStringLiteral("20"));
    QVERIFY(!GlobalVariables->Contains(QStringLiteral("DictOnly")));
    // 6. an object's property, else a new engine variable
    QCOMPARE(memo->Left, 30);
    QCOMPARE(show(GlobalVariables->GetValue(QStringLiteral("Memo1.NoSuchProp"))), QStringLiteral("40"));
    QCOMPARE(show(GlobalVariables->GetValue(QStringLiteral("Fresh"))), QStringLiteral("50"));

    // The property of the object being printed, by its bare name.
    CurrentView = memo;
    GlobalInterpreter->CompileScript(QStringList{QStringLiteral("Top := 7")}, compiled, errors);
    GlobalInterpreter->RunScript(compiled);
    QCOMPARE(memo->Top, 7);
    CurrentView = nullptr;

    CurrentReport = nullptr;
    GlobalVariables->Clear();
}

void TestInterp::specialNames()
{
    TfrReport report;
    report.Pages().Add();
    report.Pages().Add();
    CurrentReport = &report;
    TfrPage *page = report.Pages()[0];
    CurrentPage = page;
    auto run = [](const QString &script) {
        QStringList compiled, errors;
        GlobalInterpreter->CompileScript(QStringList{script}, compiled, errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        GlobalInterpreter->RunScript(compiled);
    };

    // CURY: the page's current y; with new pages pending from the band's script the
    // band goes back to it after them.
    run(QStringLiteral("CurY := 120"));
    QCOMPARE(page->CurY, 120);
    TfrBand band(btMasterData, page);
    CurrentBand = &band;
    run(QStringLiteral("CurY := 130"));
    QVERIFY(!band.CurYSet);
    band.ForceNewPage = 1;
    run(QStringLiteral("curY := 140"));
    QVERIFY(band.CurYSet);
    QCOMPARE(page->CurY, 140);
    CurrentBand = nullptr;

    // PROGRESS: the second label of the running progress window.
    orv::test::ScriptedPrompt prompt;
    prompt.expectModal([](QDialog *) { return int(QDialog::Accepted); });
    TfrProgressForm progress;
    progress.OnStartWork = [&](TfrProgressForm *f) {
        run(QStringLiteral("Progress := 'rows ' + '5'"));
        f->Finish();
    };
    progress.RunModal(nullptr);
    QCOMPARE(progress.Label2->text(), QStringLiteral("rows 5"));
    QVERIFY(prompt.verifyDone());
    run(QStringLiteral("Progress := 'no window'"));   // nothing to show it: nothing happens

    // MODALRESULT outside a dialog page does nothing; none of them became a variable.
    run(QStringLiteral("ModalResult := 1"));
    QCOMPARE(GlobalVariables->Count(), 0);

    // Page2.Visible names the second template page.
    run(QStringLiteral("Page2.Visible := False"));
    QVERIFY(!report.Pages()[1]->Visible);

    CurrentPage = nullptr;
    CurrentReport = nullptr;
}

void TestInterp::endlessLoopCanBeCancelled()
{
    TfrReport report;
    MasterReport = &report;
    QTimer::singleShot(50, [&] { report.StopRequested = true; });
    QStringList compiled, errors;
    GlobalInterpreter->CompileScript(QStringList{QStringLiteral("while 1 = 1 do n := 1")}, compiled, errors);
    QVERIFY(errors.isEmpty());
    GlobalInterpreter->RunScript(compiled);   // returns once the stop request is seen
    QVERIFY(report.StopRequested);
    MasterReport = nullptr;
    GlobalVariables->Clear();
}

QTEST_MAIN(TestInterp)
#include "tst_interp.moc"
