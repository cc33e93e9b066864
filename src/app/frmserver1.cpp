#include "app/frmserver1.h"
#include "data/datamodule.h"
#include "app/frmfindserver.h"
#include "data/serverconfig.h"
#include "app/windowing.h"
#include "common/configini.h"
#include "common/paths.h"
#include "common/prompt.h"

#include <QFile>
#include <QKeyEvent>
#include <QSaveFile>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

TfrmServer1::TfrmServer1(QWidget *parent)
    : ServerSettingsForm({"服务器填写(local)，即使用本机", "内置的数据库，用户名和密码不用",
                          "填写；或者填写PostgreSQL服务器", "的主机名或IP地址，可加“:端口”，",
                          "用户名和密码是该服务器上", "PostgreSQL角色及其密码"},
                         parent)
{
    setObjectName("frmServer1");
    connect(okButton, &QPushButton::clicked, this, &TfrmServer1::BitBtn2Click);
    connect(closeButton, &QPushButton::clicked, this, &TfrmServer1::BitBtn3Click);
    connect(findServerButton, &QPushButton::clicked, this, [] { openModal(frmFindServer, true); });
    for (QLineEdit *e : {serverEdit, userEdit, passwordEdit})
        e->installEventFilter(this);
    // Enter on the focused button presses it.
    okButton->setAutoDefault(true);
    setFixedSize(sizeHint());
}

void TfrmServer1::showEvent(QShowEvent *e)
{
    ServerSettingsForm::showEvent(e);
    writeWindowStatus(windowTitle());
}

namespace {
QByteArray fileBytes(const QString &path, bool *exists)
{
    QByteArray bytes;
    *exists = readConfigIniBytes(path, bytes);
    return bytes;
}

void putFileBack(const QString &path, bool existed, const QByteArray &bytes)
{
    if (!existed) {
        QFile::remove(path);
        return;
    }
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
        f.commit();
}
} // namespace

// The settings are tried on a connection of their own first: a failed test leaves
// config.ini and the running program's connection as they were.
void TfrmServer1::BitBtn2Click()
{
    const ConnectionSettings s = connectionSettings(serverEdit->text(), userEdit->text(), passwordEdit->text());
    const QString iniPath = Paths::configFile();
    bool iniExisted = false;
    const QByteArray iniBefore = fileBytes(iniPath, &iniExisted);
    {
        const BusyCursor busy;
        if (!testConnection(s).isEmpty() || !writeConfig()) {
            notice(this, "数据库连接失败!请确认数据库用户名及密码");
            return;
        }
    }
    // Windows that hold rows of the old database go before the connection changes under them.
    if (ChildHost *host = childHost())
        host->closeOtherChildren("");
    const ConnectionSettings previous = db().settings();
    const bool wasOpen = db().isOpen();
    const QString previousServer = G.gServerName, previousUser = G.gDbUserID;
    try {
        const BusyCursor busy;
        const ConnectionSettings stored = settingsFromConfigIni(iniPath);
        G.gServerName = stored.server;
        G.gDbUserID = stored.user;
        db().open(s);
    } catch (const std::exception &e) {
        // The server answered but cannot serve this program (a newer database, say): back to
        // the database in use, with its config.ini, so the program stays usable.
        putFileBack(iniPath, iniExisted, iniBefore);
        G.gServerName = previousServer;
        G.gDbUserID = previousUser;
        if (wasOpen) {
            try {
                const BusyCursor busy;
                db().open(previous);
            } catch (const std::exception &) {
            }
        }
        const auto *unusable = dynamic_cast<const DatabaseUnusable *>(&e);
        notice(this, unusable ? unusable->message() : QStringLiteral("数据库连接失败!请确认数据库用户名及密码"));
        return;
    }
    notice(this, "数据库连接成功!");
    accept();
}

void TfrmServer1::BitBtn3Click() { reject(); }

void TfrmServer1::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    ServerSettingsForm::keyPressEvent(e);
}

bool TfrmServer1::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (o == serverEdit)
                userEdit->setFocus();
            else if (o == userEdit)
                passwordEdit->setFocus();
            else if (o == passwordEdit)
                okButton->setFocus();
            return true;
        }
    }
    return ServerSettingsForm::eventFilter(o, e);
}

} // namespace orv
