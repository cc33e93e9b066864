#pragma once
// 库存盘点: the goods rows by category (tree) or search, each with the count typed for it (kept in
// 货品目录.盘点库存 for every client until posted or cleared); "盘点初始化" clears the counts of
// the chosen category, "导出列表" writes the list to a workbook, "确认处理" posts the counts of the
// chosen category as the new stock with a stock-taking bill and its voucher.
#include "documents/documentprint.h"
#include "stock/stocktakemodel.h"
#include "stock/stocktaking.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TfrReport;

namespace orv {

class TfrmTake : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTake(QWidget *parent = nullptr);
    ~TfrmTake() override;

    void formShow();
    void LoadAllGoods();
    void TreeView1Click();        // the category chosen (also on every change of the selection)
    void SpeedButton1Click();     // 查询, Enter in EditContent, every change of its text
    void ComboBox1Change(int item);
    void DBGrid1Exit();           // the focus left the grid
    void BitBtn2Click();          // 盘点初始化
    void SpeedButton2Click();     // 导出列表
    void BitBtn4Click();          // 确认处理
    void BitBtn3Click();          // 打印盘点单: the last bill posted in this run

    // The scope of the tree's selected node; false when no node is selected.
    bool scope(TakeScope *out) const;
    // Stores a count typed into the grid: whole numbers only.
    bool storeCount(qint64 rowNo, const QString &count);

    StockTakeModel *goodsModel() const { return m_model; }
    QTableView *goodsGrid() const { return goodsView; }
    QTreeWidget *categoryTree() const { return categoryView; }
    QComboBox *clerkCombo() const { return clerkBox; }
    const PrintRun &lastPrint() const { return m_lastPrint; }
    TfrReport &report() { return *frReport1; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCodesColumn();
    void showGoods(const SqlCondition &where);
    void buildTree();
    void refillClerks();

    bool m_shown = false;
    StockTaking m_taking;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
    StockTakeModel *m_model;
    QComboBox *searchCombo;    // ComboBox1
    QLineEdit *searchEdit;     // EditContent
    QToolButton *searchButton; // SpeedButton1
    QComboBox *clerkBox;       // ComboBox2 经办人
    QTreeWidget *categoryView; // TreeView1
    QTableView *goodsView;     // DBGrid1
    QPushButton *initButton;   // BitBtn2 盘点初始化
    QToolButton *exportButton; // SpeedButton2 导出列表
    QPushButton *postButton;   // BitBtn4 确认处理
    QPushButton *printButton;  // BitBtn3 打印盘点单 (never shown: bills print from the bill list)
};

inline QPointer<TfrmTake> frmTake;
// The last bill posted in this run of the program.
inline QString gLastTakeID;

} // namespace orv
