#include "admin/frmprivilege.h"
#include "admin/adminui.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"

#include <QCheckBox>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kNew = QStringLiteral("新建");
const QString kChange = QStringLiteral("修改");
const QString kSave = QStringLiteral("保存");
const QString kSaved = QStringLiteral("更新完毕请重新启动程序后权限才能生效");

const char *const kPageTitles[] = {"系统维护", "基础信息", "采购管理", "仓库管理", "销售管理", "借入借出管理", "统计分析"};

struct FlagBox {
    int box;          // CheckBoxN
    const char *caption;
    int page;         // -1: not shown
};

// Flag n at index n - 1.
const FlagBox kFlagBoxes[kPrivilegeFlagCount] = {
    {1, "系统初始化", 0},     {2, "权限设置", 0},     {3, "用户管理", 0},     {4, "密码修改", 0},
    {5, "基础数据", 1},       {6, "客户目录", 1},     {7, "往来单位", 1},     {8, "部门资料", 1},
    {9, "人员目录", 1},       {10, "采购订货", 2},    {11, "采购审核", 2},    {12, "验收入库", 2},
    {13, "进货退货", 2},      {19, "采购订单", 2},    {22, "采购单", 2},      {23, "采购入库单", 2},
    {24, "进货退货单", 2},    {25, "商品库存", 3},    {26, "车间领用", 3},    {27, "成品入库", 3},
    {28, "车间调拨", 3},      {29, "次品返工", 3},    {30, "货品报损", 3},    {31, "货品盘点", 3},
    {37, "车间领用单", 3},    {38, "成品入库单", 3},  {39, "车间调拨单", 3},  {40, "次品返工单", 3},
    {41, "货品报损单", 3},    {42, "货品盘点单", 3},  {43, "销售订单", 4},    {44, "销售审核", 4},
    {45, "销售退货", 4},      {46, "退货审核", -1},   {47, "货品赠送", 4},    {48, "销售订单单据", 4},
    {49, "销售单", 4},        {50, "销售退货单", 4},  {51, "公司赠送单", 4},  {52, "商品借出", 5},
    {53, "商品归还", 5},      {54, "商品借出单", 5},  {55, "商品归还单", 5},  {56, "数据备份", 0},
    {57, "数据恢复", 0},      {58, "数据导入", 0},    {14, "进货退货审核", 2}, {15, "货品报损审核", 3},
    {16, "类别目录", 1},      {17, "系统日志", 0},    {18, "删除单据", -1},   {20, "出入库汇总", 6},
    {21, "出入库明细", 6},    {32, "仓库调拨", 3},    {33, "仓库调拨单", 3}};
} // namespace

TfrmPrivilege::TfrmPrivilege(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmPrivilege");
    setWindowTitle("权限组");
    // Kept when closed; the menu frees it at the next opening.
    setAttribute(Qt::WA_DeleteOnClose, false);

    groupGrid = adminui::listGrid(this, "DBGrid1", {"组", "描述", "流水号"});
    groupGrid->setColumnHidden(2, true);
    adminui::wheelMovesCurrentRow(groupGrid);

    auto fieldPair = [this](const QString &dataName, const QString &entryName, QLineEdit *&data, QLineEdit *&entry) {
        data = new QLineEdit(this);
        data->setObjectName(dataName);
        adminui::setEditable(data, false);
        entry = new QLineEdit(this);
        entry->setObjectName(entryName);
        entry->hide();
    };
    fieldPair("DBEditGroup", "edtGroup", groupField, groupEntry);
    fieldPair("DBEditDesc", "edtDesc", descriptionField, descriptionEntry);

    newButton = adminui::flatButton(this, "btnNew", kNew);
    changeButton = adminui::flatButton(this, "btnMdf", kChange);
    deleteButton = adminui::flatButton(this, "btnDel", "删除");
    closeButton = adminui::flatButton(this, "btnCancel", "关闭");

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel("权限组：", this), 0, 0);
    fields->addWidget(groupField, 0, 1);
    fields->addWidget(groupEntry, 0, 1); // the entry field lies exactly over the data field
    fields->addWidget(new QLabel("组描述：", this), 1, 0);
    fields->addWidget(descriptionField, 1, 1);
    fields->addWidget(descriptionEntry, 1, 1);
    auto *buttons = new QHBoxLayout;
    for (QToolButton *b : {newButton, changeButton, deleteButton, closeButton})
        buttons->addWidget(b);
    buttons->addStretch();

    pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    QList<QGridLayout *> pageLayouts;
    for (const char *title : kPageTitles) {
        auto *page = new QWidget(pages);
        auto *grid = new QGridLayout(page);
        grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        pages->addTab(page, QString::fromUtf8(title));
        pageLayouts << grid;
    }
    QList<int> perPage(int(pageLayouts.size()), 0);
    for (int n = 1; n <= kPrivilegeFlagCount; ++n) {
        const FlagBox &f = kFlagBoxes[n - 1];
        auto *box = new QCheckBox(QString::fromUtf8(f.caption), this);
        box->setObjectName(QString("CheckBox%1").arg(f.box));
        m_boxes[size_t(n - 1)] = box;
        if (f.page < 0) {
            box->hide(); // follows the shown group and is saved with it, but cannot be changed here
        } else {
            const int i = perPage[f.page]++;
            pageLayouts[f.page]->addWidget(box, i / 3, i % 3);
        }
        // Every change of a box, the operator's or a shown group's, is the value a save writes.
        connect(box, &QCheckBox::toggled, this, [this, n](bool on) { m_values[size_t(n - 1)] = on; });
    }

    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addLayout(buttons);
    right->addWidget(new QLabel("权限分配", this));
    right->addWidget(pages, 1);
    auto *main = new QHBoxLayout(this);
    main->addWidget(groupGrid, 2);
    main->addLayout(right, 3);
    resize(760, 420);

    connect(newButton, &QToolButton::clicked, this, &TfrmPrivilege::btnNewClick);
    connect(changeButton, &QToolButton::clicked, this, &TfrmPrivilege::btnMdfClick);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmPrivilege::btnDelClick);
    connect(closeButton, &QToolButton::clicked, this, &TfrmPrivilege::btnCancelClick);
    // Clicks, wheel turns and arrow keys alike show the group of the new current row.
    connect(groupGrid, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous)
            showCurrentGroup();
    });
}

