// Data dictionary: its block and file, variables, aliases and lookups.
#include "report/engine/frdataset.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frglobals.h"
#include "report/engine/frstream.h"
#include "report/engine/frutils.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray blockOf(const TfrDataDictionary &d)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    d.SaveToStream(b);
    return b.data();
}

void load(TfrDataDictionary &d, const QByteArray &bytes, int version = 25)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    d.LoadFromStream(b, version);
}

// Stream pieces for hand-made blocks.
QByteArray i16(qint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; }
QByteArray i32(qint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; }
QByteArray str(const QByteArray &s) { return i16(qint16(s.size())) + s + QByteArray(1, 0); }
QByteArray shortText(const QByteArray &s) { return QByteArray(1, char(s.size())) + s; }
QByteArray list(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QByteArray out = i32(qint32(entries.size()));
    for (const auto &e : entries)
        out += str(e.first) + str(e.second);
    return out;
}

// A dictionary with two categories, aliases and band sources.
void fill(TfrDataDictionary &d)
{
    d.Variables.SetValue(QStringLiteral(" A"), QVariant(QString()));
    d.Variables.SetValue(QStringLiteral("x"), QVariant(QStringLiteral("2*3")));
    d.Variables.SetValue(QStringLiteral("y"), QVariant(QString()));
    d.Variables.SetValue(QStringLiteral(" B"), QVariant(QString()));
    d.Variables.SetValue(QStringLiteral("z"), QVariant(QStringLiteral("Orders.\"Qty\"")));
    d.FieldAliases.SetValue(QStringLiteral("Orders"), QVariant(QStringLiteral("订单")));
    d.FieldAliases.SetValue(QStringLiteral("Orders.\"Qty\""), QVariant(QStringLiteral("数量")));
    d.BandDataSources.SetValue(QStringLiteral("frDBDataSet1"), QVariant(QString()));
}
} // namespace

class TestDictionary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void blockLayout();
    void blockRoundTrip();
    void flippedNames();
    void markerMinusOneDropsEmptyEntries();
    void olderLayout();
    void malformedBlock_data();
    void malformedBlock();
    void fileRoundTrip();
    void malformedFile_data();
    void malformedFile();
    void categories();
    void values();
    void variableCycles_data();
    void variableCycles();
    void disabledDataSets();
    void aliases();
    void fieldLookups();
    void designerLists();

private:
    TfrGlobals *m_globals = nullptr;
    QObject *m_form = nullptr;
    TfrMemoryTable *m_orders = nullptr;
};

void TestDictionary::initTestCase()
{
    m_globals = new TfrGlobals;
    m_form = new QObject;
    m_form->setObjectName(QStringLiteral("Form1"));
    m_orders = new TfrMemoryTable(QStringLiteral("Orders"), m_form);
    m_orders->AddField(QStringLiteral("No"), TfrFieldType::Integer);
    m_orders->AddField(QStringLiteral("Qty"), TfrFieldType::Float);
    m_orders->AddField(QStringLiteral("Cust.Name"), TfrFieldType::String);
    m_orders->AppendRow({1, 2.5, QStringLiteral("甲")});
    m_orders->AppendRow({2, QVariant(), QVariant()});
    auto *ds = new TfrDBDataSet(m_form);
    ds->setObjectName(QStringLiteral("frDBDataSet1"));
    ds->SetDataSet(m_orders);
    frRegisterGlobalComponent(m_form, true);
    frSetReportOwner(m_form);
    // Names reach the dictionary through the parser, as the report's value handler does.
    GlobalParser->ValueHandler = nullptr;
}

void TestDictionary::cleanupTestCase()
{
    frSetReportOwner(nullptr);
    delete m_form;
    delete m_globals;
}

