#include "purchasing/frmjintuiaud.h"
#include "app/windowing.h"
#include "common/clock.h"
#include "data/datamodule.h"
#include "documents/auditdocuments.h"
#include "documents/entrylines.h"
#include "documents/pickers.h"
#include "goods/listmodel.h"
#include "report/engine/frreport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("进货退货审核");
const QStringList kQueryItems = {QStringLiteral("显示全部"), QStringLiteral("按照单据编号查询"),
                                 QStringLiteral("按照供应商查询"), QStringLiteral("按照经办人查询")};


// A box left empty counts as 0; anything else must be a number.
std::optional<CheckFailure> amountBox(QLineEdit *box, const char *name)
{
    if (box->text().isEmpty())
        box->setText(QStringLiteral("0"));
    return checkNumberField(box->text(), name, box->objectName().toUtf8().constData());
}
} // namespace

TfrmJinTuiAud::TfrmJinTuiAud(QWidget *parent)
    : QWidget(parent), m_returns(db()), frReport2(std::make_unique<TfrReport>())
{
    setObjectName("frmJinTuiAud");
    setWindowTitle(kCaption);
    m_returnModel = new DataSetModel(this);
    m_lineModel = new DataSetModel(this);

    fromDate = datePicker("DateTimePicker1", this);
    toDate = datePicker("DateTimePicker2", this);
    queryCombo = new QComboBox(this);
    queryCombo->setObjectName("ComboBox1");
    queryCombo->addItems(kQueryItems);
    searchEdit = lineEdit("Edit1", this);
    queryButton = toolButton("SpeedButton1", QStringLiteral("查询"), this);
    printButton = toolButton("SpeedButton4", QStringLiteral("进货退货单"), this);

    returnsGrid = listGrid("DBGridsalequote", m_returnModel, this);
    linesGrid = listGrid("DBGridSaleFit", m_lineModel, this);
    newLineButton = toolButton("SpeedButton6", QStringLiteral("新建"), this);
    editLineButton = toolButton("SpeedButton7", QStringLiteral("修改"), this);
    deleteLineButton = toolButton("SpeedButton8", QStringLiteral("删除"), this);

    receivableEdit = amountEdit("Edit5", this);
    receivableEdit->setReadOnly(true);
    receivedEdit = amountEdit("Edit3", this);
    onAccountEdit = amountEdit("Edit4", this);
    auditorEdit = lineEdit("Edit2", this);
    auditorButton = toolButton("SpeedButton2", QString(), this);
    auditorButton->setToolTip(QStringLiteral("选择审核人"));
    auditDate = datePicker("DateTimePicker3", this);
    passButton = toolButton("SpeedButton5", QStringLiteral("通过"), this);
    cancelButton = toolButton("SpeedButton3", QStringLiteral("取消"), this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("开单日期："), this));
    bar->addWidget(fromDate);
    bar->addWidget(new QLabel(QStringLiteral("----"), this));
    bar->addWidget(toDate);
    bar->addWidget(queryCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(queryButton);
    bar->addStretch();
    bar->addWidget(printButton);

    QTabWidget *tabs = auditLineTab(this, QStringLiteral("进货退货明细"), linesGrid,
                                    {newLineButton, editLineButton, deleteLineButton});
    AuditFieldPanel panel(this);
    panel.add(QStringLiteral("合计应收："), receivableEdit);
    panel.add(QStringLiteral("实际收款："), receivedEdit);
    panel.add(QStringLiteral("挂账金额："), onAccountEdit);
    panel.add(QStringLiteral("审核人："), auditorEdit, auditorButton);
    panel.add(QStringLiteral("审核日期："), auditDate);
    layOutAuditWindow(this, bar, returnsGrid, tabs, panel, passButton, cancelButton);
    resize(1000, 640);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmJinTuiAud::search);
    connect(queryButton, &QToolButton::clicked, this, &TfrmJinTuiAud::search);
    connect(queryCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i == 0)
            search();
    });
    connect(printButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton4Click);
    connect(passButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton5Click);
    connect(cancelButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton3Click);
    connect(newLineButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton6Click);
    connect(editLineButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton7Click);
    connect(deleteLineButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton8Click);
    connect(auditorButton, &QToolButton::clicked, this, &TfrmJinTuiAud::SpeedButton2Click);
    connect(receivedEdit, &QLineEdit::textEdited, this, &TfrmJinTuiAud::receivedEdited);
    for (QWidget *w : {static_cast<QWidget *>(searchEdit), static_cast<QWidget *>(receivableEdit),
                       static_cast<QWidget *>(receivedEdit), static_cast<QWidget *>(onAccountEdit)})
        w->installEventFilter(this);

    m_audit = std::make_unique<AuditDocuments>(this, returnsGrid, m_returnModel, linesGrid, m_lineModel);
    m_audit->auditKind = 3;
    m_audit->openDocuments = [this](DataSet &ds) {
        ReturnQuery q;
        q.ranged = m_searched;
        q.from = fromDate->date();
        q.to = toDate->date();
        q.by = ReturnSearch(qMax(0, queryCombo->currentIndex()));
        q.text = searchEdit->text();
        m_returns.openPending(ds, q);
    };
    m_audit->openLines = [this](DataSet &ds, const QString &id) { m_returns.openLines(ds, id); };
    m_audit->showDocument = [this](int row) { showReturn(row); };
    m_audit->recomputeTotal = [this](const QString &id) { m_returns.recomputeTotals(id); };
    m_audit->removeLine = [this](const QString &id, qint64 rowNo) { m_returns.deleteLine(id, rowNo); };
    // A line change leaves the boxes as the operator has them: they change when a return is
    // selected again.
    for (QWidget *w : {receivableEdit, receivedEdit, onAccountEdit})
        m_audit->keepWhileReloading(w);
}

