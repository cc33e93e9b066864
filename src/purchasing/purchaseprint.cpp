#include "purchasing/purchaseprint.h"
#include "app/appglobals.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"
#include "report/engine/frdocprint.h"
#include "report/engine/frreport.h"

namespace orv {

namespace {
const QStringList kLineSlots = {"Memo18", "Memo19", "Memo20", "Memo21", "Memo22", "Memo23", "Memo24"};
// The grid prints of the entry windows stop at the grid's 999th row.
constexpr int kLastPrintedRow = 999;
} // namespace

QStringList purchaseHeadBands()
{
    return {QStringLiteral("报表标题1"), QStringLiteral("主项头1"), QStringLiteral("主项头3")};
}

QString DocumentPrint::slot(const QString &name) const
{
    for (auto it = slotTexts.crbegin(); it != slotTexts.crend(); ++it)
        if (it->first == name)
            return it->second;
    return QString();
}

PrintRun printDocument(TfrReport &report, const DocumentPrint &p)
{
    PrintRun run;
    TfrDocumentPrint print(report);
    if (!print.Load(TfrDocumentPrint::TemplatePath(p.templateName)))
        return run;
    for (const auto &s : p.slotTexts)
        print.SetSlot(s.first, s.second);
    if (print.SlotText(p.footerSlot) != G.gFooterBanner)
        print.SetSlot(p.footerSlot, G.gFooterBanner);
    print.Show([&](TfrDocumentPage &page) {
        // A rebuild (the preview may build again) records the pages it built afresh.
        run.bands.clear();
        run.dataBands.clear();
        for (const QString &b : p.headBands) {
            page.ShowBand(b);
            run.bands << b;
        }
        for (const QStringList &line : p.lines) {
            for (int i = 0; i < kLineSlots.size(); ++i)
                page.SetSlot(kLineSlots[i], line.value(i));
            page.ShowBand(QStringLiteral("主项数据1"));
            run.bands << QStringLiteral("主项数据1");
            run.dataBands << line;
        }
        for (const QString &b : p.footBands) {
            page.ShowBand(b);
            run.bands << b;
        }
        run.printed = true;
    });
    return run;
}

QString signature(const QString &caption, const QString &name, const QString &bareCaption)
{
    if (G.gPrintSignature == 1)
        return bareCaption.isNull() ? caption : bareCaption;
    return caption + name;
}

QString companyName(Connection &c)
{
    DataSet q(&c);
    q.setSql("select 公司名称 from 基本信息 order by 流水号");
    q.open();
    return q.isEmpty() ? QString() : q.fields(0).asString();
}

QList<QStringList> storedPrintLines(Connection &c, const QString &lineTable, const QString &docID)
{
    DataSet q(&c);
    q.setSql("select 名称,规格,辅助数量,数量,单位,单价,金额 from " + lineTable + " where ID = ? order by 流水号");
    q.addBindValue(docID);
    q.open();
    QList<QStringList> out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList line;
        for (int i = 0; i < 7; ++i)
            line << q.fields(i).asString();
        out << line;
    }
    return out;
}

QList<QStringList> gridPrintLines(const GoodsLineGrid &grid)
{
    const GoodsLineColumns &c = grid.columns();
    QList<QStringList> out;
    for (int r = 1; r < grid.gridRowCount() && r <= kLastPrintedRow; ++r) {
        if (grid.cell(r, c.goodsNo).isEmpty())
            continue;
        out << QStringList{grid.cell(r, c.name),  grid.cell(r, c.spec),    grid.cell(r, c.auxQty),
                           grid.cell(r, c.qty),   grid.cell(r, c.auxUnit), grid.cell(r, c.price),
                           grid.cell(r, c.amount)};
    }
    return out;
}

LineSums storedLineSums(Connection &c, const QString &lineTable, const QString &docID)
{
    DataSet q(&c);
    q.setSql("select coalesce(sum(数量),0), coalesce(sum(辅助数量),0), coalesce(sum(金额),0) from " + lineTable +
             " where ID = ?");
    q.addBindValue(docID);
    q.open();
    return {generalNumber(q.fields(0).asFloat()), generalNumber(q.fields(1).asFloat()),
            generalNumber(q.fields(2).asFloat())};
}

} // namespace orv
