#pragma once
// 批量选择配件: the batch picker. The operator searches the parts list, collects parts into a pick
// list (a double-click, Enter or Space adds the current part, a double-click on the pick list
// takes one out) and hands them over with 确定, one WM_FIT_BATCH per part to the purchase order
// window that opened it. The pick list lives in the dialog: nothing is written.
#include "app/formdialog.h"
#include "purchasing/partslist.h"

#include <QList>
#include <QPointer>

class QLineEdit;
class QStandardItemModel;
class QTableView;
class QToolButton;

namespace orv {

class DataSetModel;

class TfrmPiLiangChoose : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmPiLiangChoose(QWidget *opener = nullptr);

    void FormShow() override;
    void search();                   // every change of Edit1
    void pickCurrent();              // a double-click, Enter or Space on the parts list
    void dropPicked(int row);        // a double-click on the pick list
    void SpeedButton1Click();        // 确定(&F1)
    void SpeedButton2Click();        // 取消(&F2)

    DataSetModel *partModel() const { return m_partModel; }
    QTableView *partGrid() const { return partsGrid; }
    const QList<PickedPart> &picked() const { return m_picked; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPicked();

    QPointer<QWidget> m_opener;
    QList<PickedPart> m_picked;
    DataSetModel *m_partModel;
    QStandardItemModel *m_pickModel;

    QLineEdit *searchEdit;     // Edit1
    QToolButton *okButton;     // SpeedButton1
    QToolButton *cancelButton; // SpeedButton2
    QTableView *partsGrid;     // dbGridRepFit
    QTableView *pickedGrid;    // DBGrid1
};

inline QPointer<TfrmPiLiangChoose> frmPiLiangChoose;

} // namespace orv
