#include "partners/frmmdfcustomer.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "partners/frmchoosecustom.h"
#include "partners/frmcustom.h"

#include <QLineEdit>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("修改客户信息");
}

TfrmMdfCustomer::TfrmMdfCustomer()
    : TCustomerDialog(kCaption, {"Edit1", "Edit16", "Edit14", "ComboBox2", "Edit15", "Edit4", "Edit5", "Edit2",
                                 "Edit7", "Edit8", "Edit3", "Edit10", "Edit6", "Edit12", "Edit9", "Edit13",
                                 "Edit11", "Memo1"})
{
    setObjectName("frmMdfCustomer");
    codeEdit->setReadOnly(true);
}

void TfrmMdfCustomer::FormShow()
{
    writeWindowStatus(kCaption);
    m_key = G.gRepFit.PartnerRowNo.toLongLong();
    try {
        if (const auto c = CustomerStore(db()).byKey(m_key))
            fill(*c);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    nameEdit->setFocus();
}

void TfrmMdfCustomer::SpeedButton1Click()
{
    try {
        if (Refusal r = CustomerStore(db()).saveEdit(m_key, typed())) {
            refuse(r);
            return;
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    SendMessage(frmCustom, WM_CUSTOM_MDF);
    SendMessage(frmChooseCustom, WM_CUSTOM_MDF);
    notice(this, QStringLiteral("客户更新成功"));
    accept();
}

} // namespace orv
