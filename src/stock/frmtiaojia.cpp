#include "stock/frmtiaojia.h"
#include "app/appglobals.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/frmcangku.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orv {

namespace {
QLineEdit *numberEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    // Digits and at most one point, typed or pasted.
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), e));
    e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    return e;
}

QCheckBox *scopeBox(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QCheckBox(text, parent);
    b->setObjectName(name);
    return b;
}
} // namespace

TfrmTiaojia::TfrmTiaojia(QWidget *owner) : StockDialog(owner)
{
    setObjectName("frmTiaojia");
    setWindowTitle(QStringLiteral("调价"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto *box = new QGroupBox(QStringLiteral("调价公式"), this);
    const auto equal = size_t(PriceScope::Equal), below = size_t(PriceScope::Below), above = size_t(PriceScope::Above),
               between = size_t(PriceScope::Between), betweenEqual = size_t(PriceScope::BetweenEqual),
               all = size_t(PriceScope::All);
    scopeBoxes[equal] = scopeBox("CheckBox2", QStringLiteral("对进货价="), box);
    lowEdits[equal] = numberEdit("Edit2", box);
    scopeBoxes[below] = scopeBox("CheckBox3", QStringLiteral("对进货价<"), box);
    lowEdits[below] = numberEdit("Edit3", box);
    scopeBoxes[above] = scopeBox("CheckBox4", QStringLiteral("对进货价>"), box);
    lowEdits[above] = numberEdit("Edit4", box);
    scopeBoxes[between] = scopeBox("CheckBox1", QStringLiteral("对"), box);
    lowEdits[between] = numberEdit("Edit5", box);
    highEdits[between] = numberEdit("Edit6", box);
    scopeBoxes[betweenEqual] = scopeBox("CheckBox5", QStringLiteral("对"), box);
    lowEdits[betweenEqual] = numberEdit("Edit7", box);
    highEdits[betweenEqual] = numberEdit("Edit8", box);
    scopeBoxes[all] = scopeBox("CheckBox6", QStringLiteral("对所有的货品进行调价"), box);

    targetCombo = new QComboBox(box);
    targetCombo->setObjectName("ComboBox1");
    targetCombo->addItem(QStringLiteral("出货价"));
    operatorCombo = new QComboBox(box);
    operatorCombo->setObjectName("ComboBox2");
    operatorCombo->addItems(priceOperators());
    operandEdit = numberEdit("Edit1", box);
    okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName("BitBtn1");
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName("BitBtn2");
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);

    auto *grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("调价参数设置："), box), 0, 0, 1, 6);
    const QString tail = QStringLiteral("的货品进行调价");
    int row = 1;
    for (size_t s : {equal, below, above}) {
        grid->addWidget(scopeBoxes[s], row, 0);
        grid->addWidget(lowEdits[s], row, 1);
        grid->addWidget(new QLabel(tail, box), row, 2, 1, 4);
        ++row;
    }
    const std::pair<size_t, QString> twoBounds[] = {{between, QStringLiteral("<进货价<")},
                                                    {betweenEqual, QStringLiteral("=<进货价<=")}};
    for (const auto &[s, middle] : twoBounds) {
        grid->addWidget(scopeBoxes[s], row, 0);
        grid->addWidget(lowEdits[s], row, 1);
        grid->addWidget(new QLabel(middle, box), row, 2);
        grid->addWidget(highEdits[s], row, 3);
        grid->addWidget(new QLabel(tail, box), row, 4, 1, 2);
        ++row;
    }
    grid->addWidget(scopeBoxes[all], row++, 0, 1, 6);
    auto *formula = new QHBoxLayout;
    formula->addWidget(targetCombo);
    formula->addWidget(new QLabel(QStringLiteral("=进货价"), box));
    formula->addWidget(operatorCombo);
    formula->addWidget(operandEdit);
    formula->addStretch(1);
    grid->addLayout(formula, row, 0, 1, 6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *main = new QVBoxLayout(this);
    main->addWidget(box);
    main->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TfrmTiaojia::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &TfrmTiaojia::BitBtn2Click);
}

PriceAdjustmentInput TfrmTiaojia::input() const
{
    PriceAdjustmentInput in;
    for (size_t s = 0; s < size_t(kPriceScopes); ++s) {
        in.scopes[s].ticked = scopeBoxes[s]->isChecked();
        if (lowEdits[s])
            in.scopes[s].low = lowEdits[s]->text();
        if (highEdits[s])
            in.scopes[s].high = highEdits[s]->text();
    }
    in.op = PriceOp(operatorCombo->currentIndex());
    in.operand = operandEdit->text();
    return in;
}

void TfrmTiaojia::BitBtn1Click()
{
    const PricePlan plan = planPriceAdjustment(input());
    for (const QString &m : plan.messages)
        notice(this, m);
    if (!plan.apply)
        return;
    try {
        applyPriceAdjustment(db(), plan);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    notice(this, kPriceDone);
    SendMessage(frmCangKu, WM_PRICE_ADJUSTED);
    accept();
}

void TfrmTiaojia::BitBtn2Click() { reject(); }

} // namespace orv
