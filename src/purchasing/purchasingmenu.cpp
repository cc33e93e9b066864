#include "purchasing/purchasingmenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "purchasing/frmalpuch.h"
#include "purchasing/frmalpuchlist.h"
#include "purchasing/frmcaigoutui.h"
#include "purchasing/frmjintuiaud.h"
#include "purchasing/frmpuch.h"
#include "purchasing/frmpuchaud.h"
#include "purchasing/frmpuchlist.h"
#include "purchasing/frmpustore.h"
#include "purchasing/frmtuilist.h"
#include "purchasing/purchasingschema.h"

namespace orv {

namespace {
// 验收入库: the window laid out for receipts, with a first receipt number, before it is shown.
void openReceiptWindow()
{
    G.gPuStoreMode = 1;
    if (frmPuStore) {
        frmPuStore->close();
        delete frmPuStore.data();
    }
    auto *w = new TfrmPuStore();
    frmPuStore = w;
    w->layOutForReceipt();
    centreOnDesktop(w);
    prompt().runModal(w);
    delete frmPuStore.data();
}
} // namespace

void registerPurchasingWindows()
{
    registerPurchasingSchema();
    setMenuHandler("WindowCascadeItem", [] {
        openModal(frmPuch);
        delete frmPuch.data();
    });
    setMenuHandler("WindowTileItem", [] { ShowChildForm(frmPuchAud); });
    setMenuHandler("WindowTileItem2", openReceiptWindow);
    // The lists: 采购订单, 采购单, 采购入库单, 进货退货单.
    setMenuHandler("WindowArrangeItem", [] { ShowChildForm(frmAlPuchList); });
    setMenuHandler("N15", [] { ShowChildForm(frmALPuch); });
    setMenuHandler("N16", [] { ShowChildForm(frmPuchList); });
    setMenuHandler("N17", [] { ShowChildForm(frmTuiList); });
    setMenuHandler("WindowMinimizeItem", [] {
        openModal(frmCaiGouTui);
        delete frmCaiGouTui.data();
    });
    setMenuHandler("N48", [] { ShowChildForm(frmJinTuiAud); });
}

} // namespace orv
