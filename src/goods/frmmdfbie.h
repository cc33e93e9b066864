#pragma once
// 修改类别目录: renames the tree window's current category.
#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orv {

class TfrmChooseLeiBie;

class TfrmMdfbie : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMdfbie(TfrmChooseLeiBie *tree = nullptr);

    void FormShow();
    void SpeedButton1Click(); // 保存 / 编辑

protected:
    void showEvent(QShowEvent *e) override;

private:
    QPointer<TfrmChooseLeiBie> m_tree;
    bool m_shown = false;

    QLabel *Label1;
    QLineEdit *Edit1;
    QLineEdit *Edit2; // the code, hidden
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
};

inline QPointer<TfrmMdfbie> frmMdfBie;

} // namespace orv
