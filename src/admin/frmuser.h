#pragma once
// 用户管理: the operator accounts. A new account is made from a staff entry (工号.姓名), with a
// password and a privilege group; 新建 and 修改 turn into 保存 while an account is entered.
#include "app/formdialog.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmUser : public TFormDialog {
    Q_OBJECT
public:
    // Browsing the list, or entering a new account (新建 became 保存) or a changed one (修改 became 保存).
    enum class State { Browsing, Adding, Changing };

    explicit TfrmUser(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 新建 / 保存
    void SpeedButton2Click(); // 修改 / 保存
    void SpeedButton3Click(); // 删除
    void SpeedButton4Click(); // 关闭
    void ComboBox1Enter();    // the name list from the staff table
    void ComboBox2Enter();    // the group list from the privilege groups
    State state() const { return m_state; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LoadUsers(qint64 keepRowNo = 0);
    void followCurrentRow();
    void setState(State s);
    bool checkEntry();
    qint64 currentRowNo() const;

    State m_state = State::Browsing;
    qint64 m_changingRowNo = 0; // the account 修改 was pressed on

    QTableWidget *accountGrid;   // DBGrid1
    QComboBox *nameField;        // DBComboBox1
    QLineEdit *passwordField;    // DBEdit1
    QComboBox *groupField;       // DBComboBox2
    QCheckBox *disabledBox;      // DBCheckBox1, not shown
    QComboBox *nameEntry;        // ComboBox1
    QLineEdit *passwordEntry;    // Edit1
    QComboBox *groupEntry;       // ComboBox2
    QToolButton *newButton;
    QToolButton *changeButton;
    QToolButton *deleteButton;
    QToolButton *closeButton;
};

inline QPointer<TfrmUser> frmUser;

} // namespace orv
