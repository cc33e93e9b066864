#include "goods/frmdanweixinxi.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/pinyin.h"
#include "data/datamodule.h"
#include "goods/fieldorder.h"
#include "goods/frmchoosegys.h"
#include "goods/frmwanglaidanwei.h"
#include "goods/guiutil.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace orv {

namespace {
const QString kSave = QStringLiteral("保存");
const QString kNew = QStringLiteral("新建");
const QString kEdit = QStringLiteral("编辑");

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}
} // namespace

TfrmDanWeiXinXi::TfrmDanWeiXinXi(QWidget *parent) : GoodsDialog(parent)
{
    setObjectName("frmDanWeiXinXi");
    setWindowTitle(QStringLiteral("供应商信息"));
    nameEdit = lineEdit("Edit1", this);
    mnemonicEdit = lineEdit("Edit14", this);
    codeEdit = lineEdit("Edit13", this);
    contactEdit = lineEdit("Edit2", this);
    phoneEdit = lineEdit("Edit3", this);
    faxEdit = lineEdit("Edit4", this);
    postcodeEdit = lineEdit("Edit5", this);
    emailEdit = lineEdit("Edit7", this);
    qqEdit = lineEdit("Edit8", this);
    accountEdit = lineEdit("Edit9", this);
    taxNoEdit = lineEdit("Edit10", this);
    scopeEdit = lineEdit("Edit11", this);
    webEdit = lineEdit("Edit12", this);
    addressEdit = lineEdit("Edit6", this);
    remarkMemo = new QPlainTextEdit(this);
    remarkMemo->setObjectName("Memo1");
    remarkMemo->setTabChangesFocus(true);
    // 单位编号 is grey but may be edited.
    QPalette grey = codeEdit->palette();
    grey.setColor(QPalette::Base, QColor(0xd4, 0xd0, 0xc8));
    codeEdit->setPalette(grey);

    rowNoLabel = new QLabel(this);
    rowNoLabel->setObjectName("Label15");
    rowNoLabel->hide();
    purchasingCheck = new QCheckBox(QStringLiteral("采购供应商"), this);
    purchasingCheck->setObjectName("CheckBox1");
    purchasingCheck->setChecked(true);
    warrantyCheck = new QCheckBox(QStringLiteral("三包厂商"), this);
    warrantyCheck->setObjectName("CheckBox2");
    insuranceCheck = new QCheckBox(QStringLiteral("保险公司"), this);
    insuranceCheck->setObjectName("CheckBox3");
    vehicleCheck = new QCheckBox(QStringLiteral("车管单位"), this);
    vehicleCheck->setObjectName("CheckBox4");
    for (QCheckBox *c : {purchasingCheck, warrantyCheck, insuranceCheck, vehicleCheck})
        c->hide();

    newSaveButton = goodsui::flatButton("SpeedButton1", kSave, this);
    editSaveButton = goodsui::flatButton("SpeedButton3", kSave, this);
    closeButton = goodsui::flatButton("SpeedButton2", QStringLiteral("关闭"), this);
    editSaveButton->hide();

    auto *grid = new QGridLayout;
    const QList<QPair<QString, QWidget *>> fields{
        {"单位名称：", nameEdit},   {"拼音码：", mnemonicEdit}, {"单位编号：", codeEdit}, {"联系人：", contactEdit},
        {"联系电话：", phoneEdit},  {"传真：", faxEdit},        {"邮编：", postcodeEdit}, {"Email：", emailEdit},
        {"QQ：", qqEdit},           {"帐号：", accountEdit},    {"税号：", taxNoEdit},    {"经营范围：", scopeEdit},
        {"网址：", webEdit},        {"地址：", addressEdit}};
    for (int i = 0; i < fields.size(); ++i) {
        const int row = i / 2, col = (i % 2) * 2;
        grid->addWidget(new QLabel(fields[i].first, this), row, col);
        grid->addWidget(fields[i].second, row, col + 1);
    }
    const int memoRow = int(fields.size() + 1) / 2;
    grid->addWidget(new QLabel(QStringLiteral("备注："), this), memoRow, 0, Qt::AlignTop);
    grid->addWidget(remarkMemo, memoRow, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(newSaveButton);
    buttons->addWidget(editSaveButton);
    buttons->addWidget(closeButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    setTypicalSize(QSize(620, 420));

    auto *order = new FieldOrder(this, {nameEdit, mnemonicEdit, codeEdit, contactEdit, phoneEdit, faxEdit,
                                        postcodeEdit, emailEdit, qqEdit, accountEdit, taxNoEdit, scopeEdit, webEdit,
                                        addressEdit, remarkMemo});
    order->afterLast([this] {
        if (G.gGysEditMode == 2)
            SpeedButton3Click();
        else
            SpeedButton1Click();
    });

    connect(nameEdit, &QLineEdit::textChanged, this, [this](const QString &t) { mnemonicEdit->setText(ChnToPY(t)); });
    connect(newSaveButton, &QToolButton::clicked, this, &TfrmDanWeiXinXi::SpeedButton1Click);
    connect(editSaveButton, &QToolButton::clicked, this, &TfrmDanWeiXinXi::SpeedButton3Click);
    connect(closeButton, &QToolButton::clicked, this, &QDialog::reject);
}

void TfrmDanWeiXinXi::FormShow() { writeWindowStatus(windowTitle()); }

void TfrmDanWeiXinXi::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // Enter moves between fields; it never closes the dialog.
    GoodsDialog::keyPressEvent(e);
}

void TfrmDanWeiXinXi::setState(State s)
{
    m_state = s;
    switch (s) {
    case State::NewEntering:
        newSaveButton->setText(kSave);
        break;
    case State::NewSaved:
        newSaveButton->setText(kNew);
        break;
    case State::EditEntering:
        editSaveButton->setText(kSave);
        break;
    case State::EditSaved:
        editSaveButton->setText(kEdit);
        break;
    }
    setLocked(s == State::NewSaved || s == State::EditSaved);
}

bool TfrmDanWeiXinXi::getTaskNo()
{
    // The code first: without one the dialog stays as it was (after a save, the saved supplier
    // locked, and 新建 can be pressed again).
    const auto code = goodsui::proposedCode(this, supplierCodeRule());
    if (!code)
        return false;
    // A new supplier is a purchasing supplier and nothing else.
    purchasingCheck->setChecked(true);
    warrantyCheck->setChecked(false);
    insuranceCheck->setChecked(false);
    vehicleCheck->setChecked(false);
    clearFields();
    codeEdit->setText(*code);
    newSaveButton->show();
    editSaveButton->hide();
    setState(State::NewEntering);
    return true;
}

void TfrmDanWeiXinXi::fillFrom(const Supplier &s)
{
    rowNoLabel->setText(QString::number(s.rowNo));
    nameEdit->setText(s.name);
    // The stored mnemonic, not the one the name change just made.
    mnemonicEdit->setText(s.mnemonic);
    codeEdit->setText(s.code);
    contactEdit->setText(s.contact);
    phoneEdit->setText(s.phone);
    faxEdit->setText(s.fax);
    postcodeEdit->setText(s.postcode);
    emailEdit->setText(s.email);
    qqEdit->setText(s.qq);
    accountEdit->setText(s.account);
    taxNoEdit->setText(s.taxNo);
    scopeEdit->setText(s.scope);
    webEdit->setText(s.web);
    addressEdit->setText(s.address);
    remarkMemo->setPlainText(s.remark);
    purchasingCheck->setChecked(s.purchasing);
    warrantyCheck->setChecked(s.warranty);
    insuranceCheck->setChecked(s.insurance);
    vehicleCheck->setChecked(s.vehicle);
    newSaveButton->hide();
    editSaveButton->show();
    setState(State::EditEntering);
}

Supplier TfrmDanWeiXinXi::typed() const
{
    Supplier s;
    s.rowNo = rowNoLabel->text().toLongLong();
    s.name = nameEdit->text();
    s.mnemonic = mnemonicEdit->text();
    s.code = codeEdit->text();
    s.contact = contactEdit->text();
    s.phone = phoneEdit->text();
    s.fax = faxEdit->text();
    s.postcode = postcodeEdit->text();
    s.email = emailEdit->text();
    s.qq = qqEdit->text();
    s.account = accountEdit->text();
    s.taxNo = taxNoEdit->text();
    s.scope = scopeEdit->text();
    s.web = webEdit->text();
    s.address = addressEdit->text();
    s.remark = remarkMemo->toPlainText();
    s.purchasing = purchasingCheck->isChecked();
    s.warranty = warrantyCheck->isChecked();
    s.insurance = insuranceCheck->isChecked();
    s.vehicle = vehicleCheck->isChecked();
    return s;
}

QWidget *TfrmDanWeiXinXi::widgetOf(SupplierField f) const
{
    switch (f) {
    case SupplierField::Name: return nameEdit;
    case SupplierField::Mnemonic: return mnemonicEdit;
    case SupplierField::Code: return codeEdit;
    case SupplierField::Contact: return contactEdit;
    case SupplierField::Phone: return phoneEdit;
    case SupplierField::Fax: return faxEdit;
    case SupplierField::Postcode: return postcodeEdit;
    case SupplierField::Email: return emailEdit;
    case SupplierField::QQ: return qqEdit;
    case SupplierField::Account: return accountEdit;
    case SupplierField::TaxNo: return taxNoEdit;
    case SupplierField::Scope: return scopeEdit;
    case SupplierField::Web: return webEdit;
    case SupplierField::Address: return addressEdit;
    case SupplierField::Remark: break;
    }
    return remarkMemo;
}

void TfrmDanWeiXinXi::focusField(SupplierField f) { widgetOf(f)->setFocus(); }

void TfrmDanWeiXinXi::refuse(const SupplierRefusal &r)
{
    notice(this, r.message, QMessageBox::NoIcon);
    focusField(r.field);
}

void TfrmDanWeiXinXi::setLocked(bool locked)
{
    for (QLineEdit *e : {nameEdit, mnemonicEdit, contactEdit, phoneEdit, faxEdit, postcodeEdit, emailEdit, qqEdit,
                         accountEdit, taxNoEdit, scopeEdit, webEdit, addressEdit})
        goodsui::setEntryState(e, !locked);
    codeEdit->setReadOnly(locked);
    goodsui::setEntryState(remarkMemo, !locked);
}

void TfrmDanWeiXinXi::clearFields()
{
    for (QLineEdit *e : {nameEdit, mnemonicEdit, codeEdit, contactEdit, phoneEdit, faxEdit, postcodeEdit, emailEdit,
                         qqEdit, accountEdit, taxNoEdit, scopeEdit, webEdit, addressEdit})
        e->clear();
    remarkMemo->clear();
}

void TfrmDanWeiXinXi::SpeedButton1Click()
{
    if (m_state == State::NewSaved) {
        if (getTaskNo())
            nameEdit->setFocus();
        return;
    }
    if (m_state != State::NewEntering)
        return;
    SupplierStore::Saved saved;
    try {
        saved = SupplierStore(db()).saveNew(typed());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    codeEdit->setText(saved.code);
    if (!saved.ok) {
        refuse(saved.refusal);
        return;
    }
    rowNoLabel->setText(QString::number(saved.rowNo));
    setState(State::NewSaved);
    if (G.gGysEditMode == 1) {
        SendMessage(frmWangLaiDanWei, WM_GYS_NEW);
        SendMessage(frmChooseGYS, WM_GYS_NEW);
    }
}

void TfrmDanWeiXinXi::SpeedButton3Click()
{
    if (m_state == State::EditSaved) {
        setState(State::EditEntering);
        nameEdit->setFocus();
        return;
    }
    if (m_state != State::EditEntering)
        return;
    SupplierStore::Saved saved;
    try {
        saved = SupplierStore(db()).saveEdit(typed());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!saved.ok) {
        refuse(saved.refusal);
        return;
    }
    setState(State::EditSaved);
    SendMessage(frmWangLaiDanWei, WM_GYS_NEW);
    SendMessage(frmChooseGYS, WM_GYS_MDF);
}

void openSupplierDialogNew()
{
    G.gGysEditMode = 1;
    if (frmDanWeiXinXi)
        delete frmDanWeiXinXi.data();
    auto *d = new TfrmDanWeiXinXi();
    frmDanWeiXinXi = d;
    d->getTaskNo();
    centreOnDesktop(d);
    prompt().runModal(d);
}

void openSupplierDialogEdit(const Supplier &s)
{
    G.gGysEditMode = 2;
    if (frmDanWeiXinXi)
        delete frmDanWeiXinXi.data();
    auto *d = new TfrmDanWeiXinXi();
    frmDanWeiXinXi = d;
    d->fillFrom(s);
    centreOnDesktop(d);
    prompt().runModal(d);
}

} // namespace orv