PrivilegeStore TfrmPrivilege::store() const { return PrivilegeStore(db()); }

void TfrmPrivilege::fail(const std::exception &e) { showError(this, e); }

void TfrmPrivilege::FormShow()
{
    writeWindowStatus(windowTitle());
    LoadPrivilegeGroups();
    showCurrentGroup();
    groupGrid->setFocus();
}

void TfrmPrivilege::LoadPrivilegeGroups(qint64 keepRowNo)
{
    QList<PrivilegeGroup> groups;
    try {
        groups = store().groups();
    } catch (const std::exception &e) {
        fail(e);
    }
    const QSignalBlocker block(groupGrid);
    groupGrid->setRowCount(0);
    groupGrid->setRowCount(int(groups.size()));
    int current = groups.isEmpty() ? -1 : 0;
    for (int i = 0; i < groups.size(); ++i) {
        groupGrid->setItem(i, 0, new QTableWidgetItem(groups[i].name));
        groupGrid->setItem(i, 1, new QTableWidgetItem(groups[i].description));
        groupGrid->setItem(i, 2, new QTableWidgetItem(QString::number(groups[i].rowNo)));
        if (keepRowNo && groups[i].rowNo == keepRowNo)
            current = i;
    }
    if (current >= 0)
        groupGrid->setCurrentCell(current, 0);
    groupField->setText(adminui::cellText(groupGrid, current, 0));
    descriptionField->setText(adminui::cellText(groupGrid, current, 1));
}

qint64 TfrmPrivilege::currentRowNo() const { return adminui::cellText(groupGrid, groupGrid->currentRow(), 2).toLongLong(); }

QString TfrmPrivilege::currentName() const { return adminui::cellText(groupGrid, groupGrid->currentRow(), 0); }

void TfrmPrivilege::showCurrentGroup()
{
    const int row = groupGrid->currentRow();
    const qint64 rowNo = currentRowNo();
    G.gPrivGroupID = rowNo ? QString::number(rowNo) : QString();
    groupField->setText(adminui::cellText(groupGrid, row, 0));
    descriptionField->setText(adminui::cellText(groupGrid, row, 1));
    PrivilegeFlags flags{};
    if (rowNo) {
        try {
            flags = store().flags(rowNo);
        } catch (const std::exception &e) {
            fail(e);
        }
    }
    // While a group is entered its save button stays as it is; in browse state the buttons follow the row.
    if (m_state == State::Browsing) {
        const bool editable = rowNo && currentName() != kSuperGroup;
        changeButton->setEnabled(editable);
        deleteButton->setEnabled(editable);
    }
    for (int n = 1; n <= kPrivilegeFlagCount; ++n)
        m_boxes[size_t(n - 1)]->setChecked(flags[size_t(n - 1)]);
    // A box whose state did not change still holds the value a save writes.
    for (int n = 1; n <= kPrivilegeFlagCount; ++n)
        m_values[size_t(n - 1)] = m_boxes[size_t(n - 1)]->isChecked();
}

