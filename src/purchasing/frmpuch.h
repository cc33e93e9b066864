#pragma once
// 采购订货: the purchase order. The operator enters supplier, responsible person, applicant,
// invoicing clerk, date, remark and goods lines; 确定 saves the order '待审核' for the audit, and
// the window is ready for the next order. It prints the saved order, or the grid at any time.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"
#include "purchasing/purchaseorders.h"

#include <QPointer>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TfrReport;

namespace orv {

class EntryKeys;
class GoodsLineView;
class StaffCombo;

class TfrmPuch : public EntryWindow {
    Q_OBJECT
public:
    explicit TfrmPuch(QWidget *parent = nullptr);
    ~TfrmPuch() override;

    void FormShow() override;
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void getTaskNo();          // the next CGDH- number into EditNo
    void savesuoyou();         // 确定(&S), and Enter on the print box
    void SpeedButton11Click(); // 清空(&C)
    void SpeedButton12Click(); // 打印(&P): the grid as it stands
    void SpeedButton2Click();  // 增加新的货品
    void SpeedButton4Click();  // 根据警戒库存查询(&A)
    void SpeedButton5Click();  // 修改
    void SpeedButton6Click();  // 删除
    void SpeedButton1Click();  // date
    void SpeedButton3Click();  // supplier
    void SpeedButton7Click();  // 负责人
    void SpeedButton8Click();  // 申请人
    void SpeedButton9Click();  // 开票员
    void codeEntered();        // Enter in Edit1

    // The record ID of the last save, and the report the window prints into.
    const QString &recordID() const { return m_recordID; }
    TfrReport &report() { return *frReport1; }
    const PrintRun &lastPrint() const { return m_lastPrint; }
    GoodsLineView *grid() const { return goodsGrid; }

private:
    enum class PrintSource { Grid, Stored };
    void takeLine();
    void recomputeTotals();
    void resetAfterSave();
    void printOrder();

    PurchaseOrders m_orders;
    GoodsLineGrid m_lines;
    QString m_recordID;
    PrintSource m_printSource = PrintSource::Grid;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
    EntryKeys *m_keys;

    QLineEdit *numberEdit;      // EditNo
    StaffCombo *managerCombo;   // ComboBox2 负责人
    QLineEdit *dateEdit;        // EditDate
    StaffCombo *applicantCombo; // ComboBox3 申请人
    QComboBox *supplierCombo;   // ComboBox1
    StaffCombo *invoicerCombo;  // ComboBox4 开票员
    QLineEdit *memoEdit;        // EditMemo
    QLineEdit *originalNoEdit;  // Edit2 (hidden)
    GoodsLineView *goodsGrid;   // StringGrid1
    QLineEdit *codeEdit;        // Edit1
    QLabel *amountLabel;        // Label4
    QLabel *qtyLabel;           // Label7 (hidden)
    QLabel *auxQtyLabel;        // Label12 (hidden)
    QCheckBox *printBox;        // CheckBox1
    QToolButton *dateButton, *supplierButton, *managerButton, *applicantButton, *invoicerButton;
    QToolButton *addButton, *editButton, *deleteButton;
    QToolButton *warningButton, *saveButton, *clearButton, *printButton;
};

inline QPointer<TfrmPuch> frmPuch;

} // namespace orv
