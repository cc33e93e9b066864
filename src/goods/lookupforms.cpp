#include "goods/lookupforms.h"
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "app/windowing.h"
#include "goods/guiutil.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
const QString kNew = QStringLiteral("新建");
const QString kEdit = QStringLiteral("修改");
const QString kDelete = QStringLiteral("删除");
const QString kSave = QStringLiteral("保存");
} // namespace

TLookupListForm::TLookupListForm(LookupKind kind, QWidget *opener, QWidget *parent)
    : GoodsDialog(parent), m_kind(kind), m_opener(opener)
{
    const LookupText &t = lookupText(kind);
    setWindowTitle(t.caption);
    setAttribute(Qt::WA_DeleteOnClose, false);

    newButton = goodsui::flatButton("SpeedButton1", kNew, this);
    editButton = goodsui::flatButton("SpeedButton2", kEdit, this);
    deleteButton = goodsui::flatButton("SpeedButton3", kDelete, this);
    auto *bar = new QHBoxLayout;
    bar->addWidget(newButton);
    bar->addWidget(editButton);
    bar->addWidget(deleteButton);
    bar->addStretch();

    nameGrid = new QTableWidget(0, 2, this);
    nameGrid->setObjectName("DBGrid1");
    nameGrid->setHorizontalHeaderLabels({QStringLiteral("流水号"), t.nameColumn});
    nameGrid->setColumnHidden(0, true);
    nameGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    nameGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    nameGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    nameGrid->horizontalHeader()->setStretchLastSection(true);
    nameGrid->verticalHeader()->hide();
    nameGrid->installEventFilter(this);
    nameGrid->viewport()->installEventFilter(this);

    auto *box = new QGroupBox(this);
    nameLabel = new QLabel(t.label, box);
    nameLabel->setObjectName("Label1");
    nameEdit = new QLineEdit(box);
    nameEdit->setObjectName("Edit1");
    goodsui::setEntryState(nameEdit, false);
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(nameLabel);
    boxLayout->addWidget(nameEdit);

    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(nameGrid, 1);
    main->addWidget(box);
    // A dozen names of some twenty characters.
    setTypicalSize(QSize(360, 420));
    enterMovesToNextField(this);

    connect(newButton, &QToolButton::clicked, this, &TLookupListForm::SpeedButton1Click);
    connect(editButton, &QToolButton::clicked, this, &TLookupListForm::SpeedButton2Click);
    connect(deleteButton, &QToolButton::clicked, this, &TLookupListForm::SpeedButton3Click);
    connect(nameGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { DBGrid1DblClick(); });
    connect(nameGrid, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) { followCurrentRow(); });
}

LookupStore TLookupListForm::store() const { return LookupStore(db(), m_kind); }

QString TLookupListForm::currentName() const { return nameEdit->text(); }

void TLookupListForm::FormShow()
{
    writeWindowStatus(windowTitle());
    loadList();
    setState(State::Browsing);
    if (gridTakesFocus())
        nameGrid->setFocus();
}

void TLookupListForm::loadList(qint64 keepKey)
{
    QList<LookupRow> rows;
    try {
        rows = store().rows();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    const QSignalBlocker block(nameGrid);
    nameGrid->setRowCount(0);
    nameGrid->setRowCount(int(rows.size()));
    int current = rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < rows.size(); ++i) {
        nameGrid->setItem(i, 0, new QTableWidgetItem(QString::number(rows[i].key)));
        nameGrid->setItem(i, 1, new QTableWidgetItem(rows[i].name));
        if (keepKey && rows[i].key == keepKey)
            current = i;
        nameGrid->item(i, 1)->setToolTip(rows[i].name);
    }
    if (current >= 0)
        nameGrid->setCurrentCell(current, 1);
    followCurrentRow();
}

