#pragma once
// 请选择日期 of the sales entry window: with gDatePickTarget 2 the date is handed to the opener
// as its field (FieldRole::Date, kSalesDateField); the sales window writes it into its date box
// "Edit2" and moves the focus to its "ComboBox2".
#include "app/frmtime.h"

namespace orv {

inline const QString kSalesDateField = QStringLiteral("单据日期");

class Txuanzeriqi : public TDatePickDialog {
    Q_OBJECT
public:
    explicit Txuanzeriqi(QWidget *opener = nullptr);
    void FormShow() override;
    void OkClick() override; // Button1
};

inline QPointer<Txuanzeriqi> xuanzeriqi;

} // namespace orv
