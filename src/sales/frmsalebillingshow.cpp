#include "sales/frmsalebillingshow.h"
#include "app/appglobals.h"
#include "sales/saleslists.h"

namespace orv {

namespace {
DocumentListConfig billList()
{
    DocumentListConfig c = salesBillListConfig();
    c.currentChanged = [](const QString &id) { G.gDocID = id; };
    return c;
}
} // namespace

TfrmSaleBillingShow::TfrmSaleBillingShow(QWidget *parent) : DocumentListWindow(billList(), parent)
{
    setObjectName("frmSaleBillingShow");
}

} // namespace orv
