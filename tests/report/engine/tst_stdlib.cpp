// Function libraries: the standard functions, FIELDISNULL, the descriptions and the
// aggregate finder.
#include "report/engine/frdataset.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frfunclib.h"
#include "report/engine/frglobals.h"
#include "report/engine/frinputform.h"
#include "report/engine/frinterp.h"
#include "report/engine/frlocale.h"
#include "report/engine/frreport.h"
#include "report/engine/frstdlib.h"
#include "report/engine/frstrings.h"
#include "report/engine/frutils.h"

#include "scriptedprompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

class TestStdLib : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void functions_data();
    void functions();
    void input();
    void messageBox_data();
    void messageBox();
    void fieldIsNull();
    void descriptions();
    void registeringTwiceKeepsOne();
    void aggregateFinder();
};

namespace {
QString typeOf(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Integer: return QStringLiteral("int");
    case TfrVarKind::Float: return QStringLiteral("float");
    case TfrVarKind::Text: return QStringLiteral("text");
    case TfrVarKind::Boolean: return QStringLiteral("bool");
    default: return QStringLiteral("other");
    }
}

QVariant calc(const QString &expression) { return GlobalParser->Calculate(expression); }
} // namespace

void TestStdLib::initTestCase()
{
    frEnsureGlobals();
    // What the report installs while it builds: constants for names, the libraries for calls.
    GlobalParser->ValueHandler = [](const QString &name, QVariant &value) {
        if (ScriptConstants->Contains(name))
            value = ScriptConstants->GetValue(name);
    };
    GlobalParser->FunctionHandler = [](const QString &name, const QVariant &p1, const QVariant &p2,
                                       const QVariant &p3, QVariant &value) {
        frCallFunctionLibraries(name, p1, p2, p3, value);
    };
}

void TestStdLib::functions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    auto row = [](const char *e, const char *t, const char *v) {
        QTest::newRow(e) << QString::fromUtf8(e) << QString::fromLatin1(t) << QString::fromUtf8(v);
    };
    row("DAYOF(STRTODATE('2024-03-07'))", "int", "7");
    row("DAYOF(STRTODATE('2023-11-07'))", "int", "7");
    row("MONTHOF(STRTODATE('2024-03-07'))", "int", "3");
    row("YEAROF(STRTODATE('2024-03-07'))", "int", "2024");
    row("NAMECASE('hELLO wORLD')", "text", "Hello world");
    row("NAMECASE('')", "text", "");
    row("MAXNUM(2, '2')", "text", "2");      // equal: the second argument
    row("MAXNUM(3, 2)", "float", "3");
    row("MINNUM(1, 2)", "float", "1");
    row("MINNUM(2, '2')", "text", "2");
    row("POS('b', 'abc')", "int", "2");
    row("POS('x', 'abc')", "int", "0");
    row("POS('', 'abc')", "int", "0");
    row("POS('品', '货品目录')", "int", "2");
    row("LENGTH('货品abc')", "int", "5");
    row("LENGTH('')", "int", "0");
    row("TRIM('  a b  ')", "text", "a b");
    row("UPPERCASE('aBc')", "text", "ABC");
    row("LOWERCASE('aBc')", "text", "abc");
    row("FORMATTEXT('(000) 000-0000', '0123456789')", "text", "(012) 345-6789");
    row("FORMATTEXT('000-000', '12')", "text", "12 -   ");
    row("FORMATTEXT('>LL-00', 'ab12')", "text", "AB-12");
    row("FORMATTEXT('!000', '7')", "text", "  7");
    row("FORMATTEXT('\\0\\0-00', '12')", "text", "00-12");
    row("FORMATTEXT('00-00;1;_', '12-3')", "text", "12-3_");
    row("FORMATFLOAT('#,##0.00', 1234.5)", "text", "1,234.50");
    row("FORMATFLOAT('0.##', 2.5)", "text", "2.5");
    row("FORMATFLOAT('0000', 42)", "text", "0042");
    row("FORMATDATETIME('yyyy-mm-dd', STRTODATE('2024-03-07'))", "text", "2024-03-07");
    row("FORMATDATETIME('yyyy''年''m''月''d''日''', STRTODATE('2024-03-07'))", "text", "2024年3月7日");
    row("FORMATDATETIME('hh:nn', STRTOTIME('09:05:00'))", "text", "09:05");
    row("SUM(1)", "text", "0");   // no build running: no band to total over
    row("COUNT(主项数据1)", "text", "0");
    row("UNKNOWNFUNC(1)", "other", "");   // no library takes it: the handler leaves Null
}

