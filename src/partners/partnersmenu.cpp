#include "partners/partnersmenu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "partners/frmcustom.h"
#include "partners/frmduty.h"
#include "partners/frmyuangongmulu.h"
#include "partners/partnersschema.h"

namespace orv {

void registerPartnersWindows()
{
    registerPartnersSchema();
    setMenuHandler("N7", [] { ShowChildForm(frmCustom); });
    setMenuHandler("CopyItem", [] {
        G.gDutyMode = kDutyMenuMode;
        openModal(frmDuty);
    });
    setMenuHandler("PasteItem", [] {
        G.gStaffMode = kStaffMenuMode;
        openModal(frmYuanGongMuLu);
    });
}

} // namespace orv
