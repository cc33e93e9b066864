#include "report/engine/frprepared.h"

#include "report/engine/frmemo.h"
#include "report/engine/frpicture.h"
#include "report/engine/frreport.h"
#include "report/engine/frstatescope.h"

#include "common/prompt.h"

#include <QBuffer>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QUrl>

#include <cmath>
#include <optional>

TfrPageInfo::TfrPageInfo() = default;
TfrPageInfo::~TfrPageInfo() = default;

namespace {

// A page record takes a page's paper, orientation, bin, margins and metrics.
void takePageSettings(TfrPageInfo &info, const TfrPage &page)
{
    info.pgSize = page.pgSize & 0xFFFF;
    info.pgWidth = page.pgWidth;
    info.pgHeight = page.pgHeight;
    info.pgOr = page.pgOr;
    info.pgBin = page.pgBin;
    info.UseMargins = page.UseMargins;
    info.MarginLeft = page.MarginLeft;
    info.MarginTop = page.MarginTop;
    info.MarginRight = page.MarginRight;
    info.MarginBottom = page.MarginBottom;
    info.PrnInfo = page.PrnInfo;
}

// Reads one object record of a page stream (type byte already read).
std::unique_ptr<TfrView> readPreparedObject(QIODevice &s, quint8 type)
{
    QString className;
    if (type == 10)
        className = ReadVersionedString(s);
    std::unique_ptr<TfrView> v = CreateView(type, className);
    if (!v)
        throw EfrStreamError("Unknown object kind in a prepared page");
    v->RecordMode = 1;
    try {
        v->LoadFromStream(s);
    } catch (...) {
        v->RecordMode = 0;
        throw;
    }
    v->RecordMode = 0;
    return v;
}

// Walks the records of a page stream.
template <typename F> void forEachRecord(const QByteArray &stream, F &&take)
{
    QBuffer b;
    b.setData(stream);
    b.open(QIODevice::ReadOnly);
    if (b.atEnd())
        return;
    StreamVersion = ReadStreamByte(b);
    while (!b.atEnd()) {
        const qint64 at = b.pos();
        const quint8 type = ReadStreamByte(b);
        take(readPreparedObject(b, type));
        if (b.pos() <= at)
            throw EfrStreamError("Prepared record does not advance");
    }
}

// A paint device that keeps the texts drawn on it, with their rectangles.
class TextRecorder : public QPaintDevice {
public:
    explicit TextRecorder(const QSize &size);
    ~TextRecorder() override;
    QPaintEngine *paintEngine() const override;
    QList<TfrTextRecord> records;
    int objectIndex = -1;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return m_size.width();
        case PdmHeight: return m_size.height();
        case PdmWidthMM: return qRound(m_size.width() * 25.4 / 96);
        case PdmHeightMM: return qRound(m_size.height() * 25.4 / 96);
        case PdmNumColors: return 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize m_size;
    std::unique_ptr<QPaintEngine> m_engine;
};

class TextRecordEngine : public QPaintEngine {
public:
    explicit TextRecordEngine(TextRecorder *device) : QPaintEngine(AllFeatures), m_device(device) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawEllipse(const QRectF &) override {}
    void drawPoints(const QPointF *, int) override {}
    void drawTextItem(const QPointF &p, const QTextItem &ti) override
    {
        if (ti.text().isEmpty())
            return;
        const QRectF r(p.x(), p.y() - ti.ascent(), ti.width(), ti.ascent() + ti.descent());
        m_device->records.append(TfrTextRecord{ti.text(), m_transform.mapRect(r), m_device->objectIndex});
    }

private:
    TextRecorder *m_device;
    QTransform m_transform;
};

TextRecorder::TextRecorder(const QSize &size) : m_size(size), m_engine(std::make_unique<TextRecordEngine>(this)) {}
TextRecorder::~TextRecorder() = default;
QPaintEngine *TextRecorder::paintEngine() const { return m_engine.get(); }

bool objectVisible(QPainter *canvas, const QRect &r)
{
    if (canvas->hasClipping())
        return canvas->clipRegion().intersects(r);
    const QPaintDevice *d = canvas->device();
    if (!d)
        return true;
    const QRect deviceRect(0, 0, d->width(), d->height());
    bool invertible = false;
    const QTransform inv = canvas->deviceTransform().inverted(&invertible);
    return !invertible || inv.mapRect(deviceRect).intersects(r);
}

// A link of a prepared object: only web and mail addresses open, "@" and digits is a page.
bool openableLink(const QString &tag)
{
    const QUrl url(tag.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
                             || scheme == QLatin1String("mailto"));
}

bool pageLink(const QString &tag)
{
    static const QRegularExpression re(QStringLiteral("^@[0-9]+$"));
    return re.match(tag.trimmed()).hasMatch();
}

// Every page record needs at least this many bytes; a count beyond it is a damaged file.
constexpr qint64 kMinPageRecord = 16;

// The page count of a prepared file, refused when the rest of the file cannot hold that many pages.
qint32 readPageCount(QIODevice &s)
{
    const qint32 count = ReadStreamInt(s);
    if (count < 0 || count > (s.size() - s.pos()) / kMinPageRecord)
        throw EfrStreamError("Page count beyond the file");
    return count;
}

// The printer's metrics of a page's paper; a paper the printer refuses is taken as custom.
void fillPaperMetrics(TfrPrinter &prn, TfrPageInfo &p, int bin)
{
    try {
        prn.SetPaper(p.pgSize, p.pgWidth, p.pgHeight, bin, p.pgOr);
    } catch (const std::exception &) {
        prn.SetPaper(frCustomPaper, p.pgWidth, p.pgHeight, frDefaultBin, p.pgOr);
    }
    prn.FillMetrics(p.PrnInfo);
}
} // namespace

