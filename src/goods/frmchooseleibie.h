#pragma once
// 货品的类别: the category tree, its maintenance and the category picker of the goods dialogs.
#include "goods/goodsdialog.h"
#include <QPointer>

class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

struct CategoryNode;

class TfrmChooseLeiBie : public GoodsDialog {
    Q_OBJECT
public:
    // `opener` receives a pick (gLeiBieMode 12, 13) in its control named "EditType".
    explicit TfrmChooseLeiBie(QWidget *opener = nullptr);

    void FormShow() override;
    void SpeedButton1Click(); // 新建
    void SpeedButton2Click(); // 修改
    void SpeedButton3Click(); // 删除
    void TreeView1DblClick(); // pick

    // The current node, its tree level (0 for the root) and its code.
    QTreeWidgetItem *currentNode() const { return m_current; }
    int currentLevel() const { return m_level; }
    QString currentCode() const { return m_code; }
    QTreeWidget *tree() const { return categoryTree; }
    // The node to add under: the current one, else the root (recreated after the root was deleted).
    QTreeWidgetItem *parentForNew();
    static int levelOf(const QTreeWidgetItem *item);
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &code, const QString &name, int level);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTree();
    void addChildren(QTreeWidgetItem *item, const CategoryNode &node);
    void setCurrent(QTreeWidgetItem *item);

    QPointer<QWidget> m_opener;
    QTreeWidgetItem *m_current = nullptr;
    int m_level = 0;
    QString m_code;

    QToolButton *newButton;    // SpeedButton1
    QToolButton *editButton;   // SpeedButton2
    QToolButton *deleteButton; // SpeedButton3
    QTreeWidget *categoryTree; // TreeView1
};

inline QPointer<TfrmChooseLeiBie> frmChooseLeiBie;

} // namespace orv