// Leaving an entry, the caller shows the current group, which sets 修改 and 删除 by its row.
void TfrmPrivilege::setState(State s)
{
    m_state = s;
    const bool entering = s != State::Browsing;
    groupField->setVisible(!entering);
    descriptionField->setVisible(!entering);
    groupEntry->setVisible(entering);
    descriptionEntry->setVisible(entering);
    newButton->setText(s == State::Adding ? kSave : kNew);
    changeButton->setText(s == State::Changing ? kSave : kChange);
    newButton->setEnabled(s != State::Changing);
    if (entering) {
        changeButton->setEnabled(s == State::Changing);
        deleteButton->setEnabled(false);
    }
    // The boxes must stay the changed group's until it is saved.
    groupGrid->setEnabled(s != State::Changing);
}

void TfrmPrivilege::btnNewClick()
{
    if (m_state == State::Changing)
        return;
    if (m_state == State::Browsing) {
        setState(State::Adding);
        groupEntry->clear();
        descriptionEntry->clear();
        groupEntry->setFocus();
        return;
    }
    const QString name = groupEntry->text();
    const QString description = descriptionEntry->text();
    qint64 rowNo = 0;
    try {
        if (store().nameTaken(name)) {
            notice(this, "组名不能相同！");
            groupEntry->clear();
            return;
        }
        if (name.isEmpty()) {
            notice(this, "权限组名称不能为空!");
            groupEntry->setFocus();
            return;
        }
        if (store().add(name, description, m_values, &rowNo) == PrivilegeStore::Outcome::NameTaken) {
            notice(this, "组名不能相同！");
            groupEntry->clear();
            return;
        }
    } catch (const std::exception &e) {
        fail(e);
        return;
    }
    setState(State::Browsing);
    // The new group becomes the current row: the boxes already hold its flags.
    LoadPrivilegeGroups(rowNo);
    showCurrentGroup();
    notice(this, kSaved);
}

void TfrmPrivilege::btnMdfClick()
{
    if (m_state == State::Adding)
        return;
    if (m_state == State::Browsing) {
        if (!currentRowNo() || currentName() == kSuperGroup) {
            notice(this, "超级管理员组不能修改");
            return;
        }
        m_changingRowNo = currentRowNo();
        G.gPrivGroupID = QString::number(m_changingRowNo);
        const QString description = adminui::cellText(groupGrid, groupGrid->currentRow(), 1);
        groupEntry->setText(currentName());
        descriptionEntry->setText(description);
        setState(State::Changing);
        groupEntry->setFocus();
        return;
    }
    // The save goes to the group 修改 was pressed on.
    const qint64 rowNo = m_changingRowNo;
    const QString name = groupEntry->text();
    const QString description = descriptionEntry->text();
    try {
        const std::optional<PrivilegeGroup> stored = store().group(rowNo);
        if (stored && name != stored->name && store().nameTaken(name)) {
            notice(this, "组名不能相同！");
            groupEntry->clear();
            return;
        }
        // An empty name would leave the group's accounts naming no group.
        if (name.isEmpty()) {
            notice(this, "权限组名称不能为空!");
            groupEntry->setFocus();
            return;
        }
        if (stored && stored->name == kSuperGroup) {
            notice(this, "超级管理员组不能修改");
            return;
        }
        G.gPrivGroupID = QString::number(rowNo);
        // With every box clear the stored flags stay: only name and description change.
        const bool anyTicked = std::find(m_values.begin(), m_values.end(), true) != m_values.end();
        const auto outcome = store().change(rowNo, name, description,
                                            anyTicked ? std::optional<PrivilegeFlags>(m_values) : std::nullopt);
        if (outcome == PrivilegeStore::Outcome::NameTaken) {
            notice(this, "组名不能相同！");
            groupEntry->clear();
            return;
        }
        if (outcome == PrivilegeStore::Outcome::Vanished) {
            notice(this, "该权限组已被删除，无法保存修改");
            m_changingRowNo = 0;
            setState(State::Browsing);
            LoadPrivilegeGroups();
            showCurrentGroup();
            return;
        }
    } catch (const std::exception &e) {
        fail(e);
        return;
    }
    m_changingRowNo = 0;
    setState(State::Browsing);
    LoadPrivilegeGroups(rowNo);
    showCurrentGroup();
    notice(this, kSaved);
}

void TfrmPrivilege::btnDelClick()
{
    const qint64 rowNo = currentRowNo();
    if (!rowNo || currentName() == kSuperGroup) {
        notice(this, "超级管理员不能删除");
        return;
    }
    try {
        store().remove(rowNo);
    } catch (const std::exception &e) {
        fail(e);
        return;
    }
    LoadPrivilegeGroups();
    showCurrentGroup();
}

void TfrmPrivilege::btnCancelClick() { close(); }

} // namespace orv
