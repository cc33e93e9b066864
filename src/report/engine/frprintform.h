#pragma once
// The print dialog: printer, pages, copies, collation and odd/even pages.
// Choosing a printer selects it at once in the printer layer; Cancel (or
// closing the dialog) selects the printer of before again. The last entry of
// the printer list is the virtual printer, which prints into a PDF file.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TfrSpeedButton;

class TfrPrintForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPrintForm(QWidget *parent = nullptr);

    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
    QLabel *Label4;
    QComboBox *CB1;
    QPushButton *PropButton;
    QRadioButton *RB1, *RB2, *RB3;
    QLineEdit *E2;
    QLabel *Label2;
    QLabel *Label1;
    QLineEdit *E1;
    TfrSpeedButton *frSpeedButton1, *frSpeedButton2;
    QCheckBox *CollateCB;
    QLabel *Label3;
    QWidget *PB1;
    QLabel *Label5;
    QComboBox *CB2;
    QPushButton *Button1, *Button2;

    // What the operator chose (read after OK).
    int Copies() const;                          // at least 1
    bool Collate() const;
    // Empty for all pages, the current page's number, or the typed list.
    QString PageNumbers(int currentPage) const;
    quint8 PrintPages() const;                   // 0 all, 1 odd, 2 even
    // Whether the chosen printer is the virtual one (a PDF file).
    bool ToFile() const;
    int OldIndex() const { return m_oldIndex; }

    // Handlers, reachable from tests.
    void CB1Click();
    void PropButtonClick();
    void frSpeedButton1Click();
    void frSpeedButton2Click();
    void Label3Click();
    void RB3Click();

    // An icon of a printer, 18 x 16, and the pictures of collated and uncollated sheets.
    static QPixmap PrinterIcon();
    static QPixmap CollateImage(bool collated);

public slots:
    void done(int r) override;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    int m_oldIndex = 0;
};
