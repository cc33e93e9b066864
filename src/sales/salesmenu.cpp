#include "sales/salesmenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/prompt.h"
#include "sales/frmsalebilling.h"
#include "sales/salesschema.h"

namespace orv {

namespace {
// 销售订货, 销售退货, 销售开单: the bill window made afresh and laid out for its mode.
void openSaleBilling(int mode)
{
    G.gSaleBillMode = mode;
    if (frmSaleBilling) {
        frmSaleBilling->close();
        delete frmSaleBilling.data();
    }
    auto *w = new TfrmsaleBilling();
    frmSaleBilling = w;
    w->layOutForMode(mode);
    centreOnDesktop(w);
    prompt().runModal(w);
    delete frmSaleBilling.data();
}
} // namespace

void registerSalesWindows()
{
    registerSalesSchema();
    setMenuHandler("N32", [] { openSaleBilling(1); });
    setMenuHandler("N34", [] { openSaleBilling(2); });
    setMenuHandler("N54", [] { openSaleBilling(3); });
}

} // namespace orv
