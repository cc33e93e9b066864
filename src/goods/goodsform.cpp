#include "goods/goodsform.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "common/pinyin.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "goods/fieldorder.h"
#include "goods/frmchoosegys.h"
#include "goods/frmchooseleibie.h"
#include "goods/goodslines.h"
#include "goods/goodspicture.h"
#include "goods/guiutil.h"
#include "goods/lookupforms.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>

namespace orv {

namespace {
QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

// Digits and one decimal point; nothing else reaches a number field.
QLineEdit *numberEdit(const char *name, QWidget *parent)
{
    QLineEdit *e = lineEdit(name, parent);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d*\\.?\\d*"), e));
    return e;
}

// A list field: its value comes from its drop-down list or a picker, never from typing.
QComboBox *listCombo(const char *name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->lineEdit()->setReadOnly(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

QToolButton *pickerButton(const QString &name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("…"));
    return b;
}

const QString kNoPicture = QStringLiteral("无图片");
} // namespace

GoodsForm::GoodsForm(QDialog *d, const PickerModes &modes, const QString &supplierButtonName)
    : QObject(d), m_dialog(d), m_modes(modes)
{
    codeEdit = lineEdit("EditNo", d);
    nameEdit = lineEdit("EditName", d);
    mnemonicEdit = lineEdit("Edit1", d);
    categoryEdit = lineEdit("EditType", d);
    categoryEdit->setReadOnly(true);
    specEdit = lineEdit("EditSpic", d);
    purchasePriceEdit = numberEdit("EditJin", d);
    auxUnitCombo = listCombo("ComboBox6", d);
    unitCombo = listCombo("ComboBox2", d);
    ratioEdit = numberEdit("Edit6", d);
    auxStockEdit = numberEdit("Edit4", d);
    stockEdit = numberEdit("Edit3", d);
    warningStockEdit = numberEdit("EditJing", d);
    warrantyCombo = listCombo("ComboBox1", d);
    placeCombo = listCombo("ComboBox4", d);
    supplierCombo = listCombo("ComboBox3", d);
    barcodeEdit = lineEdit("EditMa", d);
    salePriceEdit = numberEdit("Edit5", d);
    remarkMemo = new QPlainTextEdit(d);
    remarkMemo->setObjectName("Memo1");
    remarkMemo->setTabChangesFocus(true);
    categoryButton = pickerButton("SpeedButtonType", d);
    auxUnitButton = pickerButton("SpeedButtonAuxUnit", d);
    unitButton = pickerButton("SpeedButtonUnit", d);
    placeButton = pickerButton("SpeedButtonPlace", d);
    supplierButton = pickerButton(supplierButtonName, d);

    pictureBox = new QLabel(kNoPicture, d);
    pictureBox->setObjectName("Image1");
    pictureBox->setAlignment(Qt::AlignCenter);
    pictureBox->setFrameShape(QFrame::Panel);
    pictureBox->setFrameShadow(QFrame::Sunken);
    pictureBox->setMinimumSize(200, 200);
    pictureBox->setScaledContents(true);
    importPictureButton = new QPushButton(QStringLiteral("导入"), d);
    clearPictureButton = new QPushButton(QStringLiteral("删除"), d);
    savePictureButton = new QPushButton(QStringLiteral("保存"), d);
    savePictureButton->hide();
    saveButton = new QPushButton(QStringLiteral("保存(&S)"), d);
    saveButton->setObjectName("BitBtn1");
    saveButton->setAutoDefault(false);
    closeButton = new QPushButton(QStringLiteral("关闭(&C)"), d);
    closeButton->setObjectName("BitBtn2");
    closeButton->setAutoDefault(false);
    for (QPushButton *b : {importPictureButton, clearPictureButton, savePictureButton})
        b->setAutoDefault(false);

    // Labels of the fields the operator must fill are red.
    auto label = [d](const QString &text, bool red) {
        return red ? goodsui::redLabel(text, d) : new QLabel(text, d);
    };
    auto withButton = [d](QWidget *field, QToolButton *button) {
        auto *box = new QHBoxLayout;
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(field, 1);
        box->addWidget(button);
        return box;
    };
    auto *grid = new QGridLayout;
    int row = 0;
    auto add = [&](int col, QLabel *l, QWidget *field, QToolButton *button = nullptr) {
        grid->addWidget(l, row, col * 2);
        if (button)
            grid->addLayout(withButton(field, button), row, col * 2 + 1);
        else
            grid->addWidget(field, row, col * 2 + 1);
    };
    add(0, label("编号：", true), codeEdit);
    add(1, label("名称：", false), nameEdit);
    ++row;
    add(0, label("拼音码：", false), mnemonicEdit);
    add(1, label("类别：", true), categoryEdit, categoryButton);
    ++row;
    add(0, label("规格：", false), specEdit);
    add(1, label("进货价：", true), purchasePriceEdit);
    ++row;
    add(0, label("辅助单位：", false), auxUnitCombo, auxUnitButton);
    add(1, label("单位：", false), unitCombo, unitButton);
    ++row;
    {
        auto *ratio = new QHBoxLayout;
        ratio->addWidget(new QLabel(QStringLiteral("1辅助单位="), d));
        ratio->addWidget(ratioEdit, 1);
        ratio->addWidget(new QLabel(QStringLiteral("单位"), d));
        grid->addLayout(ratio, row, 0, 1, 2);
    }
    add(1, label("辅助库存：", true), auxStockEdit);
    ++row;
    add(0, label("库存：", true), stockEdit);
    add(1, label("警戒库存：", true), warningStockEdit);
    ++row;
    add(0, label("保修期：", false), warrantyCombo);
    add(1, label("仓位：", false), placeCombo, placeButton);
    ++row;
    add(0, label("供应商：", false), supplierCombo, supplierButton);
    add(1, label("条码：", false), barcodeEdit);
    ++row;
    add(0, label("出货价：", true), salePriceEdit);
    ++row;
    grid->addWidget(new QLabel(QStringLiteral("备注："), d), row, 0, Qt::AlignTop);
    grid->addWidget(remarkMemo, row, 1, 1, 3);
    ++row;
    grid->addWidget(goodsui::redLabel(QStringLiteral("*图片是与编号相匹配的，如果修改编号，请注意保存图片"), d), row,
                    0, 1, 4);

    auto *pictureButtons = new QHBoxLayout;
    pictureButtons->addWidget(importPictureButton);
    pictureButtons->addWidget(clearPictureButton);
    pictureButtons->addWidget(savePictureButton);
    auto *picture = new QVBoxLayout;
    picture->addWidget(pictureBox, 1);
    picture->addLayout(pictureButtons);

    auto *page = new QWidget(d);
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->addLayout(grid, 3);
    pageLayout->addLayout(picture, 1);
    auto *tabs = new QTabWidget(d);
    tabs->addTab(page, QStringLiteral("货品信息编辑"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto *main = new QVBoxLayout(d);
    main->addWidget(tabs, 1);
    main->addLayout(buttons);

    warrantyCombo->addItems(GoodsStore::warranties());
    warrantyCombo->setEditText(QString());

    order = new FieldOrder(d, {codeEdit, nameEdit, mnemonicEdit, categoryEdit, specEdit, purchasePriceEdit,
                               auxUnitCombo, unitCombo, ratioEdit, auxStockEdit, stockEdit, warningStockEdit,
                               warrantyCombo, placeCombo, supplierCombo, barcodeEdit, salePriceEdit, remarkMemo,
                               saveButton});
    order->afterLast([this] { saveButton->click(); });
    order->onEnter(categoryEdit, [this] { pickCategory(); });
    order->onEnter(auxUnitCombo, [this] { pickAuxUnit(); });
    order->onEnter(unitCombo, [this] { pickUnit(); });
    order->onEnter(placeCombo, [this] { pickPlace(); });
    order->onEnter(supplierCombo, [this] { pickSupplier(); });

    for (QComboBox *c : {auxUnitCombo, unitCombo, placeCombo, supplierCombo})
        c->installEventFilter(this);
    ratioEdit->installEventFilter(this);

    connect(nameEdit, &QLineEdit::textChanged, this, [this](const QString &t) { mnemonicEdit->setText(ChnToPY(t)); });
    connect(categoryButton, &QToolButton::clicked, this, &GoodsForm::pickCategory);
    connect(auxUnitButton, &QToolButton::clicked, this, &GoodsForm::pickAuxUnit);
    connect(unitButton, &QToolButton::clicked, this, &GoodsForm::pickUnit);
    connect(placeButton, &QToolButton::clicked, this, &GoodsForm::pickPlace);
    connect(supplierButton, &QToolButton::clicked, this, &GoodsForm::pickSupplier);
    connect(importPictureButton, &QPushButton::clicked, this, &GoodsForm::loadPictureFromFile);
    connect(clearPictureButton, &QPushButton::clicked, this, &GoodsForm::clearPicture);
    connect(closeButton, &QPushButton::clicked, d, &QDialog::reject);
}

GoodsRecord GoodsForm::record() const
{
    GoodsRecord r;
    r.code = codeEdit->text();
    r.name = nameEdit->text();
    r.mnemonic = mnemonicEdit->text();
    r.category = categoryEdit->text();
    r.spec = specEdit->text();
    r.purchasePrice = purchasePriceEdit->text();
    r.auxUnit = auxUnitCombo->currentText();
    r.unit = unitCombo->currentText();
    r.ratio = ratioEdit->text();
    r.auxStock = auxStockEdit->text();
    r.stock = stockEdit->text();
    r.warningStock = warningStockEdit->text();
    r.warranty = warrantyCombo->currentText();
    r.place = placeCombo->currentText();
    r.supplier = supplierCombo->currentText();
    r.barcode = barcodeEdit->text();
    r.salePrice = salePriceEdit->text();
    r.remark = remarkMemo->toPlainText();
    return r;
}

void GoodsForm::fill(const GoodsRecord &r)
{
    codeEdit->setText(r.code);
    // The name first: the mnemonic field then shows the stored code, not one made from the name.
    nameEdit->setText(r.name);
    mnemonicEdit->setText(r.mnemonic);
    categoryEdit->setText(r.category);
    specEdit->setText(r.spec);
    purchasePriceEdit->setText(r.purchasePrice);
    auxUnitCombo->setEditText(r.auxUnit);
    unitCombo->setEditText(r.unit);
    ratioEdit->setText(r.ratio);
    auxStockEdit->setText(r.auxStock);
    stockEdit->setText(r.stock);
    warningStockEdit->setText(r.warningStock);
    warrantyCombo->setEditText(r.warranty);
    placeCombo->setEditText(r.place);
    supplierCombo->setEditText(r.supplier);
    barcodeEdit->setText(r.barcode);
    salePriceEdit->setText(r.salePrice);
    remarkMemo->setPlainText(r.remark);
}

void GoodsForm::clear() { fill(GoodsRecord{}); }

QWidget *GoodsForm::widgetOf(GoodsField f) const
{
    switch (f) {
    case GoodsField::Code: return codeEdit;
    case GoodsField::Name: return nameEdit;
    case GoodsField::Mnemonic: return mnemonicEdit;
    case GoodsField::Category: return categoryEdit;
    case GoodsField::Spec: return specEdit;
    case GoodsField::PurchasePrice: return purchasePriceEdit;
    case GoodsField::AuxUnit: return auxUnitCombo;
    case GoodsField::Unit: return unitCombo;
    case GoodsField::Ratio: return ratioEdit;
    case GoodsField::AuxStock: return auxStockEdit;
    case GoodsField::Stock: return stockEdit;
    case GoodsField::WarningStock: return warningStockEdit;
    case GoodsField::Warranty: return warrantyCombo;
    case GoodsField::Place: return placeCombo;
    case GoodsField::Supplier: return supplierCombo;
    case GoodsField::Barcode: return barcodeEdit;
    case GoodsField::SalePrice: return salePriceEdit;
    case GoodsField::Remark: break;
    }
    return remarkMemo;
}

void GoodsForm::refuse(const GoodsRefusal &r)
{
    for (const QString &m : r.messages)
        notice(m_dialog, m, QMessageBox::NoIcon);
    if (r.clearCode)
        codeEdit->clear();
    if (r.clearBarcode)
        barcodeEdit->clear();
    widgetOf(r.focus)->setFocus();
}

void GoodsForm::setLocked(bool locked)
{
    for (QLineEdit *e : {codeEdit, nameEdit, mnemonicEdit, specEdit, purchasePriceEdit, ratioEdit, auxStockEdit,
                         stockEdit, warningStockEdit, barcodeEdit, salePriceEdit})
        goodsui::setEntryState(e, !locked);
    goodsui::setEntryState(remarkMemo, !locked);
    // 类别 is filled by its picker only; it shares the others' colour.
    goodsui::setEntryState(categoryEdit, !locked);
    categoryEdit->setReadOnly(true);
    for (QComboBox *c : {auxUnitCombo, unitCombo, warrantyCombo, placeCombo, supplierCombo}) {
        QPalette p = c->palette();
        p.setColor(QPalette::Base, locked ? QColor(0xd4, 0xd0, 0xc8) : QColor(Qt::white));
        c->setPalette(p);
        c->setEnabled(!locked);
    }
    for (QToolButton *b : {categoryButton, auxUnitButton, unitButton, placeButton, supplierButton})
        b->setEnabled(!locked);
}

void GoodsForm::showPicture(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        clearPicture();
        return;
    }
    QString error;
    const QImage image = decodePicture(bytes, &error);
    m_picture = bytes;
    if (image.isNull()) {
        // A stored picture this window cannot show (a metafile, a damaged file) is still the
        // item's: it is held as stored and a save writes it back; only 导入 or 删除 replace it.
        pictureBox->setPixmap(QPixmap());
        pictureBox->setText(error);
        notice(m_dialog, error, QMessageBox::Warning);
        return;
    }
    pictureBox->setPixmap(QPixmap::fromImage(image));
}

void GoodsForm::clearPicture()
{
    m_picture.clear();
    pictureBox->setPixmap(QPixmap());
    pictureBox->setText(kNoPicture);
}

void GoodsForm::loadPictureFromFile()
{
    const QString path = prompt().openFileName(m_dialog, QString(), QString(), QString());
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        notice(m_dialog, QStringLiteral("无法读取文件：%1").arg(path), QMessageBox::Warning);
        return;
    }
    const QByteArray bytes = f.readAll();
    QString error;
    const QImage image = decodePicture(bytes, &error);
    // A file that is no picture the program can show is refused; the box keeps what it held.
    if (image.isNull()) {
        notice(m_dialog, error, QMessageBox::Warning);
        return;
    }
    m_picture = bytes;
    pictureBox->setPixmap(QPixmap::fromImage(image));
}

void GoodsForm::setPictureButtonsEnabled(bool enabled)
{
    importPictureButton->setEnabled(enabled);
    clearPictureButton->setEnabled(enabled);
}

void GoodsForm::pickCategory()
{
    G.gLeiBieMode = m_modes.category;
    openModal(frmChooseLeiBie, true, m_dialog);
}

void GoodsForm::pickAuxUnit()
{
    G.gDirMode = m_modes.auxUnit;
    openModal(frmSelectDan, true, m_dialog);
}

void GoodsForm::pickUnit()
{
    G.gDirMode = m_modes.unit;
    openModal(frmSelectDan, true, m_dialog);
}

void GoodsForm::pickPlace()
{
    G.gDirMode = m_modes.place;
    openModal(frmCamgWei, true, m_dialog);
}

void GoodsForm::pickSupplier() { openSupplierPicker(m_dialog, m_modes.supplier); }

void GoodsForm::unitChosen(const QString &name)
{
    if (G.gDirMode == m_modes.auxUnit)
        auxUnitCombo->setEditText(name);
    else if (G.gDirMode == m_modes.unit)
        unitCombo->setEditText(name);
}

void GoodsForm::placeChosen(const QString &name) { placeCombo->setEditText(name); }
void GoodsForm::supplierChosen(const QString &text) { supplierCombo->setEditText(text); }
void GoodsForm::categoryChosen(const QString &name) { categoryEdit->setText(name); }

bool GoodsForm::takeField(FieldRole role, const QString &value)
{
    switch (role) {
    case FieldRole::Supplier:
        supplierChosen(value);
        return true;
    case FieldRole::Category:
        categoryChosen(value);
        return true;
    default:
        return false;
    }
}

void GoodsForm::refill(QComboBox *combo)
{
    const QString keep = combo->currentText();
    QStringList items;
    try {
        GoodsStore store(db());
        if (combo == auxUnitCombo || combo == unitCombo)
            items = store.unitNames();
        else if (combo == placeCombo)
            items = store.placeNames();
        else if (combo == supplierCombo)
            items = store.purchasingSuppliers();
    } catch (const std::exception &e) {
        showError(m_dialog, e);
        return;
    }
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    combo->setEditText(keep);
}

bool GoodsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *combo = qobject_cast<QComboBox *>(watched))
            refill(combo);
    }
    if (watched == ratioEdit && event->type() == QEvent::FocusOut) {
        // Advice only: the value stays, and the save accepts it.
        const auto ratio = parseNumber(ratioEdit->text());
        if (!ratioEdit->text().isEmpty() && ratio && *ratio <= 0)
            notice(m_dialog, GoodsStore::ratioAdviceText(), QMessageBox::NoIcon);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orv
