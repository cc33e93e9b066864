#pragma once
// 采购单: the purchase bills; a child window of the main window (purchasing/purchaselists.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmALPuch : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmALPuch(QWidget *parent = nullptr);
};

inline QPointer<TfrmALPuch> frmALPuch;

} // namespace orv
