#include "goods/frmcangku.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/categories.h"
#include "goods/excelexport.h"
#include "goods/frmmdfcang.h"
#include "goods/frmnewcang.h"
#include "goods/frmselectcangku.h"
#include "goods/goodslines.h"
#include "goods/goodsstore.h"
#include "goods/guiutil.h"
#include "goods/lookups.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace orv {

namespace {
// The export's sheet holds at most this many data rows (sheet rows 2 to 65,535).
constexpr int kMaxExportRows = 65534;

QPushButton *button(const QString &text, QWidget *parent, bool red = false)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    if (red) {
        QPalette p = b->palette();
        p.setColor(QPalette::ButtonText, Qt::red);
        b->setPalette(p);
    }
    return b;
}

QTreeWidget *treeView(const char *name, QWidget *parent)
{
    auto *t = new QTreeWidget(parent);
    t->setObjectName(name);
    t->setHeaderHidden(true);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return t;
}

QTreeWidgetItem *addNode(QTreeWidgetItem *parent, QTreeWidget *tree, const QString &text)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, text);
    item->setToolTip(0, text);
    return item;
}

void addCategories(QTreeWidgetItem *item, const CategoryNode &node)
{
    for (const CategoryNode &child : node.children)
        addCategories(addNode(item, nullptr, categoryNodeText(child.code, child.name)), child);
}
std::function<void(QWidget *)> &priceAdjustOpener()
{
    static std::function<void(QWidget *)> opener;
    return opener;
}
} // namespace

void setPriceAdjustOpener(std::function<void(QWidget *)> opener) { priceAdjustOpener() = std::move(opener); }

TfrmCangKu::TfrmCangKu(QWidget *parent) : QWidget(parent)
{
    setObjectName("frmCangKu");
    setWindowTitle(QStringLiteral("货品库存"));
    searchFieldCombo = new QComboBox(this);
    searchFieldCombo->setObjectName("ComboBox1");
    searchFieldCombo->addItems(goodsSearchItems());
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName("EditContent");
    searchButton = button(QStringLiteral("查询"), this);
    hintLabel = goodsui::redLabel(QStringLiteral("用鼠标滚轮滚动或按住上下方向键可以实现多选然后可以删除多个货品"), this);
    advancedButton = button(QStringLiteral("高级查询"), this);
    priceButton = button(QStringLiteral("调价"), this);
    priceButton->setEnabled(bool(priceAdjustOpener()));
    belowWarningButton = button(QStringLiteral("低于警戒库存"), this);
    deleteManyButton = button(QStringLiteral("删除多个货品"), this);
    newButton = button(QStringLiteral("新建"), this, true);
    editButton = button(QStringLiteral("修改"), this, true);
    deleteButton = button(QStringLiteral("删除"), this, true);
    exportButton = button(QStringLiteral("导出"), this);

    categoryTreeView = treeView("TreeView1", this);
    supplierTreeView = treeView("TreeView2", this);
    placeTreeView = treeView("TreeView3", this);
    auto *trees = new QTabWidget(this);
    trees->setObjectName("PageControl1");
    trees->addTab(categoryTreeView, QStringLiteral("类别"));
    trees->addTab(supplierTreeView, QStringLiteral("供应商"));
    trees->addTab(placeTreeView, QStringLiteral("仓位"));

    m_model = new GoodsListModel(this);
    goodsGrid = new QTableView(this);
    goodsGrid->setObjectName("DBGrid1");
    goodsGrid->setModel(m_model);
    goodsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    goodsGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    goodsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    goodsGrid->verticalHeader()->setDefaultSectionSize(goodsGrid->fontMetrics().height() + 6);
    goodsGrid->verticalHeader()->hide();
    goodsGrid->setColumnHidden(0, true);
    goodsGrid->setColumnHidden(int(GoodsListModel::columnNames().size()) - 1, true);

    // Search on one row, the commands on the next: both fit a window 1024 pixels wide.
    searchEdit->setMinimumWidth(searchEdit->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchFieldCombo);
    searchRow->addWidget(searchEdit, 1);
    searchRow->addWidget(searchButton);
    searchRow->addWidget(hintLabel);
    searchRow->addStretch(1);
    auto *commandRow = new QHBoxLayout;
    for (QPushButton *b : {advancedButton, priceButton, belowWarningButton, deleteManyButton, newButton, editButton,
                           deleteButton, exportButton})
        commandRow->addWidget(b);
    commandRow->addStretch(1);
    auto *bar = new QVBoxLayout;
    bar->addLayout(searchRow);
    bar->addLayout(commandRow);
    auto *split = new QSplitter(this);
    split->addWidget(trees);
    split->addWidget(goodsGrid);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 800});
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(split, 1);

    searchEdit->installEventFilter(this);
    goodsGrid->installEventFilter(this);
    goodsGrid->viewport()->installEventFilter(this);

    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmCangKu::searchButtonClick);
    connect(searchButton, &QPushButton::clicked, this, &TfrmCangKu::searchButtonClick);
    connect(searchFieldCombo, &QComboBox::currentTextChanged, this, [this](const QString &item) {
        if (item == QStringLiteral("显示全部"))
            showList({});
    });
    connect(advancedButton, &QPushButton::clicked, this, &TfrmCangKu::advancedButtonClick);
    connect(priceButton, &QPushButton::clicked, this, &TfrmCangKu::priceButtonClick);
    connect(belowWarningButton, &QPushButton::clicked, this, &TfrmCangKu::belowWarningButtonClick);
    connect(deleteManyButton, &QPushButton::clicked, this, &TfrmCangKu::deleteManyButtonClick);
    connect(newButton, &QPushButton::clicked, this, &TfrmCangKu::newButtonClick);
    connect(editButton, &QPushButton::clicked, this, &TfrmCangKu::editButtonClick);
    connect(deleteButton, &QPushButton::clicked, this, &TfrmCangKu::deleteButtonClick);
    connect(exportButton, &QPushButton::clicked, this, &TfrmCangKu::exportButtonClick);
    connect(goodsGrid, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(goodsGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { DBGrid1CellClick(i.row()); });
    connect(categoryTreeView, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *n) { TreeView1Change(n); });
    connect(supplierTreeView, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *n) { TreeView2Change(n); });
    connect(placeTreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *n) { TreeView3Change(n); });
}

