// The category tree: codes, adding, renaming with children, deleting subtrees, and its windows.
#include "modalchecks.h"
#include "receiver.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "app/appglobals.h"
#include "goods/categories.h"
#include "goods/frmchooseleibie.h"
#include "goods/frmmdfbie.h"
#include "goods/frmnewbie.h"
#include "goods/lookupschema.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace orv;
using namespace orv::test;

namespace {
void insertRow(TestDb &t, const QString &code, const QString &name, const QString &parent, int level)
{
    t.exec("insert into 类别目录(流水号,类别,父项,级别) values(?,?,?,?)", {code, name, parent, QString::number(level)});
}

// The tree as indented node texts, depth first.
QStringList outline(const CategoryNode &n, int depth = 0)
{
    QStringList out{QString(depth * 2, ' ') + categoryNodeText(n.code, n.name)};
    for (const auto &c : n.children)
        out << outline(c, depth + 1);
    return out;
}

QStringList outline(QTreeWidgetItem *item, int depth = 0)
{
    QStringList out{QString(depth * 2, ' ') + item->text(0)};
    for (int i = 0; i < item->childCount(); ++i)
        out << outline(item->child(i), depth + 1);
    return out;
}

QStringList rows(TestDb &t)
{
    DataSet q(&t.conn());
    q.setSql("select 流水号, 类别, 父项, 级别 from 类别目录 order by 流水号");
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << QStringList{q.fields(0).asString(), q.fields(1).asString(), q.fields(2).asString(),
                           q.fields(3).asString()}
                   .join('|');
    return out;
}

QTreeWidgetItem *findNode(QTreeWidget *tree, const QString &text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

template <typename T> T *child(QWidget *w, const char *name) { return w->findChild<T *>(name); }
} // namespace

class TestCategories : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerGoodsLookupSchema(); }
    void init() { G = AppGlobals{}; }

    void nextCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("next");
        QTest::newRow("empty") << QStringList{} << "0001";
        QTest::newRow("gap kept") << QStringList{"0001", "0002", "0005"} << "0006";
        QTest::newRow("last one") << QStringList{"0010", "9998"} << "9999";
        QTest::newRow("exhausted") << QStringList{"9999"} << "";
    }

    void nextCode()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, next);
        TestDb t;
        for (const auto &c : codes)
            insertRow(t, c, "k" + c, "全部", 1);
        CategoryStore s(t.conn());
        if (next.isEmpty()) {
            try {
                s.nextCode();
                QFAIL("no code after 9999");
            } catch (const CategoryError &e) {
                QCOMPARE(e.text(), CategoryStore::exhaustedText());
            }
            QVERIFY_THROWS_EXCEPTION(CategoryError, s.add("x", "全部", 0));
            QCOMPARE(rows(t).size(), codes.size());
        } else {
            QCOMPARE(s.nextCode(), next);
            QCOMPARE(s.add("新", "全部", 0), next);
        }
    }

    void addChecks()
    {
        TestDb t;
        CategoryStore s(t.conn());
        QCOMPARE(s.add("五金", "全部", 0), QString("0001"));
        QCOMPARE(s.add("螺丝", "五金", 1), QString("0002"));
        // Same name under a parent of another name: accepted.
        QCOMPARE(s.add("螺丝", "全部", 0), QString("0003"));
        // Same name and parent name, whatever the level: refused.
        try {
            s.add("螺丝", "五金", 3);
            QFAIL("duplicate accepted");
        } catch (const CategoryError &e) {
            QCOMPARE(e.text(), QString("存在这样的类别操作被取消！"));
        }
        try {
            s.add("   ", "全部", 0);
            QFAIL("blank name accepted");
        } catch (const CategoryError &e) {
            QCOMPARE(e.text(), QString("不能为空"));
        }
        // Blanks around a name and quotes are kept as typed.
        QCOMPARE(s.add(" 带空格 ", "全部", 0), QString("0004"));
        QCOMPARE(s.add("o'k", "螺丝", 2), QString("0005"));
        // Deep levels have no bound.
        s.add("L4", "o'k", 3);
        s.add("L5", "L4", 4);
        QCOMPARE(rows(t), (QStringList{"0001|五金|全部|1", "0002|螺丝|五金|2", "0003|螺丝|全部|1",
                                       "0004| 带空格 |全部|1", "0005|o'k|螺丝|3", "0006|L4|o'k|4",
                                       "0007|L5|L4|5"}));
        // A deleted highest code is given out again.
        QCOMPARE(s.removeSubtree("0007"), 1);
        QCOMPARE(s.nextCode(), QString("0007"));
    }

    void treeFollowsParentNames()
    {
        TestDb t;
        insertRow(t, "0001", "五金", "全部", 1);
        insertRow(t, "0002", "电料", "全部", 1);
        insertRow(t, "0003", "螺丝", "五金", 2);
        insertRow(t, "0004", "螺丝", "电料", 2);
        insertRow(t, "0005", "M6", "螺丝", 3);
        insertRow(t, "0006", "孤儿", "不存在", 2);
        const QStringList expected{"0000\\全部", "  0001\\五金", "    0003\\螺丝", "      0005\\M6",
                                   "  0002\\电料",   "    0004\\螺丝", "      0005\\M6"};
        QCOMPARE(outline(CategoryStore(t.conn()).tree()), expected);

        TfrmChooseLeiBie w;
        w.show();
        QCOMPARE(outline(w.tree()->topLevelItem(0)), expected);
    }

    void renameCarriesChildren()
    {
        TestDb t;
        CategoryStore s(t.conn());
        s.add("五金", "全部", 0);   // 0001
        s.add("螺丝", "五金", 1);   // 0002
        s.add("M6", "螺丝", 2);     // 0003
        s.add("工具", "全部", 0);   // 0004
        s.rename("0002", "螺钉");
        s.rename("0001", "五金件");
        QCOMPARE(outline(s.tree()), (QStringList{"0000\\全部", "  0001\\五金件", "    0002\\螺钉", "      0003\\M6",
                                                 "  0004\\工具"}));
        // Renaming onto a sibling's name, or to nothing, is refused and changes nothing.
        QVERIFY_THROWS_EXCEPTION(CategoryError, s.rename("0004", "五金件"));
        QVERIFY_THROWS_EXCEPTION(CategoryError, s.rename("0004", " "));
        QCOMPARE(rows(t).at(3), QString("0004|工具|全部|1"));
    }

    void renameLeavesSharedChildren()
    {
        TestDb t;
        insertRow(t, "0001", "五金", "全部", 1);
        insertRow(t, "0002", "电料", "全部", 1);
        insertRow(t, "0003", "螺丝", "五金", 2);
        insertRow(t, "0004", "螺丝", "电料", 2);
        insertRow(t, "0005", "M6", "螺丝", 3);
        CategoryStore s(t.conn());
        s.rename("0003", "螺钉");
        // M6 still belongs to the other 螺丝.
        QCOMPARE(rows(t).at(4), QString("0005|M6|螺丝|3"));
    }

    void deleteRemovesSubtree()
    {
        TestDb t;
        CategoryStore s(t.conn());
        s.add("五金", "全部", 0); // 0001
        s.add("螺丝", "五金", 1); // 0002
        s.add("M6", "螺丝", 2);   // 0003
        s.add("M8", "螺丝", 2);   // 0004
        s.add("工具", "全部", 0); // 0005
        QCOMPARE(s.removeSubtree("0001"), 4);
        QCOMPARE(rows(t), QStringList{"0005|工具|全部|1"});
        // Adding 螺丝 again on that level does not bring old grandchildren back.
        s.add("五金", "全部", 0);
        s.add("螺丝", "五金", 1);
        QCOMPARE(outline(s.tree()).size(), 4);
        // The root takes every row with it.
        s.removeSubtree(kCategoryRootCode);
        QVERIFY(rows(t).isEmpty());
    }

    void codeTakenAtSaveTime()
    {
        TestDb t;
        CategoryStore mine(t.conn());
        QCOMPARE(mine.nextCode(), QString("0001"));
        // Another client saves between our look at the next code and our save.
        auto other = t.secondClient();
        QCOMPARE(CategoryStore(*other).add("甲", "全部", 0), QString("0001"));
        QCOMPARE(mine.add("乙", "全部", 0), QString("0002"));
        QCOMPARE(t.scalar("select count(distinct 流水号) from 类别目录").toInt(), 2);
    }

    // Two clients add a category at once, the first to save holding its save open meanwhile.
    void concurrentSavesTakeDifferentCodes()
    {
        TestDb t;
        QStringList codes(2);
        const QString failure = runClients(t, 2, HoldOpen{}, [&](int n, Connection &c) {
            codes[n] = CategoryStore(c).add(n ? "乙" : "甲", "全部", 0);
            return true;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        codes.sort();
        QCOMPARE(codes, (QStringList{"0001", "0002"}));
        QCOMPARE(t.scalar("select count(distinct 流水号) from 类别目录").toInt(), 2);
    }

    void windowAddsRenamesDeletes()
    {
        TestDb t;
        ScriptedPrompt p;
        TfrmChooseLeiBie w;
        w.show();
        QTreeWidget *tree = w.tree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("0000\\全部"));
        tree->setCurrentItem(tree->topLevelItem(0));

        // Two categories in a row under the root, then a refused duplicate and an empty name.
        p.expectModal([&](QDialog *d) {
            auto *nb = qobject_cast<TfrmNewbie *>(d);
            auto *edit = child<QLineEdit>(d, "Edit1");
            auto *save = child<QToolButton>(d, "SpeedButton1");
            MCOMPARE(G.gDirMode, 7);
            MCOMPARE(nb->nextCode(), QString("0001"));
            edit->setText("五金");
            nb->SpeedButton1Click();
            MCOMPARE(save->text(), QString("新建"));
            MVERIFY(edit->isReadOnly());
            MCOMPARE(nb->nextCode(), QString("0002"));
            nb->SpeedButton1Click();
            MCOMPARE(save->text(), QString("保存"));
            MVERIFY(edit->text().isEmpty());
            edit->setText("工具");
            nb->SpeedButton1Click();
            nb->SpeedButton1Click();
            edit->setText("五金");
            nb->SpeedButton1Click();
            MVERIFY(edit->text().isEmpty());
            MCOMPARE(save->text(), QString("保存"));
            edit->setText("  ");
            nb->SpeedButton1Click();
            return int(QDialog::Rejected);
        });
        p.expectMessage("存在这样的类别操作被取消！");
        p.expectMessage("不能为空");
        w.SpeedButton1Click();
        QCOMPARE(outline(tree->topLevelItem(0)), (QStringList{"0000\\全部", "  0001\\五金", "  0002\\工具"}));

        // A child under 五金, then rename 五金: the child follows in the table.
        tree->setCurrentItem(findNode(tree, "0001\\五金"));
        QCOMPARE(w.currentLevel(), 1);
        QCOMPARE(w.currentCode(), QString("0001"));
        p.expectModal([&](QDialog *d) {
            child<QLineEdit>(d, "Edit1")->setText("螺丝");
            qobject_cast<TfrmNewbie *>(d)->SpeedButton1Click();
            return int(QDialog::Rejected);
        });
        w.SpeedButton1Click();
        QCOMPARE(rows(t).at(2), QString("0003|螺丝|五金|2"));

        p.expectModal([&](QDialog *d) {
            auto *md = qobject_cast<TfrmMdfbie *>(d);
            MCOMPARE(G.gDirMode, 8);
            MCOMPARE(child<QLineEdit>(d, "Edit2")->text(), QString("0001"));
            MCOMPARE(child<QLineEdit>(d, "Edit1")->text(), QString("五金"));
            child<QLineEdit>(d, "Edit1")->setText("五金件");
            md->SpeedButton1Click();
            MCOMPARE(child<QToolButton>(d, "SpeedButton1")->text(), QString("编辑"));
            md->SpeedButton1Click();
            MCOMPARE(child<QToolButton>(d, "SpeedButton1")->text(), QString("保存"));
            MVERIFY(!child<QLineEdit>(d, "Edit1")->isReadOnly());
            return int(QDialog::Rejected);
        });
        w.SpeedButton2Click();
        QVERIFY(findNode(tree, "0001\\五金件"));
        QCOMPARE(rows(t), (QStringList{"0001|五金件|全部|1", "0002|工具|全部|1", "0003|螺丝|五金件|2"}));

        // Delete: the question names children; No keeps everything.
        tree->setCurrentItem(findNode(tree, "0001\\五金件"));
        p.expectMessage("该节点下还 有子节点一并删除?", QMessageBox::No, "删除多条记录");
        w.SpeedButton3Click();
        QCOMPARE(rows(t).size(), 3);
        p.expectMessage("该节点下还 有子节点一并删除?", QMessageBox::Yes, "删除多条记录");
        w.SpeedButton3Click();
        QCOMPARE(rows(t), QStringList{"0002|工具|全部|1"});
        QVERIFY(!findNode(tree, "0003\\螺丝"));
        tree->setCurrentItem(findNode(tree, "0002\\工具"));
        p.expectMessage("该节点删除吗?", QMessageBox::Yes, "删除多条记录");
        w.SpeedButton3Click();
        QVERIFY(rows(t).isEmpty());
        QVERIFY(p.verifyDone());
    }

    void rootCannotBeRenamed()
    {
        TestDb t;
        insertRow(t, "0001", "五金", "全部", 1);
        ScriptedPrompt p; // no rename dialog may open
        TfrmChooseLeiBie w;
        w.show();
        auto *edit = child<QToolButton>(&w, "SpeedButton2");
        w.tree()->setCurrentItem(w.tree()->topLevelItem(0));
        QVERIFY(!edit->isEnabled());
        w.SpeedButton2Click();
        w.tree()->setCurrentItem(findNode(w.tree(), "0001\\五金"));
        QVERIFY(edit->isEnabled());
        QVERIFY(p.verifyDone());
    }

    void statesNotCaptions()
    {
        // The dialogs follow their state; a caption changed (a translation, a theme) changes nothing.
        TestDb t;
        TfrmChooseLeiBie w;
        w.show();
        w.tree()->setCurrentItem(w.tree()->topLevelItem(0));
        G.gDirMode = 7;
        TfrmNewbie nb(&w);
        nb.show();
        child<QToolButton>(&nb, "SpeedButton1")->setText("Save");
        child<QLineEdit>(&nb, "Edit1")->setText("五金");
        nb.SpeedButton1Click();
        QCOMPARE(nb.state(), TfrmNewbie::State::Done);
        QCOMPARE(rows(t), QStringList{"0001|五金|全部|1"});
        child<QToolButton>(&nb, "SpeedButton1")->setText("New");
        nb.SpeedButton1Click();
        QCOMPARE(nb.state(), TfrmNewbie::State::Entering);
        QCOMPARE(child<QToolButton>(&nb, "SpeedButton1")->text(), QString("保存"));

        w.tree()->setCurrentItem(findNode(w.tree(), "0001\\五金"));
        G.gDirMode = 8;
        TfrmMdfbie md(&w);
        md.show();
        child<QToolButton>(&md, "SpeedButton1")->setText("Save");
        child<QLineEdit>(&md, "Edit1")->setText("五金件");
        md.SpeedButton1Click();
        QCOMPARE(md.state(), TfrmMdfbie::State::Saved);
        QCOMPARE(rows(t), QStringList{"0001|五金件|全部|1"});
        md.SpeedButton1Click();
        QCOMPARE(md.state(), TfrmMdfbie::State::Entering);
    }

    void picking_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("written"); // empty: nothing picked, the window stays open
        QTest::newRow("new goods") << 12 << "0001\\五金" << "五金";
        QTest::newRow("edit goods, root") << 13 << "0000\\全部" << "全部";
        QTest::newRow("menu") << 0 << "0001\\五金" << "";
    }

    void picking()
    {
        QFETCH(int, mode);
        QFETCH(QString, node);
        QFETCH(QString, written);
        TestDb t;
        insertRow(t, "0001", "五金", "全部", 1);
        Receiver opener;
        G.gLeiBieMode = mode;
        TfrmChooseLeiBie w(&opener);
        w.show();
        w.tree()->setCurrentItem(findNode(w.tree(), node));
        QTest::keyClick(w.tree(), Qt::Key_Return);
        QCOMPARE(opener.field(FieldRole::Category), written);
        QCOMPARE(opener.fields.size(), written.isEmpty() ? 0 : 1);
        QCOMPARE(w.isVisible(), written.isEmpty());
    }
};

ORV_DB_TEST_MAIN(TestCategories)
#include "tst_db_categories.moc"
