#include "warehouse/transferwindow.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/documentchecks.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "report/engine/frreport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

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

TransferWindow::TransferWindow(const QString &caption, int fitCaller, int mdfMode, QWidget *parent)
    : EntryWindow(parent), m_transfers(db()), frReport1(std::make_unique<TfrReport>())
{
    setWindowTitle(caption);
    titleLabel = new QLabel(caption, this);
    titleLabel->setObjectName("Label1");
    QFont title = titleLabel->font();
    title.setBold(true);
    title.setPixelSize(16);
    titleLabel->setFont(title);
    numberEdit = lineEdit("EditStoreNo", this);
    setGreyReadOnly(numberEdit);
    dateEdit = lineEdit("Edit1Date", this);
    remarkEdit = lineEdit("Edit5", this);

    // Widths set once: the goods row's ID and the conversion ratio hidden; no editing in place.
    goodsGrid = new GoodsLineView(&m_lines, {15, 120, 120, 60, 60, 60, 60, 60, 60, 60, -1, 70, 70, 70, 70, -1},
                                  false, this);
    entryEdit = lineEdit("Edit2", this);
    totalEdit = lineEdit("Edit1", this);
    setGreyReadOnly(totalEdit);
    totalEdit->setText(QStringLiteral("0"));
    qtyLabel = hiddenTotal("Label9", this);
    auxQtyLabel = hiddenTotal("Label10", this);
    printBox = new QCheckBox(QStringLiteral("打印单据"), this);
    printBox->setObjectName("CheckBox2");
    addButton = toolButton("SpeedButton12", QStringLiteral("增加新的货品"), this);
    editButton = toolButton("SpeedButton14", QStringLiteral("修改"), this);
    deleteButton = toolButton("SpeedButton13", QStringLiteral("删除"), this);
    printButton = toolButton("SpeedButton8", QStringLiteral("打印单据(&P)"), this);
    saveButton = toolButton("BitBtn1", QStringLiteral("确定(&S)"), this);
    clearButton = toolButton("BitBtn2", QStringLiteral("清空(&C)"), this);

    connect(addButton, &QToolButton::clicked, this, &TransferWindow::SpeedButton12Click);
    connect(editButton, &QToolButton::clicked, this, &TransferWindow::SpeedButton14Click);
    connect(deleteButton, &QToolButton::clicked, this, &TransferWindow::SpeedButton13Click);
    connect(printButton, &QToolButton::clicked, this, &TransferWindow::SpeedButton8Click);
    connect(saveButton, &QToolButton::clicked, this, [this] { BitBtn1Click(); });
    connect(clearButton, &QToolButton::clicked, this, [this] { BitBtn2Click(); });

    setUpGoodsLines({.lines = &m_lines, .view = goodsGrid, .fitCaller = fitCaller, .mdfMode = mdfMode,
                     .recompute = [this] { recomputeTotals(); }, .focusAfterDelete = numberEdit,
                     .backField = remarkEdit});
    // Stored as the date alone: a picked date no longer ends in a blank.
    handleMessages({{WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date.trimmed()); }}});
}

TransferWindow::~TransferWindow() = default;

void TransferWindow::layOutBelow(QLayout *header)
{
    auto *totals = new QHBoxLayout;
    totals->addWidget(redCaption(QStringLiteral("条码/编号："), this));
    totals->addWidget(entryEdit);
    totals->addWidget(new QLabel(QStringLiteral("合计金额："), this));
    totals->addWidget(totalEdit);
    totals->addWidget(qtyLabel);
    totals->addWidget(auxQtyLabel);
    totals->addStretch();

    layOutEntry({.title = titleLabel,
                 .titleAlignment = Qt::AlignHCenter,
                 .header = header,
                 .lineButtons = {addButton, editButton, deleteButton},
                 .hintName = "Label16",
                 .grid = goodsGrid,
                 .below = {totals},
                 .boxes = {printBox},
                 .buttons = {printButton, saveButton, clearButton}});
    resize(900, 560);
}

void TransferWindow::chainHeader(const QVector<KeyStep> &steps)
{
    if (!m_keys)
        m_keys = new EntryKeys(this);
    for (int i = 0; i + 1 < steps.size(); ++i)
        m_keys->chain(steps[i].field, steps[i + 1].field, i > 0 ? steps[i - 1].field : nullptr, steps[i].picker);
}

