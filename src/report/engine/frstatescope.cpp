#include "report/engine/frstatescope.h"
#include "report/engine/frpage.h"

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

void frAlignToPage(TfrPage *page)
{
    EngineHooks.CurrentBandGeometry = nullptr;
    EngineHooks.AlignContext = [page](TfrAlignContext &ctx) {
        ctx.LeftMargin = page->LeftMargin();
        ctx.RightMargin = page->RightMargin();
        ctx.Objects.assign(page->Objects.cbegin(), page->Objects.cend());
        return true;
    };
}
