#include "partners/frmcustom.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "partners/frmmdfcustomer.h"
#include "partners/frmnewcustomer.h"
#include "partners/partnersui.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("客户目录");
const QStringList kTitles = {"客户名称", "联系人", "联系电话", "地址", "传真", "邮编",
                             "Email",    "会员编号", "客户折扣", "客户编号", "流水号", "备注"};
constexpr int kKeyCol = 10;
} // namespace

TfrmCustom::TfrmCustom(QWidget *parent) : QWidget(parent)
{
    setObjectName("frmCustom");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    using namespace partnersui;

    searchKindBox = new QComboBox(this);
    searchKindBox->setObjectName("ComboBox1");
    searchKindBox->addItems(customerSearchTexts());
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName("Edit1");
    searchEdit->installEventFilter(this);
    searchButton = flatButton("SpeedButton1", QStringLiteral("查询"), this);
    newButton = flatButton("SpeedButton7", QStringLiteral("新建"), this);
    editButton = flatButton("SpeedButton8", QStringLiteral("修改"), this);
    deleteButton = flatButton("SpeedButton9", QStringLiteral("删除"), this);
    exportButton = new QToolButton(this);
    exportButton->setObjectName("SpeedButton11");
    exportButton->setAutoRaise(true);
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    exportButton->setToolTip(QStringLiteral("导出到Excel"));

    auto *top = new QHBoxLayout;
    top->addWidget(searchKindBox);
    top->addWidget(searchEdit, 1);
    top->addWidget(searchButton);
    top->addStretch();
    for (QToolButton *b : {newButton, editButton, deleteButton, exportButton})
        top->addWidget(b);

    customerGrid = rowGrid("DBGrid1", kTitles, this);
    customerGrid->setColumnHidden(kKeyCol, true);
    customerGrid->verticalHeader()->hide();
    new RowMoves(customerGrid);

    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(customerGrid, 1);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmCustom::Edit1Change);
    connect(searchButton, &QToolButton::clicked, this, &TfrmCustom::SpeedButton1Click);
    connect(searchKindBox, &QComboBox::currentIndexChanged, this, &TfrmCustom::ComboBox1Change);
    connect(newButton, &QToolButton::clicked, this, &TfrmCustom::SpeedButton7Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmCustom::SpeedButton8Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmCustom::SpeedButton9Click);
    connect(exportButton, &QToolButton::clicked, this, &TfrmCustom::SpeedButton11Click);
    connect(customerGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { SpeedButton8Click(); });
}

void TfrmCustom::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmCustom::FormShow()
{
    runStatement(CustomerSearch::All, QString());
    writeWindowStatus(kCaption);
    searchEdit->setFocus();
}

void TfrmCustom::runStatement(CustomerSearch kind, const QString &text, qint64 current)
{
    m_kind = kind;
    m_text = text;
    try {
        m_rows = CustomerStore(db()).list(kind, text);
    } catch (const std::exception &e) {
        m_rows.clear();
        showError(this, e);
    }
    customerGrid->setRowCount(0);
    customerGrid->setRowCount(int(m_rows.size()));
    int currentRow = m_rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Customer &c = m_rows[i];
        const QString cells[] = {c.name,     c.contact, c.phone,    c.address, c.fax, c.postcode, c.email,
                                 c.memberNo, c.discount, c.code, QString::number(c.key), c.remark};
        for (int col = 0; col < int(std::size(cells)); ++col)
            customerGrid->setItem(i, col, new QTableWidgetItem(cells[col]));
        if (current && c.key == current)
            currentRow = i;
    }
    partnersui::setCurrentRow(customerGrid, currentRow);
}

Customer TfrmCustom::current() const
{
    const int row = customerGrid->currentRow();
    return row >= 0 && row < m_rows.size() ? m_rows[row] : Customer{};
}

void TfrmCustom::search()
{
    const QString text = searchEdit->text();
    runStatement(text.isEmpty() ? CustomerSearch::All : CustomerSearch(searchKindBox->currentIndex()), text);
}

void TfrmCustom::Edit1Change() { search(); }

void TfrmCustom::Edit1KeyEnter()
{
    if (!searchEdit->text().isEmpty())
        search();
}

void TfrmCustom::SpeedButton1Click() { Edit1KeyEnter(); }

void TfrmCustom::ComboBox1Change()
{
    if (searchKindBox->currentIndex() == int(CustomerSearch::All))
        runStatement(CustomerSearch::All, QString());
}

void TfrmCustom::SpeedButton7Click() { openModal(frmNewCustomer); }

void TfrmCustom::SpeedButton8Click()
{
    const Customer c = current();
    if (c.key == 0)
        return;
    G.gRepFit.PartnerRowNo = QString::number(c.key);
    openModal(frmMdfCustomer);
}

void TfrmCustom::SpeedButton9Click()
{
    const Customer c = current();
    if (c.key == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确实要删除吗?")))
        return;
    try {
        CustomerStore(db()).remove(c.key);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    runStatement(CustomerSearch::All, QString());
}

void TfrmCustom::SpeedButton11Click()
{
    if (current().code.isEmpty())
        return;
    ExcelExport::run(this, customerExportSheet(m_rows), kCaption);
}

void TfrmCustom::onWindowMessage(int message)
{
    if (message == WM_CUSTOM_NEW)
        runStatement(CustomerSearch::All, QString());
    else if (message == WM_CUSTOM_MDF)
        runStatement(m_kind, m_text, G.gRepFit.PartnerRowNo.toLongLong());
}

bool TfrmCustom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Edit1KeyEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv
