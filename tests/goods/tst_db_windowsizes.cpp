// Every dialog of the catalogue opens at a size that shows its caption, its controls and its
// typical content in full (the opener centres a dialog at its size hint); long names in lists
// carry a tooltip.
#include "docreceiver.h"
#include "goodsfixture.h"
#include "scriptedprompt.h"

#include "app/windowing.h"
#include "goods/frmcangku.h"
#include "goods/frmchoosegys.h"
#include "goods/frmchooseleibie.h"
#include "goods/frmdanweixinxi.h"
#include "goods/frmmdf.h"
#include "goods/frmmdfbie.h"
#include "goods/frmmdfcang.h"
#include "goods/frmnewbie.h"
#include "goods/frmnewcang.h"
#include "goods/frmselectcangku.h"
#include "goods/frmselectfit.h"
#include "goods/goodsschema.h"
#include "goods/lookupforms.h"
#include "goods/lookupschema.h"
#include "goods/listmodel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeView>
#include <functional>

using namespace orv;
using namespace orv::test;

using Factory = std::function<QDialog *(QWidget *holder)>;
Q_DECLARE_METATYPE(Factory)

namespace {
int cjk(const QWidget *w, int n) { return QFontMetrics(w->font()).horizontalAdvance(QString(n, QChar(0x4e2d))); }

// What a reader needs to see: the caption, every label and button whole, text boxes wide enough
// for a few words, and lists that show `rows` rows of names without scrolling sideways.
void checkShowsContent(QWidget *w, int rows, int nameChars)
{
    QVERIFY2(w->width() >= captionWidth(w),
             qPrintable(QString("%1: %2 wide, the caption needs %3").arg(w->windowTitle()).arg(w->width()).arg(captionWidth(w))));
    for (QWidget *c : w->findChildren<QWidget *>()) {
        if (!c->isVisibleTo(w))
            continue;
        const QString what = w->windowTitle() + "/" + c->metaObject()->className() + "/" + c->objectName();
        if (qobject_cast<QLabel *>(c) || qobject_cast<QAbstractButton *>(c)) {
            if (qobject_cast<QLabel *>(c) && static_cast<QLabel *>(c)->text().isEmpty())
                continue;
            QVERIFY2(c->width() >= c->minimumSizeHint().width() && c->height() >= c->minimumSizeHint().height(),
                     qPrintable(what + " is cut off"));
        } else if (qobject_cast<QLineEdit *>(c) && !qobject_cast<QComboBox *>(c->parentWidget())) {
            QVERIFY2(c->width() >= cjk(w, 6), qPrintable(what + " is too narrow"));
        } else if (auto *v = qobject_cast<QAbstractItemView *>(c);
                   v && !qobject_cast<QHeaderView *>(v) && !qobject_cast<QComboBox *>(c->parentWidget())) {
            int rowHeight = QFontMetrics(v->font()).height() + 2;
            if (auto *t = qobject_cast<QTableView *>(v))
                rowHeight = t->verticalHeader()->defaultSectionSize();
            QVERIFY2(v->viewport()->height() >= rows * rowHeight,
                     qPrintable(QString("%1 shows %2 rows").arg(what).arg(v->viewport()->height() / rowHeight)));
            QVERIFY2(v->viewport()->width() >= cjk(w, nameChars), qPrintable(what + " is too narrow"));
        }
    }
}
} // namespace

class TestWindowSizes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        registerGoodsLookupSchema();
    }
    void init() { G = AppGlobals{}; }

    void dialogs_data()
    {
        QTest::addColumn<Factory>("make");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("nameChars");
        QTest::newRow("category tree") << Factory([](QWidget *) { return new TfrmChooseLeiBie(); }) << 12 << 20;
        QTest::newRow("units") << Factory([](QWidget *) { return new TfrmSelectDan(); }) << 8 << 16;
        QTest::newRow("places") << Factory([](QWidget *) { return new TfrmCamgWei(); }) << 8 << 16;
        QTest::newRow("regions") << Factory([](QWidget *) { return new TfrmKeHu(); }) << 8 << 16;
        QTest::newRow("supplier dialog") << Factory([](QWidget *) { return new TfrmDanWeiXinXi(); }) << 3 << 20;
        QTest::newRow("supplier picker") << Factory([](QWidget *h) { return new TfrmChooseGYS(h); }) << 8 << 30;
        QTest::newRow("new goods") << Factory([](QWidget *) { return new TfrmNewCang(); }) << 3 << 20;
        QTest::newRow("goods edit") << Factory([](QWidget *) { return new TfrmMdfCang(); }) << 3 << 20;
        QTest::newRow("goods picker") << Factory([](QWidget *h) { return new TfrmSelectFit(h); }) << 8 << 24;
        QTest::newRow("line editor") << Factory([](QWidget *h) { return new TfrmMdf(h); }) << 0 << 0;
        QTest::newRow("goods filter") << Factory([](QWidget *) { return new TfrmSelectCangku(); }) << 5 << 24;
    }

    void dialogs()
    {
        QFETCH(Factory, make);
        QFETCH(int, rows);
        QFETCH(int, nameChars);
        TestDb t;
        DocReceiver holder;
        std::unique_ptr<QDialog> d(make(&holder));
        centreOnDesktop(d.get()); // as the openers do
        d->show();
        checkShowsContent(d.get(), rows, nameChars);
    }

    void categoryDialogs()
    {
        TestDb t;
        t.exec("insert into 类别目录(流水号,类别,父项,级别) values('0001','五金','全部','1')");
        TfrmChooseLeiBie tree;
        tree.show();
        tree.tree()->setCurrentItem(tree.tree()->topLevelItem(0)->child(0));
        for (QDialog *d : std::initializer_list<QDialog *>{new TfrmNewbie(&tree), new TfrmMdfbie(&tree)}) {
            std::unique_ptr<QDialog> owner(d);
            centreOnDesktop(d);
            d->show();
            checkShowsContent(d, 0, 0);
            // The name box takes a name of twenty characters.
            QVERIFY(d->findChild<QLineEdit *>("Edit1")->width() >= cjk(d, 20));
        }
    }

    void longNamesHaveTooltips()
    {
        TestDb t;
        const QString longName = QString(60, QChar(0x94a2));
        t.exec("insert into 类别目录(流水号,类别,父项,级别) values('0001',?,'全部','1')", {longName});
        t.exec("insert into 单位(单位名称) values(?)", {longName});
        goodstest::addGoods(t, {{"编号", "A"}, {"名称", longName}, {"助记码", "G"}});
        TfrmChooseLeiBie tree;
        tree.show();
        QCOMPARE(tree.tree()->topLevelItem(0)->child(0)->toolTip(0), "0001\\" + longName);
        TfrmSelectDan units;
        units.show();
        auto *grid = units.findChild<QTableWidget *>("DBGrid1");
        QCOMPARE(grid->item(0, 1)->toolTip(), longName);
        DocReceiver holder;
        TfrmSelectFit picker(&holder);
        picker.show();
        const QModelIndex name = picker.listModel()->index(0, picker.listModel()->fieldIndex("名称"));
        QCOMPARE(name.data(Qt::ToolTipRole).toString(), longName);
        TfrmCangKu list;
        list.show();
        QCOMPARE(list.listModel()->index(0, 2).data(Qt::ToolTipRole).toString(), longName);
        QCOMPARE(list.categoryTree()->topLevelItem(0)->child(0)->toolTip(0), "0001\\" + longName);
    }
};

ORV_DB_TEST_MAIN(TestWindowSizes)
#include "tst_db_windowsizes.moc"
