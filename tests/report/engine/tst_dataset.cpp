// Report data sets over the in-memory table, field values and dotted-name lookups.
#include "report/engine/frdataset.h"
#include "report/engine/frutils.h"
#include "report/engine/frvalue.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

namespace {
// Walks a cursor the way the band engine does and lists the record numbers seen.
QList<int> walk(TfrDataset &ds, const std::function<int()> &current = {})
{
    QList<int> seen;
    ds.Init();
    ds.First();
    int guard = 0;
    while (!ds.Eof() && guard++ < 100) {
        seen << (current ? current() : ds.RecNo);
        ds.Next();
    }
    ds.Exit();
    return seen;
}

TfrMemoryTable *makeTable(QObject *parent, int rows)
{
    auto *t = new TfrMemoryTable(QStringLiteral("Goods"), parent);
    t->AddField(QStringLiteral("Code"), TfrFieldType::Integer);
    t->AddField(QStringLiteral("Name"), TfrFieldType::String);
    for (int i = 0; i < rows; ++i)
        t->AppendRow({i + 1, QStringLiteral("g%1").arg(i + 1)});
    return t;
}
} // namespace

class TestDataset : public QObject {
    Q_OBJECT
private slots:
    void userDatasetCount();
    void userDatasetCheckEof();
    void userDatasetWithoutEnd();
    void dbDatasetWalk_data();
    void dbDatasetWalk();
    void dbDatasetOpenClose();
    void dbDatasetPrior();
    void dbDatasetWithoutData();
    void dataLinkAndDestroyedDataSet();
    void fieldValues();
    void lookups();
    void componentsOfClass();
    void blobHeader();
    void textRoutines();
};

void TestDataset::userDatasetCount()
{
    TfrUserDataset ds;
    ds.RangeEnd = reCount;
    ds.RangeEndCount = 3;
    int nexts = 0;
    ds.OnNext = [&](TfrDataset *) { ++nexts; };
    QCOMPARE(walk(ds), (QList<int>{0, 1, 2}));
    QCOMPARE(nexts, 2);   // not raised for the step that reaches 3
}

void TestDataset::userDatasetCheckEof()
{
    TfrUserDataset ds;
    int nexts = 0;
    ds.OnNext = [&](TfrDataset *) { ++nexts; };
    ds.OnCheckEOF = [&](TfrDataset *, bool &eof) { eof = nexts >= 3; };
    QCOMPARE(walk(ds), (QList<int>{0, 1, 2}));
}

void TestDataset::userDatasetWithoutEnd()
{
    // No count and no end handler would never end: treated as empty.
    TfrUserDataset ds;
    QVERIFY(walk(ds).isEmpty());
}

void TestDataset::dbDatasetWalk_data()
{
    QTest::addColumn<int>("begin");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("startRow");   // cursor position before Init
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("first..last") << int(rbFirst) << int(reLast) << 0 << 2 << QList<int>{1, 2, 3, 4};
    QTest::newRow("current..last") << int(rbCurrent) << int(reLast) << 0 << 2 << QList<int>{3, 4};
    QTest::newRow("current only") << int(rbCurrent) << int(reCurrent) << 0 << 1 << QList<int>{2};
    QTest::newRow("first..current") << int(rbFirst) << int(reCurrent) << 0 << 2 << QList<int>{1, 2, 3};
    QTest::newRow("first, count 2") << int(rbFirst) << int(reCount) << 2 << 0 << QList<int>{1, 2};
    QTest::newRow("count beyond rows") << int(rbFirst) << int(reCount) << 9 << 0 << QList<int>{1, 2, 3, 4};
    QTest::newRow("current, count 1") << int(rbCurrent) << int(reCount) << 1 << 3 << QList<int>{4};
}

void TestDataset::dbDatasetWalk()
{
    QFETCH(int, begin);
    QFETCH(int, end);
    QFETCH(int, count);
    QFETCH(int, startRow);
    QFETCH(QList<int>, codes);
    QObject owner;
    TfrMemoryTable *t = makeTable(&owner, 4);
    t->Open();
    t->First();
    for (int i = 0; i < startRow; ++i)
        t->Next();
    TfrDBDataSet ds(&owner);
    ds.SetDataSet(t);
    ds.RangeBegin = TfrRangeBegin(begin);
    ds.RangeEnd = TfrRangeEnd(end);
    ds.RangeEndCount = count;
    QCOMPARE(walk(ds, [t] { return t->Value(0).toInt(); }), codes);
    // Exit returns to the bookmarked record when one was taken.
    if (begin == rbCurrent || end == reCurrent)
        QCOMPARE(t->CurrentRow(), startRow);
}

