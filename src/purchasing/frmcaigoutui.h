#pragma once
// 采购退货: the purchase return. The operator enters the return's header and staff, takes goods
// lines from the goods picker, a typed code or a receipt into store, enters what the supplier
// paid back, and saves the return '待审核' for the return audit; no stock moves here. It prints
// the saved return, or the grid at any time.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"
#include "purchasing/purchasereturns.h"

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

class TfrmCaiGouTui : public EntryWindow {
    Q_OBJECT
public:
    explicit TfrmCaiGouTui(QWidget *parent = nullptr);
    ~TfrmCaiGouTui() override;

    void FormShow() override;
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void getTaskNo();           // the next CGTH- number into EditNo
    void SpeedButton9Click();   // 退货(&S): save the return
    void SpeedButton12Click();  // 清空(&C)
    void SpeedButton13Click();  // 打印(&P): the grid as it stands
    void SpeedButton4Click();   // 从采购入库单导入(&A)
    void SpeedButton6Click();   // 增加新的货品
    void SpeedButton7Click();   // 修改
    void SpeedButton8Click();   // 删除
    void SpeedButton1Click();   // date
    void SpeedButton3Click();   // supplier
    void staffButtonClick(int staffMode); // the staff pickers (modes 9-12)
    void codeEntered();         // Enter in EditMa
    void receivedEdited();      // a key released in 实际收款: 挂账金额 follows

    // The window's own supplier code: set by its supplier pick or a receipt import, cleared
    // with the supplier field.
    const QString &supplierCode() const { return m_supplierCode; }
    const QString &recordID() const { return m_recordID; }
    TfrReport &report() { return *frReport1; }
    const PrintRun &lastPrint() const { return m_lastPrint; }
    GoodsLineView *grid() const { return goodsGrid; }

private:
    enum class PrintSource { Grid, Stored };
    void importLine();
    void recomputeTotals();
    void resetAfterSave();
    void setSupplier(const QString &text, const QString &code);
    void printReturn();
    bool refused(const std::optional<CheckFailure> &failure);

    PurchaseReturns m_returns;
    GoodsLineGrid m_lines;
    QString m_supplierCode;
    QString m_recordID;
    PrintSource m_printSource = PrintSource::Grid;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
    EntryKeys *m_keys;

    QLineEdit *numberEdit;      // EditNo
    StaffCombo *clerkCombo;     // ComboBox2 经办人
    QLineEdit *dateEdit;        // EditDate
    StaffCombo *delivererCombo; // ComboBox1 送货员
    QComboBox *supplierCombo;   // ComboBox3
    StaffCombo *shipperCombo;   // ComboBox6 发货员
    StaffCombo *checkerCombo;   // ComboBox7 复核员
    QLineEdit *memoEdit;        // EditMemo
    GoodsLineView *goodsGrid;   // StringGrid1
    QLineEdit *codeEdit;        // EditMa
    QLineEdit *receivableEdit;  // EditHe 合计应收
    QLineEdit *receivedEdit;    // Edit3 实际收款
    QLineEdit *onAccountEdit;   // Edit4 挂账金额
    QLabel *qtyLabel;           // Label7 (hidden)
    QLabel *auxQtyLabel;        // Label12 (hidden)
    QCheckBox *printBox;        // CheckBox2 打印单据
    QCheckBox *stockOutBox;     // CheckBox1 出库审核 (hidden, always ticked)
    QToolButton *importButton;  // SpeedButton4
    QToolButton *dateButton;    // SpeedButton1
    QToolButton *supplierButton; // SpeedButton3
    QToolButton *addButton, *editButton, *deleteButton; // SpeedButton6, 7, 8
    QToolButton *saveButton, *clearButton, *printButton; // SpeedButton9, 12, 13
};

inline QPointer<TfrmCaiGouTui> frmCaiGouTui;

} // namespace orv
