#include "stock/frmselect.h"
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "goods/goodsfilter.h"
#include "goods/guiutil.h"
#include "stock/frmmingoutin.h"
#include "stock/frmtongji.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
QComboBox *choice(const char *name, const QStringList &items, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    return c;
}
} // namespace

TfrmSelect::TfrmSelect(QWidget *parent) : StockDialog(parent)
{
    setObjectName("frmSelect");
    setWindowTitle(QStringLiteral("高级查询筛选"));
    connectiveCombo = choice("ComboBox1", GoodsFilter::connectors(), this);
    fieldCombo = choice("ComboBox2", conditionFields(), this);
    operatorCombo = choice("ComboBox3", GoodsFilter::operators(), this);
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName("Edit1");
    conditionList = new QListWidget(this);
    conditionList->setObjectName("ListBox1");
    addButton = goodsui::flatButton("SpeedButton2", QStringLiteral("增加条件"), this);
    clearButton = goodsui::flatButton("SpeedButton3", QStringLiteral("清空条件"), this);
    searchButton = goodsui::flatButton("SpeedButton1", QStringLiteral("按照条件查找"), this);
    cancelButton = goodsui::flatButton("SpeedButton4", QStringLiteral("取消查找"), this);
    connectiveCombo->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(connectiveCombo);
    top->addWidget(fieldCombo);
    top->addWidget(operatorCombo);
    top->addWidget(valueEdit, 1);
    auto *buttons = new QVBoxLayout;
    for (QToolButton *b : {addButton, clearButton, searchButton, cancelButton}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addWidget(conditionList, 1);
    body->addLayout(buttons);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(body, 1);
    const QFontMetrics fm(font());
    resize(fm.horizontalAdvance(QString(40, QChar(0x4e2d))), fm.height() * 18);

    connect(addButton, &QToolButton::clicked, this, &TfrmSelect::SpeedButton2Click);
    connect(clearButton, &QToolButton::clicked, this, &TfrmSelect::SpeedButton3Click);
    connect(searchButton, &QToolButton::clicked, this, &TfrmSelect::SpeedButton1Click);
    connect(cancelButton, &QToolButton::clicked, this, &TfrmSelect::SpeedButton4Click);
}

void TfrmSelect::FormShow()
{
    m_conditions.clear();
    conditionList->clear();
}

void TfrmSelect::SpeedButton2Click()
{
    connectiveCombo->show();
    m_conditions.add({Connective(connectiveCombo->currentIndex()), fieldCombo->currentIndex(),
                      ConditionOp(operatorCombo->currentIndex()), valueEdit->text()});
    conditionList->addItem(m_conditions.entryText(m_conditions.count() - 1));
}

void TfrmSelect::SpeedButton3Click()
{
    m_conditions.clear();
    conditionList->clear();
    connectiveCombo->hide();
}

void TfrmSelect::SpeedButton1Click()
{
    if (m_conditions.isEmpty()) {
        notice(this, kNoCondition);
        return;
    }
    const SqlCondition w = m_conditions.sql(!db().isSqlite());
    if (G.gLedgerFilterMode == 1) {
        if (frmMingOutIn && frmMingOutIn->loadWith(w))
            accept();
    } else if (G.gLedgerFilterMode == 2) {
        if (frmtongji)
            frmtongji->computeWith(w);
    }
}

void TfrmSelect::SpeedButton4Click() { reject(); }

} // namespace orv
