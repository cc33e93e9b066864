#include "sales/salesauditmenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "sales/frmsalebillingshow.h"
#include "sales/frmsalequote.h"
#include "sales/frmtuiaud.h"

namespace orv {

namespace {
// One window serves both entries of a pair: an open one switches to the entry's mode in place.
template <typename T>
void openInMode(QPointer<T> &window, int mode)
{
    G.gSaleListMode = mode;
    const bool open = window;
    T *w = ShowChildForm(window);
    if (w && open)
        w->showMode(mode);
}
} // namespace

void registerSalesListWindows()
{
    setMenuHandler("N33", [] { openInMode(frmSaleQuote, 1); });
    setMenuHandler("N38", [] { openInMode(frmSaleQuote, 2); });
    setMenuHandler("N35", [] { openInMode(frmTuiAud, 1); });
    setMenuHandler("N40", [] { openInMode(frmTuiAud, 2); });
    setMenuHandler("N39", [] { ShowChildForm(frmSaleBillingShow); });
}

} // namespace orv
