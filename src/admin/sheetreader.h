#pragma once
// Workbooks to import, read without a spreadsheet program: .xlsx (the zip of XML parts) and the
// legacy .xls (BIFF, through FreeXL), behind one interface. A cell reads as the text a
// spreadsheet shows for its value: numbers in their shortest form (at most 15 significant
// digits), dates as yyyy-MM-dd (with hh:mm:ss when they carry a time), texts as stored.
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace orv {

// What went wrong, in the operator's words.
class WorkbookError : public std::runtime_error {
public:
    explicit WorkbookError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

class SheetReader {
public:
    virtual ~SheetReader() = default;
    virtual QStringList sheetNames() const = 0;
    // Selects a sheet by its position (from 0); throws WorkbookError when it cannot be read.
    virtual void selectSheet(int index) = 0;
    // A cell of the selected sheet, row and column counted from 1; "" when empty or outside.
    virtual QString cell(int row, int column) const = 0;

    // Opens a workbook by its content (.xlsx or .xls, whatever its name); throws WorkbookError.
    static std::unique_ptr<SheetReader> open(const QString &path);
};

} // namespace orv
