#include "partners/frmduanxincon.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "partners/smsgateway.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {
constexpr int kDefaultPort = 8018;
}

TfrmDuanXinCon::TfrmDuanXinCon(const QString &mobile)
{
    setObjectName("frmDuanXinCon");
    setWindowTitle(QStringLiteral("短信发送"));

    auto line = [this](const char *name, const QString &text) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(name);
        return e;
    };
    auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };

    // The account belongs to the gateway operator's contract; the operator never changes it.
    accountGroup = new QGroupBox(QStringLiteral("帐户登陆"), this);
    serverEdit = line("EdServer", QStringLiteral("sms.gateway.local"));
    serverEdit->setReadOnly(true);
    accountEdit = line("Edaccount", QStringLiteral("orvane"));
    portEdit = line("EdPort", QString::number(kDefaultPort));
    portEdit->setReadOnly(true);
    passwordEdit = line("Edpwd", QStringLiteral("260731"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    connectButton = button("BtConn", QStringLiteral("连接"));
    disconnectButton = button("BtDisConn", QStringLiteral("断开"));
    disconnectButton->setEnabled(false);
    disconnectButton->hide();
    testButton = button("BtTest", QStringLiteral("测试连接"));
    testButton->hide();
    auto *accountForm = new QFormLayout(accountGroup);
    accountForm->addRow("服务器：", serverEdit);
    accountForm->addRow("帐号：", accountEdit);
    accountForm->addRow("端口：", portEdit);
    accountForm->addRow("密码：", passwordEdit);
    auto *accountButtons = new QHBoxLayout;
    accountButtons->addWidget(connectButton);
    accountButtons->addWidget(disconnectButton);
    accountButtons->addWidget(testButton);
    accountForm->addRow(accountButtons);
    accountGroup->hide();

    auto *infoGroup = new QGroupBox(QStringLiteral("提示信息"), this);
    infoMemo = new QPlainTextEdit(infoGroup);
    infoMemo->setObjectName("MInfo");
    infoMemo->setReadOnly(true);
    infoMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    (new QVBoxLayout(infoGroup))->addWidget(infoMemo);

    auto *sendGroup = new QGroupBox(QStringLiteral("发送内容"), this);
    mobileEdit = line("Edphone", mobile);
    messageMemo = new QPlainTextEdit(QStringLiteral("这是一条测试短信。"), sendGroup);
    messageMemo->setObjectName("Mmsg");
    sendButton = button("BtSend", QStringLiteral("发送信息"));
    auto *sendForm = new QFormLayout(sendGroup);
    sendForm->addRow("手机号码：", mobileEdit);
    sendForm->addRow("信息内容：", messageMemo);
    sendForm->addRow(sendButton);

    auto *main = new QVBoxLayout(this);
    main->addWidget(accountGroup);
    main->addWidget(infoGroup, 1);
    main->addWidget(sendGroup);
    resize(460, 480);

    connect(connectButton, &QPushButton::clicked, this, &TfrmDuanXinCon::BtConnClick);
    connect(disconnectButton, &QPushButton::clicked, this, &TfrmDuanXinCon::BtDisConnClick);
    connect(testButton, &QPushButton::clicked, this, &TfrmDuanXinCon::BtTestClick);
    connect(sendButton, &QPushButton::clicked, this, &TfrmDuanXinCon::BtSendClick);
}

void TfrmDuanXinCon::FormShow()
{
    const QString note = smsGateway().notice();
    if (!note.isEmpty())
        addInfo(note);
}

void TfrmDuanXinCon::addInfo(const QString &line)
{
    const QString old = infoMemo->toPlainText();
    infoMemo->setPlainText(old.isEmpty() ? line : line + '\n' + old);
}

QStringList TfrmDuanXinCon::infoLines() const
{
    const QString text = infoMemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

bool TfrmDuanXinCon::SmsNotConnected()
{
    if (G.gSmsHandle > 0)
        return false;
    addInfo(QStringLiteral("没有连接到任何服务器!!!"));
    return true;
}

void TfrmDuanXinCon::BtConnClick()
{
    int port = kDefaultPort;
    const QString portText = portEdit->text().trimmed();
    if (!portText.isEmpty()) {
        bool ok = false;
        port = portText.toInt(&ok);
        if (!ok) {
            notice(this, QStringLiteral("端口号必须是整数：%1").arg(portEdit->text()));
            return;
        }
    }
    if (G.gSmsHandle <= 0) {
        G.gSmsHandle = smsGateway().connect(serverEdit->text().trimmed(), port, accountEdit->text().trimmed(),
                                            passwordEdit->text().trimmed());
        if (G.gSmsHandle <= 0) {
            addInfo(QStringLiteral("连接失败!错误代码为:%1").arg(G.gSmsHandle));
            return;
        }
    }
    addInfo(QStringLiteral("连接成功!连接句柄:%1").arg(G.gSmsHandle));
    connectButton->setEnabled(false);
    disconnectButton->setEnabled(true);
}

void TfrmDuanXinCon::BtDisConnClick()
{
    if (G.gSmsHandle <= 0)
        return;
    smsGateway().disconnect(G.gSmsHandle);
    addInfo(QStringLiteral("断开连接!%1").arg(G.gSmsHandle));
    connectButton->setEnabled(true);
    disconnectButton->setEnabled(false);
    G.gSmsHandle = 0;
}

void TfrmDuanXinCon::BtTestClick()
{
    if (SmsNotConnected())
        return;
    const int result = smsGateway().testConnection(G.gSmsHandle);
    if (result == 1) {
        addInfo(QStringLiteral("测试连接成功!"));
        return;
    }
    addInfo(QStringLiteral("测试连接失败!返回:%1").arg(result));
    BtDisConnClick();
}

void TfrmDuanXinCon::BtSendClick()
{
    if (SmsNotConnected())
        return;
    const int result = smsGateway().send(G.gSmsHandle, mobileEdit->text().trimmed(), messageMemo->toPlainText().trimmed());
    addInfo(result == 1 ? QStringLiteral("发送信息成功") : QStringLiteral("发送信息失败!返回:%1").arg(result));
}

void openDuanXinCon(const QString &mobile) { openModal(frmDuanXinCon, true, mobile); }

} // namespace orv
