#pragma once
// 修改密码: the logged-in operator changes his own password (old once, new twice). After a
// change the fields are locked until 修改 opens them again.
#include "app/formdialog.h"

#include <QPointer>

class QLineEdit;
class QToolButton;

namespace orv {

class TfrmMdfPwd : public TFormDialog {
    Q_OBJECT
public:
    // Typing a change (确定 at first, 保存 after 修改) or changed, the fields locked (修改).
    enum class State { Entering, Changed, Reentering };

    explicit TfrmMdfPwd(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 确定 / 修改 / 保存
    void SpeedButton2Click(); // 关闭
    State state() const { return m_state; }

private:
    void setState(State s);

    State m_state = State::Entering;

    QLineEdit *userField;       // Edit1
    QLineEdit *oldPassword;     // Edit2
    QLineEdit *newPassword;     // Edit3
    QLineEdit *confirmPassword; // Edit4
    QToolButton *okButton;      // SpeedButton1
    QToolButton *closeButton;   // SpeedButton2
};

inline QPointer<TfrmMdfPwd> frmMdfPwd;

} // namespace orv