// ---------------------------------------------------------------------------

TfrEMFPages::TfrEMFPages(TfrReport *report) : m_report(report) {}

TfrEMFPages::~TfrEMFPages()
{
    closeWriter();
    if (CurrentPage)
        for (const auto &p : m_pages)
            if (p->Page.get() == CurrentPage)
                CurrentPage = nullptr;
}

TfrPageInfo *TfrEMFPages::GetPage(int index) const
{
    return index >= 0 && index < Count() ? m_pages[size_t(index)].get() : nullptr;
}

void TfrEMFPages::closeWriter()
{
    m_writer.reset();
    m_writerPage = -1;
}

void TfrEMFPages::Clear()
{
    closeWriter();
    while (!m_pages.empty())
        Delete(Count() - 1);
}

void TfrEMFPages::Delete(int index)
{
    TfrPageInfo *p = GetPage(index);
    if (!p)
        return;
    closeWriter();
    if (CurrentPage && CurrentPage == p->Page.get())
        CurrentPage = nullptr;
    m_pages.erase(m_pages.begin() + index);
}

bool TfrEMFPages::Insert(int index, const TfrPage &page)
{
    closeWriter();
    auto p = std::make_unique<TfrPageInfo>();
    takePageSettings(*p, page);
    p->Stream = QByteArray(1, char(frPreparedVersion));
    const bool margins = p->UseMargins;
    if (index < 0 || index >= Count())
        m_pages.push_back(std::move(p));
    else
        m_pages.insert(m_pages.begin() + index, std::move(p));
    return margins;
}

void TfrEMFPages::Add(const TfrPage &page)
{
    Insert(Count(), page);
    if (CurrentReport && CurrentReport->OnBeginPage)
        CurrentReport->OnBeginPage(PageNo);
    if (MasterReport && MasterReport != CurrentReport && MasterReport->OnBeginPage)
        MasterReport->OnBeginPage(PageNo);
}

void TfrEMFPages::Swap(TfrEMFPages &other)
{
    closeWriter();
    other.closeWriter();
    std::swap(m_pages, other.m_pages);
}

QIODevice &TfrEMFPages::Stream(int index)
{
    TfrPageInfo *p = GetPage(index);
    if (!p)
        throw EfrStreamError("No prepared page to print into");
    if (!m_writer || m_writerPage != index || m_writer->buffer().constData() != p->Stream.constData()) {
        m_writer = std::make_unique<QBuffer>(&p->Stream);
        m_writer->open(QIODevice::ReadWrite);
        m_writerPage = index;
    }
    m_writer->seek(m_writer->size());
    return *m_writer;
}

