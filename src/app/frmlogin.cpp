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
    cboName = new QComboBox(this);
    cboName->setObjectName("cboName");
    cboName->setEditable(true);
    cboName->setInsertPolicy(QComboBox::NoInsert);
    cboName->setGeometry(190, 120, 180, 24);
    cboName->installEventFilter(this);
    cboName->lineEdit()->installEventFilter(this);

    auto *l2 = new QLabel("密  码：", this);
    l2->setGeometry(120, 160, 70, 24);
    editPasswd = new QLineEdit(this);
    editPasswd->setObjectName("editPasswd");
    editPasswd->setEchoMode(QLineEdit::Password);
    editPasswd->setGeometry(190, 160, 180, 24);
    editPasswd->installEventFilter(this);

    SpeedButton1 = new QPushButton("登录", this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setGeometry(170, 220, 70, 28);
    SpeedButton1->setAutoDefault(false);
    SpeedButton2 = new QPushButton("退出", this);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setGeometry(260, 220, 70, 28);
    SpeedButton2->setAutoDefault(false);
    for (QLabel *l : {l1, l2})
        l->setStyleSheet("color: white;");

    connect(SpeedButton1, &QPushButton::clicked, this, &TfrmLogin::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TfrmLogin::SpeedButton2Click);
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
    cboName->setFocus();
}

bool TfrmLogin::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::FocusIn && (o == cboName || o == cboName->lineEdit()))
        cboNameEnter();
    if (o == editPasswd && e->type() == QEvent::KeyPress) {
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
        const QString text = cboName->currentText();
        const QStringList names = LoginService(db()).userNames();
        cboName->blockSignals(true);
        cboName->clear();
        cboName->addItems(names);
        cboName->setEditText(text);
        cboName->blockSignals(false);
    } catch (const std::exception &ex) {
        notice(this, QString::fromUtf8(ex.what()), QMessageBox::Critical);
    }
}

void TfrmLogin::SpeedButton1Click()
{
    try {
        const LoginResult r = LoginService(db()).check(cboName->currentText(), editPasswd->text());
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
