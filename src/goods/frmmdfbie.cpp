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
    Label1 = e.label;
    Edit1 = e.edit;
    SpeedButton1 = e.save;
    SpeedButton2 = e.cancel;
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit2->hide();
    enterMovesToNextField(this);

    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmMdfbie::SpeedButton1Click);
}

void TfrmMdfbie::FormShow()
{
    writeWindowStatus(windowTitle());
    if (m_tree && m_tree->currentNode()) {
        const QString text = m_tree->currentNode()->text(0);
        Edit2->setText(categoryCodeOf(text));
        Edit1->setText(categoryNameOf(text));
    }
    Edit1->setFocus();
}

void TfrmMdfbie::SpeedButton1Click()
{
    if (SpeedButton1->text() != kSave) {
        SpeedButton1->setText(kSave);
        goodsui::setEntryState(Edit1, true);
        Edit1->setFocus();
    } else {
        if (G.gDirMode != 8 || !m_tree)
            return;
        // The root is not stored, so there is nothing to rename.
        if (Edit2->text() == kCategoryRootCode || Edit2->text().isEmpty())
            return;
        try {
            CategoryStore(db()).rename(Edit2->text(), Edit1->text());
        } catch (const CategoryError &e) {
            notice(this, e.text());
            return;
        } catch (const std::exception &e) {
            showError(this, e);
            return;
        }
        if (QTreeWidgetItem *node = m_tree->currentNode())
            if (categoryCodeOf(node->text(0)) == Edit2->text())
                node->setText(0, categoryNodeText(Edit2->text(), Edit1->text()));
        goodsui::setEntryState(Edit1, false);
        SpeedButton1->setText(kEdit);
    }
    if (m_tree)
        m_tree->tree()->expandAll();
}

} // namespace orv
