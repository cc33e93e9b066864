#pragma once
// The menu's server settings window: switches the running program to a tested connection.
#include "app/appglobals.h"
#include "app/serversettingsform.h"

#include <QPointer>

namespace orv {

class TfrmServer1 : public ServerSettingsForm, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmServer1(QWidget *parent = nullptr);
    void onWindowMessage(int) override {}

public slots:
    void BitBtn2Click();
    void BitBtn3Click();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
};

inline QPointer<TfrmServer1> frmServer1;

} // namespace orv