void TestDictionary::blockLayout()
{
    TfrDataDictionary d;
    QCOMPARE(blockOf(d), i16(-2) + i32(0) + i32(0) + i32(0));
    d.Variables.SetValue(QStringLiteral(" 类"), QVariant(QString()));
    d.Variables.SetValue(QStringLiteral("v"), QVariant(QStringLiteral("1")));
    const QByteArray gbk("\xc0\xe0", 2);   // 类 in code page 936: two bytes
    QCOMPARE(blockOf(d), i16(-2) + list({{QByteArray(" ") + gbk, ""}, {"v", "1"}}) + i32(0) + i32(0));
}

void TestDictionary::blockRoundTrip()
{
    TfrDataDictionary d;
    fill(d);
    const QByteArray bytes = blockOf(d);
    TfrDataDictionary e;
    load(e, bytes);
    QCOMPARE(blockOf(e), bytes);
    QCOMPARE(e.Variables.Names(), (QStringList{" A", "x", "y", " B", "z"}));
    QCOMPARE(e.FieldAliases.GetValue(QStringLiteral("orders.\"qty\"")).toString(), QStringLiteral("数量"));
    // Marker -2 keeps a band source with an empty alias.
    QCOMPARE(e.BandDataSources.Count(), 1);
}

void TestDictionary::flippedNames()
{
    TfrDataDictionary d;
    load(d, i16(-2) + list({{"Cat", ""}, {" v1", "1"}, {" v2", ""}}) + i32(0) + i32(0));
    QCOMPARE(d.Variables.Names(), (QStringList{" Cat", "v1", "v2"}));
}

void TestDictionary::markerMinusOneDropsEmptyEntries()
{
    const QByteArray body = list({}) +
        list({{"Orders.Qty", ""}, {"Orders.\"No\"", ""}, {"Orders.Nope", ""}, {"Ghost.Qty", ""},
              {"Ghost.X", "alias"}}) +
        list({{"frDBDataSet1", ""}, {"other", "alias"}});
    TfrDataDictionary d;
    load(d, i16(-1) + body);
    QCOMPARE(d.FieldAliases.Names(), (QStringList{"Orders.Qty", "Orders.\"No\"", "Ghost.X"}));
    QCOMPARE(d.BandDataSources.Names(), QStringList{"other"});
    TfrDataDictionary e;
    load(e, i16(-2) + body);
    QCOMPARE(e.FieldAliases.Count(), 5);
    QCOMPARE(e.BandDataSources.Count(), 2);
}

void TestDictionary::olderLayout()
{
    // Two typed records (a data field and a special variable), then the variable names.
    QByteArray old = i32(3);
    old += QByteArray(1, 1) + i32(0) + shortText("Orders") + shortText("Qty") + shortText("qty");
    old += QByteArray(1, 2) + i32(0) + shortText("") + shortText("") + shortText("pg");
    old += QByteArray(1, 2) + i32(1) + shortText("") + shortText("1+1") + shortText("two");
    // Categories without a blank, variables with one (the older way round).
    QByteArray names = i16(4) + i16(4) + "Main" + QByteArray(1, 13) + i16(4) + " qty" + QByteArray(1, 13)
        + i16(3) + " pg" + QByteArray(1, 13) + i16(4) + " two" + QByteArray(1, 0);
    TfrDataDictionary d;
    load(d, old + names);
    QCOMPARE(d.Variables.Names(), (QStringList{" Main", "qty", "pg", "two"}));
    QCOMPARE(d.Variables.GetValue(QStringLiteral("qty")).toString(), QStringLiteral("Orders.\"Qty\""));
    QCOMPARE(d.Variables.GetValue(QStringLiteral("pg")).toString(), QStringLiteral("PAGE#"));
    QCOMPARE(d.Variables.GetValue(QStringLiteral("two")).toString(), QStringLiteral("1+1"));
    QCOMPARE(d.FieldAliases.Count(), 0);
    // Old text lists (version 22): lines ended by 13, the list by 0.
    TfrDataDictionary e;
    load(e, i32(0) + QByteArray("Main\r v\r") + QByteArray(1, 0), 22);
    QCOMPARE(e.Variables.Names(), (QStringList{" Main", "v"}));
}

