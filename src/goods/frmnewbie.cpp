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
    nameLabel = e.label;
    nameEdit = e.edit;
    saveButton = e.save;
    cancelButton = e.cancel;
    setTypicalSize(goodsui::nameEntrySize(this));
    enterMovesToNextField(this);

    connect(saveButton, &QToolButton::clicked, this, &TfrmNewbie::SpeedButton1Click);
}

void TfrmNewbie::setState(State s)
{
    m_state = s;
    saveButton->setText(s == State::Entering ? kSave : kNew);
    goodsui::setEntryState(nameEdit, s == State::Entering);
}

void TfrmNewbie::FormShow()
{
    writeWindowStatus(windowTitle());
    computeNextCode();
    nameEdit->setFocus();
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
        if (CategoryStore(db()).exists(nameEdit->text(), m_parentName))
            m_canSave = false;
    } catch (const std::exception &e) {
        showError(this, e);
        m_canSave = false;
        return;
    }
    if (!m_canSave) {
        notice(this, CategoryStore::duplicateText());
        nameEdit->clear();
    }
}

void TfrmNewbie::SpeedButton1Click()
{
    if (m_state == State::Done) {
        nameEdit->setFocus();
        nameEdit->clear();
        setState(State::Entering);
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
    const QString name = nameEdit->text();
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
            nameEdit->clear();
        return;
    } catch (const std::exception &e) {
        showError(this, e);
        return;
    }
    m_tree->addNode(parent, code, name, parentLevel + 1);
    setState(State::Done);
    expandTree();
    computeNextCode();
}

} // namespace orv
