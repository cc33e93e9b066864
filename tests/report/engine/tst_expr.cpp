// Expression parser, variables and variant rules.
#include "report/engine/frfunclib.h"
#include "report/engine/frglobals.h"
#include "report/engine/frlocale.h"
#include "report/engine/frparser.h"
#include "report/engine/frstdlib.h"
#include "report/engine/frstrings.h"
#include "report/engine/frvalue.h"
#include "report/engine/frvariables.h"

#include <QtTest>

namespace {
// A parser whose names come from a small table; calls are recorded.
struct Env {
    TfrParser p;
    QMap<QString, QVariant> values;
    QStringList asked;
    QStringList calls;
    Env()
    {
        values.insert(QStringLiteral("Price"), QVariant(2.5));
        values.insert(QStringLiteral("PRICE"), QVariant(4));
        values.insert(QStringLiteral("A"), QVariant(1));
        values.insert(QStringLiteral("B"), QVariant(2));
        values.insert(QStringLiteral("S"), QVariant(QStringLiteral("ab")));
        values.insert(QStringLiteral("N"), frNull());
        p.ValueHandler = [this](const QString &name, QVariant &v) {
            asked << name;
            if (values.contains(name))
                v = values.value(name);
        };
        p.FunctionHandler = [this](const QString &name, const QVariant &a1, const QVariant &a2,
                                   const QVariant &a3, QVariant &v) {
            calls << name + QLatin1Char('|') + a1.toString() + QLatin1Char('|') + a2.toString()
                    + QLatin1Char('|') + a3.toString();
            if (name == QLatin1String("TWICE"))
                v = frVarMul(p.Calculate(a1.toString()), QVariant(2));
            else if (name == QLatin1String("BOOM"))
                v = QVariant(QStringLiteral("evaluated"));
        };
    }
};

QString typeOf(const QVariant &v)
{
    switch (frVarKind(v)) {
    case TfrVarKind::Unassigned: return QStringLiteral("unassigned");
    case TfrVarKind::Null: return QStringLiteral("null");
    case TfrVarKind::Boolean: return QStringLiteral("bool");
    case TfrVarKind::Integer: return QStringLiteral("int");
    case TfrVarKind::Float: return QStringLiteral("float");
    case TfrVarKind::DateTime: return QStringLiteral("date");
    case TfrVarKind::Text: return QStringLiteral("text");
    default: return QStringLiteral("other");
    }
}
} // namespace

class TestExpr : public QObject {
    Q_OBJECT
private slots:
    void evaluate_data();
    void evaluate();
    void translate_data();
    void translate();
    void errors_data();
    void errors();
    void handlerNames();
    void ifIsLazy();
    void getArray();
    void nestedCalls();
    void selfReferenceStopsAtNestingLimit();
    void stackLimit();
    void garbageNeverCrashes();
    void dates();
    void extractBracketed();
    void expandBrackets();
    void splitArguments();
    void splitter();
    void splitterVariableCycle();
    void floatToStr_data();
    void floatToStr();
    void variables();
    void sortedVariables();
    void globalsTables();
    void functionLibraries();
};

namespace {
class TestLib : public TfrFunctionLibrary {
public:
    static int made;
    TestLib()
    {
        ++made;
        Names << QStringLiteral("LEN") << QStringLiteral("ECHO");
        AddFunctionDesc(QStringLiteral("LEN"), QStringLiteral("字符串"), QStringLiteral("LEN(<S>)/length"));
        AddFunctionDesc(QStringLiteral("ECHO"), QStringLiteral("其它"), QStringLiteral("ECHO(<X>)/same"));
        AddFunctionDesc(QStringLiteral("NODESC"), QString(), QStringLiteral("ignored"));
    }
    QString ClassName() const override { return QStringLiteral("TestLib"); }
    void ComputeFunction(int index, const QString &, const QVariant &p1, const QVariant &, const QVariant &,
                         QVariant &value) override
    {
        const QVariant v = GlobalParser->Calculate(p1.toString());
        value = index == 0 ? QVariant(qint64(frVarToStr(v).size())) : v;
    }
};
int TestLib::made = 0;
} // namespace

