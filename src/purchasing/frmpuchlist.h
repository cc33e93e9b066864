#pragma once
// 采购入库单: the receipts into store, reversible; a child window of the main window (purchasing/purchaselists.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmPuchList : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmPuchList(QWidget *parent = nullptr);
};

inline QPointer<TfrmPuchList> frmPuchList;

} // namespace orv
