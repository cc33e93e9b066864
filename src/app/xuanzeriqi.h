#pragma once
// 请选择日期 of the sales entry window: with gDatePickTarget 2 the date is written straight
// into the opener's date box "Edit2", and the focus moves to its "ComboBox2".
#include "app/frmtime.h"

namespace orv {

class Txuanzeriqi : public TDatePickDialog {
    Q_OBJECT
public:
    explicit Txuanzeriqi(QWidget *opener = nullptr);
    void FormShow() override;
    void OkClick() override; // Button1
};

inline QPointer<Txuanzeriqi> xuanzeriqi;

} // namespace orv
