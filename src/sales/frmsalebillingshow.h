#pragma once
// 销售单: every sales bill (direct sales and approved orders) with its totals, searched by date
// range and one field, printed, deleted (header only) and exported; a child window of the main
// window (sales/saleslists.h).
#include "documents/documentlistwindow.h"

#include <QPointer>

namespace orv {

class TfrmSaleBillingShow : public DocumentListWindow {
    Q_OBJECT
public:
    explicit TfrmSaleBillingShow(QWidget *parent = nullptr);
};

inline QPointer<TfrmSaleBillingShow> frmSaleBillingShow;

} // namespace orv
