#pragma once
// The customer picker of the sales bill window: a pick fills G.gCustom and sends
// WM_CUSTOM_CHOSEN to the window that opened the picker.
#include "app/appglobals.h"
#include "app/formdialog.h"
#include "partners/customers.h"

#include <QPointer>

class QLineEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmChooseCustom : public TFormDialog, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmChooseCustom(QWidget *opener = nullptr);

    // Handlers, callable from tests as the operator's actions.
    void FormShow() override;
    void Edit1Change();       // every change of the search box
    void SpeedButton7Click(); // 新建
    void SpeedButton8Click(); // 修改
    void dbGrid1DblClick();   // pick

    void onWindowMessage(int message) override;

    const QList<Customer> &rows() const { return m_rows; }
    Customer current() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRows(const QList<Customer> &rows);
    void loadAll();
    void moveRow(int delta);

    QPointer<QWidget> m_opener;
    QList<Customer> m_rows;

    QLineEdit *searchEdit;
    QToolButton *newButton;
    QToolButton *editButton;
    QTableWidget *customerGrid;
};

inline QPointer<TfrmChooseCustom> frmChooseCustom;

} // namespace orv
