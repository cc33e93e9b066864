#include "report/engine/frprint.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpage.h"
#include "report/engine/frpdftext.h"
#include "report/engine/frprepared.h"
#include "report/engine/frreport.h"

#include "common/prompt.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <stdexcept>

namespace {

constexpr int kResPreparing = 55203;   // "正在准备报表"
constexpr int kResPrintingPage = 55208; // "正在打印页:"
constexpr int kResError = 55206;       // "错误"
constexpr int kResUntitled = 55209;    // "Untitled"
constexpr int kResPrinterError = 55210; // "所选打印机错误"

QString withTitle(const QString &text, const QString &title)
{
    return title.isEmpty() ? text : text + QStringLiteral(" - ") + title;
}

void setPaperOf(TfrPrinter &prn, const TfrPageInfo &p)
{
    prn.SetPaper(p.pgSize, p.pgWidth, p.pgHeight, p.pgBin, p.pgOr, true);
}

// Progress of a print: the report's own handler, or the progress window's label.
void reportPrintProgress(TfrReport &report, int pageNo)
{
    if (report.OnProgress) {
        report.OnProgress(pageNo);
    } else if (report.ShowProgress) {
        if (TfrProgressHost *host = frProgressHost())
            host->SetLabel(GetLocalizedString(kResPrintingPage) + QStringLiteral("  ") + QString::number(pageNo));
    }
    QCoreApplication::processEvents();
}

} // namespace

// ---------------------------------------------------------------------------
// Targets

TfrPrinterTarget::TfrPrinterTarget(QPrinter *printer) : m_printer(printer) {}

bool TfrPrinterTarget::MakesCopies() const { return m_printer->supportsMultipleCopies(); }
void TfrPrinterTarget::SetJobTitle(const QString &title) { m_printer->setDocName(title); }
void TfrPrinterTarget::SetCopies(int copies) { m_printer->setCopyCount(copies); }

bool TfrPrinterTarget::BeginDoc(const TfrPageInfo &)
{
    return m_painter.begin(m_printer);
}

bool TfrPrinterTarget::NewPage(const TfrPageInfo &) { return m_printer->newPage(); }

bool TfrPrinterTarget::EndDoc()
{
    return m_painter.end() && m_printer->printerState() != QPrinter::Error;
}

void TfrPrinterTarget::Abort()
{
    m_printer->abort();
    if (m_painter.isActive())
        m_painter.end();
}

TfrPrinterMetrics TfrPrinterTarget::Metrics()
{
    TfrPrinterMetrics m;
    EnsureReportPrinter().FillMetrics(m);
    return m;
}

QString TfrPrinterTarget::ErrorString() const
{
    return m_printer->printerState() == QPrinter::Error ? QStringLiteral("打印机 %1 出错").arg(m_printer->printerName())
                                                        : QString();
}

TfrPdfTarget::TfrPdfTarget(const QString &fileName, int resolution) : m_fileName(fileName), m_resolution(resolution) {}

TfrPdfTarget::~TfrPdfTarget()
{
    if (m_painter.isActive())
        Abort();
}

TfrPrinterMetrics TfrPdfTarget::Metrics()
{
    // The virtual printer's paper: engine units and its 5 mm border, in this file's pixels.
    const TfrPrinter &prn = EnsureReportPrinter();
    TfrPrinterMetrics m;
    m.PageWidth = frRound(prn.PaperWidth * frUnitsPerInch / 254);
    m.PageHeight = frRound(prn.PaperHeight * frUnitsPerInch / 254);
    m.OffsetX = m.OffsetY = frRound(50 * frUnitsPerInch / 254);
    m.PrintableWidth = m.PageWidth - 2 * m.OffsetX;
    m.PrintableHeight = m.PageHeight - 2 * m.OffsetY;
    m.PageWidthPx = frRound(prn.PaperWidth * double(m_resolution) / 254);
    m.PageHeightPx = frRound(prn.PaperHeight * double(m_resolution) / 254);
    m.OffsetXPx = m.OffsetYPx = frRound(50.0 * m_resolution / 254);
    m.PrintableWidthPx = m.PageWidthPx - 2 * m.OffsetXPx;
    m.PrintableHeightPx = m.PageHeightPx - 2 * m.OffsetYPx;
    return m;
}