void TestExpr::evaluate_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    auto row = [](const char *e, const char *t, const char *v) {
        QTest::newRow(e) << QString::fromUtf8(e) << QString::fromLatin1(t) << QString::fromUtf8(v);
    };
    row("2 + 3 * 4", "float", "14");
    row("(2 + 3) * 4", "float", "20");
    row("10 - 4 - 3", "float", "3");
    row("12 / 3 / 2", "float", "2");
    row("5 / 0", "float", "0");
    row("1,5 + 1", "float", "2.5");
    row("1.5 + 1", "float", "2.5");
    row("'it''s'", "text", "it's");
    row("'a' + 'b'", "text", "ab");
    row("'3' + 4", "float", "7");
    row("3 = 3", "int", "1");
    row("3 <> 3", "int", "0");
    row("2 >= 3", "int", "0");
    row("2 <= 3", "int", "1");
    row("'abc' < 'abd'", "int", "1");
    row("NOT 0", "int", "1");
    row("not 5", "int", "0");
    row("INT(2.9999999999999)", "float", "3");
    row("INT(-2.5)", "float", "-2");
    row("int(7.8)", "float", "7");
    row("FRAC(3.25)", "float", "0.25");
    row("ROUND(2.5)", "float", "2");
    row("ROUND(3.5)", "float", "4");
    row("STR(12) + 'x'", "text", "12x");
    row("7 MOD 3", "int", "1");
    row("-[A]", "int", "-1");
    row("+[B]", "int", "2");
    row("-2 + 5", "float", "3");
    row("TRUE", "bool", "True");
    row("false", "bool", "False");
    row("TRUE OR FALSE", "bool", "True");
    row("TRUE AND FALSE", "bool", "False");
    row("6 AND 3", "int", "2");
    row("6 OR 3", "int", "7");
    // OR and AND bind like "*": 1 = 1 OR 0 is 1 = (1 OR 0) = ... grouped from the left.
    row("[A] = 1 OR [B] = 2", "int", "0");
    row("([A] = 1) OR ([B] = 2)", "int", "1");
    row("COPY('abcdef', 2, 3)", "text", "bcd");
    row("COPY('abc', 0, 2)", "text", "ab");
    row("COPY('abc', 5, 2)", "text", "");
    row("IF(1 > 2, 'a', 'b')", "text", "b");
    row("IF(2 > 1, 'a', 'b')", "text", "a");
    row("IF(0.5, 'a', 'b')", "text", "b");
    row("IF(TRUE, 'a', 'b')", "text", "a");
    row("", "int", "0");
    row("2 + 3 ; ignored", "float", "5");
    row("[Price] * 2", "float", "5");
    row("price * 2", "float", "8");
    row("[S] + 'c'", "text", "abc");
    row("[N] + 1", "null", "");
    row("[N] + 'x'", "text", "x");
    row("STR([N])", "text", "");
    row("[N] = [N]", "int", "1");
    row("TWICE(21)", "float", "42");
    row("TWICE(TWICE(1) + 1)", "float", "6");
    row("2 + TWICE(3) * 2", "float", "14");
    row("1e3 + 1", "float", "1001");
    row("TRUE = 'true'", "int", "1");
    row("FALSE = 'True'", "int", "0");
}

void TestExpr::evaluate()
{
    QFETCH(QString, expr);
    QFETCH(QString, type);
    QFETCH(QString, text);
    Env env;
    const QVariant v = env.p.Calculate(expr);
    QCOMPARE(typeOf(v), type);
    QCOMPARE(frVarToStr(v), text);
}

