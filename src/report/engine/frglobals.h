#pragma once
// The engine's global objects (TfrGlobals) and the engine-wide state the
// parser, dictionary and data sets need. (CurrentReport, CurrentPage, CurrentBand,
// CurrentView, EngineMode ... are declared in frobject.h.)
//
// One TfrGlobals is created when the engine starts and destroyed when it ends (a second
// instance made while one runs is inert):
//     TfrGlobals globals;          // e.g. in main() or a test's initTestCase()
// Creating it fills, in this order: the localized tables, the scratch list, the
// pattern and measure bitmaps, GlobalParser, GlobalVariables and ScriptConstants
// (sorted, with the script constants), then GlobalInterpreter with the standard and
// database function libraries (frinterp.h). Units built elsewhere (progress window,
// compressor, HookedViews, "DialogForm") add themselves through frAddGlobalsHook.
#include "report/engine/frparser.h"
#include "report/engine/frvariables.h"

#include <QImage>
#include <QStringList>
#include <functional>

class IfrDataSource;
class QWidget;

// Localized tables (TfrGlobals.LoadLocalizedTables).
extern int EngineCharset;              // res 55337 as an integer ("1")
extern QStringList BandTypeNames;      // res 55077..55099, band types 0..22
extern QStringList BooleanFormats;     // res 55170..55173
extern QStringList DateFormats;        // res 55175..55178
extern QStringList TimeFormats;        // res 55179..55182

extern TfrParser *GlobalParser;
extern TfrVariables *GlobalVariables;  // engine variables set by scripts and SETARRAY
extern TfrVariables *ScriptConstants;  // colour names, mrOk, CRLF, Null ...
extern QStringList *ScratchList;
extern QImage *PatternBitmap;          // 8x8, white where row+column is even, else silver
extern QImage *MeasureBitmap;          // 8x8, its painter measures text

class TfrGlobals {
public:
    TfrGlobals();
    ~TfrGlobals();
    TfrGlobals(const TfrGlobals &) = delete;
    TfrGlobals &operator=(const TfrGlobals &) = delete;
    static void LoadLocalizedTables();
    static bool Created();
private:
    bool m_active = false;   // false for an instance made while another one runs
};

// The running TfrGlobals, creating one when none exists (for code paths that run
// without the program's start-up, e.g. tests). One created here lives until
// frReleaseGlobals() or the end of the process.
void frEnsureGlobals();
void frReleaseGlobals();

// Creation and destruction steps of other units: `create` runs at the end of
// TfrGlobals' constructor in the order added, `destroy` at the start of its
// destructor in reverse order. Adding after creation runs `create` at once.
void frAddGlobalsHook(const QString &name, std::function<void()> create, std::function<void()> destroy);

// Fills a list with the script constants (colours, mrOk, fsBold, CRLF, Null ...).
void frFillScriptConstants(TfrVariables &constants);

// The engine's hidden form "DialogForm" (at -100, -100, 10 x 10 pixels), on which
// the controls of dialog pages are named and placed. Made on first use; null
// when the program has no widgets (QApplication).
QWidget *frDialogForm();

// Starts the engine for the running program; call once after the QApplication
// exists (later calls do nothing). Creates the global objects (TfrGlobals: the
// parser, variables, script constants, function libraries), registers the
// shape and check-box add-ins, creates the printer object, sets
// RegistryRootKey to "Software\OrvReport" and installs EngineHooks, so that
// objects expand their [..] insertions, evaluate and find objects through the
// current report, and the add-ins enter their constants, also outside a build;
// installs the preview, the progress window and the password query
// (frRegisterPreview). A build installs its own hooks for its duration and puts
// these back. The globals are freed when the application ends.
void frInitEngine();
// Installs the program's EngineHooks and the global parser's handlers (part of frInitEngine).
void frInstallEngineHooks();

// The default data set: the object model installs the lookup; nullptr
// when none is installed. Used by the dictionary's lookups.
void frSetDefaultDataSetHook(std::function<IfrDataSource *()> hook);
IfrDataSource *frDefaultDataSet();