void TestDataset::dbDatasetOpenClose()
{
    QObject owner;
    TfrMemoryTable *t = makeTable(&owner, 2);
    TfrDBDataSet ds(&owner);
    ds.SetDataSet(t);
    int opened = 0, closed = 0;
    ds.OnOpen = [&](TfrDataset *) { ++opened; };
    ds.OnClose = [&](TfrDataset *) { ++closed; };
    QCOMPARE(walk(ds).size(), 2);
    QVERIFY(t->IsOpen());
    QCOMPARE(t->OpenCount, 1);
    QCOMPARE(opened, 1);
    QCOMPARE(closed, 1);
    ds.CloseDataSource = true;
    walk(ds);
    QVERIFY(!t->IsOpen());
    // OpenDataSource off leaves a closed data set closed (its own rules apply).
    ds.OpenDataSource = false;
    ds.Init();
    QVERIFY(!t->IsOpen());
    QVERIFY(ds.Eof());
    // An empty table yields no record.
    TfrMemoryTable *empty = makeTable(&owner, 0);
    TfrDBDataSet ds2(&owner);
    ds2.SetDataSet(empty);
    QVERIFY(walk(ds2).isEmpty());
}

void TestDataset::dbDatasetPrior()
{
    QObject owner;
    TfrMemoryTable *t = makeTable(&owner, 3);
    TfrDBDataSet ds(&owner);
    ds.SetDataSet(t);
    int priors = 0;
    ds.OnPrior = [&](TfrDataset *) { ++priors; };
    ds.Init();
    ds.First();
    ds.Next();
    ds.Next();
    ds.Prior();   // a group change steps back one record
    QCOMPARE(t->Value(0).toInt(), 2);
    QCOMPARE(ds.RecNo, 1);
    QCOMPARE(priors, 1);
    ds.Next();
    ds.Next();
    QVERIFY(ds.Eof());
    ds.Exit();
}

void TestDataset::dbDatasetWithoutData()
{
    TfrDBDataSet ds;
    ds.setObjectName(QStringLiteral("frDBDataSet1"));
    try {
        ds.Init();
        QFAIL("no error");
    } catch (const EfrDataError &e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to open dataset frDBDataSet1"));
    }
    TfrDataLink link(QStringLiteral("DataSource1"));
    ds.SetDataSource(&link);   // a data source without a data set
    QVERIFY_THROWS_EXCEPTION(EfrDataError, ds.First());
}

void TestDataset::dataLinkAndDestroyedDataSet()
{
    QObject owner;
    TfrMemoryTable *t = makeTable(&owner, 3);
    TfrDataLink link(QStringLiteral("DataSource1"));
    link.SetDataSet(t);
    TfrDBDataSet ds;
    ds.SetDataSet(t);
    ds.SetDataSource(&link);          // clears DataSet
    QVERIFY(ds.DataSet() == nullptr);
    QCOMPARE(walk(ds).size(), 3);
    ds.SetDataSet(t);                 // clears DataSource
    QVERIFY(ds.DataSource() == nullptr);
    delete t;                         // references are cleared
    QVERIFY(ds.DataSet() == nullptr);
    QVERIFY(link.DataSet() == nullptr);
    QVERIFY_THROWS_EXCEPTION(EfrDataError, ds.Init());
}

