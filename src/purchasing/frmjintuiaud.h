#pragma once
// 进货退货审核: the pending purchase returns. The operator searches them by date range and field,
// corrects a return's lines (through the goods picker and the line editor), enters what the
// supplier paid back, the auditor and the audit date, then approves the return (its goods leave
// stock with a "CK-" voucher) or cancels it. No header field is saved on its own: the amounts,
// the auditor and the date reach the return only through the approval. A child window of the
// main window.
#include "app/appglobals.h"
#include "documents/documentprint.h"
#include "purchasing/purchasereturns.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QTableView;
class QToolButton;
class TfrReport;

namespace orv {

class AuditDocuments;
class DataSetModel;

class TfrmJinTuiAud : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmJinTuiAud(QWidget *parent = nullptr);
    ~TfrmJinTuiAud() override;

    void formShow();
    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    void search();              // 查询, Enter in Edit1, every change of its text, "显示全部"
    void SpeedButton5Click();   // 通过
    void SpeedButton3Click();   // 取消
    void SpeedButton4Click();   // 进货退货单 (print)
    void SpeedButton6Click();   // 新建 line
    void SpeedButton7Click();   // 修改 line
    void SpeedButton8Click();   // 删除 line
    void SpeedButton2Click();   // 审核人 (staff picker)
    void receivedEdited();      // a key released in 实际收款: 挂账金额 follows
    void DBGridsalequoteCellClick(int row); // a return becomes current
    void DBGridSaleFitCellClick(int row);   // a line is clicked

    const QString &currentReturnID() const;
    DataSetModel *returnModel() const { return m_returnModel; }
    DataSetModel *lineModel() const { return m_lineModel; }
    QTableView *returnGrid() const { return returnsGrid; }
    QTableView *lineGrid() const { return linesGrid; }
    TfrReport &report() { return *frReport2; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showReturn(int row);
    void listPending(const QString &keepID = QString());
    void afterList();

    PurchaseReturns m_returns;
    DataSetModel *m_returnModel;
    DataSetModel *m_lineModel;
    bool m_shown = false;
    bool m_searched = false; // the list is a search's, not every pending return
    std::unique_ptr<TfrReport> frReport2;
    PrintRun m_lastPrint;

    QDateEdit *fromDate;        // DateTimePicker1
    QDateEdit *toDate;          // DateTimePicker2
    QComboBox *queryCombo;      // ComboBox1
    QLineEdit *searchEdit;      // Edit1
    QToolButton *queryButton;   // SpeedButton1
    QToolButton *printButton;   // SpeedButton4
    QTableView *returnsGrid;    // DBGridsalequote
    QTableView *linesGrid;      // DBGridSaleFit
    QToolButton *newLineButton, *editLineButton, *deleteLineButton; // SpeedButton6, 7, 8
    QLineEdit *receivableEdit;  // Edit5 合计应收 (read-only)
    QLineEdit *receivedEdit;    // Edit3 实际收款
    QLineEdit *onAccountEdit;   // Edit4 挂账金额
    QLineEdit *auditorEdit;     // Edit2 审核人
    QToolButton *auditorButton; // SpeedButton2
    QDateEdit *auditDate;       // DateTimePicker3
    QToolButton *passButton;    // SpeedButton5
    QToolButton *cancelButton;  // SpeedButton3
    std::unique_ptr<AuditDocuments> m_audit; // the pending list and the line actions
};

inline QPointer<TfrmJinTuiAud> frmJinTuiAud;

} // namespace orv
