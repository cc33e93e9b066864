#include "admin/frminit.h"
#include "admin/adminui.h"
#include "admin/initialisation.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
// The visible boxes of 数据信息 in reading order, which is also the Enter order.
const int kReadingOrder[] = {2, 3, 6, 7, 11, 12, 9, 10, 8, 4, 1, 13, 14, 15, 16, 21, 18, 19, 20, 17};
constexpr int kHiddenBox = 5; // "初始化销售业务": ticked by 全选, empties nothing
} // namespace

TfrmInit::TfrmInit(QWidget *parent) : TFormDialog(parent)
{
    setObjectName("frmInit");
    setWindowTitle("初始化数据");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *company = new QGroupBox("您的信息", this);
    auto *cg = new QGridLayout(company);
    auto addEdit = [&](const QString &label, const QString &name, int row, int col) {
        auto *e = new QLineEdit(company);
        e->setObjectName(name);
        auto *l = new QLabel(label, company);
        cg->addWidget(l, row, col * 2);
        cg->addWidget(e, row, col * 2 + 1);
        return e;
    };
    companyName = addEdit("公司名称：", "Edit1", 0, 0);
    shortName = addEdit("公司简称：", "Edit7", 0, 1);
    phone = addEdit("电话：", "Edit2", 1, 0);
    fax = addEdit("传真：", "Edit3", 1, 1);
    address = addEdit(" 公司地址：", "Edit4", 2, 0);
    postcode = addEdit("邮编：", "Edit5", 2, 1);
    userCount = new QLineEdit(company);
    userCount->setObjectName("Edit6");
    userCount->hide();
    business = new QPlainTextEdit(company);
    business->setObjectName("Memo1");
    business->setMaximumHeight(70);
    cg->addWidget(new QLabel("主营业务：", company), 3, 0);
    cg->addWidget(business, 3, 1, 1, 3);
    auto *signature = new QCheckBox("打印单据签字", company);
    signature->setObjectName("CheckBox22");
    m_boxes.insert(22, signature);
    cg->addWidget(signature, 4, 1);

    auto *data = new QGroupBox("数据信息", this);
    auto *dg = new QGridLayout(data);
    int i = 0;
    for (int n : kReadingOrder) {
        QString caption;
        for (const TableGroup &g : initialisationGroups())
            if (g.box == n)
                caption = g.caption;
        auto *b = new QCheckBox(caption, data);
        b->setObjectName(QString("CheckBox%1").arg(n));
        m_boxes.insert(n, b);
        dg->addWidget(b, i / 4, i % 4);
        ++i;
    }
    auto *hidden = new QCheckBox("初始化销售业务", data);
    hidden->setObjectName(QString("CheckBox%1").arg(kHiddenBox));
    hidden->hide();
    m_boxes.insert(kHiddenBox, hidden);

    selectAllButton = adminui::flatButton(this, "SpeedButton1", "全选");
    selectNoneButton = adminui::flatButton(this, "SpeedButton2", "全不选");
    initialiseButton = adminui::flatButton(this, "SpeedButton3", "初始化");
    closeButton = adminui::flatButton(this, "SpeedButton4", "关闭");
    auto *note = new QLabel("注:初始化数据后将清空数据库里面的信息，请慎重操作", this);
    note->setStyleSheet("color: red");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(note, 1);
    for (QToolButton *b : {selectAllButton, selectNoneButton, initialiseButton, closeButton})
        buttons->addWidget(b);

    auto *main = new QVBoxLayout(this);
    main->addWidget(company);
    main->addWidget(data);
    main->addLayout(buttons);

    m_enterChain = {companyName, phone, fax, address, postcode, shortName};
    for (int n : kReadingOrder)
        m_enterChain << m_boxes.value(n);
    for (QWidget *w : std::as_const(m_enterChain))
        w->installEventFilter(this);

    connect(selectAllButton, &QToolButton::clicked, this, &TfrmInit::SpeedButton1Click);
    connect(selectNoneButton, &QToolButton::clicked, this, &TfrmInit::SpeedButton2Click);
    connect(initialiseButton, &QToolButton::clicked, this, &TfrmInit::SpeedButton3Click);
    connect(closeButton, &QToolButton::clicked, this, &TfrmInit::SpeedButton4Click);
}

bool TfrmInit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int at = int(m_enterChain.indexOf(static_cast<QWidget *>(watched)));
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && at >= 0) {
            // From the last box the chain returns to 初始化货品类别.
            QWidget *next = at + 1 < m_enterChain.size() ? m_enterChain[at + 1] : m_boxes.value(18);
            next->setFocus();
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

void TfrmInit::FormShow()
{
    writeWindowStatus(windowTitle());
    std::optional<CompanyRecord> r;
    try {
        r = CompanyStore(db()).first();
    } catch (const std::exception &e) {
        showError(this, e);
    }
    G.gCompanyRowID = r ? QString::number(r->rowNo) : QString();
    const CompanyRecord shown = r.value_or(CompanyRecord{});
    companyName->setText(shown.name);
    phone->setText(shown.phone);
    fax->setText(shown.fax);
    address->setText(shown.address);
    postcode->setText(shown.postcode);
    userCount->setText(shown.users);
    shortName->setText(shown.shortName);
    business->setPlainText(shown.business);
    // The box shows what is stored, so a save keeps it unless the operator changes it.
    m_boxes.value(22)->setChecked(shown.printSignature);
    companyName->setFocus();
}

void TfrmInit::SpeedButton1Click()
{
    for (int n = 1; n <= 21; ++n)
        m_boxes.value(n)->setChecked(true);
}

void TfrmInit::SpeedButton2Click()
{
    for (int n = 1; n <= 21; ++n)
        m_boxes.value(n)->setChecked(false);
}

void TfrmInit::SpeedButton3Click()
{
    QList<int> ticked;
    for (int n = 1; n <= 21; ++n)
        if (m_boxes.value(n)->isChecked())
            ticked << n;
    if (!ticked.isEmpty()
        && !askYesNo(this, "系统提示", "一旦选择以上的选项将执行删除清空数据，您确定要清除吗?"))
        return;
    CompanyRecord r;
    r.rowNo = G.gCompanyRowID.toLongLong();
    r.name = companyName->text();
    r.phone = phone->text();
    r.address = address->text();
    r.fax = fax->text();
    r.postcode = postcode->text();
    r.users = userCount->text();
    r.shortName = shortName->text();
    r.business = business->toPlainText();
    r.printSignature = m_boxes.value(22)->isChecked();
    try {
        const qint64 rowNo = CompanyStore(db()).initialise(ticked, r);
        // A second save from this window updates the row the first one made.
        G.gCompanyRowID = QString::number(rowNo);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // The program state follows what is stored, only once it is stored.
    G.gPrintSignature = r.printSignature ? 1 : 0;
    G.gCompanyName = r.name;
    G.gCompanyAddress = r.address;
    G.gCompanyPhone = r.phone;
    G.gCompanyFax = r.fax;
    G.gCompanyBusiness = r.business;
    notice(this, "初始化完毕");
}

void TfrmInit::SpeedButton4Click() { close(); }

} // namespace orv
