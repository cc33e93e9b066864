// The in/out summary and detail ledgers and their condition filter: the summary against the
// per-goods statements it replaces, the detail ledger's order, red rows and totals, the
// conditions' SQL, and the windows driven as an operator would.
#include "stockfixture.h"
#include "scriptedprompt.h"
#include "testdb.h"
#include "../goods/xlsxsheet.h"

#include "app/appglobals.h"
#include "common/clock.h"
#include "goods/excelexport.h"
#include "goods/goodslines.h"
#include "stock/detailledger.h"
#include "stock/frmmingoutin.h"
#include "stock/frmselect.h"
#include "stock/frmtongji.h"
#include "stock/ledgerstrip.h"
#include "stock/stockmenu.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using stocktest::Line;
using stocktest::query;
using stocktest::Voucher;
using xlsxtest::Sheet;

namespace {
const QDate kMarch1(2024, 3, 1), kMarch31(2024, 3, 31);

// A: one goods item listed with two 规格; B: receipts, issues and a '相同' line of a count; C: only
// in a reversed voucher; D: a surplus of a count; E: a '相同' line with a quantity; F: a voucher
// stamped late on the period's last day. Vouchers outside March on both sides.
void writeFixture(Connection &c)
{
    const Line a6{"A1", "螺丝", "一号库", "M6", "个", "入库"};
    const Line a8{"A1", "螺丝", "一号库", "M8", "个", "出库"};
    const Line b{"B1", "垫片", "二号库", "", "片", "入库"};
    auto with = [](Line l, const char *kind, double qty, double amount, double before, double after) {
        l.kind = QString::fromUtf8(kind);
        l.qty = qty;
        l.amount = amount;
        l.before = before;
        l.after = after;
        return l;
    };
    using stocktest::writeVoucher;
    writeVoucher(c, {VoucherIn, "2024-02-29", "CGJH-0", "采购进货", "张三", {with(a6, "入库", 100, 50, 0, 100)}});
    writeVoucher(c, {VoucherIn, "2024-03-01", "CGJH-1", "采购进货", "张三",
                     {with(a6, "入库", 10, 5, 100, 110), with(b, "入库", 4, 8, 1, 5)}});
    writeVoucher(c, {VoucherOut, "2024-03-10", "XS-1", "货品销售", "李四",
                     {with(a8, "出库", 3, 1.5, 110, 107), with(b, "出库", 1, 2, 5, 4)}});
    writeVoucher(c, {VoucherIn, "2024-03-15", "CGJH-2", "采购进货", "张三",
                     {with(a6, "入库", 50, 25, 107, 157), with({"C1", "螺母", "一号库", "", "个"}, "入库", 7, 7, 0, 7)},
                     true});
    writeVoucher(c, {VoucherCount, "2024-03-31", "PD-1", "盘点", "王五",
                     {with(a6, "出库", -2, -1, 157, 155), with(b, "相同", 0, 0, 4, 4),
                      with({"D1", "扳手", "三号库", "", "把"}, "入库", 2, 6, 3, 5),
                      with({"E1", "钳子", "一号库", "", "把"}, "相同", 1, 1, 2, 2)}});
    writeVoucher(c, {VoucherOut, "2024-03-31 18:30:00", "XS-2", "货品销售", "李四",
                     {with({"F1", "胶带", "二号库", "", "卷"}, "出库", 1, 1, 5, 4)}});
    writeVoucher(c, {VoucherIn, "2024-04-01", "CGJH-3", "采购进货", "张三", {with(b, "入库", 9, 9, 4, 13)}});
}

QString figure(const QVariant &v) { return v.isNull() ? QStringLiteral("0") : generalNumber(v.toDouble()); }

// The summary as one goods statement and three statements per goods item compute it, bound.
QList<QStringList> referenceSummary(TestDb &t, const QDate &d1, const QDate &d2, const SqlCondition &goods,
                                    const SqlCondition &w)
{
    const QString period = "制单日期 between ? and ? and 是否红冲='0'";
    const QVariantList periodBinds{d1.toString(Qt::ISODate), d2.toString(Qt::ISODate) + " 23:59:59"};
    QString extra;
    QVariantList extraBinds;
    for (const SqlCondition &c : {goods, w}) {
        if (!c.isEmpty()) {
            extra += " and " + c.sql;
            extraBinds += c.binds;
        }
    }
    QSqlQuery g = query(t,
                      "select 出入库明细.规格,出入库明细.单位,出入库明细.编号,出入库明细.名称,出入库明细.仓位 from "
                      "出入库明细,出入库单 where 出入库明细.ID=出入库单.ID" + extra +
                          " and 出入库单.ID in (select ID from 出入库单 where " + period +
                          ") group by 出入库明细.编号,出入库明细.名称,出入库明细.仓位,出入库明细.规格,出入库明细.单位",
                      extraBinds + periodBinds);
    QList<QStringList> rows;
    while (g.next()) {
        const QVariantList goodsKey{g.value(2), g.value(3), g.value(4)};
        QStringList r{g.value(2).toString(), g.value(3).toString(), g.value(0).toString(), g.value(1).toString(),
                      g.value(4).toString()};
        const QString sums = "select sum(出入库明细.数量),sum(出入库明细.金额) from 出入库明细,出入库单 where "
                             "出入库明细.ID=出入库单.ID" + (w.isEmpty() ? QString() : " and " + w.sql) +
                             " and ((出入库明细.类型='%1') or (出入库明细.类型='相同')) and 出入库明细.编号=? and "
                             "出入库明细.名称=? and 出入库明细.仓位=? and 出入库单.ID in (select ID from 出入库单 where "
                             "((单据类别='%1') or (单据类别='盘点')) and " + period + ")";
        QStringList in, out;
        for (const char *kind : {"入库", "出库"}) {
            QSqlQuery s = query(t, sums.arg(QString::fromUtf8(kind)), w.binds + goodsKey + periodBinds);
            s.next();
            (qstrcmp(kind, "入库") == 0 ? in : out) << figure(s.value(0)) << figure(s.value(1));
        }
        QSqlQuery b = query(t,
                          "select 原有库存数量,结存 from 出入库明细,出入库单 where 出入库明细.ID=出入库单.ID and "
                          "出入库单.ID in (select ID from 出入库单 where " + period +
                              ") and 出入库明细.编号=? and 出入库明细.名称=? and 出入库明细.仓位=? "
                              "order by 出入库明细.流水号 asc",
                          periodBinds + goodsKey);
        QVariant before, after;
        if (b.next())
            before = b.value(0);
        do
            after = b.value(1);
        while (b.next());
        r << figure(before) << in << out << figure(after);
        rows << r;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<QStringList> modelRows(const SummaryLedgerModel &m)
{
    QList<QStringList> rows;
    for (int r = 0; r < m.goodsRowCount(); ++r)
        rows << m.rowTexts(r);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// "connective|field|operator|value" terms into a condition list.
ConditionList conditions(const QStringList &terms)
{
    ConditionList list;
    for (const QString &t : terms) {
        const QStringList p = t.split('|');
        list.add({Connective(QStringList{"并且", "或者", "排除"}.indexOf(p[0])), int(conditionFields().indexOf(p[1])),
                  p[2] == "包含(like)" ? ConditionOp::Contains : ConditionOp::Equals, p[3]});
    }
    return list;
}

QStringList column(const DetailLedgerModel &m, const QString &name)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.text(r, name);
    return out;
}
} // namespace

class TestLedgers : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    // One fixture for the statements: they only read.
    void initTestCase()
    {
        registerLedgerSchema();
        registerStockWindows();
        db = std::make_unique<TestDb>();
        writeFixture(db->conn());
    }
    void cleanupTestCase() { db.reset(); }
    void init() { G = AppGlobals{}; }
    void cleanup() { Clock::pin(QDateTime()); }

    void summaryAgainstPerGoodsStatements_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("goodsItem");
        QTest::addColumn<QString>("goodsText");
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<int>("rows");
        QTest::newRow("March") << kMarch1 << kMarch31 << 0 << "" << QStringList{} << 6;
        QTest::newRow("its first day") << kMarch1 << kMarch1 << 0 << "" << QStringList{} << 2;
        QTest::newRow("its last day, late voucher included") << kMarch31 << kMarch31 << 0 << "" << QStringList{} << 5;
        QTest::newRow("goods name") << kMarch1 << kMarch31 << 1 << "螺" << QStringList{} << 2;
        QTest::newRow("code with a quote") << kMarch1 << kMarch31 << 0 << "A'" << QStringList{} << 0;
        QTest::newRow("place, other case") << kMarch1 << kMarch31 << 2 << "二号" << QStringList{} << 2;
        QTest::newRow("show all ignores the text") << kMarch1 << kMarch31 << 3 << "zzz" << QStringList{} << 6;
        QTest::newRow("maker narrows goods and sums")
            << kMarch1 << kMarch31 << 3 << "" << QStringList{"并且|制单人|等于(=)|张三"} << 2;
        QTest::newRow("or, then exclude")
            << kMarch1 << kMarch31 << 3 << ""
            << QStringList{"并且|货品名称|包含(like)|螺", "或者|货品编号|等于(=)|B1", "排除|单据类别|等于(=)|货品销售"} << 3;
        QTest::newRow("a year without vouchers") << QDate(2025, 1, 1) << QDate(2025, 12, 31) << 0 << ""
                                                 << QStringList{} << 0;
    }
    void summaryAgainstPerGoodsStatements()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, goodsItem);
        QFETCH(QString, goodsText);
        QFETCH(QStringList, terms);
        QFETCH(int, rows);
        const bool pg = TestDb::isPostgres();
        const SqlCondition w = conditions(terms).sql(pg);
        SummaryLedgerModel m;
        m.compute(db->conn(), {from, to, {goodsItem, goodsText}, w});
        const QList<QStringList> expected =
            referenceSummary(*db, from, to, ledgerGoodsCondition(goodsItem, goodsText, pg), w);
        QCOMPARE(modelRows(m), expected);
        QCOMPARE(m.goodsRowCount(), rows);
        // The totals add the rows shown.
        const int last = m.goodsRowCount();
        QCOMPARE(m.text(last, 0), QString("       合计:         "));
        for (int c = SummaryLedgerModel::Before; c <= SummaryLedgerModel::After; ++c) {
            double sum = 0;
            for (const QStringList &r : expected)
                sum += r[c].toDouble();
            QCOMPARE(m.text(last, c), generalNumber(sum));
        }
    }

    void summaryFigures()
    {
        SummaryLedgerModel m;
        m.compute(db->conn(), {kMarch1, kMarch31, {}, {}});
        QHash<QString, QStringList> byRow;
        for (const QStringList &r : modelRows(m))
            byRow[r[0] + r[2]] = r.mid(5);
        // before, in qty, in amount, out qty, out amount, after
        QCOMPARE(byRow.value("A1M6"), (QStringList{"100", "10", "5", "1", "0.5", "155"}));
        QCOMPARE(byRow.value("A1M8"), byRow.value("A1M6")); // one goods item, two 规格
        QCOMPARE(byRow.value("B1"), (QStringList{"1", "4", "8", "1", "2", "4"}));
        QVERIFY(!byRow.contains("C1"));                       // only reversed lines
        QCOMPARE(byRow.value("D1"), (QStringList{"3", "2", "6", "0", "0", "5"}));
        QCOMPARE(byRow.value("E1"), (QStringList{"2", "1", "1", "1", "1", "2"})); // '相同' on both sides
        QCOMPARE(byRow.value("F1"), (QStringList{"5", "0", "0", "1", "1", "4"}));
        QCOMPARE(m.rowTexts(m.goodsRowCount()).mid(5), (QStringList{"211", "27", "25", "5", "5", "325"}));

        // A condition narrows the receipts and issues, never the balances.
        m.compute(db->conn(), {kMarch1, kMarch31, {}, conditions({"并且|制单人|等于(=)|张三"}).sql(TestDb::isPostgres())});
        QCOMPARE(modelRows(m), (QList<QStringList>{{"A1", "螺丝", "M6", "个", "一号库", "100", "10", "5", "0", "0", "155"},
                                                   {"B1", "垫片", "", "片", "二号库", "1", "4", "8", "0", "0", "4"}}));
    }

    void conditionSql_data()
    {
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("binds");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("one") << QStringList{"并且|单据编号|等于(=)|CGJH-1"} << "(出入库单.引用单号 = ?)"
                             << QVariantList{"CGJH-1"} << QStringList{"       单据编号  等于(=)   CGJH-1"};
        QTest::newRow("the first is positive whatever its connective")
            << QStringList{"排除|货品名称|包含(like)|螺"} << "(出入库明细.名称 LIKE ?)" << QVariantList{"%螺%"}
            << QStringList{"       货品名称  包含(like)   螺"};
        QTest::newRow("flat, and before or")
            << QStringList{"并且|货品名称|包含(like)|螺", "或者|货品编号|等于(=)|B1", "排除|单据类别|等于(=)|货品销售",
                           "排除|相关部门|包含(like)|仓"}
            << "(出入库明细.名称 LIKE ? or 出入库明细.编号 = ? and 出入库单.引用类别 <> ? and 出入库单.相关部门 not LIKE ?)"
            << QVariantList{"%螺%", "B1", "货品销售", "%仓%"}
            << QStringList{"       货品名称  包含(like)   螺", "或者   货品编号  等于(=)   B1",
                           "排除   单据类别  等于(=)   货品销售", "排除   相关部门  包含(like)   仓"};
        QTest::newRow("empty value, a quote") << QStringList{"并且|制单人|包含(like)|", "并且|原因|等于(=)|O'Brien"}
                                              << "(出入库单.制单人 LIKE ? and 出入库单.原因 = ?)"
                                              << QVariantList{"%%", "O'Brien"}
                                              << QStringList{"       制单人  包含(like)   ", "并且   原因  等于(=)   O'Brien"};
    }
    void conditionSql()
    {
        QFETCH(QStringList, terms);
        QFETCH(QString, sql);
        QFETCH(QVariantList, binds);
        QFETCH(QStringList, entries);
        const bool pg = TestDb::isPostgres();
        const ConditionList list = conditions(terms);
        const SqlCondition w = list.sql(pg);
        QCOMPARE(w.sql, QString(sql).replace("LIKE", pg ? "ilike" : "like"));
        QCOMPARE(w.binds, binds);
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(list.entryText(i), entries[i]);
        // Every generated condition runs.
        SummaryLedgerModel m;
        m.compute(db->conn(), {kMarch1, kMarch31, {}, w});
    }

    void detailLedger()
    {
        DetailLedgerModel m;
        m.setPageSize(3);
        m.load(db->conn(), {kMarch1, kMarch31, {}, {}});
        QCOMPARE(m.rowCount(), 4); // the totals row and the first page
        while (m.canFetchMore({}))
            m.fetchMore({});
        // The totals row first, then the lines in posting order, reversed ones included.
        QCOMPARE(column(m, "编号"), (QStringList{"合计:", "A1", "B1", "A1", "B1", "A1", "C1", "A1", "B1", "D1", "E1", "F1"}));
        QCOMPARE(m.text(0, "数量"), QString("20"));
        QCOMPARE(m.text(0, "金额"), QString("23.5"));
        QCOMPARE(m.text(0, "名称"), QString());
        // The source document's number and kind.
        QCOMPARE(m.text(1, "单据编号"), QString("CGJH-1"));
        QCOMPARE(m.text(1, "单据类别"), QString("采购进货"));
        QCOMPARE(m.text(1, "制单日期"), QString("2024-03-01"));
        QCOMPARE(m.text(1, "相关单位"), QString("甲公司"));
        QCOMPARE(m.text(7, "数量"), QString("-2"));
        QList<int> red;
        for (int r = 0; r < m.rowCount(); ++r)
            if (m.data(m.index(r, 2), Qt::BackgroundRole).isValid())
                red << r;
        QCOMPARE(red, (QList<int>{5, 6}));
        QCOMPARE(m.data(m.index(3, 2), Qt::ToolTipRole).toString(), QString("红色表示已经做过红冲 累计数量不计"));

        // A goods text narrows the lines and the totals; reversed lines stay, out of the totals.
        m.load(db->conn(), {kMarch1, kMarch31, {1, "螺"}, {}});
        m.fetchAll();
        QCOMPARE(column(m, "名称"), (QStringList{"", "螺丝", "螺丝", "螺丝", "螺母", "螺丝"}));
        QCOMPARE(m.text(0, "数量"), QString("11"));
        QCOMPARE(m.text(0, "金额"), QString("5.5"));
        // A period without vouchers: the totals row alone, empty sums.
        m.load(db->conn(), {QDate(2025, 1, 1), QDate(2025, 1, 31), {}, {}});
        QCOMPARE(m.rowCount(), 1);
        QCOMPARE(m.text(0, "编号"), QString("合计:"));
        QCOMPARE(m.text(0, "数量"), QString());
    }

    void summaryWindow()
    {
        Clock::pin(QDateTime(QDate(2024, 3, 20), QTime(12, 0), Qt::UTC));
        Tfrmtongji w;
        w.show();
        QCOMPARE(w.windowTitle(), QString("出入库汇总帐"));
        QCOMPARE(w.strip()->from(), kMarch1);
        QCOMPARE(w.strip()->to(), QDate(2024, 3, 20));
        QCOMPARE(w.ledgerModel()->goodsRowCount(), 3); // A twice, B
        QCOMPARE(w.captionGrid()->columnWidth(0), 80 * 4 + 78);
        QCOMPARE(w.captionGrid()->horizontalHeaderItem(2)->text(), QString("本期入库"));

        // With the goods text empty, another goods field recomputes at once (here for all March).
        w.strip()->toDate->setDate(kMarch31);
        w.strip()->goodsField->setCurrentIndex(1);
        QCOMPARE(w.ledgerModel()->goodsRowCount(), 6);
        // Typing recomputes once typing pauses, not per key.
        w.strip()->goodsEdit->setText("垫");
        QCOMPARE(w.ledgerModel()->goodsRowCount(), 6);
        QVERIFY(w.strip()->typingPending());
        QTRY_COMPARE(w.ledgerModel()->goodsRowCount(), 1);
        // Another goods field chosen with text in the box changes nothing; 显示全部 recomputes.
        w.strip()->goodsField->setCurrentIndex(0);
        QCOMPARE(w.ledgerModel()->goodsRowCount(), 1);
        w.strip()->goodsField->setCurrentIndex(3);
        QCOMPARE(w.ledgerModel()->goodsRowCount(), 6);

        // Export: the headers, every row with its first cell filled, codes as text.
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        {
            ScriptedPrompt p;
            stocktest::expectExport(p);
            w.SpeedButton2Click();
            QVERIFY(p.verifyDone());
        }
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const Sheet sh(dir.filePath(files.first()));
        QCOMPARE(sh.cells.value("A1").value, QString("编号"));
        QCOMPARE(sh.cells.value("K1").value, QString("期末结存"));
        QVERIFY(sh.textFormatted("A2"));
        QCOMPARE(sh.cells.value("A8").value.trimmed(), QString("合计:"));
        QCOMPARE(sh.cells.value("K8").value.toDouble(), 325.0);
        QVERIFY(!sh.cells.contains("A9"));
        ExcelExport::setOutputFolder(QString());

        // Nothing to export with the totals row alone.
        w.strip()->fromDate->setDate(QDate(2025, 1, 1));
        w.strip()->toDate->setDate(QDate(2025, 1, 2));
        w.SpeedButton1Click();
        QCOMPARE(w.ledgerModel()->rowCount(), 1);
        ScriptedPrompt none;
        w.SpeedButton2Click();
        QVERIFY(none.verifyDone());
    }

    void detailExportWalksEveryPage()
    {
        Clock::pin(QDateTime(QDate(2024, 3, 31), QTime(12, 0), Qt::UTC));
        TfrmMingOutIn w;
        w.ledgerModel()->setPageSize(3);
        w.show();
        QCOMPARE(w.ledgerModel()->rowCount(), 4);
        QTemporaryDir dir;
        ExcelExport::setOutputFolder(dir.path());
        {
            ScriptedPrompt none; // no current row: nothing exported
            w.SpeedButton2Click();
            QVERIFY(none.verifyDone());
        }
        w.ledgerGrid()->setCurrentIndex(w.ledgerModel()->index(0, 2)); // the totals row
        {
            ScriptedPrompt p;
            stocktest::expectExport(p);
            w.SpeedButton2Click();
            QVERIFY(p.verifyDone());
        }
        const Sheet sh(dir.filePath(QDir(dir.path()).entryList(QDir::Files).first()));
        QCOMPARE(sh.cells.value("A1").value, QString("编号"));
        QCOMPARE(sh.cells.value("P1").value, QString("单位编号"));
        QCOMPARE(sh.cells.value("A2").value, QString("合计:"));
        QCOMPARE(sh.cells.value("H2").value.toDouble(), 20.0);
        QCOMPARE(sh.cells.value("A13").value, QString("F1"));
        QCOMPARE(sh.cells.value("J3").value, QString("CGJH-1"));
        QVERIFY(!sh.cells.contains("A14"));
        QVERIFY(sh.textFormatted("A3"));
        QCOMPARE(int(sh.widths.value(2)), 8); // the sheet adds its padding
        QCOMPARE(int(sh.widths.value(16)), 15);
        ExcelExport::setOutputFolder(QString());
    }

    void filterDialog()
    {
        Clock::pin(QDateTime(QDate(2024, 3, 31), QTime(12, 0), Qt::UTC));
        Tfrmtongji summary;
        summary.show();
        TfrmMingOutIn detail;
        detail.show();
        QCOMPARE(detail.ledgerModel()->rowCount(), 12);
        QCOMPARE(detail.ledgerGrid()->toolTip(), QString("红色表示已经做过红冲 累计数量不计"));

        // Mode 2: the summary recomputed, the dialog stays open for another condition.
        {
            ScriptedPrompt p;
            p.expectModal([&](QDialog *d) {
                auto *f = qobject_cast<TfrmSelect *>(d);
                auto *connective = f->findChild<QComboBox *>("ComboBox1");
                MVERIFY(connective->isHidden());
                f->SpeedButton1Click(); // nothing listed
                f->findChild<QComboBox *>("ComboBox2")->setCurrentText("制单人");
                f->findChild<QLineEdit *>("Edit1")->setText("张三");
                f->SpeedButton2Click();
                MVERIFY(!connective->isHidden());
                MCOMPARE(f->findChild<QListWidget *>("ListBox1")->item(0)->text(), QString("       制单人  等于(=)   张三"));
                f->SpeedButton1Click();
                MCOMPARE(summary.ledgerModel()->goodsRowCount(), 2);
                MCOMPARE(f->result(), 0);
                f->SpeedButton3Click();
                MVERIFY(connective->isHidden());
                MCOMPARE(f->findChild<QListWidget *>("ListBox1")->count(), 0);
                f->SpeedButton4Click();
                return f->result();
            });
            p.expectMessage(kNoCondition);
            summary.SpeedButton3Click();
            QVERIFY(p.verifyDone());
            QCOMPARE(G.gLedgerFilterMode, 2);
        }
        // Mode 1: the detail ledger reloaded with the condition, and the dialog closes.
        {
            ScriptedPrompt p;
            p.expectModal([&](QDialog *d) {
                auto *f = qobject_cast<TfrmSelect *>(d);
                f->findChild<QComboBox *>("ComboBox2")->setCurrentText("货品名称");
                f->findChild<QComboBox *>("ComboBox3")->setCurrentText("包含(like)");
                f->findChild<QLineEdit *>("Edit1")->setText("螺");
                f->SpeedButton2Click();
                f->findChild<QComboBox *>("ComboBox1")->setCurrentText("排除");
                f->findChild<QComboBox *>("ComboBox2")->setCurrentText("货品编号");
                f->findChild<QComboBox *>("ComboBox3")->setCurrentText("等于(=)");
                f->findChild<QLineEdit *>("Edit1")->setText("C1");
                f->SpeedButton2Click();
                f->SpeedButton1Click();
                return f->result();
            });
            detail.SpeedButton3Click();
            QVERIFY(p.verifyDone());
        }
        QCOMPARE(G.gLedgerFilterMode, 1);
        QCOMPARE(column(*detail.ledgerModel(), "编号"), (QStringList{"合计:", "A1", "A1", "A1", "A1"}));
        QCOMPARE(detail.ledgerModel()->text(0, "数量"), QString("11"));
    }
};

ORV_DB_TEST_MAIN(TestLedgers)
#include "tst_db_ledgers.moc"
