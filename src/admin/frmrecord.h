#pragma once
// 系统日志: the log rows newest first with their count; delete one, empty, export.
#include "app/formdialog.h"

#include <QPointer>

class QLabel;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmRecord : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmRecord(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // export of the log to a workbook
    void SpeedButton2Click(); // 删除
    void SpeedButton3Click(); // 清空
    void SpeedButton4Click(); // 关闭
    // The workbook the last export wrote ("" when none).
    const QString &lastExport() const { return m_lastExport; }

private:
    void reload();

    QLabel *countLabel;       // Label1
    QTableWidget *logGrid;    // DBGrid1
    QToolButton *exportButton;
    QToolButton *deleteButton;
    QToolButton *emptyButton;
    QToolButton *closeButton;
    QString m_lastExport;
};

// 服务支持: the supplier's support lines.
class TfrmAboutUs : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmAboutUs(QWidget *parent = nullptr);
    void FormShow() override;
};

inline QPointer<TfrmRecord> frmRecord;
inline QPointer<TfrmAboutUs> frmAboutUs;

} // namespace orv
