#pragma once
// The text-entry window of the script function INPUT: a prompt, an edit box and
// the buttons 确认 / 取消. Its caption is empty.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrInputForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrInputForm(QWidget *parent = nullptr);

    QLabel *promptLabel;      // "PromptLabel"
    QLineEdit *valueEdit;     // "ValueEdit"
    QPushButton *okButton;    // "OkButton"
    QPushButton *cancelButton; // "CancelButton"

    // Shows the window modally through the prompt layer with `prompt` and `text`;
    // the entered text on 确认, `text` unchanged on 取消.
    static QString Ask(const QString &prompt, const QString &text);
};
