#pragma once
// The engine keeps its working state in globals (one report at a time). An
// operation that changes some of them for a while (drawing a prepared page,
// editing one in the designer) keeps a scope: when it ends, also through an
// exception, every global is put back as it was found:
//
//     TfrEngineStateScope scope;
//     EngineMode = 1; CurrentPage = page; ...   // restored when scope ends
//
// An object freed while a scope is open is forgotten by it (the destructors of
// reports, pages, views and run-time bands tell the open scopes), so a scope
// never puts back a pointer to a freed object: that global becomes null instead.
#include "report/engine/frobject.h"
#include "report/engine/frreport.h"
#include "report/engine/frview.h"

#include <QPointer>

class TfrEngineStateScope {
public:
    TfrEngineStateScope();
    ~TfrEngineStateScope();
    TfrEngineStateScope(const TfrEngineStateScope &) = delete;
    TfrEngineStateScope &operator=(const TfrEngineStateScope &) = delete;

    // The values put back; an operation may change one that must not come back.
    TfrReport *Report;
    TfrPage *Page;
    TfrView *View;
    TfrBand *Band;
    quint8 Mode;
    int Version;
    QPointer<TfrReportDesigner> Designer;
    TfrEngineHooks Hooks;
    TfrEditorHooks Editors;

    // Called by the destructors of the objects the globals point to.
    static void Forget(const void *object);

private:
    TfrEngineStateScope *m_outer;
};

// Objects drawn on their own (a prepared page, the designer's page) align to that
// page's margins and objects rather than to a band being built: sets EngineHooks'
// band geometry and alignment context (inside a scope, which puts them back).
void frAlignToPage(TfrPage *page);