void TLookupListForm::followCurrentRow()
{
    const int row = nameGrid->currentRow();
    if (row < 0 || row >= nameGrid->rowCount()) {
        m_key = 0;
        nameEdit->clear();
        return;
    }
    m_key = nameGrid->item(row, 0)->text().toLongLong();
    nameEdit->setText(nameGrid->item(row, 1)->text());
}

void TLookupListForm::moveCurrentRow(int delta)
{
    const int row = nameGrid->currentRow() + delta;
    if (row >= 0 && row < nameGrid->rowCount())
        nameGrid->setCurrentCell(row, 1);
}

void TLookupListForm::setState(State s)
{
    m_state = s;
    newButton->setText(s == State::Adding ? kSave : kNew);
    editButton->setText(s == State::Changing ? kSave : kEdit);
    deleteButton->setText(kDelete);
    newButton->setEnabled(s != State::Changing);
    editButton->setEnabled(s != State::Adding);
    deleteButton->setEnabled(s == State::Browsing);
    goodsui::setEntryState(nameEdit, s != State::Browsing);
}

void TLookupListForm::SpeedButton1Click()
{
    if (m_state == State::Changing)
        return;
    if (m_state == State::Browsing) {
        setState(State::Adding);
        nameEdit->clear();
        nameEdit->setFocus();
        return;
    }
    const QString name = nameEdit->text();
    const QString refusal = store().check(name, true);
    if (!refusal.isEmpty()) {
        notice(this, refusal);
        nameEdit->setFocus();
        return;
    }
    try {
        store().add(name);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    loadList();
    setState(State::Browsing);
}

void TLookupListForm::SpeedButton2Click()
{
    if (m_state == State::Adding)
        return;
    if (m_state == State::Browsing) {
        if (m_key == 0 || nameEdit->text().isEmpty())
            return;
        setState(State::Changing);
        nameEdit->setFocus();
        return;
    }
    const QString name = nameEdit->text();
    const QString refusal = store().check(name, false);
    if (!refusal.isEmpty()) {
        notice(this, refusal);
        nameEdit->setFocus();
        return;
    }
    const qint64 key = m_key;
    try {
        store().update(key, name);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    loadList(key);
    setState(State::Browsing);
}

void TLookupListForm::SpeedButton3Click()
{
    if (m_state != State::Browsing || m_key == 0 || nameEdit->text().isEmpty())
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("确认要删除?")))
        return;
    try {
        store().remove(m_key);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    loadList();
}

void TLookupListForm::DBGrid1DblClick()
{
    if (!picks())
        return;
    const int row = nameGrid->currentRow();
    if (row < 0 || m_key == 0 || nameGrid->item(row, 1)->text().isEmpty()) {
        reject();
        return;
    }
    G.gRepFit.Place = nameGrid->item(row, 1)->text();
    const int message = pickMessage();
    if (!message)
        return;
    SendMessage(m_opener, message);
    accept();
}

bool TLookupListForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == nameGrid && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && picks()) {
            DBGrid1DblClick();
            return true;
        }
    }
    if (watched == nameGrid->viewport() && event->type() == QEvent::Wheel && nameGrid->hasFocus()) {
        const auto *w = static_cast<QWheelEvent *>(event);
        if (w->angleDelta().y() != 0) {
            moveCurrentRow(w->angleDelta().y() < 0 ? 1 : -1);
            return true;
        }
    }
    return GoodsDialog::eventFilter(watched, event);
}

int TfrmSelectDan::pickMessage() const
{
    switch (G.gDirMode) {
    case 2:
    case 3:
    case 9:
    case 10:
        return WM_DAN_CHOSEN;
    default:
        return 0;
    }
}

int TfrmCamgWei::pickMessage() const
{
    switch (G.gDirMode) {
    case 4:
    case 11:
    case 24:
        return WM_WEI_CHOSEN;
    case 25:
        return WM_WEI1_CHOSEN;
    default:
        return 0;
    }
}

} // namespace orv