void TfrEMFPages::SetVisible(int index, bool visible)
{
    if (TfrPageInfo *p = GetPage(index))
        p->Visible = visible;
}

void TfrEMFPages::ObjectsToPage(int index)
{
    TfrPageInfo *info = GetPage(index);
    if (!info || info->Page)
        return;
    closeWriter();
    auto page = std::make_unique<TfrPage>(info->pgSize, info->pgWidth, info->pgHeight, info->pgBin, info->pgOr);
    page->UseMargins = info->UseMargins;
    page->MarginLeft = info->MarginLeft;
    page->MarginTop = info->MarginTop;
    page->MarginRight = info->MarginRight;
    page->MarginBottom = info->MarginBottom;
    page->PrnInfo = info->PrnInfo;
    const int keptVersion = StreamVersion;
    TfrPage *const keptPage = CurrentPage;
    CurrentPage = page.get();
    try {
        forEachRecord(info->Stream, [&](std::unique_ptr<TfrView> v) {
            TfrView *raw = v.get();
            page->Add(v.release());
            if (raw->TypeCode == 0 && (raw->Flags & flAutoWidth)) {
                // Text that sizes itself takes its width from a drawing.
                const quint8 mode = EngineMode;
                EngineMode = 1;
                QImage scratch(8, 8, QImage::Format_RGB32);
                QPainter sp(&scratch);
                raw->Draw(&sp);
                EngineMode = mode;
            }
        });
    } catch (...) {
        StreamVersion = keptVersion;
        CurrentPage = keptPage;
        throw;
    }
    StreamVersion = keptVersion;
    info->Page = std::move(page);
    CurrentPage = info->Page.get();
}

void TfrEMFPages::PageToObjects(int index)
{
    TfrPageInfo *info = GetPage(index);
    if (!info || !info->Page)
        return;
    closeWriter();
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    const int keptVersion = StreamVersion;
    StreamVersion = frPreparedVersion;
    try {
        WriteStreamByte(b, frPreparedVersion);
        for (TfrView *v : info->Page->Objects) {
            WriteStreamByte(b, v->TypeCode);
            if (v->TypeCode == 10)
                WriteStreamString(b, v->ClassName());
            v->PrintText = v->Memo;
            v->RecordMode = 1;
            try {
                v->SaveToStream(b);
            } catch (...) {
                v->RecordMode = 0;
                throw;
            }
            v->RecordMode = 0;
        }
    } catch (...) {
        StreamVersion = keptVersion;
        throw;
    }
    StreamVersion = keptVersion;
    info->Stream = b.data();
    // The page's own settings go with it (the designer's page options change them).
    takePageSettings(*info, *info->Page);
}

void TfrEMFPages::FreePageObjects(int index)
{
    TfrPageInfo *info = GetPage(index);
    if (!info || !info->Page)
        return;
    closeWriter();
    if (CurrentPage == info->Page.get())
        CurrentPage = nullptr;
    info->Page.reset();
}

void TfrEMFPages::Draw(int index, QPainter *canvas, const QRect &rect, const TfrDrawOptions &options)
{
    TfrPageInfo *info = GetPage(index);
    if (!info)
        return;
    TfrEngineStateScope scope;
    EngineMode = 1;
    if (!info->Visible) {
        FreePageObjects(index);
        return;
    }
    ObjectsToPage(index);
    TfrPage *page = info->Page.get();
    CurrentPage = page;
    frAlignToPage(page);
    const int pw = info->PrnInfo.PageWidth, ph = info->PrnInfo.PageHeight;
    if (pw <= 0 || ph <= 0)
        return;
    const double kx = double(rect.width()) / pw, ky = double(rect.height()) / ph;
    for (TfrView *v : page->Objects) {
        if (!options.ToPrinter && canvas) {
            const QRect r(QPoint(frRound(v->Left * kx) + rect.left() - 10, frRound(v->Top * ky) + rect.top() - 10),
                          QPoint(frRound((double(v->Left) + v->Width) * kx) + rect.left() + 10,
                                 frRound((double(v->Top) + v->Height) * ky) + rect.top() + 10));
            if (!objectVisible(canvas, r))
                continue;
        }
        v->ZoomX = kx;
        v->ZoomY = ky;
        v->OffsetX = rect.left();
        v->OffsetY = rect.top();
        v->ToPrinter = options.ToPrinter;
        v->Draw(canvas);
    }
}