void TransferWindow::setUpLowerKeys(QWidget *last)
{
    if (!m_keys)
        m_keys = new EntryKeys(this);
    // Reaching the grid from the remark opens the goods picker at once.
    m_keys->chain(remarkEdit, nullptr, last, [this] {
        goodsGrid->setFocus();
        SpeedButton12Click();
    });
    m_keys->codeEntry(entryEdit, [this] { Edit2Entered(); }, totalEdit, goodsGrid);
    m_keys->chain(totalEdit, printBox, entryEdit);
    m_keys->chain(printBox, nullptr, totalEdit, [this] { BitBtn1Click(); });
}

int TransferWindow::currentGoodsLine() const { return goodsGrid->currentGridRow(); }

void TransferWindow::takeLine() { takePickedLine(); }

void TransferWindow::recomputeTotals()
{
    showTotals(m_lines, {totalEdit}, nullptr, qtyLabel, auxQtyLabel, false);
}

void TransferWindow::Edit2Entered()
{
    // An empty entry would match every goods row without a barcode.
    if (entryEdit->text().trimmed().isEmpty())
        return;
    takeEnteredCode(this, entryEdit, m_lines, kPurchasePrice, [this] { takeLine(); }, true);
}

void TransferWindow::SpeedButton12Click() { addGoodsLine(); }

void TransferWindow::SpeedButton14Click() { editGoodsLine(); }

void TransferWindow::SpeedButton13Click() { deleteGoodsLine(); }

bool TransferWindow::passes(const std::optional<CheckFailure> &failure)
{
    if (!failure)
        return true;
    notice(this, failure->message);
    if (QWidget *w = failure->focus.isEmpty() ? nullptr : findChild<QWidget *>(failure->focus))
        w->setFocus();
    return false;
}

bool TransferWindow::finishSave(const Transfers::Result &r, const QString &date, const QString &shortText,
                                const std::function<void()> &reset)
{
    if (!r.ok()) {
        notice(this, QStringLiteral("第%1行").arg(r.shortRow) + shortText);
        return false;
    }
    m_transferID = r.id;
    numberEdit->setText(r.number);
    dateEdit->setText(date);
    notice(this, QStringLiteral("货品调拨成功"));
    if (printBox->isChecked())
        print(false);
    reset();
    return true;
}

bool TransferWindow::saveTransfer(const std::optional<CheckFailure> &failure, const QString &date,
                                  const std::function<Transfers::Result(const QString &)> &save,
                                  const QString &shortText,
                                  const std::function<void(const Transfers::Result &)> &given)
{
    if (!passes(failure))
        return false;
    const QString stored = storedDate(date).value_or(date);
    Transfers::Result r;
    try {
        r = save(stored);
    } catch (const std::exception &e) {
        showError(this, e);
        return false;
    }
    if (r.ok() && given)
        given(r);
    return finishSave(r, stored, shortText, [this] { BitBtn2Click(); });
}

TransferPrintValues TransferWindow::shownValues() const
{
    TransferPrintValues v;
    v.number = numberEdit->text();
    v.date = dateEdit->text();
    v.remark = remarkEdit->text();
    v.qty = qtyLabel->text();
    v.auxQty = auxQtyLabel->text();
    v.amount = totalEdit->text();
    return v;
}

void TransferWindow::clearLines()
{
    m_lines.clearLines();
    entryEdit->clear();
    totalEdit->setText(QStringLiteral("0"));
    printBox->setChecked(false);
    G.gRepFit.TargetRow = 0;
}

void TransferWindow::SpeedButton8Click() { print(true); }

void TransferWindow::print(bool fromGrid)
{
    DocumentPrint p;
    try {
        const LineSlots lineSlots = fromGrid ? gridLineSlots() : documentLineSlots();
        p = transferPrint(printValues(), lineSlots,
                          fromGrid ? gridPrintLines(m_lines, lineSlots)
                                   : storedPrintLines(db(), lineTable(), m_transferID, lineSlots));
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport1, p);
}

} // namespace orv