TfrmJinTuiAud::~TfrmJinTuiAud() = default;

const QString &TfrmJinTuiAud::currentReturnID() const { return m_audit->currentID(); }

void TfrmJinTuiAud::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void TfrmJinTuiAud::formShow()
{
    const QDate today = Clock::localNow().date();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
    auditDate->setDate(today);
    listPending();
    searchEdit->setFocus();
    writeWindowStatus(kCaption);
}

void TfrmJinTuiAud::showReturn(int row)
{
    receivableEdit->setText(m_returnModel->text(row, "合计应收"));
    receivedEdit->setText(m_returnModel->text(row, "实际收款"));
    onAccountEdit->setText(m_returnModel->text(row, "挂账金额"));
}

// With no return listed, none is current: the boxes and lines are empty.
void TfrmJinTuiAud::afterList()
{
    if (!m_audit->currentID().isEmpty())
        return;
    G.gDocID.clear();
    for (QLineEdit *e : {receivableEdit, receivedEdit, onAccountEdit})
        e->clear();
}

void TfrmJinTuiAud::listPending(const QString &keepID)
{
    m_searched = false;
    m_audit->reload(keepID);
    afterList();
}

void TfrmJinTuiAud::search()
{
    m_searched = true;
    m_audit->reload();
    afterList();
}

void TfrmJinTuiAud::DBGridsalequoteCellClick(int row) { m_audit->makeCurrent(row); }

void TfrmJinTuiAud::DBGridSaleFitCellClick(int row) { m_audit->lineClicked(row); }

