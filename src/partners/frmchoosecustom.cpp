#include "partners/frmchoosecustom.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "partners/frmmdfcustomer.h"
#include "partners/frmnewcustomer.h"
#include "partners/partnersui.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("请选择客户");
const QStringList kTitles = {"客户名称", "联系人", "联系电话", "地址", "传真", "邮编",
                             "Email",    "会员编号", "客户折扣", "客户编号", "流水号"};
constexpr int kCodeCol = 9;
constexpr int kKeyCol = 10;
} // namespace

TfrmChooseCustom::TfrmChooseCustom(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmChooseCustom");
    setWindowTitle(kCaption);
    using namespace partnersui;

    auto *top = new QGroupBox(this);
    auto *hint = new QLabel("通过客户信息查询(支持首拼码)", top);
    searchEdit = new QLineEdit(top);
    searchEdit->setObjectName("Edit1");
    newButton = flatButton("SpeedButton7", QStringLiteral("新建"), top);
    editButton = flatButton("SpeedButton8", QStringLiteral("修改"), top);
    auto *row = new QHBoxLayout(top);
    row->addWidget(hint);
    row->addWidget(searchEdit, 1);
    row->addWidget(newButton);
    row->addWidget(editButton);

    customerGrid = rowGrid("dbGrid1", kTitles, this);
    customerGrid->setColumnHidden(kCodeCol, true);
    customerGrid->setColumnHidden(kKeyCol, true);
    customerGrid->verticalHeader()->hide();

    auto *main = new QVBoxLayout(this);
    main->addWidget(top);
    main->addWidget(customerGrid, 1);
    resize(820, 460);

    // The picker reads its keys before the focused control does.
    for (QWidget *w : {static_cast<QWidget *>(searchEdit), static_cast<QWidget *>(customerGrid),
                       static_cast<QWidget *>(newButton), static_cast<QWidget *>(editButton)})
        w->installEventFilter(this);
    customerGrid->viewport()->installEventFilter(this);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmChooseCustom::Edit1Change);
    connect(newButton, &QToolButton::clicked, this, &TfrmChooseCustom::SpeedButton7Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmChooseCustom::SpeedButton8Click);
    connect(customerGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { dbGrid1DblClick(); });
}

void TfrmChooseCustom::FormShow()
{
    loadAll();
    searchEdit->setFocus();
}

void TfrmChooseCustom::loadAll()
{
    try {
        showRows(CustomerStore(db()).list());
    } catch (const std::exception &e) {
        showRows({});
        showError(this, e);
    }
}

void TfrmChooseCustom::showRows(const QList<Customer> &rows)
{
    m_rows = rows;
    customerGrid->setRowCount(0);
    customerGrid->setRowCount(int(m_rows.size()));
    for (int i = 0; i < m_rows.size(); ++i) {
        const Customer &c = m_rows[i];
        const QString cells[] = {c.name,     c.contact,  c.phone, c.address, c.fax, c.postcode,
                                 c.email,    c.memberNo, c.discount, c.code, QString::number(c.key)};
        for (int col = 0; col < int(std::size(cells)); ++col)
            customerGrid->setItem(i, col, new QTableWidgetItem(cells[col]));
    }
    partnersui::setCurrentRow(customerGrid, 0);
}

Customer TfrmChooseCustom::current() const
{
    const int row = customerGrid->currentRow();
    return row >= 0 && row < m_rows.size() ? m_rows[row] : Customer{};
}

void TfrmChooseCustom::Edit1Change()
{
    try {
        showRows(CustomerStore(db()).pickerSearch(searchEdit->text()));
    } catch (const std::exception &e) {
        showRows({});
        showError(this, e);
    }
}

void TfrmChooseCustom::SpeedButton7Click() { openModal(frmNewCustomer); }

void TfrmChooseCustom::SpeedButton8Click()
{
    const Customer c = current();
    if (c.key == 0)
        return;
    G.gRepFit.PartnerRowNo = QString::number(c.key);
    openModal(frmMdfCustomer);
}

void TfrmChooseCustom::onWindowMessage(int message)
{
    // The search text stays in its box but no longer applies.
    if (message == WM_CUSTOM_NEW || message == WM_CUSTOM_MDF)
        loadAll();
}

void TfrmChooseCustom::dbGrid1DblClick()
{
    const Customer c = current();
    if (c.code.isEmpty())
        return;
    const Custom before = G.gCustom;
    G.gCustom.CustomerNo = c.code;
    G.gCustom.CustomerName = c.name;
    G.gCustom.Contact = c.contact;
    G.gCustom.Phone = c.phone;
    G.gCustom.Address = c.address;
    G.gCustom.Discount = c.discount;
    // A choice the sales bill could not take is not left behind as if it had been made.
    if (!SendMessage(m_opener, WM_CUSTOM_CHOSEN))
        G.gCustom = before;
    accept();
}

void TfrmChooseCustom::moveRow(int delta) { partnersui::setCurrentRow(customerGrid, customerGrid->currentRow() + delta); }

bool TfrmChooseCustom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            customerGrid->setFocus();
            dbGrid1DblClick();
            return true;
        case Qt::Key_Space:
            if (watched != customerGrid)
                break;
            dbGrid1DblClick();
            return true;
        case Qt::Key_Down:
            moveRow(1);
            searchEdit->setFocus();
            return true;
        case Qt::Key_Up:
            moveRow(-1);
            return true;
        default:
            break;
        }
    }
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Up &&
        !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
        customerGrid->setFocus();
        return true;
    }
    if (event->type() == QEvent::Wheel && (customerGrid->hasFocus() || searchEdit->hasFocus())) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0)
            moveRow(dy < 0 ? 1 : -1);
        return true;
    }
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
