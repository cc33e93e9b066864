// Template stream (".frf"), report body, page records, object record frames,
// document attributes and new-report templates (".frt").
#include "report/engine/frband.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpage.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"

#include "common/clock.h"
#include "common/codec.h"
#include "common/prompt.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

#include <functional>

namespace {

// Bounds that no template made by the designer comes near; a stream beyond them is refused.
constexpr int kMaxPages = 1000;
constexpr int kMaxObjects = 65536;
constexpr int kMaxSubReportDepth = 32;
constexpr int kMaxPaperSize = 1000000;   // tenths of a millimetre (100 m)
constexpr int kMaxColumns = frMaxBandColumns;

constexpr quint8 kPageRecord = 255;
constexpr quint8 kDictionaryRecord = 254;
constexpr quint8 kDataManagerRecord = 253;
constexpr quint8 kEndRecord = 252;
constexpr quint8 kLastObjectCode = 10;

const QString kVirtualPrinterMark = QString(QChar(1));

[[noreturn]] void malformed(const char *why)
{
    throw EfrStreamError(why);
}

// Document attributes: u16 byte count and the bytes, without terminator.
QString readAttribute(QIODevice &s)
{
    return orv::fromGbk(ReadStreamText16(s));
}

void writeAttribute(QIODevice &s, const QString &text)
{
    const QByteArray b = orv::toGbk(text);
    if (b.size() > frMaxStreamTextBytes && !StreamTakesLongTexts(s))
        throw EfrNotStorable(QStringLiteral("报表属性的文本长度为 %1 字节，超过了报表文件所能保存的 %2 字节")
                                 .arg(b.size())
                                 .arg(frMaxStreamTextBytes));
    WriteStreamText16(s, b);
}

// Sub-reports show another page of the same report; a reference outside the
// report, to its own page or round a cycle would make the build recurse without end.
void checkSubReports(const TfrPages &pages)
{
    const int n = pages.Count();
    QList<QList<int>> shows(n);
    for (int i = 0; i < n; ++i) {
        for (TfrView *v : pages[i]->Objects) {
            const auto *sub = dynamic_cast<const TfrSubReportView *>(v);
            if (!sub)
                continue;
            const int target = sub->SubReportPage;
            if (target < 0 || target >= n || target == i)
                malformed("Sub-report refers to a page it cannot show");
            shows[i] << target;
        }
    }
    // Depth-first walk; 1 = on the current path, 2 = done with its depth known.
    QList<int> state(n, 0), depth(n, 0);
    std::function<int(int)> walk = [&](int p) -> int {
        if (state[p] == 1)
            malformed("Sub-reports show each other in a cycle");
        if (state[p] == 2)
            return depth[p];
        state[p] = 1;
        int d = 0;
        for (int t : shows[p])
            d = std::max(d, walk(t) + 1);
        if (d > kMaxSubReportDepth)
            malformed("Sub-reports nested too deeply");
        state[p] = 2;
        depth[p] = d;
        return d;
    };
    for (int i = 0; i < n; ++i)
        walk(i);
}

// What a file may claim is bounded, so building and drawing never compute with
// absurd numbers; objects are checked after the whole body was read, because a
// record that fails to read is stepped over and its object kept.
void checkStoredLimits(const TfrPages &pages)
{
    auto within = [](qint64 v) { return v >= -frMaxStoredCoordinate && v <= frMaxStoredCoordinate; };
    for (int i = 0; i < pages.Count(); ++i) {
        const TfrPage *p = pages[i];
        if (!within(p->MarginLeft) || !within(p->MarginTop) || !within(p->MarginRight)
            || !within(p->MarginBottom) || !within(p->ColGap) || !within(p->DialogLeft)
            || !within(p->DialogTop) || !within(p->DialogWidth) || !within(p->DialogHeight))
            malformed("Page margins or bounds out of range");
        for (const TfrView *v : p->Objects)
            CheckStoredLimits(*v);
    }
}

QString resourceText(int id)
{
    return GetLocalizedString(id);
}

} // namespace

// ---------------------------------------------------------------------------
// Page record

