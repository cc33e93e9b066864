#pragma once
// The password of a protected report, asked when the report is opened.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrPasswForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPasswForm(QWidget *parent = nullptr);

    QLineEdit *E1;
    QLabel *L1, *L2;     // L2 (retype to confirm) is hidden unless the caller shows it
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent *e) override;
};

// Asks for the password of a protected report through the prompt layer;
// false when the operator cancels. The report loader calls it.
bool frAskReportPassword(QString &password);
