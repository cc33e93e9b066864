#include "warehouse/transferwindow.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "common/prompt.h"
#include "data/datamodule.h"
#include "documents/documentchecks.h"
#include "documents/entrykeys.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/goodslineview.h"
#include "partners/staffcombo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace orv {

TransferWindow::TransferWindow(const QString &caption, int fitCaller, int mdfMode, QWidget *parent)
    : GoodsEntryWindow(caption, "Label1", parent), m_transfers(db())
{
    numberEdit = lineEdit("EditStoreNo", this);
    setGreyReadOnly(numberEdit);
    dateEdit = lineEdit("Edit1Date", this);
    remarkEdit = lineEdit("Edit5", this);
    buildLines("Edit2", "CheckBox2");
    printButton = toolButton("SpeedButton8", QStringLiteral("打印单据(&P)"), this);
    saveButton = toolButton("BitBtn1", QStringLiteral("确定(&S)"), this);
    clearButton = toolButton("BitBtn2", QStringLiteral("清空(&C)"), this);
    managerCombo = new StaffCombo("ComboBox2", std::nullopt, StaffText::NoDotName, this);

    connect(printButton, &QToolButton::clicked, this, &TransferWindow::SpeedButton8Click);
    connect(saveButton, &QToolButton::clicked, this, [this] { BitBtn1Click(); });
    connect(clearButton, &QToolButton::clicked, this, &TransferWindow::BitBtn2Click);

    setUpLines(fitCaller, mdfMode, numberEdit, remarkEdit);
    // Stored as the date alone: a picked date no longer ends in a blank.
    handleMessages({{WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date.trimmed()); }}});
}

TransferWindow::~TransferWindow() = default;

void TransferWindow::layOutBelow(QLayout *header)
{
    layOutEntry({.title = titleLabel,
                 .titleAlignment = Qt::AlignHCenter,
                 .header = header,
                 .lineButtons = {addButton, editButton, deleteButton},
                 .hintName = "Label16",
                 .grid = goodsGrid,
                 .below = {totalsRow(redCaption(QStringLiteral("条码/编号："), this),
                                     new QLabel(QStringLiteral("合计金额："), this))},
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

QToolButton *TransferWindow::pickerButton(const char *name, std::function<void()> open)
{
    QToolButton *b = toolButton(QString::fromUtf8(name), QStringLiteral("..."), this);
    connect(b, &QToolButton::clicked, this, std::move(open));
    return b;
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

void TransferWindow::FormShow()
{
    writeWindowStatus(windowTitle());
    makeNumbers();
    startEntry(dateEdit, managerCombo);
}

void TransferWindow::BitBtn2Click()
{
    managerCombo->setText(QString());
    clearHeader();
    clearLines();
    makeNumbers();
}

void TransferWindow::Edit2Entered()
{
    if (entryTyped())
        takeEnteredCode(this, entryEdit, m_lines, kPurchasePrice, [this] { takePickedLine(); }, true);
}

bool TransferWindow::passes(const std::optional<CheckFailure> &failure)
{
    if (!failure)
        return true;
    notice(this, failure->message);
    if (QWidget *w = failure->focus.isEmpty() ? nullptr : findChild<QWidget *>(failure->focus))
        w->setFocus();
    return false;
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
    if (!r.ok()) {
        notice(this, QStringLiteral("第%1行").arg(r.shortRow) + shortText);
        return false;
    }
    if (given)
        given(r);
    m_transferID = r.id;
    numberEdit->setText(r.number);
    dateEdit->setText(stored);
    notice(this, QStringLiteral("货品调拨成功"));
    if (printBox->isChecked())
        print(false);
    BitBtn2Click();
    managerCombo->setFocus();
    return true;
}

TransferPrintValues TransferWindow::shownValues() const
{
    TransferPrintValues v;
    v.number = numberEdit->text();
    v.date = dateEdit->text();
    v.remark = remarkEdit->text();
    v.manager = managerCombo->text();
    v.qty = qtyLabel->text();
    v.auxQty = auxQtyLabel->text();
    v.amount = totalEdit->text();
    return v;
}

void TransferWindow::SpeedButton8Click() { print(true); }

void TransferWindow::print(bool fromGrid)
{
    runPrint([&] {
        const LineSlots lineSlots = fromGrid ? gridLineSlots() : documentLineSlots();
        return transferPrint(printValues(), lineSlots,
                             fromGrid ? gridPrintLines(m_lines, lineSlots)
                                      : storedPrintLines(db(), lineTable(), m_transferID, lineSlots));
    });
}

} // namespace orv
