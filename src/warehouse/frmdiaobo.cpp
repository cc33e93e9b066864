#include "warehouse/frmdiaobo.h"
#include "documents/entrylines.h"
#include "app/frmtime.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "documents/entrykeys.h"
#include "documents/frmselectpuch.h"
#include "documents/pickers.h"
#include "goods/frmmdf.h"
#include "goods/goodslineview.h"
#include "partners/departments.h"
#include "partners/staffcombo.h"
#include "warehouse/internalprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

namespace orv {

namespace {
enum class Input { Number, Staff, Party, Shown, Date, Text };

// A header field of the window: its input, label (as designed) and picker button.
struct HeaderField {
    const char *control, *label, *labelText, *button;
    Input input;
    int staffMode;
    std::optional<StaffRole> role;
};

const HeaderField kFields[] = {
    {"EditStoreNo", "Label13", "单据编号：", nullptr, Input::Number, 0, std::nullopt},
    {"ComboBox2", "Label14", "  开单员：", "SpeedButton10", Input::Staff, 15, std::nullopt},
    {"ComboBox6", "Label22", "  领用员：", "SpeedButton11", Input::Staff, 16, StaffRole::Picker},
    {"ComboBox7", "Label23", " 发货员：", "SpeedButton15", Input::Staff, 17, StaffRole::Shipper},
    {"ComboBox8", "Label24", "  送货员：", "SpeedButton16", Input::Staff, 18, StaffRole::Deliverer},
    {"ComboBox5", "Label20", "相关部门：", "SpeedButton9", Input::Party, 0, std::nullopt},
    {"Edit4", "Label21", "部门经理：", nullptr, Input::Shown, 0, std::nullopt},
    {"Edit8", "Label29", "部门编号：", nullptr, Input::Shown, 0, std::nullopt},
    {"ComboBox9", "Label25", "   财务：", "SpeedButton17", Input::Staff, 19, StaffRole::Cashier},
    {"ComboBox10", "Label30", " 复核员：", "SpeedButton6", Input::Staff, 20, StaffRole::Checker},
    {"ComboBox4", "Label31", "  销售员：", "SpeedButton7", Input::Staff, 21, StaffRole::Seller},
    {"ComboBox11", "Label32", " 开票员：", "SpeedButton8", Input::Staff, 22, StaffRole::Invoicer},
    {"Edit1Date", "Label15", "制单日期：", "SpeedButton5", Input::Date, 0, std::nullopt},
    {"Edit5", "Label26", "  备注：", nullptr, Input::Text, 0, std::nullopt},
};

const HeaderField &fieldOf(const QString &control)
{
    for (const HeaderField &f : kFields)
        if (control == QLatin1String(f.control))
            return f;
    throw DbError(QStringLiteral("没有此字段：") + control);
}

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
} // namespace

TfrmDiaobo::TfrmDiaobo(int kind, QWidget *parent)
    : GoodsEntryWindow(QString::fromUtf8(internalKind(kind).caption), "Label12", parent), m_kind(internalKind(kind)),
      m_posting(db())
{
    setObjectName("frmDiaobo");
    build();
    layOut();
    setUpKeys();
    declarePicks();
}

TfrmDiaobo::~TfrmDiaobo() = default;

void TfrmDiaobo::build()
{
    for (const HeaderField &f : kFields) {
        const QString name = QString::fromUtf8(f.control);
        QWidget *input = nullptr;
        switch (f.input) {
        case Input::Staff:
            input = new StaffCombo(name, f.role, StaffText::NoDotName, this);
            break;
        case Input::Party:
            // Its text comes from the department picker alone, with the manager and the code.
            input = pickedOnlyCombo(name, this);
            break;
        default: {
            QLineEdit *e = lineEdit(name, this);
            if (f.input == Input::Number || f.input == Input::Shown)
                setGreyReadOnly(e);
            input = e;
            break;
        }
        }
        m_controls.insert(name, input);
        m_labels.insert(name, label(QString::fromUtf8(f.label), QString::fromUtf8(f.labelText), this));
        if (f.button) {
            QToolButton *b = toolButton(QString::fromUtf8(f.button), QStringLiteral("..."), this);
            m_buttons.insert(name, b);
            if (f.input == Input::Staff)
                connect(b, &QToolButton::clicked, this, [this, mode = f.staffMode] { staffButtonClick(mode); });
            else if (f.input == Input::Party)
                connect(b, &QToolButton::clicked, this, &TfrmDiaobo::SpeedButton9Click);
            else
                connect(b, &QToolButton::clicked, this, &TfrmDiaobo::SpeedButton5Click);
        }
    }
    numberEdit = qobject_cast<QLineEdit *>(m_controls.value("EditStoreNo"));
    partyCombo = qobject_cast<QComboBox *>(m_controls.value("ComboBox5"));
    managerEdit = qobject_cast<QLineEdit *>(m_controls.value("Edit4"));
    codeEdit = qobject_cast<QLineEdit *>(m_controls.value("Edit8"));
    dateEdit = qobject_cast<QLineEdit *>(m_controls.value("Edit1Date"));
    remarkEdit = qobject_cast<QLineEdit *>(m_controls.value("Edit5"));

    buildLines("Edit6", "CheckBox1");
    pendingBox = new QCheckBox(QStringLiteral("是否审核"), this);
    pendingBox->setObjectName("CheckBox3");
    pendingBox->hide();
    pendingBox->setChecked(m_kind.direction == InternalDirection::Pending);

    finishedImportButton = toolButton("SpeedButton20", QStringLiteral("从成品入库单导入(&M)"), this);
    receiptImportButton = toolButton("SpeedButton19", QStringLiteral("从采购进货单导入(&N)"), this);
    printButton = toolButton("SpeedButton18", QStringLiteral("单据打印(&P)"), this);
    saveButton = toolButton("BitBtn3", QStringLiteral("确定(&S)"), this);
    clearButton = toolButton("BitBtn4", QStringLiteral("清空(&C)"), this);

    connect(receiptImportButton, &QToolButton::clicked, this, &TfrmDiaobo::SpeedButton19Click);
    connect(finishedImportButton, &QToolButton::clicked, this, &TfrmDiaobo::SpeedButton20Click);
    connect(printButton, &QToolButton::clicked, this, &TfrmDiaobo::SpeedButton18Click);
    connect(saveButton, &QToolButton::clicked, this, &TfrmDiaobo::SaveDocument);
    connect(clearButton, &QToolButton::clicked, this, &TfrmDiaobo::BitBtn4Click);

    setUpLines(7, 4, numberEdit);
}

void TfrmDiaobo::layOut()
{
    // The kind's labels; the fields it does not use are hidden with their label and button.
    auto relabel = [this](const char *control, const char *text) {
        if (text)
            m_labels.value(QString::fromUtf8(control))->setText(QString::fromUtf8(text));
    };
    relabel("ComboBox2", m_kind.clerkLabel);
    relabel("ComboBox5", m_kind.partyLabel);
    relabel("Edit8", m_kind.codeLabel);
    relabel("ComboBox4", m_kind.salesmanLabel);

    HeaderGrid header(this, Qt::AlignRight);
    QSet<QString> shown;
    int lastColumn = 0;
    for (int row = 0; row < 3; ++row) {
        int col = 0;
        for (const char *control : m_kind.rows[row]) {
            if (!control)
                break;
            const QString name = QString::fromUtf8(control);
            shown << name;
            header.add(row, col, m_labels.value(name), m_controls.value(name), m_buttons.value(name));
            ++col;
        }
        if (row == 0)
            lastColumn = col;
    }
    for (const HeaderField &f : kFields) {
        const QString name = QString::fromUtf8(f.control);
        if (shown.contains(name))
            continue;
        m_controls.value(name)->hide();
        m_labels.value(name)->hide();
        if (QToolButton *b = m_buttons.value(name))
            b->hide();
    }
    if (m_kind.checkerLabelAlone) {
        QLabel *checker = m_labels.value("ComboBox10");
        header.addLabel(0, lastColumn, checker);
        checker->show();
    }
    header.shareWidth();

    receiptImportButton->setVisible(m_kind.imports);
    finishedImportButton->setVisible(m_kind.imports);

    QLabel *entryLabel = redCaption(QStringLiteral("条码/编号："), this);
    entryLabel->setObjectName("Label27");

    layOutEntry({.title = titleLabel,
                 .titleAlignment = Qt::AlignHCenter,
                 .header = header.layout(),
                 .lineButtons = {addButton, editButton, deleteButton, finishedImportButton, receiptImportButton},
                 .hintName = "Label33",
                 .grid = goodsGrid,
                 .below = {totalsRow(entryLabel, label("Label28", QStringLiteral("金额合计："), this))},
                 .boxes = {printBox, pendingBox},
                 .buttons = {printButton, saveButton, clearButton}});
    resize(960, 560);
}

void TfrmDiaobo::setUpKeys()
{
    m_keys = new EntryKeys(this);
    QVector<QWidget *> chain;
    for (const auto &row : m_kind.rows)
        for (const char *control : row)
            if (control)
                chain << m_controls.value(QString::fromUtf8(control));
    // A field with a picker opens it first, then the focus moves on.
    auto pickerOf = [this](QWidget *w) -> std::function<void()> {
        const HeaderField &f = fieldOf(w->objectName());
        switch (f.input) {
        case Input::Staff:
            return [this, mode = f.staffMode] { staffButtonClick(mode); };
        case Input::Party:
            return [this] { SpeedButton9Click(); };
        case Input::Date:
            return [this] { SpeedButton5Click(); };
        default:
            return {};
        }
    };
    for (int i = 0; i + 1 < chain.size(); ++i)
        m_keys->chain(chain[i], chain[i + 1], i > 0 ? chain[i - 1] : nullptr, pickerOf(chain[i]));
    // Reaching the grid from the field before it opens the goods picker at once.
    QWidget *last = chain.last();
    QWidget *beforeLast = chain.size() > 1 ? chain[chain.size() - 2] : nullptr;
    m_keys->chain(last, nullptr, beforeLast, [this, picker = pickerOf(last)] {
        if (picker)
            picker();
        goodsGrid->setFocus();
        SpeedButton12Click();
    });
    connect(goodsGrid, &GoodsLineView::backRequested, last, [last] { last->setFocus(); });
    m_keys->codeEntry(entryEdit, [this] { Edit6Entered(); }, totalEdit, goodsGrid);
    m_keys->chain(totalEdit, printBox, entryEdit);
}

QWidget *TfrmDiaobo::control(const char *name) const { return m_controls.value(QString::fromUtf8(name)); }

QString TfrmDiaobo::text(const char *name) const
{
    QWidget *w = control(name);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    return QString();
}

QString TfrmDiaobo::columnText(const QString &column) const
{
    if (column == QString::fromUtf8(m_kind.operatorColumn))
        return text("ComboBox2");
    if (column == QString::fromUtf8(m_kind.partyColumn))
        return text("ComboBox5");
    if (column == QString::fromUtf8(m_kind.codeColumn))
        return text("Edit8");
    for (const InternalField &f : m_kind.staff)
        if (f.column && column == QString::fromUtf8(f.column))
            return text(f.control);
    return QString();
}

void TfrmDiaobo::FormShow()
{
    writeWindowStatus(windowTitle());
    MakeDocNo();
    startEntry(dateEdit, control("ComboBox2"));
}

void TfrmDiaobo::MakeDocNo()
{
    proposeNumberInto(this, numberEdit, m_posting.ledger().numbers(internalDocNumbers(m_kind.kind)));
}

void TfrmDiaobo::declarePicks()
{
    handleMessages({{WM_PUCH_FIT, [this] { importLine(); }},
                    {WM_DATE_CHOSEN, [this] { dateEdit->setText(G.gDateAndTime.Date.trimmed()); }}});
    QVector<PickedField> fields;
    for (int mode = 15; mode <= 22; ++mode)
        if (const StaffPickTarget *t = staffPickTarget(mode))
            fields.append({FieldRole::Staff, t->field, control(t->control)});
    const DepartmentPickTarget *t = departmentPickTarget(2);
    fields.append({FieldRole::Department, t->textField, partyCombo});
    fields.append({FieldRole::Department, t->managerField, managerEdit});
    fields.append({FieldRole::Department, t->codeField, codeEdit});
    fillFields(fields);
}

void TfrmDiaobo::importLine()
{
    const GoodsLineGrid::Taken taken = m_lines.append(G.gRepFit);
    goodsGrid->setCurrentGridRow(taken.row + 1);
    goodsGrid->setFocus();
    recomputeTotals();
}

void TfrmDiaobo::Edit6Entered()
{
    if (!entryTyped())
        return;
    if (!lookUpEnteredCode(this, entryEdit->text(), kPurchasePrice)) {
        entryEdit->clear();
        return;
    }
    const bool known = m_lines.find(G.gRepFit.GoodsNo, G.gRepFit.GoodsName, G.gRepFit.Place) > 0;
    takePickedLine();
    if (!known)
        entryEdit->clear();
}

void TfrmDiaobo::SpeedButton19Click()
{
    openBillPicker(this, 2, QStringLiteral("选择采购入库单"), QStringLiteral("双击选择采购入库单"));
}

void TfrmDiaobo::SpeedButton20Click()
{
    openBillPicker(this, 3, QStringLiteral("选择成品入库单"), QStringLiteral("双击选择成品入库单"));
}

void TfrmDiaobo::SpeedButton9Click() { openDepartmentPicker(this, 2); }

void TfrmDiaobo::SpeedButton5Click() { openModal(frmTime, true, this); }

void TfrmDiaobo::staffButtonClick(int staffMode) { openStaffPicker(this, staffMode); }

void TfrmDiaobo::clearDocument()
{
    clearLines();
    for (QLineEdit *e : {managerEdit, remarkEdit, codeEdit})
        e->clear();
    partyCombo->setEditText(QString());
    for (const char *staff : {"ComboBox6", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10"})
        static_cast<StaffCombo *>(control(staff))->setText(QString());
    qtyLabel->setText(QStringLiteral("0"));
    auxQtyLabel->setText(QStringLiteral("0"));
    pendingBox->setChecked(m_kind.direction == InternalDirection::Pending);
}

void TfrmDiaobo::BitBtn4Click() { clearDocument(); }

void TfrmDiaobo::SaveDocument()
{
    if (const auto f = checkInternalLines(m_lines, dateEdit->text())) {
        notice(this, f->message);
        if (QWidget *w = findChild<QWidget *>(f->focus); w && !f->focus.isEmpty())
            w->setFocus();
        return;
    }
    InternalHeader h;
    h.number = numberEdit->text();
    h.date = storedDate(dateEdit->text()).value_or(QString());
    h.clerk = text("ComboBox2");
    h.party = partyCombo->currentText();
    h.partyCode = codeEdit->text();
    h.manager = managerEdit->text();
    h.remark = remarkEdit->text();
    for (const InternalField &f : m_kind.staff)
        if (f.column)
            h.staff.insert(QString::fromUtf8(f.column), text(f.control));
    const QVector<SavedLine> lines = savedLines(m_lines);
    InternalPosting::Result r;
    try {
        if (const int row = m_posting.firstShortRow(m_kind, lines)) {
            notice(this, QStringLiteral("第%1行库存不足操作被取消").arg(row));
            return;
        }
        r = m_posting.save(m_kind, h, lines);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (!r.ok()) {
        notice(this, QStringLiteral("第%1行库存不足不能进行%2操作").arg(r.shortRow).arg(QString::fromUtf8(m_kind.shortage)));
        return;
    }
    m_docID = r.id;
    numberEdit->setText(r.number);
    dateEdit->setText(h.date);
    notice(this, QStringLiteral("仓库内部管理成功"));
    if (printBox->isChecked())
        print(false);
    clearDocument();
    MakeDocNo();
}

void TfrmDiaobo::SpeedButton18Click() { print(true); }

void TfrmDiaobo::print(bool fromGrid)
{
    InternalPrintValues v;
    v.number = numberEdit->text();
    v.date = dateEdit->text();
    v.party = partyCombo->currentText();
    v.remark = remarkEdit->text();
    v.qty = qtyLabel->text();
    v.auxQty = auxQtyLabel->text();
    v.amount = totalEdit->text();
    v.column = [this](const QString &column) { return columnText(column); };
    runPrint([&] {
        if (fromGrid) {
            v.lineSlots = gridLineSlots();
            v.lines = gridPrintLines(m_lines, v.lineSlots);
        } else {
            v.lines = storedPrintLines(db(), QString::fromUtf8(m_kind.lines), m_docID, v.lineSlots);
        }
        return internalPrint(db(), m_kind, v);
    });
}

} // namespace orv
