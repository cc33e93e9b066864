#pragma once
// 高级查询筛选: builds a condition from simple terms and shows the matching goods in the goods
// list that opened it. The dialog stays open, so the condition can be refined and run again.
#include "goods/goodsdialog.h"

#include <QPointer>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orv {

class TfrmCangKu;

class TfrmSelectCangku : public GoodsDialog {
    Q_OBJECT
public:
    explicit TfrmSelectCangku(TfrmCangKu *list = nullptr);

    void FormShow() override;
    void addButtonClick();    // 增加条件
    void clearButtonClick();  // 清空条件
    void searchButtonClick(); // 按照条件查找

    QListWidget *termList() const { return termListBox; }

private:
    QPointer<TfrmCangKu> m_list;
    QComboBox *connectorCombo; // ComboBox1
    QComboBox *fieldCombo;     // ComboBox2
    QComboBox *operatorCombo;  // ComboBox3
    QLineEdit *valueEdit;      // Edit1
    QListWidget *termListBox;  // ListBox1
    QPushButton *addButton, *clearButton, *searchButton, *cancelButton;
};

inline QPointer<TfrmSelectCangku> frmSelectCangku;

} // namespace orv
