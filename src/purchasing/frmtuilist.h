#pragma once
// 采购退货单: the approved purchase returns, reversible; a child window of the main window (purchasing/purchaselists.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmTuiList : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmTuiList(QWidget *parent = nullptr);
};

inline QPointer<TfrmTuiList> frmTuiList;

} // namespace orv
