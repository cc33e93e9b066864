#pragma once
// 高级查询筛选: conditions over voucher header and line columns, each joined to the one before by
// 并且, 或者 or 排除; the search reruns the opening ledger for its period under them: the detail
// ledger (G.gLedgerFilterMode 1, then the dialog closes) or the summary ledger (2, and the dialog
// stays open for another condition).
#include "stock/ledgerfilter.h"
#include "stock/stockdialog.h"

#include <QPointer>

class QComboBox;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace orv {

class TfrmSelect : public StockDialog {
    Q_OBJECT
public:
    explicit TfrmSelect(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton2Click(); // 增加条件
    void SpeedButton3Click(); // 清空条件
    void SpeedButton1Click(); // 按照条件查找
    void SpeedButton4Click(); // 取消查找

    const ConditionList &conditions() const { return m_conditions; }

private:
    ConditionList m_conditions;
    QComboBox *connectiveCombo; // ComboBox1
    QComboBox *fieldCombo;      // ComboBox2
    QComboBox *operatorCombo;   // ComboBox3
    QLineEdit *valueEdit;       // Edit1
    QListWidget *conditionList; // ListBox1
    QToolButton *addButton, *clearButton, *searchButton, *cancelButton; // SpeedButton2, 3, 1, 4
};

inline QPointer<TfrmSelect> frmSelect;

inline const QString kNoCondition = QStringLiteral("请增加选择条件");

} // namespace orv
