#include "stock/ledgerwindow.h"
#include "app/windowing.h"
#include "partners/partnersui.h"

#include <QHeaderView>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

LedgerWindow::LedgerWindow(const char *objectName, const QString &caption, const char *gridName, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    m_strip = new LedgerStrip(this);
    ledgerView = new QTableView(this);
    ledgerView->setObjectName(gridName);
    ledgerView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ledgerView->setSelectionMode(QAbstractItemView::SingleSelection);
    ledgerView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ledgerView->verticalHeader()->hide();
    ledgerView->verticalHeader()->setDefaultSectionSize(ledgerView->fontMetrics().height() + 6);
    ledgerView->setWordWrap(false);
    new partnersui::RowMoves(ledgerView);
    m_layout = new QVBoxLayout(this);
    m_layout->addLayout(m_strip->layout());
    m_layout->addWidget(ledgerView, 1);

    connect(m_strip, &LedgerStrip::searchRequested, this, &LedgerWindow::SpeedButton1Click);
    connect(m_strip, &LedgerStrip::goodsFieldChosen, this, &LedgerWindow::ComboBox1Change);
    connect(m_strip->exportButton, &QToolButton::clicked, this, &LedgerWindow::SpeedButton2Click);
    connect(m_strip->filterButton, &QToolButton::clicked, this, &LedgerWindow::SpeedButton3Click);
    resize(1200, 600);
}

void LedgerWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void LedgerWindow::FormShow()
{
    writeWindowStatus(windowTitle());
    m_strip->setDefaultPeriod();
    showUnfiltered();
}

bool LedgerWindow::attempt(const std::function<void()> &compute)
{
    try {
        BusyCursor busy;
        compute();
    } catch (const std::exception &e) {
        showError(this, e);
        return false;
    }
    return true;
}

} // namespace orv
