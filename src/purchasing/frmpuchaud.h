#pragma once
// 采购审核: the pending purchase orders. The operator corrects an order's header (each field is
// saved when the focus leaves it) and its lines (through the goods picker and the line editor),
// then passes it into a purchase bill or cancels it. A child window of the main window.
#include "app/appglobals.h"
#include "documents/documentprint.h"
#include "purchasing/purchaseorders.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class QToolButton;
class TfrReport;

namespace orv {

class AuditDocuments;
class DataSetModel;
class StaffCombo;

class TfrmPuchAud : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmPuchAud(QWidget *parent = nullptr);
    ~TfrmPuchAud() override;

    void formShow();
    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    void search();                  // 查询, Enter and every change of the search text
    void SpeedButton5Click();       // 通过
    void SpeedButton6Click();       // 取消
    void SpeedButton3Click();       // print the current order
    void SpeedButtonnewClick();     // 新建 line
    void SpeedButtonMdfClick();     // 修改 line
    void SpeedButtonDelClick();     // 删除 line
    void SpeedButton1Click();       // date
    void SpeedButton2Click();       // supplier
    void DBGrid1CellClick(int row); // an order becomes current
    void DBGrid2CellClick(int row); // a line is clicked

    // Leaving a header field saves it into the current order.
    enum class HeaderField { Supplier, Date, Manager, Memo };
    void fieldLeft(HeaderField field);

    const QString &currentOrderID() const;
    DataSetModel *orderModel() const { return m_orderModel; }
    DataSetModel *lineModel() const { return m_lineModel; }
    QTableView *orderGrid() const { return ordersGrid; }
    QTableView *lineGrid() const { return linesGrid; }
    TfrReport &report() { return *frReport1; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOrder(int row);
    void emptyFields();
    void printStored(bool bill, const QString &id);

    PurchaseOrders m_orders;
    DataSetModel *m_orderModel;
    DataSetModel *m_lineModel;
    bool m_shown = false;
    std::unique_ptr<TfrReport> frReport1;
    PrintRun m_lastPrint;

    QComboBox *queryCombo;      // ComboBoxQuery
    QLineEdit *searchEdit;      // EditContent
    QToolButton *queryButton;   // SpeedButton4
    QToolButton *printButton;   // SpeedButton3
    QLineEdit *billNoEdit;      // EditNo (hidden)
    QTableView *ordersGrid;     // DBGrid1
    QTableView *linesGrid;      // DBGrid2
    QToolButton *newLineButton, *editLineButton, *deleteLineButton;
    QLineEdit *supplierEdit;    // EditGongMan
    QToolButton *supplierButton; // SpeedButton2
    QLineEdit *dateEdit;        // EditDate
    QToolButton *dateButton;    // SpeedButton1
    StaffCombo *managerCombo;   // ComboBoxman
    QLineEdit *memoEdit;        // EditMemo
    StaffCombo *auditorCombo;   // ComboBox1
    QCheckBox *printBox;        // CheckBox1
    QToolButton *passButton;    // SpeedButton5
    QToolButton *cancelButton;  // SpeedButton6
    std::unique_ptr<AuditDocuments> m_audit; // the pending list, field saves and line actions
};

inline QPointer<TfrmPuchAud> frmPuchAud;

} // namespace orv
