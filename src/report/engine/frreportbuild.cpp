// The report's build protocol: preparing (passes under the progress window), showing
// the preview, progress, export, prepared-report files and editing a prepared page.
#include "report/engine/frbuild.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frglobals.h"
#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frprepared.h"
#include "report/engine/frreport.h"
#include "report/engine/frstatescope.h"
#include "report/engine/frstrings.h"
#include "report/engine/frutils.h"

#include "common/clock.h"
#include "common/prompt.h"

#include <QApplication>
#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <QSet>

int PageNo = 0;
int TotalPages = 0;
bool AppendToPrevPage = false;
bool DialogCancelled = false;
QString RegistryRootKey;
bool AggregatePrepare = false;
TfrBand *AggregateOwner = nullptr;
QList<TfrView *> HookedViews;
int SavedPageY = 0, SavedPageBottom = 0;
bool LastFooterShown = false;
QString CurrentExpression;
QVariant CurrentValue;
QString EvaluatingName;
QDateTime CurrentDate, CurrentTime;
TfrScriptHooks ScriptHooks;
TfrDesignerFactory DesignerClassRef;
QPointer<TfrReportDesigner> ActiveDesigner;

std::function<void(TfrReport &report, const QString &caption)> TfrReport::PreviewHook;
std::function<void(QObject *preview, TfrReport &report)> TfrReport::EmbeddedPreviewHook;

namespace {
TfrProgressHost *g_progressHost = nullptr;

void logOnce(const QString &text)
{
    static QSet<QString> said;
    if (said.contains(text))
        return;
    said.insert(text);
    qInfo().noquote() << text;
}

// The engine's services for the objects while a report is built or exported, and the
// parser's handlers; the previous ones come back when the scope ends.
class BuildScope {
public:
    BuildScope() : m_hooks(EngineHooks)
    {
        frEnsureGlobals();
        m_values = GlobalParser->ValueHandler;
        m_functions = GlobalParser->FunctionHandler;
        InstallParserHandlers();
        EngineHooks.ExpandBracket = [](const QString &inner) {
            QString result;
            if (CurrentReport)
                CurrentReport->ExpandBracket(inner, result);
            return result;
        };
        EngineHooks.Evaluate = [](const QString &expr) { return GlobalParser->Calculate(expr); };
        EngineHooks.RunScript = [](TfrView *view) {
            if (!view || view->Script.isEmpty())
                return;
            if (!ScriptHooks.Run) {
                logOnce(QStringLiteral("report: no script interpreter installed; object scripts are not run"));
                return;
            }
            TfrView *kept = CurrentView;
            CurrentView = view;
            ScriptHooks.Run(view->Script);
            CurrentView = kept;
        };
        EngineHooks.BeforePrintObject = [](QStringList &text, TfrView *view) {
            if (CurrentReport)
                CurrentReport->BeforePrintObject(text, view);
        };
        EngineHooks.HasBeforePrintHandler = [] { return CurrentReport && bool(CurrentReport->OnBeforePrint); };
        EngineHooks.FindObject = [](const QString &name) -> TfrView * {
            return CurrentReport ? CurrentReport->FindObject(name) : nullptr;
        };
        EngineHooks.CurrentBandGeometry = [](TfrBandGeometry &g) {
            TfrBand *b = CurrentBand;
            if (!b)
                return false;
            g.Left = b->x;
            g.Top = b->y;
            g.Width = b->dx;
            g.Height = b->CurrentHeight() > 0 ? b->CurrentHeight() : b->dy;
            g.Type = b->Type;
            g.Flags = b->Flags;
            return true;
        };
        EngineHooks.AlignContext = [](TfrAlignContext &ctx) {
            TfrPage *p = CurrentPage;
            if (!p)
                return false;
            ctx.LeftMargin = p->LeftMargin();
            ctx.RightMargin = p->RightMargin();
            ctx.Objects.assign(p->Objects.cbegin(), p->Objects.cend());
            TfrBand *none = p->Bands[btNone];
            ctx.OutsideBands = [none](TfrView *v) { return none && v->OwnerBand == none; };
            return true;
        };
        EngineHooks.FirstPassOfTwo = [] { return MasterReport && !MasterReport->FinalPass; };
    }
    ~BuildScope()
    {
        EngineHooks = m_hooks;
        if (GlobalParser) {
            GlobalParser->ValueHandler = m_values;
            GlobalParser->FunctionHandler = m_functions;
        }
    }
    static void InstallParserHandlers()
    {
        GlobalParser->ValueHandler = [](const QString &name, QVariant &value) {
            if (CurrentReport)
                CurrentReport->GetValue(name, value);
        };
        GlobalParser->FunctionHandler = [](const QString &name, const QVariant &p1, const QVariant &p2,
                                           const QVariant &p3, QVariant &value) {
            if (CurrentReport)
                CurrentReport->RunFunction(name, p1, p2, p3, value);
        };
    }

private:
    TfrEngineHooks m_hooks;
    TfrParser::TValueHandler m_values;
    TfrParser::TFunctionHandler m_functions;
};

QString withTitle(const QString &base, const QString &title)
{
    return title.isEmpty() ? base : base + QStringLiteral(" - ") + title;
}
} // namespace

