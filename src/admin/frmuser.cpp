#include "admin/frmuser.h"
#include "admin/accounts.h"
#include "admin/adminui.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "data/dataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kNew = QStringLiteral("新建");
const QString kChange = QStringLiteral("修改");
const QString kSave = QStringLiteral("保存");

enum Column { NameColumn, GroupColumn, DisabledColumn, RowNoColumn, PasswordColumn };

QComboBox *dataCombo(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    adminui::setEditable(c->lineEdit(), false);
    return c;
}

void showText(QComboBox *c, const QString &text)
{
    c->clear();
    c->addItem(text);
    c->setCurrentIndex(0);
}
} // namespace

TfrmUser::TfrmUser(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmUser");
    setWindowTitle("用户管理");
    setAttribute(Qt::WA_DeleteOnClose, false);

    accountGrid = adminui::listGrid(this, "DBGrid1", {"姓名", "权限", "禁用", "流水号", "密码"});
    accountGrid->setColumnHidden(RowNoColumn, true);
    accountGrid->setColumnHidden(PasswordColumn, true);
    adminui::wheelMovesCurrentRow(accountGrid);

    // The data fields show the current row and take no typing: only 新建 and 修改 change an account.
    nameField = dataCombo(this, "DBComboBox1");
    passwordField = new QLineEdit(this);
    passwordField->setObjectName("DBEdit1");
    passwordField->setEchoMode(QLineEdit::Password);
    adminui::setEditable(passwordField, false);
    groupField = dataCombo(this, "DBComboBox2");
    disabledBox = new QCheckBox("禁用", this);
    disabledBox->setObjectName("DBCheckBox1");
    disabledBox->hide();

    nameEntry = new QComboBox(this);
    nameEntry->setObjectName("ComboBox1");
    passwordEntry = new QLineEdit(this);
    passwordEntry->setObjectName("Edit1");
    passwordEntry->setEchoMode(QLineEdit::Password);
    groupEntry = new QComboBox(this);
    groupEntry->setObjectName("ComboBox2");
    groupEntry->setEditable(true);
    groupEntry->setInsertPolicy(QComboBox::NoInsert);
    for (QWidget *w : {static_cast<QWidget *>(nameEntry), static_cast<QWidget *>(passwordEntry),
                       static_cast<QWidget *>(groupEntry)})
        w->hide();
    nameEntry->installEventFilter(this);
    groupEntry->installEventFilter(this);
    groupEntry->lineEdit()->installEventFilter(this);

    newButton = adminui::flatButton(this, "SpeedButton1", kNew);
    changeButton = adminui::flatButton(this, "SpeedButton2", kChange);
    deleteButton = adminui::flatButton(this, "SpeedButton3", "删除");
    closeButton = adminui::flatButton(this, "SpeedButton4", "关闭");

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel("姓名：", this), 0, 0);
    fields->addWidget(nameField, 0, 1);
    fields->addWidget(nameEntry, 0, 1); // each entry field lies exactly over its data field
    fields->addWidget(new QLabel("密码：", this), 1, 0);
    fields->addWidget(passwordField, 1, 1);
    fields->addWidget(passwordEntry, 1, 1);
    fields->addWidget(new QLabel("权限：", this), 2, 0);
    fields->addWidget(groupField, 2, 1);
    fields->addWidget(groupEntry, 2, 1);
    auto *buttons = new QHBoxLayout;
    for (QToolButton *b : {newButton, changeButton, deleteButton})
        buttons->addWidget(b);
    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addLayout(buttons);
    right->addStretch();
    right->addWidget(closeButton, 0, Qt::AlignRight);
    auto *main = new QHBoxLayout(this);
    main->addWidget(accountGrid, 3);
    main->addLayout(right, 2);
    resize(640, 360);
    enterMovesToNextField(this);

    connect(newButton, &QToolButton::clicked, this, &TfrmUser::SpeedButton1Click);
    connect(changeButton, &QToolButton::clicked, this, &TfrmUser::SpeedButton2Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmUser::SpeedButton3Click);
    connect(closeButton, &QToolButton::clicked, this, &TfrmUser::SpeedButton4Click);
    connect(accountGrid, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous)
            followCurrentRow();
    });
}

