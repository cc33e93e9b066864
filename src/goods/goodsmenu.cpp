#include "goods/goodsmenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "goods/frmcangku.h"
#include "goods/frmchooseleibie.h"
#include "goods/frmwanglaidanwei.h"
#include "goods/goodsschema.h"
#include "goods/lookupforms.h"
#include "goods/lookupschema.h"

namespace orv {

void registerGoodsWindows()
{
    registerGoodsSchema();
    registerGoodsLookupSchema();
    setMenuHandler("N9", [] {
        G.gLeiBieMode = 0;
        openModal(frmChooseLeiBie);
    });
    setMenuHandler("N56", [] { openModal(frmKeHu); });
    setMenuHandler("N57", [] {
        G.gDirMode = 23;
        openModal(frmCamgWei);
    });
    setMenuHandler("N58", [] {
        G.gDirMode = 24;
        openModal(frmSelectDan);
    });
    setMenuHandler("HelpAboutItem", [] { ShowChildForm(frmCangKu); });
    setMenuHandler("N8", [] { ShowChildForm(frmWangLaiDanWei); });
}

} // namespace orv