void TestExpr::translate_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QString>("compiled");
    QTest::newRow("precedence") << "2 + 3 * 4" << QStringLiteral("2 3 4 *+");
    QTest::newRow("unary minus") << "-A" << QStringLiteral("A ") + QChar(9);
    QTest::newRow("left grouping") << "10 - 4 - 3" << QStringLiteral("10 4 -3 -");
    QTest::newRow("not equal") << "a<>b" << QStringLiteral("a b ") + QChar(3);
    QTest::newRow("call verbatim") << "F(1, 2) + 1" << QStringLiteral("F(1, 2)1 +");
    QTest::newRow("bracket") << "[Order No] * 2" << QStringLiteral("[Order No] 2 *");
    QTest::newRow("keyword") << "NOT 0" << QStringLiteral("0 ") + QChar(12);
    QTest::newRow("unmatched close ignored") << "2 + 3)" << QStringLiteral("2 3 +");
    QTest::newRow("quoted field") << "Orders.\"Cust Name\"" << QStringLiteral("Orders.\"Cust Name\" ");
}

void TestExpr::translate()
{
    QFETCH(QString, expr);
    QFETCH(QString, compiled);
    TfrParser p;
    QCOMPARE(p.Translate(expr), compiled);
}

void TestExpr::errors_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("conversion");
    QTest::newRow("text is not a number") << "'abc' * 2" << true;
    QTest::newRow("malformed number") << "1.2.3 + 1" << true;
    QTest::newRow("bad date") << "STRTODATE('31-02-2020')" << true;
    QTest::newRow("unmatched open") << "(2 + 3" << false;
    QTest::newRow("unbalanced call") << "COPY('abc', 1, 2" << false;
    QTest::newRow("unterminated quote") << "'abc" << false;
    QTest::newRow("unclosed bracket") << "[abc + 1" << false;
    QTest::newRow("missing operand") << "2 +" << false;
    QTest::newRow("lone operator") << "*" << false;
    QTest::newRow("lone not") << "NOT" << false;
    QTest::newRow("operator after operator") << "2 * -3" << false;
    QTest::newRow("four arguments") << "COPY('abc', 1, 2, 3)" << false;
    QTest::newRow("mod by zero") << "5 MOD 0" << false;
}

void TestExpr::errors()
{
    QFETCH(QString, expr);
    QFETCH(bool, conversion);
    Env env;
    try {
        env.p.Calculate(expr);
        QFAIL("no error raised");
    } catch (const EfrConversionError &e) {
        QVERIFY2(conversion, e.what());
    } catch (const EfrParserError &e) {
        QVERIFY2(!conversion, e.what());
        QVERIFY(!e.message().isEmpty());
    }
}

void TestExpr::handlerNames()
{
    Env env;
    env.p.Calculate(QStringLiteral("[Price] * 2 + price + [a b] + x_1"));
    QCOMPARE(env.asked, (QStringList{"Price", "PRICE", "a b", "X_1"}));
    // Without handlers names give Null, calls Null.
    TfrParser bare;
    QVERIFY(frIsNull(bare.Calculate(QStringLiteral("[X]"))));
    QVERIFY(frIsNull(bare.Calculate(QStringLiteral("F(1)"))));
}

void TestExpr::ifIsLazy()
{
    Env env;
    QCOMPARE(frVarToStr(env.p.Calculate(QStringLiteral("IF(1 > 2, BOOM(1), 'b')"))), QStringLiteral("b"));
    QVERIFY(env.calls.isEmpty());
    QCOMPARE(frVarToStr(env.p.Calculate(QStringLiteral("IF(2 > 1, BOOM(1), NOPE(2))"))), QStringLiteral("evaluated"));
    QCOMPARE(env.calls, QStringList{"BOOM|1||"});
}

void TestExpr::getArray()
{
    Env env;
    env.p.Calculate(QStringLiteral("Arr[3]"));
    QCOMPARE(env.calls, QStringList{"GETARRAY|Arr| 3|"});
}

