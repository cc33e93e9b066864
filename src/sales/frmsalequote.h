#pragma once
// 销售订单审核 / 销售订单: the sales orders in one child window of the main window, switched in
// place by the menu (G.gSaleListMode). Mode 1 audits the pending orders: the operator corrects an
// order's header (each field saved when the focus leaves it) and lines (through the goods picker
// and the line editor), cancels it, or approves it into a sales bill. Mode 2 lists the approved
// orders with their totals, print, delete and exports.
#include "documents/auditlistwindow.h"
#include "sales/salesorders.h"

#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace orv {

class TfrmSaleQuote : public AuditListWindow, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmSaleQuote(QWidget *parent = nullptr);
    ~TfrmSaleQuote() override;

    void onWindowMessage(int message) override;

    void SpeedButton5Click() override; // 通过
    void SpeedButton3Click() override; // 取消
    void SpeedButton4Click() override; // 销售订单 (print the current order)

    const QString &currentOrderID() const { return currentID(); }
    DataSetModel *orderModel() const { return documentModel(); }

private:
    void showOrder(int row);
    void takeSelected(int row);
    void saveTextOnLeave(QWidget *field, SalesOrderField which);
    void saveAmountOnLeave(QLineEdit *field, SalesOrderField which, const char *name);

    SalesOrders m_orders;
    SalesOrders::Approval m_selected; // the partner as taken when the order was selected
    QString m_selectedID;
    bool m_keepSelected = false; // a field save's reload keeps the partner taken at selection

    QLineEdit *receivableEdit;   // Edit7 合计应收 (read-only)
    QLineEdit *receivedEdit;     // Edit8 实际收款
    QLineEdit *onAccountEdit;    // Edit9 挂账金额
    QLineEdit *buyerEdit;        // Edit2 购买单位
    QLineEdit *contactEdit;      // Edit3 联系人
    QLineEdit *phoneEdit;        // Edit4 联系电话
    QLineEdit *faxEdit;          // Edit5 传真 (hidden)
    QLineEdit *addressEdit;      // Edit6 地址
    QPlainTextEdit *memoEdit;    // Memo1 备注
    QCheckBox *printBillBox;     // CheckBox1 打印销售单
    QLineEdit *billNumberEdit;   // No (hidden): the number of the last approved bill
};

inline QPointer<TfrmSaleQuote> frmSaleQuote;

} // namespace orv
