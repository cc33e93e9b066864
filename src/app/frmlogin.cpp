#include "app/frmlogin.h"
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "app/lifecycle.h"
#include "data/login.h"
#include "common/apptitle.h"
#include "common/prompt.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace orv {

TfrmLogin::TfrmLogin(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName("frmLogin");
    setWindowTitle("登录");
    setFixedSize(494, 306);

    auto *title = new QLabel(appTitle(), this);
    title->setGeometry(0, 40, 494, 40);
    title->setAlignment(Qt::AlignCenter);
    QFont tf = title->font();
    tf.setPointSize(16);
    tf.setBold(true);
    title->setFont(tf);
    title->setStyleSheet("color: white;");

    auto *l1 = new QLabel("用户名：", this);
    l1->setGeometry(120, 120, 70, 24);
    nameCombo = new QComboBox(this);
    nameCombo->setObjectName("cboName");
    nameCombo->setEditable(true);
    nameCombo->setInsertPolicy(QComboBox::NoInsert);
    nameCombo->setGeometry(190, 120, 180, 24);
    nameCombo->installEventFilter(this);
    nameCombo->lineEdit()->installEventFilter(this);

    auto *l2 = new QLabel("密  码：", this);
    l2->setGeometry(120, 160, 70, 24);
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName("editPasswd");
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setGeometry(190, 160, 180, 24);
    passwordEdit->installEventFilter(this);

    loginButton = new QPushButton("登录", this);
    loginButton->setObjectName("SpeedButton1");
    loginButton->setGeometry(170, 220, 70, 28);
    loginButton->setAutoDefault(false);
    cancelButton = new QPushButton("退出", this);
    cancelButton->setObjectName("SpeedButton2");
    cancelButton->setGeometry(260, 220, 70, 28);
    cancelButton->setAutoDefault(false);
    for (QLabel *l : {l1, l2})
        l->setStyleSheet("color: white;");

    connect(loginButton, &QPushButton::clicked, this, &TfrmLogin::SpeedButton1Click);
    connect(cancelButton, &QPushButton::clicked, this, &TfrmLogin::SpeedButton2Click);
}

void TfrmLogin::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(40, 90, 160));
    g.setColorAt(1, QColor(20, 50, 100));
    p.fillRect(rect(), g);
    p.setPen(QColor(255, 255, 255, 90));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfrmLogin::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    nameCombo->setFocus();
}

bool TfrmLogin::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::FocusIn && (o == nameCombo || o == nameCombo->lineEdit()))
        cboNameEnter();
    if (o == passwordEdit && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            SpeedButton1Click();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TfrmLogin::cboNameEnter()
{
    try {
        const QString text = nameCombo->currentText();
        const QStringList names = LoginService(db()).userNames();
        nameCombo->blockSignals(true);
        nameCombo->clear();
        nameCombo->addItems(names);
        nameCombo->setEditText(text);
        nameCombo->blockSignals(false);
    } catch (const std::exception &ex) {
        notice(this, QString::fromUtf8(ex.what()), QMessageBox::Critical);
    }
}

void TfrmLogin::SpeedButton1Click()
{
    try {
        const LoginResult r = LoginService(db()).check(nameCombo->currentText(), passwordEdit->text());
        if (!r.ok) {
            notice(this, r.message);
            return;
        }
        G.gCurrentUser = r.user;
        G.gPrivileges = r.privileges;
        m_loggedIn = true;
        accept();
    } catch (const std::exception &ex) {
        notice(this, QString::fromUtf8(ex.what()), QMessageBox::Critical);
    }
}

void TfrmLogin::SpeedButton2Click()
{
    terminateProgram();
    reject();
}

} // namespace orv
