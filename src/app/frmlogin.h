#pragma once
// The login window: shown modally at start-up; the program ends unless it succeeds.
#include <QDialog>
#include <QPointer>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace orv {

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);
    bool loggedIn() const { return m_loggedIn; }

    QComboBox *nameCombo;
    QLineEdit *passwordEdit;
    QPushButton *loginButton;
    QPushButton *cancelButton;

public slots:
    void cboNameEnter();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    bool m_loggedIn = false;
};

inline QPointer<TfrmLogin> frmLogin;

} // namespace orv
