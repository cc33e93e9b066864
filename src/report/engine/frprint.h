#pragma once
// Printing prepared pages: the page list, copies, collation and odd/even
// pages, a new print job for every change of paper, progress and Cancel.
// Pages go to a print target: the selected printer, or a PDF file. A PDF file
// cannot make copies or hold several jobs, so pages are repeated for the
// copies and a change of paper is a new page of its own size in the same file.
// Every page is painted by the prepared pages' one painter (TfrEMFPages::Draw).
#include "report/engine/frpagelist.h"
#include "report/engine/frprinter.h"

#include <QPainter>
#include <QString>

#include <memory>

class QBuffer;
class QPdfWriter;
class QSaveFile;
class TfrEMFPages;
class TfrReport;
struct TfrPageInfo;

class TfrPrintTarget {
public:
    virtual ~TfrPrintTarget() = default;
    // The device makes uncollated copies of a sheet itself.
    virtual bool MakesCopies() const = 0;
    // A change of paper ends the job and starts another; otherwise the new
    // paper is a new page of its own size in the same document.
    virtual bool SeveralJobs() const = 0;
    virtual void SetJobTitle(const QString &title) = 0;
    virtual void SetCopies(int copies) = 0;
    // The printer layer holds the page's paper when these are called.
    virtual bool BeginDoc(const TfrPageInfo &page) = 0;
    virtual bool NewPage(const TfrPageInfo &page) = 0;
    virtual bool EndDoc() = 0;
    virtual void Abort() = 0;
    // Painter of the running job: its origin is the printable area's top-left corner.
    virtual QPainter *Canvas() = 0;
    // Metrics of the printer layer's current paper in this device's pixels.
    virtual TfrPrinterMetrics Metrics() = 0;
    // Why the last call failed.
    virtual QString ErrorString() const { return {}; }
};

// The selected real printer of the printer layer.
class TfrPrinterTarget : public TfrPrintTarget {
public:
    explicit TfrPrinterTarget(QPrinter *printer);
    bool MakesCopies() const override;
    bool SeveralJobs() const override { return true; }
    void SetJobTitle(const QString &title) override;
    void SetCopies(int copies) override;
    bool BeginDoc(const TfrPageInfo &page) override;
    bool NewPage(const TfrPageInfo &page) override;
    bool EndDoc() override;
    void Abort() override;
    QPainter *Canvas() override { return &m_painter; }
    TfrPrinterMetrics Metrics() override;
    QString ErrorString() const override;

private:
    QPrinter *m_printer;
    QPainter m_painter;
};

// A PDF file written through Qt's PDF output, with the virtual printer's
// paper and its 5 mm unprintable border. The file is replaced only when the
// job ends; an aborted or failed job leaves an existing file as it was. Its
// text layer carries the characters printed (frMendPdfText).
class TfrPdfTarget : public TfrPrintTarget {
public:
    explicit TfrPdfTarget(const QString &fileName, int resolution = 600);
    ~TfrPdfTarget() override;
    bool MakesCopies() const override { return false; }
    bool SeveralJobs() const override { return false; }
    void SetJobTitle(const QString &title) override { m_title = title; }
    void SetCopies(int) override {}
    bool BeginDoc(const TfrPageInfo &page) override;
    bool NewPage(const TfrPageInfo &page) override;
    bool EndDoc() override;
    void Abort() override;
    QPainter *Canvas() override { return &m_painter; }
    TfrPrinterMetrics Metrics() override;
    QString ErrorString() const override { return m_error; }

private:
    void SetPageSize();
    QString m_fileName;
    int m_resolution;
    QString m_title;
    QString m_error;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QBuffer> m_pdf;   // the document until it is mended and written
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

// The target of the printer layer's selected printer: a PDF file for the
// virtual printer (fileName), else the printer. Null when there is neither.
std::unique_ptr<TfrPrintTarget> frCreatePrintTarget(const QString &pdfFileName);

// Where a page goes on the device (device pixels, relative to the canvas
// origin): the whole page when it keeps its margins, else the printable area
// less its margins.
QRect frPrintRect(const TfrPageInfo &page, const TfrPrinterMetrics &device);

// Prints a report's prepared pages under the progress window (unless the
// report reports progress itself or shows none). A page list the parser
// refuses is reported and nothing is printed. False when nothing was printed
// completely: a refused list, a device error (reported), or Cancel.
bool PrintPreparedReport(TfrReport &report, const TfrPrintRequest &request, TfrPrintTarget &target);
// The printing itself (no window); false on Cancel or a device error.
bool DoPrintReport(TfrReport &report, TfrEMFPages &pages, const TfrPrintRequest &request, TfrPrintTarget &target);

// Switches the report to another printer and lets every template page take
// its paper there. On an error the previous printer is selected again, the
// operator told "所选打印机错误", and false returned.
bool ChangePrinter(TfrReport &report, int prevIndex, int newIndex);
