// Building prepared pages: the printing protocol of the document windows
// (OnManualBuild printing bands by name) and the page-forming rules of the data loop.
#include "templatebuilder.h"

#include "report/engine/frbuild.h"
#include "report/engine/frdataset.h"
#include "report/engine/frfunclib.h"
#include "report/engine/frglobals.h"
#include "report/engine/frprepared.h"
#include "report/engine/frprinter.h"
#include "scriptedprompt.h"

#include <QtTest>

using namespace orv::test;

namespace {

// One printed object of a prepared page.
struct Printed {
    QString name;
    int top = 0;
    int height = 0;
    QString text;
};

QList<Printed> pageObjects(TfrReport &r, int index)
{
    TfrEMFPages &pages = r.EMFPages();
    pages.ObjectsToPage(index);
    QList<Printed> out;
    for (TfrView *v : pages[index]->Page->Objects)
        out.append(Printed{v->Name, v->Top, v->Height, v->Memo.join(QLatin1Char('\n'))});
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

int count(TfrReport &r, int index, const QString &name) { return int(texts(r, index, name).size()); }

TfrMemoView *memoOf(TfrReport &r, const QString &name)
{
    return dynamic_cast<TfrMemoView *>(r.FindObject(name));
}

// A document form: title, page header (not on the first page), column heads, one
// line band, totals and a page footer with the page number.
void documentTemplate(TfrReport &r, int lineHeight = 18)
{
    TemplateBuilder b(r);
    b.page();
    b.band(0, btReportTitle, "报表标题1", 0, 40);
    b.memo(0, "Memo1", {54, 10, 400, 24}, {"标题"});
    TfrBandView *ph = b.band(0, btPageHeader, "页头1", 50, 20);
    ph->Flags &= ~flBandOnFirstPage;
    b.memo(0, "Memo40", {54, 52, 200, 18}, {"续页"});
    b.band(0, btMasterHeader, "主项头1", 80, 30);
    b.memo(0, "Memo3", {54, 84, 300, 18}, {"单位"});
    b.band(0, btMasterData, "主项数据1", 120, lineHeight);
    b.memo(0, "Memo18", {54, 120, 200, lineHeight}, {""});
    b.memo(0, "Memo21", {260, 120, 100, lineHeight}, {""});
    b.band(0, btMasterFooter, "主项脚1", 150, 40);
    b.memo(0, "Memo26", {260, 154, 100, 18}, {""});
    b.band(0, btPageFooter, "页脚1", 200, 30);
    b.memo(0, "Memo4", {54, 204, 300, 18}, {"第[PAGE#]页"});
}
// A data set of goods rows under an owner the report sits on: "Goods" (the table) and
// "frGoods" (the report cursor over it).
struct GoodsData {
    QObject owner;
    TfrMemoryTable *table = new TfrMemoryTable("Goods", &owner);
    TfrDBDataSet *cursor = new TfrDBDataSet(&owner);
    explicit GoodsData(const QList<QPair<QString, QString>> &rows)
    {
        cursor->setObjectName("frGoods");
        table->AddField("类别");
        table->AddField("名称");
        for (const auto &r : rows)
            table->AppendRow({r.first, r.second});
        cursor->SetDataSet(table);
    }
};

// A detail level: each time the loop starts over it, it holds the rows of its master's
// current record.
class LinkedTable : public TfrMemoryTable {
public:
    LinkedTable(const QString &name, QObject *owner, IfrDataSource *master, QMap<QString, QStringList> rows)
        : TfrMemoryTable(name, owner), m_master(master), m_rows(std::move(rows))
    {
        AddField("名");
    }
    void First() override
    {
        ClearRows();
        for (const QString &row : m_rows.value(m_master->Value(0).toString()))
            AppendRow({row});
        TfrMemoryTable::First();
    }

private:
    IfrDataSource *m_master;
    QMap<QString, QStringList> m_rows;
};

TfrDBDataSet *cursorOver(IfrDataSource *table, QObject *owner, const QString &name)
{
    auto *c = new TfrDBDataSet(owner);
    c->setObjectName(name);
    c->SetDataSet(table);
    return c;
}

} // namespace

class TstBuild : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitReportPrinter(std::make_unique<TfrNoPrinters>());
        frEnsureGlobals();
    }
    void init() { EngineHooks = TfrEngineHooks(); }

    // The protocol of the document windows, end to end: 60 lines set into the line
    // slots before each band is shown by name.
    void manualBuildSixtyLines()
    {
        TfrReport r;
        documentTemplate(r);
        memoOf(r, "Memo3")->Memo = QStringList{"某某贸易公司"};
        int handlerCalls = 0;
        r.OnManualBuild = [&](TfrPage *page) {
            ++handlerCalls;
            page->ShowBandByName("报表标题1");
            page->ShowBandByName("主项头1");
            double total = 0;
            for (int i = 1; i <= 60; ++i) {
                memoOf(r, "Memo18")->Memo = QStringList{QString("货品%1").arg(i)};
                memoOf(r, "Memo21")->Memo = QStringList{QString::number(i)};
                total += i;
                page->ShowBandByName("主项数据1");
            }
            memoOf(r, "Memo26")->Memo = QStringList{QString::number(total)};
            page->ShowBandByName("主项脚1");
            page->ShowBandByName("页脚1");
        };
        QVERIFY(r.PrepareReport());
        QCOMPARE(handlerCalls, 1);

        // Title and header 40 + 30 from the top margin 72; lines of 18 down to the
        // bottom limit 1071 - 54 - 30 (the page footer's room) = 987: 46 lines fit.
        TfrEMFPages &pages = r.EMFPages();
        QCOMPARE(pages.Count(), 2);
        QCOMPARE(count(r, 0, "Memo18"), 46);
        QCOMPARE(count(r, 1, "Memo18"), 14);
        QCOMPARE(texts(r, 0, "Memo18").first(), QString("货品1"));
        QCOMPARE(texts(r, 1, "Memo18").first(), QString("货品47"));
        QCOMPARE(texts(r, 1, "Memo18").last(), QString("货品60"));
        QCOMPARE(texts(r, 0, "Memo3"), QStringList{"某某贸易公司"});
        QCOMPARE(count(r, 1, "Memo1"), 0);
        // The page header lacks "on the first page": only the page started by a break has it.
        QCOMPARE(count(r, 0, "Memo40"), 0);
        QCOMPARE(count(r, 1, "Memo40"), 1);
        // Totals once, on the last page; each page its own number in the footer at the bottom.
        QCOMPARE(texts(r, 1, "Memo26"), QStringList{"1830"});
        QCOMPARE(texts(r, 0, "Memo4"), QStringList{"第1页"});
        QCOMPARE(texts(r, 1, "Memo4"), QStringList{"第2页"});
        for (int p = 0; p < 2; ++p)
            for (const Printed &o : pageObjects(r, p))
                if (o.name == "Memo4")
                    QCOMPARE(o.top, 987 + 4);
        // Lines follow each other from the header down.
        const QList<Printed> first = pageObjects(r, 0);
        QList<int> tops;
        for (const Printed &o : first)
            if (o.name == "Memo18")
                tops << o.top;
        QCOMPARE(tops.first(), 72 + 40 + 30);
        QCOMPARE(tops[1] - tops[0], 18);
        QCOMPARE(tops.last(), 72 + 40 + 30 + 45 * 18);

        // The build gave the template back as it was: objects found before are gone,
        // the texts set before the build remain.
        QCOMPARE(memoOf(r, "Memo3")->Memo, QStringList{"某某贸易公司"});
        QCOMPARE(memoOf(r, "Memo18")->Top, 120);
    }

    // The engine starts the page itself: overlay, objects outside bands, a page header
    // marked for the first page and the column header; nothing else without a handler call.
    void manualBuildEmptyHandler()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.memo(0, "Loose", {54, 1000, 100, 18}, {"外"});
        b.band(0, btPageHeader, "页头1", 0, 20);
        b.memo(0, "Head", {54, 2, 100, 18}, {"页头"});
        b.band(0, btColumnHeader, "栏目头1", 30, 20);
        b.memo(0, "Col", {54, 32, 100, 18}, {"栏目"});
        b.band(0, btReportTitle, "报表标题1", 60, 20);
        b.memo(0, "Title", {54, 62, 100, 18}, {"标题"});
        b.band(0, btPageFooter, "页脚1", 100, 20);
        b.memo(0, "Foot", {54, 102, 100, 18}, {"页脚"});
        r.OnManualBuild = [](TfrPage *) {};
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        QStringList names;
        for (const Printed &p : pageObjects(r, 0))
            names << p.name;
        QCOMPARE(names, (QStringList{"Loose", "Head", "Col"}));
    }

    // What the windows rely on: names found without regard to case, unknown bands
    // print nothing, a band prints the texts its objects hold when it is shown.
    void manualBuildByName()
    {
        TfrReport r;
        documentTemplate(r);
        QVERIFY(r.FindObject("memo18") == r.FindObject("Memo18"));
        int yAfterUnknown = -1, yBefore = -1;
        r.OnManualBuild = [&](TfrPage *page) {
            memoOf(r, "Memo18")->Memo = QStringList{"第一行"};
            page->ShowBandByName("主项数据1");
            memoOf(r, "Memo18")->Memo = QStringList{"第二行"};
            yBefore = page->CurY;
            page->ShowBandByName("没有这个");
            yAfterUnknown = page->CurY;
            page->ShowBandByName("主项数据1");
        };
        QVERIFY(r.PrepareReport());
        QCOMPARE(yAfterUnknown, yBefore);
        QCOMPARE(texts(r, 0, "Memo18"), (QStringList{"第一行", "第二行"}));
    }

    // A band filling exactly the room left prints on the page; one unit more moves it.
    void bandExactlyFillsPage_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pages");
        // Room from the top margin 72 to the bottom limit 1017 (no page footer).
        QTest::newRow("fills") << 1017 - 72 - 100 << 1;
        QTest::newRow("one more") << 1017 - 72 - 100 + 1 << 2;
    }
    void bandExactlyFillsPage()
    {
        QFETCH(int, height);
        QFETCH(int, pages);
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btMasterHeader, "主项头1", 0, 100);
        b.band(0, btMasterData, "主项数据1", 200, height);
        b.memo(0, "Memo18", {54, 200, 100, 18}, {"x"});
        r.OnManualBuild = [](TfrPage *page) {
            page->ShowBandByName("主项头1");
            page->ShowBandByName("主项数据1");
        };
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), pages);
        QCOMPARE(count(r, pages - 1, "Memo18"), 1);
    }

    // A band taller than an empty page is split: its text continues at the top of the
    // following pages, every line printed once.
    void bandTallerThanPageSplits()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *band = b.band(0, btMasterData, "主项数据1", 0, 30);
        band->Flags |= flBandStretched;
        TfrMemoView *m = b.memo(0, "Memo18", {54, 0, 300, 30});
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QString("行%1").arg(i);
        m->Memo = lines;
        r.OnManualBuild = [](TfrPage *page) { page->ShowBandByName("主项数据1"); };
        QVERIFY(r.PrepareReport());
        QVERIFY(r.EMFPages().Count() >= 3);
        QStringList printed;
        for (int p = 0; p < r.EMFPages().Count(); ++p) {
            const QStringList parts = texts(r, p, "Memo18");
            QCOMPARE(parts.size(), 1);
            for (const Printed &o : pageObjects(r, p))
                if (o.name == "Memo18") {
                    QVERIFY(o.top >= 72);
                    QVERIFY(o.top + o.height <= 1017 + 1);
                }
            for (QString l : parts.first().split('\n'))
                printed << l.remove(frParagraphMark);
        }
        printed.removeAll(QString());
        QCOMPARE(printed, lines);
    }

    // Groups over a data set: footers after the last record of a group, LINE#
    // restarting per group while LINETHROUGH# goes on, a repeated group header on a
    // new page.
    void groupsAndLineCounters()
    {
        GoodsData data({{"A", "a1"}, {"A", "a2"}, {"B", "b1"}, {"B", "b2"}, {"B", "b3"}});
        TfrReport r(&data.owner);
        TemplateBuilder b(r);
        b.page();
        TfrBandView *gh = b.band(0, btGroupHeader, "分组头1", 0, 20);
        gh->FormatText = "[Goods.\"类别\"]";
        b.memo(0, "GH", {54, 0, 200, 20}, {"组 [Goods.\"类别\"]"});
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 40, 20);
        md->FormatText = "frGoods";
        b.memo(0, "Line", {54, 40, 300, 20}, {"[Goods.\"名称\"] [LINE#]/[LINETHROUGH#]"});
        b.band(0, btGroupFooter, "分组脚1", 80, 20);
        b.memo(0, "GF", {54, 80, 200, 20}, {"组尾"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        QStringList order;
        for (const Printed &p : pageObjects(r, 0))
            order << (p.name == "GF" ? QString("GF") : p.text);
        QCOMPARE(order, (QStringList{"组 A", "a1 1/1", "a2 2/2", "GF", "组 B", "b1 1/3", "b2 2/4", "b3 3/5", "GF"}));
    }

    void repeatedGroupHeader()
    {
        QList<QPair<QString, QString>> rows;
        for (int i = 0; i < 60; ++i)
            rows.append({"A", QString("a%1").arg(i)});
        GoodsData data(rows);
        TfrReport r(&data.owner);
        TemplateBuilder b(r);
        b.page();
        TfrBandView *gh = b.band(0, btGroupHeader, "分组头1", 0, 20);
        gh->FormatText = "[Goods.\"类别\"]";
        gh->Flags |= flBandRepeatHeader;
        b.memo(0, "GH", {54, 0, 200, 20}, {"组 [Goods.\"类别\"]"});
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 40, 20);
        md->FormatText = "frGoods";
        b.memo(0, "Line", {54, 40, 300, 20}, {"[Goods.\"名称\"]"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 2);
        QCOMPARE(count(r, 0, "GH"), 1);
        QCOMPARE(count(r, 1, "GH"), 1);
        const QList<Printed> second = pageObjects(r, 1);
        QCOMPARE(second.first().name, QString("GH"));
        QCOMPARE(second.first().top, 72);
        QCOMPARE(count(r, 0, "Line") + count(r, 1, "Line"), 60);
    }

    // A master record whose detail level is empty prints (with its header) only with
    // PrintIfSubsetEmpty.
    void printIfSubsetEmpty_data()
    {
        QTest::addColumn<bool>("flag");
        QTest::newRow("without") << false;
        QTest::newRow("with") << true;
    }
    void printIfSubsetEmpty()
    {
        QFETCH(bool, flag);
        QObject owner;
        auto *empty = new TfrMemoryTable("Empty", &owner);
        empty->AddField("x");
        auto *cursor = new TfrDBDataSet(&owner);
        cursor->setObjectName("frEmpty");
        cursor->SetDataSet(empty);
        TfrReport r(&owner);
        TemplateBuilder b(r);
        b.page();
        b.band(0, btMasterHeader, "主项头1", 0, 20);
        b.memo(0, "MH", {54, 0, 100, 20}, {"主头"});
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 30, 20);
        md->FormatText = "2";
        if (flag)
            md->Flags |= flBandPrintIfSubsetEmpty;
        b.memo(0, "M", {54, 30, 100, 20}, {"主[LINE#]"});
        TfrBandView *dd = b.band(0, btDetailData, "细项数据1", 60, 20);
        dd->FormatText = "frEmpty";
        b.memo(0, "D", {54, 60, 100, 20}, {"细"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        QCOMPARE(count(r, 0, "MH"), flag ? 1 : 0);
        QCOMPARE(texts(r, 0, "M"), flag ? (QStringList{"主1", "主2"}) : QStringList());
        QCOMPARE(count(r, 0, "D"), 0);
    }

    // Master, detail and sub-detail: a header waits in the pending list until a record
    // below it prints, so a master whose sub-details are all empty prints nothing (and
    // the master header still comes before the first master that prints); a master band
    // that starts a new page brings its header along when it repeats.
    void threeLevelsWithWaitingHeaders_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::newRow("master header repeated") << true;
        QTest::newRow("not repeated") << false;
    }
    void threeLevelsWithWaitingHeaders()
    {
        QFETCH(bool, repeat);
        QObject owner;
        auto *master = new TfrMemoryTable("Master", &owner);
        master->AddField("名");
        for (const char *m : {"A", "B", "C"})
            master->AppendRow({QString(m)});
        auto *detail = new LinkedTable("Detail", &owner, master, {{"A", {"A1"}}, {"B", {"B1", "B2"}}, {"C", {"C1"}}});
        auto *sub = new LinkedTable("Sub", &owner, detail, {{"B1", {"x"}}, {"C1", {"y", "z"}}});
        cursorOver(master, &owner, "frMaster");
        cursorOver(detail, &owner, "frDetail");
        cursorOver(sub, &owner, "frSub");

        TfrReport r(&owner);
        TemplateBuilder b(r);
        b.page();
        TfrBandView *mh = b.band(0, btMasterHeader, "主项头1", 0, 20);
        if (repeat)
            mh->Flags |= flBandRepeatHeader;
        b.memo(0, "MH", {54, 0, 100, 20}, {"主头"});
        // Tall enough that the second printed master no longer fits on page 1.
        b.band(0, btMasterData, "主项数据1", 30, 500)->FormatText = "frMaster";
        b.memo(0, "M", {54, 30, 100, 20}, {"[Master.\"名\"]"});
        b.band(0, btDetailHeader, "细项头1", 540, 20);
        b.memo(0, "DH", {54, 540, 100, 20}, {"细头"});
        b.band(0, btDetailData, "细项数据1", 570, 20)->FormatText = "frDetail";
        b.memo(0, "D", {54, 570, 100, 20}, {"[Detail.\"名\"]"});
        b.band(0, btSubDetailHeader, "子项头1", 600, 20);
        b.memo(0, "SH", {54, 600, 100, 20}, {"子头"});
        b.band(0, btSubDetailData, "子项数据1", 630, 20)->FormatText = "frSub";
        b.memo(0, "S", {54, 630, 100, 20}, {"[Sub.\"名\"]"});
        QVERIFY(r.PrepareReport());

        QCOMPARE(r.EMFPages().Count(), 2);
        auto order = [&](int page) {
            QStringList out;
            for (const Printed &p : pageObjects(r, page))
                out << p.text;
            return out;
        };
        QCOMPARE(order(0), (QStringList{"主头", "B", "细头", "B1", "子头", "x"}));
        QStringList second{"C", "细头", "C1", "子头", "y", "z"};
        if (repeat)
            second.prepend("主头");
        QCOMPARE(order(1), second);
        QCOMPARE(pageObjects(r, 1).first().top, 72);
    }

    // The next template page continues on the last prepared page where the first ended,
    // unless that page ended full.
    void printToPrevPage()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.band(0, btReportTitle, "报表标题1", 0, 100);
        b.memo(0, "First", {54, 0, 100, 20}, {"一"});
        TfrPage &second = b.page();
        second.PrintToPrevPage = true;
        b.band(1, btReportTitle, "报表标题2", 0, 50);
        b.memo(1, "Second", {54, 0, 100, 20}, {"二"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        const QList<Printed> objs = pageObjects(r, 0);
        QCOMPARE(objs.size(), 2);
        QCOMPARE(objs[0].top, 72);
        QCOMPARE(objs[1].top, 72 + 100);
    }

    // Two passes: TOTALPAGES is known on every page of the final pass; one pass leaves it 0.
    void totalPagesTwoPass_data()
    {
        QTest::addColumn<int>("twoPass");
        QTest::addColumn<QStringList>("footers");
        QTest::newRow("one pass") << 0 << QStringList{"1/0", "2/0", "3/0"};
        QTest::newRow("two passes") << 1 << QStringList{"1/3", "2/3", "3/3"};
    }
    void totalPagesTwoPass()
    {
        QFETCH(int, twoPass);
        QFETCH(QStringList, footers);
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 300);
        md->FormatText = "8";
        b.band(0, btPageFooter, "页脚1", 400, 20);
        b.memo(0, "Foot", {54, 400, 100, 20}, {"[PAGE#]/[TOTALPAGES]"});
        r.TwoPass = qint16(twoPass);
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 3);
        QStringList got;
        for (int p = 0; p < 3; ++p)
            got << texts(r, p, "Foot");
        QCOMPARE(got, footers);
        QCOMPARE(r.TwoPass, qint16(twoPass));
    }

    // Without PrintIfEmpty an empty master data set gives no page at all.
    void printIfEmptyFalse()
    {
        QObject owner;
        auto *empty = new TfrMemoryTable("Empty", &owner);
        empty->AddField("x");
        auto *cursor = new TfrDBDataSet(&owner);
        cursor->setObjectName("frEmpty");
        cursor->SetDataSet(empty);
        TfrReport r(&owner);
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 20);
        md->FormatText = "frEmpty";
        r.PrintIfEmpty = false;
        r.PrepareReport();
        QCOMPARE(r.EMFPages().Count(), 0);
    }

    // Aggregates accumulate per record (also for an invisible data band) and restart
    // after the footer that prints them.
    void aggregatesThroughLibrary()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 20);
        md->FormatText = "4";
        b.memo(0, "Line", {54, 0, 100, 20}, {"[LINE#]"});
        b.band(0, btMasterFooter, "主项脚1", 40, 20);
        b.memo(0, "Total", {54, 40, 100, 20}, {"[SUM(LINE#)]"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(texts(r, 0, "Line"), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(texts(r, 0, "Total"), QStringList{"10"});
    }

    // A sub-report prints its page's data loop inside the band that holds it, once per
    // record of the outer band; the next outer record starts below it.
    void subReport()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        b.page();
        TfrBandView *outer = b.band(0, btMasterData, "主项数据1", 0, 30);
        outer->FormatText = "2";
        b.memo(0, "Outer", {54, 0, 200, 20}, {"主[LINE#]"});
        b.subReport(0, "SubReport1", {54, 22, 400, 8}, 1);
        TfrBandView *inner = b.band(1, btMasterData, "主项数据2", 0, 20);
        inner->FormatText = "3";
        b.memo(1, "Inner", {0, 0, 200, 20}, {"细[LINE#]"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        QStringList order;
        int lastTop = -1;
        for (const Printed &p : pageObjects(r, 0)) {
            order << p.text;
            QVERIFY(p.top > lastTop);
            lastTop = p.top;
        }
        QCOMPARE(order, (QStringList{"主1", "细1", "细2", "细3", "主2", "细1", "细2", "细3"}));
        for (const Printed &p : pageObjects(r, 0))
            if (p.text == "细1") {
                QVERIFY(p.top >= 72 + 22);
                break;
            }
    }

    // A page of two columns: records fill the first column, then the second from the
    // top of the first, shifted by the column width and gap.
    void pageColumns()
    {
        TfrReport r;
        TemplateBuilder b(r);
        TfrPage &page = b.page();
        page.ColCount = 2;
        page.ColGap = 10;
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 100);
        md->FormatText = "15";
        b.memo(0, "Line", {54, 0, 100, 20}, {"[LINE#]"});
        QVERIFY(r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 1);
        r.EMFPages().ObjectsToPage(0);
        const int columnWidth = (704 - 54 - 10) / 2;
        QList<int> lefts, tops;
        for (TfrView *v : r.EMFPages()[0]->Page->Objects) {
            lefts << v->Left;
            tops << v->Top;
        }
        QCOMPARE(lefts.size(), 15);
        // Nine records of 100 fit between 72 and 1017.
        QCOMPARE(lefts[0], 54);
        QCOMPARE(lefts[8], 54);
        QCOMPARE(lefts[9], 54 + columnWidth + 10);
        QCOMPARE(tops[9], tops[0]);
        QCOMPARE(tops[14], tops[0] + 5 * 100);
    }

    // Two master data bands over one data set print one after the other for every record.
    void twoDataBandsShareDataSet()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *first = b.band(0, btMasterData, "主项数据1", 0, 20);
        first->FormatText = "2";
        b.memo(0, "A", {54, 0, 100, 20}, {"甲[LINE#]"});
        b.band(0, btMasterData, "主项数据2", 40, 20);
        b.memo(0, "B", {54, 40, 100, 20}, {"乙"});
        QVERIFY(r.PrepareReport());
        QStringList order;
        for (const Printed &p : pageObjects(r, 0))
            order << p.text;
        QCOMPARE(order, (QStringList{"甲1", "乙", "甲2", "乙"}));
    }

    // A data band of three columns, a new column after every record: records print in
    // rows of three side by side; the band after it starts below the last row.
    void bandColumns()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 20);
        md->FormatText = "7";
        md->Columns = 3;
        md->ColumnWidth = 200;
        md->ColumnGap = 10;
        b.memo(0, "Cell", {54, 0, 100, 20}, {"[LINE#]"});
        b.band(0, btMasterFooter, "主项脚1", 40, 20);
        b.memo(0, "Foot", {54, 40, 100, 20}, {"脚"});
        QVERIFY(r.PrepareReport());
        QList<QPoint> at;
        int footTop = -1;
        for (TfrView *v : (r.EMFPages().ObjectsToPage(0), r.EMFPages()[0]->Page->Objects)) {
            if (v->Name == "Cell")
                at << QPoint(v->Left, v->Top);
            else
                footTop = v->Top;
        }
        QCOMPARE(at.size(), 7);
        QCOMPARE(at[0], QPoint(54, 72));
        QCOMPARE(at[1], QPoint(54 + 210, 72));
        QCOMPARE(at[2], QPoint(54 + 420, 72));
        QCOMPARE(at[3], QPoint(54, 92));
        QCOMPARE(at[6], QPoint(54, 112));
        QCOMPARE(footTop, 132);
    }

    // A child band prints right after its band, every record.
    void childBand()
    {
        TfrReport r;
        TemplateBuilder b(r);
        b.page();
        TfrBandView *md = b.band(0, btMasterData, "主项数据1", 0, 20);
        md->FormatText = "2";
        md->ChildBand = "子1";
        b.memo(0, "Line", {54, 0, 100, 20}, {"行[LINE#]"});
        b.band(0, btChild, "子1", 40, 15);
        b.memo(0, "Child", {54, 40, 100, 15}, {"附"});
        QVERIFY(r.PrepareReport());
        QStringList order;
        for (const Printed &p : pageObjects(r, 0))
            order << p.text;
        QCOMPARE(order, (QStringList{"行1", "附", "行2", "附"}));
    }

    // A dialog page closed with Cancel ends the build without pages and without a message;
    // with OK the report pages are built.
    void dialogPage_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("pages");
        QTest::newRow("cancel") << int(QDialog::Rejected) << 0;
        QTest::newRow("ok") << int(QDialog::Accepted) << 1;
    }
    void dialogPage()
    {
        QFETCH(int, answer);
        QFETCH(int, pages);
        ScriptedPrompt prompt;
        TfrReport r;
        TemplateBuilder b(r);
        b.dialogPage("选择日期");
        b.memo(0, "Hint", {10, 10, 100, 20}, {"请选择"});
        b.page();
        b.band(1, btReportTitle, "报表标题1", 0, 20);
        b.memo(1, "Title", {54, 0, 100, 20}, {"标题"});
        QString caption;
        prompt.expectModal([&](QDialog *d) {
            caption = d->windowTitle();
            return answer;
        });
        QCOMPARE(r.PrepareReport(), pages == 1);
        QCOMPARE(caption, QString("选择日期"));
        QCOMPARE(r.EMFPages().Count(), pages);
        QVERIFY(prompt.verifyDone());
    }

    // An expression that cannot be evaluated stops the build with one message and no pages.
    void buildErrorShownOnce()
    {
        ScriptedPrompt prompt;
        TfrReport r;
        r.setObjectName("frReport1");
        TemplateBuilder b(r);
        b.page();
        b.band(0, btReportTitle, "报表标题1", 0, 20);
        b.memo(0, "Memo1", {54, 0, 100, 20}, {"[UNKNOWNNAME]"});
        prompt.expectMessage("计算时发生错误\r[UNKNOWNNAME]\r\r报表: frReport1\r对象: Memo1\r\r符号没定义 \"UNKNOWNNAME\"",
                             QMessageBox::Ok, "错误");
        QVERIFY(!r.PrepareReport());
        QCOMPARE(r.EMFPages().Count(), 0);
        QVERIFY(prompt.verifyDone());
    }
};

QTEST_MAIN(TstBuild)
#include "tst_build.moc"
