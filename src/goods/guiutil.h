#pragma once
// Small helpers shared by the catalogue's windows.
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/mastercode.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace orv::goodsui {

// A box is white and editable while a record is entered, grey (the button face) and
// read-only otherwise.
template <typename Edit> void setEntryState(Edit *edit, bool editable)
{
    edit->setReadOnly(!editable);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, editable ? QColor(Qt::white) : QColor(0xd4, 0xd0, 0xc8));
    edit->setPalette(p);
}

// A flat toolbar button carrying its control name as objectName.
inline QToolButton *flatButton(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setText(text);
    b->setAutoRaise(true);
    return b;
}

// The code a new-record dialog proposes for the rule. When it cannot be read (the connection lost
// while 新建 runs) the operator is told why and nothing comes back: the caller leaves the dialog
// as it was rather than enter a record without a code.
inline std::optional<QString> proposedCode(QWidget *window, const NumberRule &rule)
{
    try {
        return proposeMasterCode(db(), rule);
    } catch (const std::exception &e) {
        showError(window, e);
        return std::nullopt;
    }
}

inline QLabel *redLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    return l;
}

// The one-name entry of the category dialogs: a label and its box, then save and cancel.
struct NameEntry {
    QLabel *label;
    QLineEdit *edit;
    QToolButton *save;
    QToolButton *cancel;
};
inline NameEntry buildNameEntry(QDialog *d, const QString &caption, const QString &saveText)
{
    NameEntry e{new QLabel(caption, d), new QLineEdit(d), new QToolButton(d), new QToolButton(d)};
    e.edit->setObjectName("Edit1");
    e.save->setObjectName("SpeedButton1");
    e.save->setText(saveText);
    e.cancel->setObjectName("SpeedButton2");
    e.cancel->setText(QStringLiteral("取消"));
    auto *row = new QHBoxLayout;
    row->addWidget(e.label);
    row->addWidget(e.edit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(e.save);
    buttons->addWidget(e.cancel);
    auto *main = new QVBoxLayout(d);
    main->addLayout(row);
    main->addLayout(buttons);
    setEntryState(e.edit, true);
    QObject::connect(e.cancel, &QToolButton::clicked, d, &QDialog::reject);
    return e;
}

// A name entry shows its caption, its label and a name of some twenty characters in full.
inline QSize nameEntrySize(const QWidget *d)
{
    const QFontMetrics fm(d->font());
    return QSize(fm.horizontalAdvance(QString(24, QChar(0x4e2d))) + 80, fm.height() * 5 + 40);
}

} // namespace orv::goodsui