QList<TfrTextRecord> TfrEMFPages::PageTexts(int index)
{
    TfrPageInfo *info = GetPage(index);
    if (!info)
        return {};
    TfrEngineStateScope scope;
    EngineMode = 1;
    ObjectsToPage(index);
    TfrPage *page = info->Page.get();
    CurrentPage = page;
    frAlignToPage(page);
    const QSize size(qMax(1, info->PrnInfo.PageWidth), qMax(1, info->PrnInfo.PageHeight));
    TextRecorder rec(size);
    QPainter p(&rec);
    for (int i = 0; i < page->Objects.size(); ++i) {
        TfrView *v = page->Objects[i];
        rec.objectIndex = i;
        v->ZoomX = v->ZoomY = 1;
        v->OffsetX = v->OffsetY = 0;
        v->ToPrinter = false;
        v->Draw(&p);
    }
    p.end();
    if (!info->Visible)
        FreePageObjects(index);
    return rec.records;
}

void TfrEMFPages::ExportPage(int index)
{
    TfrPageInfo *info = GetPage(index);
    if (!info)
        return;
    TfrEngineStateScope scope;
    EngineMode = 1;
    forEachRecord(info->Stream, [](std::unique_ptr<TfrView> v) { v->ExportData(); });
}

bool TfrEMFPages::ObjectAtPoint(int index, const QPoint &point, QString &link, Qt::CursorShape &cursor, bool click)
{
    link.clear();
    TfrPageInfo *info = GetPage(index);
    if (!info)
        return false;
    ObjectsToPage(index);
    TfrPage *page = info->Page.get();
    double kx = 1, ky = 1, ox = 0, oy = 0;
    const TfrPrinterMetrics &m = info->PrnInfo;
    if (!info->UseMargins && m.PageWidth > 0 && m.PageHeight > 0) {
        kx = double(m.PrintableWidth - info->MarginLeft - info->MarginRight) / m.PageWidth;
        ky = double(m.PrintableHeight - info->MarginTop - info->MarginBottom) / m.PageHeight;
        ox = info->MarginLeft + m.OffsetX;
        oy = info->MarginTop + m.OffsetY;
    }
    for (int i = int(page->Objects.size()) - 1; i >= 0; --i) {
        TfrView *v = page->Objects[i];
        const QRect r(QPoint(frRound(v->Left * kx + ox), frRound(v->Top * ky + oy)),
                      QPoint(frRound(ox + kx * (double(v->Left) + v->Width)),
                             frRound(oy + ky * (double(v->Top) + v->Height))));
        if (!r.contains(point))
            continue;
        const bool isLink = v->Name.startsWith(QLatin1String("URL"), Qt::CaseInsensitive);
        bool result = false;
        if (click) {
            if (m_report && m_report->OnObjectClick) {
                m_report->OnObjectClick(v);
                result = true;
            }
            if (isLink) {
                if (openableLink(v->Tag))
                    orv::prompt().openExternal(v->Tag.trimmed());
                else if (pageLink(v->Tag))
                    link = v->Tag.trimmed();
                result = true;
            }
        } else {
            if (m_report && m_report->OnMouseOverObject) {
                m_report->OnMouseOverObject(v, cursor);
                result = true;
            }
            if (isLink) {
                cursor = Qt::PointingHandCursor;
                link = v->Tag;
                result = true;
            }
        }
        return result;
    }
    return false;
}

// ---------------------------------------------------------------------------
// ".frp" file

