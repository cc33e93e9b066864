#pragma once
// 修改货品: changes one goods row (G.gRepFit.GoodsRowNo, set by the opener) and its picture;
// after a save the goods list and the goods picker re-read their lists.
#include "app/appglobals.h"
#include "goods/goodsdialog.h"

#include <QPointer>

namespace orv {

class GoodsForm;

class TfrmMdfCang : public GoodsDialog, public MessageReceiver {
    Q_OBJECT
public:
    explicit TfrmMdfCang(QWidget *parent = nullptr);

    void FormShow() override;
    void BitBtn1Click(); // 保存(&S)

    void onWindowMessage(int message) override;
    bool setField(FieldRole role, const QString &which, const QString &value) override;

    GoodsForm *form() const { return m_form; }
    qint64 rowNo() const { return m_rowNo; }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    GoodsForm *m_form;
    qint64 m_rowNo = 0;
};

inline QPointer<TfrmMdfCang> frmMdfCang;

// The openers' way in: G.gRepFit.GoodsRowNo := rowNo, an earlier dialog freed, a new one centred
// and shown, modally or (the goods list's 修改) beside the list.
void openGoodsEdit(qint64 rowNo, bool modal);

} // namespace orv
