#pragma once
// 采购订货单: the approved purchase orders; a child window of the main window (purchasing/purchaselists.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmAlPuchList : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmAlPuchList(QWidget *parent = nullptr);
};

inline QPointer<TfrmAlPuchList> frmAlPuchList;

} // namespace orv
