#include "sales/frmchoosequotation.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"
#include "partners/partnerrules.h"
#include "sales/frmsalebilling.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
// The searched column of each selector item after 显示全部.
const char *const kSearchColumns[] = {"单据编号", "客户名称", "联系电话", "联系人", "经办人"};
} // namespace

TfrmChooseQuotation::TfrmChooseQuotation(QWidget *receiver)
    : m_receiver(receiver ? receiver : static_cast<QWidget *>(frmSaleBilling.data()))
{
    setObjectName("frmChooseQuotation");
    setWindowTitle(QStringLiteral("[选择报价单]"));
    m_headers = new DataSetModel(this);
    m_lines = new DataSetModel(this);
    searchCombo = new QComboBox(this);
    searchCombo->setObjectName("ComboBox1");
    searchCombo->addItems({QStringLiteral("显示全部"), QStringLiteral("按照单据编号查询"), QStringLiteral("按照客户查询"),
                           QStringLiteral("按照电话查询"), QStringLiteral("按照联系人查询"), QStringLiteral("按照经办人查询")});
    searchEdit = lineEdit("Edit1", this);
    searchButton = toolButton("SpeedButton1", QStringLiteral("查询"), this);
    headerGrid = listGrid("DBGridsalequote", m_headers, this);
    lineGrid = listGrid("DBGridSaleFit", m_lines, this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(searchCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(searchButton);
    bar->addWidget(new QLabel(QStringLiteral("<<双击选择"), this));
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(headerGrid, 2);
    main->addWidget(lineGrid, 1);
    resize(900, 560);

    connect(searchButton, &QToolButton::clicked, this, &TfrmChooseQuotation::SpeedButton1Click);
    connect(searchEdit, &QLineEdit::textEdited, this, &TfrmChooseQuotation::Edit1Change);
    connect(headerGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { headerClicked(i.row()); });
    connect(headerGrid, &QTableView::doubleClicked, this, [this] { choose(true); });
    for (QObject *o : {static_cast<QObject *>(this), static_cast<QObject *>(searchCombo),
                       static_cast<QObject *>(searchEdit), static_cast<QObject *>(headerGrid)})
        o->installEventFilter(this);
}

void TfrmChooseQuotation::FormShow()
{
    runSearch(false);
    searchEdit->setFocus();
}

void TfrmChooseQuotation::runSearch(bool told)
{
    const int item = searchCombo->currentIndex();
    const QString text = searchEdit->text();
    if (item > 0 && text.isEmpty()) {
        if (told)
            notice(this, QStringLiteral("请输入查询条件"));
        return;
    }
    DataSet ds(&db());
    try {
        QString sql = QStringLiteral("select * from 报价单 where 当前状态 = '完成'");
        if (item > 0) {
            sql += " and " + containsCondition(db(), QString::fromUtf8(kSearchColumns[item - 1]));
            ds.setSql(sql + " order by 流水号");
            ds.addBindValue(containsPattern(text));
        } else {
            ds.setSql(sql + " order by 流水号");
        }
        ds.open();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_headers->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号", "备注", "当前状态"})
        headerGrid->setColumnHidden(m_headers->fieldIndex(QString::fromUtf8(hidden)), true);
    makeCurrent(m_headers->dataRowCount() > 0 ? 0 : -1);
}

void TfrmChooseQuotation::SpeedButton1Click() { runSearch(true); }

void TfrmChooseQuotation::Edit1Change() { runSearch(false); }

void TfrmChooseQuotation::headerClicked(int row)
{
    if (!m_headers->text(row, "ID").isEmpty())
        makeCurrent(row);
}

void TfrmChooseQuotation::makeCurrent(int row)
{
    m_currentID = row >= 0 ? m_headers->text(row, "ID") : QString();
    if (row >= 0) {
        headerGrid->selectRow(row);
        G.gDocID = m_currentID;
    }
    DataSet ds(&db());
    try {
        ds.setSql("select ID, 流水号, 配件编号 as 货品编号, 配件名称 as 货品名称, 规格, 单位, 所属车型, 数量, 单价, 金额, 仓位 "
                  "from 报价明细 where ID = ? order by 流水号");
        ds.addBindValue(m_currentID);
        ds.open();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lines->load(std::move(ds));
    for (const char *hidden : {"ID", "流水号", "所属车型"})
        lineGrid->setColumnHidden(m_lines->fieldIndex(QString::fromUtf8(hidden)), true);
}

void TfrmChooseQuotation::choose(bool withCustomerCode)
{
    const int row = headerGrid->currentIndex().isValid() ? headerGrid->currentIndex().row() : -1;
    if (row < 0 || m_headers->text(row, "ID").isEmpty())
        return;
    makeCurrent(row);
    auto field = [&](const char *name) { return m_headers->text(row, QString::fromUtf8(name)); };
    G.gCustom.CustomerName = field("客户名称");
    G.gCustom.Contact = field("联系人");
    G.gCustom.Phone = field("联系电话");
    G.gCustom.Address = field("地址");
    G.gCustom.Discount = field("客户类别");
    G.gCustom.GoodsTotal = field("货款合计");
    if (withCustomerCode)
        G.gCustom.UnitNo = field("客户编号");
    for (int k = 0; k < m_lines->dataRowCount(); ++k) {
        repairFit &f = G.gRepFit;
        f.GoodsNo = m_lines->text(k, "货品编号");
        f.GoodsName = m_lines->text(k, "货品名称");
        f.Spec = m_lines->text(k, "规格");
        f.Unit = m_lines->text(k, "单位");
        f.PrintPrice = m_lines->text(k, "单价");
        f.PrintAmount = m_lines->text(k, "金额");
        f.Qty = m_lines->text(k, "数量");
        f.Place = m_lines->text(k, "仓位");
        f.TargetRow = k + 1;
        if (!SendMessage(m_receiver, WM_QUOTE_CHOSEN))
            break;
    }
    accept();
}

bool TfrmChooseQuotation::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (enter && watched == searchCombo) {
            searchEdit->setFocus();
            return true;
        }
        if (enter && watched == searchEdit) {
            runSearch(true);
            headerGrid->setFocus();
            return true;
        }
        if (enter && watched == headerGrid) {
            choose(false);
            return true;
        }
    }
    return TFormDialog::eventFilter(watched, event);
}

} // namespace orv