void TfrPage::LoadFromStream(QIODevice &s)
{
    Script.clear();
    const qint32 first = ReadStreamInt(s);
    const bool currentLayout = first == -1;
    const qint32 size = currentLayout ? ReadStreamInt(s) : first;
    const qint32 width = ReadStreamInt(s);
    const qint32 height = ReadStreamInt(s);
    MarginLeft = ReadStreamInt(s);
    MarginTop = ReadStreamInt(s);
    MarginRight = ReadStreamInt(s);
    MarginBottom = ReadStreamInt(s);
    const int orientation = ReadStreamByte(s) == 0 ? poPortrait : poLandscape;
    if (StreamVersion <= 22)
        ReadStreamBytes(s, 6);
    const qint32 bin = StreamVersion >= 24 ? ReadStreamInt(s) : frDefaultBin;
    PrintToPrevPage = ReadStreamWord(s) != 0;
    UseMargins = ReadStreamWord(s) != 0;
    ColCount = ReadStreamInt(s);
    ColGap = ReadStreamInt(s);
    if (ColCount < 0 || ColCount > kMaxColumns)
        malformed("Column count out of range");
    if (StreamVersion <= 23) {
        Name = CreateUniqueName(CurrentReport);
    } else {
        const quint8 type = ReadStreamByte(s);
        if (type > ptDialog)
            malformed("Unknown page type");
        PageType = TfrPageType(type);
        Name = ReadStreamString(s);
        const quint8 border = ReadStreamByte(s);
        BorderStyle = border == 0 ? quint8(bsDialog) : border == 1 ? quint8(bsSizeable) : border;
        Caption = ReadStreamString(s);
        Color = ReadStreamInt(s);
        DialogLeft = ReadStreamInt(s);
        DialogTop = ReadStreamInt(s);
        DialogWidth = ReadStreamInt(s);
        DialogHeight = ReadStreamInt(s);
        Position = ReadStreamByte(s) != 0 ? poScreenCenter : poDesigned;
        if (currentLayout)
            Script = ReadStreamStrings(s);
    }
    if (size == frCustomPaper && (width <= 0 || height <= 0 || width > kMaxPaperSize || height > kMaxPaperSize))
        malformed("Custom paper size out of range");
    ChangePaper(size, width, height, bin, orientation);
    if (pgWidth <= 0 || pgHeight <= 0 || pgWidth > kMaxPaperSize || pgHeight > kMaxPaperSize)
        malformed("Paper size out of range");
}

void TfrPage::SaveToStream(QIODevice &s) const
{
    WriteStreamInt(s, -1);
    WriteStreamInt(s, pgSize);
    WriteStreamInt(s, pgWidth);
    WriteStreamInt(s, pgHeight);
    WriteStreamInt(s, MarginLeft);
    WriteStreamInt(s, MarginTop);
    WriteStreamInt(s, MarginRight);
    WriteStreamInt(s, MarginBottom);
    WriteStreamByte(s, quint8(pgOr));
    WriteStreamInt(s, pgBin);
    WriteStreamWord(s, PrintToPrevPage ? -1 : 0);
    WriteStreamWord(s, UseMargins ? -1 : 0);
    WriteStreamInt(s, ColCount);
    WriteStreamInt(s, ColGap);
    WriteStreamByte(s, quint8(PageType));
    WriteStreamString(s, Name);
    WriteStreamByte(s, BorderStyle);
    WriteStreamString(s, Caption);
    WriteStreamInt(s, Color);
    WriteStreamInt(s, DialogLeft);
    WriteStreamInt(s, DialogTop);
    WriteStreamInt(s, DialogWidth);
    WriteStreamInt(s, DialogHeight);
    WriteStreamByte(s, Position);
    WriteStreamStrings(s, Script);
}

// ---------------------------------------------------------------------------
// Report body

void TfrPages::LoadFromStream(QIODevice &s)
{
    TfrReport &r = *m_parent;
    r.Clear();
    r.UseDefaultPrinter = ReadStreamWord(s);
    r.TwoPass = ReadStreamWord(s);
    QString printer = ReadVersionedString(s);
    if (printer == kVirtualPrinterMark)
        printer = resourceText(frRes::VirtualPrinter);
    r.PrinterName = printer;
    m_ended = false;

    int objects = 0;
    while (!s.atEnd()) {
        const qint64 recordStart = s.pos();
        const quint8 code = ReadStreamByte(s);
        if (code == kPageRecord) {
            if (Count() >= kMaxPages)
                malformed("Too many pages");
            Add();
            m_pages.last()->LoadFromStream(s);
        } else if (code == kDictionaryRecord) {
            r.Dictionary().LoadFromStream(s, StreamVersion);
        } else if (code == kDataManagerRecord) {
            ReadStreamByte(s);
            m_ended = true;
            return;
        } else if (code == kEndRecord) {
            m_ended = true;
            return;
        } else if (code > kLastObjectCode) {
            malformed("Unknown record");
        } else {
            if (++objects > kMaxObjects)
                malformed("Too many objects");
            r.ReadObjectRecord(s, code);
        }
        if (s.pos() <= recordStart)
            malformed("Record does not advance");
    }
}

