#include "warehouse/frmdiaobolist.h"
#include "app/appglobals.h"
#include "warehouse/internallist.h"

namespace orv {

namespace {
// A window created before any list entry ran opens on the first kind.
int openingKind() { return G.gDocKind >= 1 && G.gDocKind <= 7 ? G.gDocKind : 1; }
} // namespace

TfrmDiaoBoList::TfrmDiaoBoList(QWidget *parent)
    : DocumentListWindow(internalListConfig(openingKind()), parent), m_kind(openingKind())
{
    setObjectName("frmDiaoBoList");
}

void TfrmDiaoBoList::showKind(int kind)
{
    // Every opening lists the kind's documents afresh, unfiltered.
    setConfiguration(internalListConfig(kind));
    m_kind = kind;
}

} // namespace orv