void TestDataset::fieldValues()
{
    TfrMemoryTable t(QStringLiteral("T"));
    t.AddField(QStringLiteral("S"), TfrFieldType::String);
    t.AddField(QStringLiteral("W"), TfrFieldType::WideString);
    t.AddField(QStringLiteral("B"), TfrFieldType::Boolean);
    t.AddField(QStringLiteral("N"), TfrFieldType::Float);
    t.AddField(QStringLiteral("D"), TfrFieldType::DateTime);
    t.AddField(QStringLiteral("L"), TfrFieldType::LargeInt);
    t.AddField(QStringLiteral("M"), TfrFieldType::Float);
    t.SetDisplayHandler(6, [](const QVariant &v) { return QStringLiteral("¥%1").arg(v.toDouble(), 0, 'f', 2); });
    t.AppendRow({});
    t.AppendRow({QStringLiteral("x"), QStringLiteral("y"), true, 1.5, QDateTime(QDate(2020, 1, 2), QTime(0, 0)),
                 qint64(12345678901LL), 3.0});
    // Reading opens a closed data set.
    QVERIFY(FieldValue(&t, QStringLiteral("s")).toString().isEmpty());
    QVERIFY(t.IsOpen());
    const QVariant s = FieldValue(&t, QStringLiteral("S"));
    QCOMPARE(s.typeId(), int(QMetaType::QString));
    QCOMPARE(FieldValue(&t, QStringLiteral("W")).toString(), QString());
    QCOMPARE(FieldValue(&t, QStringLiteral("B")), QVariant(false));
    QCOMPARE(FieldValue(&t, QStringLiteral("N")), QVariant(0));
    QCOMPARE(FieldValue(&t, QStringLiteral("D")), QVariant(0));
    QCOMPARE(FieldValue(&t, QStringLiteral("L")), QVariant(QString()));
    t.Next();
    QCOMPARE(FieldValue(&t, QStringLiteral("S")).toString(), QStringLiteral("x"));
    QCOMPARE(FieldValue(&t, QStringLiteral("B")), QVariant(true));
    QCOMPARE(FieldValue(&t, QStringLiteral("L")), QVariant(QStringLiteral("12345678901")));
    QCOMPARE(FieldValue(&t, QStringLiteral("M")), QVariant(QStringLiteral("¥3.00")));
    QVERIFY_THROWS_EXCEPTION(EfrDataError, FieldValue(&t, QStringLiteral("Nope")));
}

void TestDataset::lookups()
{
    auto *module = new QObject;
    module->setObjectName(QStringLiteral("frmDataModule"));
    makeTable(module, 2)->setObjectName(QStringLiteral("ADOQuery1"));
    auto *sub = new QObject(module);
    sub->setObjectName(QStringLiteral("Sub"));
    auto *deep = makeTable(sub, 1);
    deep->setObjectName(QStringLiteral("Inner"));
    deep->AddField(QStringLiteral("A.B"), TfrFieldType::String);
    auto *form = new QObject;
    form->setObjectName(QStringLiteral("frmPrint"));
    makeTable(form, 1)->setObjectName(QStringLiteral("Local"));
    frRegisterGlobalComponent(module);
    frRegisterGlobalComponent(form, true);
    frSetReportOwner(form);

    QCOMPARE(FindComponentByPath(form, QStringLiteral("local"))->objectName(), QStringLiteral("Local"));
    QCOMPARE(FindComponentByPath(form, QStringLiteral("frmDataModule.ADOQuery1"))->objectName(),
             QStringLiteral("ADOQuery1"));
    QCOMPARE(FindComponentByPath(form, QStringLiteral("frmDataModule.Sub.Inner"))->objectName(),
             QStringLiteral("Inner"));
    QVERIFY(FindComponentByPath(form, QStringLiteral("frmDataModule.Nope")) == nullptr);
    QVERIFY(FindComponentByPath(form, QStringLiteral("Nobody.X")) == nullptr);
    QVERIFY(FindReportComponent(QStringLiteral("Local")) != nullptr);

    IfrDataSource *ds = nullptr;
    QString field;
    FindDataSetField(QStringLiteral("Local.Name"), ds, field);
    QCOMPARE(field, QStringLiteral("Name"));
    QVERIFY(ds == frAsDataSource(FindReportComponent(QStringLiteral("Local"))));
    ds = nullptr;
    FindDataSetField(QStringLiteral("frmDataModule.ADOQuery1.\"code\""), ds, field);
    QCOMPARE(field, QStringLiteral("Code"));
    ds = nullptr;
    FindDataSetField(QStringLiteral("frmDataModule.Sub.Inner.\"A.B\""), ds, field);
    QCOMPARE(field, QStringLiteral("A.B"));
    QVERIFY(ds == deep);
    FindDataSetField(QStringLiteral("Local.Missing"), ds, field);
    QVERIFY(field.isEmpty());
    IfrDataSource *given = deep;
    FindDataSetField(QStringLiteral("\"Name\""), given, field);   // no dot: the given data set
    QCOMPARE(field, QStringLiteral("Name"));
    IfrDataSource *none = nullptr;
    FindDataSetField(QStringLiteral("Name"), none, field);
    QVERIFY(none == nullptr && field.isEmpty());
    FindDataSetField(QStringLiteral("a.b.c.d.e"), none, field);
    QVERIFY(none == nullptr && field.isEmpty());

    frSetReportOwner(nullptr);
    delete form;
    delete module;
    QVERIFY(frGlobalComponents().isEmpty());   // destroyed components are forgotten
}

