#include "report/engine/frprinter.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"
#include "report/engine/frview.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <array>

namespace {

struct PaperRow {
    qint32 code, width, height;
};

// Codes 48 and 49 do not exist; the last row (custom) has no size of its own.
constexpr std::array<PaperRow, 67> kPapers{{
    {1, 2159, 2794},   {2, 2159, 2794},   {3, 2794, 4318},   {4, 4318, 2794},   {5, 2159, 3556},
    {6, 1397, 2159},   {7, 1842, 2667},   {8, 2970, 4200},   {9, 2100, 2970},   {10, 2100, 2970},
    {11, 1480, 2100},  {12, 2500, 3540},  {13, 1820, 2570},  {14, 2159, 3302},  {15, 2150, 2750},
    {16, 2540, 3556},  {17, 2794, 4318},  {18, 2159, 2794},  {19, 984, 2254},   {20, 1048, 2413},
    {21, 1143, 2635},  {22, 1207, 2794},  {23, 1270, 2921},  {24, 4318, 5588},  {25, 5588, 8636},
    {26, 8636, 11176}, {27, 1100, 2200},  {28, 1620, 2290},  {29, 3240, 4580},  {30, 2290, 3240},
    {31, 1140, 1620},  {32, 1140, 2290},  {33, 2500, 3530},  {34, 1760, 2500},  {35, 1760, 1250},
    {36, 1100, 2300},  {37, 984, 1905},   {38, 920, 1651},   {39, 3778, 2794},  {40, 2159, 3048},
    {41, 2159, 3302},  {42, 2500, 3530},  {43, 1000, 1480},  {44, 2286, 2794},  {45, 2540, 2794},
    {46, 3810, 2794},  {47, 2200, 2200},  {50, 2355, 3048},  {51, 2355, 3810},  {52, 2969, 4572},
    {53, 2354, 3223},  {54, 2101, 2794},  {55, 2100, 2970},  {56, 2355, 3048},  {57, 2270, 3560},
    {58, 3050, 4870},  {59, 2159, 3223},  {60, 2100, 3300},  {61, 1480, 2100},  {62, 1820, 2570},
    {63, 3220, 4450},  {64, 1740, 2350},  {65, 2010, 2760},  {66, 4200, 5940},  {67, 2970, 4200},
    {68, 3220, 4450},  {256, 0, 0},
}};

constexpr quint16 kDefaultBinCode = 0xFFFF;
constexpr int kMaxPapers = 256;
constexpr int kMaxBins = 64;

// ---------------------------------------------------------------------------
// Windows paper codes of the sizes Qt knows by id.
struct CodeToQt {
    int code;
    QPageSize::PageSizeId id;
};
constexpr CodeToQt kQtSizes[] = {
    {1, QPageSize::Letter},       {3, QPageSize::Tabloid},     {4, QPageSize::Ledger},
    {5, QPageSize::Legal},        {6, QPageSize::Statement},   {7, QPageSize::Executive},
    {8, QPageSize::A3},           {9, QPageSize::A4},          {11, QPageSize::A5},
    {12, QPageSize::B4},          {13, QPageSize::B5},         {14, QPageSize::Folio},
    {15, QPageSize::Quarto},      {16, QPageSize::Imperial10x14}, {18, QPageSize::Note},
    {19, QPageSize::Envelope9},   {20, QPageSize::Envelope10}, {21, QPageSize::Envelope11},
    {22, QPageSize::Envelope12},  {23, QPageSize::Envelope14}, {24, QPageSize::ArchC},
    {25, QPageSize::ArchD},       {26, QPageSize::ArchE},      {27, QPageSize::EnvelopeDL},
    {28, QPageSize::EnvelopeC5},  {29, QPageSize::EnvelopeC3}, {30, QPageSize::EnvelopeC4},
    {31, QPageSize::EnvelopeC6},  {32, QPageSize::EnvelopeC65}, {33, QPageSize::EnvelopeB4},
    {34, QPageSize::EnvelopeB5},  {35, QPageSize::EnvelopeB6}, {36, QPageSize::EnvelopeItalian},
    {37, QPageSize::EnvelopeMonarch}, {38, QPageSize::EnvelopePersonal},
    {39, QPageSize::FanFoldUS},   {40, QPageSize::FanFoldGerman}, {41, QPageSize::FanFoldGermanLegal},
    {43, QPageSize::Postcard},    {47, QPageSize::EnvelopeInvite}, {50, QPageSize::LetterExtra},
    {51, QPageSize::LegalExtra},  {52, QPageSize::TabloidExtra}, {53, QPageSize::A4Extra},
    {57, QPageSize::SuperA},      {58, QPageSize::SuperB},     {59, QPageSize::LetterPlus},
    {60, QPageSize::A4Plus},      {63, QPageSize::A3Extra},    {64, QPageSize::A5Extra},
    {65, QPageSize::B5Extra},     {66, QPageSize::A2},
};

int codeOfQtSize(const QPageSize &size)
{
    for (const auto &r : kQtSizes)
        if (r.id == size.id())
            return r.code;
    return -1;
}

QPageSize qtSizeOfCode(int code, int width, int height)
{
    for (const auto &r : kQtSizes)
        if (r.code == code)
            return QPageSize(r.id);
    const int i = PaperInfoIndex(code);
    if (i >= 0 && code != frCustomPaper)
        return QPageSize(QSizeF(kPapers[size_t(i)].width / 10.0, kPapers[size_t(i)].height / 10.0),
                         QPageSize::Millimeter);
    return QPageSize(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter);
}

// Paper sources as bin codes: the driver bins of the other system start at 1 for the upper tray.
int binOfSource(QPrinter::PaperSource s)
{
    switch (s) {
    case QPrinter::Cassette: return 14;
    case QPrinter::FormSource: return 15;
    default: return int(s) + 1;
    }
}

QPrinter::PaperSource sourceOfBin(int bin)
{
    if (bin == 14)
        return QPrinter::Cassette;
    if (bin == 15)
        return QPrinter::FormSource;
    if (bin >= 1 && bin <= 11)
        return QPrinter::PaperSource(bin - 1);
    return QPrinter::Auto;
}

class QtPrinterPlatform : public TfrPrinterPlatform {
public:
    QtPrinterPlatform()
    {
        m_infos = QPrinterInfo::availablePrinters();
        const QString def = QPrinterInfo::defaultPrinterName();
        for (int i = 0; i < m_infos.size(); ++i)
            if (m_infos[i].printerName() == def)
                m_current = i;
        open();
    }

