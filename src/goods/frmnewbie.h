#pragma once
// 新建类别: adds categories, one after another, under the tree window's current node.
#include "app/formdialog.h"
#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orv {

class TfrmChooseLeiBie;

class TfrmNewbie : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmNewbie(TfrmChooseLeiBie *tree = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 保存 / 新建
    // Clears the can-save flag when a category of this name already sits under the parent.
    void cansave();

    // The code the next category gets, as last computed (shown to nobody; kept for checks).
    QString nextCode() const { return m_nextCode; }
    bool canSave() const { return m_canSave; }

protected:
private:
    void computeNextCode();
    void expandTree();

    QPointer<TfrmChooseLeiBie> m_tree;
    QString m_nextCode;
    QString m_parentName;
    QString m_parentCode;
    QString m_newLevel;
    bool m_canSave = true;

    QLabel *Label1;
    QLineEdit *Edit1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
};

inline QPointer<TfrmNewbie> frmNewbie;

} // namespace orv
