#include "report/engine/frreport.h"
#include "report/engine/frstatescope.h"
#include "report/engine/frcheckbox.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frlocale.h"
#include "report/engine/frprepared.h"
#include "report/engine/frshape.h"
#include "report/engine/frstrings.h"

#include "common/clock.h"
#include "common/prompt.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <cmath>

std::function<bool(QString &password)> TfrReport::PasswordQuery;

namespace {

void startEngine()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    RegisterShapeAddIn();
    RegisterCheckBoxAddIn();
    if (!EngineHooks.FindObject)
        EngineHooks.FindObject = [](const QString &name) -> TfrView * {
            return CurrentReport ? CurrentReport->FindObject(name) : nullptr;
        };
}
} // namespace

TfrReport::TfrReport(QObject *owner)
    : QObject(owner), m_pages(std::make_unique<TfrPages>(this)),
      m_dictionary(std::make_unique<TfrDataDictionary>()), m_emfPages(std::make_unique<TfrEMFPages>(this))
{
    startEngine();
    EnsureReportPrinter();
    FileName = GetLocalizedString(frRes::Untitled);
    ResetDocumentAttributes();
}

TfrReport::~TfrReport()
{
    TfrEngineStateScope::Forget(this);
    if (CurrentReport == this)
        CurrentReport = nullptr;
    if (MasterReport == this)
        MasterReport = nullptr;
    m_emfPages.reset();
    m_dictionary.reset();
    m_pages.reset();
}

void TfrReport::Clear()
{
    m_pages->Clear();
    m_dictionary->Clear();
    TwoPass = 0;
    ResetDocumentAttributes();
}

void TfrReport::ResetDocumentAttributes()
{
    Attributes = TfrDocumentAttributes();
    const double now = frDateTimeToDouble(orv::Clock::localNow());
    Attributes.CreationDate = now;
    Attributes.LastChangeDate = now;
}

TfrView *TfrReport::FindObject(const QString &name) const
{
    for (const TfrPage *p : m_pages->List())
        if (TfrView *v = p->FindObject(name))
            return v;
    return nullptr;
}

bool TfrReport::LoadFromFile(const QString &fileName)
{
    QFile f(fileName);
    if (!f.exists())
        return false;
    if (!f.open(QIODevice::ReadOnly)) {
        orv::prompt().message(nullptr, GetLocalizedString(frRes::Error),
                              f.errorString(), QMessageBox::Critical);
        return false;
    }
    if (!LoadFromStream(f))
        return false;
    FileName = fileName;
    return true;
}

bool TfrReport::SaveToFile(const QString &fileName)
{
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    try {
        SaveToStream(f);
    } catch (const EfrNotStorable &e) {
        // The old file stays; the operator learns which text does not fit.
        f.cancelWriting();
        orv::prompt().message(nullptr, GetLocalizedString(frRes::Error), QString::fromUtf8(e.what()),
                              QMessageBox::Critical);
        return false;
    } catch (const EfrStreamError &) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void TfrReport::SetPrinterTo(const QString &name)
{
    PrinterName = name;
    TfrPrinter &prn = EnsureReportPrinter();
    if (UseDefaultPrinter != 0)
        return;
    const int i = int(prn.Printers.indexOf(name));
    if (i >= 0)
        prn.SelectPrinter(i);
}

QByteArray TfrReport::ReportFormData()
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    WriteStreamInt(b, frCurrentVersion);
    if (StoreInDFM) {
        QBuffer body;
        body.open(QIODevice::WriteOnly);
        SaveToStream(body);
        WriteStreamInt(b, qint32(body.data().size()));
        WriteStreamBytes(b, body.data());
    }
    return b.data();
}

bool TfrReport::ReadReportForm(const QByteArray &data)
{
    m_keptForm.clear();
    m_hasKeptForm = false;
    QBuffer b;
    b.setData(data);
    b.open(QIODevice::ReadOnly);
    try {
        ReadStreamInt(b); // format marker, not checked
        if (!StoreInDFM)
            return true;
        const qint32 n = ReadStreamInt(b);
        m_keptForm = ReadStreamBytes(b, n);
    } catch (const EfrStreamError &) {
        return false;
    }
    m_hasKeptForm = true;
    return true;
}

void TfrReport::FormLoaded()
{
    if (!m_hasKeptForm)
        return;
    QBuffer b;
    b.setData(std::exchange(m_keptForm, {}));
    m_hasKeptForm = false;
    b.open(QIODevice::ReadOnly);
    LoadFromStream(b);
}
