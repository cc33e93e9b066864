#pragma once
// The fields, pickers and picture box the new goods dialog and the goods edit dialog share.
// Each control carries its name as objectName, which tests and saved layouts use; the dialogs own the save button's
// states and what a save does.
#include "app/appglobals.h"
#include "goods/goodsstore.h"

#include <QByteArray>
#include <QObject>

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace orv {

class FieldOrder;

class GoodsForm : public QObject {
    Q_OBJECT
public:
    // Pick targets differ between the dialogs: the modes each picker is opened with.
    struct PickerModes {
        int category;       // gLeiBieMode
        int auxUnit, unit;  // gDirMode of the unit window
        int place;          // gDirMode of the storage-place window
        int supplier;       // gGysMode
    };
    GoodsForm(QDialog *dialog, const PickerModes &modes, const QString &supplierButtonName);

    QLineEdit *codeEdit;         // EditNo
    QLineEdit *nameEdit;         // EditName
    QLineEdit *mnemonicEdit;     // Edit1
    QLineEdit *categoryEdit;     // EditType
    QLineEdit *specEdit;         // EditSpic
    QLineEdit *purchasePriceEdit; // EditJin
    QComboBox *auxUnitCombo;     // ComboBox6
    QComboBox *unitCombo;        // ComboBox2
    QLineEdit *ratioEdit;        // Edit6
    QLineEdit *auxStockEdit;     // Edit4
    QLineEdit *stockEdit;        // Edit3
    QLineEdit *warningStockEdit; // EditJing
    QComboBox *warrantyCombo;    // ComboBox1
    QComboBox *placeCombo;       // ComboBox4
    QComboBox *supplierCombo;    // ComboBox3
    QLineEdit *barcodeEdit;      // EditMa
    QLineEdit *salePriceEdit;    // Edit5
    QPlainTextEdit *remarkMemo;  // Memo1
    QLabel *pictureBox;          // Image1, "无图片" when empty
    QToolButton *categoryButton, *auxUnitButton, *unitButton, *placeButton, *supplierButton;
    QPushButton *importPictureButton; // 导入
    QPushButton *clearPictureButton;  // 删除
    QPushButton *savePictureButton;   // 保存, never shown
    QPushButton *saveButton;          // BitBtn1
    QPushButton *closeButton;         // BitBtn2
    FieldOrder *order;

    GoodsRecord record() const;
    void fill(const GoodsRecord &r);
    void clear();
    QWidget *widgetOf(GoodsField f) const;
    // Shows each message, empties what the refusal empties and focuses its field.
    void refuse(const GoodsRefusal &r);
    // Read-only, button-face coloured fields (the saved state), or editable ones.
    void setLocked(bool locked);

    const QByteArray &picture() const { return m_picture; }
    // Shows the stored bytes. One that cannot be shown is a message and the box says so, but
    // the bytes are kept: picture() still holds them until 导入 or 删除.
    void showPicture(const QByteArray &bytes);
    void clearPicture();
    void loadPictureFromFile();
    void setPictureButtonsEnabled(bool enabled);

    // The pickers (button beside the field, or Enter in it).
    void pickCategory();
    void pickAuxUnit();
    void pickUnit();
    void pickPlace();
    void pickSupplier();

    // What the pickers hand back (the dialogs' MessageReceiver side).
    void unitChosen(const QString &name); // by gDirMode: auxiliary unit or unit
    void placeChosen(const QString &name);
    void supplierChosen(const QString &text);
    void categoryChosen(const QString &name);
    // A supplier or category a picker set by role; false for any other role.
    bool takeField(FieldRole role, const QString &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refill(QComboBox *combo);
    QDialog *m_dialog;
    PickerModes m_modes;
    QByteArray m_picture;
};

} // namespace orv
