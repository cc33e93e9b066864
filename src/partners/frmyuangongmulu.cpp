#include "partners/frmyuangongmulu.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "partners/departments.h"
#include "partners/partnersui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("员工目录");
const QString kNew = QStringLiteral("新建");
const QString kEdit = QStringLiteral("修改");
const QString kSave = QStringLiteral("保存");
const QStringList kTitles = {"流水号", "部门", "工号", "姓名", "籍贯", "性别", "出生年月", "身份证号",
                             "电话", "手机", "住址", "底薪", "津贴", "销售员", "备注"};
enum Column { KeyCol, DeptCol, NoCol, RemarkCol = 14 };

struct BoxDef {
    const char *name;
    StaffRole role;
};
// In the order of the row of boxes; 回访员 and 报价员 have no box the operator could tick.
const BoxDef kBoxes[] = {{"CheckBox1", StaffRole::Technician}, {"CheckBox2", StaffRole::StoreKeeper},
                         {"CheckBox3", StaffRole::Salesman},   {"CheckBox5", StaffRole::Cashier},
                         {"CheckBox7", StaffRole::Picker},     {"CheckBox9", StaffRole::Invoicer},
                         {"CheckBox10", StaffRole::Shipper},   {"CheckBox11", StaffRole::Checker},
                         {"CheckBox12", StaffRole::Deliverer}, {"CheckBox13", StaffRole::Inspector},
                         {"CheckBox14", StaffRole::Receiver},  {"CheckBox15", StaffRole::Seller}};
} // namespace

TfrmYuanGongMuLu::TfrmYuanGongMuLu(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmYuanGongMuLu");
    setWindowTitle(kCaption);
    using namespace partnersui;

    staffGrid = rowGrid("DBGrid1", kTitles, this);
    staffGrid->setColumnHidden(KeyCol, true);
    staffGrid->setColumnHidden(RemarkCol, true);
    staffGrid->verticalHeader()->hide();
    staffGrid->installEventFilter(this);
    new RowMoves(staffGrid);

    auto *boxRow = new QHBoxLayout;
    for (const BoxDef &b : kBoxes) {
        auto *box = new QCheckBox(staffRoleColumn(b.role), this);
        box->setObjectName(b.name);
        boxRow->addWidget(box);
        m_roleBoxes.append({box, b.role});
    }
    boxRow->addStretch();
    exportButton = new QToolButton(this);
    exportButton->setObjectName("SpeedButton6");
    exportButton->setAutoRaise(true);
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    exportButton->setToolTip(QStringLiteral("导出到Excel"));
    boxRow->addWidget(exportButton);

    auto field = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        m_edits << e;
        return e;
    };
    noEdit = field("Edit1");
    departmentBox = new QComboBox(this);
    departmentBox->setObjectName("ComboBox1");
    // Editable only to show the stored text: a department is chosen from the list, never typed.
    departmentBox->setEditable(true);
    departmentBox->lineEdit()->setReadOnly(true);
    departmentBox->installEventFilter(this);
    nameEdit = field("Edit2");
    sexEdit = field("Edit3");
    birthEdit = field("Edit4");
    nativePlaceEdit = field("Edit5");
    idCardEdit = field("Edit6");
    phoneEdit = field("Edit7");
    mobileEdit = field("Edit8");
    basePayEdit = field("Edit9");
    allowanceEdit = field("Edit10");
    addressEdit = field("Edit11");
    remarkMemo = new QPlainTextEdit(this);
    remarkMemo->setObjectName("Memo1");
    // Digits and one decimal point; a second point is refused.
    const QRegularExpression money(QStringLiteral("\\d*\\.?\\d*"));
    basePayEdit->setValidator(new QRegularExpressionValidator(money, basePayEdit));
    allowanceEdit->setValidator(new QRegularExpressionValidator(money, allowanceEdit));

    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    const QList<QPair<QString, QWidget *>> cells = {
        {"工号：", noEdit},          {"所在部门：", departmentBox}, {"姓名：", nameEdit},
        {"性别：", sexEdit},         {"出生年月：", birthEdit},     {"籍贯：", nativePlaceEdit},
        {"身份证号：", idCardEdit},  {"电话：", phoneEdit},         {"手机：", mobileEdit},
        {"底薪：", basePayEdit},     {"津贴：", allowanceEdit},     {"住址：", addressEdit}};
    for (int i = 0; i < cells.size(); ++i) {
        grid->addWidget(new QLabel(cells[i].first, page), i / 3, (i % 3) * 2);
        grid->addWidget(cells[i].second, i / 3, (i % 3) * 2 + 1);
    }
    grid->addWidget(new QLabel("备注：", page), 4, 0);
    grid->addWidget(remarkMemo, 4, 1, 1, 5);
    newButton = flatButton("SpeedButton1", kNew, page);
    editButton = flatButton("SpeedButton2", kEdit, page);
    deleteButton = flatButton("SpeedButton3", QStringLiteral("删除"), page);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(newButton);
    buttons->addWidget(editButton);
    buttons->addWidget(deleteButton);
    grid->addLayout(buttons, 5, 0, 1, 6);
    auto *pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    pages->addTab(page, QStringLiteral("基本信息"));

    auto *main = new QVBoxLayout(this);
    main->addWidget(staffGrid, 1);
    main->addLayout(boxRow);
    main->addWidget(pages);
    resize(980, 620);

    // Enter goes from field to field in this order.
    QWidget *order[] = {noEdit,     departmentBox, nameEdit,    sexEdit,       birthEdit,
                        nativePlaceEdit, idCardEdit, phoneEdit, mobileEdit,    basePayEdit,
                        allowanceEdit,  addressEdit, remarkMemo};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    enterMovesToNextField(this);

    connect(newButton, &QToolButton::clicked, this, &TfrmYuanGongMuLu::SpeedButton1Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmYuanGongMuLu::SpeedButton2Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmYuanGongMuLu::SpeedButton3Click);
    connect(exportButton, &QToolButton::clicked, this, &TfrmYuanGongMuLu::SpeedButton6Click);
    connect(staffGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { DBGrid1DblClick(); });
    connect(staffGrid, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { showRow(row); });
    setState(State::Viewing);
}