void TestStdLib::functions()
{
    QFETCH(QString, expression);
    QFETCH(QString, type);
    QFETCH(QString, text);
    const QVariant v = calc(expression);
    QCOMPARE(frVarToStr(v), text);
    QCOMPARE(typeOf(v), type);
}

void TestStdLib::input()
{
    orv::test::ScriptedPrompt prompt;
    prompt.expectModal([](QDialog *d) {
        auto *form = qobject_cast<TfrInputForm *>(d);
        if (!form || form->windowTitle() != QString())
            return int(QDialog::Rejected);
        auto *label = d->findChild<QLabel *>(QStringLiteral("PromptLabel"));
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("ValueEdit"));
        if (!label || label->text() != QStringLiteral("数量?") || edit->text() != QStringLiteral("5"))
            return int(QDialog::Rejected);
        edit->setText(QStringLiteral("12"));
        return int(QDialog::Accepted);
    });
    prompt.expectModal([](QDialog *d) {
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("ValueEdit"));
        const bool showsZero = edit->text() == QStringLiteral("0");
        edit->setText(QStringLiteral("typed, then cancelled"));
        return showsZero ? int(QDialog::Rejected) : int(QDialog::Accepted);
    });
    QCOMPARE(frVarToStr(calc(QStringLiteral("INPUT('数量?', '5')"))), QStringLiteral("12"));
    // An omitted default evaluates to 0; Cancel gives the default back.
    QCOMPARE(frVarToStr(calc(QStringLiteral("INPUT('数量?')"))), QStringLiteral("0"));
    QVERIFY(prompt.verifyDone());
}

void TestStdLib::messageBox_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("code");
    QTest::newRow("ok") << "mb_Ok" << int(QMessageBox::Ok) << 1;
    QTest::newRow("ok cancel, cancel") << "mb_OkCancel" << int(QMessageBox::Cancel) << 2;
    QTest::newRow("yes no, yes") << "mb_YesNo + mb_IconQuestion" << int(QMessageBox::Yes) << 6;
    QTest::newRow("yes no cancel, no") << "mb_YesNoCancel" << int(QMessageBox::No) << 7;
    QTest::newRow("closed without a button") << "mb_OkCancel + mb_IconError" << int(QMessageBox::NoButton) << 2;
}

void TestStdLib::messageBox()
{
    QFETCH(QString, flags);
    QFETCH(int, answer);
    QFETCH(int, code);
    orv::test::ScriptedPrompt prompt;
    prompt.expectMessage(QStringLiteral("删除该行?"), QMessageBox::StandardButton(answer), QStringLiteral("系统提示"));
    const QVariant v = calc(QStringLiteral("MESSAGEBOX('删除该行?', '系统提示', %1)").arg(flags));
    QCOMPARE(frVarToStr(v), QString::number(code));
    QVERIFY(prompt.verifyDone());
}

void TestStdLib::fieldIsNull()
{
    QObject owner;
    auto *table = new TfrMemoryTable(QStringLiteral("Goods"), &owner);
    table->AddField(QStringLiteral("Code"));
    table->AddField(QStringLiteral("Qty"), TfrFieldType::Float);
    table->AppendRow({QStringLiteral("HP001"), QVariant()});
    table->Open();
    table->First();
    frSetReportOwner(&owner);

    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Goods.Qty')"))), QStringLiteral("True"));
    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Goods.Code')"))), QStringLiteral("False"));
    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Nowhere.Code')"))), QStringLiteral("True"));
    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Qty')"))), QStringLiteral("True"));   // no data set
    try {
        calc(QStringLiteral("FIELDISNULL('Goods.Price')"));
        QFAIL("a missing field was not reported");
    } catch (const EfrDataError &e) {
        QCOMPARE(e.message(), QStringLiteral("Field 'Price' not found"));
    }

    // With the report's default data set, a bare field name is looked up there.
    TfrReport report;
    report.UseDefaultDataSetName = true;
    CurrentReport = &report;
    frSetDefaultDataSetHook([table]() -> IfrDataSource * { return table; });
    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Qty')"))), QStringLiteral("True"));
    QCOMPARE(frVarToStr(calc(QStringLiteral("FIELDISNULL('Code')"))), QStringLiteral("False"));
    frSetDefaultDataSetHook({});
    CurrentReport = nullptr;
    frSetReportOwner(nullptr);
}

