#pragma once
// 供应商目录: the suppliers, searched, deleted, exported; 新建 and 修改 open the supplier dialog.
#include "app/appglobals.h"

#include <QPointer>
#include <QWidget>

class QToolButton;

namespace orv {

class SupplierBrowser;

class TfrmWangLaiDanWei : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmWangLaiDanWei(QWidget *parent = nullptr);
    ~TfrmWangLaiDanWei() override;

    void FormShow();
    void onWindowMessage(int message) override;

    void SpeedButton9Click(); // 查询
    void SpeedButton1Click(); // 新建
    void SpeedButton2Click(); // 修改
    void DBGrid1DblClick();   // 修改
    void SpeedButton5Click(); // 删除
    void SpeedButton4Click(); // 邮件
    void SpeedButton3Click(); // QQ
    void SpeedButton6Click(); // export
    void ExportSuppliersToExcel();

    SupplierBrowser *browser() const { return m_browser; }
    // 流水号 of the selected supplier; 0 when none.
    qint64 selectedRowNo() const;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SupplierBrowser *m_browser;
    bool m_shown = false;
    QToolButton *smsButton;    // SpeedButton8, never shown
    QToolButton *visitButton;  // SpeedButton7, never shown
    QToolButton *newButton;    // SpeedButton1
    QToolButton *editButton;   // SpeedButton2
    QToolButton *deleteButton; // SpeedButton5
    QToolButton *mailButton;   // SpeedButton4
    QToolButton *qqButton;     // SpeedButton3
    QToolButton *exportButton; // SpeedButton6
};

inline QPointer<TfrmWangLaiDanWei> frmWangLaiDanWei;

} // namespace orv
