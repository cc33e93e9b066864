#include "stock/frmtake.h"
#include "app/appglobals.h"
#include "app/windowing.h"
#include "data/datamodule.h"
#include "goods/categories.h"
#include "goods/excelexport.h"
#include "goods/guiutil.h"
#include "partners/partnersui.h"
#include "partners/staff.h"
#include "report/engine/frreport.h"
#include "stock/takebillprint.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {
const QString kCaption = QStringLiteral("库存盘点");
const QList<QPair<QString, int>> kWidths = {{"编号", 120}, {"名称", 133}, {"规格", 60}, {"仓位", 70},
                                            {"单位", 60},  {"库存", 63},  {"实盘数量", 73}, {"进货价", 63}};

// The count is typed as digits with at most one point.
class CountDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), e));
        return w;
    }
};

QPushButton *pushButton(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void addCategoryNodes(QTreeWidgetItem *item, const CategoryNode &node)
{
    for (const CategoryNode &child : node.children)
        addCategoryNodes(new QTreeWidgetItem(item, {categoryNodeText(child.code, child.name)}), child);
}
} // namespace

TfrmTake::TfrmTake(QWidget *parent) : QWidget(parent), m_taking(db()), frReport1(std::make_unique<TfrReport>())
{
    setObjectName("frmTake");
    setWindowTitle(kCaption);
    m_model = new StockTakeModel(this);
    m_model->setCountStore([this](qint64 rowNo, const QString &count) { return storeCount(rowNo, count); });

    searchCombo = new QComboBox(this);
    searchCombo->setObjectName("ComboBox1");
    searchCombo->addItems(takeSearchItems());
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName("EditContent");
    searchButton = goodsui::flatButton("SpeedButton1", QStringLiteral("查询"), this);
    clerkBox = new QComboBox(this);
    clerkBox->setObjectName("ComboBox2");
    clerkBox->setEditable(true);
    clerkBox->setMinimumContentsLength(10);

    categoryView = new QTreeWidget(this);
    categoryView->setObjectName("TreeView1");
    categoryView->setHeaderHidden(true);
    goodsView = new QTableView(this);
    goodsView->setObjectName("DBGrid1");
    goodsView->setModel(m_model);
    goodsView->setItemDelegate(new CountDelegate(goodsView));
    goodsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    goodsView->setSelectionMode(QAbstractItemView::SingleSelection);
    goodsView->setEditTriggers(QAbstractItemView::AllEditTriggers);
    goodsView->verticalHeader()->hide();
    goodsView->verticalHeader()->setDefaultSectionSize(goodsView->fontMetrics().height() + 8);
    goodsView->setWordWrap(false);
    new partnersui::RowMoves(goodsView);

    initButton = pushButton("BitBtn2", QStringLiteral("盘点初始化"), this);
    exportButton = goodsui::flatButton("SpeedButton2", QStringLiteral("导出列表"), this);
    postButton = pushButton("BitBtn4", QStringLiteral("确认处理"), this);
    printButton = pushButton("BitBtn3", QStringLiteral("打印盘点单"), this);
    printButton->hide();
    auto *note = goodsui::redLabel(QStringLiteral("只需要填写想要盘点的货品的实盘数量就可以了，没有填写实盘数量的货品"
                                                  "将不做处理这样可以方便您把全部货品分为多次盘点"),
                                   this);
    note->setObjectName("RichEdit2");
    note->setWordWrap(true);
    auto *steps = new QLabel(QStringLiteral("参考步骤\n\n1.盘点初始化，清空盘点的内容\n\n2.导出现有仓库列表打印\n\n"
                                            "3.用盘点表记录实际的库存\n\n4.在左边输入实际的盘点数目\n\n5.确认处理"),
                             this);
    steps->setObjectName("RichEdit1");
    steps->setWordWrap(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("查询："), this));
    bar->addWidget(searchCombo);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(searchButton);
    bar->addSpacing(20);
    bar->addWidget(new QLabel(QStringLiteral("经办人："), this));
    bar->addWidget(clerkBox);
    bar->addStretch(1);
    auto *side = new QVBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{initButton, exportButton, postButton, printButton, note, steps})
        side->addWidget(w);
    side->addStretch(1);
    auto *sidePanel = new QWidget(this);
    sidePanel->setLayout(side);
    sidePanel->setFixedWidth(160);
    auto *split = new QSplitter(this);
    split->addWidget(categoryView);
    split->addWidget(goodsView);
    split->setStretchFactor(1, 1);
    split->setSizes({170, 730});
    auto *body = new QHBoxLayout;
    body->addWidget(split, 1);
    body->addWidget(sidePanel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addLayout(body, 1);
    resize(1100, 640);

    clerkBox->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inGrid = [this](QWidget *w) { return w && (w == goodsView || goodsView->isAncestorOf(w)); };
        if (inGrid(old) && !inGrid(now))
            DBGrid1Exit();
    });
    connect(categoryView, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Click(); });
    connect(categoryView, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    connect(searchEdit, &QLineEdit::textChanged, this, &TfrmTake::SpeedButton1Click);
    connect(searchEdit, &QLineEdit::returnPressed, this, &TfrmTake::SpeedButton1Click);
    connect(searchButton, &QToolButton::clicked, this, &TfrmTake::SpeedButton1Click);
    connect(searchCombo, &QComboBox::currentIndexChanged, this, &TfrmTake::ComboBox1Change);
    connect(initButton, &QPushButton::clicked, this, &TfrmTake::BitBtn2Click);
    connect(exportButton, &QToolButton::clicked, this, &TfrmTake::SpeedButton2Click);
    connect(postButton, &QPushButton::clicked, this, &TfrmTake::BitBtn4Click);
    connect(printButton, &QPushButton::clicked, this, &TfrmTake::BitBtn3Click);
}

