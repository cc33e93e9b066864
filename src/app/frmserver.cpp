#include "app/frmserver.h"
#include "data/datamodule.h"
#include "app/lifecycle.h"
#include "app/frmfindserver.h"
#include "data/serverconfig.h"
#include "app/windowing.h"
#include "common/paths.h"
#include "common/prompt.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

TfrmServer::TfrmServer(QWidget *parent)
    : ServerSettingsForm({"服务器填写(local)，即使用", "本机内置的数据库，用户名", "和密码不用填写；或者填写",
                          "PostgreSQL服务器的主机名", "或IP地址，可加“:端口”，", "用户名和密码是该服务器上",
                          "PostgreSQL角色及其密码"},
                         parent)
{
    setObjectName("frmServer");
    connect(okButton, &QPushButton::clicked, this, &TfrmServer::BitBtn2Click);
    connect(closeButton, &QPushButton::clicked, this, &TfrmServer::BitBtn3Click);
    connect(findServerButton, &QPushButton::clicked, this, [] { openModal(frmFindServer, true); });
}

void TfrmServer::BitBtn2Click()
{
    try {
        if (!writeConfig())
            throw DbError("config.ini cannot be written");
        ConnectionSettings s = settingsFromConfigIni(Paths::configFile());
        G.gServerName = s.server;
        G.gDbUserID = s.user;
        db().open(s);
    } catch (const std::exception &) {
        notice(this, "连接失败，请确认数据库用户名及密码");
        return;
    }
    notice(this, "数据库连接成功，请重新启动仓库管理系统！");
    terminateProgram();
    accept();
}

void TfrmServer::BitBtn3Click() { reject(); }

void TfrmServer::onWindowMessage(int message)
{
    if (message == WM_SERVER_FOUND)
        serverEdit->setText(G.gFoundServer);
}

void TfrmServer::closeEvent(QCloseEvent *e)
{
    terminateProgram();
    ServerSettingsForm::closeEvent(e);
}

void TfrmServer::done(int r)
{
    terminateProgram();
    ServerSettingsForm::done(r);
}

} // namespace orv
