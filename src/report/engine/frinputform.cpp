#include "report/engine/frinputform.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include "common/prompt.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrInputForm::TfrInputForm(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString());
    promptLabel = new QLabel(this);
    promptLabel->setObjectName(QStringLiteral("PromptLabel"));
    promptLabel->setWordWrap(true);
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName(QStringLiteral("ValueEdit"));
    valueEdit->setMinimumWidth(240);
    okButton = new QPushButton(GetLocalizedString(frRes::Ok), this);
    okButton->setObjectName(QStringLiteral("OkButton"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(GetLocalizedString(frRes::Cancel), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(valueEdit);
    layout->addLayout(buttons);
}

QString TfrInputForm::Ask(const QString &prompt, const QString &text)
{
    TfrInputForm form(QApplication::activeWindow());
    form.promptLabel->setText(prompt);
    form.valueEdit->setText(text);
    form.valueEdit->selectAll();
    if (orv::prompt().runModal(&form) == QDialog::Accepted)
        return form.valueEdit->text();
    return text;
}