    QStringList Printers() const override
    {
        QStringList out;
        for (const auto &i : m_infos)
            out << i.printerName();
        return out;
    }
    int CurrentPrinter() const override { return m_current; }
    void SelectPrinter(int index) override
    {
        if (index < 0 || index >= m_infos.size() || index == m_current)
            return;
        m_current = index;
        open();
    }

    bool ReadDevice(DeviceMode &dm, Capabilities &caps) override
    {
        if (!m_printer || !m_printer->isValid())
            return false;
        const QPageLayout layout = m_printer->pageLayout();
        const QPageSize size = layout.pageSize();
        const int code = codeOfQtSize(size);
        const QSizeF mm = size.size(QPageSize::Millimeter);
        dm.PaperSize = code < 0 ? frCustomPaper : code;
        dm.PaperWidth = frRound(mm.width() * 10);
        dm.PaperLength = frRound(mm.height() * 10);
        dm.Orientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
        dm.DefaultSource = binOfSource(m_printer->paperSource());

        const int res = m_printer->resolution();
        caps.DpiX = caps.DpiY = res > 0 ? res : 300;
        const QRect full = layout.fullRectPixels(int(caps.DpiX));
        const QRect paint = layout.paintRectPixels(int(caps.DpiX));
        caps.PhysicalWidth = full.width();
        caps.PhysicalHeight = full.height();
        caps.PhysicalOffsetX = paint.x();
        caps.PhysicalOffsetY = paint.y();
        caps.PageWidth = paint.width();
        caps.PageHeight = paint.height();
        caps.PaperCodes.clear();
        caps.PaperNames.clear();
        for (const QPageSize &s : m_infos[m_current].supportedPageSizes()) {
            const int c = codeOfQtSize(s);
            if (c < 0 || caps.PaperCodes.contains(c) || caps.PaperCodes.size() >= kMaxPapers)
                continue;
            caps.PaperCodes << c;
            caps.PaperNames << s.name();
        }
        // Qt lists the paper sources of a printer only on Windows; CUPS trays stay behind "default".
        caps.BinCodes.clear();
        caps.BinNames.clear();
        return true;
    }

