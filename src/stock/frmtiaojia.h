#pragma once
// 调价: 出货价 := 进货价 + - * / an operand, for the goods rows whose 进货价 lies in the ticked
// scopes; then "处理完毕", the goods list reloads (WM_PRICE_ADJUSTED) and the dialog closes.
#include "stock/priceadjustment.h"
#include "stock/stockdialog.h"

#include <QPointer>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace orv {

class TfrmTiaojia : public StockDialog {
    Q_OBJECT
public:
    explicit TfrmTiaojia(QWidget *owner = nullptr);

    void BitBtn1Click(); // 确定
    void BitBtn2Click(); // 取消

    PriceAdjustmentInput input() const;

private:
    // Per scope, in PriceScope order: its box and bound fields (nullptr where it has none).
    std::array<QCheckBox *, kPriceScopes> scopeBoxes{};
    std::array<QLineEdit *, kPriceScopes> lowEdits{};
    std::array<QLineEdit *, kPriceScopes> highEdits{};
    QComboBox *targetCombo;   // ComboBox1
    QComboBox *operatorCombo; // ComboBox2
    QLineEdit *operandEdit;   // Edit1
    QPushButton *okButton, *cancelButton; // BitBtn1, BitBtn2
};

inline QPointer<TfrmTiaojia> frmTiaojia;

} // namespace orv
