#include "goods/frmselectfit.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/frmmdf.h"
#include "goods/frmmdfcang.h"
#include "goods/frmnewcang.h"
#include "goods/goodspick.h"
#include "goods/guiutil.h"
#include "goods/listmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
const QString kShowAll = QStringLiteral("显示全部");

bool entryCaller(int caller)
{
    switch (caller) {
    case 1: case 2: case 3: case 5: case 7: case 9: case 20:
        return true;
    default:
        return false;
    }
}

QPushButton *button(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TfrmSelectFit::TfrmSelectFit(QWidget *opener) : m_opener(opener)
{
    setObjectName("frmSelectFit");
    setWindowTitle(QStringLiteral("选择货品"));
    queryModeCombo = new QComboBox(this);
    queryModeCombo->setObjectName("ComboBoxQuery");
    queryModeCombo->addItems({kShowAll, QStringLiteral("按照助记码查询")});
    queryModeCombo->setCurrentIndex(1);
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName("EditContent");
    queryButton = button(QStringLiteral("查询"), this);
    newButton = button(QStringLiteral("新建"), this);
    editButton = button(QStringLiteral("修改"), this);
    okButton = button(QStringLiteral("确定"), this);
    cancelButton = button(QStringLiteral("取消"), this);
    hintLabel = goodsui::redLabel(QStringLiteral("请按方向键和回车键 选择货品 或者 鼠标双击选择"), this);

    m_model = new DataSetModel(this);
    goodsList = new QTableView(this);
    goodsList->setObjectName("DBGrid1");
    goodsList->setModel(m_model);
    goodsList->setSelectionBehavior(QAbstractItemView::SelectRows);
    goodsList->setSelectionMode(QAbstractItemView::SingleSelection);
    goodsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    goodsList->verticalHeader()->hide();

    auto *bar = new QHBoxLayout;
    bar->addWidget(queryModeCombo);
    bar->addWidget(searchEdit, 1);
    for (QPushButton *b : {queryButton, newButton, editButton, okButton, cancelButton})
        bar->addWidget(b);
    auto *page = new QWidget(this);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(hintLabel);
    pageLayout->addWidget(goodsList, 1);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(page, QStringLiteral("待选择的货品"));
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(tabs, 1);
    // The width openers use (500), enough for the buttons, and a dozen rows.
    setTypicalSize(QSize(500, 420));

    searchEdit->installEventFilter(this);
    goodsList->installEventFilter(this);
    goodsList->viewport()->installEventFilter(this);
    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmSelectFit::search);
    connect(queryButton, &QPushButton::clicked, this, &TfrmSelectFit::search);
    connect(queryModeCombo, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (t == kShowAll)
            LoadFitList();
    });
    connect(newButton, &QPushButton::clicked, this, &TfrmSelectFit::newButtonClick);
    connect(editButton, &QPushButton::clicked, this, &TfrmSelectFit::editButtonClick);
    connect(okButton, &QPushButton::clicked, this, &TfrmSelectFit::pick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(goodsList, &QTableView::doubleClicked, this, [this] { pick(); });
}

void TfrmSelectFit::FormShow()
{
    writeWindowStatus(windowTitle());
    LoadFitList();
    searchEdit->setFocus();
}

void TfrmSelectFit::runList(const QString &text)
{
    QString pattern;
    DataSet rows(&db());
    rows.setSql(fitListSql(G.gFitFilter, text, !db().isSqlite(), &pattern));
    if (!pattern.isEmpty())
        rows.addBindValue(pattern);
    try {
        rows.open();
    } catch (const std::exception &e) {
        m_model->clearRows();
        showError(this, e);
        return;
    }
    m_model->load(std::move(rows));
    goodsList->setColumnHidden(m_model->fieldIndex("ID"), true);
    goodsList->setColumnHidden(m_model->fieldIndex("流水号"), true);
    goodsList->setColumnWidth(m_model->fieldIndex("编号"), 94);
    for (const char *f : {"名称", "规格", "仓位", "库存"})
        goodsList->setColumnWidth(m_model->fieldIndex(f), 80);
    setCurrentRow(m_model->rowCount() > 0 ? 0 : -1);
}

void TfrmSelectFit::LoadFitList() { runList(QString()); }

void TfrmSelectFit::search()
{
    const QString text = searchEdit->text();
    if (text.isEmpty() || queryModeCombo->currentText() == kShowAll)
        LoadFitList();
    else
        runList(text);
}

qint64 TfrmSelectFit::currentRowNo() const
{
    const QModelIndex i = goodsList->currentIndex();
    return i.isValid() ? m_model->text(i.row(), "流水号").toLongLong() : 0;
}

void TfrmSelectFit::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        goodsList->setCurrentIndex(QModelIndex());
        return;
    }
    goodsList->setCurrentIndex(m_model->index(row, m_model->fieldIndex("编号")));
    goodsList->selectRow(row);
}

