#include "admin/frmmdfpwd.h"
#include "admin/accounts.h"
#include "admin/adminui.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

TfrmMdfPwd::TfrmMdfPwd(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmMdfPwd");
    setWindowTitle("修改密码");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *grid = new QGridLayout;
    auto addField = [&](int row, const QString &label, const QString &name, bool masked) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        if (masked)
            e->setEchoMode(QLineEdit::Password);
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(e, row, 1);
        return e;
    };
    userField = addField(0, "用户名：", "Edit1", false);
    userField->setReadOnly(true);
    oldPassword = addField(1, "旧密码：", "Edit2", true);
    newPassword = addField(2, "新密码：", "Edit3", true);
    confirmPassword = addField(3, "确认密码：", "Edit4", true);

    okButton = adminui::flatButton(this, "SpeedButton1", "确定");
    closeButton = adminui::flatButton(this, "SpeedButton2", "关闭");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(closeButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);

    // Enter moves along 用户名, 旧密码, 新密码, 确认密码 and stops there.
    const QList<QLineEdit *> chain{userField, oldPassword, newPassword, confirmPassword};
    for (int i = 0; i + 1 < chain.size(); ++i) {
        QLineEdit *next = chain[i + 1];
        connect(chain[i], &QLineEdit::returnPressed, next, [next] { next->setFocus(); });
    }
    connect(okButton, &QToolButton::clicked, this, &TfrmMdfPwd::SpeedButton1Click);
    connect(closeButton, &QToolButton::clicked, this, &TfrmMdfPwd::SpeedButton2Click);
}

void TfrmMdfPwd::FormShow()
{
    writeWindowStatus(windowTitle());
    // The name as stored, which the login found, not as it was typed.
    userField->setText(G.gCurrentUser);
    oldPassword->setFocus();
}

void TfrmMdfPwd::setState(State s)
{
    m_state = s;
    okButton->setText(s == State::Entering ? QStringLiteral("确定")
                      : s == State::Changed ? QStringLiteral("修改")
                                            : QStringLiteral("保存"));
    for (QLineEdit *e : {oldPassword, newPassword, confirmPassword})
        adminui::setEditable(e, s != State::Changed);
}

void TfrmMdfPwd::SpeedButton1Click()
{
    if (m_state == State::Changed) {
        setState(State::Reentering);
        for (QLineEdit *e : {oldPassword, newPassword, confirmPassword})
            e->clear();
        oldPassword->setFocus();
        return;
    }
    QString refusal;
    try {
        refusal = AccountStore(db()).changePassword(userField->text(), oldPassword->text(), newPassword->text(),
                                                    confirmPassword->text());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!refusal.isEmpty()) {
        notice(this, refusal);
        return;
    }
    notice(this, "密码修改成功");
    setState(State::Changed);
}

void TfrmMdfPwd::SpeedButton2Click() { close(); }

} // namespace orv
