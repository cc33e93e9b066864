#include "app/frmfindserver.h"
#include "app/appglobals.h"
#include "app/frmserver.h"
#include "app/frmserver1.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHostInfo>
#include <QLabel>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TfrmFindServer::TfrmFindServer(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmFindServer");
    setWindowTitle("检测数据库服务器");
    serverCombo = new QComboBox(this);
    serverCombo->setObjectName("ComboBox1");
    serverCombo->setEditable(true);
    copyButton = new QPushButton("复制服务器名", this);
    copyButton->setObjectName("BitBtn1");
    closeButton = new QPushButton("关闭", this);
    closeButton->setObjectName("BitBtn2");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(closeButton);
    auto *v = new QVBoxLayout(this);
    v->addWidget(new QLabel("有效的数据库服务器", this));
    v->addWidget(serverCombo);
    v->addLayout(buttons);
    connect(copyButton, &QPushButton::clicked, this, &TfrmFindServer::BitBtn1Click);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too
}

QStringList TfrmFindServer::availableServers()
{
    QStringList out{"(local)"};
    const QString host = QHostInfo::localHostName();
    if (!host.isEmpty() && !QHostInfo::fromName(host).addresses().isEmpty())
        out << host;
    if (!QHostInfo::fromName("localhost").addresses().isEmpty())
        out << "localhost";
    for (const QHostAddress &a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            out << a.toString();
    out.removeDuplicates();
    return out;
}

void TfrmFindServer::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TfrmFindServer::FormShow()
{
    serverCombo->clear();
    serverCombo->addItems(availableServers());
}

void TfrmFindServer::BitBtn1Click()
{
    G.gFoundServer = serverCombo->currentText();
    SendMessage(frmServer, WM_SERVER_FOUND);
    SendMessage(frmServer1, WM_SERVER_FOUND);
    accept();
}

} // namespace orv
