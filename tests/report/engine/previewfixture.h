#pragma once
// A report built through the document windows' protocol for the preview and
// printing tests: a header band of links, then data bands 300 units tall
// (three to an A4 page), each with its line's text and a red box.
#include "templatebuilder.h"

#include "report/engine/frbuild.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprepared.h"

namespace orv::test {

// Where things are on a page (engine units): the links' band starts at the top margin.
constexpr int kLinkTop = 72;
constexpr int kFirstLineTop = 72 + 40;
constexpr int kLineHeight = 300;
constexpr int kRedLeft = 54, kRedOffset = 30;   // the red box: left, and below its line's top

inline TfrMemoView *memoOf(TfrReport &r, const char *name)
{
    return dynamic_cast<TfrMemoView *>(r.FindObject(QString::fromUtf8(name)));
}

// Lines are printed in this order; the link band only on the first page.
inline void buildLines(TfrReport &r, const QStringList &lines, int paper = 9, bool secondPaper = false)
{
    TemplateBuilder b(r);
    for (int page = 0; page < (secondPaper ? 2 : 1); ++page) {
        b.page(page == 0 ? paper : 11);
        b.band(page, btMasterHeader, QStringLiteral("主项头%1").arg(page + 1), 50, 40);
        auto link = [&](const char *name, int left, const char *text, const char *tag) {
            TfrMemoView *m = b.memo(page, QString::fromUtf8(name), {left, 54, 100, 18}, {QString::fromUtf8(text)});
            m->Tag = QString::fromUtf8(tag);
        };
        if (page == 0) {
            link("URL1", 54, "到第3页", "@3");
            link("URL2", 200, "网站", "https://example.com/a");
            link("URL3", 350, "程序", "/bin/sh");
            link("URL4", 500, "第9页", "@9");
        }
        b.band(page, btMasterData, QStringLiteral("主项数据%1").arg(page + 1), 100, kLineHeight);
        b.memo(page, QStringLiteral("Memo%1").arg(18 + page * 10), {54, 100, 400, 18}, {QString()});
        TfrMemoView *red = b.memo(page, QStringLiteral("Red%1").arg(page + 1), {kRedLeft, 100 + kRedOffset, 100, 40});
        red->FillColor = 0x0000FF;
    }
    r.ShowProgress = false;
    r.OnManualBuild = [&r, lines](TfrPage *page) {
        const int index = int(r.Pages().List().indexOf(page));
        page->ShowBandByName(QStringLiteral("主项头%1").arg(index + 1));
        for (const QString &line : lines) {
            dynamic_cast<TfrMemoView *>(r.FindObject(QStringLiteral("Memo%1").arg(18 + index * 10)))->Memo =
                QStringList{line};
            page->ShowBandByName(QStringLiteral("主项数据%1").arg(index + 1));
        }
    };
}

} // namespace orv::test
