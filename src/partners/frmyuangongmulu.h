#pragma once
// The staff window: the staff list with its editing, and the staff picker of the document
// windows. gStaffMode says which staff field of the opener a pick fills (36: the menu's list).
#include "app/formdialog.h"
#include "partners/staff.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmYuanGongMuLu : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmYuanGongMuLu(QWidget *opener = nullptr);

    // Handlers, callable from tests as the operator's actions.
    void FormShow() override;
    void SpeedButton1Click(); // 新建 / 保存
    void SpeedButton2Click(); // 修改 / 保存
    void SpeedButton3Click(); // 删除
    void SpeedButton6Click(); // export
    void DBGrid1DblClick();   // pick

    // The staff row whose details are shown (key 0 when the list is empty).
    const StaffMember &shown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Viewing, Adding, Editing };
    void loadStaff(qint64 current = 0);
    void showRow(int row);
    void setState(State state);
    StaffMember typed() const;
    void refuse(const Refusal &r);
    void refillDepartments();

    QPointer<QWidget> m_opener;
    QList<StaffMember> m_rows;
    StaffMember m_shown;
    State m_state = State::Viewing;

    QTableWidget *staffGrid;
    QLineEdit *noEdit;
    QComboBox *departmentBox;
    QLineEdit *nameEdit;
    QLineEdit *sexEdit;
    QLineEdit *birthEdit;
    QLineEdit *nativePlaceEdit;
    QLineEdit *idCardEdit;
    QLineEdit *phoneEdit;
    QLineEdit *mobileEdit;
    QLineEdit *basePayEdit;
    QLineEdit *allowanceEdit;
    QLineEdit *addressEdit;
    QPlainTextEdit *remarkMemo;
    QList<QLineEdit *> m_edits;
    // The role boxes the operator sees, with the role each stands for.
    QList<QPair<QCheckBox *, StaffRole>> m_roleBoxes;
    QToolButton *newButton;
    QToolButton *editButton;
    QToolButton *deleteButton;
    QToolButton *exportButton;
};

inline QPointer<TfrmYuanGongMuLu> frmYuanGongMuLu;

} // namespace orv