void TfrEMFPages::SaveToStream(QIODevice &s)
{
    closeWriter();
    const int keptVersion = StreamVersion;
    StreamVersion = frPreparedVersion;
    try {
        WriteStreamByte(s, frPreparedVersion);
        WriteStreamByte(s, 0); // no compressor in this program
        WriteStreamString(s, EnsureReportPrinter().CurrentPrinterName());
        WriteStreamInt(s, Count());
        for (const auto &p : m_pages) {
            const qint64 at = s.pos();
            WriteStreamInt(s, 0);
            WriteStreamWord(s, qint16(quint16(p->pgSize)));
            WriteStreamInt(s, p->pgWidth);
            WriteStreamInt(s, p->pgHeight);
            WriteStreamByte(s, quint8(p->pgOr));
            WriteStreamInt(s, p->pgBin);
            WriteStreamByte(s, p->UseMargins ? 1 : 0);
            WriteStreamInt(s, p->MarginLeft);
            WriteStreamInt(s, p->MarginTop);
            WriteStreamInt(s, p->MarginRight);
            WriteStreamInt(s, p->MarginBottom);
            WriteStreamBytes(s, p->Stream);
            const qint64 end = s.pos();
            if (end > 0xFFFFFFFFll)
                throw EfrStreamError("Prepared report beyond 4 GB");
            if (!s.seek(at))
                throw EfrStreamError("Stream write error");
            WriteStreamInt(s, qint32(quint32(end)));
            if (!s.seek(end))
                throw EfrStreamError("Stream write error");
        }
        WriteStreamByte(s, m_report ? m_report->Attributes.GeneratorVersion : frGeneratorVersion);
    } catch (...) {
        StreamVersion = keptVersion;
        throw;
    }
    StreamVersion = keptVersion;
}