bool TfrmUser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        const auto *f = static_cast<QFocusEvent *>(event);
        if (f->reason() != Qt::ActiveWindowFocusReason && f->reason() != Qt::PopupFocusReason) {
            if (watched == nameEntry)
                ComboBox1Enter();
            else if (watched == groupEntry || watched == groupEntry->lineEdit())
                ComboBox2Enter();
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

void TfrmUser::FormShow()
{
    writeWindowStatus(windowTitle());
    LoadUsers();
}

void TfrmUser::LoadUsers(qint64 keepRowNo)
{
    QList<Account> accounts;
    try {
        accounts = AccountStore(db()).accounts();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    {
        const QSignalBlocker block(accountGrid);
        accountGrid->setRowCount(0);
        accountGrid->setRowCount(int(accounts.size()));
        int current = accounts.isEmpty() ? -1 : 0;
        for (int i = 0; i < accounts.size(); ++i) {
            const Account &a = accounts[i];
            accountGrid->setItem(i, NameColumn, new QTableWidgetItem(a.name));
            accountGrid->setItem(i, GroupColumn, new QTableWidgetItem(a.group));
            accountGrid->setItem(i, DisabledColumn, new QTableWidgetItem(flagText(a.disabled)));
            accountGrid->setItem(i, RowNoColumn, new QTableWidgetItem(QString::number(a.rowNo)));
            accountGrid->setItem(i, PasswordColumn, new QTableWidgetItem(a.password));
            if (keepRowNo && a.rowNo == keepRowNo)
                current = i;
        }
        if (current >= 0)
            accountGrid->setCurrentCell(current, NameColumn);
    }
    followCurrentRow();
}

qint64 TfrmUser::currentRowNo() const
{
    return adminui::cellText(accountGrid, accountGrid->currentRow(), RowNoColumn).toLongLong();
}

void TfrmUser::followCurrentRow()
{
    const int row = accountGrid->currentRow();
    showText(nameField, adminui::cellText(accountGrid, row, NameColumn));
    passwordField->setText(adminui::cellText(accountGrid, row, PasswordColumn));
    showText(groupField, adminui::cellText(accountGrid, row, GroupColumn));
    disabledBox->setChecked(adminui::cellText(accountGrid, row, DisabledColumn) == QLatin1String("True"));
}

void TfrmUser::setState(State s)
{
    m_state = s;
    const bool entering = s != State::Browsing;
    nameField->setVisible(!entering);
    passwordField->setVisible(!entering);
    groupField->setVisible(!entering);
    nameEntry->setVisible(entering);
    passwordEntry->setVisible(entering);
    groupEntry->setVisible(entering);
    newButton->setText(s == State::Adding ? kSave : kNew);
    changeButton->setText(s == State::Changing ? kSave : kChange);
    newButton->setEnabled(s != State::Changing);
    changeButton->setEnabled(s != State::Adding);
    deleteButton->setEnabled(s == State::Browsing);
    // The account being changed stays the current row until it is saved.
    accountGrid->setEnabled(s != State::Changing);
}

void TfrmUser::ComboBox1Enter()
{
    QStringList staff;
    try {
        staff = AccountStore(db()).staffEntries();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    nameEntry->clear();
    nameEntry->addItems(staff);
    nameEntry->setCurrentIndex(-1);
}

void TfrmUser::ComboBox2Enter()
{
    const QString typed = groupEntry->currentText();
    QStringList groups;
    try {
        groups = AccountStore(db()).groupNames();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    const QSignalBlocker block(groupEntry);
    groupEntry->clear();
    groupEntry->addItems(groups);
    groupEntry->setEditText(typed);
}

// The checks common to both saves, in their order.
bool TfrmUser::checkEntry()
{
    if (nameEntry->currentText().isEmpty()) {
        notice(this, "请输入用户姓名!");
        return false;
    }
    if (groupEntry->currentText().isEmpty()) {
        notice(this, "请输入权限组!");
        return false;
    }
    if (passwordEntry->text().isEmpty()) {
        notice(this, "请输密码!");
        return false;
    }
    return true;
}

void TfrmUser::SpeedButton1Click()
{
    if (m_state == State::Changing)
        return;
    if (m_state == State::Browsing) {
        setState(State::Adding);
        nameEntry->clear();
        passwordEntry->clear();
        groupEntry->clear();
        groupEntry->setEditText(QString());
        return;
    }
    if (!checkEntry())
        return;
    Account a;
    a.name = nameEntry->currentText();
    a.password = passwordEntry->text();
    a.group = groupEntry->currentText();
    a.disabled = false; // a new account can log in, whichever row the list showed
    qint64 rowNo = 0;
    try {
        AccountStore store(db());
        if (store.nameTaken(a.name) || store.add(a, &rowNo) == AccountStore::Outcome::NameTaken) {
            notice(this, "用户姓名不能相同！");
            nameEntry->setFocus();
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Browsing);
    LoadUsers(rowNo);
}

void TfrmUser::SpeedButton2Click()
{
    if (m_state == State::Adding)
        return;
    if (!currentRowNo()) {
        notice(this, "请选择要修改的权限组");
        return;
    }
    if (m_state == State::Browsing) {
        m_changingRowNo = currentRowNo();
        G.gUserRowID = QString::number(m_changingRowNo);
        const int row = accountGrid->currentRow();
        setState(State::Changing);
        showText(nameEntry, adminui::cellText(accountGrid, row, NameColumn));
        passwordEntry->setText(adminui::cellText(accountGrid, row, PasswordColumn));
        groupEntry->clear();
        groupEntry->setEditText(adminui::cellText(accountGrid, row, GroupColumn));
        return;
    }
    if (!checkEntry())
        return;
    Account a;
    a.rowNo = m_changingRowNo;
    a.name = nameEntry->currentText();
    a.password = passwordEntry->text();
    a.group = groupEntry->currentText();
    try {
        AccountStore store(db());
        const std::optional<Account> stored = store.account(a.rowNo);
        if (!stored) {
            notice(this, "该用户已被删除，无法保存修改");
        } else {
            a.disabled = stored->disabled;
            if ((a.name != stored->name && store.nameTaken(a.name))
                || store.change(a) == AccountStore::Outcome::NameTaken) {
                notice(this, "用户姓名不能相同！");
                nameEntry->setFocus();
                return;
            }
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    setState(State::Browsing);
    LoadUsers(m_changingRowNo);
    m_changingRowNo = 0;
}

void TfrmUser::SpeedButton3Click()
{
    const qint64 rowNo = currentRowNo();
    if (!rowNo || !askYesNo(this, "系统提示", "您确实要删除吗?"))
        return;
    try {
        AccountStore(db()).remove(rowNo);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    LoadUsers();
}

void TfrmUser::SpeedButton4Click() { close(); }

} // namespace orv
