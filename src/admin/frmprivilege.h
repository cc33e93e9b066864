#pragma once
// 权限组: the privilege groups with their 55 flags on seven pages. 新建 and 修改 turn into 保存
// while a group is entered; "超级管理员" is shown but neither changed nor deleted.
#include "admin/privileges.h"
#include "app/formdialog.h"

#include <QPointer>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmPrivilege : public TFormDialog {
    Q_OBJECT
public:
    // Browsing the groups, or entering a new group (新建 became 保存) or a changed one (修改 became 保存).
    enum class State { Browsing, Adding, Changing };

    explicit TfrmPrivilege(QWidget *parent = nullptr);

    void FormShow() override;
    void btnNewClick();
    void btnMdfClick();
    void btnDelClick();
    void btnCancelClick();

    // The check box of flag n (1..55).
    QCheckBox *flagBox(int n) const { return m_boxes[size_t(n - 1)]; }
    // The flag values the next save writes, as the boxes last recorded them.
    const PrivilegeFlags &flagValues() const { return m_values; }
    State state() const { return m_state; }

private:
    void LoadPrivilegeGroups(qint64 keepRowNo = 0);
    void showCurrentGroup();
    void setState(State s);
    qint64 currentRowNo() const;
    QString currentName() const;
    void fail(const std::exception &e);

    PrivilegeStore store() const;

    PrivilegeFlags m_values{};
    State m_state = State::Browsing;
    qint64 m_changingRowNo = 0; // the group 修改 was pressed on

    QTableWidget *groupGrid;
    QLineEdit *groupField;       // DBEditGroup
    QLineEdit *descriptionField; // DBEditDesc
    QLineEdit *groupEntry;       // edtGroup
    QLineEdit *descriptionEntry; // edtDesc
    QToolButton *newButton;
    QToolButton *changeButton;
    QToolButton *deleteButton;
    QToolButton *closeButton;
    QTabWidget *pages;
    std::array<QCheckBox *, kPrivilegeFlagCount> m_boxes{};
};

inline QPointer<TfrmPrivilege> frmPrivilege;

} // namespace orv
