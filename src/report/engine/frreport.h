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

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TfrDataDictionary;
class TfrBand;
class TfrEMFPages;
class TfrExportFilter;
class TfrReportDesigner;

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

    // --- events (unset: not raised)
    std::function<void()> OnBeginDoc;                         // before the build passes
    std::function<void()> OnEndDoc;                           // after them
    std::function<void(int pgNo)> OnBeginPage;                // a prepared page was added (0-based)
    std::function<void(int pgNo)> OnEndPage;                  // a prepared page is finished
    std::function<void(TfrBand *band)> OnBeginBand;
    std::function<void(TfrBand *band)> OnEndBand;
    std::function<void(const QString &parName, QVariant &parValue)> OnGetValue;
    std::function<void(QStringList &memo, TfrView *view)> OnBeforePrint;
    std::function<void(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                       QVariant &val)> OnUserFunction;
    std::function<void(int n)> OnProgress;                    // replaces the progress label
    std::function<void(TfrBand *band)> OnBeginColumn;
    std::function<void(int colNo, int &width)> OnPrintColumn;
    // Replaces the data loop of every report page: the handler prints bands by name
    // (TfrPage::ShowBandByName). Objects found with FindObject inside it are the ones printed.
    std::function<void(TfrPage *page)> OnManualBuild;
    std::function<void(TfrView *view)> OnObjectClick;        // a prepared object clicked in the preview
    std::function<void(TfrView *view, Qt::CursorShape &cursor)> OnMouseOverObject;
    std::function<void()> OnPrintReport;                      // the print job is named, printing starts

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

    // --- prepared pages
    TfrEMFPages &EMFPages() { return *m_emfPages; }
    const TfrEMFPages &EMFPages() const { return *m_emfPages; }
    // Page hand-over to a preview: the report keeps an empty list until the pages return.
    std::unique_ptr<TfrEMFPages> TakePreparedPages();
    void ReturnPreparedPages(std::unique_ptr<TfrEMFPages> pages);

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

    // --- build, preview, export
    // Builds the prepared pages (one or two passes). True when pages were built and the
    // build was not cancelled; a build error is shown ("错误") and the pages are dropped.
    bool PrepareReport();
    // PrepareReport, then ShowPreparedReport whatever its result.
    void ShowReport();
    // Opens the preview (PreviewHook, or the embedded Preview through EmbeddedPreviewHook)
    // on the prepared pages; nothing without pages.
    void ShowPreparedReport();
    // One pass over all pages.
    virtual void BuildPages();
    // Progress of a build, print or export (page number n).
    void ReportProgress(int n);
    // Loads the object's data field, then raises OnBeforePrint.
    void BeforePrintObject(QStringList &memo, TfrView *view);
    // Exports the prepared pages through a filter into a file.
    void ExportTo(TfrExportFilter &filter, const QString &fileName);
    // Opens prepared page pageIndex in the registered designer; nothing without one. After
    // an edit the operator is asked whether to keep it: Yes writes the page back, No (or a
    // failed write-back, which is shown) leaves the prepared page as it was. The engine's
    // globals and editor hooks are put back as they were found.
    void EditPreparedPage(int pageIndex);
    // The report's current template page during a build.
    TfrPage *CurPage() const { return m_curPage; }
    // The build runs in two passes (TwoPass as the designer set it).
    bool IsTwoPassBuild() const { return m_savedTwoPass != 0; }

    // --- prepared-report files (".frp")
    // Reads the file through a scratch list: on any error the pages stay as they were and
    // false is returned with the reason. On success the report is no longer rebuildable.
    bool LoadPreparedReport(const QString &fileName, QString *error = nullptr);
    // Writes the file whole or not at all (the old file stays on failure).
    bool SavePreparedReport(const QString &fileName, QString *error = nullptr);

    // --- report values (the parser's handlers during a build)
    void GetValue(const QString &name, QVariant &value);
    void GetEngineValue(const QString &name, QVariant &value);
    void RunFunction(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                     QVariant &val);
    void DoScriptProcedure(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                           QVariant &val);
    // Text of one bracket of a text object (its contents, without the brackets).
    void ExpandBracket(const QString &text, QString &result);

    // --- hooks filled by the preview and progress windows
    // Shows the preview window for a report's prepared pages; modal when ModalPreview.
    static std::function<void(TfrReport &report, const QString &caption)> PreviewHook;
    // Attaches the report to an embedded preview panel (the Preview property).
    static std::function<void(QObject *preview, TfrReport &report)> EmbeddedPreviewHook;

