#include "app/serversettingsform.h"
#include "common/configini.h"
#include "common/paths.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

ServerSettingsForm::ServerSettingsForm(const QStringList &noticeLines, QWidget *parent)
    // The system menu and its close box only: no maximise or minimise box.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle("数据库服务器配置");
    auto *notice = new QLabel(noticeLines.join('\n'), this);
    notice->setObjectName("Label_notice");
    notice->setStyleSheet("color: #335;");

    serverEdit = new QLineEdit(this);
    serverEdit->setObjectName("Edit1");
    serverEdit->setToolTip("“(local)”表示本机内置的数据库；\n其他填写 PostgreSQL 服务器的主机名或 IP 地址，可加“:端口”，如 192.168.1.10:5432");
    userEdit = new QLineEdit(this);
    userEdit->setObjectName("Edit2");
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName("Edit3");
    passwordEdit->setEchoMode(QLineEdit::Password);

    auto *serverRow = new QHBoxLayout;
    serverRow->addWidget(serverEdit);
    serverRow->addWidget(new QLabel("*计算机名称或者IP地址", this));
    auto *form = new QFormLayout;
    form->addRow("服务器：", serverRow);
    form->addRow("用户名：", userEdit);
    form->addRow("密码：", passwordEdit);

    findServerButton = new QPushButton("自动检测", this);
    findServerButton->setObjectName("BitBtn1");
    findServerButton->hide();
    okButton = new QPushButton("确定", this);
    okButton->setObjectName("BitBtn2");
    closeButton = new QPushButton("关闭", this);
    closeButton->setObjectName("BitBtn3");
    for (auto *b : {findServerButton, okButton, closeButton})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(findServerButton);
    buttons->addWidget(okButton);
    buttons->addWidget(closeButton);

    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto *top = new QHBoxLayout(this);
    top->addWidget(notice);
    top->addLayout(right, 1);
    setMinimumWidth(520);
    // The layout keeps its shape: never smaller than what it needs.
    setMinimumSize(sizeHint());
}

bool ServerSettingsForm::writeConfig()
{
    try {
        return writeConfigIni(Paths::configFile(), serverEdit->text(), userEdit->text(), passwordEdit->text());
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace orv
