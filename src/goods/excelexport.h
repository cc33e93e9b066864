#pragma once
// The export every list window offers: the list is written into a new .xlsx workbook
// that is then opened with the desktop's spreadsheet program.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

namespace orv {

// One sheet as a list window hands it over. Columns are numbered from 1.
struct ExportSheet {
    QStringList headers;
    QList<QStringList> rows;    // texts of the data columns, totals row included
    QList<int> textColumns;     // columns formatted as text ("@"), so codes keep their leading zeros
    QMap<int, double> widths;   // column widths in characters
    QString summary;            // written into column 1 of the row after the data, when not empty
};

// The visible texts of a model: its horizontal header titles and every row.
// `columns` are model columns (from 0) in sheet order; empty means all of them.
ExportSheet exportSheetFromModel(const QAbstractItemModel &model, const QList<int> &columns = {});

// In a column of general format a text that is a plain decimal number is stored as a
// number, as a spreadsheet would take it when typed; texts with leading zeros or more
// than 15 significant digits stay texts so nothing is lost.
bool exportAsNumber(const QString &text, double *value);

// Writes the workbook; false with the reason on failure.
bool writeXlsx(const QString &path, const ExportSheet &sheet, QString *error = nullptr);

class ExcelExport {
public:
    // The shared sequence: nothing on an empty list; "确认导出excel表吗？" (OK/Cancel);
    // the workbook; "数据导出完成!"; opened with the default application, or, when the desktop
    // has none for it, a message that says where the workbook was saved.
    // Returns the file written, or an empty text when nothing was exported.
    static QString run(QWidget *parent, const ExportSheet &sheet, const QString &baseName);
    static QString notOpenedText(const QString &path);

    // Exports are kept as files in the user's documents folder, named after the list and
    // the time, so the operator finds them again whether or not they save them elsewhere.
    static QString outputFolder();
    static void setOutputFolder(const QString &folder); // tests; empty restores the default
    static QString newFilePath(const QString &baseName);
};

} // namespace orv
