#pragma once
// 修改类别目录: renames the tree window's current category.
#include "app/formdialog.h"
#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orv {

class TfrmChooseLeiBie;

class TfrmMdfbie : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmMdfbie(TfrmChooseLeiBie *tree = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 保存 / 编辑

protected:
private:
    QPointer<TfrmChooseLeiBie> m_tree;

    QLabel *Label1;
    QLineEdit *Edit1;
    QLineEdit *Edit2; // the code, hidden
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
};

inline QPointer<TfrmMdfbie> frmMdfBie;

} // namespace orv
