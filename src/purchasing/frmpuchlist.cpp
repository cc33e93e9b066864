#include "purchasing/frmpuchlist.h"
#include "purchasing/purchaselists.h"

namespace orv {

TfrmPuchList::TfrmPuchList(QWidget *parent) : DocumentListWindow(receiptListConfig(), parent) { setObjectName("frmPuchList"); }

} // namespace orv