void TestDictionary::malformedBlock_data()
{
    QTest::addColumn<QByteArray>("bytes");
    TfrDataDictionary d;
    fill(d);
    const QByteArray good = blockOf(d);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("marker only") << i16(-2);
    QTest::newRow("cut in a text") << good.left(good.size() / 2);
    QTest::newRow("last byte missing") << good.left(good.size() - 1);
    QTest::newRow("huge count") << i16(-2) + i32(0x7fffffff) + str("a") + str("b");
    QTest::newRow("negative count") << i16(-2) + i32(-5);
    QTest::newRow("text longer than data") << i16(-2) + i32(1) + i16(500) + "abc";
    QTest::newRow("old layout huge count") << i32(1000000) + QByteArray(10, 1);
    QTest::newRow("old layout cut") << i32(1) + QByteArray(1, 1) + i32(0) + shortText("Orders") + QByteArray(1, 30);
}

void TestDictionary::malformedBlock()
{
    QFETCH(QByteArray, bytes);
    TfrDataDictionary d;
    fill(d);
    const QByteArray before = blockOf(d);
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(EfrStreamError, d.LoadFromStream(b));
    QCOMPARE(blockOf(d), before);   // left as it was
    QVERIFY(b.pos() <= copy.size());
}

void TestDictionary::fileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("订单.frd"));
    TfrDataDictionary d;
    fill(d);
    d.SaveToFile(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes, QByteArray(1, 25) + blockOf(d));
    TfrDataDictionary e;
    e.LoadFromFile(path);
    QCOMPARE(blockOf(e), blockOf(d));
    // Overwriting replaces the whole file.
    TfrDataDictionary empty;
    empty.SaveToFile(path);
    e.LoadFromFile(path);
    QCOMPARE(e.Variables.Count(), 0);
}

void TestDictionary::malformedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    TfrDataDictionary d;
    fill(d);
    const QByteArray good = QByteArray(1, 25) + blockOf(d);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not a dictionary") << QByteArray("PK\x03\x04 some zip");
    QTest::newRow("truncated") << good.left(good.size() - 3);
}

void TestDictionary::malformedFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.frd"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TfrDataDictionary d;
    fill(d);
    const QByteArray before = blockOf(d);
    QVERIFY_THROWS_EXCEPTION(EfrStreamError, d.LoadFromFile(path));
    QCOMPARE(blockOf(d), before);
    QVERIFY_THROWS_EXCEPTION(EfrStreamError, d.LoadFromFile(dir.filePath(QStringLiteral("missing.frd"))));
}

void TestDictionary::categories()
{
    TfrDataDictionary d;
    fill(d);
    QStringList l;
    d.GetCategoryList(l);
    QCOMPARE(l, (QStringList{"A", "B"}));
    d.GetVariableList(QStringLiteral("a"), l);
    QCOMPARE(l, (QStringList{"x", "y"}));
    d.GetVariableList(QStringLiteral("B"), l);
    QCOMPARE(l, QStringList{"z"});
    d.GetVariableList(QStringLiteral("C"), l);
    QVERIFY(l.isEmpty());
    d.Clear();
    QCOMPARE(d.Variables.Count() + d.FieldAliases.Count() + d.BandDataSources.Count(), 0);
}

