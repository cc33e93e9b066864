#pragma once
// 销售退货审核 / 销售退货单: the sales returns in one child window of the main window, switched in
// place by the menu (G.gSaleListMode). Mode 1 audits the pending returns: each header field is
// saved when the focus leaves it, and the return is approved (its state and amounts: the stock
// moved when it was saved) or cancelled. Mode 2 lists the approved returns with their totals,
// print, delete, red-ink reversal and exports.
#include "documents/auditlistwindow.h"
#include "sales/salesreturnsaudit.h"

#include <QPointer>

class QLineEdit;
class QPlainTextEdit;

namespace orv {

class TfrmTuiAud : public AuditListWindow {
    Q_OBJECT
public:
    explicit TfrmTuiAud(QWidget *parent = nullptr);
    ~TfrmTuiAud() override;

    void SpeedButton5Click() override; // 通过
    void SpeedButton3Click() override; // 取消
    void SpeedButton4Click() override; // 销售退货单 (print the current return)

    const QString &currentReturnID() const { return currentID(); }
    DataSetModel *returnModel() const { return documentModel(); }

private:
    void showReturn(int row);
    void saveOnLeave(QWidget *field, SalesReturnField which);

    SalesReturnsAudit m_returns;

    QLineEdit *receivableEdit;  // Edit5 应退款 (read-only)
    QLineEdit *paidEdit;        // Edit8 实退款
    QLineEdit *onAccountEdit;   // Edit9 挂账金额
    QLineEdit *partnerEdit;     // Edit2 退回单位
    QLineEdit *contactEdit;     // Edit3 联系人
    QLineEdit *phoneEdit;       // Edit4 联系电话
    QLineEdit *addressEdit;     // Edit6 地址
    QPlainTextEdit *memoEdit;   // Memo1 备注
    // 审核人 is Edit7, 审核日期 DateTimePicker1 here.
};

inline QPointer<TfrmTuiAud> frmTuiAud;

} // namespace orv
