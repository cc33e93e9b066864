#include "partners/customerdialog.h"
#include "app/windowing.h"
#include "common/pinyin.h"
#include "data/datamodule.h"
#include "goods/lookups.h"
#include "partners/partnersui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

TCustomerDialog::TCustomerDialog(const QString &caption, const QStringList &order)
{
    setWindowTitle(caption);
    auto field = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    nameEdit = field("Edit1");
    mnemonicEdit = field("Edit16");
    codeEdit = field("Edit15");
    phoneEdit = field("Edit4");
    faxEdit = field("Edit5");
    memberNoEdit = field("Edit2");
    mobileEdit = field("Edit7");
    postcodeEdit = field("Edit9");
    contactEdit = field("Edit3");
    emailEdit = field("Edit8");
    taxNoEdit = field("Edit13");
    phone2Edit = field("Edit6");
    addressEdit = field("Edit10");
    routeEdit = field("Edit11");
    accountEdit = field("Edit12");
    discountEdit = field("Edit14");
    // Digits and one decimal point; a second point is refused.
    discountEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*\\.?\\d*")), discountEdit));
    regionBox = new QComboBox(this);
    regionBox->setObjectName("ComboBox2");
    // Editable only to show the stored region: a region is chosen from the list, never typed.
    regionBox->setEditable(true);
    regionBox->lineEdit()->setReadOnly(true);
    remarkMemo = new QPlainTextEdit(this);
    remarkMemo->setObjectName("Memo1");

    auto *grid = new QGridLayout;
    const QList<QPair<QString, QWidget *>> cells = {
        {"客户名称：", nameEdit},   {"拼音码：", mnemonicEdit},  {"客户编号：", codeEdit},
        {"地域：", regionBox},      {"联系电话：", phoneEdit},   {"传真：", faxEdit},
        {"会员编号：", memberNoEdit}, {"手机号码：", mobileEdit}, {"邮编：", postcodeEdit},
        {"联系人：", contactEdit},  {"Email：", emailEdit},      {"税号：", taxNoEdit},
        {"备用电话：", phone2Edit}, {"地址：", addressEdit},     {"乘车路线：", routeEdit},
        {"帐号：", accountEdit}};
    for (int i = 0; i < cells.size(); ++i) {
        grid->addWidget(new QLabel(cells[i].first, this), i / 2, (i % 2) * 2);
        grid->addWidget(cells[i].second, i / 2, (i % 2) * 2 + 1);
    }
    int row = int(cells.size() + 1) / 2;
    grid->addWidget(new QLabel("客户折扣：", this), row, 0);
    grid->addWidget(discountEdit, row, 1);
    auto *hint = new QLabel("客户折扣（请输入0~1之间的数 0为免费 1为不打折 0.8为打八折）", this);
    hint->setObjectName("Label18");
    grid->addWidget(hint, ++row, 0, 1, 4);
    grid->addWidget(new QLabel("备注：", this), ++row, 0);
    grid->addWidget(remarkMemo, row, 1, 1, 3);

    saveButton = partnersui::flatButton("SpeedButton1", QStringLiteral("保存"), this);
    closeButton = partnersui::flatButton("SpeedButton2", QStringLiteral("关闭"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    resize(720, 520);

    for (const QString &name : order)
        if (QWidget *w = findChild<QWidget *>(name)) {
            m_order << w;
            w->installEventFilter(this);
        }
    for (int i = 0; i + 1 < m_order.size(); ++i)
        setTabOrder(m_order[i], m_order[i + 1]);

    connect(nameEdit, &QLineEdit::textChanged, this, [this](const QString &t) { mnemonicEdit->setText(ChnToPY(t)); });
    connect(saveButton, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(closeButton, &QToolButton::clicked, this, &QDialog::reject);
}

Customer TCustomerDialog::typed() const
{
    Customer c;
    c.name = nameEdit->text();
    c.mnemonic = mnemonicEdit->text();
    c.code = codeEdit->text();
    c.phone = phoneEdit->text();
    c.fax = faxEdit->text();
    c.memberNo = memberNoEdit->text();
    c.mobile = mobileEdit->text();
    c.postcode = postcodeEdit->text();
    c.contact = contactEdit->text();
    c.email = emailEdit->text();
    c.taxNo = taxNoEdit->text();
    c.phone2 = phone2Edit->text();
    c.address = addressEdit->text();
    c.route = routeEdit->text();
    c.account = accountEdit->text();
    c.discount = discountEdit->text();
    c.region = regionBox->currentText();
    c.remark = remarkMemo->toPlainText();
    return c;
}

void TCustomerDialog::fill(const Customer &c)
{
    // The name first: its change proposes a 拼音码, which the stored one then replaces.
    nameEdit->setText(c.name);
    memberNoEdit->setText(c.memberNo);
    discountEdit->setText(c.discount);
    codeEdit->setText(c.code);
    regionBox->setEditText(c.region);
    contactEdit->setText(c.contact);
    phoneEdit->setText(c.phone);
    faxEdit->setText(c.fax);
    phone2Edit->setText(c.phone2);
    mobileEdit->setText(c.mobile);
    emailEdit->setText(c.email);
    postcodeEdit->setText(c.postcode);
    addressEdit->setText(c.address);
    routeEdit->setText(c.route);
    accountEdit->setText(c.account);
    taxNoEdit->setText(c.taxNo);
    remarkMemo->setPlainText(c.remark);
    mnemonicEdit->setText(c.mnemonic);
}

void TCustomerDialog::refuse(const Refusal &r)
{
    notice(this, r.message);
    static const QHash<QString, QString> fields = {
        {"客户名称", "Edit1"}, {"助记码", "Edit16"},  {"客户编号", "Edit15"}, {"联系电话", "Edit4"},
        {"传真", "Edit5"},     {"会员编号", "Edit2"}, {"手机号码", "Edit7"},  {"邮编", "Edit9"},
        {"联系人", "Edit3"},   {"Email", "Edit8"},    {"税号", "Edit13"},     {"备用电话", "Edit6"},
        {"地址", "Edit10"},    {"乘车路线", "Edit11"}, {"帐号", "Edit12"},    {"备注", "Memo1"},
        {"客户折扣", "Edit14"}};
    if (r.field.isEmpty())
        return;
    if (QWidget *w = findChild<QWidget *>(fields.value(r.field)))
        w->setFocus();
}

void TCustomerDialog::refillRegions()
{
    const QString keep = regionBox->currentText();
    QStringList names;
    try {
        names = LookupStore(db(), LookupKind::Regions).names();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    const QSignalBlocker block(regionBox);
    regionBox->clear();
    regionBox->addItems(names);
    regionBox->setCurrentIndex(-1);
    regionBox->setEditText(keep);
}

void TCustomerDialog::moveFocus(QWidget *from, int step)
{
    const int i = int(m_order.indexOf(from));
    const int to = i + step;
    if (i >= 0 && to >= 0 && to < m_order.size())
        m_order[to]->setFocus();
}

bool TCustomerDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (w == regionBox && event->type() == QEvent::FocusIn)
        refillRegions();
    if (w && event->type() == QEvent::KeyPress && m_order.contains(w)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool forward = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down ||
                             key == Qt::Key_Right;
        const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
        if (forward && w == remarkMemo) {
            SpeedButton1Click();
            return true;
        }
        if (forward || back) {
            moveFocus(w, forward ? 1 : -1);
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
