#include "goods/frmchooseleibie.h"
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "app/windowing.h"
#include "goods/categories.h"
#include "goods/frmmdfbie.h"
#include "goods/frmnewbie.h"
#include "goods/guiutil.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {
constexpr int kLevelRole = Qt::UserRole + 1;
} // namespace

TfrmChooseLeiBie::TfrmChooseLeiBie(QWidget *opener) : m_opener(opener)
{
    setWindowTitle(QStringLiteral("货品的类别"));
    newButton = goodsui::flatButton("SpeedButton1", QStringLiteral("新建"), this);
    editButton = goodsui::flatButton("SpeedButton2", QStringLiteral("修改"), this);
    deleteButton = goodsui::flatButton("SpeedButton3", QStringLiteral("删除"), this);
    auto *bar = new QHBoxLayout;
    bar->addWidget(newButton);
    bar->addWidget(editButton);
    bar->addWidget(deleteButton);
    bar->addStretch();
    categoryTree = new QTreeWidget(this);
    categoryTree->setObjectName("TreeView1");
    categoryTree->setHeaderHidden(true);
    categoryTree->installEventFilter(this);
    auto *main = new QVBoxLayout(this);
    main->addLayout(bar);
    main->addWidget(categoryTree, 1);
    // A tree of a few levels of names a dozen characters long, without scrolling sideways.
    setTypicalSize(QSize(380, 480));

    connect(newButton, &QToolButton::clicked, this, &TfrmChooseLeiBie::SpeedButton1Click);
    connect(editButton, &QToolButton::clicked, this, &TfrmChooseLeiBie::SpeedButton2Click);
    connect(deleteButton, &QToolButton::clicked, this, &TfrmChooseLeiBie::SpeedButton3Click);
    connect(categoryTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item, QTreeWidgetItem *) { setCurrent(item); });
    connect(categoryTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) { setCurrent(item); });
    connect(categoryTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *, int) { TreeView1DblClick(); });
}

void TfrmChooseLeiBie::FormShow()
{
    writeWindowStatus(windowTitle());
    buildTree();
}

int TfrmChooseLeiBie::levelOf(const QTreeWidgetItem *item) { return item ? item->data(0, kLevelRole).toInt() : 0; }

QTreeWidgetItem *TfrmChooseLeiBie::addNode(QTreeWidgetItem *parent, const QString &code, const QString &name, int level)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(categoryTree);
    item->setText(0, categoryNodeText(code, name));
    item->setToolTip(0, item->text(0));
    item->setData(0, kLevelRole, level);
    return item;
}

void TfrmChooseLeiBie::addChildren(QTreeWidgetItem *item, const CategoryNode &node)
{
    for (const auto &child : node.children)
        addChildren(addNode(item, child.code, child.name, child.level), child);
}

void TfrmChooseLeiBie::buildTree()
{
    categoryTree->clear();
    m_current = nullptr;
    try {
        const CategoryNode root = CategoryStore(db()).tree();
        addChildren(addNode(nullptr, root.code, root.name, 0), root);
    } catch (const std::exception &e) {
        showError(this, e);
    }
    categoryTree->expandAll();
    setCurrent(categoryTree->currentItem());
}

void TfrmChooseLeiBie::setCurrent(QTreeWidgetItem *item)
{
    m_current = item;
    m_level = levelOf(item);
    m_code = item ? categoryCodeOf(item->text(0)) : QString();
    // The root is not stored, so it cannot be renamed.
    editButton->setEnabled(item && m_code != kCategoryRootCode);
}

QTreeWidgetItem *TfrmChooseLeiBie::parentForNew()
{
    if (m_current)
        return m_current;
    QTreeWidgetItem *root = categoryTree->topLevelItem(0);
    if (!root)
        root = addNode(nullptr, kCategoryRootCode, kCategoryRootName, 0);
    categoryTree->setCurrentItem(root);
    setCurrent(root);
    return root;
}

void TfrmChooseLeiBie::SpeedButton1Click()
{
    G.gDirMode = 7;
    openModal(frmNewbie, true, this);
}

void TfrmChooseLeiBie::SpeedButton2Click()
{
    if (!m_current || m_code == kCategoryRootCode)
        return;
    G.gDirMode = 8;
    openModal(frmMdfBie, true, this);
}

void TfrmChooseLeiBie::SpeedButton3Click()
{
    if (!m_current)
        return;
    const QString text = m_current->childCount() > 0 ? QStringLiteral("该节点下还 有子节点一并删除?")
                                                     : QStringLiteral("该节点删除吗?");
    if (prompt().message(this, QStringLiteral("删除多条记录"), text, QMessageBox::Information,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    try {
        CategoryStore(db()).removeSubtree(m_code);
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    QTreeWidgetItem *gone = m_current;
    m_current = nullptr;
    delete gone;
    categoryTree->expandAll();
    setCurrent(categoryTree->currentItem());
}

void TfrmChooseLeiBie::TreeView1DblClick()
{
    if (!m_current || (G.gLeiBieMode != 12 && G.gLeiBieMode != 13))
        return;
    const QString name = categoryNameOf(m_current->text(0));
    G.gRepFit.Category = name;
    setCallerField(m_opener, FieldRole::Category, QString(), name);
    accept();
}

bool TfrmChooseLeiBie::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == categoryTree && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            TreeView1DblClick();
            return true;
        }
    }
    return GoodsDialog::eventFilter(watched, event);
}

} // namespace orv
