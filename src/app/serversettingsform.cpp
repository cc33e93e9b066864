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

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setToolTip("“(local)”表示本机内置的数据库；\n其他填写 PostgreSQL 服务器的主机名或 IP 地址，可加“:端口”，如 192.168.1.10:5432");
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName("Edit3");
    Edit3->setEchoMode(QLineEdit::Password);

    auto *serverRow = new QHBoxLayout;
    serverRow->addWidget(Edit1);
    serverRow->addWidget(new QLabel("*计算机名称或者IP地址", this));
    auto *form = new QFormLayout;
    form->addRow("服务器：", serverRow);
    form->addRow("用户名：", Edit2);
    form->addRow("密码：", Edit3);

    BitBtn1 = new QPushButton("自动检测", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->hide();
    BitBtn2 = new QPushButton("确定", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn3 = new QPushButton("关闭", this);
    BitBtn3->setObjectName("BitBtn3");
    for (auto *b : {BitBtn1, BitBtn2, BitBtn3})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);

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
        return writeConfigIni(Paths::configFile(), Edit1->text(), Edit2->text(), Edit3->text());
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace orv
