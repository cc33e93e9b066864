#include "report/engine/frpreviewsearchform.h"
#include "report/engine/frlocale.h"
#include "report/engine/frstrings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPreviewSearchForm"));
    setWindowTitle(GetLocalizedString(53000));
    Label1 = new QLabel(GetLocalizedString(53001), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);
    GroupBox1 = new QGroupBox(GetLocalizedString(53002), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CB1 = new QCheckBox(GetLocalizedString(53003), GroupBox1);
    CB1->setObjectName(QStringLiteral("CB1"));
    GroupBox2 = new QGroupBox(GetLocalizedString(53004), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    RB1 = new QRadioButton(GetLocalizedString(53005), GroupBox2);
    RB1->setObjectName(QStringLiteral("RB1"));
    RB1->setChecked(true);
    RB2 = new QRadioButton(GetLocalizedString(53006), GroupBox2);
    RB2->setObjectName(QStringLiteral("RB2"));
    Button1 = new QPushButton(GetLocalizedString(frRes::Ok), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(GetLocalizedString(frRes::Cancel), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    (new QVBoxLayout(GroupBox1))->addWidget(CB1);
    auto *origin = new QVBoxLayout(GroupBox2);
    origin->addWidget(RB1);
    origin->addWidget(RB2);
    auto *groups = new QHBoxLayout;
    groups->addWidget(GroupBox1);
    groups->addWidget(GroupBox2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addWidget(Edit1);
    lay->addLayout(groups);
    lay->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrPreviewSearchForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Edit1->setFocus();
    Edit1->selectAll();
}
