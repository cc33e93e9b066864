#pragma once
// 验收入库: the receipt into store. The storekeeper enters the receipt's header and staff, takes
// goods lines from the goods picker, a typed code or an approved purchase bill, splits the
// amount into paid and put on account, and may issue the goods straight on to a workshop;
// 确定 posts it (stock, average price, vouchers) and the window waits for the next receipt.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"
#include "purchasing/receiptposting.h"

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

class TfrmPuStore : public EntryWindow {
    Q_OBJECT
public:
    explicit TfrmPuStore(QWidget *parent = nullptr);
    ~TfrmPuStore() override;

    // The menu entry's layout for receipts (gPuStoreMode 1) with a first proposed number.
    void layOutForReceipt();

    void FormShow() override;
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void getTaskNo();           // the next CGJH- number into EditStoreNo
    void getTaskNo1();          // the next NBLY- number into Edit5
    void savesuoyou();          // 确定(&S): post the receipt
    void SpeedButton13Click();  // 清空(&C)
    void SpeedButton17Click();  // 打印(&P): the receipt as the window shows it
    void SpeedButton3Click();   // 从采购单导入(&A)
    void SpeedButton6Click();   // 增加新的货品
    void SpeedButton7Click();   // 修改
    void SpeedButton8Click();   // 删除
    void SpeedButton1Click();   // date
    void SpeedButton2Click();   // supplier
    void SpeedButton14Click();  // 领用单位
    void staffButtonClick(int staffMode); // the staff pickers (modes 4-8, 13, 14)
    void codeEntered();         // Enter in Edit3
    void paidEdited();          // a change of 实际付款: 挂账金额 follows
    void directIssueToggled();  // 直拨车间 shows or hides its fields

    // The window's own supplier code: set by its supplier pick or a bill import, cleared with
    // the supplier field.
    const QString &supplierCode() const { return m_supplierCode; }
    const QString &receiptID() const { return m_receiptID; }
    TfrReport &receiptReport() { return *frReport1; }
    TfrReport &requisitionReport() { return *frReport2; }
    // The prints of the last posting or print button, in the order they were shown.
    const QList<PrintRun> &prints() const { return m_prints; }
    GoodsLineView *grid() const { return goodsGrid; }

private:
    void importLine();
    void recomputeTotals();
    void resetAfterPosting();
    void setSupplier(const QString &text, const QString &code);
    DocumentPrint receiptPrint(bool fromGrid);
    DocumentPrint requisitionPrint();

    ReceiptPosting m_posting;
    GoodsLineGrid m_lines;
    QString m_supplierCode;
    QString m_receiptID;
    std::unique_ptr<TfrReport> frReport1, frReport2;
    QList<PrintRun> m_prints;
    EntryKeys *m_keys;

    QLabel *titleLabel;         // Label1
    QLineEdit *originalNoEdit;  // Edit8 原始编号
    QLineEdit *numberEdit;      // EditStoreNo
    StaffCombo *clerkCombo;     // ComboBox2 经办人
    QLineEdit *dateEdit;        // Edit1Date
    StaffCombo *delivererCombo; // ComboBox1 送货员
    StaffCombo *inspectorCombo; // ComboBox4 验收员
    QLabel *supplierLabel;      // Label5
    QComboBox *supplierCombo;   // ComboBox3
    StaffCombo *receiverCombo;  // ComboBox6 收货员
    StaffCombo *checkerCombo;   // ComboBox7 复核员
    QLineEdit *memoEdit;        // EditMemo
    QLabel *productionLabel;    // Label13 (hidden)
    QComboBox *productionCombo; // ComboBox5 (hidden)
    GoodsLineView *goodsGrid;   // StringGrid1
    QLineEdit *codeEdit;        // Edit3
    QLabel *payableLabel;       // Label8
    QLineEdit *payableEdit;     // Edit1 合计应付
    QLineEdit *paidEdit;        // Edit2 实际付款
    QLineEdit *onAccountEdit;   // Edit9 挂账金额
    QLabel *qtyLabel;           // Label7 (hidden)
    QLabel *auxQtyLabel;        // Label12 (hidden)
    QCheckBox *issueBox;        // CheckBox1 直拨车间
    QLineEdit *issueNoEdit;     // Edit5 (hidden)
    QLineEdit *departmentEdit;  // Edit4 领用单位
    QLineEdit *managerEdit;     // Edit6 部门经理
    QLineEdit *departmentCodeEdit; // Edit7 (hidden)
    StaffCombo *pickerCombo;    // ComboBox8 领用员
    StaffCombo *shipperCombo;   // ComboBox9 发货员
    QCheckBox *printBox;        // CheckBox2 打印单据
    QList<QWidget *> m_issueWidgets;
    QToolButton *importButton;  // SpeedButton3
    QToolButton *supplierButton; // SpeedButton2
    QToolButton *dateButton;    // SpeedButton1
    QToolButton *departmentButton; // SpeedButton14
    QToolButton *addButton, *editButton, *deleteButton; // SpeedButton6, 7, 8
    QToolButton *printButton, *saveButton, *clearButton; // SpeedButton17, 12, 13
};

inline QPointer<TfrmPuStore> frmPuStore;

} // namespace orv
