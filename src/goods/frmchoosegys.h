#pragma once
// 选择供应商: picks a supplier for the window that opened it. The opener names itself in
// gGysMode; the pick writes the supplier text (ID + "." + 单位名称) into the opener's supplier
// field and the ID into G.gCustom.UnitNo.
#include "app/appglobals.h"
#include "goods/goodsdialog.h"

#include <QPointer>

class QToolButton;

namespace orv {

class SupplierBrowser;

class TfrmChooseGYS : public GoodsDialog, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmChooseGYS(QWidget *opener = nullptr);

    void FormShow() override;
    void onWindowMessage(int message) override;

    void SpeedButton8Click(); // 查询
    void SpeedButton1Click(); // 新建
    void SpeedButton2Click(); // 修改
    void DBGrid1DblClick();   // pick

    SupplierBrowser *browser() const { return m_browser; }
    void proNewInformation();
    void proMdfInformation();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_opener;
    SupplierBrowser *m_browser;
    QToolButton *newButton;  // SpeedButton1
    QToolButton *editButton; // SpeedButton2
};

inline QPointer<TfrmChooseGYS> frmChooseGYS;

// The openers' way in: gGysMode := mode, a new picker centred and shown modally.
void openSupplierPicker(QWidget *opener, int gysMode);

} // namespace orv
