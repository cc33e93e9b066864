#include "goods/frmnewbie.h"
#include "app/appglobals.h"
#include "data/datamodule.h"
#include "app/windowing.h"
#include "goods/categories.h"
#include "goods/frmchooseleibie.h"
#include "goods/guiutil.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

namespace orv {

namespace {
const QString kSave = QStringLiteral("保存");
const QString kNew = QStringLiteral("新建");
} // namespace

TfrmNewbie::TfrmNewbie(TfrmChooseLeiBie *tree) : m_tree(tree)
{
    setWindowTitle(QStringLiteral("新建类别"));
    const goodsui::NameEntry e = goodsui::buildNameEntry(this, QStringLiteral("请输入货品类别："), kSave);
    Label1 = e.label;
    Edit1 = e.edit;
    SpeedButton1 = e.save;
    SpeedButton2 = e.cancel;
    enterMovesToNextField(this);

    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmNewbie::SpeedButton1Click);
}

void TfrmNewbie::FormShow()
{
    writeWindowStatus(windowTitle());
    computeNextCode();
    Edit1->setFocus();
}

void TfrmNewbie::computeNextCode()
{
    try {
        m_nextCode = CategoryStore(db()).nextCode();
    } catch (const CategoryError &) {
        m_nextCode.clear(); // the save reports it
    } catch (const std::exception &e) {
        showError(this, e);
    }
}

void TfrmNewbie::expandTree()
{
    if (m_tree)
        m_tree->tree()->expandAll();
}

void TfrmNewbie::cansave()
{
    m_canSave = true;
    try {
        if (CategoryStore(db()).exists(Edit1->text(), m_parentName))
            m_canSave = false;
    } catch (const std::exception &e) {
        showError(this, e);
        m_canSave = false;
        return;
    }
    if (!m_canSave) {
        notice(this, CategoryStore::duplicateText());
        Edit1->clear();
    }
}

void TfrmNewbie::SpeedButton1Click()
{
    if (SpeedButton1->text() != kSave) {
        Edit1->setFocus();
        goodsui::setEntryState(Edit1, true);
        Edit1->clear();
        SpeedButton1->setText(kSave);
        expandTree();
        computeNextCode();
        return;
    }
    if (G.gDirMode != 7 || !m_tree)
        return;
    QTreeWidgetItem *parent = m_tree->parentForNew();
    const QString parentText = parent->text(0);
    m_parentName = categoryNameOf(parentText);
    m_parentCode = categoryCodeOf(parentText);
    const int parentLevel = TfrmChooseLeiBie::levelOf(parent);
    m_newLevel = QString::number(parentLevel + 1);

    cansave();
    if (!m_canSave) {
        expandTree();
        computeNextCode();
        return;
    }
    const QString name = Edit1->text();
    if (name.trimmed().isEmpty()) {
        notice(this, CategoryStore::emptyText());
        return;
    }
    QString code;
    try {
        // The code is allocated by the save itself, inside its transaction.
        code = CategoryStore(db()).add(name, m_parentName, parentLevel);
    } catch (const CategoryError &e) {
        notice(this, e.text());
        if (e.text() == CategoryStore::duplicateText())
            Edit1->clear();
        return;
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_tree->addNode(parent, code, name, parentLevel + 1);
    goodsui::setEntryState(Edit1, false);
    SpeedButton1->setText(kNew);
    expandTree();
    computeNextCode();
}

} // namespace orv
