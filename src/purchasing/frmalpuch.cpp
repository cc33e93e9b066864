#include "purchasing/frmalpuch.h"
#include "purchasing/purchaselists.h"

namespace orv {

TfrmALPuch::TfrmALPuch(QWidget *parent) : DocumentListWindow(purchaseBillListConfig(), parent) { setObjectName("frmALPuch"); }

} // namespace orv