    bool WriteDevice(const DeviceMode &dm) override
    {
        if (!m_printer)
            return false;
        m_printer->setPageSize(qtSizeOfCode(dm.PaperSize, dm.PaperWidth, dm.PaperLength));
        m_printer->setPageOrientation(dm.Orientation == poLandscape ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
        m_printer->setCopyCount(1);
        if (dm.DefaultSource != frDefaultBin && (dm.DefaultSource & 0xFFFF) != kDefaultBinCode)
            m_printer->setPaperSource(sourceOfBin(dm.DefaultSource));
        return true;
    }

    bool Printing() const override { return m_printer && m_printer->printerState() == QPrinter::Active; }
    // The driver dialog has no counterpart here; page setup belongs to the print dialog.
    bool PropertiesDialog() override { return false; }
    QPrinter *Device() override { return m_printer.get(); }

private:
    void open()
    {
        m_printer.reset();
        if (m_current >= 0 && m_current < m_infos.size())
            m_printer = std::make_unique<QPrinter>(m_infos[m_current], QPrinter::HighResolution);
    }

    QList<QPrinterInfo> m_infos;
    int m_current = 0;
    std::unique_ptr<QPrinter> m_printer;
};

std::unique_ptr<TfrPrinter> g_printer;

} // namespace

const QList<TPaperInfo> &PaperInfo()
{
    static const QList<TPaperInfo> table = [] {
        QList<TPaperInfo> t;
        for (size_t i = 0; i < kPapers.size(); ++i)
            t.append({kPapers[i].code, GetLocalizedString(frRes::PaperNamesFirst + int(i)),
                      kPapers[i].width, kPapers[i].height});
        return t;
    }();
    return table;
}

int PaperInfoIndex(int code)
{
    for (size_t i = 0; i < kPapers.size(); ++i)
        if (kPapers[i].code == code)
            return int(i);
    return -1;
}

std::unique_ptr<TfrPrinterPlatform> CreateQtPrinterPlatform()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::make_unique<TfrNoPrinters>();
    return std::make_unique<QtPrinterPlatform>();
}

// ---------------------------------------------------------------------------

TfrPrinter::TfrPrinter(std::unique_ptr<TfrPrinterPlatform> platform)
    : m_platform(platform ? std::move(platform) : std::make_unique<TfrNoPrinters>())
{
}

TfrPrinter::~TfrPrinter() = default;

void TfrPrinter::AttachPrinter()
{
    Printers = m_platform->Printers();
    Printers << GetLocalizedString(frRes::VirtualPrinter);
    VirtualPrinterIndex = int(Printers.size()) - 1;
    PrinterIndex = VirtualPrinterIndex > 0 ? qBound(0, m_platform->CurrentPrinter(), VirtualPrinterIndex - 1)
                                           : 0;
    if (VirtualPrinterIndex == 0)
        ApplySettings();
    else
        ReadCapabilities();
}

void TfrPrinter::SelectPrinter(int index)
{
    if (index == PrinterIndex || index < 0 || index >= Printers.size())
        return;
    PrinterIndex = index;
    if (IsVirtual()) {
        ApplySettings();
    } else {
        m_platform->SelectPrinter(index);
        ReadCapabilities();
    }
}

void TfrPrinter::ReadCapabilities()
{
    if (IsVirtual()) {
        ApplySettings();
        return;
    }
    TfrPrinterPlatform::DeviceMode dm;
    TfrPrinterPlatform::Capabilities caps;
    if (!m_platform->ReadDevice(dm, caps) || caps.DpiX <= 0 || caps.DpiY <= 0) {
        m_hasDeviceMode = false;
        SelectPrinter(VirtualPrinterIndex);
        return;
    }
    m_hasDeviceMode = true;
    m_caps = caps;
    PaperSize = dm.PaperSize;
    PaperWidth = frRound(caps.PhysicalWidth / caps.DpiX * 254);
    PaperHeight = frRound(caps.PhysicalHeight / caps.DpiY * 254);
    PaperSizes = caps.PaperCodes.mid(0, kMaxPapers);
    PaperNames = caps.PaperNames.mid(0, PaperSizes.size());
    Bin = dm.DefaultSource;
    Bins = {int(kDefaultBinCode)};
    Bins << caps.BinCodes.mid(0, kMaxBins - 1);
    BinNames = {GetLocalizedString(55435)};
    BinNames << caps.BinNames.mid(0, Bins.size() - 1);
    Orientation = dm.Orientation == poPortrait ? poPortrait : poLandscape;
}

