#pragma once
// 货品报损审核: the pending loss reports. The auditor searches them by date range and field,
// corrects a report's lines (through the goods picker and the line editor), enters the auditor
// and the audit date, then approves the report (its goods move into '报损仓' with an issue and a
// receipt voucher) or cancels it. A child window of the main window.
#include "documents/auditlistwindow.h"
#include "warehouse/lossreports.h"

#include <QPointer>

namespace orv {

class TfrmBaoSunAud : public AuditListWindow, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmBaoSunAud(QWidget *parent = nullptr);
    ~TfrmBaoSunAud() override;

    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    void SpeedButton5Click() override; // 通过
    void SpeedButton3Click() override; // 取消
    void SpeedButton4Click() override; // 货品报损单 (print)

    const QString &currentReportID() const { return currentID(); }
    DataSetModel *reportModel() const { return documentModel(); }

private:
    LossReports m_reports;
};

inline QPointer<TfrmBaoSunAud> frmBaoSunAud;

} // namespace orv
