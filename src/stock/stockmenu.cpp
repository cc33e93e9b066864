#include "stock/stockmenu.h"
#include "app/windowing.h"
#include "goods/frmcangku.h"
#include "stock/frmmingoutin.h"
#include "stock/frmtake.h"
#include "stock/frmtakelist.h"
#include "stock/frmtiaojia.h"
#include "stock/frmtongji.h"
#include "stock/stockschema.h"

namespace orv {

void registerStockWindows()
{
    registerStockSchema();
    setMenuHandler("N52", [] { ShowChildForm(frmtongji); });
    setMenuHandler("N53", [] { ShowChildForm(frmMingOutIn); });
    setMenuHandler("N23", [] { ShowChildForm(frmTake); });
    setMenuHandler("N30", [] { ShowChildForm(frmTakeList); });
    setPriceAdjustOpener([](QWidget *goodsList) {
        openModal(frmTiaojia, true, goodsList);
        delete frmTiaojia.data();
    });
}

} // namespace orv