void TfrReport::ReadObjectRecord(QIODevice &s, quint8 typeCode)
{
    int type = typeCode;
    QString className;
    bool framedMemo = false;
    if (type == kLastObjectCode) {
        className = ReadVersionedString(s);
        const QString upper = className.toUpper();
        if (upper == QLatin1String("TFRBDELOOKUPCONTROL") || upper == QLatin1String("TFRIBXLOOKUPCONTROL"))
            className = QStringLiteral("TfrDBLookupControl");
        if (upper == QLatin1String("TFRFRAMEDMEMOVIEW")) {
            type = 0;
            framedMemo = true;
        }
    }
    const int pageIndex = ReadStreamByte(s);
    qint64 endOffset = 0;
    const bool framed = StreamVersion >= 24;
    if (framed) {
        endOffset = quint32(ReadStreamInt(s));
        if (endOffset != 0 && (endOffset < s.pos() || endOffset > s.size()))
            malformed("Object record ends outside the stream");
    }
    try {
        if (pageIndex >= m_pages->Count())
            malformed("Object on a page that does not exist");
        TfrPage *page = m_pages->GetPage(pageIndex);
        CurrentPage = page;
        std::unique_ptr<TfrView> made = CreateView(type, className);
        if (!made)
            malformed("Unknown object kind");
        TfrView *view = made.get();
        page->Add(made.release());
        TfrNameScope *names = TfrNameScope::Active();
        try {
            view->LoadFromStream(s);
        } catch (...) {
            view->SetPropValue(QStringLiteral("Name"), view->Name);
            if (names)
                names->Add(view->Name);
            throw;
        }
        view->SetPropValue(QStringLiteral("Name"), view->Name);
        if (names)
            names->Add(view->Name);
        if (framedMemo)
            ReadStreamBytes(s, 8);
    } catch (const std::exception &) {
        // Only a record that says where it ends can be stepped over; older
        // records would leave the reader in the middle of their data.
        if (!framed || endOffset == 0)
            throw;
    }
    if (endOffset != 0 && !s.seek(endOffset))
        malformed("Cannot reach the end of an object record");
}

void TfrPages::SaveToStream(QIODevice &s) const
{
    const TfrReport &r = *m_parent;
    WriteStreamWord(s, r.UseDefaultPrinter);
    WriteStreamWord(s, r.TwoPass);
    const TfrPrinter &prn = EnsureReportPrinter();
    WriteStreamString(s, prn.IsVirtual() ? kVirtualPrinterMark : prn.CurrentPrinterName());
    // A text too long for the format names where it is.
    const auto where = [](const QString &what, const std::function<void()> &write) {
        try {
            write();
        } catch (const EfrNotStorable &e) {
            throw EfrNotStorable(what + QStringLiteral("：") + QString::fromUtf8(e.what()));
        }
    };
    for (const TfrPage *p : m_pages) {
        WriteStreamByte(s, kPageRecord);
        where(QStringLiteral("页 ") + p->Name, [&] { p->SaveToStream(s); });
    }
    for (int i = 0; i < m_pages.size(); ++i) {
        for (TfrView *v : m_pages[i]->Objects) {
            // The page index is one byte: objects can live on the first 256 pages only.
            if (i > 255)
                throw EfrNotStorable(QStringLiteral("第 257 页及以后各页上的对象（%1）不能保存").arg(v->Name));
            WriteStreamByte(s, v->TypeCode);
            if (v->TypeCode == kLastObjectCode)
                WriteStreamString(s, v->ClassName());
            WriteStreamByte(s, quint8(i));
            const qint64 at = s.pos();
            WriteStreamInt(s, 0);
            where(QStringLiteral("对象 ") + v->Name, [&] { v->SaveToStream(s); });
            const qint64 end = s.pos();
            if (end > 0xFFFFFFFFLL || !s.seek(at))
                throw EfrStreamError("Stream write error");
            WriteStreamInt(s, qint32(quint32(end)));
            if (!s.seek(end))
                throw EfrStreamError("Stream write error");
        }
    }
    WriteStreamByte(s, kDictionaryRecord);
    where(QStringLiteral("数据字典"), [&] { r.Dictionary().SaveToStream(s); });
}

