#pragma once
// The start-up server settings window: every way of closing it ends the program.
#include "app/appglobals.h"
#include "app/serversettingsform.h"

#include <QPointer>

namespace orv {

class TfrmServer : public ServerSettingsForm, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmServer(QWidget *parent = nullptr);
    void onWindowMessage(int message) override;

public slots:
    void BitBtn2Click();
    void BitBtn3Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;
};

inline QPointer<TfrmServer> frmServer;

} // namespace orv
