#pragma once
// 盘点单: the stock-taking bill list, a child window of the main window (stock/takelist.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmTakeList : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmTakeList(QWidget *parent = nullptr);
};

inline QPointer<TfrmTakeList> frmTakeList;

} // namespace orv
