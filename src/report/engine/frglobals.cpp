#include "report/engine/frglobals.h"
#include "report/engine/frcheckbox.h"
#include "report/engine/frinterp.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpreviewform.h"
#include "report/engine/frprinter.h"
#include "report/engine/frreport.h"
#include "report/engine/frshape.h"
#include "report/engine/frstrings.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <QColor>
#include <QList>
#include <algorithm>

int EngineCharset = 1;
QStringList BandTypeNames;
QStringList BooleanFormats;
QStringList DateFormats;
QStringList TimeFormats;

TfrParser *GlobalParser = nullptr;
TfrVariables *GlobalVariables = nullptr;
TfrVariables *ScriptConstants = nullptr;
QStringList *ScratchList = nullptr;
QImage *PatternBitmap = nullptr;
QImage *MeasureBitmap = nullptr;

namespace {
struct Hook {
    QString name;
    std::function<void()> create, destroy;
};
QList<Hook> &hooks()
{
    static QList<Hook> h;
    return h;
}
bool g_created = false;
std::function<IfrDataSource *()> g_defaultDataSet;

QStringList range(int first, int last)
{
    QStringList out;
    for (int id = first; id <= last; ++id)
        out << GetLocalizedString(id);
    return out;
}
} // namespace

void TfrGlobals::LoadLocalizedTables()
{
    bool ok = false;
    const int cs = GetLocalizedString(frRes::EngineCharset).toInt(&ok);
    EngineCharset = ok ? cs : 1;
    BandTypeNames = range(55077, 55099);
    BooleanFormats = range(55170, 55173);
    DateFormats = range(55175, 55178);
    TimeFormats = range(55179, 55182);
}

bool TfrGlobals::Created() { return g_created; }