void TestDictionary::values()
{
    TfrDataDictionary d;
    fill(d);
    QVERIFY(d.IsVariable(QStringLiteral("x")));
    QCOMPARE(frVarToStr(d.GetValue(QStringLiteral("x"))), QStringLiteral("6"));
    QCOMPARE(d.GetValue(QStringLiteral("y")).toString(), QString());
    QVERIFY(frIsNull(d.GetValue(QStringLiteral("nope"))));
    // A data-field variable is cached and read from its data set.
    QVERIFY(d.IsVariable(QStringLiteral("z")));
    QVERIFY(d.FieldCache().contains(QStringLiteral("Z")));
    m_orders->Open();
    m_orders->First();
    QCOMPARE(d.GetValue(QStringLiteral("z")).toDouble(), 2.5);
    m_orders->Next();
    QCOMPARE(d.GetValue(QStringLiteral("z")).toInt(), 0);   // Null float field reads as 0
    // A global variable of the same name wins.
    GlobalVariables->SetValue(QStringLiteral("x"), QVariant(QStringLiteral("global")));
    QCOMPARE(d.GetValue(QStringLiteral("x")).toString(), QStringLiteral("global"));
    GlobalVariables->Clear();
    d.ClearCache();
    QVERIFY(d.FieldCache().isEmpty());
}

void TestDictionary::variableCycles_data()
{
    QTest::addColumn<QStringList>("defs");   // name=value
    QTest::addColumn<QString>("ask");
    QTest::addColumn<QString>("error");
    QTest::newRow("itself") << QStringList{"a=a + 1"} << "a" << "符号没定义 \"a\"";
    QTest::newRow("bracketed itself") << QStringList{"a=[a]"} << "a" << "符号没定义 \"a\"";
    QTest::newRow("two") << QStringList{"a=b", "b=a"} << "a" << "符号没定义 \"a\"";
    QTest::newRow("three") << QStringList{"a=[b] * 2", "b=c + 1", "c=IF(1, a, 0)"} << "b" << "符号没定义 \"b\"";
}

void TestDictionary::variableCycles()
{
    QFETCH(QStringList, defs);
    QFETCH(QString, ask);
    QFETCH(QString, error);
    TfrDataDictionary d;
    for (const QString &def : defs) {
        const int eq = int(def.indexOf(QLatin1Char('=')));
        d.Variables.SetValue(def.left(eq), QVariant(def.mid(eq + 1)));
    }
    GlobalParser->ValueHandler = [&d](const QString &name, QVariant &v) {
        if (d.IsVariable(name))
            v = d.GetValue(name);
    };
    try {
        d.GetValue(ask);
        GlobalParser->ValueHandler = nullptr;
        QFAIL("no error");
    } catch (const EfrParserError &e) {
        GlobalParser->ValueHandler = nullptr;
        QCOMPARE(e.message(), error);
    }
    // The dictionary works normally afterwards.
    d.Variables.SetValue(QStringLiteral("ok"), QVariant(QStringLiteral("1 + 1")));
    QCOMPARE(frVarToStr(d.GetValue(QStringLiteral("ok"))), QStringLiteral("2"));
}

void TestDictionary::disabledDataSets()
{
    TfrDataDictionary d;
    d.DisabledDataSets << QStringLiteral("Cust*") << QStringLiteral("Orders");
    QVERIFY(!d.IsDataSetEnabled(QStringLiteral("Customers")));
    QVERIFY(!d.IsDataSetEnabled(QStringLiteral("CustOrders")));
    QVERIFY(d.IsDataSetEnabled(QStringLiteral("customers")));
    QVERIFY(!d.IsDataSetEnabled(QStringLiteral("orders")));
    QVERIFY(d.IsDataSetEnabled(QStringLiteral("Goods")));
}