bool TfrmJinTuiAud::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == searchEdit)
                search();
            else if (watched == receivableEdit)
                receivedEdit->setFocus();
            else if (watched == receivedEdit)
                onAccountEdit->setFocus();
            else if (watched == onAccountEdit)
                auditorEdit->setFocus();
            else
                return QWidget::eventFilter(watched, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmJinTuiAud::onWindowMessage(int message)
{
    // After a line change every pending return is listed again, the current one kept.
    if (message == WM_AUD_FIT_NEW || message == WM_AUD_FIT_UPDATE || message == WM_AUD_FIT_MDF)
        m_searched = false;
    if (m_audit->lineMessage(message))
        afterList();
}

bool TfrmJinTuiAud::setField(FieldRole role, const QString &which, const QString &value)
{
    if (role != FieldRole::Staff || which != QStringLiteral("审核人"))
        return false;
    auditorEdit->setText(value);
    return true;
}

void TfrmJinTuiAud::receivedEdited() { followPaid(receivableEdit, receivedEdit, onAccountEdit); }

void TfrmJinTuiAud::SpeedButton2Click() { openStaffPicker(this, 32); }

void TfrmJinTuiAud::SpeedButton6Click() { m_audit->newLine(); }

void TfrmJinTuiAud::SpeedButton7Click() { m_audit->editLine(); }

void TfrmJinTuiAud::SpeedButton8Click() { m_audit->deleteLine(); }

void TfrmJinTuiAud::SpeedButton5Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    for (const auto &f : {amountBox(receivedEdit, "实际收款"), amountBox(onAccountEdit, "挂账金额")})
        if (f) {
            notice(this, f->message);
            if (QWidget *w = findChild<QWidget *>(f->focus))
                w->setFocus();
            return;
        }
    PurchaseReturns::Approval a;
    a.auditor = auditorEdit->text();
    a.auditDate = auditDate->date().toString(Qt::ISODate);
    a.received = toNumber(receivedEdit->text());
    a.onAccount = toNumber(onAccountEdit->text());
    DocumentApproval::Result r;
    try {
        r = m_returns.approve(id, a);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    switch (r.status) {
    case DocumentApproval::Status::NotPending:
        // Another client approved or cancelled it first: only the list follows.
        listPending();
        return;
    case DocumentApproval::Status::Short:
        notice(this, r.message);
        m_audit->loadLines();
        return;
    case DocumentApproval::Status::Approved:
        notice(this, QStringLiteral("采购退货审核成功货品成功出库"));
        listPending();
        return;
    }
}

void TfrmJinTuiAud::SpeedButton3Click()
{
    if (m_audit->currentID().isEmpty() || m_audit->currentRowNo() == 0)
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确定要取消吗?")))
        return;
    try {
        m_returns.cancel(m_audit->currentRowNo());
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    // Cancelled now, or approved or cancelled by another client first: the list follows.
    listPending();
}

void TfrmJinTuiAud::SpeedButton4Click()
{
    const QString id = m_audit->currentID();
    if (id.isEmpty())
        return;
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong2.frf");
    p.headBands = documentHeadBands();
    try {
        DataSet h(&db());
        h.setSql("select 单据编号,日期,供应商,备注,实际收款,挂账金额,经办人,发货员,复核员,送货员 from 采购退货单 "
                 "where ID = ?");
        h.addBindValue(id);
        h.open();
        auto text = [&](const char *f) { return h.isEmpty() ? QString() : h.fieldByName(QString::fromUtf8(f)).asString(); };
        p.set("Memo1", companyName(db()) + QStringLiteral("公司进货退货单"));
        p.set("Memo2", QStringLiteral("退回单位:"));
        p.set("Memo9", text("单据编号"));
        p.set("Memo5", text("日期"));
        p.set("Memo3", text("供应商"));
        p.set("Memo7", text("备注"));
        p.set("Memo6", QStringLiteral("实收款:"));
        p.set("Memo8", text("实际收款"));
        p.set("Memo11", text("挂账金额"));
        p.set("Memo28", signature(QStringLiteral("负责人："), text("经办人")));
        p.set("Memo29", signature(QStringLiteral("发货员："), text("发货员")));
        p.set("Memo30", signature(QStringLiteral("复核员："), text("复核员")));
        p.set("Memo31", signature(QStringLiteral("送货员："), text("送货员")));
        const LineSums sums = storedLineSums(db(), QStringLiteral("采购退货明细"), id);
        p.set("Memo25", sums.auxQty);
        p.set("Memo26", sums.qty);
        p.set("Memo27", sums.amount);
        p.lines = storedPrintLines(db(), QStringLiteral("采购退货明细"), id);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_lastPrint = printDocument(*frReport2, p);
    // Every pending return listed again on the printed one; the boxes keep what they show.
    m_searched = false;
    m_audit->reloadKeepingFields(id);
    afterList();
}

} // namespace orv
