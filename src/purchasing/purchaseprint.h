#pragma once
// Printing a purchasing document: what a window puts into its template (title, header, totals,
// signature and footer slotTexts), which bands come before the lines, and one data band per line
// with the line's slotTexts set just before it. A print is described first, then printed through
// the report engine's one print routine, which loads the template from the reports folder and
// shows the preview.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class TfrReport;

namespace orv {

class Connection;
class GoodsLineGrid;

struct DocumentPrint {
    QString templateName;                    // "tongyong.frf", "tongyong2.frf"
    QList<QPair<QString, QString>> slotTexts;    // set in this order before the build
    QString footerSlot = QStringLiteral("Memo4");
    QStringList headBands;                   // before the lines
    QList<QStringList> lines;                // Memo18 .. Memo24 of each line
    QStringList footBands = {QStringLiteral("主项脚1"), QStringLiteral("页脚1")};

    void set(const QString &slot, const QString &text) { slotTexts.append({slot, text}); }
    QString slot(const QString &name) const; // the last text set for a slot
};

// The bands before the lines of a purchase print: the title, the header, the column heads.
// The order prints show them too: the program's templates hold the order's number, date and
// supplier in these bands, and a printed order without them could not be told from another.
QStringList purchaseHeadBands();

// What one build of the report did, as the engine called it: each band shown, and for each
// data band the row slotTexts it printed.
struct PrintRun {
    QStringList bands;
    QList<QStringList> dataBands;
    bool printed = false; // the template loaded and the pages were built
};

// Loads the template into `report`, sets the slotTexts, puts the footer text G.gFooterBanner into the
// footer slot unless it holds it already, and shows the preview. Returns what the build did.
PrintRun printDocument(TfrReport &report, const DocumentPrint &print);

// Signature slotTexts: "caption" + name, or the caption alone in signature mode (G.gPrintSignature).
// `bareCaption` is what signature mode prints (the purchase order drops the colon there).
QString signature(const QString &caption, const QString &name, const QString &bareCaption = QString());

// The company name for titles (基本信息.公司名称).
QString companyName(Connection &c);

// The line slotTexts of stored lines of a table, by the document's record ID, in the order written:
// 名称, 规格, 辅助数量, 数量, 单位, 单价, 金额.
QList<QStringList> storedPrintLines(Connection &c, const QString &lineTable, const QString &docID);
// The line slotTexts of a grid's lines (rows whose 编号 is filled, at most the first 999 rows):
// the unit slot carries the auxiliary unit.
QList<QStringList> gridPrintLines(const GoodsLineGrid &grid);

// Sums of the stored lines: 数量, 辅助数量 and 金额, in the general number format.
struct LineSums {
    QString qty, auxQty, amount;
};
LineSums storedLineSums(Connection &c, const QString &lineTable, const QString &docID);

} // namespace orv
