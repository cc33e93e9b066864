#include "documents/entrywindow.h"
#include "partners/staffcombo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace orv {

namespace {
void setText(QWidget *field, const QString &value)
{
    // A staff drop-down takes the text without telling its own listeners.
    if (auto *staff = qobject_cast<StaffCombo *>(field))
        staff->setText(value);
    else if (auto *combo = qobject_cast<QComboBox *>(field))
        combo->setEditText(value);
    else if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->setText(value);
    else
        qWarning("PickedField: %s holds no text", qPrintable(field->objectName()));
}
} // namespace

PickedField::PickedField(FieldRole role, const QString &which, QWidget *field)
    : role(role), which(which), set([field](const QString &value) { setText(field, value); })
{
}

PickedField::PickedField(FieldRole role, const QString &which, std::function<void(const QString &)> set)
    : role(role), which(which), set(std::move(set))
{
}

void EntryWindow::onWindowMessage(int message)
{
    if (const auto handler = m_messages.constFind(message); handler != m_messages.cend())
        (*handler)();
}

bool EntryWindow::setField(FieldRole role, const QString &which, const QString &value)
{
    for (const PickedField &f : std::as_const(m_fields))
        if (f.role == role && (f.which.isEmpty() || f.which == which)) {
            f.set(value);
            return true;
        }
    return false;
}

void EntryWindow::handleMessages(const MessageTable &table) { m_messages.insert(table); }

void EntryWindow::fillFields(const QVector<PickedField> &fields) { m_fields += fields; }

HeaderGrid::HeaderGrid(QWidget *window, Qt::Alignment labelAlignment)
    : m_window(window), m_grid(new QGridLayout), m_labelAlignment(labelAlignment)
{
}

QLabel *HeaderGrid::add(int row, int col, const QString &caption, QWidget *field, QWidget *button, int span)
{
    auto *label = new QLabel(caption, m_window);
    add(row, col, label, field, button, span);
    return label;
}

void HeaderGrid::add(int row, int col, QLabel *label, QWidget *field, QWidget *button, int span)
{
    addLabel(row, col, label);
    m_grid->addWidget(field, row, col * 3 + 1, 1, span);
    if (button)
        m_grid->addWidget(button, row, col * 3 + 2);
}

void HeaderGrid::addLabel(int row, int col, QLabel *label) { m_grid->addWidget(label, row, col * 3, m_labelAlignment); }

void HeaderGrid::shareWidth()
{
    for (int c = 1; c < m_grid->columnCount(); c += 3)
        m_grid->setColumnStretch(c, 1);
}

} // namespace orv
