#include "goods/frmselectcangku.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/frmcangku.h"
#include "goods/goodsfilter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace orv {

namespace {
QPushButton *button(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TfrmSelectCangku::TfrmSelectCangku(TfrmCangKu *list) : m_list(list)
{
    setObjectName("frmSelectCangku");
    setWindowTitle(QStringLiteral("高级查询筛选"));
    connectorCombo = new QComboBox(this);
    connectorCombo->setObjectName("ComboBox1");
    connectorCombo->addItems(GoodsFilter::connectors());
    fieldCombo = new QComboBox(this);
    fieldCombo->setObjectName("ComboBox2");
    fieldCombo->addItems(GoodsFilter::fields());
    operatorCombo = new QComboBox(this);
    operatorCombo->setObjectName("ComboBox3");
    operatorCombo->addItems(GoodsFilter::operators());
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName("Edit1");
    termListBox = new QListWidget(this);
    termListBox->setObjectName("ListBox1");
    addButton = button(QStringLiteral("增加条件"), this);
    clearButton = button(QStringLiteral("清空条件"), this);
    searchButton = button(QStringLiteral("按照条件查找"), this);
    cancelButton = button(QStringLiteral("取消查找"), this);

    auto *terms = new QHBoxLayout;
    terms->addWidget(connectorCombo);
    terms->addWidget(fieldCombo);
    terms->addWidget(operatorCombo);
    terms->addWidget(valueEdit, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {addButton, clearButton, searchButton, cancelButton})
        buttons->addWidget(b);
    auto *main = new QVBoxLayout(this);
    main->addLayout(terms);
    main->addWidget(termListBox, 1);
    main->addLayout(buttons);
    setTypicalSize(QSize(560, 320));

    connect(addButton, &QPushButton::clicked, this, &TfrmSelectCangku::addButtonClick);
    connect(clearButton, &QPushButton::clicked, this, &TfrmSelectCangku::clearButtonClick);
    connect(searchButton, &QPushButton::clicked, this, &TfrmSelectCangku::searchButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSelectCangku::FormShow()
{
    goodsFilter().startOpening();
    connectorCombo->setVisible(false);
    valueEdit->setFocus();
}

void TfrmSelectCangku::addButtonClick()
{
    const QString line = goodsFilter().add(connectorCombo->currentText(), fieldCombo->currentText(),
                                           operatorCombo->currentText(), valueEdit->text(), !db().isSqlite());
    auto *item = new QListWidgetItem(line, termListBox);
    item->setToolTip(line);
    connectorCombo->setVisible(true);
}

void TfrmSelectCangku::clearButtonClick()
{
    while (termListBox->count() > 0) {
        delete termListBox->takeItem(termListBox->count() - 1);
        goodsFilter().removeLine();
    }
    if (goodsFilter().termCount() == 0)
        connectorCombo->setVisible(false);
}

void TfrmSelectCangku::searchButtonClick()
{
    if (goodsFilter().isEmpty()) {
        notice(this, QStringLiteral("请增加选择条件"), QMessageBox::NoIcon);
        return;
    }
    if (m_list)
        m_list->showList({goodsFilter().condition(), kTotalsAscii});
}

} // namespace orv
