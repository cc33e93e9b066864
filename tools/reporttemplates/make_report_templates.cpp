// Writes the document templates the windows print into: tongyong.frf,
// tongyong1.frf, tongyong2.frf and pandian.frf, through the report engine's own
// template writer. The slots (named text objects) and what each window puts in
// them are listed in SLOTS.md beside this file.
//
//     make_report_templates <folder>      (the repository's reports/ folder)
//
// Every template is one A4 page laid out as a Chinese business form: title,
// partner and document lines, column heads (repeated at the top of continued
// pages), one line band, totals and signatures, and a footer with the page number.
#include "report/engine/frband.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"

#include "common/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

constexpr int kLeft = 54;     // page margins of a new page (engine units)
constexpr int kWidth = 650;   // 758 - 54 - 54

struct Cell {
    QString head;     // column caption
    QString slot;     // slot of the line band
    int width;
    int align;        // frtaLeft / frtaRight / frtaCenter
};

enum Style : unsigned {
    Plain = 0,
    Framed = 1,
    Bold = 2,
    Wrap = 4,
};

class Form {
public:
    explicit Form(TfrReport &r)
    {
        const int i = r.Pages().Add();
        m_page = r.Pages()[i];
        m_page->ChangePaper(9, 0, 0, frDefaultBin, poPortrait);
        m_page->Name = QStringLiteral("Page1");
    }

    TfrBandView *band(int type, const QString &name, int height, quint16 flags = flBandOnFirstPage | flBandOnLastPage)
    {
        auto *b = new TfrBandView;
        b->Name = name;
        b->SetBandType(type);
        b->SetBounds(0, m_y, m_page->PrnInfo.PageWidth, height);
        b->Flags = flags;
        m_page->Add(b);
        m_bandTop = m_y;
        m_y += height + 10;   // a gap between bands on the design page
        return b;
    }

    // A text object at x, y (y within the last band), in 宋体.
    TfrMemoView *text(const QString &name, int x, int y, int w, int h, const QString &content, int align = frtaLeft,
                      unsigned style = Plain, int size = 10)
    {
        auto *m = new TfrMemoView;
        m->Name = name;
        m->SetBounds(x, m_bandTop + y, w, h);
        if (!content.isEmpty())
            m->Memo = QStringList{content};
        m->Font.Name = QStringLiteral("宋体");
        m->Font.Size = size;
        m->Font.Style.bold = style & Bold;
        m->Alignment = align | frtaMiddle;
        m->FrameTyp = (style & Framed) ? 15 : 0;
        // Stretched (bit 0): cells grow with the line band, so a wrapped name keeps the row framed.
        m->Flags = 1 | ((style & Wrap) ? flWordWrap : 0);
        m_page->Add(m);
        return m;
    }

    // A row of framed cells; heads (bold captions) or line slots.
    void row(const QList<Cell> &cells, bool heads, int y, int h, const QString &prefix = QString(), int size = 10)
    {
        int x = kLeft;
        int n = 0;
        for (const Cell &c : cells) {
            ++n;
            if (heads)
                text(prefix + QString::number(n), x, y, c.width, h, c.head, frtaCenter, Framed | Bold, size);
            else
                text(c.slot, x, y, c.width, h, QString(), c.align, Framed | Wrap, size);
            x += c.width;
        }
    }

    TfrPage *page() { return m_page; }

private:
    TfrPage *m_page;
    int m_y = 0;
    int m_bandTop = 0;
};

// Title band: the company name and document title (Memo1) centered, optional lines below.
void title(Form &f, int height)
{
    f.band(btReportTitle, QStringLiteral("报表标题1"), height);
    f.text(QStringLiteral("Memo1"), kLeft, 4, kWidth, 30, QString(), frtaCenter, Bold, 16);
}

// Page header: the column heads again at the top of every continued page.
void pageHeader(Form &f, const QList<Cell> &cells, int size = 10)
{
    f.band(btPageHeader, QStringLiteral("页头1"), 22, 0);
    f.row(cells, true, 0, 22, QStringLiteral("PageHead"), size);
}

