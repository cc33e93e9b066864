#pragma once
// 选择货品: the goods picker of the document and audit windows. Each pick becomes one goods line
// handed over at once: to the window that opened the picker by WM_FIT_CHOSEN (gFitCaller names an
// entry window), or in audit mode (gFitCaller 14) inserted into the pending document's detail
// table, after which the line editor opens on it. The picker stays open for the next pick.
#include "app/appglobals.h"
#include "goods/goodsdialog.h"

#include <QPointer>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orv {

class DataSetModel;

class TfrmSelectFit : public GoodsDialog, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmSelectFit(QWidget *opener = nullptr);

    void FormShow() override;
    void onWindowMessage(int message) override;

    void LoadFitList();
    void search();               // 查询, and every change of the search text
    void pick();                 // double-click, 确定, Enter
    void newButtonClick();       // 新建
    void editButtonClick();      // 修改
    void newCangkuData();        // WM_CANGKU_NEW
    void mdfCangkuData();        // WM_CANGKU_MDF

    DataSetModel *listModel() const { return m_model; }
    QTableView *goodsGrid() const { return goodsList; }
    // 流水号 of the current list row; 0 when none.
    qint64 currentRowNo() const;
    void setCurrentRow(int row);
    // The line staged by the pick in progress (empty between picks).
    const QStringList &staged() const { return m_staged; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runList(const QString &text);
    void moveCurrent(int delta);
    void handOver();

    QPointer<QWidget> m_opener;
    DataSetModel *m_model;
    QStringList m_staged;

    QComboBox *queryModeCombo; // ComboBoxQuery
    QLineEdit *searchEdit;     // EditContent
    QPushButton *queryButton, *newButton, *editButton, *okButton, *cancelButton;
    QLabel *hintLabel;
    QTableView *goodsList; // DBGrid1
};

inline QPointer<TfrmSelectFit> frmSelectFit;

// Opens the picker for `opener` with the modes the caller has set (gFitCaller, gFitView,
// gFitAction, gFitFilter, gFitPrice): an earlier picker freed, centred, modal.
int openGoodsPicker(QWidget *opener);
// TfrmMain.shenhexinjian: the audit window of G.gAuditKind adds a line to its pending document
// (record ID in gPuchDocID for kind 1, gDocID for the others).
int shenhexinjian(QWidget *auditWindow);

} // namespace orv
