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
    explicit TfrmMdfPwd(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 确定 / 修改 / 保存
    void SpeedButton2Click(); // 关闭

private:
    void setFieldsEditable(bool editable);

    QLineEdit *userField;       // Edit1
    QLineEdit *oldPassword;     // Edit2
    QLineEdit *newPassword;     // Edit3
    QLineEdit *confirmPassword; // Edit4
    QToolButton *okButton;      // SpeedButton1
    QToolButton *closeButton;   // SpeedButton2
};

inline QPointer<TfrmMdfPwd> frmMdfPwd;

} // namespace orv
