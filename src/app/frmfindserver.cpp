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
    setWindowTitle("检测Sql Server 服务器");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    BitBtn1 = new QPushButton("复制服务器名", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("关闭", this);
    BitBtn2->setObjectName("BitBtn2");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *v = new QVBoxLayout(this);
    v->addWidget(new QLabel("有效的Sql Server服务器", this));
    v->addWidget(ComboBox1);
    v->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmFindServer::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too
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
    ComboBox1->clear();
    ComboBox1->addItems(availableServers());
}

void TfrmFindServer::BitBtn1Click()
{
    G.gFoundServer = ComboBox1->currentText();
    SendMessage(frmServer, WM_SERVER_FOUND);
    SendMessage(frmServer1, WM_SERVER_FOUND);
    accept();
}

} // namespace orv
