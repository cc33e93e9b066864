#include "stock/frmtongji.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/excelexport.h"
#include "stock/frmselect.h"
#include "stock/ledgerstrip.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("出入库汇总帐");
const int kWidths[SummaryLedgerModel::ColumnCount] = {80, 80, 80, 80, 78, 178, 90, 88, 90, 88, 150};
// The caption strip's groups: the ledger columns each stands over.
const int kGroupEnds[] = {4, 5, 7, 9, 10};
const char *const kGroups[] = {"货品属性", "上期结存", "本期入库", "本期出库", "期末存量"};
} // namespace

Tfrmtongji::Tfrmtongji(QWidget *parent) : LedgerWindow("frmtongji", kCaption, "StringGrid1", parent)
{
    m_model = new SummaryLedgerModel(this);
    ledgerView->setModel(m_model);
    for (int c = 0; c < SummaryLedgerModel::ColumnCount; ++c)
        ledgerView->setColumnWidth(c, kWidths[c]);

    captionStrip = new QTableWidget(0, int(std::size(kGroups)), this);
    captionStrip->setObjectName("StringGrid2");
    QStringList groups;
    for (const char *g : kGroups)
        groups << QString::fromUtf8(g);
    captionStrip->setHorizontalHeaderLabels(groups);
    captionStrip->verticalHeader()->hide();
    captionStrip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    captionStrip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    captionStrip->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    captionStrip->setFocusPolicy(Qt::NoFocus);
    captionStrip->setFixedHeight(captionStrip->horizontalHeader()->sizeHint().height() + 2);
    m_layout->setSpacing(0);
    m_layout->insertWidget(1, captionStrip);
    alignCaptions();

    connect(ledgerView->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { alignCaptions(); });
    connect(ledgerView->horizontalScrollBar(), &QScrollBar::valueChanged, captionStrip->horizontalScrollBar(),
            &QScrollBar::setValue);
}

void Tfrmtongji::showUnfiltered() { run({m_strip->from(), m_strip->to(), {}, {}}); }

void Tfrmtongji::alignCaptions()
{
    int first = 0;
    for (int g = 0; g < int(std::size(kGroupEnds)); ++g) {
        int width = 0;
        for (int c = first; c <= kGroupEnds[g]; ++c)
            width += ledgerView->columnWidth(c);
        captionStrip->setColumnWidth(g, width);
        first = kGroupEnds[g] + 1;
    }
}

bool Tfrmtongji::run(const SummaryQuery &q)
{
    return attempt([&] { m_model->compute(db(), q); });
}

void Tfrmtongji::SpeedButton1Click() { run({m_strip->from(), m_strip->to(), m_strip->goods(), {}}); }

void Tfrmtongji::ComboBox1Change(int item)
{
    if (item == kLedgerShowAll || m_strip->goodsEdit->text().isEmpty())
        showUnfiltered();
}

bool Tfrmtongji::computeWith(const SqlCondition &condition)
{
    return run({m_strip->from(), m_strip->to(), {}, condition});
}

void Tfrmtongji::SpeedButton2Click()
{
    if (m_model->goodsRowCount() == 0)
        return;
    ExportSheet sheet;
    sheet.headers = SummaryLedgerModel::exportHeaders();
    sheet.textColumns = {1};
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (!m_model->text(r, SummaryLedgerModel::No).isEmpty())
            sheet.rows << m_model->rowTexts(r);
    ExcelExport::run(this, sheet, windowTitle());
}

void Tfrmtongji::SpeedButton3Click()
{
    G.gLedgerFilterMode = 2;
    frmtongji = this;
    openModal(frmSelect);
}

} // namespace orv
