#pragma once
// Import of master data from a sheet: goods into 货品目录, customers into 客户目录, suppliers into
// 往来单位. Each target column takes the sheet column whose title the mapping names for it (by
// default the sheet column at the same position). The sheet is read once, row by row, and every
// row goes in, checked and with the codes it needs, in one transaction: a bad cell, a damaged
// sheet or a cancel leaves nothing written. The rows start below the titles (or at row 1) and
// end at the first row whose first cell is empty. An empty cell is stored as the windows store
// that column: an empty text, or nothing where the windows never write it.
#include "admin/sheetreader.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace orv {

class Connection;

enum class ImportKind { Goods = 3, Customers = 4, Suppliers = 6 };

// The target columns a kind imports, in their default sheet order (column R at index R - 1).
const QStringList &importColumns(ImportKind kind);
QString importTable(ImportKind kind);
// "货品目录数据导入完成!" and its two siblings.
QString importDoneText(ImportKind kind);

// The title list: row 1 of the sheet from column 1 rightwards up to the first empty cell, at
// most 200 titles. Title k (from 0) stands for sheet column k + 1; the empty title, which the
// mapping offers after them, for the first column after the titled ones.
// `progress` hears how far the reading got: a crafted sheet can hold hundreds of MB before its
// first row. Its false ends the reading with ImportCancelled.
QStringList sheetTitles(SheetReader &sheet, const std::function<bool(double)> &progress = {});
constexpr int kMaxTitles = 200;

// The operator stopped the reading of a sheet.
struct ImportCancelled {};

// The default mapping: target column R takes the title of sheet column R ("" beyond them).
QStringList defaultMapping(ImportKind kind, SheetReader &sheet);

// A cell that keeps the sheet from being imported: its sheet row and the target column R.
struct ImportProblem {
    enum Kind { NotANumber, TooLong };
    int sheetRow = 0;
    int column = 0;
    Kind kind = NotANumber;
    QString text() const;
};

struct ImportOutcome {
    bool ok = false;
    bool cancelled = false;        // the operator stopped it; nothing was written
    QList<ImportProblem> problems; // of the first row that has any, in column order
    int rows = 0;                  // rows written
};

// Told now and then how much of the sheet has been read (0 to 1); false cancels the import.
using ImportProgress = std::function<bool(double)>;

class ExcelImport {
public:
    ExcelImport(Connection &c, ImportKind kind) : m_conn(c), m_kind(kind) {}

    // `titles` and `mapping` as the mapping grid holds them (mapping[R - 1] is the title chosen
    // for target column R; a title not in the list reads as an empty value). The sheet is read
    // from where it stands: row 1, or a row not yet passed. Throws WorkbookError for a sheet
    // that turns out damaged or too large, and DbError; nothing is written then either.
    ImportOutcome run(SheetReader &sheet, const QStringList &titles, const QStringList &mapping,
                      bool firstRowTitles, const QDate &today, const ImportProgress &progress = {});

private:
    Connection &m_conn;
    ImportKind m_kind;
};

} // namespace orv
