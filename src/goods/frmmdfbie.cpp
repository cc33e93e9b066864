#include "goods/frmmdfbie.h"
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
const QString kEdit = QStringLiteral("编辑");
} // namespace

TfrmMdfbie::TfrmMdfbie(TfrmChooseLeiBie *tree) : m_tree(tree)
{
    setWindowTitle(QStringLiteral("修改类别目录"));
    const goodsui::NameEntry e = goodsui::buildNameEntry(this, QStringLiteral("类别名称"), kSave);
    nameLabel = e.label;
    nameEdit = e.edit;
    saveButton = e.save;
    cancelButton = e.cancel;
    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName("Edit2");
    codeEdit->hide();
    setTypicalSize(goodsui::nameEntrySize(this));
    enterMovesToNextField(this);

    connect(saveButton, &QToolButton::clicked, this, &TfrmMdfbie::SpeedButton1Click);
}

void TfrmMdfbie::setState(State s)
{
    m_state = s;
    saveButton->setText(s == State::Entering ? kSave : kEdit);
    goodsui::setEntryState(nameEdit, s == State::Entering);
}

void TfrmMdfbie::FormShow()
{
    writeWindowStatus(windowTitle());
    if (m_tree && m_tree->currentNode()) {
        const QString text = m_tree->currentNode()->text(0);
        codeEdit->setText(categoryCodeOf(text));
        nameEdit->setText(categoryNameOf(text));
    }
    nameEdit->setFocus();
}

void TfrmMdfbie::SpeedButton1Click()
{
    if (m_state == State::Saved) {
        setState(State::Entering);
        nameEdit->setFocus();
    } else {
        if (G.gDirMode != 8 || !m_tree)
            return;
        // The root is not stored, so there is nothing to rename.
        if (codeEdit->text() == kCategoryRootCode || codeEdit->text().isEmpty())
            return;
        try {
            CategoryStore(db()).rename(codeEdit->text(), nameEdit->text());
        } catch (const CategoryError &e) {
            notice(this, e.text());
            return;
        } catch (const std::exception &e) {
            showError(this, e);
            return;
        }
        if (QTreeWidgetItem *node = m_tree->currentNode())
            if (categoryCodeOf(node->text(0)) == codeEdit->text())
                node->setText(0, categoryNodeText(codeEdit->text(), nameEdit->text()));
        setState(State::Saved);
    }
    if (m_tree)
        m_tree->tree()->expandAll();
}

} // namespace orv