void TfrmSelectFit::moveCurrent(int delta)
{
    const QModelIndex i = goodsList->currentIndex();
    const int row = (i.isValid() ? i.row() : -1) + delta;
    if (row >= 0 && row < m_model->rowCount())
        setCurrentRow(row);
}

void TfrmSelectFit::pick()
{
    const QModelIndex i = goodsList->currentIndex();
    if (!i.isValid() || m_model->text(i.row(), "流水号").isEmpty())
        return;
    const PickedRow picked{m_model->text(i.row(), "流水号"), m_model->text(i.row(), "编号"),
                           m_model->text(i.row(), "名称"), m_model->text(i.row(), "库存")};
    try {
        const auto row = readGoodsRow(db(), picked.rowNo.toLongLong());
        if (!row) {
            notice(this, QStringLiteral("该货品已被其他用户删除"), QMessageBox::Warning);
            LoadFitList();
            return;
        }
        m_staged = stageLine(G.gRepFit, picked, *row, G.gFitPrice);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    handOver();
}

void TfrmSelectFit::handOver()
{
    searchEdit->setFocus();
    // The staged line leaves the staging whatever happens to it below: a failed hand-over
    // drops it, and the next pick hands over its own line.
    const QStringList line = std::exchange(m_staged, QStringList());
    if (!handOverLine(line, G.gRepFit))
        return;
    const int caller = G.gFitCaller;
    if (entryCaller(caller)) {
        SendMessage(m_opener, WM_FIT_CHOSEN);
        return;
    }
    if (caller != 14)
        return; // no window receives lines of this caller: the line is dropped
    const int kind = G.gAuditKind;
    const QString docID = kind == 1 ? G.gPuchDocID : G.gDocID;
    qint64 rowNo = 0;
    try {
        rowNo = insertAuditLine(db(), kind, G.gRepFit, docID);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    if (rowNo == 0) {
        // The document was approved or cancelled meanwhile: its window shows what is pending now.
        SendMessage(m_opener, WM_AUD_FIT_UPDATE);
        return;
    }
    SendMessage(m_opener, WM_AUD_FIT_NEW);
    SendMessage(m_opener, WM_AUD_FIT_UPDATE);
    G.gRepFit.RowNo = QString::number(rowNo);
    shenhe(m_opener);
}

void TfrmSelectFit::newButtonClick()
{
    if (frmNewCang)
        delete frmNewCang.data();
    auto *d = new TfrmNewCang();
    frmNewCang = d;
    centreOnDesktop(d);
    prompt().runModal(d);
    delete frmNewCang.data();
}

void TfrmSelectFit::editButtonClick()
{
    const qint64 rowNo = currentRowNo();
    if (!rowNo)
        return;
    openGoodsEdit(rowNo, true);
}

void TfrmSelectFit::newCangkuData() { LoadFitList(); }

void TfrmSelectFit::mdfCangkuData()
{
    goodsList->setUpdatesEnabled(false);
    LoadFitList();
    const int row = m_model->findRow("流水号", G.gRepFit.GoodsRowNo);
    if (row >= 0)
        setCurrentRow(row);
    goodsList->setUpdatesEnabled(true);
}

void TfrmSelectFit::onWindowMessage(int message)
{
    switch (message) {
    case WM_CANGKU_NEW:
        newCangkuData();
        break;
    case WM_CANGKU_MDF:
        mdfCangkuData();
        break;
    default:
        break; // WM_FIT_MDF from the line editor needs nothing here
    }
}

void TfrmSelectFit::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        goodsList->setFocus();
        pick();
        return;
    case Qt::Key_Down:
        moveCurrent(1);
        searchEdit->setFocus();
        return;
    case Qt::Key_Up:
        moveCurrent(-1);
        searchEdit->setFocus();
        return;
    default:
        GoodsDialog::keyPressEvent(e);
    }
}

bool TfrmSelectFit::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == searchEdit || watched == goodsList) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Up) {
            keyPressEvent(static_cast<QKeyEvent *>(event));
            return true;
        }
    }
    if ((watched == searchEdit || watched == goodsList->viewport()) && event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0) {
            // Turning the wheel towards the operator is a Down key, away an Up key.
            moveCurrent(dy < 0 ? 1 : -1);
            searchEdit->setFocus();
            return true;
        }
    }
    return GoodsDialog::eventFilter(watched, event);
}

int openGoodsPicker(QWidget *opener)
{
    if (frmSelectFit)
        delete frmSelectFit.data();
    auto *p = new TfrmSelectFit(opener);
    frmSelectFit = p;
    centreOnDesktop(p);
    const int r = prompt().runModal(p);
    return r;
}

int shenhexinjian(QWidget *auditWindow)
{
    G.gFitView = 2;
    G.gFitCaller = 14;
    if (G.gAuditKind == 1 || G.gAuditKind == 3 || G.gAuditKind == 4)
        G.gFitPrice = 2;
    else if (G.gAuditKind == 2)
        G.gFitPrice = 1;
    G.gFitAction = 1;
    G.gFitFilter = 1;
    return openGoodsPicker(auditWindow);
}

} // namespace orv
