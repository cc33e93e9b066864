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
    QLineEdit *Edit1; // server
    QLineEdit *Edit2; // user
    QLineEdit *Edit3; // password
    QPushButton *BitBtn1; // server finder (hidden)
    QPushButton *BitBtn2; // 确定
    QPushButton *BitBtn3; // 关闭

protected:
    ServerSettingsForm(const QStringList &noticeLines, QWidget *parent);
    // Writes config.ini; false when it cannot be written.
    bool writeConfig();
};

} // namespace orv
