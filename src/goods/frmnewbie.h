#pragma once
// 新建类别: adds categories, one after another, under the tree window's current node.
#include "goods/goodsdialog.h"
#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orv {

class TfrmChooseLeiBie;

class TfrmNewbie : public GoodsDialog {
    Q_OBJECT
public:
    // Entering a name (the button saves) or done (the button prepares the next entry).
    enum class State { Entering, Done };

    explicit TfrmNewbie(TfrmChooseLeiBie *tree = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 保存 / 新建
    // Clears the can-save flag when a category of this name already sits under the parent.
    void cansave();

    State state() const { return m_state; }
    // The code the next category gets, as last computed (shown to nobody; kept for checks).
    QString nextCode() const { return m_nextCode; }
    bool canSave() const { return m_canSave; }

private:
    void computeNextCode();
    void expandTree();
    void setState(State s);

    QPointer<TfrmChooseLeiBie> m_tree;
    State m_state = State::Entering;
    QString m_nextCode;
    QString m_parentName;
    QString m_parentCode;
    QString m_newLevel;
    bool m_canSave = true;

    QLabel *nameLabel;         // Label1
    QLineEdit *nameEdit;       // Edit1
    QToolButton *saveButton;   // SpeedButton1
    QToolButton *cancelButton; // SpeedButton2
};

inline QPointer<TfrmNewbie> frmNewbie;

} // namespace orv
