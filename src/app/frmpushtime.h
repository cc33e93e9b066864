#pragma once
// 请选择日期 of the purchase order window: gDateAndTime.Date + WM_DATE_CHOSEN to its opener.
#include "app/frmtime.h"

namespace orv {

class TfrmPushTime : public TDatePickDialog {
    Q_OBJECT
public:
    explicit TfrmPushTime(QWidget *opener = nullptr);
    void OkClick() override; // Button1
};

inline QPointer<TfrmPushTime> frmPushTime;

} // namespace orv
