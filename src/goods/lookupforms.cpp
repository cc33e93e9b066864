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

QToolButton *flatButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    return b;
}
} // namespace

TLookupListForm::TLookupListForm(LookupKind kind, QWidget *opener, QWidget *parent)
    : TFormDialog(parent), m_kind(kind), m_opener(opener)
{
    const LookupText &t = lookupText(kind);
    setWindowTitle(t.caption);
    setAttribute(Qt::WA_DeleteOnClose, false);

    SpeedButton1 = flatButton("SpeedButton1", kNew, this);
    SpeedButton2 = flatButton("SpeedButton2", kEdit, this);
    SpeedButton3 = flatButton("SpeedButton3", kDelete, this);
    auto *bar = new QHBoxLayout;
    bar->addWidget(SpeedButton1);
    bar->addWidget(SpeedButton2);
    bar->addWidget(SpeedButton3);
    bar->addStretch();

    DBGrid1 = new QTableWidget(0, 2, this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("流水号"), t.nameColumn});
    DBGrid1->setColumnHidden(0, true);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);

    auto *box = new QGroupBox(this);
    Label1 = new QLabel(t.label, box);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(box);
    Edit1->setObjectName("Edit1");
    goodsui::setEntryState(Edit1, false);
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(Label1);
    boxLayout->addWidget(Edit1);

    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(DBGrid1, 1);
    main->addWidget(box);
    resize(360, 420);
    enterMovesToNextField(this);

    connect(SpeedButton1, &QToolButton::clicked, this, &TLookupListForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TLookupListForm::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TLookupListForm::SpeedButton3Click);
    connect(DBGrid1, &QTableWidget::cellDoubleClicked, this, [this](int, int) { DBGrid1DblClick(); });
    connect(DBGrid1, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) { followCurrentRow(); });
}

LookupStore TLookupListForm::store() const { return LookupStore(db(), m_kind); }

QString TLookupListForm::currentName() const { return Edit1->text(); }

void TLookupListForm::FormShow()
{
    writeWindowStatus(windowTitle());
    loadList();
    SpeedButton1->setText(kNew);
    SpeedButton2->setText(kEdit);
    SpeedButton3->setText(kDelete);
    SpeedButton1->setEnabled(true);
    SpeedButton2->setEnabled(true);
    SpeedButton3->setEnabled(true);
    goodsui::setEntryState(Edit1, false);
    if (gridTakesFocus())
        DBGrid1->setFocus();
}

void TLookupListForm::loadList(qint64 keepKey)
{
    QList<LookupRow> rows;
    try {
        rows = store().rows();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    const QSignalBlocker block(DBGrid1);
    DBGrid1->setRowCount(0);
    DBGrid1->setRowCount(int(rows.size()));
    int current = rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < rows.size(); ++i) {
        DBGrid1->setItem(i, 0, new QTableWidgetItem(QString::number(rows[i].key)));
        DBGrid1->setItem(i, 1, new QTableWidgetItem(rows[i].name));
        if (keepKey && rows[i].key == keepKey)
            current = i;
    }
    if (current >= 0)
        DBGrid1->setCurrentCell(current, 1);
    followCurrentRow();
}

void TLookupListForm::followCurrentRow()
{
    const int row = DBGrid1->currentRow();
    if (row < 0 || row >= DBGrid1->rowCount()) {
        m_key = 0;
        Edit1->clear();
        return;
    }
    m_key = DBGrid1->item(row, 0)->text().toLongLong();
    Edit1->setText(DBGrid1->item(row, 1)->text());
}

void TLookupListForm::moveCurrentRow(int delta)
{
    const int row = DBGrid1->currentRow() + delta;
    if (row >= 0 && row < DBGrid1->rowCount())
        DBGrid1->setCurrentCell(row, 1);
}

void TLookupListForm::setEntry(QToolButton *active, bool entering)
{
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3})
        if (b != active)
            b->setEnabled(!entering);
    active->setText(entering ? kSave : (active == SpeedButton1 ? kNew : kEdit));
    goodsui::setEntryState(Edit1, entering);
}

void TLookupListForm::SpeedButton1Click()
{
    if (SpeedButton1->text() != kSave) {
        setEntry(SpeedButton1, true);
        Edit1->clear();
        Edit1->setFocus();
        return;
    }
    const QString name = Edit1->text();
    const QString refusal = store().check(name, true);
    if (!refusal.isEmpty()) {
        notice(this, refusal);
        Edit1->setFocus();
        return;
    }
    try {
        store().add(name);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    loadList();
    setEntry(SpeedButton1, false);
}

void TLookupListForm::SpeedButton2Click()
{
    if (SpeedButton2->text() != kSave) {
        if (m_key == 0 || Edit1->text().isEmpty())
            return;
        setEntry(SpeedButton2, true);
        Edit1->setFocus();
        return;
    }
    const QString name = Edit1->text();
    const QString refusal = store().check(name, false);
    if (!refusal.isEmpty()) {
        notice(this, refusal);
        Edit1->setFocus();
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
    setEntry(SpeedButton2, false);
}

void TLookupListForm::SpeedButton3Click()
{
    if (m_key == 0 || Edit1->text().isEmpty())
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
    const int row = DBGrid1->currentRow();
    if (row < 0 || m_key == 0 || DBGrid1->item(row, 1)->text().isEmpty()) {
        reject();
        return;
    }
    G.gRepFit.Place = DBGrid1->item(row, 1)->text();
    const int message = pickMessage();
    if (!message)
        return;
    SendMessage(m_opener, message);
    accept();
}

bool TLookupListForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && picks()) {
            DBGrid1DblClick();
            return true;
        }
    }
    if (watched == DBGrid1->viewport() && event->type() == QEvent::Wheel && DBGrid1->hasFocus()) {
        const auto *w = static_cast<QWheelEvent *>(event);
        if (w->angleDelta().y() != 0) {
            moveCurrentRow(w->angleDelta().y() < 0 ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
