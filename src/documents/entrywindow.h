#pragma once
// What every document entry window shares: the pickers' messages and field picks answered from
// tables the window declares in its constructor, and the header of label | field | button rows.
#include "app/appglobals.h"
#include "app/formdialog.h"
#include "goods/lineediting.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <functional>

class QGridLayout;
class QLabel;

namespace orv {

// A field a picker may fill: the one playing `role` under the name `which` (an empty name takes
// every name of the role). Given as a widget, the pick becomes its text (a staff drop-down, a
// combo box's edit text, a line edit); given as a function, the window decides.
struct PickedField {
    PickedField(FieldRole role, const QString &which, QWidget *field);
    PickedField(FieldRole role, const QString &which, std::function<void(const QString &)> set);

    FieldRole role;
    QString which;
    std::function<void(const QString &)> set;
};

class EntryWindow : public TFormDialog, public MessageReceiver, public GoodsLineHost {
    Q_OBJECT
public:
    using TFormDialog::TFormDialog;

    // The handler the window declared for `message`; other messages are ignored.
    void onWindowMessage(int message) override;
    // The first declared field of that role and name takes the value; false when none does.
    bool setField(FieldRole role, const QString &which, const QString &value) override;

protected:
    using MessageTable = QHash<int, std::function<void()>>;
    // Both add to what was declared before.
    void handleMessages(const MessageTable &table);
    void fillFields(const QVector<PickedField> &fields);

private:
    MessageTable m_messages;
    QVector<PickedField> m_fields;
};

// An entry window's header: rows of label | field | picker button, three grid columns for each
// field column, so the fields of one column line up.
class HeaderGrid {
public:
    explicit HeaderGrid(QWidget *window, Qt::Alignment labelAlignment = {});

    // Placed in a parent layout by the window.
    QGridLayout *layout() const { return m_grid; }

    // At header row `row`, field column `col`; the field reaches over `span` grid columns.
    QLabel *add(int row, int col, const QString &caption, QWidget *field, QWidget *button = nullptr, int span = 1);
    void add(int row, int col, QLabel *label, QWidget *field, QWidget *button = nullptr, int span = 1);
    // A label alone in a field column's label place.
    void addLabel(int row, int col, QLabel *label);
    // Every field column takes an equal share of the width.
    void shareWidth();

private:
    QWidget *m_window;
    QGridLayout *m_grid;
    Qt::Alignment m_labelAlignment;
};

} // namespace orv