void TestStdLib::descriptions()
{
    TfrInstalledFunctions &f = frInstalledFunctions();
    QCOMPARE(f.GetFunctionDescription(QStringLiteral("sum")), GetLocalizedString(55374));
    QCOMPARE(f.GetFunctionDescription(QStringLiteral("FIELDISNULL")),
             QStringLiteral("FIELDISNULL(<FieldName>)/Returns 'true' if DB-field is null"));
    QVERIFY(f.GetFunctionDescription(QStringLiteral("IF")).startsWith(QLatin1String("IF(<Expression>, <Value1>, <Value2>)/")));

    QStringList all;
    f.GetFunctionList(GetLocalizedString(frRes::AllFunctions), all);
    QCOMPARE(all.size(), 67);
    QStringList sorted = all;
    sorted.sort();
    QCOMPARE(all, sorted);
    for (const char *name : {"AVG", "COPY", "FIELDISNULL", "MODALRESULT", "PAGE#", "REPORTLASTCHANGE", "YEAROF"})
        QVERIFY2(all.contains(QString::fromLatin1(name)), name);

    QStringList categories;
    f.GetCategoryList(categories);
    QCOMPARE(categories.size(), 9);
    QStringList math;
    f.GetFunctionList(QStringLiteral("数学"), math);
    QCOMPARE(math, (QStringList{QStringLiteral("FRAC"), QStringLiteral("INT"), QStringLiteral("MAXNUM"),
                                QStringLiteral("MINNUM"), QStringLiteral("MOD"), QStringLiteral("ROUND")}));
}

void TestStdLib::registeringTwiceKeepsOne()
{
    const int libraries = int(frFunctionLibraries().size());
    const int described = frInstalledFunctions().Count();
    frRegisterStandardLibraries();
    QCOMPARE(int(frFunctionLibraries().size()), libraries);
    QCOMPARE(frInstalledFunctions().Count(), described);

    UnregisterFunctionLibrary(TDatabaseFunctionLibrary::StaticClassName());
    QCOMPARE(frInstalledFunctions().Count(), described - 1);
    QVERIFY(frInstalledFunctions().GetFunctionDescription(QStringLiteral("FIELDISNULL")).isEmpty());
    frRegisterStandardLibraries();
    QCOMPARE(frInstalledFunctions().Count(), described);
}

void TestStdLib::aggregateFinder()
{
    TfrReport report;
    report.Dictionary().Variables.SetValue(QStringLiteral(" Totals"), QVariant(QString()));
    report.Dictionary().Variables.SetValue(QStringLiteral("Grand"), QVariant(QStringLiteral("SUM([Amount])")));
    CurrentReport = &report;
    QStringList found;
    TAggregateFunctionsSplitter splitter(found);
    splitter.SplitMemo(QStringList{QStringLiteral("合计 [SUM([Qty])] 平均 [AVG([Price], 主项数据1)]"),
                                   QStringLiteral("[COUNT(主项数据1)] [Grand] [PAGE#]"),
                                   QStringLiteral("unclosed [MAX([A])")});
    QCOMPARE(found, (QStringList{QStringLiteral("SUM([Qty])"), QStringLiteral("AVG([Price], 主项数据1)"),
                                 QStringLiteral("COUNT(主项数据1)"), QStringLiteral("SUM([Amount])"),
                                 QStringLiteral("MAX([A])")}));

    found.clear();
    QStringList compiled, errors;
    GlobalInterpreter->CompileScript(QStringList{QStringLiteral("if MIN([Qty]) < 0 then Memo1.Visible := False")},
                                     compiled, errors);
    splitter.SplitScript(compiled);
    splitter.SplitScript(QStringList());
    QCOMPARE(found, QStringList{QStringLiteral("MIN([Qty])")});
    CurrentReport = nullptr;
}

QTEST_MAIN(TestStdLib)
#include "tst_stdlib.moc"
