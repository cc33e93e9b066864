#pragma once
// 销售退货审核 / 销售退货单: the sales returns in one child window of the main window, switched in
// place by the menu (G.gSaleListMode). Mode 1 audits the pending returns: each header field is
// saved when the focus leaves it, and the return is approved (its state and amounts: the stock
// moved when it was saved) or cancelled. Mode 2 lists the approved returns with their totals,
// print, delete, red-ink reversal and exports.
#include "documents/auditlistwindow.h"
#include "documents/documentprint.h"
#include "sales/salesreturnsaudit.h"

#include <QPointer>
#include <memory>

class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class TfrReport;

namespace orv {

class TfrmTuiAud : public AuditListWindow {
    Q_OBJECT
public:
    explicit TfrmTuiAud(QWidget *parent = nullptr);
    ~TfrmTuiAud() override;

    void SpeedButton5Click(); // 通过
    void SpeedButton3Click(); // 取消
    void SpeedButton4Click(); // 销售退货单 (print the current return)

    const QString &currentReturnID() const { return currentID(); }
    DataSetModel *returnModel() const { return documentModel(); }
    TfrReport &report() { return *frReport2; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

protected:
    void formShow() override;

private:
    void showReturn(int row);
    void saveOnLeave(QWidget *field, SalesReturnField which);

    SalesReturnsAudit m_returns;
    std::unique_ptr<TfrReport> frReport2;
    PrintRun m_lastPrint;

    QLineEdit *receivableEdit;  // Edit5 应退款 (read-only)
    QLineEdit *paidEdit;        // Edit8 实退款
    QLineEdit *onAccountEdit;   // Edit9 挂账金额
    QLineEdit *partnerEdit;     // Edit2 退回单位
    QLineEdit *contactEdit;     // Edit3 联系人
    QLineEdit *phoneEdit;       // Edit4 联系电话
    QLineEdit *addressEdit;     // Edit6 地址
    QPlainTextEdit *memoEdit;   // Memo1 备注
    QLineEdit *auditorEdit;     // Edit7 审核人
    QDateEdit *auditDate;       // DateTimePicker1 审核日期
    QToolButton *passButton;    // SpeedButton5
    QToolButton *cancelButton;  // SpeedButton3
};

inline QPointer<TfrmTuiAud> frmTuiAud;

} // namespace orv
