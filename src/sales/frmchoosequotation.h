#pragma once
// [选择报价单]: finished quotations (报价单 in '完成') with their lines; a chosen quotation hands
// its customer (G.gCustom) and, one WM_QUOTE_CHOSEN each, its lines (G.gRepFit) to the sales bill
// window. No window of the program opens it yet.
#include "app/appglobals.h"
#include "app/formdialog.h"

#include <QPointer>

class QComboBox;
class QLineEdit;
class QTableView;
class QToolButton;

namespace orv {

class DataSetModel;

class TfrmChooseQuotation : public TFormDialog {
    Q_OBJECT
public:
    // `receiver`: the window the choice goes to (the sales bill window when none is given).
    explicit TfrmChooseQuotation(QWidget *receiver = nullptr);

    void FormShow() override;
    void SpeedButton1Click();            // 查询 (and Enter in Edit1)
    void Edit1Change();                  // every change of the search text
    void headerClicked(int row);         // a click on a quotation
    void choose(bool withCustomerCode);  // double-click (with 客户编号) or Enter on a quotation

    DataSetModel *quotations() const { return m_headers; }
    DataSetModel *lines() const { return m_lines; }
    const QString &currentID() const { return m_currentID; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runSearch(bool told);
    void makeCurrent(int row);

    QPointer<QWidget> m_receiver;
    QString m_currentID;
    DataSetModel *m_headers, *m_lines;
    QComboBox *searchCombo;  // ComboBox1
    QLineEdit *searchEdit;   // Edit1
    QToolButton *searchButton; // SpeedButton1
    QTableView *headerGrid;  // DBGridsalequote
    QTableView *lineGrid;    // DBGridSaleFit
};

inline QPointer<TfrmChooseQuotation> frmChooseQuotation;

} // namespace orv