void frSetProgressHost(TfrProgressHost *host) { g_progressHost = host; }
TfrProgressHost *frProgressHost() { return g_progressHost; }

// ---------------------------------------------------------------------------

std::unique_ptr<TfrEMFPages> TfrReport::TakePreparedPages()
{
    auto fresh = std::make_unique<TfrEMFPages>(this);
    std::swap(fresh, m_emfPages);
    return fresh;
}

void TfrReport::ReturnPreparedPages(std::unique_ptr<TfrEMFPages> pages)
{
    if (!pages)
        return;
    pages->SetReport(this);
    m_emfPages = std::move(pages);
}

bool TfrReport::RunProgress(const QString &label, const std::function<bool()> &work)
{
    TfrProgressHost *host = frProgressHost();
    if (!host)
        return work();
    return host->Run(withTitle(GetLocalizedString(frRes::PreparingReport), Title), label, work,
                     [this] { StopRequested = true; });
}

void TfrReport::ReportProgress(int n)
{
    if (OnProgress) {
        OnProgress(n);
        return;
    }
    TfrProgressHost *host = frProgressHost();
    if (!ShowProgress || !host)
        return;
    QString label = m_progressText + QStringLiteral("  ") + QString::number(n);
    if ((FinalPass && m_savedTwoPass) || m_exporting)
        label += QLatin1Char(' ') + GetLocalizedString(frRes::PageOf) + QLatin1Char(' ') + QString::number(TotalPages);
    host->SetLabel(label);
    QCoreApplication::processEvents();
}