void TfrPdfTarget::SetPageSize()
{
    const TfrPrinter &prn = EnsureReportPrinter();
    const double w = qMax(1, prn.PaperWidth) / 10.0, h = qMax(1, prn.PaperHeight) / 10.0;
    const QPageSize size(QSizeF(qMin(w, h), qMax(w, h)), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    m_writer->setPageLayout(QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0)));
}

bool TfrPdfTarget::BeginDoc(const TfrPageInfo &)
{
    m_error.clear();
    m_file = std::make_unique<QSaveFile>(m_fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        m_file.reset();
        return false;
    }
    m_pdf = std::make_unique<QBuffer>();
    m_pdf->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_pdf.get());
    m_writer->setResolution(m_resolution);
    m_writer->setTitle(m_title);
    m_writer->setCreator(QStringLiteral("Orvane"));
    SetPageSize();
    if (!m_painter.begin(m_writer.get())) {
        m_error = QStringLiteral("PDF");
        Abort();
        return false;
    }
    // The canvas origin is the printable area's corner, as on a printer.
    const TfrPrinterMetrics m = Metrics();
    m_painter.translate(m.OffsetXPx, m.OffsetYPx);
    return true;
}

bool TfrPdfTarget::NewPage(const TfrPageInfo &)
{
    if (!m_writer)
        return false;
    SetPageSize();
    if (!m_writer->newPage())
        return false;
    const TfrPrinterMetrics m = Metrics();
    m_painter.resetTransform();
    m_painter.translate(m.OffsetXPx, m.OffsetYPx);
    return true;
}

bool TfrPdfTarget::EndDoc()
{
    if (!m_file)
        return false;
    m_painter.end();
    m_writer.reset();
    const QByteArray pdf = frMendPdfText(m_pdf->data());
    m_pdf.reset();
    const bool ok = m_file->write(pdf) == pdf.size() && m_file->commit();
    if (!ok)
        m_error = m_file->errorString();
    m_file.reset();
    return ok;
}

void TfrPdfTarget::Abort()
{
    if (m_painter.isActive())
        m_painter.end();
    m_writer.reset();
    m_pdf.reset();
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}

std::unique_ptr<TfrPrintTarget> frCreatePrintTarget(const QString &pdfFileName)
{
    TfrPrinter &prn = EnsureReportPrinter();
    if (prn.IsVirtual())
        return pdfFileName.isEmpty() ? nullptr : std::make_unique<TfrPdfTarget>(pdfFileName);
    if (QPrinter *p = prn.Platform().Device())
        return std::make_unique<TfrPrinterTarget>(p);
    return nullptr;
}

// ---------------------------------------------------------------------------

QRect frPrintRect(const TfrPageInfo &page, const TfrPrinterMetrics &m)
{
    if (page.UseMargins)
        return QRect(-m.OffsetXPx, -m.OffsetYPx, m.PageWidthPx, m.PageHeightPx);
    const double fx = m.PrintableWidth > 0 ? double(m.PrintableWidthPx) / m.PrintableWidth : 0;
    const double fy = m.PrintableHeight > 0 ? double(m.PrintableHeightPx) / m.PrintableHeight : 0;
    const int left = frRound(page.MarginLeft * fx), top = frRound(page.MarginTop * fy);
    const int right = m.PrintableWidthPx - frRound(page.MarginRight * fx);
    const int bottom = m.PrintableHeightPx - frRound(page.MarginBottom * fy);
    return QRect(left, top, right - left, bottom - top);
}

