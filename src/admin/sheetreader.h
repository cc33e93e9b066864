#pragma once
// Workbooks to import, read without a spreadsheet program: .xlsx (the zip of XML parts) and the
// legacy .xls (BIFF, read by the orv-xlsreader process beside the program), behind one interface.
// A cell reads as the text a spreadsheet shows for its value: numbers in their shortest form (at
// most 15 significant digits), dates as yyyy-MM-dd (with hh:mm:ss when they carry a time), texts
// as stored.
//
// A sheet is read as a stream, top to bottom, so that a sheet of a million rows costs the memory
// of one row. What has to be kept whole (the shared texts of an .xlsx) has a budget: a workbook
// that would pass it is refused before it is read. So is a cell or a row beyond any sheet's
// bounds, and a cell that points at a text that is not there.
#include <QString>
#include <QStringList>
#include <functional>
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
    // Selects a sheet by its position (from 0) and starts reading it from the top; throws
    // WorkbookError when it cannot be read.
    void selectSheet(int index);

    // The cells of row `number` (from 1) of the selected sheet: column c at index c - 1, empty
    // cells at the end left out; empty for a row that holds nothing. Rows are read forwards: a
    // row before the last one asked for cannot be had again (std::logic_error). Throws
    // WorkbookError when the sheet turns out to be damaged or too large on the way.
    QStringList row(int number);
    // A cell of row(row), column counted from 1; "" when empty or outside.
    QString cell(int row, int column);

    // How much of the selected sheet has been read, from 0 to 1.
    virtual double progress() const = 0;
    // Called now and then while rows are read (with progress()); it may throw to stop the reading.
    void setWatch(std::function<void(double)> watch) { m_watch = std::move(watch); }

    // Opens a workbook by its content (.xlsx or .xls, whatever its name); throws WorkbookError.
    static std::unique_ptr<SheetReader> open(const QString &path);

    // The bounds of every sheet.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;

protected:
    struct Row {
        int number = 0;
        QStringList cells;
    };
    virtual void startSheet(int index) = 0;
    // The next row that holds something, in ascending order; false after the last.
    virtual bool readRow(Row &row) = 0;
    void watch() const
    {
        if (m_watch)
            m_watch(progress());
    }

private:
    std::function<void(double)> m_watch;
    bool m_selected = false;
    int m_asked = 0;
    bool m_haveAhead = false;
    bool m_atEnd = false;
    Row m_ahead;
};

} // namespace orv
