#include "goods/frmmdf.h"
#include "app/windowing.h"
#include "data/datamodule.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace orv {

namespace {
QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLineEdit *numberEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    // Digits and one decimal point: a second "." is refused.
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*\\.?\\d*"), e));
    return e;
}

bool isGridMode(int mode) { return (mode >= 1 && mode <= 6) || mode == 15; }
} // namespace

TfrmMdf::TfrmMdf(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmMdf");
    setWindowTitle(QStringLiteral("货品信息"));
    goodsNoLabel = valueLabel("Label2", this);
    nameLabel = valueLabel("Label4", this);
    specLabel = valueLabel("Label6", this);
    unitLabel = valueLabel("Label8", this);
    auxUnitLabel = valueLabel("Label10", this);
    barcodeLabel = valueLabel("Label12", this);
    placeLabel = valueLabel("Label14", this);
    supplierLabel = valueLabel("Label16", this);
    categoryLabel = valueLabel("Label18", this);
    ratioLabel = valueLabel("Label26", this);
    priceEdit = numberEdit("Edit3", this);
    qtyEdit = numberEdit("Edit1", this);
    auxQtyEdit = numberEdit("Edit2", this);
    amountEdit = numberEdit("Edit4", this);
    amountEdit->setReadOnly(true);
    discountEdit = numberEdit("Edit5", this);
    discountedEdit = numberEdit("Edit6", this);
    discountedEdit->setReadOnly(true);
    discountCaption = new QLabel(QStringLiteral("折扣："), this);
    discountCaption->setObjectName("Label23");
    discountedCaption = new QLabel(QStringLiteral("折后金额："), this);
    discountedCaption->setObjectName("Label24");
    okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName("Button1");
    okButton->setAutoDefault(false);
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName("Button2");
    cancelButton->setAutoDefault(false);

    auto *grid = new QGridLayout;
    const QList<QPair<const char *, QLabel *>> shown{
        {"货品编号：", goodsNoLabel}, {"货品名称：", nameLabel}, {"规格：", specLabel},
        {"单位：", unitLabel},        {"辅助单位：", auxUnitLabel}, {"条码：", barcodeLabel},
        {"仓位：", placeLabel},       {" 供应商：", supplierLabel}, {"类别：", categoryLabel}};
    int row = 0;
    for (int i = 0; i < shown.size(); ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(shown[i].first), this), row, (i % 2) * 2);
        grid->addWidget(shown[i].second, row, (i % 2) * 2 + 1);
        if (i % 2 == 1)
            ++row;
    }
    ++row;
    auto *ratioRow = new QHBoxLayout;
    ratioRow->addWidget(new QLabel(QStringLiteral("辅助单位：="), this));
    ratioRow->addWidget(ratioLabel);
    ratioRow->addWidget(new QLabel(QStringLiteral("单位"), this));
    ratioRow->addStretch();
    grid->addLayout(ratioRow, row++, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("单价："), this), row, 0);
    grid->addWidget(priceEdit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("    数量："), this), row, 2);
    grid->addWidget(qtyEdit, row++, 3);
    grid->addWidget(new QLabel(QStringLiteral("辅助数量："), this), row, 0);
    grid->addWidget(auxQtyEdit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("金额："), this), row, 2);
    grid->addWidget(amountEdit, row++, 3);
    grid->addWidget(discountCaption, row, 0);
    grid->addWidget(discountEdit, row, 1);
    grid->addWidget(discountedCaption, row, 2);
    grid->addWidget(discountedEdit, row++, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    setTypicalSize(QSize(520, 300));

    for (QLineEdit *e : {qtyEdit, auxQtyEdit, priceEdit, amountEdit, discountEdit, discountedEdit})
        e->installEventFilter(this);
    connect(qtyEdit, &QLineEdit::textEdited, this,
            [this] { recompute([this](const LineValues &v) { return lineediting::afterQty(v, ratio()); }); });
    connect(auxQtyEdit, &QLineEdit::textEdited, this,
            [this] { recompute([this](const LineValues &v) { return lineediting::afterAuxQty(v, ratio()); }); });
    connect(priceEdit, &QLineEdit::textEdited, this, [this] { recompute(&lineediting::afterPrice); });
    connect(discountEdit, &QLineEdit::textEdited, this, [this] { recompute(&lineediting::afterDiscount); });
    connect(okButton, &QPushButton::clicked, this, &TfrmMdf::Button1Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}


void TfrmMdf::setDiscountShown(bool shown)
{
    for (QWidget *w : std::initializer_list<QWidget *>{discountCaption, discountedCaption, discountEdit, discountedEdit})
        w->setVisible(shown);
}

LineValues TfrmMdf::values() const
{
    return {qtyEdit->text(), auxQtyEdit->text(), priceEdit->text(), amountEdit->text(), discountEdit->text(),
            discountedEdit->text()};
}

void TfrmMdf::apply(const LineValues &v)
{
    // Only changed texts are set, so the cursor stays where the operator types.
    auto set = [](QLineEdit *e, const QString &t) {
        if (e->text() != t)
            e->setText(t);
    };
    set(qtyEdit, v.qty);
    set(auxQtyEdit, v.auxQty);
    set(priceEdit, v.price);
    set(amountEdit, v.amount);
    set(discountEdit, v.discount);
    set(discountedEdit, v.discounted);
}

template <typename Rule> void TfrmMdf::recompute(Rule rule)
{
    try {
        apply(rule(values()));
    } catch (const ConversionError &) {
        // Half-typed values ("." before the digits, an empty price) leave the other fields as
        // they were; the save names a value that is still not a number.
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

std::optional<QString> TfrmMdf::ratio()
{
    return lineediting::ratioOf(db(), goodsNoLabel->text(), nameLabel->text(), placeLabel->text());
}

void TfrmMdf::FormShow()
{
    writeWindowStatus(windowTitle());
    const int mode = G.gMdfMode;
    LineValues v;
    if (isGridMode(mode)) {
        auto *host = dynamic_cast<GoodsLineHost *>(m_opener.data());
        GoodsLineGrid *grid = host ? host->goodsLines() : nullptr;
        if (grid) {
            m_gridRow = host->currentGoodsLine();
            const GoodsLineColumns &c = grid->columns();
            auto cell = [&](int col) { return col >= 0 ? grid->cell(m_gridRow, col) : QString(); };
            goodsNoLabel->setText(cell(c.goodsNo));
            nameLabel->setText(cell(c.name));
            specLabel->setText(cell(c.spec));
            unitLabel->setText(cell(c.unit));
            auxUnitLabel->setText(cell(c.auxUnit));
            barcodeLabel->setText(cell(c.barcode));
            placeLabel->setText(cell(c.place));
            supplierLabel->setText(cell(c.supplier));
            categoryLabel->setText(cell(c.category));
            ratioLabel->setText(cell(c.ratio));
            v = {cell(c.qty), cell(c.auxQty), cell(c.price), cell(c.amount), cell(c.discount), QString()};
        }
    } else if (mode == 8) {
        m_detailRow = G.gRepFit.RowNo.toLongLong();
        try {
            if (const auto r = lineediting::readDetailRow(db(), G.gAuditKind, m_detailRow)) {
                goodsNoLabel->setText(r->goodsNo);
                nameLabel->setText(r->name);
                specLabel->setText(r->spec);
                unitLabel->setText(r->unit);
                auxUnitLabel->setText(r->auxUnit);
                barcodeLabel->setText(r->barcode);
                placeLabel->setText(r->place);
                supplierLabel->setText(r->supplier);
                categoryLabel->setText(r->category);
                ratioLabel->setText(r->ratio);
                v = r->values;
            }
        } catch (const std::exception &e) {
            showError(this, e);
        }
    }
    const QString storedDiscounted = v.discounted;
    apply(v);
    if (!v.discount.isEmpty()) {
        recompute(&lineediting::afterDiscount);
        // A stored detail row keeps its own 折后金额.
        if (mode == 8)
            discountedEdit->setText(storedDiscounted);
    }
    qtyEdit->setFocus();
    qtyEdit->selectAll();
}

void TfrmMdf::Button1Click()
{
    const int mode = G.gMdfMode;
    try {
        if (isGridMode(mode)) {
            auto *host = dynamic_cast<GoodsLineHost *>(m_opener.data());
            GoodsLineGrid *grid = host ? host->goodsLines() : nullptr;
            // Every cell is computed before any is written: a value that is not a number
            // leaves the line as it was.
            const LineValues v = lineediting::forGridSave(values(), mode == 6);
            apply(v);
            if (grid)
                grid->writeEdited(m_gridRow, {v.qty, v.auxQty, v.price, v.amount, v.discount, v.discounted});
            SendMessage(m_opener, WM_FIT_MDF);
        } else if (mode == 8) {
            // A document approved or cancelled meanwhile keeps its line: its window shows what is
            // pending now.
            const bool updated = lineediting::updateDetailRow(db(), G.gAuditKind, m_detailRow, values());
            SendMessage(m_opener, updated ? WM_AUD_FIT_MDF : WM_AUD_FIT_UPDATE);
        }
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    accept();
}

void TfrmMdf::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // handled by the fields
    GoodsDialog::keyPressEvent(e);
}

bool TfrmMdf::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == amountEdit)
        recompute(&lineediting::enterAmount);
    if (event->type() == QEvent::FocusOut && watched == priceEdit)
        recompute(&lineediting::afterPrice);
    if (event->type() == QEvent::FocusOut && watched == discountEdit)
        recompute(&lineediting::afterDiscount);
    if (event->type() != QEvent::KeyPress)
        return GoodsDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool forward = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Right;
    const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
    if (!forward && !back)
        return GoodsDialog::eventFilter(watched, event);
    const bool sales = G.gMdfMode == 6;
    if (watched == qtyEdit) {
        if (forward)
            auxQtyEdit->setFocus();
    } else if (watched == auxQtyEdit) {
        (forward ? priceEdit : qtyEdit)->setFocus();
    } else if (watched == priceEdit) {
        (forward ? amountEdit : auxQtyEdit)->setFocus();
    } else if (watched == amountEdit) {
        if (back)
            priceEdit->setFocus();
        else if (sales) {
            setDiscountShown(true);
            discountEdit->setEnabled(true);
            discountEdit->setFocus();
        } else
            Button1Click();
    } else if (watched == discountEdit) {
        (forward ? discountedEdit : amountEdit)->setFocus();
    } else if (watched == discountedEdit) {
        if (forward)
            Button1Click();
        else
            discountEdit->setFocus();
    }
    return true;
}

int openLineEditor(QWidget *receiver, int mdfMode)
{
    G.gMdfMode = mdfMode;
    if (frmMdf)
        delete frmMdf.data();
    auto *e = new TfrmMdf(receiver);
    frmMdf = e;
    e->setDiscountShown(mdfMode == 6);
    centreOnDesktop(e);
    return prompt().runModal(e);
}

int shenhe(QWidget *auditWindow)
{
    G.gMdfMode = 8;
    if (frmMdf)
        delete frmMdf.data();
    auto *e = new TfrmMdf(auditWindow);
    frmMdf = e;
    if (G.gAuditKind == 1 || G.gAuditKind == 3 || G.gAuditKind == 4)
        e->setDiscountShown(false);
    else if (G.gAuditKind == 2)
        e->setDiscountShown(true);
    centreOnDesktop(e);
    return prompt().runModal(e);
}

} // namespace orv
