#pragma once
// 选择采购单: the bill picker. Lists the documents of its mode (gSelectPuchMode: 1 approved
// purchase bills, 2 receipts into store, 3 approved finished-goods receipts) with the lines of
// the current one; a pick hands every line of the document to the window that opened it, one
// WM_PUCH_FIT per line, and closes. It changes no data.
#include "app/appglobals.h"
#include "app/formdialog.h"

#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orv {

class DataSetModel;

class TfrmSelectPuch : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmSelectPuch(QWidget *opener = nullptr);

    // What the opener shows: the window's caption and the hint of Label1.
    void setCaptions(const QString &caption, const QString &hint);

    void FormShow() override;
    void search();                  // 查询, every change of the search text, Enter in the search box
    void DBGrid1DblClick();         // pick the current document
    void DBGrid1CellClick(int row); // a document becomes current

    int mode() const { return m_mode; }
    const QString &currentDocID() const { return m_currentID; }
    DataSetModel *billModel() const { return m_billModel; }
    DataSetModel *lineModel() const { return m_lineModel; }
    QTableView *billGrid() const { return billsGrid; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runList(const QString &text);
    void makeCurrent(int row);
    void showLines();
    void moveCurrent(int delta);

    QPointer<QWidget> m_opener;
    int m_mode;
    QString m_currentID;
    DataSetModel *m_billModel;
    DataSetModel *m_lineModel;

    QComboBox *queryCombo;     // ComboBoxQuery
    QLineEdit *searchEdit;     // EditContent
    QPushButton *queryButton;  // BitBtn1
    QLabel *hintLabel;         // Label1
    QTableView *billsGrid;     // DBGrid1
    QTableView *linesGrid;     // DBGrid2
};

inline QPointer<TfrmSelectPuch> frmSelectPuch;

// An entry window opens the picker: gSelectPuchMode := mode, an earlier picker freed, the
// captions set, centred, modal.
void openBillPicker(QWidget *opener, int mode, const QString &caption, const QString &hint);

} // namespace orv
