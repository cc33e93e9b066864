#include "warehouse/goodsentrywindow.h"
#include "common/prompt.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/goodslineview.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace orv {

namespace {
QLabel *hiddenTotal(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(QStringLiteral("0"), parent);
    l->setObjectName(name);
    l->hide();
    return l;
}
} // namespace

GoodsEntryWindow::GoodsEntryWindow(const QString &caption, const char *titleName, QWidget *parent)
    : EntryWindow(parent), frReport1(std::make_unique<TfrReport>())
{
    setWindowTitle(caption);
    titleLabel = new QLabel(caption, this);
    titleLabel->setObjectName(QString::fromUtf8(titleName));
    QFont title = titleLabel->font();
    title.setBold(true);
    title.setPixelSize(16);
    titleLabel->setFont(title);
}

GoodsEntryWindow::~GoodsEntryWindow() = default;

void GoodsEntryWindow::buildLines(const char *entryName, const char *printBoxName)
{
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, -1, 70, 70, 70, 70, -1},
                                  false, this);
    entryEdit = lineEdit(QString::fromUtf8(entryName), this);
    totalEdit = lineEdit("Edit1", this);
    setGreyReadOnly(totalEdit);
    totalEdit->setText(QStringLiteral("0"));
    qtyLabel = hiddenTotal("Label9", this);
    auxQtyLabel = hiddenTotal("Label10", this);
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName(QString::fromUtf8(printBoxName));

    addButton = toolButton("SpeedButton12", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton14", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton13", QStringLiteral("删除"), this);
    connect(addButton, &QToolButton::clicked, this, &GoodsEntryWindow::SpeedButton12Click);
    connect(editButton, &QToolButton::clicked, this, &GoodsEntryWindow::SpeedButton14Click);
    connect(deleteButton, &QToolButton::clicked, this, &GoodsEntryWindow::SpeedButton13Click);
}

void GoodsEntryWindow::setUpLines(int fitCaller, int mdfMode, QWidget *focusAfterDelete, QWidget *backField)
{
    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = fitCaller, .mdfMode = mdfMode,
                     .recompute = [this] { recomputeTotals(); }, .focusAfterDelete = focusAfterDelete,
                     .backField = backField});
}

QHBoxLayout *GoodsEntryWindow::totalsRow(QLabel *entryCaption, QLabel *totalCaption)
{
    auto *totals = new QHBoxLayout;
    totals->addWidget(entryCaption);
    totals->addWidget(entryEdit);
    totals->addWidget(totalCaption);
    totals->addWidget(totalEdit);
    totals->addWidget(qtyLabel);
    totals->addWidget(auxQtyLabel);
    totals->addStretch();
    return totals;
}

void GoodsEntryWindow::startEntry(QLineEdit *date, QWidget *first)
{
    m_lines.renumber();
    G.gRepFit.TargetRow = 0;
    date->setText(today());
    first->setFocus();
}

int GoodsEntryWindow::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void GoodsEntryWindow::recomputeTotals()
{
    showTotals(m_lines, {totalEdit}, nullptr, qtyLabel, auxQtyLabel, false);
}

void GoodsEntryWindow::clearLines()
{
    m_lines.clearLines();
    entryEdit->clear();
    totalEdit->setText(QStringLiteral("0"));
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
}

bool GoodsEntryWindow::entryTyped() const { return !entryEdit->text().trimmed().isEmpty(); }

void GoodsEntryWindow::SpeedButton12Click() { addGoodsLine(); }

void GoodsEntryWindow::SpeedButton14Click() { editGoodsLine(); }

void GoodsEntryWindow::SpeedButton13Click() { deleteGoodsLine(); }

void GoodsEntryWindow::runPrint(const std::function<DocumentPrint()> &build)
{
    DocumentPrint p;
    try {
        p = build();
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