TfrmTake::~TfrmTake() = default;

void TfrmTake::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        formShow();
    }
}

void TfrmTake::formShow()
{
    clerkBox->setEditText(G.gCurrentUser);
    writeWindowStatus(windowTitle());
    buildTree();
    LoadAllGoods();
    for (const auto &[name, width] : kWidths)
        goodsView->setColumnWidth(m_model->fieldIndex(name), width);
    showCodesColumn();
}

void TfrmTake::buildTree()
{
    const QSignalBlocker block(categoryView);
    categoryView->clear();
    try {
        const CategoryNode root = CategoryStore(db()).tree();
        auto *top = new QTreeWidgetItem(categoryView, {categoryNodeText(root.code, root.name)});
        addCategoryNodes(top, root);
        categoryView->expandAll();
        categoryView->setCurrentItem(top);
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

void TfrmTake::showGoods(const SqlCondition &where)
{
    try {
        m_model->load(db(), where);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    goodsView->setColumnHidden(m_model->fieldIndex(QStringLiteral("流水号")), true);
    if (m_model->rowCount() > 0)
        goodsView->setCurrentIndex(m_model->index(0, m_model->countColumn()));
    showCodesColumn();
}

// Making the count cell current scrolls a narrow grid to it; the operator reads a row from its
// code on the left.
void TfrmTake::showCodesColumn() { goodsView->horizontalScrollBar()->setValue(0); }

void TfrmTake::LoadAllGoods() { showGoods({}); }

bool TfrmTake::scope(TakeScope *out) const
{
    const QTreeWidgetItem *node = categoryView->currentItem();
    if (!node)
        return false;
    out->category = node->parent() ? categoryNameOf(node->text(0)) : QString();
    return true;
}

void TfrmTake::TreeView1Click()
{
    TakeScope s;
    if (scope(&s))
        showGoods(takeScopeCondition(s, !db().isSqlite()));
}

void TfrmTake::SpeedButton1Click()
{
    showGoods(takeSearchCondition(searchCombo->currentIndex(), searchEdit->text(), !db().isSqlite()));
}

void TfrmTake::ComboBox1Change(int item)
{
    if (item == 0)
        LoadAllGoods();
}

bool TfrmTake::storeCount(qint64 rowNo, const QString &count)
{
    if (count.contains(QLatin1Char('.'))) {
        notice(this, kCountWithPoint);
        return false;
    }
    try {
        m_taking.storeCount(rowNo, count);
    } catch (const std::exception &e) {
        showError(this, e);
        return false;
    }
    return true;
}

void TfrmTake::DBGrid1Exit()
{
    const QModelIndex current = goodsView->currentIndex();
    if (!current.isValid() || m_model->rowNo(current.row()) == 0 || m_model->count(current.row()).isEmpty())
        return;
    LoadAllGoods();
}

bool TfrmTake::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == clerkBox && event->type() == QEvent::FocusIn)
        refillClerks();
    return QWidget::eventFilter(watched, event);
}

void TfrmTake::refillClerks()
{
    const QString text = clerkBox->currentText();
    try {
        const QStringList names = staffChoices(db(), std::nullopt, StaffText::NameOnly);
        const QSignalBlocker block(clerkBox);
        clerkBox->clear();
        clerkBox->addItems(names);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    clerkBox->setEditText(text);
}

void TfrmTake::BitBtn2Click()
{
    TakeScope s;
    if (!scope(&s))
        return;
    try {
        m_taking.clearCounts(s);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    LoadAllGoods();
}

void TfrmTake::SpeedButton2Click()
{
    const QModelIndex current = goodsView->currentIndex();
    if (!current.isValid() || m_model->rowNo(current.row()) == 0)
        return;
    ExportSheet sheet;
    sheet.headers = StockTakeModel::exportColumns();
    sheet.textColumns = {1};
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStringList line;
        for (const QString &c : sheet.headers)
            line << m_model->data(m_model->index(r, m_model->fieldIndex(c))).toString();
        sheet.rows << line;
    }
    sheet.summary = QStringLiteral("满足条件记录的总数为：%1条").arg(m_model->rowCount());
    ExcelExport::run(this, sheet, windowTitle());
}

void TfrmTake::BitBtn4Click()
{
    const QModelIndex current = goodsView->currentIndex();
    TakeScope s;
    if (!current.isValid() || m_model->rowNo(current.row()) == 0 || !scope(&s))
        return;
    const QString clerk = clerkBox->currentText();
    TakeResult r;
    try {
        const TakeCheck check = m_taking.check(s);
        if (check.bad) {
            notice(this, StockTaking::badCountText(check.badGoodsNo));
            return;
        }
        if (check.counted == 0) {
            notice(this, kNothingCounted);
            return;
        }
        if (!askYesNo(this, QStringLiteral("系统提示"), kTakeQuestion))
            return;
        BusyCursor busy;
        r = m_taking.post(s, clerk);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    switch (r.status) {
    case TakeResult::NothingCounted:
        notice(this, kNothingCounted);
        break;
    case TakeResult::BadCount:
        notice(this, StockTaking::badCountText(r.badGoodsNo));
        break;
    case TakeResult::Posted:
        gLastTakeID = r.billID;
        notice(this, StockTaking::doneText(r.qty, r.amount));
        break;
    }
    LoadAllGoods();
}

// The print of the last bill posted in this run; the grid shows all goods again afterwards.
void TfrmTake::BitBtn3Click()
{
    if (gLastTakeID.isEmpty())
        return;
    try {
        const DocumentPrint p = takeBillPrint(db(), gLastTakeID, clerkBox->currentText());
        if (p.lines.isEmpty())
            return;
        m_lastPrint = printDocument(*frReport1, p);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    LoadAllGoods();
}

} // namespace orv
