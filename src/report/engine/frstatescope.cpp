#include "report/engine/frstatescope.h"

namespace {
TfrEngineStateScope *g_innermost = nullptr;
}

TfrEngineStateScope::TfrEngineStateScope()
    : Report(CurrentReport), Page(CurrentPage), View(CurrentView), Band(CurrentBand), Mode(EngineMode),
      Version(StreamVersion), Designer(ActiveDesigner), Hooks(EngineHooks), Editors(EditorHooks),
      m_outer(g_innermost)
{
    g_innermost = this;
}

TfrEngineStateScope::~TfrEngineStateScope()
{
    g_innermost = m_outer;
    CurrentReport = Report;
    CurrentPage = Page;
    CurrentView = View;
    CurrentBand = Band;
    EngineMode = Mode;
    StreamVersion = Version;
    ActiveDesigner = Designer;
    EngineHooks = Hooks;
    EditorHooks = Editors;
}

void TfrEngineStateScope::Forget(const void *object)
{
    for (TfrEngineStateScope *s = g_innermost; s; s = s->m_outer) {
        if (s->Report == object)
            s->Report = nullptr;
        if (s->Page == object)
            s->Page = nullptr;
        if (s->View == object)
            s->View = nullptr;
        if (s->Band == object)
            s->Band = nullptr;
    }
}