void TfrmYuanGongMuLu::FormShow()
{
    loadStaff();
    setState(State::Viewing);
    writeWindowStatus(kCaption);
    staffGrid->setFocus();
}

void TfrmYuanGongMuLu::loadStaff(qint64 current)
{
    try {
        m_rows = StaffStore(db()).rows();
    } catch (const std::exception &e) {
        m_rows.clear();
        showError(this, e);
    }
    const QSignalBlocker block(staffGrid);
    staffGrid->setRowCount(0);
    staffGrid->setRowCount(int(m_rows.size()));
    int currentRow = m_rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        const StaffMember &m = m_rows[i];
        const QString cells[] = {QString::number(m.key), m.department, m.no, m.name, m.nativePlace, m.sex,
                                 m.birth, m.idCard, m.phone, m.mobile, m.address, m.basePay, m.allowance,
                                 flagText(m.hasRole(StaffRole::Seller)), m.remark};
        for (int c = 0; c < int(std::size(cells)); ++c)
            staffGrid->setItem(i, c, new QTableWidgetItem(cells[c]));
        if (current && m.key == current)
            currentRow = i;
    }
    if (currentRow >= 0)
        staffGrid->setCurrentCell(currentRow, NoCol);
    showRow(currentRow);
}

void TfrmYuanGongMuLu::showRow(int row)
{
    // Every move loads the new row in every state: fields, department and all role flags.
    m_shown = row >= 0 && row < m_rows.size() ? m_rows[row] : StaffMember{};
    const StaffMember &m = m_shown;
    noEdit->setText(m.no);
    departmentBox->setEditText(m.department);
    nameEdit->setText(m.name);
    sexEdit->setText(m.sex);
    birthEdit->setText(m.birth);
    nativePlaceEdit->setText(m.nativePlace);
    idCardEdit->setText(m.idCard);
    phoneEdit->setText(m.phone);
    mobileEdit->setText(m.mobile);
    basePayEdit->setText(m.basePay);
    allowanceEdit->setText(m.allowance);
    addressEdit->setText(m.address);
    remarkMemo->setPlainText(m.remark);
    for (const auto &[box, role] : std::as_const(m_roleBoxes))
        box->setChecked(m.hasRole(role));
}

void TfrmYuanGongMuLu::setState(State state)
{
    m_state = state;
    const bool locked = state == State::Viewing;
    for (QLineEdit *e : std::as_const(m_edits))
        partnersui::setLocked(e, locked);
    partnersui::setLocked(remarkMemo, locked);
    for (const auto &entry : std::as_const(m_roleBoxes))
        entry.first->setEnabled(!locked);
    newButton->setText(state == State::Adding ? kSave : kNew);
    editButton->setText(state == State::Editing ? kSave : kEdit);
    newButton->setEnabled(state != State::Editing);
    editButton->setEnabled(state != State::Adding);
    deleteButton->setEnabled(locked);
}

