#pragma once
// The part the supplier list and the supplier picker share: the search bar (field selector,
// search box, 查询), the grid of suppliers and the memo with the current supplier's 备注.
// The current supplier follows the grid's current row; the mouse wheel over the grid moves it.
#include "goods/suppliers.h"

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QToolButton;
class QWidget;

namespace orv {

class DataSetModel;

class SupplierBrowser : public QObject {
    Q_OBJECT
public:
    // Builds the controls as children of `window`; `withMnemonic`: the picker's selector.
    SupplierBrowser(QWidget *window, bool withMnemonic);

    QComboBox *searchField; // ComboBox1
    QLineEdit *searchEdit;  // Edit1
    QToolButton *queryButton;
    QTableView *supplierGrid; // DBGrid1
    QPlainTextEdit *remarkMemo; // Memo1
    DataSetModel *model;
    // Columns the window does not show.
    QStringList hiddenColumns{"流水号", "备注", "采购供应商", "三包厂商", "保险单位", "车管单位", "助记码"};

    // The whole list; the first row current.
    void loadAll();
    // The search of the selector and the search box; the first row current.
    void search();
    // The statement shown last, run again; `rowNo` current when still listed.
    void reload(qint64 rowNo);

    int rowCount() const;
    // 流水号 of the current row; 0 when no row is current.
    qint64 currentRowNo() const;
    std::optional<Supplier> currentSupplier() const;
    void moveCurrent(int delta);
    void setCurrentRow(int row);

signals:
    void currentChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run(const QString &item, const QString &text, qint64 keepRowNo);
    void followCurrent();
    QWidget *m_window;
    QString m_item, m_text; // what the list shows
};

} // namespace orv
