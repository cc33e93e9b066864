#include "stock/frmmingoutin.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/excelexport.h"
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

TfrmMingOutIn::TfrmMingOutIn(QWidget *parent) : LedgerWindow("frmMingOutIn", kCaption, "DBGrid1", parent)
{
    m_model = new DetailLedgerModel(this);
    ledgerView->setModel(m_model);
    ledgerView->setToolTip(DetailLedgerModel::hint());
    for (int c = 0; c < m_model->columnCount(); ++c)
        ledgerView->setColumnHidden(c, DetailLedgerModel::hiddenColumn(c));
    for (const auto &[name, width] : kWidths)
        ledgerView->setColumnWidth(DetailLedgerModel::column(name), width);
}

bool TfrmMingOutIn::run(const DetailQuery &q)
{
    return attempt([&] { m_model->load(db(), q); });
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
    if (!attempt([this] { m_model->fetchAll(); }))
        return;
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