bool TfrReport::PrepareReport()
{
    SetPrinterTo(PrinterName);
    EngineMode = 1;
    CurrentDate = orv::Clock::localNow();
    CurrentTime = CurrentDate;
    frEnsureGlobals();
    // Objects aligned to their band take their place from one drawing.
    {
        BuildScope hooks;
        QImage scratch(8, 8, QImage::Format_RGB32);
        QPainter sp(&scratch);
        for (TfrPage *p : m_pages->List()) {
            CurrentPage = p;
            for (TfrView *v : p->Objects)
                if (v->BandAlign != baNone && v->TypeCode != 2)
                    v->Draw(&sp);
        }
    }
    CurrentPage = nullptr;
    CurrentBand = nullptr;
    MasterReport = CurrentReport = this;
    if (parent())
        frSetReportOwner(parent());
    m_savedTwoPass = TwoPass;

    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    SaveToStream(saved);

    bool result = false;
    bool failed = false;
    QString failure;
    {
        BuildScope scope;
        try {
            if (OnBeginDoc)
                OnBeginDoc();
            result = RunPasses();
            if (OnEndDoc)
                OnEndDoc();
        } catch (const std::exception &e) {
            ReportCalcError(e, objectName());
            StopRequested = true;
        }
        failed = LoadErrorFlag;
        failure = LoadErrorText;
    }
    m_curPage = nullptr;
    HookedViews.clear();
    TwoPass = m_savedTwoPass;
    // The template as it was before the build: scripts and page breaks changed it.
    saved.seek(0);
    ReadFromStream(saved);
    MasterReport = CurrentReport = this;
    FinalPass = false;
    if (DialogCancelled)
        result = false;
    if (failed) {
        m_emfPages->Clear();
        orv::prompt().message(nullptr, GetLocalizedString(frRes::Error), failure, QMessageBox::Critical);
        result = false;
    } else if (DialogCancelled) {
        m_emfPages->Clear();
    }
    LoadErrorFlag = false;
    LoadErrorText.clear();
    DrawingDisabled = false;
    CurrentBand = nullptr;
    AggregatePrepare = false;
    AggregateOwner = nullptr;
    return result;
}

bool TfrReport::RunPasses()
{
    StopRequested = false;
    AppendToPrevPage = false;
    DrawingDisabled = false;
    FinalPass = true;
    PageNo = 0;
    m_emfPages->Clear();
    const bool direct = bool(OnProgress) || !ShowProgress || !frProgressHost();
    if (TwoPass) {
        DrawingDisabled = true;
        FinalPass = false;
        if (direct) {
            DoBuildPass();
            return true;
        }
        m_progressText = GetLocalizedString(frRes::FirstPass);
        return RunProgress(m_progressText + QStringLiteral("  1"), [this] { return DoBuildPass(); });
    }
    if (direct) {
        TwoPass = m_savedTwoPass;
        DoBuildPass();
        return true;
    }
    m_progressText = GetLocalizedString(frRes::ProcessingPage);
    if (m_savedTwoPass) {
        TwoPass = m_savedTwoPass;
        DoBuildPass();
        return true;
    }
    TotalPages = 0;
    return RunProgress(m_progressText + QStringLiteral("  1"), [this] { return DoBuildPass(); });
}

bool TfrReport::DoBuildPass()
{
    BuildPages();
    if (FinalPass)
        return !StopRequested;
    TotalPages = m_emfPages->Count();
    TwoPass = 0;
    if (StopRequested) {
        m_emfPages->Clear();
        TwoPass = m_savedTwoPass;
        return false;
    }
    RunPasses();
    TwoPass = m_savedTwoPass;
    return !StopRequested;
}

void TfrReport::BuildPages()
{
    if (frProgressHost())
        QCoreApplication::processEvents();
    Rebuildable = true;
    EngineMode = 1;
    CurrentReport = this;
    m_dictionary->ClearCache();
    frEnsureGlobals();
    BuildScope::InstallParserHandlers();
    LoadErrorFlag = false;
    const bool repeat = Dataset && ReportType == rtMultiple;
    if (repeat) {
        Dataset->Init();
        Dataset->First();
    }
    if (!(FinalPass && m_savedTwoPass)) {
        HookedViews.clear();
        for (TfrPage *p : m_pages->List())
            p->Skip = false;
        DialogCancelled = false;
    }
    const QList<TfrPage *> pages = m_pages->List();
    for (TfrPage *p : pages) {
        if (p->PageType != ptDialog)
            continue;
        p->InitReport();
        if (DialogCancelled)
            break;
    }
    if (!DialogCancelled) {
        for (TfrPage *p : pages)
            if (p->PageType == ptReport)
                p->InitReport();
        if (!(FinalPass && m_savedTwoPass))
            for (TfrPage *p : pages)
                if (p->PageType == ptReport && !StopRequested)
                    p->PrepareObjects();
        do {
            ReportProgress(PageNo + 1);
            for (int i = 0; i < pages.size() && !StopRequested; ++i) {
                TfrPage *p = pages[i];
                m_curPage = p;
                CurrentPage = p;
                p->PageNumber = i + 1;
                if (!p->Visible)
                    p->RunScript(p->Script);
                if (!p->Skip && p->PageType == ptReport && p->Visible) {
                    p->Mode = 0;
                    p->FormPage();
                }
                AppendToPrevPage = false;
                if (i + 1 < pages.size() && pages[i + 1]->PrintToPrevPage) {
                    --PageNo;
                    AppendToPrevPage = true;
                } else {
                    PageNo = m_emfPages->Count();
                    ReportProgress(PageNo);
                }
            }
            ReportProgress(PageNo);
            if (repeat)
                Dataset->Next();
        } while (!StopRequested && repeat && !Dataset->Eof());
    }
    for (TfrPage *p : pages)
        if (p->PageType == ptReport)
            p->DoneReport();
    for (TfrPage *p : pages)
        if (p->PageType == ptDialog)
            p->DoneReport();
    if (repeat)
        Dataset->Exit();
}

