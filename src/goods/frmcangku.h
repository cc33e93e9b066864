#pragma once
// 货品库存: the goods rows with their stock, filtered by the category, supplier and storage-place
// trees, a live search and the condition dialog; rows below warning stock in red; new, edit,
// delete (one or several at once) and export.
#include "app/appglobals.h"
#include "goods/goodslist.h"

#include <QPointer>
#include <functional>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

// Opens the price adjustment for the goods list; the stock subsystem installs it at start (goods
// cannot link the window itself). 调价 stays greyed out until it is installed.
void setPriceAdjustOpener(std::function<void(QWidget *goodsList)> opener);

class TfrmCangKu : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmCangKu(QWidget *parent = nullptr);

    void FormShow();
    void onWindowMessage(int message) override;

    // The list of a query; the first row current and selected (or, with keepRowNo, that row).
    void showList(const GoodsListQuery &q, qint64 keepRowNo = 0);
    // The statement shown last, run again; the row with that 流水号 current.
    void rerun(qint64 keepRowNo);

    void searchButtonClick();       // 查询, Enter in the search box, every change of the text
    void advancedButtonClick();     // 高级查询
    void priceButtonClick();        // 调价
    void belowWarningButtonClick(); // 低于警戒库存
    void deleteManyButtonClick();   // 删除多个货品
    void newButtonClick();          // 新建
    void editButtonClick();         // 修改
    void deleteButtonClick();       // 删除
    void exportButtonClick();       // 导出
    void DBGrid1DblClick();         // edit the current goods row
    void DBGrid1CellClick(int row); // the row shows fresh values
    void TreeView1Change(QTreeWidgetItem *node); // categories
    void TreeView2Change(QTreeWidgetItem *node); // suppliers
    void TreeView3Change(QTreeWidgetItem *node); // storage places

    GoodsListModel *listModel() const { return m_model; }
    QTableView *grid() const { return goodsGrid; }
    QTreeWidget *categoryTree() const { return categoryTreeView; }
    QTreeWidget *supplierTree() const { return supplierTreeView; }
    QTreeWidget *placeTree() const { return placeTreeView; }
    int currentRow() const;
    void setCurrentRow(int row, bool select = true);
    // The goods rows selected, in list order.
    QList<int> selectedGoodsRows() const;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTrees();
    void moveAndSelect(int delta);
    void markCurrentSelected();

    GoodsListModel *m_model;
    bool m_shown = false;

    QComboBox *searchFieldCombo; // ComboBox1
    QLineEdit *searchEdit;       // EditContent
    QPushButton *searchButton, *advancedButton, *priceButton, *belowWarningButton, *deleteManyButton, *newButton,
        *editButton, *deleteButton, *exportButton;
    QLabel *hintLabel;
    QTreeWidget *categoryTreeView; // TreeView1
    QTreeWidget *supplierTreeView; // TreeView2
    QTreeWidget *placeTreeView;    // TreeView3
    QTableView *goodsGrid;         // DBGrid1
};

inline QPointer<TfrmCangKu> frmCangKu;

} // namespace orv
