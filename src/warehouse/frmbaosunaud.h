#pragma once
// 货品报损审核: the pending loss reports. The auditor searches them by date range and field,
// corrects a report's lines (through the goods picker and the line editor), enters the auditor
// and the audit date, then approves the report (its goods move into '报损仓' with an issue and a
// receipt voucher) or cancels it. A child window of the main window.
#include "app/appglobals.h"
#include "documents/documentprint.h"
#include "warehouse/lossreports.h"

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

class TfrmBaoSunAud : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmBaoSunAud(QWidget *parent = nullptr);
    ~TfrmBaoSunAud() override;

    void formShow();
    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    void search();              // 查询, Enter in Edit1, every change of its text, "显示全部"
    void SpeedButton5Click();   // 通过
    void SpeedButton3Click();   // 取消
    void SpeedButton4Click();   // 货品报损单 (print)
    void SpeedButton6Click();   // 新建 line
    void SpeedButton7Click();   // 修改 line
    void SpeedButton8Click();   // 删除 line
    void SpeedButton2Click();   // 审核人 (staff picker)
    void DBGridsalequoteCellClick(int row); // a report becomes current
    void DBGridSaleFitCellClick(int row);   // a line is clicked

    const QString &currentReportID() const;
    DataSetModel *reportModel() const { return m_reportModel; }
    DataSetModel *lineModel() const { return m_lineModel; }
    TfrReport &report() { return *frReport2; }
    const PrintRun &lastPrint() const { return m_lastPrint; }

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void listPending(const QString &keepID = QString());
    void afterList();

    LossReports m_reports;
    DataSetModel *m_reportModel;
    DataSetModel *m_lineModel;
    bool m_shown = false;
    bool m_searched = false; // the list is a search's, not every pending report
    std::unique_ptr<TfrReport> frReport2;
    PrintRun m_lastPrint;

    QDateEdit *fromDate;        // DateTimePicker1
    QDateEdit *toDate;          // DateTimePicker2
    QComboBox *queryCombo;      // ComboBox1
    QLineEdit *searchEdit;      // Edit1
    QToolButton *queryButton;   // SpeedButton1
    QToolButton *printButton;   // SpeedButton4
    QTableView *reportsGrid;    // DBGridsalequote
    QTableView *linesGrid;      // DBGridSaleFit
    QToolButton *newLineButton, *editLineButton, *deleteLineButton; // SpeedButton6, 7, 8
    QLineEdit *auditorEdit;     // Edit2 审核人
    QToolButton *auditorButton; // SpeedButton2
    QDateEdit *auditDate;       // DateTimePicker3
    QToolButton *passButton;    // SpeedButton5
    QToolButton *cancelButton;  // SpeedButton3
    std::unique_ptr<AuditDocuments> m_audit; // the pending list and the line actions
};

inline QPointer<TfrmBaoSunAud> frmBaoSunAud;

} // namespace orv