void TfrReport::ShowReport()
{
    PrepareReport();
    ShowPreparedReport();
}

void TfrReport::ShowPreparedReport()
{
    CurrentReport = this;
    MasterReport = this;
    EngineMode = 1;
    CurrentBand = nullptr;
    if (m_emfPages->Count() == 0)
        return;
    const QString caption = withTitle(GetLocalizedString(frRes::Preview), Title);
    if (Preview && EmbeddedPreviewHook) {
        EmbeddedPreviewHook(Preview, *this);
        return;
    }
    if (!PreviewHook) {
        logOnce(QStringLiteral("report: no preview window installed; %1 prepared pages are not shown")
                    .arg(m_emfPages->Count()));
        return;
    }
    PreviewHook(*this, caption);
    if (frProgressHost())
        QCoreApplication::processEvents();
}

void TfrReport::BeforePrintObject(QStringList &memo, TfrView *view)
{
    if (TfrPage *p = view ? view->ParentPage : nullptr) {
        IfrDataSource *ds = nullptr;
        QString field;
        if (p->BoundField(view, ds, field)) {
            const int index = ds->FieldIndex(field);
            if (index >= 0) {
                if (!ds->IsOpen())
                    ds->Open();
                if (IsBlobField(ds, index))
                    view->GetBlob(LoadBlobInto(ds, index));
                else
                    view->GetBlob(FieldValue(ds, index));
                if (view->TypeCode == 0)
                    memo = view->PrintText;
            }
        }
    }
    if (OnBeforePrint)
        OnBeforePrint(memo, view);
}

// ---------------------------------------------------------------------------
// Export

void TfrReport::ExportTo(TfrExportFilter &filter, const QString &fileName)
{
    EngineMode = 1;
    filter.FileName = fileName;
    if (filter.OnBeginExport) {
        bool proceed = true;
        filter.OnBeginExport(proceed);
        if (!proceed)
            return;
    }
    if (!filter.ShowModal())
        return;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EfrStreamError(file.errorString().toStdString());
    filter.Stream = &file;
    CurrentReport = MasterReport = this;
    TotalPages = m_emfPages->Count();
    const TfrEngineHooks kept = EngineHooks;
    struct Restore {
        const TfrEngineHooks &hooks;
        TfrExportFilter &filter;
        bool &exporting;
        ~Restore()
        {
            EngineHooks = hooks;
            filter.Stream = nullptr;
            exporting = false;
        }
    } restore{kept, filter, m_exporting};
    m_exporting = true;
    EngineHooks.ExportObject = [&filter](TfrView *view, int left, int top) { filter.OnData(left, top, view); };
    EngineHooks.ExportText = [&filter](const QString &line, const QRect &rect, int x, int y, int frameTyp) {
        filter.OnText(line, rect, x, y, frameTyp);
    };
    filter.OnBeginDoc();
    auto work = [this, &filter]() {
        if (frProgressHost())
            QCoreApplication::processEvents();
        for (int i = 0; i < m_emfPages->Count() && !StopRequested; ++i) {
            filter.OnBeginPage();
            m_emfPages->ExportPage(i);
            ReportProgress(i + 1);
            filter.OnEndPage();
        }
        filter.OnEndDoc();
        return true;
    };
    StopRequested = false;
    if (ShowProgress && !OnProgress && frProgressHost()) {
        m_progressText = GetLocalizedString(frRes::ProcessingPage);
        RunProgress(m_progressText + QStringLiteral("  1"), work);
    } else {
        work();
    }
    if (!file.commit())
        throw EfrStreamError(file.errorString().toStdString());
    if (filter.OnEndExport)
        filter.OnEndExport(fileName);
}

