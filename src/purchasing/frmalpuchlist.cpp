#include "purchasing/frmalpuchlist.h"
#include "purchasing/purchaselists.h"

namespace orv {

TfrmAlPuchList::TfrmAlPuchList(QWidget *parent) : DocumentListWindow(purchaseOrderListConfig(), parent) { setObjectName("frmAlPuchList"); }

} // namespace orv
