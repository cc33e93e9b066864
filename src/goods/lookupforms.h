#pragma once
// The unit, storage-place and customer-region windows: one template over three tables.
// The unit and storage-place windows also pick: opened from another window, they are told
// that window and hand the chosen name back to it alone (gRepFit.Place + a window message).
#include "goods/lookups.h"

#include "goods/goodsdialog.h"
#include <QPointer>

class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace orv {

class TLookupListForm : public GoodsDialog {
    Q_OBJECT
public:
    // Browsing the list, or entering a new name (新建 became 保存) or a changed one (修改 became 保存).
    enum class State { Browsing, Adding, Changing };

    TLookupListForm(LookupKind kind, QWidget *opener, QWidget *parent = nullptr);

    // Handlers, callable from tests as the operator's actions.
    void FormShow() override;
    void SpeedButton1Click(); // 新建 / 保存
    void SpeedButton2Click(); // 修改 / 保存
    void SpeedButton3Click(); // 删除
    void DBGrid1DblClick();   // pick (units and storage places)

    // The 流水号 of the current row, 0 on an empty list.
    qint64 currentKey() const { return m_key; }
    QString currentName() const;
    QWidget *opener() const { return m_opener; }
    State state() const { return m_state; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The message a pick sends under the current gDirMode; 0: a pick does nothing.
    virtual int pickMessage() const { return 0; }
    virtual bool picks() const { return false; }
    virtual bool gridTakesFocus() const { return true; }

private:
    void loadList(qint64 keepKey = 0);
    void followCurrentRow();
    void setState(State s);
    void moveCurrentRow(int delta);
    LookupStore store() const;

    LookupKind m_kind;
    QPointer<QWidget> m_opener;
    qint64 m_key = 0;
    State m_state = State::Browsing;

    QToolButton *newButton;    // SpeedButton1
    QToolButton *editButton;   // SpeedButton2
    QToolButton *deleteButton; // SpeedButton3
    QTableWidget *nameGrid;    // DBGrid1
    QLabel *nameLabel;         // Label1
    QLineEdit *nameEdit;       // Edit1
};

// 单位目录. gDirMode 2/3 (new goods dialog), 9/10 (goods edit dialog): WM_DAN_CHOSEN; 24: menu.
class TfrmSelectDan : public TLookupListForm {
    Q_OBJECT
public:
    explicit TfrmSelectDan(QWidget *opener = nullptr) : TLookupListForm(LookupKind::Units, opener) {}

protected:
    int pickMessage() const override;
    bool picks() const override { return true; }
};

// 仓位目录. gDirMode 4/11 (goods dialogs) and 24 (transfer source): WM_WEI_CHOSEN;
// 25 (transfer destination): WM_WEI1_CHOSEN; 23: menu.
class TfrmCamgWei : public TLookupListForm {
    Q_OBJECT
public:
    explicit TfrmCamgWei(QWidget *opener = nullptr) : TLookupListForm(LookupKind::Places, opener) {}

protected:
    int pickMessage() const override;
    bool picks() const override { return true; }
    bool gridTakesFocus() const override { return false; }
};

// 客户地域: a list only.
class TfrmKeHu : public TLookupListForm {
    Q_OBJECT
public:
    explicit TfrmKeHu(QWidget *opener = nullptr) : TLookupListForm(LookupKind::Regions, opener) {}
};

inline QPointer<TfrmSelectDan> frmSelectDan;
inline QPointer<TfrmCamgWei> frmCamgWei;
inline QPointer<TfrmKeHu> frmKeHu;

} // namespace orv