void TestDictionary::aliases()
{
    TfrDataDictionary d;
    fill(d);
    QCOMPARE(d.GetRealDataSetName(QStringLiteral("订单")), QStringLiteral("Orders"));
    QCOMPARE(d.GetRealDataSetName(QStringLiteral("unknown")), QStringLiteral("unknown"));
    QCOMPARE(d.GetRealFieldName(QStringLiteral("数量")), QStringLiteral("Qty"));
    d.FieldAliases.SetValue(TfrDataDictionary::FieldAliasKey(QStringLiteral("Orders"), QStringLiteral("Cust.Name")),
                            QVariant(QStringLiteral("客户")));
    QCOMPARE(d.GetRealFieldName(QStringLiteral("客户")), QStringLiteral("Cust.Name"));
    QCOMPARE(d.GetAliasName(QStringLiteral("Orders")), QStringLiteral("订单"));
    QCOMPARE(d.GetAliasName(QStringLiteral("frDBDataSet1")), QStringLiteral("frDBDataSet1"));
    d.BandDataSources.SetValue(QStringLiteral("frDBDataSet1"), QVariant(QStringLiteral("明细")));
    QCOMPARE(d.GetRealDataSourceName(QStringLiteral("明细")), QStringLiteral("frDBDataSet1"));
    QString ds = QStringLiteral("keep"), f = QStringLiteral("keep");
    TfrDataDictionary::SplitDataSetField(QStringLiteral("Orders.\"Cust.Name\""), ds, f);
    QCOMPARE(ds, QStringLiteral("Orders"));
    QCOMPARE(f, QStringLiteral("Cust.Name"));
    ds = f = QStringLiteral("keep");
    TfrDataDictionary::SplitDataSetField(QStringLiteral("NoDot"), ds, f);
    QCOMPARE(ds + f, QStringLiteral("keepkeep"));
}

void TestDictionary::fieldLookups()
{
    TfrDataDictionary d;
    fill(d);
    m_orders->Open();
    m_orders->First();
    // By alias: data set alias and field alias.
    QVERIFY(d.IsVariable(QStringLiteral("订单.数量")));
    QCOMPARE(d.GetValue(QStringLiteral("订单.数量")).toDouble(), 2.5);
    // A quoted field name holding a dot.
    QVERIFY(d.IsVariable(QStringLiteral("Orders.\"Cust.Name\"")));
    QCOMPARE(d.GetValue(QStringLiteral("Orders.\"Cust.Name\"")).toString(), QStringLiteral("甲"));
    d.FieldAliases.SetValue(TfrDataDictionary::FieldAliasKey(QStringLiteral("Orders"), QStringLiteral("Cust.Name")),
                            QVariant(QStringLiteral("客户")));
    QVERIFY(d.IsVariable(QStringLiteral("订单.客户")));
    QCOMPARE(d.GetValue(QStringLiteral("订单.客户")).toString(), QStringLiteral("甲"));
    QVERIFY(!d.IsVariable(QStringLiteral("Orders.Missing")));
    QVERIFY(!d.IsVariable(QStringLiteral("Nothing")));
    // Without a data set part the default data set is used.
    frSetDefaultDataSetHook([this]() -> IfrDataSource * { return m_orders; });
    QVERIFY(d.IsVariable(QStringLiteral("No")));
    QCOMPARE(d.GetValue(QStringLiteral("No")).toInt(), 1);
    frSetDefaultDataSetHook(nullptr);
}

void TestDictionary::designerLists()
{
    TfrDataDictionary d;
    QStringList l;
    d.GetDataSetList(l);
    QCOMPARE(l, QStringList{"Orders"});
    d.GetFieldList(QStringLiteral("Orders"), l);
    QCOMPARE(l, (QStringList{"No", "Qty", "Cust.Name"}));
    d.GetBandDataSourceList(l);
    QCOMPARE(l, QStringList{"frDBDataSet1"});
    fill(d);
    d.FieldAliases.SetValue(QStringLiteral("Orders.No"), QVariant(QString()));   // hidden (unquoted key form)
    d.GetDataSetList(l);
    QCOMPARE(l, QStringList{"订单"});
    d.GetFieldList(QStringLiteral("订单"), l);
    QCOMPARE(l, (QStringList{"No", "Qty", "Cust.Name"}));   // keys are under the real name
    d.GetFieldList(QStringLiteral("Orders"), l);
    QCOMPARE(l, (QStringList{"数量", "Cust.Name"}));
    d.DisabledDataSets << QStringLiteral("Ord*");
    d.GetDataSetList(l);
    QVERIFY(l.isEmpty());
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
