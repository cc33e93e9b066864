#pragma once
// The SMS window: connect to the SMS gateway, test the connection, and send a text message
// to a mobile number. Every result is a line at the top of the information box.
#include "app/formdialog.h"

#include <QPointer>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv {

class TfrmDuanXinCon : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmDuanXinCon(const QString &mobile = QString());

    void FormShow() override;
    void BtConnClick();    // 连接
    void BtDisConnClick(); // 断开
    void BtTestClick();    // 测试连接
    void BtSendClick();    // 发送信息

    // The information box's lines, newest first.
    QStringList infoLines() const;

private:
    bool SmsNotConnected();
    void addInfo(const QString &line);

    QGroupBox *accountGroup;
    QLineEdit *serverEdit;
    QLineEdit *accountEdit;
    QLineEdit *portEdit;
    QLineEdit *passwordEdit;
    QPushButton *connectButton;
    QPushButton *disconnectButton;
    QPushButton *testButton;
    QPlainTextEdit *infoMemo;
    QLineEdit *mobileEdit;
    QPlainTextEdit *messageMemo;
    QPushButton *sendButton;
};

inline QPointer<TfrmDuanXinCon> frmDuanXinCon;

// Opens the SMS window for a mobile number (the supplier list's 联系电话), freeing a window
// left from an earlier opening.
void openDuanXinCon(const QString &mobile);

} // namespace orv
