#include "documents/entrywindow.h"
#include "common/prompt.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/frmmdf.h"
#include "goods/goodslines.h"
#include "goods/goodslineview.h"
#include "partners/staffcombo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

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

void EntryWindow::setUpGoodsLines(const GoodsLineSetup &setup)
{
    m_goods = setup;
    GoodsLineView *view = setup.view;
    connect(view, &GoodsLineView::pickerRequested, this, [this] { addGoodsLine(); });
    connect(view, &GoodsLineView::editRequested, this, &EntryWindow::editGoodsLine);
    if (QWidget *back = setup.backField)
        connect(view, &GoodsLineView::backRequested, back, [back] { back->setFocus(); });
    if (setup.recomputeOnCellEdit)
        connect(view, &GoodsLineView::cellEdited, this, [this] { m_goods.recompute(); });
    handleMessages({{WM_FIT_CHOSEN,
                     [this] {
                         takePickedLine();
                         m_goods.view->setFocus();
                     }},
                    {WM_FIT_MDF, [this] { m_goods.recompute(); }}});
}

void EntryWindow::addGoodsLine(int filter) { openEntryGoodsPicker(this, m_goods.fitCaller, filter, m_goods.fitPrice); }

void EntryWindow::openGoodsEditor() { openLineEditor(this, m_goods.mdfMode); }

void EntryWindow::editGoodsLine()
{
    const int row = m_goods.view->currentGridRow();
    if (row > 0 && !m_goods.lines->cell(row, m_goods.lines->columns().goodsNo).isEmpty())
        openGoodsEditor();
}

void EntryWindow::deleteGoodsLine()
{
    GoodsLineGrid &lines = *m_goods.lines;
    const int row = m_goods.view->currentGridRow();
    const GoodsLineColumns &c = lines.columns();
    if (row < 1 || lines.cell(row, c.price).isEmpty() || lines.cell(row, c.qty).isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确实要删除吗?")))
        return;
    const LineFigures deleted{lines.cell(row, c.amount), lines.cell(row, c.qty), lines.cell(row, c.auxQty)};
    // The row stays with its number.
    lines.blankLine(row);
    if (m_goods.lineDeleted)
        m_goods.lineDeleted(deleted);
    else
        m_goods.recompute();
    (m_goods.focusAfterDelete ? m_goods.focusAfterDelete : static_cast<QWidget *>(m_goods.view))->setFocus();
}

bool EntryWindow::takePickedLine(const std::function<void(int gridRow)> &newLine)
{
    if (!takeChosenLine(*m_goods.lines, m_goods.view, [this] { openGoodsEditor(); }, newLine))
        return false;
    m_goods.recompute();
    return true;
}

void EntryWindow::takeOff(const LineFigures &deleted, std::initializer_list<QWidget *> amountFields, QWidget *qty,
                          QWidget *auxQty)
{
    for (QWidget *f : amountFields)
        subtractFrom(f, deleted.amount);
    subtractFrom(qty, deleted.qty);
    subtractFrom(auxQty, deleted.auxQty);
}

void EntryWindow::showTotals(const GoodsLineGrid &lines, std::initializer_list<QWidget *> amountFields,
                             QWidget *onAccount, QLabel *qty, QLabel *auxQty, bool whenCounted)
{
    GoodsLineGrid::Totals t;
    try {
        t = lines.totals();
    } catch (const ConversionError &) {
        return;
    }
    if (whenCounted && t.counted == 0)
        return;
    const auto show = [](QWidget *field, const QString &value) {
        if (auto *label = qobject_cast<QLabel *>(field))
            label->setText(value);
        else if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->setText(value);
    };
    for (QWidget *f : amountFields)
        show(f, t.amount);
    if (onAccount)
        show(onAccount, QStringLiteral("0"));
    qty->setText(t.qty);
    auxQty->setText(t.auxQty);
}

void EntryWindow::layOutEntry(const EntryLayout &layout)
{
    auto *lineButtons = new QHBoxLayout;
    for (QWidget *b : layout.lineButtons)
        lineButtons->addWidget(b);
    QLabel *hint = redCaption(QStringLiteral("你可以在下面的空行上直接按 回车键 (Enter)和 方向键 进行选择"), this);
    if (layout.hintName)
        hint->setObjectName(QString::fromUtf8(layout.hintName));
    lineButtons->addWidget(hint, 1);

    auto *bottom = new QHBoxLayout;
    for (QWidget *b : layout.boxes)
        bottom->addWidget(b);
    bottom->addStretch();
    for (QWidget *b : layout.buttons)
        bottom->addWidget(b);

    auto *column = new QVBoxLayout(this);
    if (layout.title)
        column->addWidget(layout.title, 0, layout.titleAlignment);
    column->addLayout(layout.header);
    column->addLayout(lineButtons);
    column->addWidget(layout.grid, 1);
    for (QLayout *l : layout.below)
        column->addLayout(l);
    column->addLayout(bottom);
}

QHash<StaffCombo *, QToolButton *> EntryWindow::staffButtons(std::initializer_list<StaffButton> buttons)
{
    QHash<StaffCombo *, QToolButton *> byCombo;
    for (const StaffButton &s : buttons) {
        QToolButton *b = toolButton(QString::fromUtf8(s.name), QStringLiteral("..."), this);
        byCombo.insert(s.combo, b);
        const int mode = s.mode;
        connect(b, &QToolButton::clicked, this, [this, mode] { openStaffPicker(this, mode); });
    }
    return byCombo;
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
