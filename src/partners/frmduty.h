#pragma once
// The department window: keeps 部门资料 (new, edit, delete) and picks a department for the
// document window that opened it; gDutyMode says which of that window's fields a pick fills.
#include "app/formdialog.h"
#include "partners/departments.h"

#include <QPointer>

class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmDuty : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmDuty(QWidget *opener = nullptr);

    // Handlers, callable from tests as the operator's actions.
    void FormShow() override;
    void SpeedButton49Click(); // 新建 / 保存
    void SpeedButton50Click(); // 修改 / 保存
    void SpeedButton51Click(); // 删除
    void DBGrid17DblClick();   // pick

    // The 流水号 of the selected department, 0 when there is none.
    qint64 selectedKey() const { return m_key; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Browsing, Adding, Editing };
    void loadDepartments(qint64 current = 0);
    void showRow(int row);
    void setState(State state);
    Department typed() const;
    void refuse(const Refusal &r);

    QPointer<QWidget> m_opener;
    QList<Department> m_rows;
    qint64 m_key = 0;
    State m_state = State::Browsing;

    QTableWidget *departmentGrid;
    QLineEdit *codeEdit;
    QLineEdit *nameEdit;
    QLineEdit *phoneEdit;
    QLineEdit *functionEdit;
    QLineEdit *managerEdit;
    QPlainTextEdit *remarkMemo;
    QToolButton *newButton;
    QToolButton *editButton;
    QToolButton *deleteButton;
};

inline QPointer<TfrmDuty> frmDuty;

} // namespace orv
