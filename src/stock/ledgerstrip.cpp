#include "stock/ledgerstrip.h"
#include "common/clock.h"
#include "documents/pickers.h"
#include "goods/guiutil.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace orv {

LedgerStrip::LedgerStrip(QWidget *window) : QObject(window)
{
    fromDate = datePicker("DateTimePicker1", window);
    toDate = datePicker("DateTimePicker2", window);
    goodsField = new QComboBox(window);
    goodsField->setObjectName("ComboBox1");
    goodsField->addItems(ledgerGoodsItems());
    goodsEdit = new QLineEdit(window);
    goodsEdit->setObjectName("Edit1");
    searchButton = goodsui::flatButton("SpeedButton1", QStringLiteral("查询"), window);
    filterButton = goodsui::flatButton("SpeedButton3", QStringLiteral("高级统计分析"), window);
    exportButton = goodsui::flatButton("SpeedButton2", QStringLiteral("导出"), window);
    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPause);

    m_layout = new QHBoxLayout;
    m_layout->addWidget(new QLabel(QStringLiteral("统计日期："), window));
    m_layout->addWidget(fromDate);
    m_layout->addWidget(new QLabel(QStringLiteral("至"), window));
    m_layout->addWidget(toDate);
    m_layout->addWidget(new QLabel(QStringLiteral("货品信息："), window));
    m_layout->addWidget(goodsField);
    m_layout->addWidget(goodsEdit, 1);
    m_layout->addWidget(searchButton);
    m_layout->addStretch(1);
    m_layout->addWidget(filterButton);
    m_layout->addWidget(exportButton);

    connect(goodsEdit, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(m_typing, &QTimer::timeout, this, &LedgerStrip::searchRequested);
    connect(goodsEdit, &QLineEdit::returnPressed, this, &LedgerStrip::searchNow);
    connect(searchButton, &QToolButton::clicked, this, &LedgerStrip::searchNow);
    connect(goodsField, &QComboBox::currentIndexChanged, this, &LedgerStrip::goodsFieldChosen);
}

void LedgerStrip::searchNow()
{
    m_typing->stop();
    emit searchRequested();
}

void LedgerStrip::setDefaultPeriod()
{
    const QDate today = Clock::localNow().date();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
}

QDate LedgerStrip::from() const { return fromDate->date(); }
QDate LedgerStrip::to() const { return toDate->date(); }

LedgerGoods LedgerStrip::goods() const { return {goodsField->currentIndex(), goodsEdit->text()}; }

bool LedgerStrip::typingPending() const { return m_typing->isActive(); }

} // namespace orv
