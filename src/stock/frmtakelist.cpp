#include "stock/frmtakelist.h"
#include "stock/takelist.h"

namespace orv {

TfrmTakeList::TfrmTakeList(QWidget *parent) : DocumentListWindow(takeListConfig(), parent) { setObjectName("frmTakeList"); }

} // namespace orv