void TestDataset::componentsOfClass()
{
    auto *form = new QObject;
    form->setObjectName(QStringLiteral("Form1"));
    makeTable(form, 0)->setObjectName(QStringLiteral("T1"));
    auto *rds = new TfrDBDataSet(form);
    rds->setObjectName(QStringLiteral("frDBDataSet1"));
    auto *frame = new QObject(form);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setProperty("frContainer", true);
    makeTable(frame, 0)->setObjectName(QStringLiteral("T3"));
    auto *module = new QObject;
    module->setObjectName(QStringLiteral("DM"));
    makeTable(module, 0)->setObjectName(QStringLiteral("T2"));
    frRegisterGlobalComponent(form, true);
    frRegisterGlobalComponent(module);

    QStringList l;
    GetComponentsOfClass(form, QStringLiteral("IfrDataSource"), l);
    QCOMPARE(l, (QStringList{"Form1.Frame1.T3", "T1", "DM.T2"}));
    GetComponentsOfClass(module, QStringLiteral("TfrMemoryTable"), l);
    QCOMPARE(l, (QStringList{"Form1.Frame1.T3", "Form1.T1", "T2"}));
    GetComponentsOfClass(form, QStringLiteral("TfrDataset"), l);   // an ancestor's class name
    QCOMPARE(l, QStringList{"frDBDataSet1"});
    GetComponentsOfClass(form, QStringLiteral("TfrDataset"), l, rds);
    QVERIFY(l.isEmpty());
    delete form;
    delete module;
}

void TestDataset::blobHeader()
{
    const QByteArray payload("\x89PNG....", 8);
    QByteArray header(8, 0);
    qToLittleEndian<quint16>(1, header.data());
    qToLittleEndian<quint16>(256, header.data() + 2);
    qToLittleEndian<quint32>(quint32(payload.size()), header.data() + 4);
    QCOMPARE(frBlobPayload(header + payload), payload);
    QCOMPARE(frBlobPayload(payload), payload);
    QByteArray wrongSize = header + payload + "x";
    QCOMPARE(frBlobPayload(wrongSize), wrongSize);
    QCOMPARE(frBlobPayload(QByteArray("abc")), QByteArray("abc"));

    TfrMemoryTable t(QStringLiteral("Pics"));
    t.AddField(QStringLiteral("Pic"), TfrFieldType::Graphic);
    t.AddField(QStringLiteral("Name"), TfrFieldType::String);
    t.AppendRow({header + payload, QStringLiteral("p")});
    t.Open();
    QVERIFY(IsBlobField(&t, 0));
    QVERIFY(!IsBlobField(&t, 1));
    QVERIFY(!IsBlobField(&t, 5));
    QCOMPARE(LoadBlobInto(&t, 0), payload);
    QBuffer target;
    target.open(QIODevice::ReadWrite);
    target.write("old content that is longer");
    AssignBlobTo(&t, 0, target);
    QCOMPARE(target.pos(), qint64(0));
    QCOMPARE(target.data(), header + payload);   // raw bytes, header kept
}

void TestDataset::textRoutines()
{
    QCOMPARE(UnquoteText(QStringLiteral("\"ab\"")), QStringLiteral("ab"));
    QCOMPARE(UnquoteText(QStringLiteral("\"\"")), QStringLiteral("\"\""));
    QCOMPARE(UnquoteText(QStringLiteral("\"a")), QStringLiteral("\"a"));
    QStringList l;
    SplitList(QStringLiteral("a;b;;c;"), l);
    QCOMPARE(l, (QStringList{"a", "b", "", "c"}));
    SplitList(QString(), l);
    QVERIFY(l.isEmpty());
    QCOMPARE(ParseFloatText(QStringLiteral(" 1,5 ")), 1.5);
    QCOMPARE(ParseFloatText(QStringLiteral("2.25")), 2.25);
    QVERIFY_THROWS_EXCEPTION(EfrConversionError, ParseFloatText(QStringLiteral("abc")));
    QCOMPARE(GetWindowsVersion(), QStringLiteral("NT"));
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
