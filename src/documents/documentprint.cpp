#include "documents/documentprint.h"
#include "app/appglobals.h"
#include "data/dataset.h"
#include "data/dbconnection.h"
#include "goods/goodslines.h"
#include "report/engine/frdocprint.h"
#include "report/engine/frreport.h"

namespace orv {

namespace {
// The grid prints of the entry windows stop at the grid's 999th row.
constexpr int kLastPrintedRow = 999;

LineSlots slotsOf(const QStringList &columns)
{
    LineSlots out;
    for (int i = 0; i < columns.size(); ++i)
        out.append({QStringLiteral("Memo%1").arg(18 + i), columns[i]});
    return out;
}
} // namespace

LineSlots documentLineSlots()
{
    return slotsOf({"名称", "规格", "辅助数量", "数量", "单位", "单价", "金额"});
}

LineSlots gridLineSlots()
{
    return slotsOf({"名称", "规格", "辅助数量", "数量", "辅助单位", "单价", "金额"});
}

LineSlots discountLineSlots()
{
    LineSlots out = slotsOf({"名称", "规格", "辅助数量", "数量", "单位", "单价", "折后金额"});
    out.append({QStringLiteral("Memo35"), QStringLiteral("折扣")});
    return out;
}

QString footerSlotOf(const QString &templateName)
{
    return templateName.compare(QStringLiteral("tongyong1.frf"), Qt::CaseInsensitive) == 0 ? QStringLiteral("Memo11")
                                                                                            : QStringLiteral("Memo4");
}

QStringList documentHeadBands(bool secondHeader)
{
    QStringList bands = {QStringLiteral("报表标题1"), QStringLiteral("主项头1")};
    if (secondHeader)
        bands << QStringLiteral("主项头2");
    return bands << QStringLiteral("主项头3");
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
    const QString footer = p.footerSlot.isEmpty() ? footerSlotOf(p.templateName) : p.footerSlot;
    if (print.SlotText(footer) != G.gFooterBanner)
        print.SetSlot(footer, G.gFooterBanner);
    print.Show([&](TfrDocumentPage &page) {
        // A rebuild (the preview may build again) records the pages it built afresh.
        run.bands.clear();
        run.dataBands.clear();
        for (const QString &b : p.headBands) {
            page.ShowBand(b);
            run.bands << b;
        }
        for (const QStringList &line : p.lines) {
            for (int i = 0; i < p.lineSlots.size(); ++i)
                page.SetSlot(p.lineSlots[i].slot, line.value(i));
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

QList<QStringList> storedPrintLines(Connection &c, const QString &lineTable, const QString &docID,
                                    const LineSlots &rowSlots)
{
    QStringList columns;
    for (const LineSlot &s : rowSlots)
        columns << s.column;
    DataSet q(&c);
    q.setSql("select " + columns.join(',') + " from " + lineTable + " where ID = ? order by 流水号");
    q.addBindValue(docID);
    q.open();
    QList<QStringList> out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList line;
        for (int i = 0; i < columns.size(); ++i)
            line << q.fields(i).asString();
        out << line;
    }
    return out;
}

DocumentPrint entryPrint(Connection &c, const QString &templateName, const QString &title, bool fromGrid,
                         const GoodsLineGrid &grid, const QString &lineTable, const QString &savedID)
{
    DocumentPrint p;
    p.templateName = templateName;
    p.headBands = documentHeadBands();
    p.set("Memo1", companyName(c) + title);
    p.lines = fromGrid ? gridPrintLines(grid) : storedPrintLines(c, lineTable, savedID);
    return p;
}

QList<QStringList> gridPrintLines(const GoodsLineGrid &grid, const LineSlots &rowSlots)
{
    const GoodsLineColumns &c = grid.columns();
    QList<int> columns;
    for (const LineSlot &s : rowSlots)
        columns << int(c.titles.indexOf(s.column));
    QList<QStringList> out;
    for (int r = 1; r < grid.gridRowCount() && r <= kLastPrintedRow; ++r) {
        if (grid.cell(r, c.goodsNo).isEmpty())
            continue;
        QStringList line;
        for (int col : columns)
            line << (col > 0 ? grid.cell(r, col) : QString());
        out << line;
    }
    return out;
}

LineSums storedLineSums(Connection &c, const QString &lineTable, const QString &docID, const QString &amountColumn)
{
    DataSet q(&c);
    q.setSql("select coalesce(sum(数量),0), coalesce(sum(辅助数量),0), coalesce(sum(" + amountColumn + "),0) from " +
             lineTable + " where ID = ?");
    q.addBindValue(docID);
    q.open();
    return {generalNumber(q.fields(0).asFloat()), generalNumber(q.fields(1).asFloat()),
            generalNumber(q.fields(2).asFloat())};
}

DocumentPrint storedPrint(Connection &c, const StoredPrint &s, const QString &docID)
{
    DataSet h(&c);
    h.setSql("select * from " + s.header + " where ID = ? order by 流水号");
    h.addBindValue(docID);
    h.open();
    auto field = [&](const QString &name) { return h.isEmpty() ? QString() : h.fieldByName(name).asString(); };
    DocumentPrint p;
    p.templateName = s.templateName;
    p.headBands = documentHeadBands(s.secondHeader);
    p.lineSlots = s.lineSlots;
    p.set("Memo1", (s.companyFromDatabase ? companyName(c) : G.gCompanyName) + s.title);
    p.set("Memo2", s.partnerCaption);
    p.set("Memo9", field(QStringLiteral("单据编号")));
    p.set("Memo5", field(s.dateColumn));
    p.set("Memo3", field(s.partnerColumn));
    p.set("Memo7", field(QStringLiteral("备注")));
    if (!s.paidCaption.isEmpty()) {
        p.set("Memo6", s.paidCaption);
        p.set("Memo8", field(s.paidColumn));
        p.set("Memo11", field(QStringLiteral("挂账金额")));
    }
    for (const auto &[slot, text] : s.texts)
        p.set(slot, text);
    for (const auto &[slot, column] : s.fields)
        p.set(slot, field(column));
    for (const StoredPrint::Signature &g : s.signatures)
        p.set(g.slot, signature(g.caption, field(g.column), g.bareCaption));
    const LineSums sums = storedLineSums(c, s.lines, docID, s.amountColumn);
    p.set("Memo26", sums.qty);
    p.set("Memo25", sums.auxQty);
    p.set("Memo27", s.totalColumn.isEmpty() ? sums.amount : field(s.totalColumn));
    p.lines = storedPrintLines(c, s.lines, docID, s.lineSlots);
    return p;
}

} // namespace orv