bool DoPrintReport(TfrReport &report, TfrEMFPages &pages, const TfrPrintRequest &request, TfrPrintTarget &target)
{
    if (pages.Count() == 0)
        return true;
    TfrPrinter &prn = EnsureReportPrinter();
    CurrentReport = &report;
    MasterReport = &report;
    const TfrPrintPlan plan = frPrintPlan(request, pages.Count(), target.MakesCopies());

    setPaperOf(prn, *pages.GetPage(0));
    pages.GetPage(0)->PrnInfo = target.Metrics();
    target.SetJobTitle(report.Title.isEmpty() ? GetLocalizedString(kResUntitled) : report.Title);
    if (report.OnPrintReport)
        report.OnPrintReport();
    target.SetCopies(plan.DeviceCopies);

    bool started = false;
    auto fail = [&] {
        target.Abort();
        return false;
    };
    for (const int i : plan.Pages) {
        TfrPageInfo &info = *pages.GetPage(i);
        if (!started) {
            // The job starts with the paper of the first page printed.
            setPaperOf(prn, info);
            if (!target.BeginDoc(info))
                return fail();
            started = true;
        } else if (prn.SamePaper(info.pgSize, info.pgWidth, info.pgHeight, info.pgBin, info.pgOr)) {
            if (!target.NewPage(info))
                return fail();
        } else if (target.SeveralJobs()) {
            if (!target.EndDoc())
                return fail();
            setPaperOf(prn, info);
            if (!target.BeginDoc(info))
                return fail();
        } else {
            setPaperOf(prn, info);
            if (!target.NewPage(info))
                return fail();
        }
        const TfrPrinterMetrics device = target.Metrics();
        info.PrnInfo = device;
        pages.SetVisible(i, true);
        pages.Draw(i, target.Canvas(), frPrintRect(info, device), TfrDrawOptions{true});
        // Drawn with the flag clear, the page lets go of its objects.
        pages.SetVisible(i, false);
        pages.Draw(i, target.Canvas(), QRect());
        reportPrintProgress(report, i + 1);
        if (report.StopRequested) {
            target.Abort();
            return false;
        }
    }
    if (started && !target.EndDoc())
        return fail();
    return true;
}

bool PrintPreparedReport(TfrReport &report, const TfrPrintRequest &request, TfrPrintTarget &target)
{
    CurrentReport = &report;
    MasterReport = &report;
    report.StopRequested = false;
    QString message;
    if (!TfrPageList::Check(request.PageNumbers, &message)) {
        orv::prompt().message(nullptr, GetLocalizedString(kResError), message, QMessageBox::Warning);
        return false;
    }
    TfrEMFPages &pages = report.EMFPages();
    bool ok = false;
    TfrProgressHost *host = frProgressHost();
    if (report.OnProgress || !report.ShowProgress || !host) {
        // No hovering handler runs while the pages are printed.
        struct Keep {
            TfrReport &r;
            decltype(TfrReport::OnMouseOverObject) saved;
            ~Keep() { r.OnMouseOverObject = std::move(saved); }
        } keep{report, std::exchange(report.OnMouseOverObject, {})};
        ok = DoPrintReport(report, pages, request, target);
    } else {
        ok = host->Run(withTitle(GetLocalizedString(kResPreparing), report.Title),
                       GetLocalizedString(kResPrintingPage),
                       [&] { return DoPrintReport(report, pages, request, target); },
                       [&] { report.StopRequested = true; });
    }
    if (!ok && !report.StopRequested) {
        QString text = QStringLiteral("打印失败");
        if (!target.ErrorString().isEmpty())
            text += QStringLiteral(": ") + target.ErrorString();
        orv::prompt().message(nullptr, GetLocalizedString(kResError), text, QMessageBox::Critical);
    }
    return ok;
}

bool ChangePrinter(TfrReport &report, int prevIndex, int newIndex)
{
    TfrPrinter &prn = EnsureReportPrinter();
    auto apply = [&](int index) {
        prn.SelectPrinter(index);
        report.PrinterName = prn.CurrentPrinterName();
        prn.PaperSize = -1;
        for (TfrPage *p : report.Pages().List())
            if (p->PageType == ptReport)
                p->ChangePaper(p->pgSize, p->pgWidth, p->pgHeight, p->pgBin, p->pgOr);
    };
    try {
        apply(newIndex);
        // A printer that cannot be read leaves the layer on the virtual printer.
        if (prn.PrinterIndex != newIndex)
            throw std::runtime_error("printer not usable");
        return true;
    } catch (const std::exception &) {
        orv::prompt().message(nullptr, GetLocalizedString(kResError), GetLocalizedString(kResPrinterError),
                              QMessageBox::Critical);
        try {
            apply(prevIndex);
        } catch (const std::exception &) {
        }
        return false;
    }
}
