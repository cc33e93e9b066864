#include "purchasing/frmtuilist.h"
#include "purchasing/purchaselists.h"

namespace orv {

TfrmTuiList::TfrmTuiList(QWidget *parent) : DocumentListWindow(purchaseReturnListConfig(), parent) { setObjectName("frmTuiList"); }

} // namespace orv
