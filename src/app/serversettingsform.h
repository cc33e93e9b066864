#pragma once
// Layout shared by the two database server settings windows.
#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

namespace orv {

class ServerSettingsForm : public QDialog {
    Q_OBJECT
public:
    QLineEdit *serverEdit; // server
    QLineEdit *userEdit; // user
    QLineEdit *passwordEdit; // password
    QPushButton *findServerButton; // server finder (hidden)
    QPushButton *okButton; // 确定
    QPushButton *closeButton; // 关闭

protected:
    ServerSettingsForm(const QStringList &noticeLines, QWidget *parent);
    // Writes config.ini; false when it cannot be written.
    bool writeConfig();
};

} // namespace orv
