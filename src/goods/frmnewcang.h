#pragma once
// 新建货品: enters goods one after another. After a save the fields are locked and the main
// button offers 新建, which empties them for the next item.
#include "app/appglobals.h"
#include "goods/goodsdialog.h"

#include <QPointer>

namespace orv {

class GoodsForm;

class TfrmNewCang : public GoodsDialog, public MessageReceiver {
    Q_OBJECT
public:
    // Entering (at opening, and after 新建) or saved.
    enum class State { Entering, Saved };

    explicit TfrmNewCang(QWidget *parent = nullptr);

    void FormShow() override;
    void BitBtn1Click(); // 保存 / 新建
    void newDAN();       // WM_DAN_CHOSEN
    void newWEI();       // WM_WEI_CHOSEN

    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    State state() const { return m_state; }
    GoodsForm *form() const { return m_form; }
    // 流水号 of the row saved last; 0 before the first save.
    qint64 savedRowNo() const { return m_savedRowNo; }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    GoodsForm *m_form;
    State m_state = State::Entering;
    qint64 m_savedRowNo = 0;
};

inline QPointer<TfrmNewCang> frmNewCang;

} // namespace orv
