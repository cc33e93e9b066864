#include "stock/frmmingoutin.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/excelexport.h"
#include "partners/partnersui.h"
#include "stock/frmselect.h"
#include "stock/ledgerstrip.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("出入库明细帐");
// Widths of the shown columns, by name.
const QList<QPair<QString, int>> kWidths = {
    {"编号", 70},     {"名称", 100},    {"类别", 60},     {"规格", 60},     {"仓位", 60},     {"单位", 60},
    {"原有库存数量", 60}, {"数量", 60}, {"结存", 70},     {"单据编号", 90}, {"单据类别", 70}, {"单价", 60},
    {"金额", 70},     {"制单日期", 100}, {"相关单位", 100}, {"单位编号", 70}};
} // namespace

TfrmMingOutIn::TfrmMingOutIn(QWidget *parent) : QWidget(parent)
{
    setObjectName("frmMingOutIn");
    setWindowTitle(kCaption);
    m_strip = new LedgerStrip(this);
    m_model = new DetailLedgerModel(this);
    ledgerView = new QTableView(this);
    ledgerView->setObjectName("DBGrid1");
    ledgerView->setModel(m_model);
    ledgerView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ledgerView->setSelectionMode(QAbstractItemView::SingleSelection);
    ledgerView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ledgerView->verticalHeader()->hide();
    ledgerView->setWordWrap(false);
    ledgerView->setToolTip(DetailLedgerModel::hint());
    for (int c = 0; c < m_model->columnCount(); ++c)
        ledgerView->setColumnHidden(c, DetailLedgerModel::hiddenColumn(c));
    for (const auto &[name, width] : kWidths)
        ledgerView->setColumnWidth(DetailLedgerModel::column(name), width);
    new partnersui::RowMoves(ledgerView);

    auto *main = new QVBoxLayout(this);
    main->addLayout(m_strip->layout());
    main->addWidget(ledgerView, 1);

    connect(m_strip, &LedgerStrip::searchRequested, this, &TfrmMingOutIn::SpeedButton1Click);
    connect(m_strip, &LedgerStrip::goodsFieldChosen, this, &TfrmMingOutIn::ComboBox1Change);
    connect(m_strip->exportButton, &QToolButton::clicked, this, &TfrmMingOutIn::SpeedButton2Click);
    connect(m_strip->filterButton, &QToolButton::clicked, this, &TfrmMingOutIn::SpeedButton3Click);
    resize(1200, 600);
}

void TfrmMingOutIn::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmMingOutIn::FormShow()
{
    writeWindowStatus(windowTitle());
    m_strip->setDefaultPeriod();
    LoadDetailLedger();
}

bool TfrmMingOutIn::run(const DetailQuery &q)
{
    try {
        BusyCursor busy;
        m_model->load(db(), q);
    } catch (const std::exception &e) {
        showError(this, e);
        return false;
    }
    return true;
}

void TfrmMingOutIn::LoadDetailLedger() { run({m_strip->from(), m_strip->to(), {}, {}}); }

void TfrmMingOutIn::SpeedButton1Click() { run({m_strip->from(), m_strip->to(), m_strip->goods(), {}}); }

void TfrmMingOutIn::ComboBox1Change(int item)
{
    if (item == kLedgerShowAll)
        LoadDetailLedger();
}

bool TfrmMingOutIn::loadWith(const SqlCondition &condition)
{
    return run({m_strip->from(), m_strip->to(), {}, condition});
}

void TfrmMingOutIn::SpeedButton2Click()
{
    const QModelIndex current = ledgerView->currentIndex();
    if (!current.isValid() || m_model->text(current.row(), "编号").isEmpty())
        return;
    try {
        BusyCursor busy;
        m_model->fetchAll();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    static const QStringList columns{"编号", "名称",     "类别", "规格", "仓位", "单位",     "原有库存数量", "数量",
                                     "结存", "单据编号", "单据类别", "单价", "金额", "制单日期", "相关单位", "单位编号"};
    ExportSheet sheet;
    sheet.headers = columns;
    sheet.textColumns = {1};
    for (int c : {1, 2, 4, 5, 6})
        sheet.widths[c] = 8;
    for (int c = 11; c <= 16; ++c)
        sheet.widths[c] = 15;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStringList line;
        for (const QString &c : columns)
            line << m_model->text(r, c);
        sheet.rows << line;
    }
    ExcelExport::run(this, sheet, windowTitle());
}

void TfrmMingOutIn::SpeedButton3Click()
{
    G.gLedgerFilterMode = 1;
    frmMingOutIn = this;
    openModal(frmSelect);
}

} // namespace orv
