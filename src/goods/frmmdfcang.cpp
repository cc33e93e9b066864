#include "goods/frmmdfcang.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/frmcangku.h"
#include "goods/frmselectfit.h"
#include "goods/goodsform.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

TfrmMdfCang::TfrmMdfCang(QWidget *parent) : GoodsDialog(parent)
{
    setObjectName("frmMdfCang");
    setWindowTitle(QStringLiteral("修改货品"));
    m_form = new GoodsForm(this, {13, 9, 10, 11, 6}, QStringLiteral("SpeedButton2"));
    setTypicalSize(QSize(780, 520));
    connect(m_form->saveButton, &QPushButton::clicked, this, &TfrmMdfCang::BitBtn1Click);
}

void TfrmMdfCang::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // Enter moves between fields; only the save button saves.
    GoodsDialog::keyPressEvent(e);
}

void TfrmMdfCang::FormShow()
{
    writeWindowStatus(windowTitle());
    m_rowNo = G.gRepFit.GoodsRowNo.toLongLong();
    try {
        GoodsStore store(db());
        if (const auto r = store.load(m_rowNo)) {
            m_form->fill(*r);
            m_form->showPicture(store.pictureFor(m_rowNo));
        }
    } catch (const std::exception &e) {
        showError(this, e);
    }
    m_form->codeEdit->setFocus();
}

void TfrmMdfCang::BitBtn1Click()
{
    GoodsStore::Saved saved;
    try {
        saved = GoodsStore(db()).saveEdit(m_rowNo, m_form->record(), m_form->picture());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!saved.ok) {
        m_form->refuse(saved.refusal);
        return;
    }
    G.gRepFit.GoodsRowNo = QString::number(m_rowNo);
    SendMessage(frmCangKu, WM_CANGKU_MDF);
    SendMessage(frmSelectFit, WM_CANGKU_MDF);
    notice(this, QStringLiteral("货品修改成功"), QMessageBox::NoIcon);
    accept();
}

void TfrmMdfCang::onWindowMessage(int message)
{
    if (message == WM_DAN_CHOSEN)
        m_form->unitChosen(G.gRepFit.Place);
    else if (message == WM_WEI_CHOSEN)
        m_form->placeChosen(G.gRepFit.Place);
}

bool TfrmMdfCang::setField(FieldRole role, const QString &, const QString &value)
{
    return m_form->takeField(role, value);
}

void openGoodsEdit(qint64 rowNo, bool modal)
{
    G.gRepFit.GoodsRowNo = QString::number(rowNo);
    if (frmMdfCang)
        delete frmMdfCang.data();
    auto *d = new TfrmMdfCang();
    frmMdfCang = d;
    centreOnDesktop(d);
    if (modal)
        prompt().runModal(d);
    else
        d->show();
}

} // namespace orv
