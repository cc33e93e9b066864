#pragma once
// Barcode editor dialog: the code (or an expression), the symbology, check
// digit, human-readable text, zoom and rotation. Every field is checked
// before the dialog closes with OK; the caller applies Result().
#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TfrBarCodeView;

class TfrBarCodeForm : public QDialog {
public:
    explicit TfrBarCodeForm(QWidget *parent = nullptr);

    struct Values {
        QString Code;
        int BarType = 3;
        bool CheckSum = true;
        bool ViewText = true;
        double Zoom = 1.0;
        double Rotation = 0;
    };
    // The values the dialog closed with (valid after OK).
    const Values &Result() const { return m_result; }

    // Captions from the string table and the list of symbologies (item 0 chosen);
    // run when the dialog is made.
    void FormCreate();
    // The object's values into the controls.
    void SetValues(const TfrBarCodeView &view);
    void FormActivate();
    void ExprBtnClick();
    void frSpeedButton1Click();
    void frSpeedButton2Click();
    // Checks the code and the zoom; closes only when both are good.
    void bOkClick();

    QLabel *codeLabel = nullptr;          // Label1
    QLineEdit *codeEdit = nullptr;        // M1, with its expression button
    QAction *expressionButton = nullptr;  // M1's button
    QLabel *typeLabel = nullptr;          // Label2
    QComboBox *typeCombo = nullptr;       // cbType
    QGroupBox *optionsGroup = nullptr;    // GroupBox1
    QCheckBox *checkSumBox = nullptr;     // ckCheckSum
    QCheckBox *viewTextBox = nullptr;     // ckViewText
    QLabel *zoomLabel = nullptr;          // Label3
    QLineEdit *zoomEdit = nullptr;        // eZoom
    QToolButton *zoomUpButton = nullptr;  // frSpeedButton1
    QToolButton *zoomDownButton = nullptr; // frSpeedButton2
    QGroupBox *rotationGroup = nullptr;   // GroupBox2
    QRadioButton *rotation0 = nullptr;    // RB1
    QRadioButton *rotation90 = nullptr;   // RB2
    QRadioButton *rotation180 = nullptr;  // RB3
    QRadioButton *rotation270 = nullptr;  // RB4
    QPushButton *okButton = nullptr;      // bOk
    QPushButton *cancelButton = nullptr;  // bCancel

protected:
    void showEvent(QShowEvent *event) override;

private:
    Values m_result;
};
