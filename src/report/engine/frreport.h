#pragma once
// The report object: template pages, dictionary, document attributes and the
// template file formats (".frf" stream, ".frt" new-report template and the
// "ReportForm" blob kept inside a form).
//
// Loading never leaves a half-read report: a template is read into a fresh
// report and swapped in only when it was read to its end. A truncated,
// malformed or hostile stream is refused with one message and the report
// stays as it was.
#include "report/engine/frobject.h"
#include "report/engine/frpage.h"
#include "report/engine/frdataset.h"
#include "report/engine/frvalue.h"

#include <QImage>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TfrDataDictionary;

enum TfrPreviewZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };
enum TfrPreviewButton : quint8 {
    pbZoom = 1, pbLoad = 2, pbSave = 4, pbPrint = 8, pbFind = 16, pbHelp = 32, pbExit = 64, pbPageSetup = 128
};
enum TfrReportType { rtSimple, rtMultiple };

constexpr int frCurrentVersion = 25;     // version written
constexpr int frOldestVersion = 21;      // oldest version read
constexpr quint8 frGeneratorVersion = 88;

// Comment, author, versions, dates and password stored after the end record.
struct TfrDocumentAttributes {
    QString Comment, ReportName, Author;
    QString VMajor, VMinor, VRelease, VBuild;
    QString Password;
    quint8 GeneratorVersion = frGeneratorVersion;
    quint8 Protected = 0;               // non-zero: opening asks for the password
    double CreationDate = 0;            // days since 30 December 1899, time as fraction
    double LastChangeDate = 0;
    bool operator==(const TfrDocumentAttributes &) const = default;
};

// How a load went (also shown to the operator by LoadFromStream).
enum class TfrLoadResult {
    Ok,
    MissingClasses,   // loaded; some add-in objects were left out
    Empty,            // nothing to read
    Unsupported,      // version above the one this program writes
    Malformed,        // truncated or wrong data
    PasswordRefused,  // protected report, password wrong or not given
};

class TfrReport : public QObject {
    Q_OBJECT
public:
    explicit TfrReport(QObject *owner = nullptr);
    ~TfrReport() override;

    // --- published properties
    QPointer<TfrDataset> Dataset;      // becomes null when the data set goes away
    int DefaultCopies = 1;
    bool DefaultCollate = true;
    bool GrayedButtons = false;
    TfrPreviewZoom InitialZoom = pzDefault;
    bool MDIPreview = false;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    QPointer<QObject> Preview;
    quint8 PreviewButtons = 127;
    bool PrintIfEmpty = true;
    TfrReportType ReportType = rtSimple;
    bool ShowPrintDialog = true;
    bool ShowProgress = true;
    bool StoreInDFM = false;
    QString Title;
    bool RebuildPrinter = false;
    bool UseDefaultDataSetName = false;

    // --- stored state
    TfrPages &Pages() { return *m_pages; }
    const TfrPages &Pages() const { return *m_pages; }
    TfrDataDictionary &Dictionary() { return *m_dictionary; }
    const TfrDataDictionary &Dictionary() const { return *m_dictionary; }
    qint16 UseDefaultPrinter = 0;
    qint16 TwoPass = 0;
    QString PrinterName;               // stored in the template, or chosen last
    QString FileName;
    TfrDocumentAttributes Attributes;

    // --- build state shared with the build, preview and designer
    bool FinalPass = false;
    bool StopRequested = false;
    bool Rebuildable = true;
    quint8 ReportChanged = 0;
    quint8 ChangedInMainDesigner = 0;

    // Asks the operator for the password of a protected report; false when cancelled.
    // Unset: protected reports cannot be opened from files.
    static std::function<bool(QString &password)> PasswordQuery;

    // --- lifecycle
    void Clear();
    void ResetDocumentAttributes();

    // --- objects
    TfrView *FindObject(const QString &name) const;

    // --- template stream
    // Reads a template; problems are shown to the operator. True when the report
    // now holds the template (also with missing add-in classes).
    bool LoadFromStream(QIODevice &s);
    // The same without messages: the outcome, and the text that would be shown.
    TfrLoadResult ReadFromStream(QIODevice &s, QString *message = nullptr);
    // Writes the template; throws EfrStreamError when the device refuses.
    void SaveToStream(QIODevice &s);
    // False (report untouched) when the file is missing or cannot be read.
    bool LoadFromFile(const QString &fileName);
    // Writes the whole file or nothing; false when it could not be written.
    bool SaveToFile(const QString &fileName);
    // The XML form (frxml.h) into the file name with its extension made ".xml";
    // the whole file or nothing, false when it could not be written.
    bool SaveToXMLFile(const QString &fileName);

    // --- new-report templates (".frt")
    // Throws EfrStreamError when the file cannot be opened, read or written.
    void SaveTemplate(const QString &fileName, const QStringList &description, const QImage &picture);
    // With load false only description and picture are read; with load true the
    // report body replaces the report.
    void LoadTemplate(const QString &fileName, QStringList *description, QImage *picture, bool load);

    // --- "ReportForm" property of a form
    QByteArray ReportFormData();
    // Keeps the report stored in the property; FormLoaded() reads it.
    // False (nothing kept) when the property data is cut short.
    bool ReadReportForm(const QByteArray &data);
    void FormLoaded();

    // --- printer
    // Selects the named printer unless the report prints on the default one; remembers the name.
    void SetPrinterTo(const QString &name);

private:
    friend class TfrPages;
    // Reads one object record of the body (its code byte already read).
    void ReadObjectRecord(QIODevice &s, quint8 typeCode);
    void SwapContents(TfrReport &other);
    bool BodyFromTemplate(QIODevice &s, QString *message);

    std::unique_ptr<TfrPages> m_pages;
    std::unique_ptr<TfrDataDictionary> m_dictionary;
    QByteArray m_keptForm;
    bool m_hasKeptForm = false;
};

// Engine-wide state that the template code adds to the objects' (frobject.h).
extern int PageNo;
extern int TotalPages;
extern bool AppendToPrevPage;
extern bool DialogCancelled;
extern QString RegistryRootKey;
