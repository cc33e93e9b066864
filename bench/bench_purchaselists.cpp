// The receipt list (采购入库单) over 100,000 receipts of two lines each: opening the window to its
// first screen, one keystroke of search (its statement, the list, the totals row, the first
// receipt's lines and the screen) and a move to the next receipt (its lines; the repaint of the
// whole window after it is shown apart, as the raw statement paints nothing), each against the
// raw statements that fetch the same rows, every value read. The raw side is given twice: the
// plain statements a hand-written client would run (the documents, their sums, the lines), and
// the list's classic form with the totals row joined by a UNION.
// Usage: bench_purchaselists [pg]
#include "benchdb.h"
#include "purchasing/frmpuchlist.h"
#include "purchasing/purchasingschema.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <algorithm>
#include <vector>

using namespace orv;
using bench::median;
using bench::rawWalk;

namespace {
const int kReceipts = 100000;

const QString kColumns = "ID,流水号,单据编号,开单日期,开单人,供应商,合计应付,实际付款,挂账金额,备注,送货员,验收员,"
                         "收货员,复核员,原始编号,是否红冲";
const QString kLineColumns = "流水号,ID,编号,名称,规格,单位,数量,单价,金额,辅助数量,辅助单位,供应商,条码,仓位,类别,"
                             "结存,原有库存数量,换算比率";


// The condition on the receipts: the state, and, when a text is given, the whole range and the
// number's text.
struct Filter {
    QString where = QStringLiteral(" where 当前状态 = ?");
    QVariantList binds{QStringLiteral("已入库")};
    Filter(bool pg, const QString &text)
    {
        if (text.isEmpty())
            return;
        where += QString(" and 开单日期 >= ? and 开单日期 < ? and 单据编号 ") + (pg ? "ilike ?" : "like ?");
        binds << "2000-01-01" << "2100-01-01" << '%' + text + '%';
    }
};

qint64 linesOf(Connection &c, const QString &id)
{
    return rawWalk(c, "select " + kLineColumns + " from 采购入库明细 where ID = ? order by 流水号", {id});
}

// The documents (narrowed by the number's text, when given), their sums, and the lines of the
// first one: as a plain client would fetch them.
qint64 plainStatements(Connection &c, bool pg, const QString &text, const QString &firstID)
{
    const Filter f(pg, text);
    qint64 n = rawWalk(c, "select " + kColumns + " from 采购入库单" + f.where + " order by 开单日期 desc, 流水号 desc",
                       f.binds);
    n += rawWalk(c, "select sum(合计应付), sum(实际付款), sum(挂账金额) from 采购入库单" + f.where, f.binds);
    return n + linesOf(c, firstID);
}

// The same with the totals row joined by a UNION and sorted after the documents.
qint64 unionStatement(Connection &c, bool pg, const QString &text, const QString &firstID)
{
    const Filter f(pg, text);
    const QString sql = "select " + kColumns + " from 采购入库单" + f.where +
                        " union select null,null,'合计:',null,null,null,sum(合计应付),sum(实际付款),sum(挂账金额),null,"
                        "null,null,null,null,null,null from 采购入库单" +
                        f.where + " order by 开单日期 desc" + (pg ? " nulls last" : "");
    return rawWalk(c, sql, f.binds + f.binds) + linesOf(c, firstID);
}

void fill(Connection &c)
{
    Transaction tx(c);
    QSqlQuery h(c.db()), l(c.db());
    h.prepare("insert into 采购入库单(单据编号,开单日期,开单人,ID,当前状态,备注,供应商,合计应付,供应商编号,送货员,验收员,"
              "收货员,复核员,原始编号,实际付款,挂账金额,时间,是否红冲) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    l.prepare("insert into 采购入库明细(编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,结存,"
              "原有库存数量,换算比率) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    const QDate start(2023, 1, 1);
    for (int i = 0; i < kReceipts; ++i) {
        const QDate day = start.addDays(i % 1100);
        const QString id = QString("%1").arg(i, 24, 10, QChar('0'));
        const double amount = 10 + i % 97 * 0.25;
        const QVariantList hv{QString("CGJH-%1-%2").arg(day.toString("yyMMdd")).arg(i / 1100 + 1, 3, 10, QChar('0')),
                              day.toString(Qt::ISODate), "001.张三", id, "已入库", QString("备注%1").arg(i % 50),
                              QString("DW%1.供应商%1").arg(i % 30), amount, QString("DW%1").arg(i % 30), "送货员",
                              "验收员", "收货员", "复核员", QString(), amount - 1, 1.0, "10:00:00", i % 40 == 0};
        for (const QVariant &v : hv)
            h.addBindValue(v);
        if (!h.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(h.lastError().text()));
            std::exit(2);
        }
        for (int k = 0; k < 2; ++k) {
            const QVariantList lv{QString("HP%1").arg(i % 5000 + k), QString("货品%1").arg(i % 5000 + k), "规格", "个",
                                  "箱", 1.0, 2.0 + k, 2.5, 5.0 + 2.5 * k, id, QString("690%1").arg(i), "一号库",
                                  "DW1.供应商", "五金", 100.0, 98.0, 1.0};
            for (const QVariant &v : lv)
                l.addBindValue(v);
            if (!l.exec()) {
                std::fprintf(stderr, "%s\n", qPrintable(l.lastError().text()));
                std::exit(2);
            }
        }
    }
    tx.commit();
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool pg = argc > 1 && QString(argv[1]) == "pg";
    registerPurchasingSchema();
    bench::BenchDb b(pg);
    Connection &c = b.conn();
    fill(c);
    c.exec(pg ? "analyze 采购入库单" : "analyze");
    if (pg)
        c.exec("analyze 采购入库明细");

    std::vector<qint64> rawOpen, unionOpen, listOpen, rawKey, unionKey, listKey, rawMove, listMove, paintMove;
    qint64 check = 0;
    for (int round = 0; round < 7; ++round) {
        // Opening the window as the menu does, to its first screen.
        QElapsedTimer t;
        t.start();
        auto *w = new TfrmPuchList();
        w->resize(1200, 800);
        w->show();
        w->grab();
        listOpen.push_back(t.nsecsElapsed());
        QCoreApplication::processEvents();
        const QString first = w->currentID();
        check += w->documentModel()->documentRowCount() + w->lineModel()->rowCount();

        t.restart();
        check += plainStatements(c, pg, QString(), first);
        rawOpen.push_back(t.nsecsElapsed());
        t.restart();
        check += unionStatement(c, pg, QString(), first);
        unionOpen.push_back(t.nsecsElapsed());

        // The keystroke that turns "1" into "12" in the number search over the whole range.
        w->findChild<QDateEdit *>("DateTimePicker1")->setDate(QDate(2000, 1, 1));
        w->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(1);
        auto *box = w->findChild<QLineEdit *>("EditContent");
        box->setText("1");
        w->search();
        w->grab();
        QCoreApplication::processEvents();
        t.restart();
        box->setText("12");
        w->search();
        w->grab();
        listKey.push_back(t.nsecsElapsed());
        QCoreApplication::processEvents();
        const QString firstFound = w->currentID();
        check += w->documentModel()->documentRowCount();
        // Against the statements that fetch the same (the range's end is past every receipt).
        t.restart();
        check += plainStatements(c, pg, "12", firstFound);
        rawKey.push_back(t.nsecsElapsed());
        t.restart();
        check += unionStatement(c, pg, "12", firstFound);
        unionKey.push_back(t.nsecsElapsed());

        // A move to the next receipt: its lines.
        t.restart();
        w->documentKey(1);
        listMove.push_back(t.nsecsElapsed());
        t.restart();
        w->grab();
        paintMove.push_back(t.nsecsElapsed());
        const QString next = w->currentID();
        t.restart();
        check += linesOf(c, next);
        rawMove.push_back(t.nsecsElapsed());
        delete w;
        QCoreApplication::processEvents();
    }
    auto ms = [](const std::vector<qint64> &v) { return median(v) / 1e6; };
    auto ratio = [](const std::vector<qint64> &a, const std::vector<qint64> &b) { return double(median(a)) / double(median(b)); };
    std::printf("%s, %d receipts with 2 lines each (checksum %lld)\n", pg ? "PostgreSQL" : "SQLite", kReceipts,
                (long long)check);
    std::printf("  open to first screen:  plain statements %.1f ms, union statement %.1f ms, list %.1f ms, "
                "ratio %.2f to plain (goal <= 1.5)\n",
                ms(rawOpen), ms(unionOpen), ms(listOpen), ratio(listOpen, rawOpen));
    std::printf("  one search keystroke:  plain statements %.1f ms, union statement %.1f ms, list %.1f ms, "
                "ratio %.2f to plain (goal <= 1.5)\n",
                ms(rawKey), ms(unionKey), ms(listKey), ratio(listKey, rawKey));
    std::printf("  move to the next row:  lines statement %.2f ms, list %.2f ms, ratio %.2f (goal <= 1.5); "
                "repainting the whole window after it %.1f ms\n",
                ms(rawMove), ms(listMove), ratio(listMove, rawMove), ms(paintMove));
    return 0;
}
