#pragma once
// 修改类别目录: renames the tree window's current category.
#include "goods/goodsdialog.h"
#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orv {

class TfrmChooseLeiBie;

class TfrmMdfbie : public GoodsDialog {
    Q_OBJECT
public:
    // Entering the new name (the button saves) or saved (the button unlocks the name again).
    enum class State { Entering, Saved };

    explicit TfrmMdfbie(TfrmChooseLeiBie *tree = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 保存 / 编辑
    State state() const { return m_state; }

private:
    void setState(State s);

    QPointer<TfrmChooseLeiBie> m_tree;
    State m_state = State::Entering;

    QLabel *nameLabel;         // Label1
    QLineEdit *nameEdit;       // Edit1
    QLineEdit *codeEdit;       // Edit2, hidden: the code
    QToolButton *saveButton;   // SpeedButton1
    QToolButton *cancelButton; // SpeedButton2
};

inline QPointer<TfrmMdfbie> frmMdfBie;

} // namespace orv
