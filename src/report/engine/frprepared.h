#pragma once
// Prepared (finished) pages of a report and the prepared-report file (".frp").
//
// A prepared page is its paper plus a stream of the page's printed objects in their
// prepared-record form (one version byte, then records: type byte, class name for
// add-ins, the object's record with RecordMode 1). The objects themselves are rebuilt
// from the stream only while a page is needed (shown, searched, printed) and dropped
// when it is drawn while its Visible flag is clear, so long reports keep only bytes.
//
// One page painter: TfrEMFPages::Draw paints a page into a rectangle of any QPainter.
// The preview (screen), printing (QPrinter) and PDF (QPdfWriter / QPrinter in PDF
// mode) all call it; pass ToPrinter for device painters so text takes the device's
// resolution. Typical use:
//
//     TfrEMFPages &pages = report.EMFPages();
//     pages.SetVisible(i, true);                        // the page is needed
//     pages.Draw(i, &painter, targetRect, {.ToPrinter = true});
//
// Find (F3) reads a page's texts through PageTexts: the page is painted once into a
// recording paint device that keeps every line of text with its rectangle (engine
// units of the page), in the order drawn.
#include "report/engine/frpage.h"
#include "report/engine/frprinter.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QBuffer;
class QPainter;
class TfrReport;

// One prepared page.
struct TfrPageInfo {
    QRect PageRect;                 // where the preview laid the page out (the preview's own)
    qint32 pgSize = 0;              // paper code, low 16 bits (256 = custom)
    qint32 pgWidth = 0, pgHeight = 0; // tenths of a millimetre
    int pgOr = poPortrait;
    qint32 pgBin = frDefaultBin;    // -1 or 65535: default bin
    bool UseMargins = false;        // false: the page stretches to the printable area
    qint32 MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0; // engine units
    TfrPrinterMetrics PrnInfo;      // metrics of this paper
    bool Visible = false;           // set while the page's objects are needed
    QByteArray Stream;              // version byte 25, then the object records
    std::unique_ptr<TfrPage> Page;  // objects rebuilt from Stream, or null

    TfrPageInfo();
    ~TfrPageInfo();
    TfrPageInfo(const TfrPageInfo &) = delete;
    TfrPageInfo &operator=(const TfrPageInfo &) = delete;
};

struct TfrDrawOptions {
    // Drawing onto a printer or a PDF writer: every object is drawn and text takes
    // the device's resolution. Otherwise (screen) objects outside the painter's clip
    // region are skipped.
    bool ToPrinter = false;
};

// A line of text as a page draws it.
struct TfrTextRecord {
    QString Text;
    QRectF Rect;          // engine units of the page (its top-left corner is 0, 0)
    int ObjectIndex = -1; // index of the object in the page's object list
};

// Export filter: the objects of every prepared page handed over one by one. No
// filter is registered by the program; the loop is TfrReport::ExportTo.
class TfrExportFilter {
public:
    virtual ~TfrExportFilter() = default;
    QString FileName;
    QIODevice *Stream = nullptr;     // the file while exporting
    // Optional events: the start may cancel (set the flag false); the end gets the file name.
    std::function<void(bool &proceed)> OnBeginExport;
    std::function<void(const QString &fileName)> OnEndExport;

    // Asks for options; true goes on (the filter's begin operation).
    virtual bool ShowModal() { return true; }
    virtual void OnBeginDoc() {}
    virtual void OnEndDoc() {}
    virtual void OnBeginPage() {}
    virtual void OnEndPage() {}
    // An object with its position on the page (engine units).
    virtual void OnData(int x, int y, TfrView *view) { Q_UNUSED(x); Q_UNUSED(y); Q_UNUSED(view); }
    // A line of a text object with its rectangle (device of the export: engine units).
    virtual void OnText(const QString &line, const QRect &rect, int x, int y, int frameTyp)
    {
        Q_UNUSED(line); Q_UNUSED(rect); Q_UNUSED(x); Q_UNUSED(y); Q_UNUSED(frameTyp);
    }
};

class TfrEMFPages {
public:
    explicit TfrEMFPages(TfrReport *report);
    ~TfrEMFPages();
    TfrEMFPages(const TfrEMFPages &) = delete;
    TfrEMFPages &operator=(const TfrEMFPages &) = delete;

    TfrReport *Report() const { return m_report; }
    void SetReport(TfrReport *report) { m_report = report; }

    int Count() const { return int(m_pages.size()); }
    // The page record; nullptr out of range.
    TfrPageInfo *GetPage(int index) const;
    TfrPageInfo *operator[](int index) const { return GetPage(index); }

    void Clear();
    void Delete(int index);
    // Inserts a page with the template page's paper, margins and metrics at index
    // (appends when index is not below Count). Returns the margins-used flag.
    bool Insert(int index, const TfrPage &page);
    // Appends, then raises OnBeginPage(PageNo) of CurrentReport (and MasterReport when another).
    void Add(const TfrPage &page);
    // Swaps all pages with another list (the report stays).
    void Swap(TfrEMFPages &other);

    // Writer of a page's object stream, positioned at its end (the build prints into it).
    QIODevice &Stream(int index);

    void SetVisible(int index, bool visible);
    // The one page painter (see above). With the Visible flag clear the page's objects
    // are freed and nothing is drawn.
    void Draw(int index, QPainter *canvas, const QRect &rect, const TfrDrawOptions &options = {});
    // Rebuilds the page object from the stream when it is missing.
    void ObjectsToPage(int index);
    // Rewrites the stream from the page object (edited texts become the printed texts)
    // and takes the page object's paper, orientation, bin, margins and metrics into the
    // page record. Throws EfrStreamError; the record is then unchanged.
    void PageToObjects(int index);
    // Frees the page object (it is rebuilt from the stream when next needed).
    void FreePageObjects(int index);
    // Hands every object of the page to the report's current export filter.
    void ExportPage(int index);

    // The object under a point (engine units of the page) from the last to the first.
    // Click: raises the report's OnObjectClick; an object named "URL..." gives its link:
    // an http, https or mailto address is opened through the prompt layer, "@" followed by
    // digits (a page number) is returned in link; anything else is ignored. Hover: raises
    // OnMouseOverObject; over an "URL..." object the cursor becomes the hand and link its tag.
    // True when an object was hit and handled.
    bool ObjectAtPoint(int index, const QPoint &point, QString &link, Qt::CursorShape &cursor, bool click);

    // The page's texts in drawing order (find, F3).
    QList<TfrTextRecord> PageTexts(int index);

    // The ".frp" layout. Both throw EfrStreamError. Reading selects the file's printer and
    // paper and replaces all pages only when the whole stream was read: a failed read
    // leaves the pages, the printer and its paper as they were.
    void LoadFromStream(QIODevice &s);
    void SaveToStream(QIODevice &s);

private:
    void closeWriter();

    TfrReport *m_report;
    std::vector<std::unique_ptr<TfrPageInfo>> m_pages;
    std::unique_ptr<QBuffer> m_writer;
    int m_writerPage = -1;
};

constexpr quint8 frPreparedVersion = 25;
