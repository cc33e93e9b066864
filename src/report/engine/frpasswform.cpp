#include "report/engine/frpasswform.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include "common/prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrPasswForm::TfrPasswForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPasswForm"));
    setWindowTitle(GetLocalizedString(55653));
    L1 = new QLabel(GetLocalizedString(55654), this);
    L1->setObjectName(QStringLiteral("L1"));
    E1 = new QLineEdit(this);
    E1->setObjectName(QStringLiteral("E1"));
    E1->setEchoMode(QLineEdit::Password);
    E1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    L2 = new QLabel(GetLocalizedString(55655), this);
    L2->setObjectName(QStringLiteral("L2"));
    L2->hide();
    Button1 = new QPushButton(GetLocalizedString(frRes::Ok), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(GetLocalizedString(frRes::Cancel), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(L1);
    lay->addWidget(L2);
    lay->addWidget(E1);
    lay->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrPasswForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    E1->setFocus();
}

bool frAskReportPassword(QString &password)
{
    TfrPasswForm form;
    if (orv::prompt().runModal(&form) != QDialog::Accepted)
        return false;
    password = form.E1->text();
    return true;
}