private:
    friend class TfrPages;
    bool RunPasses();
    bool DoBuildPass();
    bool RunProgress(const QString &label, const std::function<bool()> &work);
    // Reads one object record of the body (its code byte already read).
    void ReadObjectRecord(QIODevice &s, quint8 typeCode);
    void SwapContents(TfrReport &other);

    std::unique_ptr<TfrPages> m_pages;
    std::unique_ptr<TfrDataDictionary> m_dictionary;
    std::unique_ptr<TfrEMFPages> m_emfPages;
    TfrPage *m_curPage = nullptr;
    qint16 m_savedTwoPass = 0;
    QString m_progressText;
    bool m_exporting = false;
    QByteArray m_keptForm;
    bool m_hasKeptForm = false;
};

// Engine-wide state that the template code adds to the objects' (frobject.h).
extern int PageNo;                  // 0-based index of the prepared page being filled
extern int TotalPages;              // pages of the first pass of a two-pass build, else 0
extern bool AppendToPrevPage;       // the next report page continues on the last prepared page
extern bool DialogCancelled;
extern QString RegistryRootKey;
extern bool AggregatePrepare;       // aggregate calls are being registered
extern TfrBand *AggregateOwner;     // the data band that receives them
extern QList<TfrView *> HookedViews; // told after every printed text object
extern int SavedPageY, SavedPageBottom; // end of the last report page
extern bool LastFooterShown;
extern QString CurrentExpression;   // the bracket being expanded
extern QVariant CurrentValue;       // its value (VALUE)
extern QString EvaluatingName;      // the name under evaluation
extern QDateTime CurrentDate, CurrentTime; // DATE and TIME of the build

// The progress window of builds, prints and exports. The preview unit installs one
// (frSetProgressHost); without one the work runs directly.
class TfrProgressHost {
public:
    virtual ~TfrProgressHost() = default;
    // Shows the window modally with caption and label and runs work inside it; the
    // window's Cancel calls cancel (which sets the report's StopRequested) while the work
    // runs. Returns false when the window closed through Cancel, else the work's result.
    virtual bool Run(const QString &caption, const QString &label, const std::function<bool()> &work,
                     const std::function<void()> &cancel) = 0;
    virtual void SetLabel(const QString &label) = 0;
    // Dialog pages hide the window while they are shown.
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
};
void frSetProgressHost(TfrProgressHost *host);   // not owned; nullptr removes it
TfrProgressHost *frProgressHost();

// Script interpreter and its variable binding, filled by the script unit. Unset hooks
// do nothing and say so once in the log.
struct TfrScriptHooks {
    // Compiles source lines into their compiled form, in place.
    std::function<void(QStringList &lines)> Compile;
    // Runs compiled lines (CurrentView is the object whose script it is, or null).
    std::function<void(const QStringList &compiled)> Run;
    // Assignment to a script name (INC, DEC).
    std::function<void(const QString &name, const QVariant &value)> SetValue;
};
extern TfrScriptHooks ScriptHooks;

// Abstract designer window; the designer unit registers its factory in DesignerClassRef.
class TfrReportDesigner : public QDialog {
    Q_OBJECT
public:
    explicit TfrReportDesigner(bool isMainSession) : IsMainSession(isMainSession) {}
    TfrPage *DesignerPage = nullptr;
    const bool IsMainSession;
    // Set by every change made since the window opened; saving to a file does not clear it.
    bool EditedSinceOpened = false;
    virtual bool GetModified() = 0;
    virtual void SetModified(bool value) = 0;
    virtual void BeforeChange() = 0;
    virtual void AfterChange() = 0;
    virtual void RedrawPage() = 0;
    virtual void SelectObject(const QString &name) = 0;
    virtual QString InsertDBField() = 0;
    virtual QString InsertExpression() = 0;
};
using TfrDesignerFactory = std::function<TfrReportDesigner *(bool isMainSession)>;
extern TfrDesignerFactory DesignerClassRef;       // empty when no designer is linked
extern QPointer<TfrReportDesigner> ActiveDesigner;

// Base of the designer's object editors: the base shows nothing and answers Accepted.
class TfrObjEditorForm : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    virtual int ShowEditor(TfrView *view) { Q_UNUSED(view); return QDialog::Accepted; }
};
