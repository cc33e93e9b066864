#pragma once
// The server finder: offers the servers this program can reach and hands the chosen one
// to the settings windows.
#include <QDialog>
#include <QPointer>

class QComboBox;
class QPushButton;

namespace orv {

class TfrmFindServer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFindServer(QWidget *parent = nullptr);
    QComboBox *serverCombo;
    QPushButton *copyButton; // 复制服务器名
    QPushButton *closeButton; // 关闭

    // "(local)" (the embedded database) and the PostgreSQL hosts that resolve here.
    static QStringList availableServers();

public slots:
    void FormShow();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *e) override;
};

inline QPointer<TfrmFindServer> frmFindServer;

} // namespace orv
