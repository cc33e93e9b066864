#include "partners/frmnewcustomer.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/guiutil.h"
#include "partners/frmchoosecustom.h"
#include "partners/frmcustom.h"

#include <QLineEdit>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("新建客户");
}

TfrmNewCustomer::TfrmNewCustomer()
    : TCustomerDialog(kCaption, {"Edit1", "Edit16", "Edit14", "ComboBox2", "Edit15", "Edit4", "Edit5", "Edit2",
                                 "Edit7", "Edit9", "Edit3", "Edit8", "Edit13", "Edit6", "Edit10", "Edit11",
                                 "Edit12", "Memo1"})
{
    setObjectName("frmNewCustomer");
    setAttribute(Qt::WA_DeleteOnClose);
}

void TfrmNewCustomer::FormShow()
{
    writeWindowStatus(kCaption);
    if (const auto code = goodsui::proposedCode(this, customerCodeRule()))
        codeEdit->setText(*code);
    nameEdit->setFocus();
}

void TfrmNewCustomer::SpeedButton1Click()
{
    Customer c = typed();
    Refusal refusal;
    try {
        refusal = CustomerStore(db()).saveNew(c);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // A taken code has been raised once; the field shows the code decided.
    codeEdit->setText(c.code);
    if (refusal) {
        refuse(refusal);
        return;
    }
    SendMessage(frmCustom, WM_CUSTOM_NEW);
    SendMessage(frmChooseCustom, WM_CUSTOM_NEW);
    notice(this, QStringLiteral("客户信息添加成功"));
    close();
}

} // namespace orv