void TfrmCangKu::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmCangKu::FormShow()
{
    searchEdit->setFocus();
    writeWindowStatus(windowTitle());
    buildTrees();
    showList({});
}

void TfrmCangKu::buildTrees()
{
    for (QTreeWidget *t : {categoryTreeView, supplierTreeView, placeTreeView}) {
        const QSignalBlocker block(t);
        t->clear();
    }
    try {
        const QSignalBlocker b1(categoryTreeView), b2(supplierTreeView), b3(placeTreeView);
        const CategoryNode root = CategoryStore(db()).tree();
        addCategories(addNode(nullptr, categoryTreeView, categoryNodeText(root.code, root.name)), root);
        QTreeWidgetItem *suppliers = addNode(nullptr, supplierTreeView, kCategoryRootName);
        for (const QString &text : GoodsStore(db()).purchasingSuppliers())
            addNode(suppliers, nullptr, text.section('.', 1));
        QTreeWidgetItem *places = addNode(nullptr, placeTreeView, kCategoryRootName);
        for (const QString &place : LookupStore(db(), LookupKind::Places).names())
            addNode(places, nullptr, place);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    for (QTreeWidget *t : {categoryTreeView, supplierTreeView, placeTreeView})
        t->expandAll();
}

void TfrmCangKu::showList(const GoodsListQuery &q, qint64 keepRowNo)
{
    try {
        m_model->load(db(), q);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    int row = 0;
    if (keepRowNo) {
        const int kept = m_model->findRowNo(keepRowNo);
        if (kept >= 0)
            row = kept;
    }
    setCurrentRow(row);
}

void TfrmCangKu::rerun(qint64 keepRowNo) { showList(m_model->query(), keepRowNo); }

int TfrmCangKu::currentRow() const
{
    const QModelIndex i = goodsGrid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TfrmCangKu::setCurrentRow(int row, bool select)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex i = m_model->index(row, 1);
    if (select) {
        goodsGrid->selectionModel()->setCurrentIndex(
            i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        goodsGrid->selectionModel()->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
    }
    goodsGrid->scrollTo(i);
}

QList<int> TfrmCangKu::selectedGoodsRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : goodsGrid->selectionModel()->selectedRows())
        if (m_model->isGoodsRow(i.row()))
            rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmCangKu::onWindowMessage(int message)
{
    switch (message) {
    case WM_CANGKU_NEW:
    case WM_PRICE_ADJUSTED:
        showList({{}, kTotalsAscii});
        break;
    case WM_CANGKU_MDF:
        rerun(G.gRepFit.GoodsRowNo.toLongLong());
        break;
    default:
        break;
    }
}

void TfrmCangKu::searchButtonClick()
{
    showList({goodsSearchCondition(searchFieldCombo->currentText(), searchEdit->text(), !db().isSqlite()),
              kTotalsFullWidth});
}

void TfrmCangKu::advancedButtonClick()
{
    openModal(frmSelectCangku, true, this);
}

void TfrmCangKu::priceButtonClick()
{
    if (priceAdjustOpener() && m_model->isGoodsRow(currentRow()))
        priceAdjustOpener()(this);
}

void TfrmCangKu::belowWarningButtonClick() { showList({belowWarningCondition(), kTotalsFullWidth}); }

void TfrmCangKu::deleteManyButtonClick()
{
    const QList<int> rows = selectedGoodsRows();
    if (rows.isEmpty()) {
        notice(this, QStringLiteral("按住Ctrl键进行选择"), QMessageBox::NoIcon);
        return;
    }
    if (prompt().message(this, QStringLiteral("删除多条记录"), QStringLiteral("真的要删除这些记录吗?"),
                         QMessageBox::Information, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QList<qint64> rowNos;
    for (int r : rows)
        rowNos << m_model->rowNo(r);
    try {
        // All of them or none.
        GoodsStore(db()).remove(rowNos);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_model->dropRows(rows);
    setCurrentRow(qMin(rows.first(), m_model->rowCount() - 1));
}

void TfrmCangKu::newButtonClick()
{
    openModal(frmNewCang, true);
}

void TfrmCangKu::editButtonClick()
{
    const int row = currentRow();
    if (!m_model->isGoodsRow(row))
        return;
    const qint64 rowNo = m_model->rowNo(row);
    openGoodsEdit(rowNo, false);
    rerun(rowNo);
}

void TfrmCangKu::DBGrid1DblClick()
{
    const int row = currentRow();
    if (!m_model->isGoodsRow(row))
        return;
    const qint64 rowNo = m_model->rowNo(row);
    openGoodsEdit(rowNo, true);
    rerun(rowNo);
}

void TfrmCangKu::DBGrid1CellClick(int row)
{
    if (!m_model->isGoodsRow(row) || m_model->text(row, "ID").isEmpty())
        return;
    try {
        m_model->refreshRow(db(), row);
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

void TfrmCangKu::deleteButtonClick()
{
    const int row = currentRow();
    if (!m_model->isGoodsRow(row))
        return;
    if (!askYesNo(this, QStringLiteral("系统提示"), QStringLiteral("您确实要删除吗?")))
        return;
    try {
        GoodsStore(db()).remove({m_model->rowNo(row)});
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    showList({{}, kTotalsAscii});
    notice(this, QStringLiteral("删除成功"), QMessageBox::NoIcon);
}

void TfrmCangKu::exportButtonClick()
{
    if (!m_model->isGoodsRow(currentRow()))
        return;
    ExportSheet sheet;
    const QStringList columns{"编号", "名称", "规格", "辅助单位", "单位", "辅助库存", "库存",
                              "警戒库存", "进货价", "出货价", "供应商", "仓位", "条码", "ID"};
    sheet.headers = columns;
    sheet.textColumns = {14, 1, 2, 11};
    sheet.widths = {{14, 25}, {11, 25}};
    const int rows = m_model->rowCount();
    QString stockValue = QStringLiteral("0");
    for (int r = 0; r < rows && r < kMaxExportRows; ++r) {
        QStringList line;
        for (const QString &c : columns)
            line << m_model->text(r, c);
        sheet.rows << line;
        const QString price = m_model->text(r, "进货价");
        if (!price.isEmpty()) {
            const QString stock = m_model->text(r, "库存");
            const double amount = (stock.isEmpty() ? 0.0 : toNumber(stock)) * toNumber(price);
            stockValue = generalNumber(toNumber(stockValue) + amount);
        }
    }
    sheet.summary = QStringLiteral("满足条件记录的总数为：%1条, 仓库中总的库存金额: %2").arg(rows).arg(stockValue);
    ExcelExport::run(this, sheet, windowTitle());
}

void TfrmCangKu::TreeView1Change(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (!node->parent()) {
        showList({{}, kTotalsAscii});
        return;
    }
    showList({containsCondition("类别", categoryNameOf(node->text(0)), !db().isSqlite()), kTotalsAscii});
}

void TfrmCangKu::TreeView2Change(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (!node->parent()) {
        showList({{}, kTotalsAscii});
        return;
    }
    showList({containsCondition("供应商", node->text(0), !db().isSqlite()), kTotalsAscii});
}

void TfrmCangKu::TreeView3Change(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (!node->parent()) {
        showList({{}, kTotalsFullWidth});
        return;
    }
    showList({containsCondition("仓位", node->text(0), !db().isSqlite()), kTotalsFullWidth});
}

void TfrmCangKu::moveAndSelect(int delta)
{
    const int row = currentRow();
    if (!m_model->isGoodsRow(row))
        return;
    const int next = row + delta;
    if (next < 0 || next >= m_model->rowCount())
        return;
    const QModelIndex i = m_model->index(next, 1);
    goodsGrid->selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    goodsGrid->scrollTo(i);
}

void TfrmCangKu::markCurrentSelected()
{
    const int row = currentRow();
    if (m_model->isGoodsRow(row))
        goodsGrid->selectionModel()->select(m_model->index(row, 1),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool TfrmCangKu::eventFilter(QObject *watched, QEvent *event)
{
    const bool fromSearch = watched == searchEdit;
    const bool fromGrid = watched == goodsGrid;
    if ((fromSearch || fromGrid) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            moveAndSelect(key == Qt::Key_Down ? 1 : -1);
            searchEdit->setFocus();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (fromSearch) {
                searchButtonClick();
            } else {
                DBGrid1DblClick();
            }
            return true;
        }
    }
    if ((fromSearch || fromGrid) && event->type() == QEvent::KeyRelease
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Up) {
        markCurrentSelected();
        goodsGrid->setFocus();
        return true;
    }
    if (event->type() == QEvent::Wheel && (fromSearch || (watched == goodsGrid->viewport() && goodsGrid->hasFocus()))) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (dy != 0) {
            // Towards the operator is a step down, away a step up; each reached goods row joins
            // the selection.
            moveAndSelect(dy < 0 ? 1 : -1);
            markCurrentSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv
