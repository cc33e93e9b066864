#include "goods/frmnewcang.h"
#include "app/windowing.h"
#include "common/pinyin.h"
#include "data/datamodule.h"
#include "goods/frmcangku.h"
#include "goods/frmselectfit.h"
#include "goods/goodsform.h"
#include "goods/guiutil.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

TfrmNewCang::TfrmNewCang(QWidget *parent) : GoodsDialog(parent)
{
    setObjectName("frmNewCang");
    setWindowTitle(QStringLiteral("新建货品"));
    m_form = new GoodsForm(this, {12, 2, 3, 4, 5}, QStringLiteral("SpeedButton8"));
    m_form->auxUnitCombo->setEditText(QStringLiteral("箱"));
    m_form->unitCombo->setEditText(QStringLiteral("件"));
    setTypicalSize(QSize(780, 520));
    connect(m_form->saveButton, &QPushButton::clicked, this, &TfrmNewCang::BitBtn1Click);
}

void TfrmNewCang::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // Enter moves between fields; only the save button saves.
    GoodsDialog::keyPressEvent(e);
}

void TfrmNewCang::FormShow()
{
    writeWindowStatus(windowTitle());
    if (const auto code = goodsui::proposedCode(this, goodsCodeRule()))
        m_form->codeEdit->setText(*code);
    m_form->codeEdit->setFocus();
}

void TfrmNewCang::BitBtn1Click()
{
    if (m_state == State::Saved) {
        // The code first: without one the saved item stays shown, locked, and 新建 can be
        // pressed again.
        const auto code = goodsui::proposedCode(this, goodsCodeRule());
        if (!code)
            return;
        m_form->setLocked(false);
        m_form->clear();
        m_form->codeEdit->setText(*code);
        m_form->ratioEdit->setText(QStringLiteral("1"));
        m_form->codeEdit->setFocus();
        m_form->saveButton->setText(QStringLiteral("保存"));
        // Goods entered after 新建 take no picture until they are saved.
        m_form->setPictureButtonsEnabled(false);
        m_form->clearPicture();
        m_state = State::Entering;
        return;
    }
    GoodsStore::Saved saved;
    try {
        saved = GoodsStore(db()).saveNew(m_form->record(), m_form->picture());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_form->codeEdit->setText(saved.code);
    if (!saved.ok) {
        m_form->refuse(saved.refusal);
        return;
    }
    m_savedRowNo = saved.rowNo;
    m_form->mnemonicEdit->setText(ChnToPY(m_form->nameEdit->text()));
    SendMessage(frmCangKu, WM_CANGKU_NEW);
    SendMessage(frmSelectFit, WM_CANGKU_NEW);
    m_state = State::Saved;
    m_form->saveButton->setText(QStringLiteral("新建"));
    m_form->setLocked(true);
    m_form->setPictureButtonsEnabled(true);
}

void TfrmNewCang::newDAN() { m_form->unitChosen(G.gRepFit.Place); }
void TfrmNewCang::newWEI() { m_form->placeChosen(G.gRepFit.Place); }

void TfrmNewCang::onWindowMessage(int message)
{
    if (message == WM_DAN_CHOSEN)
        newDAN();
    else if (message == WM_WEI_CHOSEN)
        newWEI();
}

bool TfrmNewCang::setField(FieldRole role, const QString &, const QString &value)
{
    return m_form->takeField(role, value);
}

} // namespace orv