TfrGlobals::TfrGlobals()
{
    if (g_created)
        return;   // one instance at a time; a second one is inert
    m_active = true;
    LoadLocalizedTables();
    ScratchList = new QStringList;

    PatternBitmap = new QImage(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            PatternBitmap->setPixel(x, y, (x + y) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(192, 192, 192));
    MeasureBitmap = new QImage(8, 8, QImage::Format_RGB32);
    MeasureBitmap->fill(Qt::white);

    GlobalParser = new TfrParser;
    GlobalVariables = new TfrVariables;
    GlobalVariables->SetSorted(true);
    ScriptConstants = new TfrVariables;
    ScriptConstants->SetSorted(true);
    frFillScriptConstants(*ScriptConstants);
    frStartScriptEngine();
    g_created = true;

    for (const Hook &h : std::as_const(hooks()))
        if (h.create)
            h.create();
}

TfrGlobals::~TfrGlobals()
{
    if (!m_active)
        return;
    const QList<Hook> hs = hooks();
    for (auto it = hs.rbegin(); it != hs.rend(); ++it) {
        try {
            if (it->destroy)
                it->destroy();
        } catch (...) {
            // Errors while freeing at shutdown are ignored.
        }
    }
    delete ScratchList;
    ScratchList = nullptr;
    delete PatternBitmap;
    PatternBitmap = nullptr;
    delete MeasureBitmap;
    MeasureBitmap = nullptr;
    frStopScriptEngine();
    delete GlobalParser;
    GlobalParser = nullptr;
    delete GlobalVariables;
    GlobalVariables = nullptr;
    delete ScriptConstants;
    ScriptConstants = nullptr;
    g_created = false;
}

namespace {
TfrGlobals *g_ensured = nullptr;
}

void frEnsureGlobals()
{
    if (!TfrGlobals::Created())
        g_ensured = new TfrGlobals;
}

void frReleaseGlobals()
{
    delete g_ensured;
    g_ensured = nullptr;
}

void frAddGlobalsHook(const QString &name, std::function<void()> create, std::function<void()> destroy)
{
    for (const Hook &h : std::as_const(hooks()))
        if (h.name == name)
            return;
    hooks().append(Hook{name, create, destroy});
    if (g_created && create)
        create();
}

void frFillScriptConstants(TfrVariables &c)
{
    auto i = [](qint64 v) { return QVariant(int(qint32(quint32(v)))); };
    const struct { const char *n; qint64 v; } colours[] = {
        {"clWhite", 0xFFFFFF}, {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
        {"clOlive", 0x008080}, {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000},
        {"clGray", 0x808080}, {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF}, {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
        {"clTransparent", 0x1FFFFFFF},
    };
    for (const auto &k : colours)
        c.SetValue(QString::fromLatin1(k.n), i(k.v));
    const char *sys[] = {
        "clScrollBar", "clBackground", "clActiveCaption", "clInactiveCaption", "clMenu", "clWindow",
        "clWindowFrame", "clMenuText", "clWindowText", "clCaptionText", "clActiveBorder",
        "clInactiveBorder", "clAppWorkSpace", "clHighlight", "clHighlightText", "clBtnFace",
        "clBtnShadow", "clGrayText", "clBtnText", "clInactiveCaptionText", "clBtnHighlight",
        "cl3DDkShadow", "cl3DLight", "clInfoText", "clInfoBk",
    };
    for (int k = 0; k < 25; ++k)
        c.SetValue(QString::fromLatin1(sys[k]), i(0xFF000000LL + k));
    const struct { const char *n; int v; } ints[] = {
        {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrYes", 6}, {"mrNo", 7},
        {"fsBold", 2}, {"fsItalic", 1}, {"fsUnderline", 4}, {"fsStrikeOut", 8},
        {"frftNone", 0}, {"frftRight", 1}, {"frftBottom", 2}, {"frftLeft", 4}, {"frftTop", 8},
        {"frtaLeft", 0}, {"frtaRight", 1}, {"frtaCenter", 2}, {"frtaVertical", 4}, {"frtaMiddle", 8},
        {"frtaDown", 16},
        {"baNone", 0}, {"baLeft", 1}, {"baRight", 2}, {"baCenter", 3}, {"baWidth", 4}, {"baBottom", 5},
        {"baTop", 6}, {"baRest", 7},
        {"psSolid", 0}, {"psDash", 1}, {"psDot", 2}, {"psDashDot", 3}, {"psDashDotDot", 4}, {"psDouble", 5},
        {"mb_Ok", 0}, {"mb_OkCancel", 1}, {"mb_YesNo", 4}, {"mb_YesNoCancel", 3},
        {"mb_IconError", 16}, {"mb_IconQuestion", 32}, {"mb_IconInformation", 64}, {"mb_IconWarning", 48},
    };
    for (const auto &k : ints)
        c.SetValue(QString::fromLatin1(k.n), QVariant(k.v));
    c.SetValue(QStringLiteral("CRLF"), QVariant(QStringLiteral("\r\n")));
    c.SetValue(QStringLiteral("Null"), frNull());
}

QWidget *frDialogForm()
{
    static QPointer<QWidget> form;
    if (!form && qobject_cast<QApplication *>(QCoreApplication::instance())) {
        form = new QWidget(nullptr, Qt::Tool);
        form->setObjectName(QStringLiteral("DialogForm"));
        form->setGeometry(-100, -100, 10, 10);
        form->setAttribute(Qt::WA_DontShowOnScreen);
        qAddPostRoutine([] { delete form.data(); });
    }
    return form;
}

void frInstallEngineHooks()
{
    EngineHooks.FindObject = [](const QString &name) -> TfrView * {
        return CurrentReport ? CurrentReport->FindObject(name) : nullptr;
    };
    EngineHooks.ExpandBracket = [](const QString &inner) {
        QString result;
        if (CurrentReport)
            CurrentReport->ExpandBracket(inner, result);
        return result;
    };
    EngineHooks.Evaluate = [](const QString &expr) {
        return GlobalParser ? GlobalParser->Calculate(expr) : QVariant();
    };
    EngineHooks.BeforePrintObject = [](QStringList &text, TfrView *view) {
        if (CurrentReport)
            CurrentReport->BeforePrintObject(text, view);
    };
    EngineHooks.HasBeforePrintHandler = [] { return CurrentReport && bool(CurrentReport->OnBeforePrint); };
    EngineHooks.SetScriptConstant = [](const QString &name, const QVariant &value) {
        if (ScriptConstants)
            ScriptConstants->SetValue(name, value);
    };
    if (GlobalParser) {
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
}

void frInitEngine()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    frEnsureGlobals();
    RegisterShapeAddIn();
    RegisterCheckBoxAddIn();
    EnsureReportPrinter();
    RegistryRootKey = QStringLiteral("Software\\OrvReport");
    frInstallEngineHooks();
    frDialogForm();
    frRegisterPreview();
    // The globals go with the application, before the libraries they use.
    qAddPostRoutine([] {
        EngineHooks = TfrEngineHooks();
        frReleaseGlobals();
    });
}

void frSetDefaultDataSetHook(std::function<IfrDataSource *()> hook) { g_defaultDataSet = std::move(hook); }

IfrDataSource *frDefaultDataSet() { return g_defaultDataSet ? g_defaultDataSet() : nullptr; }