StaffMember TfrmYuanGongMuLu::typed() const
{
    StaffMember m;
    // Flags without a box keep what the shown row holds (a new row has none set).
    if (m_state == State::Editing)
        m.roles = m_shown.roles;
    m.department = departmentBox->currentText();
    m.no = noEdit->text();
    m.name = nameEdit->text();
    m.sex = sexEdit->text();
    m.birth = birthEdit->text();
    m.nativePlace = nativePlaceEdit->text();
    m.idCard = idCardEdit->text();
    m.phone = phoneEdit->text();
    m.mobile = mobileEdit->text();
    m.basePay = basePayEdit->text();
    m.allowance = allowanceEdit->text();
    m.address = addressEdit->text();
    m.remark = remarkMemo->toPlainText();
    for (const auto &[box, role] : m_roleBoxes)
        m.setRole(role, box->isChecked());
    return m;
}

void TfrmYuanGongMuLu::refuse(const Refusal &r)
{
    notice(this, r.message);
    static const QHash<QString, QString> fields = {
        {"工号", "Edit1"},     {"部门", "ComboBox1"}, {"姓名", "Edit2"},  {"性别", "Edit3"},
        {"出生年月", "Edit4"}, {"籍贯", "Edit5"},     {"身份证号", "Edit6"}, {"电话", "Edit7"},
        {"手机", "Edit8"},     {"底薪", "Edit9"},     {"津贴", "Edit10"}, {"住址", "Edit11"}};
    if (r.field.isEmpty())
        return;
    if (QWidget *w = findChild<QWidget *>(fields.value(r.field)))
        w->setFocus();
}

void TfrmYuanGongMuLu::refillDepartments()
{
    const QString keep = departmentBox->currentText();
    QStringList names;
    try {
        for (const Department &d : DepartmentStore(db()).rows())
            names << d.name;
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    const QSignalBlocker block(departmentBox);
    departmentBox->clear();
    departmentBox->addItems(names);
    departmentBox->setCurrentIndex(-1);
    departmentBox->setEditText(keep);
}

void TfrmYuanGongMuLu::SpeedButton1Click()
{
    if (m_state == State::Viewing) {
        setState(State::Adding);
        for (QLineEdit *e : std::as_const(m_edits))
            e->clear();
        departmentBox->setEditText(QString());
        remarkMemo->clear();
        for (const auto &entry : std::as_const(m_roleBoxes))
            entry.first->setChecked(false);
        noEdit->setFocus();
        return;
    }
    if (m_state != State::Adding)
        return;
    StaffMember m = typed();
    try {
        if (Refusal r = StaffStore(db()).saveNew(m)) {
            refuse(r);
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Viewing);
    loadStaff();
}

void TfrmYuanGongMuLu::SpeedButton2Click()
{
    if (m_state == State::Viewing) {
        if (m_shown.key == 0)
            return;
        setState(State::Editing);
        noEdit->setFocus();
        return;
    }
    if (m_state != State::Editing)
        return;
    const qint64 key = m_shown.key;
    try {
        if (Refusal r = StaffStore(db()).saveEdit(key, typed())) {
            refuse(r);
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Viewing);
    loadStaff(key);
}

void TfrmYuanGongMuLu::SpeedButton3Click()
{
    if (m_state != State::Viewing || m_shown.key == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("确认要删除?")))
        return;
    try {
        StaffStore(db()).remove(m_shown.key);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    loadStaff();
}

void TfrmYuanGongMuLu::SpeedButton6Click()
{
    if (m_shown.key == 0)
        return;
    try {
        ExcelExport::run(this, staffExportSheet(StaffStore(db()).rows()), kCaption);
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

void TfrmYuanGongMuLu::DBGrid1DblClick()
{
    if (m_shown.key == 0) {
        reject();
        return;
    }
    if (G.gStaffMode == kStaffMenuMode)
        return;
    if (const StaffPickTarget *target = staffPickTarget(G.gStaffMode))
        setCallerField(m_opener, FieldRole::Staff, target->field, m_shown.text());
    accept();
}

bool TfrmYuanGongMuLu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == staffGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGrid1DblClick();
            return true;
        }
    }
    if (watched == departmentBox && event->type() == QEvent::FocusIn)
        refillDepartments();
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
