#pragma once
// The customer list, a child window of the main window: search as the operator types,
// new, edit and delete through the customer dialogs, export.
#include "app/appglobals.h"
#include "partners/customers.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TfrmCustom : public QWidget, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmCustom(QWidget *parent = nullptr);

    // Handlers, callable from tests as the operator's actions.
    void FormShow();
    void Edit1Change();        // every change of the search text
    void Edit1KeyEnter();      // Enter in the search text
    void SpeedButton1Click();  // 查询
    void ComboBox1Change();    // another search kind chosen
    void SpeedButton7Click();  // 新建
    void SpeedButton8Click();  // 修改 (and a double-click on a row)
    void SpeedButton9Click();  // 删除
    void SpeedButton11Click(); // export

    void onWindowMessage(int message) override;

    const QList<Customer> &rows() const { return m_rows; }
    // The current row's customer (key 0 when the list is empty).
    Customer current() const;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Lists the rows of a search kind and text and keeps them as the list's statement.
    void runStatement(CustomerSearch kind, const QString &text, qint64 current = 0);
    void search();

    QList<Customer> m_rows;
    CustomerSearch m_kind = CustomerSearch::All;
    QString m_text;
    bool m_shown = false;

    QComboBox *searchKindBox;
    QLineEdit *searchEdit;
    QToolButton *searchButton;
    QToolButton *newButton;
    QToolButton *editButton;
    QToolButton *deleteButton;
    QToolButton *exportButton;
    QTableWidget *customerGrid;
};

inline QPointer<TfrmCustom> frmCustom;

} // namespace orv
