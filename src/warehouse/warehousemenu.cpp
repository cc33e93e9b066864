#include "warehouse/warehousemenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "warehouse/frmbaosunaud.h"
#include "warehouse/frmdiaobo.h"
#include "warehouse/frmdiaobolist.h"
#include "warehouse/frmhuodiao.h"
#include "warehouse/frmhuopindiao.h"
#include "warehouse/warehouseschema.h"

namespace orv {

void registerWarehouseWindows()
{
    registerWarehouseSchema();
    for (const InternalKind &k : kInternalKinds) {
        setMenuHandler(QString::fromUtf8(k.entryItem), [kind = k.kind] {
            G.gDocKind = kind;
            openModal(frmDiaobo, true, kind);
            delete frmDiaobo.data();
        });
        setMenuHandler(QString::fromUtf8(k.listItem), [kind = k.kind] {
            G.gDocKind = kind;
            ShowChildForm(frmDiaoBoList)->showKind(kind);
        });
    }
    setMenuHandler("N49", [] { ShowChildForm(frmBaoSunAud); });
    setMenuHandler("N20", [] {
        openModal(frmHuoDiao, true);
        delete frmHuoDiao.data();
    });
    setMenuHandler("N55", [] {
        openModal(frmHuoPinDiao, true);
        delete frmHuoPinDiao.data();
    });
}

} // namespace orv