// Partner and document line: caption + partner, date, remark, number.
void partnerLines(Form &f)
{
    f.band(btMasterHeader, QStringLiteral("主项头1"), 44);
    f.text(QStringLiteral("Memo2"), kLeft, 2, 90, 20, QString(), frtaLeft, Bold);
    f.text(QStringLiteral("Memo3"), kLeft + 90, 2, 330, 20, QString());
    f.text(QStringLiteral("Label5"), kLeft + 430, 2, 50, 20, QStringLiteral("日期:"), frtaLeft, Bold);
    f.text(QStringLiteral("Memo5"), kLeft + 480, 2, 170, 20, QString());
    f.text(QStringLiteral("Label7"), kLeft, 22, 90, 20, QStringLiteral("备注:"), frtaLeft, Bold);
    f.text(QStringLiteral("Memo7"), kLeft + 90, 22, 330, 20, QString());
    f.text(QStringLiteral("Label9"), kLeft + 430, 22, 50, 20, QStringLiteral("单号:"), frtaLeft, Bold);
    f.text(QStringLiteral("Memo9"), kLeft + 480, 22, 170, 20, QString());
}

void columnHeads(Form &f, const QList<Cell> &cells, int size = 10)
{
    f.band(btMasterHeader, QStringLiteral("主项头3"), 22);
    f.row(cells, true, 0, 22, QStringLiteral("Head"), size);
}

void lines(Form &f, const QList<Cell> &cells, int size = 10)
{
    f.band(btMasterData, QStringLiteral("主项数据1"), 20, flBandStretched);
    f.row(cells, false, 0, 20, QString(), size);
}

// Totals under their columns: the slots Memo25 (auxiliary quantity), Memo26 (quantity),
// Memo27 (amount); "合计" over the columns before them.
void totalsRow(Form &f, const QList<Cell> &cells, const QMap<QString, QString> &totalUnder, int size = 10)
{
    int x = kLeft;
    int captionWidth = 0;
    bool captionDone = false;
    for (const Cell &c : cells) {
        const QString total = totalUnder.value(c.slot);
        if (!total.isEmpty()) {
            if (!captionDone) {
                f.text(QStringLiteral("LabelTotal"), kLeft, 0, captionWidth, 22, QStringLiteral("合    计"),
                       frtaCenter, Framed | Bold, size);
                captionDone = true;
            }
            f.text(total, x, 0, c.width, 22, QString(), frtaRight, Framed, size);
        } else if (captionDone) {
            f.text(QStringLiteral("Blank") + c.slot, x, 0, c.width, 22, QString(), frtaLeft, Framed, size);
        } else {
            captionWidth += c.width;
        }
        x += c.width;
    }
}

void signatures(Form &f, int y)
{
    const int w = kWidth / 4;
    for (int i = 0; i < 4; ++i)
        f.text(QStringLiteral("Memo%1").arg(28 + i), kLeft + i * w, y, w, 20, QString());
}

void pageFooter(Form &f, const QString &bannerSlot)
{
    f.band(btPageFooter, QStringLiteral("页脚1"), 24);
    if (!bannerSlot.isEmpty())
        f.text(bannerSlot, kLeft, 4, 500, 18, QString(), frtaLeft, Plain, 9);
    f.text(QStringLiteral("PageNumber"), kLeft + 500, 4, 150, 18, QStringLiteral("第 [PAGE#] 页"), frtaRight, Plain, 9);
}

const QList<Cell> kGoodsCells = {
    {QStringLiteral("名称"), QStringLiteral("Memo18"), 200, frtaLeft},
    {QStringLiteral("规格"), QStringLiteral("Memo19"), 110, frtaLeft},
    {QStringLiteral("辅助数量"), QStringLiteral("Memo20"), 70, frtaRight},
    {QStringLiteral("数量"), QStringLiteral("Memo21"), 70, frtaRight},
    {QStringLiteral("单位"), QStringLiteral("Memo22"), 50, frtaCenter},
    {QStringLiteral("单价"), QStringLiteral("Memo23"), 70, frtaRight},
    {QStringLiteral("金额"), QStringLiteral("Memo24"), 80, frtaRight},
};

