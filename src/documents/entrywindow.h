#pragma once
// What every document entry window shares: the pickers' messages and field picks answered from
// tables the window declares in its constructor, and the header of label | field | button rows.
#include "app/appglobals.h"
#include "app/formdialog.h"
#include "goods/lineediting.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>

class QGridLayout;
class QLayout;
class QLabel;
class QToolButton;

namespace orv {

class GoodsLineGrid;
class GoodsLineView;
class StaffCombo;

// An entry window's column, top to bottom: the title, the header, the line buttons with the hint
// that Enter and the arrows work on the empty line, the grid taking the height, the rows `below`,
// then the bottom row: `boxes` at the left, `buttons` at the right.
struct EntryLayout {
    QWidget *title = nullptr;
    Qt::Alignment titleAlignment = {};
    QLayout *header = nullptr;
    QList<QWidget *> lineButtons = {};
    const char *hintName = nullptr; // none: the hint stays unnamed
    QWidget *grid = nullptr;
    QList<QLayout *> below = {};
    QList<QWidget *> boxes = {};
    QList<QWidget *> buttons = {};
};

// A goods line's figures as they stood before it was deleted.
struct LineFigures {
    QString amount, qty, auxQty;
};

// How a window's goods lines behave: its grid, the picker and editor modes, what recomputes its
// totals and what a deleted line does to them.
struct GoodsLineSetup {
    GoodsLineGrid *lines = nullptr;
    GoodsLineView *view = nullptr;
    int fitCaller = 0; // the goods picker's mode
    int mdfMode = 0;   // the line editor's mode
    int fitPrice = 2;  // the price the picker offers: kPurchasePrice unless told
    std::function<void()> recompute = {};
    // After a line is blanked; none: the totals recomputed.
    std::function<void(const LineFigures &deleted)> lineDeleted = {};
    QWidget *focusAfterDelete = nullptr; // none: the grid
    QWidget *backField = nullptr;        // Left/Up out of the grid; none: the window connects its own
    bool recomputeOnCellEdit = false;    // in-place edits change the totals
};

// A staff field's picker button: named `name`, opening the staff picker in `mode`.
struct StaffButton {
    const char *name;
    StaffCombo *combo;
    int mode;
};

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
    // The grid wired to the setup: its picker and editor requests, WM_FIT_CHOSEN (the picked line
    // taken, the grid focused) and WM_FIT_MDF (the totals). A window's later handlers replace these.
    void setUpGoodsLines(const GoodsLineSetup &setup);
    // 增加新的货品: the goods picker, showing goods of `filter`.
    void addGoodsLine(int filter = 1);
    // 修改: the line editor on the current line when it holds goods.
    void editGoodsLine();
    // 删除: the current line blanked after the operator agrees, when it has a price and quantity.
    void deleteGoodsLine();
    void openGoodsEditor();
    // The line in G.gRepFit taken into the grid; the totals recomputed when it came in (true).
    bool takePickedLine(const std::function<void(int gridRow)> &newLine = {});
    // A deleted line's amount taken off each of `amountFields`, its quantities off `qty` and `auxQty`.
    static void takeOff(const LineFigures &deleted, std::initializer_list<QWidget *> amountFields, QWidget *qty,
                        QWidget *auxQty);
    // The lines' totals shown: the amount in each of `amountFields`, "0" in `onAccount`, the
    // quantities in `qty` and `auxQty`. Left as they are while a line's figures do not read yet
    // (the save's checks name it) and, with `whenCounted`, while no line counts.
    static void showTotals(const GoodsLineGrid &lines, std::initializer_list<QWidget *> amountFields,
                           QWidget *onAccount, QLabel *qty, QLabel *auxQty, bool whenCounted);
    void layOutEntry(const EntryLayout &layout);
    // The "..." buttons of staff fields, each opening the staff picker in its mode.
    QHash<StaffCombo *, QToolButton *> staffButtons(std::initializer_list<StaffButton> buttons);

    using MessageTable = QHash<int, std::function<void()>>;
    // Both add to what was declared before.
    void handleMessages(const MessageTable &table);
    void fillFields(const QVector<PickedField> &fields);

private:
    GoodsLineSetup m_goods;
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
