#pragma once
// Printer layer: the paper table, the selected printer with its papers and bins,
// the paper the engine asked for, and the page metrics in device pixels and
// engine units. When no printer is installed (or one cannot be read) the
// virtual printer stands in: the fixed paper table and 5 mm margins.
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

// Engine units per inch (93 / 1.015, about 91.6256).
constexpr double frUnitsPerInch = 93.0 / 1.015;
constexpr int frCustomPaper = 256;
constexpr int frDefaultBin = -1;

enum TfrPageOrientation { poPortrait = 0, poLandscape = 1 };

struct TPaperInfo {
    qint32 Typ;      // paper code; 256 is a size of the user's own
    QString Name;
    qint32 X, Y;     // portrait width and height, tenths of a millimetre
};

// The 67 papers in their fixed order; names come from the resource strings.
const QList<TPaperInfo> &PaperInfo();
// Position of a code in the table, -1 when absent.
int PaperInfoIndex(int code);

struct TfrPrinterMetrics {
    qint32 PageWidthPx = 0, PageHeightPx = 0;   // device pixels
    qint32 PageWidth = 0, PageHeight = 0;       // engine units
    qint32 OffsetXPx = 0, OffsetYPx = 0;        // printable area offset, device pixels
    qint32 OffsetX = 0, OffsetY = 0;            // the same in engine units
    qint32 PrintableWidthPx = 0, PrintableHeightPx = 0;
    qint32 PrintableWidth = 0, PrintableHeight = 0;
    bool operator==(const TfrPrinterMetrics &) const = default;
};

// What the layer needs of the platform's printers. The virtual printer is not
// one of them; the layer appends it itself.
class TfrPrinterPlatform {
public:
    struct DeviceMode {
        qint32 PaperSize = 9;       // paper code
        qint32 PaperWidth = 0;      // custom size, tenths of a millimetre (valid with code 256)
        qint32 PaperLength = 0;
        int Orientation = poPortrait;
        qint32 DefaultSource = frDefaultBin;
    };
    struct Capabilities {
        double DpiX = 0, DpiY = 0;
        int PhysicalWidth = 0, PhysicalHeight = 0;   // device pixels
        int PhysicalOffsetX = 0, PhysicalOffsetY = 0;
        int PageWidth = 0, PageHeight = 0;           // printable size, device pixels
        QList<int> PaperCodes;
        QStringList PaperNames;
        QList<int> BinCodes;                         // without the default bin
        QStringList BinNames;
    };

    virtual ~TfrPrinterPlatform() = default;
    virtual QStringList Printers() const = 0;
    virtual int CurrentPrinter() const = 0;           // 0 when there are none
    virtual void SelectPrinter(int index) = 0;
    // False when the selected printer cannot be read.
    virtual bool ReadDevice(DeviceMode &dm, Capabilities &caps) = 0;
    virtual bool WriteDevice(const DeviceMode &dm) = 0;
    virtual bool Printing() const = 0;
    // The driver's own settings dialog; true when the operator accepted it.
    virtual bool PropertiesDialog() = 0;
    // The device print jobs go to; null when there is none.
    virtual QPrinter *Device() { return nullptr; }
};

// No printers at all: what CI and a headless process see.
class TfrNoPrinters : public TfrPrinterPlatform {
public:
    QStringList Printers() const override { return {}; }
    int CurrentPrinter() const override { return 0; }
    void SelectPrinter(int) override {}
    bool ReadDevice(DeviceMode &, Capabilities &) override { return false; }
    bool WriteDevice(const DeviceMode &) override { return false; }
    bool Printing() const override { return false; }
    bool PropertiesDialog() override { return false; }
};

// The installed printers through Qt (CUPS). Windows paper and bin codes are
// mapped to Qt's page sizes and paper sources; unmapped sizes are left out.
std::unique_ptr<TfrPrinterPlatform> CreateQtPrinterPlatform();

class TfrPrinter {
public:
    explicit TfrPrinter(std::unique_ptr<TfrPrinterPlatform> platform);
    ~TfrPrinter();

    QStringList Printers;          // platform printers, then the virtual printer
    int PrinterIndex = 0;
    int VirtualPrinterIndex = 0;
    int Orientation = poPortrait;
    qint32 PaperSize = 9;
    qint32 PaperWidth = 0, PaperHeight = 0;   // tenths of a millimetre, as oriented
    qint32 Bin = frDefaultBin;
    QList<int> PaperSizes;         // at most 256
    QStringList PaperNames;
    QList<int> Bins;               // the first is always the default bin (0xFFFF)
    QStringList BinNames;

    bool IsVirtual() const { return PrinterIndex == VirtualPrinterIndex; }
    QString CurrentPrinterName() const { return Printers.value(PrinterIndex); }
    TfrPrinterPlatform &Platform() { return *m_platform; }

    void AttachPrinter();
    void SelectPrinter(int index);
    void ReadCapabilities();
    void Refresh() { ReadCapabilities(); }
    void ApplySettings();
    void SetPaper(int code, int width, int height, int bin, int orientation, bool force = false);
    bool SamePaper(int code, int width, int height, int bin, int orientation) const;
    void FillMetrics(TfrPrinterMetrics &m) const;
    int PaperIndex(int code) const;
    int BinIndex(int code) const;
    bool PropertiesDialog();
    // True when a device mode could be read at the last attach (a real printer is usable).
    bool HasDeviceMode() const { return m_hasDeviceMode; }

private:
    std::unique_ptr<TfrPrinterPlatform> m_platform;
    TfrPrinterPlatform::Capabilities m_caps;
    bool m_hasDeviceMode = false;
};

// The process-wide printer; null until InitReportPrinter runs.
extern TfrPrinter *ReportPrinter;
// Paper code of a new report page.
extern int DefaultPaperCode;
// Set when the printer layer's start-up is over; reading a report needs it.
extern bool PrinterReady;

// Starts the printer layer on the given platform (the installed printers when
// null, or none without a GUI application). Replaces an earlier printer.
void InitReportPrinter(std::unique_ptr<TfrPrinterPlatform> platform = {});
// The printer layer, started on first use.
TfrPrinter &EnsureReportPrinter();