namespace {

// A whole ".frp" as read, before any of it is applied.
struct FrpContents {
    QString printer;
    std::optional<quint8> generator;        // the older layout has none
    std::vector<std::unique_ptr<TfrPageInfo>> pages;
    std::vector<QByteArray> metafiles;      // older layout: each page's picture
};

void checkNext(QIODevice &s, qint64 next)
{
    if (next < s.pos() || next > s.size())
        throw EfrStreamError("Prepared page ends outside the file");
}

FrpContents readCurrentLayout(QIODevice &s, int version)
{
    FrpContents c;
    const bool compressed = ReadStreamByte(s) != 0;
    StreamVersion = version;
    c.printer = ReadVersionedString(s);
    const qint32 count = readPageCount(s);
    for (qint32 i = 0; i < count; ++i) {
        auto p = std::make_unique<TfrPageInfo>();
        const qint64 next = quint32(ReadStreamInt(s));
        p->pgSize = quint16(ReadStreamWord(s));
        p->pgWidth = ReadStreamInt(s);
        p->pgHeight = ReadStreamInt(s);
        p->pgOr = ReadStreamByte(s) ? poLandscape : poPortrait;
        p->pgBin = version >= 24 ? ReadStreamInt(s) : frDefaultBin;
        p->UseMargins = ReadStreamByte(s) != 0;
        if (version >= 24) {
            p->MarginLeft = ReadStreamInt(s);
            p->MarginTop = ReadStreamInt(s);
            p->MarginRight = ReadStreamInt(s);
            p->MarginBottom = ReadStreamInt(s);
        }
        checkNext(s, next);
        const QByteArray data = ReadStreamBytes(s, next - s.pos());
        // Without a decompressor a compressed page comes out empty.
        p->Stream = compressed ? QByteArray(1, char(frPreparedVersion)) : data;
        c.pages.push_back(std::move(p));
    }
    c.generator = ReadStreamByte(s);
    return c;
}

FrpContents readLegacyLayout(QIODevice &s)
{
    FrpContents c;
    StreamVersion = 0;
    c.printer = ReadOldStreamStrings(s).value(0);
    const qint32 count = readPageCount(s);
    for (qint32 i = 0; i < count; ++i) {
        auto p = std::make_unique<TfrPageInfo>();
        const qint64 next = quint32(ReadStreamInt(s));
        p->pgSize = quint16(ReadStreamWord(s));
        p->pgWidth = ReadStreamInt(s);
        p->pgHeight = ReadStreamInt(s);
        p->pgOr = ReadStreamByte(s) ? poLandscape : poPortrait;
        p->UseMargins = ReadStreamByte(s) != 0;
        checkNext(s, next);
        c.metafiles.push_back(ReadStreamBytes(s, next - s.pos()));
        c.pages.push_back(std::move(p));
    }
    return c;
}

// An older page becomes one full-page picture of its metafile (drawn as a marked placeholder).
void writeMetafilePage(TfrPageInfo &p, const QByteArray &metafile)
{
    TfrPictureView pic;
    pic.SetBounds(0, 0, p.PrnInfo.PageWidth, p.PrnInfo.PageHeight);
    pic.Flags = 1; // stretched to the page
    pic.Picture.Set(gkMetafile, metafile);
    pic.BlobType = btWMF;
    QBuffer b(&p.Stream);
    b.open(QIODevice::WriteOnly);
    StreamVersion = frPreparedVersion;
    WriteStreamByte(b, frPreparedVersion);
    WriteStreamByte(b, pic.TypeCode);
    pic.RecordMode = 1;
    pic.SaveToStream(b);
}

// Selects the file's printer and takes each page's metrics from its paper. The
// metrics need the printer set, so this runs only on a file read whole; should it
// fail, the printer, its paper and the report's printer name are put back.
void applyPrinterAndPaper(TfrReport *report, FrpContents &c)
{
    TfrPrinter &prn = EnsureReportPrinter();
    const QString keptName = report ? report->PrinterName : QString();
    const int keptPrinter = prn.PrinterIndex;
    const int code = prn.PaperSize, width = prn.PaperWidth, height = prn.PaperHeight;
    const int bin = prn.Bin, orientation = prn.Orientation;
    try {
        if (report)
            report->SetPrinterTo(c.printer);
        for (size_t i = 0; i < c.pages.size(); ++i) {
            TfrPageInfo &p = *c.pages[i];
            fillPaperMetrics(prn, p, p.pgBin);
            if (i < c.metafiles.size())
                writeMetafilePage(p, c.metafiles[i]);
        }
    } catch (...) {
        try {
            if (report)
                report->PrinterName = keptName;
            prn.SelectPrinter(keptPrinter);
            prn.SetPaper(code, width, height, bin, orientation, true);
        } catch (...) {
            // the error that stopped the load is the one to report
        }
        throw;
    }
}
} // namespace

void TfrEMFPages::LoadFromStream(QIODevice &s)
{
    closeWriter();
    QBuffer copy;
    QIODevice *dev = &s;
    if (s.isSequential()) {
        copy.setData(s.readAll());
        copy.open(QIODevice::ReadOnly);
        dev = &copy;
    }
    const int keptVersion = StreamVersion;
    FrpContents contents;
    try {
        const qint64 start = dev->pos();
        int version = ReadStreamByte(*dev);
        if (version < 24 || version > 31) {
            version = 0;
            if (!dev->seek(start))
                throw EfrStreamError("Cannot restart the stream");
        }
        const qint64 flagAt = dev->pos();
        const quint8 flag = ReadStreamByte(*dev);
        if (!dev->seek(flagAt))
            throw EfrStreamError("Cannot restart the stream");
        if (flag == 0 || flag == 1 || flag == 255) {
            contents = readCurrentLayout(*dev, version);
        } else {
            if (!dev->seek(start))
                throw EfrStreamError("Cannot restart the stream");
            contents = readLegacyLayout(*dev);
        }
        applyPrinterAndPaper(m_report, contents);
    } catch (...) {
        StreamVersion = keptVersion;
        throw;
    }
    StreamVersion = keptVersion;
    if (m_report && contents.generator)
        m_report->Attributes.GeneratorVersion = *contents.generator;
    if (CurrentPage)
        for (const auto &p : m_pages)
            if (p->Page.get() == CurrentPage)
                CurrentPage = nullptr;
    m_pages.swap(contents.pages);
}