// ---------------------------------------------------------------------------
// Template stream

void TfrReport::SwapContents(TfrReport &other)
{
    std::swap(m_pages, other.m_pages);
    m_pages->SetParent(this);
    other.m_pages->SetParent(&other);
    std::swap(m_dictionary, other.m_dictionary);
    std::swap(UseDefaultPrinter, other.UseDefaultPrinter);
    std::swap(TwoPass, other.TwoPass);
    std::swap(PrinterName, other.PrinterName);
    std::swap(Attributes, other.Attributes);
}

namespace {
// Engine-wide state a load changes while it reads into a scratch report.
struct LoadScope {
    TfrReport *target;
    explicit LoadScope(TfrReport *t) : target(t)
    {
        EngineMode = 0;
        EnsureReportPrinter();
        LoadErrorFlag = false;
        LoadErrorText.clear();
    }
    ~LoadScope() { CurrentReport = target; }
};

void callLoaded(TfrReport &r)
{
    for (TfrPage *p : r.Pages().List())
        for (TfrView *v : p->Objects)
            v->Loaded();
}
} // namespace

TfrLoadResult TfrReport::ReadFromStream(QIODevice &s, QString *message)
{
    LoadScope scope(this);
    CurrentReport = this;
    const auto fail = [&](TfrLoadResult r) {
        if (message)
            *message = resourceText(frRes::UnsupportedFrf);
        return r;
    };

    QBuffer copy;
    QIODevice *dev = &s;
    if (s.isSequential()) {
        copy.setData(s.readAll());
        copy.open(QIODevice::ReadOnly);
        dev = &copy;
    }
    if (dev->atEnd())
        return fail(TfrLoadResult::Empty);

    auto fresh = std::make_unique<TfrReport>();
    CurrentReport = fresh.get();
    try {
        TfrNameScope names;
        const qint64 start = dev->pos();
        const int version = ReadStreamByte(*dev);
        if (version > frCurrentVersion)
            return fail(TfrLoadResult::Unsupported);
        if (version < frOldestVersion) {
            StreamVersion = frOldestVersion;
            if (!dev->seek(start))
                malformed("Cannot restart the stream");
        } else {
            StreamVersion = version;
        }
        fresh->m_pages->LoadFromStream(*dev);
        if (!fresh->m_pages->EndRecordSeen())
            malformed("The template has no end record");
        if (!dev->atEnd()) {
            TfrDocumentAttributes &a = fresh->Attributes;
            a.Comment = readAttribute(*dev);
            a.ReportName = readAttribute(*dev);
            a.Author = readAttribute(*dev);
            a.VMajor = readAttribute(*dev);
            a.VMinor = readAttribute(*dev);
            a.VRelease = readAttribute(*dev);
            a.VBuild = readAttribute(*dev);
            a.Password = orv::fromGbk(HexToStr(readAttribute(*dev)));
            a.GeneratorVersion = ReadStreamByte(*dev);
            a.Protected = ReadStreamByte(*dev);
            a.CreationDate = ReadStreamDouble(*dev);
            a.LastChangeDate = ReadStreamDouble(*dev);
        } else {
            fresh->ResetDocumentAttributes();
        }
        checkSubReports(*fresh->m_pages);
        checkStoredLimits(*fresh->m_pages);
    } catch (const std::exception &) {
        return fail(TfrLoadResult::Malformed);
    }

    if (fresh->Attributes.Protected != 0 && !qobject_cast<QBuffer *>(&s)) {
        QString entered;
        const bool given = PasswordQuery && PasswordQuery(entered);
        if (!given || entered != fresh->Attributes.Password) {
            Clear();
            FileName = resourceText(frRes::Untitled);
            m_pages->Add();
            return TfrLoadResult::PasswordRefused;
        }
    }

    SwapContents(*fresh);
    fresh.reset();
    CurrentReport = this;
    SetPrinterTo(PrinterName);
    callLoaded(*this);
    if (LoadErrorFlag) {
        if (message)
            *message = QStringLiteral("Report contains the following non-plugged components:\r") + LoadErrorText
                       + QStringLiteral("You must include these components into your project.");
        return TfrLoadResult::MissingClasses;
    }
    return TfrLoadResult::Ok;
}

