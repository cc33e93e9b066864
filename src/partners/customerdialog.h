#pragma once
// What the new-customer and customer-edit dialogs share: their eighteen fields, the
// keyboard moves between them, the 拼音码 that follows the name, and the region list.
#include "app/formdialog.h"
#include "partners/customers.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace orv {

class TCustomerDialog : public TFormDialog {
    Q_OBJECT
public:
    // 保存; the twins differ in what it checks and writes.
    virtual void SpeedButton1Click() = 0;

protected:
    // `order`: the object names of the fields in the dialog's order for Enter and the arrow keys.
    TCustomerDialog(const QString &caption, const QStringList &order);

    Customer typed() const;
    void fill(const Customer &c);
    // Shows the refusal and puts the cursor into its field (none: the cursor stays).
    void refuse(const Refusal &r);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QLineEdit *nameEdit;
    QLineEdit *mnemonicEdit;
    QLineEdit *codeEdit;
    QLineEdit *phoneEdit;
    QLineEdit *faxEdit;
    QLineEdit *memberNoEdit;
    QLineEdit *mobileEdit;
    QLineEdit *postcodeEdit;
    QLineEdit *contactEdit;
    QLineEdit *emailEdit;
    QLineEdit *taxNoEdit;
    QLineEdit *phone2Edit;
    QLineEdit *addressEdit;
    QLineEdit *routeEdit;
    QLineEdit *accountEdit;
    QLineEdit *discountEdit;
    QComboBox *regionBox;
    QPlainTextEdit *remarkMemo;
    QToolButton *saveButton;
    QToolButton *closeButton;

private:
    void refillRegions();
    void moveFocus(QWidget *from, int step);
    QList<QWidget *> m_order;
};

} // namespace orv
