#include "partners/staffcombo.h"
#include "common/prompt.h"
#include "data/datamodule.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace orv {

StaffCombo::StaffCombo(const QString &objectName, std::optional<StaffRole> role, StaffText text, QWidget *parent)
    : QComboBox(parent), m_role(role), m_text(text)
{
    setObjectName(objectName);
    setEditable(true);
    lineEdit()->setReadOnly(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void StaffCombo::setText(const QString &text)
{
    const QSignalBlocker block(this);
    setEditText(text);
}

void StaffCombo::refill()
{
    QStringList items;
    try {
        items = staffChoices(db(), m_role, m_text);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    const QString shown = currentText();
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    setEditText(shown);
}

void StaffCombo::focusInEvent(QFocusEvent *e)
{
    QComboBox::focusInEvent(e);
    // Coming back from the list's own popup is no new entry into the field.
    if (e->reason() != Qt::PopupFocusReason)
        refill();
}

} // namespace orv
