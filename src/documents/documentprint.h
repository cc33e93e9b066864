#pragma once
// Printing a document: what a window puts into its template (title, header, totals, signature
// and footer slots), which bands come before the lines, and one data band per line with the
// line's row slots set just before it. A print is described first, then printed through the
// report engine's one print routine, which loads the template from the reports folder and
// shows the preview.
//
//   DocumentPrint p;
//   p.templateName = "tongyong1.frf";                 footer in Memo11 (that template's own)
//   p.headBands = documentHeadBands(true);            主项头2 too
//   p.lineSlots = discountLineSlots();                折后金额 in Memo24, 折扣 in Memo35
//   p.lines = storedPrintLines(db(), "销售明细", id, p.lineSlots);
//   p.set("Memo1", companyName(db()) + "货品销售单"); ...
//   m_lastPrint = printDocument(*frReport1, p);
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class TfrReport;

namespace orv {

class Connection;
class GoodsLineGrid;

// A row slot of a print and the line's column it shows (a column of the line table, or the title
// of a goods grid column).
struct LineSlot {
    QString slot, column;
};
using LineSlots = QList<LineSlot>;

// Memo18 .. Memo24: 名称, 规格, 辅助数量, 数量, 单位, 单价, 金额 of a stored line.
LineSlots documentLineSlots();
// The grid print of the purchase entry windows: as documentLineSlots(), with 辅助单位 in Memo22.
LineSlots gridLineSlots();
// The prints of sales orders and sales bills: 折后金额 in Memo24 and 折扣 in Memo35.
LineSlots discountLineSlots();

struct DocumentPrint {
    QString templateName;                     // "tongyong.frf", "tongyong1.frf", "tongyong2.frf"
    QList<QPair<QString, QString>> slotTexts; // set in this order before the build
    QString footerSlot;                       // empty: the template's (footerSlotOf)
    QStringList headBands;                    // before the lines
    LineSlots lineSlots = documentLineSlots();
    QList<QStringList> lines;                 // each line's texts, in lineSlots order
    QStringList footBands = {QStringLiteral("主项脚1"), QStringLiteral("页脚1")};

    void set(const QString &slot, const QString &text) { slotTexts.append({slot, text}); }
    QString slot(const QString &name) const; // the last text set for a slot
};

// The footer slot of a template: Memo11 in "tongyong1.frf", Memo4 in the others.
QString footerSlotOf(const QString &templateName);

// The bands before the lines: the title, the header, the column heads; with `secondHeader`
// (the sales orders and bills) also 主项头2 before the column heads. The purchase order prints
// show them too: the program's templates hold the order's number, date and supplier in these
// bands, and a printed order without them could not be told from another.
QStringList documentHeadBands(bool secondHeader = false);

// What one build of the report did, as the engine called it: each band shown, and for each
// data band the row slot texts it printed.
struct PrintRun {
    QStringList bands;
    QList<QStringList> dataBands;
    bool printed = false; // the template loaded and the pages were built
};

// Loads the template into `report`, sets the slot texts, puts the footer text G.gFooterBanner
// into the footer slot unless it holds it already, and shows the preview. Returns what the
// build did.
PrintRun printDocument(TfrReport &report, const DocumentPrint &print);

// Signature slot texts: "caption" + name, or the caption alone in signature mode
// (G.gPrintSignature). `bareCaption` is what signature mode prints (the purchase order drops
// the colon there).
QString signature(const QString &caption, const QString &name, const QString &bareCaption = QString());

// The company name for titles (基本信息.公司名称).
QString companyName(Connection &c);

// The texts of the stored lines of a table, by the document's record ID, in the order written:
// per line the columns of `rowSlots`, in their order.
QList<QStringList> storedPrintLines(Connection &c, const QString &lineTable, const QString &docID,
                                    const LineSlots &rowSlots = documentLineSlots());
// The texts of a grid's lines (rows whose 编号 is filled, at most the first 999 rows): per line
// the grid columns titled as in `rowSlots`.
QList<QStringList> gridPrintLines(const GoodsLineGrid &grid, const LineSlots &rowSlots = gridLineSlots());

// The print of an entry window begun: its template and head bands, Memo1 = the company's name and
// `title`, and the lines of the grid as it stands or, when not `fromGrid`, those stored under
// `savedID` by the window's last save. Throws DbError.
DocumentPrint entryPrint(Connection &c, const QString &templateName, const QString &title, bool fromGrid,
                         const GoodsLineGrid &grid, const QString &lineTable, const QString &savedID);

// Sums of the stored lines: 数量, 辅助数量 and 金额 (or another amount column, such as 折后金额),
// in the general number format.
struct LineSums {
    QString qty, auxQty, amount;
};
LineSums storedLineSums(Connection &c, const QString &lineTable, const QString &docID,
                        const QString &amountColumn = QStringLiteral("金额"));

// The print of a stored document with a partner: its header read by record ID into the title,
// header, amount and signature slots, its lines one data band each. The sales orders and bills
// add 主项头2, the discounted line slots, the 折后金额 sum and slots of their own.
struct StoredPrint {
    struct Signature {
        QString slot, caption, column, bareCaption = {};
    };
    QString templateName = {};
    QString title = {};                               // after the company's name in Memo1
    bool companyFromDatabase = false;                 // the name read from 基本信息, not the one read at login
    QString header = {}, lines = {};                  // the tables
    QString partnerCaption = {};                      // Memo2
    QString partnerColumn = QStringLiteral("供应商"); // Memo3
    QString dateColumn = QStringLiteral("日期");      // Memo5
    QString totalColumn = {};                         // Memo27; empty: the lines' 金额 sum
    QString paidCaption = {}, paidColumn = {};        // Memo6 and Memo8 (with 挂账金额 in Memo11) of tongyong2
    QList<Signature> signatures = {};
    bool secondHeader = false;                        // 主项头2 too (documentHeadBands)
    LineSlots lineSlots = documentLineSlots();
    QString amountColumn = QStringLiteral("金额");    // the lines' column summed into Memo27
    QList<QPair<QString, QString>> texts = {};        // further slots: (slot, text as it stands)
    QList<QPair<QString, QString>> fields = {};       // further slots: (slot, column of the header)
};
// Throws DbError.
DocumentPrint storedPrint(Connection &c, const StoredPrint &s, const QString &docID);

} // namespace orv
