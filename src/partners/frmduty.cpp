#include "partners/frmduty.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "partners/partnersui.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("部门设置");
const QString kNew = QStringLiteral("新建");
const QString kEdit = QStringLiteral("修改");
const QString kSave = QStringLiteral("保存");
enum Column { KeyCol, CodeCol, NameCol, PhoneCol, FunctionCol, RemarkCol, ManagerCol };
} // namespace

TfrmDuty::TfrmDuty(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmDuty");
    setWindowTitle(kCaption);
    using namespace partnersui;

    departmentGrid = rowGrid("DBGrid17", {"流水号", "部门编号", "部门名称", "联系电话", "职能", "备注", "部门经理"}, this);
    departmentGrid->setColumnHidden(KeyCol, true);
    departmentGrid->verticalHeader()->hide();
    departmentGrid->installEventFilter(this);
    new RowMoves(departmentGrid);

    auto field = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    codeEdit = field("Edit15");
    nameEdit = field("Edit20");
    phoneEdit = field("Edit21");
    functionEdit = field("Edit22");
    managerEdit = field("Edit1");
    remarkMemo = new QPlainTextEdit(this);
    remarkMemo->setObjectName("Memo1");

    auto *form = new QFormLayout;
    form->addRow("部门编号：", codeEdit);
    form->addRow("部门名称：", nameEdit);
    form->addRow("联系电话：", phoneEdit);
    form->addRow("职能：", functionEdit);
    form->addRow("部门经理：", managerEdit);
    form->addRow("备注：", remarkMemo);

    newButton = flatButton("SpeedButton49", kNew, this);
    editButton = flatButton("SpeedButton50", kEdit, this);
    deleteButton = flatButton("SpeedButton51", QStringLiteral("删除"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(newButton);
    buttons->addWidget(editButton);
    buttons->addWidget(deleteButton);

    auto *right = new QVBoxLayout;
    right->addLayout(form, 1);
    right->addLayout(buttons);
    auto *main = new QHBoxLayout(this);
    main->addWidget(departmentGrid, 3);
    main->addLayout(right, 2);
    resize(860, 420);
    enterMovesToNextField(this);

    connect(newButton, &QToolButton::clicked, this, &TfrmDuty::SpeedButton49Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmDuty::SpeedButton50Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmDuty::SpeedButton51Click);
    connect(departmentGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { DBGrid17DblClick(); });
    connect(departmentGrid, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { showRow(row); });
    setState(State::Browsing);
}

void TfrmDuty::FormShow()
{
    loadDepartments();
    writeWindowStatus(kCaption);
    departmentGrid->setFocus();
}

void TfrmDuty::loadDepartments(qint64 current)
{
    try {
        m_rows = DepartmentStore(db()).rows();
    } catch (const std::exception &e) {
        m_rows.clear();
        showError(this, e);
    }
    const QSignalBlocker block(departmentGrid);
    departmentGrid->setRowCount(0);
    departmentGrid->setRowCount(int(m_rows.size()));
    int currentRow = m_rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Department &d = m_rows[i];
        const QString cells[] = {QString::number(d.key), d.code, d.name, d.phone, d.function, d.remark, d.manager};
        for (int c = 0; c < 7; ++c)
            departmentGrid->setItem(i, c, new QTableWidgetItem(cells[c]));
        if (current && d.key == current)
            currentRow = i;
    }
    if (currentRow >= 0)
        departmentGrid->setCurrentCell(currentRow, CodeCol);
    showRow(currentRow);
}

void TfrmDuty::showRow(int row)
{
    if (row < 0 || row >= m_rows.size()) {
        // Only an empty list leaves no department selected.
        if (m_rows.isEmpty()) {
            m_key = 0;
            for (QLineEdit *e : {codeEdit, nameEdit, phoneEdit, functionEdit, managerEdit})
                e->clear();
            remarkMemo->clear();
        }
        return;
    }
    const Department &d = m_rows[row];
    m_key = d.key;
    codeEdit->setText(d.code);
    nameEdit->setText(d.name);
    phoneEdit->setText(d.phone);
    functionEdit->setText(d.function);
    managerEdit->setText(d.manager);
    remarkMemo->setPlainText(d.remark);
}

void TfrmDuty::setState(State state)
{
    m_state = state;
    const bool locked = state == State::Browsing;
    for (QLineEdit *e : {codeEdit, nameEdit, phoneEdit, functionEdit, managerEdit})
        partnersui::setLocked(e, locked);
    partnersui::setLocked(remarkMemo, locked);
    newButton->setText(state == State::Adding ? kSave : kNew);
    editButton->setText(state == State::Editing ? kSave : kEdit);
    newButton->setEnabled(state != State::Editing);
    editButton->setEnabled(state != State::Adding);
    deleteButton->setEnabled(locked);
}

Department TfrmDuty::typed() const
{
    Department d;
    d.code = codeEdit->text();
    d.name = nameEdit->text();
    d.phone = phoneEdit->text();
    d.function = functionEdit->text();
    d.manager = managerEdit->text();
    d.remark = remarkMemo->toPlainText();
    return d;
}

void TfrmDuty::refuse(const Refusal &r)
{
    notice(this, r.message);
    static const QHash<QString, QString> fields = {{"部门编号", "Edit15"}, {"部门名称", "Edit20"},
                                                   {"联系电话", "Edit21"}, {"职能", "Edit22"},
                                                   {"部门经理", "Edit1"},  {"备注", "Memo1"}};
    if (r.field.isEmpty())
        return;
    if (QWidget *w = findChild<QWidget *>(fields.value(r.field)))
        w->setFocus();
}

void TfrmDuty::SpeedButton49Click()
{
    if (m_state == State::Browsing) {
        setState(State::Adding);
        for (QLineEdit *e : {codeEdit, nameEdit, phoneEdit, functionEdit, managerEdit})
            e->clear();
        remarkMemo->clear();
        codeEdit->setFocus();
        return;
    }
    if (m_state != State::Adding)
        return;
    Department d = typed();
    try {
        if (Refusal r = DepartmentStore(db()).saveNew(d)) {
            refuse(r);
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Browsing);
    loadDepartments();
}

void TfrmDuty::SpeedButton50Click()
{
    if (m_state == State::Browsing) {
        const int row = departmentGrid->currentRow();
        if (m_key == 0 || row < 0 || m_rows.value(row).code.isEmpty())
            return;
        setState(State::Editing);
        codeEdit->setFocus();
        return;
    }
    if (m_state != State::Editing)
        return;
    const qint64 key = m_key;
    try {
        if (Refusal r = DepartmentStore(db()).saveEdit(key, typed())) {
            refuse(r);
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Browsing);
    loadDepartments(key);
}

void TfrmDuty::SpeedButton51Click()
{
    if (m_state != State::Browsing || m_key == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("确认要删除?")))
        return;
    try {
        DepartmentStore(db()).remove(m_key);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    loadDepartments();
}

void TfrmDuty::DBGrid17DblClick()
{
    const int row = departmentGrid->currentRow();
    if (row < 0 || row >= m_rows.size()) {
        reject();
        return;
    }
    const DepartmentPickTarget *target = departmentPickTarget(G.gDutyMode);
    if (!target)
        return;
    const Department &d = m_rows[row];
    // The manager and the code follow only once the department text landed.
    if (setCallerField(m_opener, FieldRole::Department, target->textField, d.text())) {
        if (!target->managerField.isEmpty())
            setCallerField(m_opener, FieldRole::Department, target->managerField, d.manager);
        setCallerField(m_opener, FieldRole::Department, target->codeField, d.code);
    }
    accept();
}

bool TfrmDuty::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == departmentGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGrid17DblClick();
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