bool TfrReport::LoadFromStream(QIODevice &s)
{
    QString message;
    const TfrLoadResult r = ReadFromStream(s, &message);
    if (!message.isEmpty())
        orv::prompt().message(nullptr, resourceText(frRes::Error), message, QMessageBox::Critical);
    return r == TfrLoadResult::Ok || r == TfrLoadResult::MissingClasses;
}

void TfrReport::SaveToStream(QIODevice &s)
{
    CurrentReport = this;
    StreamVersion = frCurrentVersion;
    WriteStreamByte(s, frCurrentVersion);
    m_pages->SaveToStream(s);
    WriteStreamByte(s, kEndRecord);
    Attributes.GeneratorVersion = frGeneratorVersion;
    Attributes.LastChangeDate = frDateTimeToDouble(orv::Clock::localNow());
    const TfrDocumentAttributes &a = Attributes;
    for (const QString *t : {&a.Comment, &a.ReportName, &a.Author, &a.VMajor, &a.VMinor, &a.VRelease, &a.VBuild})
        writeAttribute(s, *t);
    writeAttribute(s, StrToHex(orv::toGbk(a.Password)));
    WriteStreamByte(s, a.GeneratorVersion);
    WriteStreamByte(s, a.Protected);
    WriteStreamDouble(s, a.CreationDate);
    WriteStreamDouble(s, a.LastChangeDate);
}

// ---------------------------------------------------------------------------
// New-report templates

void TfrReport::SaveTemplate(const QString &fileName, const QStringList &description, const QImage &picture)
{
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw EfrStreamError(f.errorString().toStdString());
    StreamVersion = frCurrentVersion;
    CurrentReport = this;
    WriteStreamStrings(f, description);
    const qint64 at = f.pos();
    WriteStreamInt(f, 0);
    WriteStreamByte(f, picture.isNull() ? 0 : 1);
    if (!picture.isNull() && !picture.save(&f, "BMP"))
        throw EfrStreamError("Cannot write the template picture");
    const qint64 body = f.pos();
    if (!f.seek(at))
        throw EfrStreamError("Stream write error");
    WriteStreamInt(f, qint32(body));
    if (!f.seek(body))
        throw EfrStreamError("Stream write error");
    m_pages->SaveToStream(f);
    if (!f.commit())
        throw EfrStreamError(f.errorString().toStdString());
}

void TfrReport::LoadTemplate(const QString &fileName, QStringList *description, QImage *picture, bool load)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EfrStreamError(f.errorString().toStdString());
    StreamVersion = frCurrentVersion;
    const QStringList lines = ReadStreamStrings(f);
    const qint64 body = quint32(ReadStreamInt(f));
    if (body < f.pos() || body > f.size())
        malformed("Template body outside the file");
    if (!load) {
        if (description)
            *description = lines;
        if (picture)
            *picture = QImage();
        if (ReadStreamByte(f) == 1) {
            // A BMP file stores its own length after the "BM" mark.
            const QByteArray head = f.peek(6);
            if (head.size() < 6 || !head.startsWith("BM"))
                malformed("Template picture is not a bitmap");
            const quint32 length = qFromLittleEndian<quint32>(head.constData() + 2);
            const QByteArray bmp = ReadStreamBytes(f, qint64(length));
            if (picture)
                picture->loadFromData(bmp, "BMP");
        }
        return;
    }
    if (!f.seek(body))
        malformed("Template body outside the file");
    LoadScope scope(this);
    auto fresh = std::make_unique<TfrReport>();
    CurrentReport = fresh.get();
    TfrNameScope names;
    fresh->m_pages->LoadFromStream(f);
    checkSubReports(*fresh->m_pages);
    checkStoredLimits(*fresh->m_pages);
    SwapContents(*fresh);
    fresh.reset();
    CurrentReport = this;
    SetPrinterTo(PrinterName);
    callLoaded(*this);
}
