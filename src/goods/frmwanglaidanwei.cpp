#include "goods/frmwanglaidanwei.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/excelexport.h"
#include "goods/frmdanweixinxi.h"
#include "goods/guiutil.h"
#include "goods/listmodel.h"
#include "goods/supplierbrowser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
void paintRed(QToolButton *b)
{
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, Qt::red);
    b->setPalette(p);
}
} // namespace

TfrmWangLaiDanWei::TfrmWangLaiDanWei(QWidget *parent) : QWidget(parent)
{
    setObjectName("frmWangLaiDanWei");
    setWindowTitle(QStringLiteral("供应商目录"));
    m_browser = new SupplierBrowser(this, false);
    smsButton = goodsui::flatButton("SpeedButton8", QStringLiteral("发送短信"), this);
    visitButton = goodsui::flatButton("SpeedButton7", QStringLiteral("建立回访"), this);
    newButton = goodsui::flatButton("SpeedButton1", QStringLiteral("新建"), this);
    editButton = goodsui::flatButton("SpeedButton2", QStringLiteral("修改"), this);
    deleteButton = goodsui::flatButton("SpeedButton5", QStringLiteral("删除"), this);
    mailButton = goodsui::flatButton("SpeedButton4", QStringLiteral("邮件"), this);
    qqButton = goodsui::flatButton("SpeedButton3", QStringLiteral("QQ"), this);
    exportButton = goodsui::flatButton("SpeedButton6", QString(), this);
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    exportButton->setToolTip(QStringLiteral("导出"));
    smsButton->hide();
    visitButton->hide();
    for (QToolButton *b : {newButton, editButton, deleteButton})
        paintRed(b);
    m_browser->searchField->setObjectName("ComboBox1");

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_browser->searchField);
    bar->addWidget(m_browser->searchEdit, 1);
    bar->addWidget(m_browser->queryButton);
    bar->addStretch();
    for (QToolButton *b : {smsButton, visitButton, newButton, editButton, deleteButton, mailButton, qqButton,
                           exportButton})
        bar->addWidget(b);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(m_browser->remarkMemo, QStringLiteral("备注"));
    tabs->setMaximumHeight(120);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(m_browser->supplierGrid, 1);
    main->addWidget(tabs);

    m_browser->searchEdit->installEventFilter(this);
    connect(newButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton1Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton2Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton5Click);
    connect(mailButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton4Click);
    connect(qqButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton3Click);
    connect(exportButton, &QToolButton::clicked, this, &TfrmWangLaiDanWei::SpeedButton6Click);
    connect(m_browser->supplierGrid, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    // 发送短信 would open the SMS window; that window is not part of this program yet, so the
    // hidden button stays unconnected.
}

TfrmWangLaiDanWei::~TfrmWangLaiDanWei() = default;

void TfrmWangLaiDanWei::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmWangLaiDanWei::FormShow()
{
    m_browser->loadAll();
    writeWindowStatus(windowTitle());
    m_browser->searchEdit->setFocus();
}

bool TfrmWangLaiDanWei::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_browser->searchEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SpeedButton9Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmWangLaiDanWei::onWindowMessage(int message)
{
    if (message == WM_GYS_NEW)
        m_browser->loadAll();
}

qint64 TfrmWangLaiDanWei::selectedRowNo() const { return m_browser->currentRowNo(); }

void TfrmWangLaiDanWei::SpeedButton9Click() { m_browser->search(); }

void TfrmWangLaiDanWei::SpeedButton1Click() { openSupplierDialogNew(); }

void TfrmWangLaiDanWei::SpeedButton2Click()
{
    std::optional<Supplier> s;
    try {
        s = m_browser->currentSupplier();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (s)
        openSupplierDialogEdit(*s);
}

void TfrmWangLaiDanWei::DBGrid1DblClick() { SpeedButton2Click(); }

void TfrmWangLaiDanWei::SpeedButton5Click()
{
    const qint64 rowNo = selectedRowNo();
    if (!rowNo)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("确认要删除?")))
        return;
    try {
        SupplierStore(db()).remove(rowNo);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_browser->loadAll();
}

void TfrmWangLaiDanWei::SpeedButton4Click()
{
    const QModelIndex i = m_browser->supplierGrid->currentIndex();
    if (!selectedRowNo())
        return;
    const QString email = m_browser->model->text(i.row(), "Email");
    notice(this, email.isEmpty() ? QStringLiteral("该单位没有电子邮件地址信息！") : QStringLiteral("电子邮件地址：") + email,
           QMessageBox::NoIcon);
}

void TfrmWangLaiDanWei::SpeedButton3Click()
{
    const QModelIndex i = m_browser->supplierGrid->currentIndex();
    if (!selectedRowNo())
        return;
    const QString qq = m_browser->model->text(i.row(), "QQ");
    notice(this, qq.isEmpty() ? QStringLiteral("该单位没有QQ信息！") : QStringLiteral("QQ号码：") + qq,
           QMessageBox::NoIcon);
}

void TfrmWangLaiDanWei::SpeedButton6Click() { ExportSuppliersToExcel(); }

void TfrmWangLaiDanWei::ExportSuppliersToExcel()
{
    if (!selectedRowNo())
        return;
    static const QStringList columns{"单位名称", "联系人", "联系电话", "传真", "邮编", "地址", "Email",
                                     "QQ",       "帐号",   "税号",     "经营范围", "网址", "备注"};
    ExportSheet sheet;
    sheet.headers = columns;
    const DataSetModel *m = m_browser->model;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (const QString &c : columns)
            row << m->text(r, c);
        sheet.rows << row;
    }
    ExcelExport::run(this, sheet, windowTitle());
}

} // namespace orv