void TestExpr::nestedCalls()
{
    Env env;
    env.p.Calculate(QStringLiteral("f(a, g(b, c), 'x,y')"));
    QCOMPARE(env.calls.first(), QStringLiteral("F|a| g(b, c)| 'x,y'"));
}

void TestExpr::selfReferenceStopsAtNestingLimit()
{
    // A handler that evaluates the name again would recurse without end.
    TfrParser p;
    p.ValueHandler = [&p](const QString &name, QVariant &v) { v = p.Calculate(name); };
    QVERIFY_THROWS_EXCEPTION(EfrParserError, p.Calculate(QStringLiteral("[Loop]")));
    // The parser is still usable afterwards.
    QCOMPARE(frVarToStr(p.Calculate(QStringLiteral("1 + 1"))), QStringLiteral("2"));
}

void TestExpr::stackLimit()
{
    TfrParser p;
    // 32 pending values fit, 33 do not (right-leaning "+" keeps them all pending).
    QString fits = QStringLiteral("1");
    for (int i = 0; i < 31; ++i)
        fits = QStringLiteral("1 + (") + fits + QLatin1Char(')');
    QCOMPARE(frVarToStr(p.Calculate(fits)), QStringLiteral("32"));
    const QString tooMany = QStringLiteral("1 + (") + fits + QLatin1Char(')');
    try {
        p.Calculate(tooMany);
        QFAIL("no error");
    } catch (const EfrParserError &e) {
        QVERIFY(e.message().contains(QLatin1String("32")));
    }
}

void TestExpr::garbageNeverCrashes()
{
    // Random texts over the characters the parser cares about: every one either gives
    // a value or a parser/conversion error; none crashes or hangs.
    const QString alphabet = QStringLiteral("()[]'\",;%+-*/<>= 1.aXNOTMODIF\r\n\t") + QChar(9) + QChar(3);
    QRandomGenerator rng(4242);
    Env env;
    QStringList found;
    TfrVariables vars;
    vars.SetValue(QStringLiteral("a"), QVariant(QStringLiteral("SUM(a")));
    for (int i = 0; i < 3000; ++i) {
        QString s;
        const int n = int(rng.bounded(1, 16));
        for (int k = 0; k < n; ++k)
            s += alphabet[int(rng.bounded(int(alphabet.size())))];
        try {
            env.p.Calculate(s);
        } catch (const EfrParserError &) {
        }
        try {
            env.p.Evaluate(s);   // not a compiled text at all
        } catch (const EfrParserError &) {
        }
        try {
            TfrFunctionSplitter(QStringList{QStringLiteral("SUM")}, &vars, found).Split(s);
        } catch (const EfrParserError &) {
        }
    }
}

