#pragma once
// 进货退货审核: the pending purchase returns. The operator searches them by date range and field,
// corrects a return's lines (through the goods picker and the line editor), enters what the
// supplier paid back, the auditor and the audit date, then approves the return (its goods leave
// stock with a "CK-" voucher) or cancels it. No header field is saved on its own: the amounts,
// the auditor and the date reach the return only through the approval. A child window of the
// main window.
#include "documents/auditlistwindow.h"
#include "purchasing/purchasereturns.h"

#include <QPointer>

namespace orv {

class TfrmJinTuiAud : public AuditListWindow, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmJinTuiAud(QWidget *parent = nullptr);
    ~TfrmJinTuiAud() override;

    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    void SpeedButton5Click() override; // 通过
    void SpeedButton3Click() override; // 取消
    void SpeedButton4Click() override; // 进货退货单 (print)
    void receivedEdited();             // a key released in 实际收款: 挂账金额 follows

    const QString &currentReturnID() const { return currentID(); }
    DataSetModel *returnModel() const { return documentModel(); }
    QTableView *returnGrid() const { return documentsGrid; }
    QTableView *lineGrid() const { return linesGrid; }

protected:
    void afterList() override;

private:
    void showReturn(int row);

    PurchaseReturns m_returns;
    QLineEdit *receivableEdit;  // Edit5 合计应收 (read-only)
    QLineEdit *receivedEdit;    // Edit3 实际收款
    QLineEdit *onAccountEdit;   // Edit4 挂账金额
};

inline QPointer<TfrmJinTuiAud> frmJinTuiAud;

} // namespace orv