const QList<Cell> kSalesCells = {
    {QStringLiteral("名称"), QStringLiteral("Memo18"), 170, frtaLeft},
    {QStringLiteral("规格"), QStringLiteral("Memo19"), 100, frtaLeft},
    {QStringLiteral("辅助数量"), QStringLiteral("Memo20"), 65, frtaRight},
    {QStringLiteral("数量"), QStringLiteral("Memo21"), 60, frtaRight},
    {QStringLiteral("单位"), QStringLiteral("Memo22"), 45, frtaCenter},
    {QStringLiteral("单价"), QStringLiteral("Memo23"), 65, frtaRight},
    {QStringLiteral("折扣"), QStringLiteral("Memo35"), 50, frtaRight},
    {QStringLiteral("金额"), QStringLiteral("Memo24"), 95, frtaRight},
};

const QList<Cell> kStockTakingCells = {
    {QStringLiteral("编号"), QStringLiteral("Memo33"), 60, frtaLeft},
    {QStringLiteral("名称"), QStringLiteral("Memo18"), 100, frtaLeft},
    {QStringLiteral("规格"), QStringLiteral("Memo19"), 60, frtaLeft},
    {QStringLiteral("仓位"), QStringLiteral("Memo20"), 50, frtaLeft},
    {QStringLiteral("数量"), QStringLiteral("Memo21"), 50, frtaRight},
    {QStringLiteral("单位"), QStringLiteral("Memo22"), 35, frtaCenter},
    {QStringLiteral("单价"), QStringLiteral("Memo23"), 55, frtaRight},
    {QStringLiteral("金额"), QStringLiteral("Memo24"), 65, frtaRight},
    {QStringLiteral("实盘数量"), QStringLiteral("Memo5"), 55, frtaRight},
    {QStringLiteral("盘盈亏"), QStringLiteral("Memo6"), 55, frtaRight},
    {QStringLiteral("盈亏金额"), QStringLiteral("Memo7"), 65, frtaRight},
};

const QMap<QString, QString> kGoodsTotals = {
    {QStringLiteral("Memo20"), QStringLiteral("Memo25")},
    {QStringLiteral("Memo21"), QStringLiteral("Memo26")},
    {QStringLiteral("Memo24"), QStringLiteral("Memo27")},
};

// Purchase orders, purchase audit and bills, internal documents (footer in Memo4).
void makeTongyong(TfrReport &r)
{
    Form f(r);
    title(f, 40);
    pageHeader(f, kGoodsCells);
    partnerLines(f);
    f.band(btMasterHeader, QStringLiteral("主项头2"), 4);
    columnHeads(f, kGoodsCells);
    lines(f, kGoodsCells);
    f.band(btMasterFooter, QStringLiteral("主项脚1"), 56);
    totalsRow(f, kGoodsCells, kGoodsTotals);
    signatures(f, 32);
    pageFooter(f, QStringLiteral("Memo4"));
}

// Sales orders and bills, workshop and warehouse transfers: address and business under
// the title, a second header line, a discount column; the footer line is Memo11.
void makeTongyong1(TfrReport &r)
{
    Form f(r);
    title(f, 76);
    f.text(QStringLiteral("Memo8"), kLeft, 36, kWidth, 18, QString(), frtaCenter, Plain, 9);
    f.text(QStringLiteral("Memo6"), kLeft, 56, kWidth, 18, QString(), frtaCenter, Plain, 9);
    pageHeader(f, kSalesCells);
    partnerLines(f);
    f.band(btMasterHeader, QStringLiteral("主项头2"), 24);
    f.text(QStringLiteral("Memo10"), kLeft, 2, 90, 20, QString(), frtaLeft, Bold);
    f.text(QStringLiteral("Memo33"), kLeft + 90, 2, 200, 20, QString());
    f.text(QStringLiteral("Memo12"), kLeft + 300, 2, 70, 20, QString(), frtaLeft, Bold);
    f.text(QStringLiteral("Memo13"), kLeft + 370, 2, 90, 20, QString());
    f.text(QStringLiteral("Memo14"), kLeft + 470, 2, 80, 20, QStringLiteral("挂账金额:"), frtaLeft, Bold);
    f.text(QStringLiteral("Memo15"), kLeft + 550, 2, 100, 20, QString());
    columnHeads(f, kSalesCells);
    lines(f, kSalesCells);
    f.band(btMasterFooter, QStringLiteral("主项脚1"), 56);
    totalsRow(f, kSalesCells, kGoodsTotals);
    signatures(f, 32);
    pageFooter(f, QStringLiteral("Memo11"));
}