void TestExpr::dates()
{
    TfrParser p;
    const QVariant d = p.Calculate(QStringLiteral("STRTODATE('2024-02-29')"));
    QCOMPARE(frVarToStr(d), QStringLiteral("2024-02-29"));
    QCOMPARE(frVarToStr(p.Calculate(QStringLiteral("STRTODATE('2024-02-29') + 1"))), QStringLiteral("2024-03-01"));
    QCOMPARE(frVarToStr(p.Calculate(QStringLiteral("STRTOTIME('14:05')"))), QStringLiteral("14:05:00"));
    QCOMPARE(frVarToStr(p.Calculate(QStringLiteral("STRTODATE('2024-02-29') > '2024-01-31'"))), QStringLiteral("1"));
    QCOMPARE(frDateTimeToDouble(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
    QCOMPARE(frDateTimeToDouble(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    QCOMPARE(frDoubleToDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}

void TestExpr::extractBracketed()
{
    int finish = 0;
    QCOMPARE(ExtractBracketed(QStringLiteral("[a[b]c]"), 1, finish), QStringLiteral("a[b]c"));
    QCOMPARE(finish, 7);
    QCOMPARE(ExtractBracketed(QStringLiteral("x[IF(1, ']', 'b')] y"), 2, finish), QStringLiteral("IF(1, ']', 'b')"));
    QCOMPARE(finish, 18);
    QCOMPARE(ExtractBracketed(QStringLiteral("[\"a]b\"]"), 1, finish), QStringLiteral("\"a]b\""));
    QCOMPARE(ExtractBracketed(QStringLiteral("abc"), 2, finish), QString());
    QCOMPARE(finish, 2);
    QCOMPARE(ExtractBracketed(QStringLiteral("[abc"), 1, finish), QStringLiteral("abc"));
    QCOMPARE(finish, 5);
}

void TestExpr::expandBrackets()
{
    Env env;
    const QString out = frExpandBrackets(QStringLiteral("Total: [Price * 2] / [S]!"), [&](const QString &inner) {
        return frVarToStr(env.p.Calculate(inner));
    });
    QCOMPARE(out, QStringLiteral("Total: 8 / ab!"));
    // Values holding "[" are not expanded again.
    QCOMPARE(frExpandBrackets(QStringLiteral("[x][y]"), [](const QString &i) { return QLatin1Char('[') + i; }),
             QStringLiteral("[x[y"));
}

void TestExpr::splitArguments()
{
    QString a1, a2, a3;
    int pos = 5;
    const QString s = QStringLiteral("COPY('a,b', (1, 2), x)+1");
    TfrParser::SplitArguments(s, pos, a1, a2, a3);
    QCOMPARE(a1, QStringLiteral("'a,b'"));
    QCOMPARE(a2, QStringLiteral(" (1, 2)"));
    QCOMPARE(a3, QStringLiteral(" x"));
    QCOMPARE(s.mid(pos - 1), QStringLiteral("+1"));
    int p2 = 1;
    QCOMPARE(TfrParser::ReadQuoted(QStringLiteral("'it''s' rest"), p2), QStringLiteral("'it''s'"));
    QCOMPARE(p2, 8);
    int p3 = 1;
    QCOMPARE(TfrParser::ReadIdentifier(QStringLiteral("  Orders.\"A B\"+1"), p3), QStringLiteral("Orders.\"A B\""));
    QCOMPARE(p3, 15);
}

void TestExpr::splitter()
{
    const QStringList match{QStringLiteral("SUM")};
    QStringList found;
    TfrFunctionSplitter sp(match, nullptr, found);
    sp.Split(QStringLiteral("SUM([A]) + SUM(SUM([B]))"));
    QCOMPARE(found, (QStringList{"SUM([A])", "SUM([B])", " SUM(SUM([B]))"}));

    // A dictionary variable's text is split too; quoted texts are not walked.
    TfrVariables vars;
    vars.SetValue(QStringLiteral("Total"), QVariant(QStringLiteral("sum([Qty])")));
    QStringList found2;
    TfrFunctionSplitter sp2(match, &vars, found2);
    sp2.Split(QStringLiteral("[Total] * 2"));
    sp2.Split(QStringLiteral("'SUM(1)'"));
    QCOMPARE(found2, QStringList{"sum([Qty])"});
}

void TestExpr::splitterVariableCycle()
{
    TfrGlobals globals;
    TfrVariables vars;
    vars.SetValue(QStringLiteral("A"), QVariant(QStringLiteral("[B] + 1")));
    vars.SetValue(QStringLiteral("B"), QVariant(QStringLiteral("[A]")));
    QStringList found;
    TfrFunctionSplitter sp(QStringList{QStringLiteral("SUM")}, &vars, found);
    try {
        sp.Split(QStringLiteral("[A]"));
        QFAIL("no error");
    } catch (const EfrParserError &e) {
        QCOMPARE(e.message(), QStringLiteral("符号没定义 \"A\""));
    }
}

void TestExpr::floatToStr_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<QString>("text");
    QTest::newRow("int") << 14.0 << "14";
    QTest::newRow("fraction") << 0.25 << "0.25";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("15 digits") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("small fixed") << 0.00001 << "0.00001";
    QTest::newRow("tiny") << 0.000001 << "1E-6";
    QTest::newRow("large") << 1e15 << "1E15";
    QTest::newRow("below limit") << 123456789012345.0 << "123456789012345";
    QTest::newRow("min start") << 1e300 << "1E300";
}

void TestExpr::floatToStr()
{
    QFETCH(double, v);
    QFETCH(QString, text);
    QCOMPARE(frFloatToStr(v), text);
}

void TestExpr::variables()
{
    TfrVariables v;
    v.SetValue(QStringLiteral("b"), QVariant(1));
    v.SetValue(QStringLiteral("a"), QVariant(2));
    v.SetValue(QStringLiteral("B"), QVariant(3));   // same entry, case ignored
    QCOMPARE(v.Count(), 2);
    QCOMPARE(v.GetName(0), QStringLiteral("b"));
    QCOMPARE(v.GetValue(QStringLiteral("b")).toInt(), 3);
    QVERIFY(frVarKind(v.GetValue(QStringLiteral("zz"))) == TfrVarKind::Null);
    QCOMPARE(v.GetValueAt(9).toInt(), 0);
    QCOMPARE(v.GetName(9), QString());
    v.SetValueAt(9, QVariant(5));                   // ignored
    v.Insert(0, QStringLiteral("c"));
    QCOMPARE(v.Names(), (QStringList{"c", "b", "a"}));
    QCOMPARE(v.GetValue(QStringLiteral("c")).toInt(), 0);
    v.Delete(1);
    v.Delete(7);
    QCOMPARE(v.Names(), (QStringList{"c", "a"}));
    TfrVariables w;
    w.Assign(v);
    QCOMPARE(w.Names(), v.Names());
    QCOMPARE(w.IndexOf(QStringLiteral("A")), 1);
}

void TestExpr::sortedVariables()
{
    TfrVariables v;
    v.SetValue(QStringLiteral("zeta"), QVariant(1));
    v.SetValue(QStringLiteral("Alpha"), QVariant(2));
    v.SetSorted(true);
    v.SetValue(QStringLiteral("mid"), QVariant(3));
    v.SetValue(QStringLiteral("ALPHA"), QVariant(4));
    QCOMPARE(v.Names(), (QStringList{"Alpha", "mid", "zeta"}));
    QCOMPARE(v.GetValue(QStringLiteral("alpha")).toInt(), 4);
}

void TestExpr::globalsTables()
{
    TfrGlobals globals;
    QVERIFY(GlobalParser && GlobalVariables && ScriptConstants);
    {
        TfrGlobals second;   // inert while the first runs
    }
    QVERIFY(GlobalParser && TfrGlobals::Created());
    QCOMPARE(EngineCharset, 1);
    QCOMPARE(BandTypeNames.size(), 23);
    QCOMPARE(BandTypeNames.first(), QStringLiteral("报表标题"));
    QCOMPARE(BandTypeNames.last(), QStringLiteral("无"));
    QCOMPARE(BooleanFormats, (QStringList{"0;1", "否;是", "_;x", "假;真"}));
    QCOMPARE(DateFormats.at(2), QStringLiteral("yyyy''年''mm''月''dd''日''"));
    QCOMPARE(TimeFormats, (QStringList{"hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"}));
    QCOMPARE(ScriptConstants->GetValue(QStringLiteral("clred")).toInt(), 0x0000FF);
    QCOMPARE(ScriptConstants->GetValue(QStringLiteral("clTransparent")).toInt(), 0x1FFFFFFF);
    QCOMPARE(quint32(ScriptConstants->GetValue(QStringLiteral("clBtnFace")).toInt()), 0xFF00000Fu);
    QCOMPARE(ScriptConstants->GetValue(QStringLiteral("mb_YesNoCancel")).toInt(), 3);
    QCOMPARE(ScriptConstants->GetValue(QStringLiteral("CRLF")).toString(), QStringLiteral("\r\n"));
    QVERIFY(frVarKind(ScriptConstants->GetValue(QStringLiteral("Null"))) == TfrVarKind::Null);
    QCOMPARE(PatternBitmap->pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(PatternBitmap->pixel(1, 0), qRgb(192, 192, 192));
    // A few resource strings the engine and the designer read.
    QCOMPARE(GetLocalizedString(frRes::UndefinedSymbol), QStringLiteral("符号没定义"));
    QCOMPARE(GetLocalizedString(55016), QStringLiteral("A4 210 x 297 mm"));
    QCOMPARE(GetLocalizedString(55008), QStringLiteral("Letter, 8 1/2 x 11\""));
    QCOMPARE(GetLocalizedString(frRes::DsgCutB), QStringLiteral("剪切"));
    QCOMPARE(GetLocalizedString(frRes::DsgN34), QStringLiteral("关于(&A)..."));
    QCOMPARE(GetLocalizedString(58104), QStringLiteral("WordWrap="));
    QVERIFY(frHasResourceString(55193) && GetLocalizedString(55193).isEmpty());
    QVERIFY(!frHasResourceString(54999));
    GetEngineLocale()->OnLocalize = [](int id, QString &t) { if (id == 55000) t = QStringLiteral("OK"); };
    QCOMPARE(GetLocalizedString(55000), QStringLiteral("OK"));
    QCOMPARE(GetLocalizedString(55001), QStringLiteral("取消"));
    GetEngineLocale()->OnLocalize = nullptr;
}

void TestExpr::functionLibraries()
{
    TfrGlobals globals;
    frUnregisterStandardLibraries();   // this test looks at its own library alone
    auto make = [] { return std::make_unique<TestLib>(); };
    TfrFunctionLibrary *a = RegisterFunctionLibrary(QStringLiteral("TestLib"), make);
    TfrFunctionLibrary *b = RegisterFunctionLibrary(QStringLiteral("TestLib"), make);
    QCOMPARE(a, b);
    QCOMPARE(TestLib::made, 1);
    QCOMPARE(frInstalledFunctions().Count(), 2);
    // A report's function handler asks the libraries first.
    GlobalParser->FunctionHandler = [](const QString &name, const QVariant &p1, const QVariant &p2,
                                       const QVariant &p3, QVariant &v) {
        if (!frCallFunctionLibraries(name, p1, p2, p3, v))
            v = QVariant(QStringLiteral("0"));
    };
    QCOMPARE(frVarToStr(GlobalParser->Calculate(QStringLiteral("len('货品') + echo(2)"))), QStringLiteral("4"));
    QCOMPARE(frVarToStr(GlobalParser->Calculate(QStringLiteral("unknown(1)"))), QStringLiteral("0"));
    QStringList l;
    frInstalledFunctions().GetCategoryList(l);
    QCOMPARE(l, (QStringList{"其它", "字符串"}));
    frInstalledFunctions().GetFunctionList(GetLocalizedString(frRes::AllFunctions), l);
    QCOMPARE(l, (QStringList{"ECHO", "LEN"}));
    QCOMPARE(frInstalledFunctions().GetFunctionDescription(QStringLiteral("len")), QStringLiteral("LEN(<S>)/length"));
    UnregisterFunctionLibrary(QStringLiteral("TestLib"));
    QVERIFY(frFunctionLibraries().isEmpty());
    QCOMPARE(frInstalledFunctions().Count(), 0);
    GlobalParser->FunctionHandler = nullptr;
}

QTEST_GUILESS_MAIN(TestExpr)
#include "tst_expr.moc"
