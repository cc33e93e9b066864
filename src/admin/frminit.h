#pragma once
// 初始化数据: the company record and the emptying of chosen groups of tables.
#include "app/formdialog.h"

#include <QHash>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace orv {

class TfrmInit : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmInit(QWidget *parent = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 全选
    void SpeedButton2Click(); // 全不选
    void SpeedButton3Click(); // 初始化
    void SpeedButton4Click(); // 关闭

    // CheckBoxN of the 数据信息 group (1..21) and the signature box (22).
    QCheckBox *box(int n) const { return m_boxes.value(n); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *companyName;  // Edit1
    QLineEdit *phone;        // Edit2
    QLineEdit *fax;          // Edit3
    QLineEdit *address;      // Edit4
    QLineEdit *postcode;     // Edit5
    QLineEdit *userCount;    // Edit6, hidden
    QLineEdit *shortName;    // Edit7
    QPlainTextEdit *business; // Memo1
    QHash<int, QCheckBox *> m_boxes;
    QList<QWidget *> m_enterChain;
    QToolButton *selectAllButton;
    QToolButton *selectNoneButton;
    QToolButton *initialiseButton;
    QToolButton *closeButton;
};

inline QPointer<TfrmInit> frmInit;

} // namespace orv