// ---------------------------------------------------------------------------
// Prepared-report files

bool TfrReport::LoadPreparedReport(const QString &fileName, QString *error)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    QBuffer data;
    data.setData(f.readAll());
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return false;
    }
    data.open(QIODevice::ReadOnly);
    try {
        m_emfPages->LoadFromStream(data);
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    Rebuildable = false;
    return true;
}

bool TfrReport::SavePreparedReport(const QString &fileName, QString *error)
{
    QBuffer data;
    data.open(QIODevice::ReadWrite);
    try {
        m_emfPages->SaveToStream(data);
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(data.data()) != data.data().size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Designer

void TfrReport::EditPreparedPage(int pageIndex)
{
    if (!DesignerClassRef || !m_emfPages->GetPage(pageIndex))
        return;
    // Report, page, view, band, mode, stream version, active designer and editor hooks
    // come back as they were, whatever the designer did to them.
    TfrEngineStateScope scope;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool cursor = true;
    QPointer<TfrReportDesigner> kept = ActiveDesigner;
    if (kept)
        kept->DesignerPage = nullptr;
    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    bool keepPage = false;
    // Runs however the edit ends: the page object leaves the template list (it belongs to
    // the prepared page), is freed unless its changes were written back, and the template
    // is read back.
    auto finish = [&] {
        if (cursor)
            QApplication::restoreOverrideCursor();
        cursor = false;
        m_pages->Release();
        if (!keepPage)
            m_emfPages->FreePageObjects(pageIndex);
        if (saved.size() > 0) {
            saved.seek(0);
            ReadFromStream(saved);
        }
        if (kept)
            kept->DesignerPage = m_pages->GetPage(0);
    };
    try {
        SaveToStream(saved);
        m_pages->Clear();
        m_emfPages->ObjectsToPage(pageIndex);
        TfrPageInfo *info = m_emfPages->GetPage(pageIndex);
        m_pages->Append(info->Page.get());
        CurrentReport = this;
        bool edited = false;
        {
            std::unique_ptr<TfrReportDesigner> designer(DesignerClassRef(false));
            ActiveDesigner = designer.get();
            designer->DesignerPage = info->Page.get();
            QApplication::restoreOverrideCursor();
            cursor = false;
            orv::prompt().runModal(designer.get());
            // A save inside the designer clears the modified flag, not the edit.
            edited = designer->EditedSinceOpened || designer->GetModified();
        }
        if (edited
            && orv::prompt().message(nullptr, GetLocalizedString(frRes::Confirm),
                                     GetLocalizedString(frRes::SaveChanges) + QLatin1Char('?'),
                                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
                   == QMessageBox::Yes) {
            try {
                m_emfPages->PageToObjects(pageIndex);
                keepPage = true;
            } catch (const std::exception &e) {
                orv::prompt().message(nullptr, GetLocalizedString(frRes::Error), QString::fromUtf8(e.what()),
                                      QMessageBox::Critical);
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
