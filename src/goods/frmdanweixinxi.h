#pragma once
// 供应商信息: enters a new supplier or changes one. One opening can save several times: after
// a save the fields are locked and the save button offers 新建 (new mode) or 编辑 (edit mode).
#include "goods/goodsdialog.h"
#include "goods/suppliers.h"

#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace orv {

class TfrmDanWeiXinXi : public GoodsDialog {
    Q_OBJECT
public:
    // Where the dialog stands; the shown save button's caption follows it.
    enum class State { NewEntering, NewSaved, EditEntering, EditSaved };

    explicit TfrmDanWeiXinXi(QWidget *parent = nullptr);

    void FormShow() override;
    // New mode (opening, 新建): the fields emptied, the next supplier code into 单位编号, the
    // new-mode save button shown. False (the operator told why, the dialog as it was) when no
    // code could be read.
    bool getTaskNo();
    // Edit mode: the fields from the supplier row; the edit-mode save button shown.
    void fillFrom(const Supplier &s);

    void SpeedButton1Click(); // new mode: 保存 / 新建
    void SpeedButton3Click(); // edit mode: 保存 / 编辑

    State state() const { return m_state; }
    // The fields as they stand, as a supplier record.
    Supplier typed() const;

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void setLocked(bool locked);
    void clearFields();
    void focusField(SupplierField f);
    void refuse(const SupplierRefusal &r);
    QWidget *widgetOf(SupplierField f) const;
    void setState(State s);

    State m_state = State::NewEntering;

    QLineEdit *nameEdit;     // Edit1 单位名称
    QLineEdit *mnemonicEdit; // Edit14 拼音码
    QLineEdit *codeEdit;     // Edit13 单位编号
    QLineEdit *contactEdit;  // Edit2
    QLineEdit *phoneEdit;    // Edit3
    QLineEdit *faxEdit;      // Edit4
    QLineEdit *postcodeEdit; // Edit5
    QLineEdit *emailEdit;    // Edit7
    QLineEdit *qqEdit;       // Edit8
    QLineEdit *accountEdit;  // Edit9
    QLineEdit *taxNoEdit;    // Edit10
    QLineEdit *scopeEdit;    // Edit11
    QLineEdit *webEdit;      // Edit12
    QLineEdit *addressEdit;  // Edit6
    QPlainTextEdit *remarkMemo; // Memo1
    QLabel *rowNoLabel;      // Label15, hidden: the 流水号 being edited
    QCheckBox *purchasingCheck, *warrantyCheck, *insuranceCheck, *vehicleCheck; // CheckBox1..4, hidden
    QToolButton *newSaveButton;  // SpeedButton1
    QToolButton *editSaveButton; // SpeedButton3
    QToolButton *closeButton;    // SpeedButton2
};

inline QPointer<TfrmDanWeiXinXi> frmDanWeiXinXi;

// The supplier list's and the picker's way in: gGysEditMode := 1 and a new supplier, or
// gGysEditMode := 2 and the given supplier; modal, centred, an earlier instance freed first.
void openSupplierDialogNew();
void openSupplierDialogEdit(const Supplier &s);

} // namespace orv
