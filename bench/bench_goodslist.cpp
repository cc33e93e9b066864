// The goods list on 100,000 goods rows: the time from opening the window to its first screen
// against one raw indexed query of the same rows, and the cost of one keystroke of live search
// against the same search run as one raw query. Both sides read every value of every row.
// Usage: bench_goodslist [pg]
#include "benchdb.h"
#include "goods/frmcangku.h"
#include "goods/goodslist.h"
#include "goods/goodsmenu.h"
#include "goods/lookupschema.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

using namespace orv;
using bench::median;
using bench::rawWalk;

namespace {
const int kRows = 100000;

} // namespace

int main(int argc, char *argv[])
{
    const bool pg = bench::benchOnPg(argc, argv);
    QApplication app(argc, argv);
    registerGoodsWindows();
    registerGoodsLookupSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        q.prepare("insert into 货品目录(编号,名称,规格,类别,单位,辅助单位,仓位,供应商,条码,助记码,库存,辅助库存,"
                  "警戒库存,进货价,出货价,换算比率,ID) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kRows; ++i) {
            const QVariantList v{QString("HP%1").arg(i, 9, 10, QChar('0')), QString("货品名称%1").arg(i),
                                 QString("规格%1").arg(i % 50), QString("类别%1").arg(i % 20), "件", "箱",
                                 QString("%1号库").arg(i % 10), QString("DW%1.供应商%1").arg(i % 30),
                                 QString("69%1").arg(i, 11, 10, QChar('0')), QString("HPMC%1").arg(i % 1000),
                                 i % 97 * 1.5, i % 97 * 0.375, 40, 2.5 + i % 13, 3.75 + i % 13, 4,
                                 QString("%1").arg(i, 24, 10, QChar('0'))};
            for (const QVariant &x : v)
                q.addBindValue(x);
            if (!q.exec()) {
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                return 2;
            }
        }
        tx.commit();
    }
    if (!pg)
        c.exec("analyze");
    else
        c.exec("analyze 货品目录");

    const QString allSql = GoodsListModel::selectSql({});
    std::vector<qint64> rawOpen, listOpen, rawKey, listKey;
    const GoodsCondition key = goodsSearchCondition("按照编号查询", "12", pg);
    const QString keySql = GoodsListModel::selectSql(key);
    qint64 check = 0;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer t;
        t.start();
        check += rawWalk(c, allSql, {});
        rawOpen.push_back(t.nsecsElapsed());

        // Open the window as the menu does and paint its first screen.
        t.restart();
        auto *w = new TfrmCangKu();
        w->resize(1200, 800);
        w->show();
        w->grab();
        listOpen.push_back(t.nsecsElapsed());
        QCoreApplication::processEvents();
        check += w->listModel()->goodsRowCount();

        t.restart();
        check += rawWalk(c, keySql, key.binds);
        rawKey.push_back(t.nsecsElapsed());
        // One keystroke in the search box with its selector on 编号: the list follows the text.
        auto *field = w->findChild<QComboBox *>("ComboBox1");
        auto *box = w->findChild<QLineEdit *>("EditContent");
        field->setCurrentText("按照编号查询");
        box->setText("1");
        w->grab();
        QCoreApplication::processEvents();
        // The keystroke that turns "1" into "12": its statement, the list and the first screen.
        t.restart();
        box->setText("12");
        w->grab();
        listKey.push_back(t.nsecsElapsed());
        QCoreApplication::processEvents();
        check += w->listModel()->goodsRowCount();
        delete w;
    }
    const double openRatio = double(median(listOpen)) / double(median(rawOpen));
    const double keyRatio = double(median(listKey)) / double(median(rawKey));
    std::printf("%s, %d goods rows (checksum %lld)\n", pg ? "PostgreSQL" : "SQLite", kRows, (long long)check);
    std::printf("  open to first screen: raw query %.1f ms, goods list %.1f ms, ratio %.2f (goal <= 2)\n",
                median(rawOpen) / 1e6, median(listOpen) / 1e6, openRatio);
    std::printf("  one keystroke of search: raw query %.1f ms, goods list %.1f ms, ratio %.2f (goal <= 1.5)\n",
                median(rawKey) / 1e6, median(listKey) / 1e6, keyRatio);
    return 0;
}
