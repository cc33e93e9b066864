// Building prepared pages: the printing protocol of the document windows
// (OnManualBuild printing bands by name) and the page-forming rules of the data loop.
#include "templatebuilder.h"

#include "report/engine/frbuild.h"
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
};

QTEST_MAIN(TstBuild)
#include "tst_build.moc"
