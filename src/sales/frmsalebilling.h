#pragma once
// The sales bill window in its three modes (gSaleBillMode): 1 销售订货 enters a sales order, 2
// 销售退货 takes goods back from a customer, 3 销售开单 sells directly from stock. The operator
// picks the customer, staff and selling department, takes goods lines from the picker, a typed
// code or a finished-goods receipt, sets discounts and the amount received, and saves; the
// window then waits for the next bill of the same mode.
#include "documents/documentprint.h"
#include "documents/entrywindow.h"
#include "goods/goodslines.h"
#include "goods/lineediting.h"
#include "sales/salesposting.h"

#include <QPointer>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;
class TfrReport;

namespace orv {

class EntryKeys;
class GoodsLineView;
class StaffCombo;

class TfrmsaleBilling : public EntryWindow {
    Q_OBJECT
public:
    explicit TfrmsaleBilling(QWidget *parent = nullptr);
    ~TfrmsaleBilling() override;

    // The menu entry's captions, labels and shown controls for a mode (1, 2 or 3).
    void layOutForMode(int saleBillMode);
    SaleMode mode() const { return m_mode; }

    void FormShow() override;
    GoodsLineGrid *goodsLines() override { return &m_lines; }
    int currentGoodsLine() const override;

    void getTaskNo();           // the next number of the mode into Edit1
    void savesuoyou();          // SpeedButton9 售出(&S) / 退货(&S)
    void SpeedButton10Click();  // 清空(&C)
    void SpeedButton15Click();  // 打印单据(&P): the bill as the grid shows it
    void SpeedButton11Click();  // 从成品入库单导入(&M)
    void SpeedButton12Click();  // 增加新的货品
    void SpeedButton14Click();  // 修改
    void SpeedButton13Click();  // 删除
    void SpeedButton1Click();   // date
    void SpeedButton2Click();   // customer
    void SpeedButton8Click();   // selling department
    void staffButtonClick(int staffMode); // staff pickers 27-31
    void codeEntered();         // Enter in Edit14
    void receivedEdited();      // a key in Edit10: 挂账金额 follows
    void customerDiscountEdited(); // a change of Edit15
    void goodsDiscountEdited();    // a change of Edit18
    void discountFieldLeft(QLineEdit *field); // an empty or 0 discount becomes 1

    const QString &billID() const { return m_billID; }
    TfrReport &report() { return *frReport1; }
    // What the last save's or print button's print did.
    const PrintRun &lastPrint() const { return m_lastPrint; }
    GoodsLineView *grid() const { return goodsGrid; }

private:
    void declarePicks();
    void takeLine(LineOrigin origin);
    void importLine();
    void takeCustomer();
    void recomputeTotals();
    void clearBill();
    QString newLineDiscount(LineOrigin origin) const;
    DocumentPrint billPrint(bool fromGrid);
    void applyFieldDiscount(QLineEdit *field);

    SaleMode m_mode = SaleMode::Order;
    SalesPosting m_posting;
    GoodsLineGrid m_lines;
    QString m_billID;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;
    EntryKeys *m_keys;

    QLabel *titleLabel;          // Label1
    QLabel *numberLabel;         // Label2
    QLabel *clerkLabel;          // Label3
    QLabel *customerLabel;       // Label8
    QLabel *dueLabel;            // Label9
    QLabel *receivedLabel;       // Label13
    QLabel *departmentLabel;     // Label24
    QLineEdit *numberEdit;       // Edit1
    QLineEdit *dateEdit;         // Edit2
    StaffCombo *clerkCombo;      // ComboBox1 经办人 / 负责人
    StaffCombo *delivererCombo;  // ComboBox2 送货员
    QLineEdit *customerCodeEdit; // Edit8
    QLineEdit *customerEdit;     // Edit3
    QLineEdit *contactEdit;      // Edit4
    StaffCombo *shipperCombo;    // ComboBox3 发货员
    QLineEdit *phoneEdit;        // Edit5
    QLineEdit *addressEdit;      // Edit6
    QLineEdit *customerDiscountEdit; // Edit15
    StaffCombo *checkerCombo;    // ComboBox4 复核员
    QLineEdit *departmentEdit;   // Edit16
    QLineEdit *departmentCodeEdit; // Edit17
    StaffCombo *invoicerCombo;   // ComboBox5 开票员
    QLineEdit *memoEdit;         // Edit7
    GoodsLineView *goodsGrid;    // StringGrid1
    QRadioButton *customerDiscountRadio; // RadioButton1
    QRadioButton *goodsDiscountRadio;    // RadioButton2
    QLabel *goodsDiscountLabel;  // Label26
    QLineEdit *goodsDiscountEdit; // Edit18
    QLineEdit *codeEdit;         // Edit14
    QLineEdit *dueEdit;          // Edit9
    QLineEdit *receivedEdit;     // Edit10
    QLineEdit *onAccountEdit;    // Edit20
    QLabel *invoiceAmountLabel;  // Label16
    QLineEdit *invoiceAmountEdit; // Edit12
    QLabel *invoiceDateLabel;    // Label14
    QLineEdit *invoiceDateEdit;  // Edit11
    QLabel *invoiceNoLabel;      // Label17
    QLineEdit *invoiceNoEdit;    // Edit13
    QLabel *qtyLabel;            // Label22 (hidden)
    QLabel *auxQtyLabel;         // Label23 (hidden)
    QCheckBox *printBox;         // CheckBox1 打印单据
    QToolButton *printButton, *saveButton, *clearButton, *importButton; // SpeedButton15, 9, 10, 11
    QToolButton *addButton, *editButton, *deleteButton; // SpeedButton12, 14, 13
    QToolButton *dateButton, *customerButton, *departmentButton; // SpeedButton1, 2, 8
};

inline QPointer<TfrmsaleBilling> frmSaleBilling;

} // namespace orv
