#pragma once
// Find text in the preview: the text, case sensitivity and where to start.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrPreviewSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPreviewSearchForm(QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *Edit1;
    QGroupBox *GroupBox1, *GroupBox2;
    QCheckBox *CB1;
    QRadioButton *RB1, *RB2;
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent *e) override;
};