void TfrPrinter::ApplySettings()
{
    if (IsVirtual()) {
        const auto &table = PaperInfo();
        PaperNames.clear();
        PaperSizes.clear();
        for (const auto &p : table) {
            PaperNames << p.Name;
            PaperSizes << p.Typ;
        }
        Bins = {int(kDefaultBinCode)};
        BinNames = {GetLocalizedString(55435)};
        const int i = PaperInfoIndex(PaperSize);
        if (PaperSize != frCustomPaper && i >= 0) {
            PaperWidth = table[i].X;
            PaperHeight = table[i].Y;
            if (Orientation == poLandscape)
                std::swap(PaperWidth, PaperHeight);
        }
        return;
    }
    TfrPrinterPlatform::DeviceMode dm;
    dm.PaperSize = PaperSize;
    if (PaperSize == frCustomPaper) {
        dm.PaperWidth = PaperWidth;
        dm.PaperLength = PaperHeight;
    }
    dm.Orientation = Orientation;
    dm.DefaultSource = Bin;
    if (!m_platform->WriteDevice(dm)) {
        SelectPrinter(VirtualPrinterIndex);
        return;
    }
    ReadCapabilities();
}

void TfrPrinter::SetPaper(int code, int width, int height, int bin, int orientation, bool force)
{
    if (m_platform->Printing())
        return;
    if (!force && SamePaper(code, width, height, bin, orientation))
        return;
    PaperSize = code;
    PaperWidth = width;
    PaperHeight = height;
    Bin = bin;
    Orientation = orientation;
    ApplySettings();
}

bool TfrPrinter::SamePaper(int code, int width, int height, int bin, int orientation) const
{
    if (code != PaperSize)
        return false;
    if (code == frCustomPaper)
        return std::abs(width - PaperWidth) <= 1 && std::abs(height - PaperHeight) <= 1
               && orientation == Orientation;
    return orientation == Orientation && (bin == Bin || (bin & 0xFFFF) == kDefaultBinCode);
}

void TfrPrinter::FillMetrics(TfrPrinterMetrics &m) const
{
    if (IsVirtual()) {
        m.PageWidth = frRound(PaperWidth * frUnitsPerInch / 254);
        m.PageHeight = frRound(PaperHeight * frUnitsPerInch / 254);
        m.OffsetX = m.OffsetY = frRound(50 * frUnitsPerInch / 254);
        m.PrintableWidth = m.PageWidth - 2 * m.OffsetX;
        m.PrintableHeight = m.PageHeight - 2 * m.OffsetY;
        return;
    }
    const double fx = frUnitsPerInch / m_caps.DpiX;
    const double fy = frUnitsPerInch / m_caps.DpiY;
    m.PageWidthPx = m_caps.PhysicalWidth;
    m.PageHeightPx = m_caps.PhysicalHeight;
    m.PageWidth = frRound(m.PageWidthPx * fx);
    m.PageHeight = frRound(m.PageHeightPx * fy);
    m.OffsetXPx = m_caps.PhysicalOffsetX;
    m.OffsetYPx = m_caps.PhysicalOffsetY;
    m.OffsetX = frRound(m.OffsetXPx * fx);
    m.OffsetY = frRound(m.OffsetYPx * fy);
    m.PrintableWidthPx = m_caps.PageWidth;
    m.PrintableHeightPx = m_caps.PageHeight;
    m.PrintableWidth = frRound(m.PrintableWidthPx * fx);
    m.PrintableHeight = frRound(m.PrintableHeightPx * fy);
}

int TfrPrinter::PaperIndex(int code) const
{
    const int i = int(PaperSizes.indexOf(code));
    return i >= 0 ? i : int(PaperSizes.size()) - 1;
}

int TfrPrinter::BinIndex(int code) const
{
    const int i = int(Bins.indexOf(code));
    return i >= 0 ? i : 0;
}

bool TfrPrinter::PropertiesDialog()
{
    if (IsVirtual() || !m_platform->PropertiesDialog())
        return false;
    ReadCapabilities();
    return true;
}

// ---------------------------------------------------------------------------

TfrPrinter *ReportPrinter = nullptr;
int DefaultPaperCode = 9;
bool PrinterReady = false;

void InitReportPrinter(std::unique_ptr<TfrPrinterPlatform> platform)
{
    if (!platform)
        platform = CreateQtPrinterPlatform();
    g_printer = std::make_unique<TfrPrinter>(std::move(platform));
    ReportPrinter = g_printer.get();
    ReportPrinter->PaperSize = 9;
    ReportPrinter->AttachPrinter();
    // With no usable printer the virtual printer keeps A4: a new page must never be 0 x 0.
    if (!ReportPrinter->HasDeviceMode() && !ReportPrinter->IsVirtual())
        ReportPrinter->SelectPrinter(ReportPrinter->VirtualPrinterIndex);
    DefaultPaperCode = ReportPrinter->PaperSize;
    PrinterReady = true;
}

TfrPrinter &EnsureReportPrinter()
{
    if (!ReportPrinter)
        InitReportPrinter();
    return *ReportPrinter;
}