// Receipts, purchase and sales returns: amount paid and left on account above the signatures.
void makeTongyong2(TfrReport &r)
{
    Form f(r);
    title(f, 40);
    pageHeader(f, kGoodsCells);
    partnerLines(f);
    f.band(btMasterHeader, QStringLiteral("主项头2"), 4);
    columnHeads(f, kGoodsCells);
    lines(f, kGoodsCells);
    f.band(btMasterFooter, QStringLiteral("主项脚1"), 80);
    totalsRow(f, kGoodsCells, kGoodsTotals);
    f.text(QStringLiteral("Memo6"), kLeft, 28, 80, 20, QString(), frtaLeft, Bold);
    f.text(QStringLiteral("Memo8"), kLeft + 80, 28, 150, 20, QString());
    f.text(QStringLiteral("Label11"), kLeft + 300, 28, 80, 20, QStringLiteral("挂账金额:"), frtaLeft, Bold);
    f.text(QStringLiteral("Memo11"), kLeft + 380, 28, 150, 20, QString());
    signatures(f, 56);
    pageFooter(f, QStringLiteral("Memo4"));
}

// Stock-taking bills: eleven columns, four totals, the person in charge and the time.
void makePandian(TfrReport &r)
{
    Form f(r);
    title(f, 40);
    pageHeader(f, kStockTakingCells, 9);
    f.band(btMasterHeader, QStringLiteral("主项头1"), 4);
    f.band(btMasterHeader, QStringLiteral("主项头2"), 4);
    columnHeads(f, kStockTakingCells, 9);
    lines(f, kStockTakingCells, 9);
    f.band(btMasterFooter, QStringLiteral("主项脚1"), 50);
    totalsRow(f, kStockTakingCells,
              {{QStringLiteral("Memo21"), QStringLiteral("Memo26")},
               {QStringLiteral("Memo24"), QStringLiteral("Memo27")},
               {QStringLiteral("Memo6"), QStringLiteral("Memo8")},
               {QStringLiteral("Memo7"), QStringLiteral("Memo9")}},
              9);
    f.text(QStringLiteral("Memo28"), kLeft, 28, 300, 20, QString());
    f.text(QStringLiteral("Memo29"), kLeft + 350, 28, 300, 20, QString(), frtaRight);
    pageFooter(f, QString());
}

bool write(const QString &folder, const QString &name, void (*make)(TfrReport &))
{
    TfrReport r;
    make(r);
    r.Attributes.ReportName = name;
    r.Attributes.Author = QStringLiteral("Orvane");
    const QString path = QDir(folder).filePath(name);
    if (!r.SaveToFile(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: make_report_templates <folder>\n";
        return 2;
    }
    QDir().mkpath(args[1]);
    // The virtual printer and a fixed date keep the files the same from one run to the next.
    InitReportPrinter(std::make_unique<TfrNoPrinters>());
    orv::Clock::pin(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC));
    bool ok = write(args[1], QStringLiteral("tongyong.frf"), makeTongyong);
    ok = write(args[1], QStringLiteral("tongyong1.frf"), makeTongyong1) && ok;
    ok = write(args[1], QStringLiteral("tongyong2.frf"), makeTongyong2) && ok;
    ok = write(args[1], QStringLiteral("pandian.frf"), makePandian) && ok;
    return ok ? 0 : 1;
}
