// The goods line grid: lines handed over by the picker, the merge of a goods already in the
// grid, totals, deleted lines and in-place entry.
#include "app/appglobals.h"
#include "goods/goodslines.h"

#include <QTest>

using namespace orv;

namespace {
// What the picker leaves in gRepFit for one goods, TargetRow raised as it raises it.
void handOver(repairFit &fit, const QString &no, const QString &name, const QString &place, const QString &qty = "1",
              const QString &price = "10")
{
    fit.GoodsNo = no;
    fit.GoodsName = name;
    fit.Place = place;
    fit.Spec = "规格" + no;
    fit.Unit = "件";
    fit.AuxUnit = "箱";
    fit.Qty = qty;
    fit.AuxQty = "0.25";
    fit.Price = price;
    fit.Amount = generalNumber(qty.toDouble() * price.toDouble());
    fit.GoodsID = "ID" + no;
    fit.Barcode = "BC" + no;
    fit.Supplier = "DW1.供";
    fit.Category = "五金";
    fit.Ratio = "4";
    fit.PurchasePrice = "9";
    fit.TargetRow += 1;
}
} // namespace

class TestGoodsLines : public QObject {
    Q_OBJECT
private slots:
    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("quarter") << 1.0 / 4 << "0.25";
        QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
        QTest::newRow("whole") << 20.0 << "20";
        QTest::newRow("ten tenths") << 10 * 0.1 << "1";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -2.5 << "-2.5";
    }
    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(generalNumber(value), text);
    }

    void parsing()
    {
        QCOMPARE(parseNumber("12.5"), std::optional<double>(12.5));
        QCOMPARE(parseNumber(".5"), std::optional<double>(0.5));
        QCOMPARE(parseNumber("5."), std::optional<double>(5));
        for (const QString bad : {"", ".", "abc", "1.2.3", "nan", "inf"})
            QVERIFY2(!parseNumber(bad), qPrintable(bad));
        QVERIFY_THROWS_EXCEPTION(ConversionError, toNumber("."));
    }

    void takesAndMerges()
    {
        GoodsLineGrid grid;
        repairFit fit;
        QCOMPARE(grid.gridRowCount(), 2);
        QVERIFY(!grid.hasLines());

        handOver(fit, "HP1", "螺丝", "一号库");
        auto t = grid.take(fit);
        QCOMPARE(t.row, 1);
        QVERIFY(!t.existing);
        QVERIFY(t.openEditor);
        QCOMPARE(grid.gridRowCount(), 3);
        QCOMPARE(grid.cell(1, 0), QString("1"));
        const QStringList row1{"1", "HP1", "螺丝", "规格HP1", "件", "箱", "0.25", "1", "10", "10", "IDHP1", "BCHP1",
                               "一号库", "DW1.供", "五金", "4"};
        for (int c = 0; c < row1.size(); ++c)
            QCOMPARE(grid.cell(1, c), row1[c]);

        handOver(fit, "HP2", "螺母", "一号库");
        QCOMPARE(grid.take(fit).row, 2);

        // The same goods again: no line is added, its line is selected, TargetRow steps back.
        handOver(fit, "HP1", "螺丝", "一号库");
        QCOMPARE(fit.TargetRow, 3);
        t = grid.take(fit);
        QCOMPARE(t.row, 1);
        QVERIFY(t.existing);
        QVERIFY(t.openEditor);
        QCOMPARE(fit.TargetRow, 2);
        QCOMPARE(grid.gridRowCount(), 4);

        // The next new line still lands right below the last one; the same code elsewhere is new.
        handOver(fit, "HP1", "螺丝", "二号库");
        t = grid.take(fit);
        QCOMPARE(t.row, 3);
        QVERIFY(!t.existing);
        QCOMPARE(grid.cell(3, 0), QString("3"));
        QCOMPARE(grid.find("HP1", "螺丝", "二号库"), 3);
        QCOMPARE(grid.find("hp1", "螺丝", "二号库"), 0);
    }

    void deletedLineKeepsNumbers()
    {
        GoodsLineGrid grid;
        repairFit fit;
        handOver(fit, "A", "甲", "库", "2", "3");
        grid.take(fit);
        handOver(fit, "B", "乙", "库", "1", "4.5");
        grid.take(fit);
        auto totals = grid.totals();
        QCOMPARE(totals.amount, QString("10.5"));
        QCOMPARE(totals.qty, QString("3"));
        QCOMPARE(totals.counted, 2);

        grid.blankLine(1);
        QVERIFY(grid.isBlank(1));
        QCOMPARE(grid.cell(1, 0), QString("1"));
        totals = grid.totals();
        QCOMPARE(totals.amount, QString("4.5"));
        QCOMPARE(totals.counted, 1);
        QVERIFY(grid.hasLines());
        // A deleted line is no longer found: picking its goods again appends it anew.
        handOver(fit, "A", "甲", "库");
        QCOMPARE(grid.take(fit).row, 3);

        grid.clearLines();
        QCOMPARE(grid.gridRowCount(), 2);
        QVERIFY(!grid.hasLines());
        QCOMPARE(grid.totals().amount, QString("0"));
    }

    void totalsNameTheBadCell()
    {
        GoodsLineGrid grid;
        repairFit fit;
        handOver(fit, "A", "甲", "库");
        grid.take(fit);
        grid.setCell(1, grid.columns().auxQty, ".");
        try {
            grid.totals();
            QFAIL("a lone point is no number");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), QString("."));
        }
    }

    void inPlaceEntry()
    {
        GoodsLineGrid grid;
        repairFit fit;
        handOver(fit, "A", "甲", "库", "1", "2.5");
        grid.take(fit);
        const GoodsLineColumns &c = grid.columns();
        QVERIFY(grid.flags(grid.index(0, c.qty)) & Qt::ItemIsEditable);
        QVERIFY(!(grid.flags(grid.index(0, c.amount)) & Qt::ItemIsEditable));
        QVERIFY(!(grid.flags(grid.index(1, c.qty)) & Qt::ItemIsEditable)); // the empty row
        QVERIFY(grid.setData(grid.index(0, c.qty), "8"));
        QCOMPARE(grid.cell(1, c.amount), QString("20"));
        QVERIFY(!grid.setData(grid.index(0, c.qty), "8a"));
        QCOMPARE(grid.cell(1, c.qty), QString("8"));
        // An emptied price keeps the old amount until a price is typed again.
        QVERIFY(grid.setData(grid.index(0, c.price), ""));
        QCOMPARE(grid.cell(1, c.amount), QString("20"));
        QVERIFY(grid.setData(grid.index(0, c.price), "0.5"));
        QCOMPARE(grid.cell(1, c.amount), QString("4"));
    }

    void salesLayout()
    {
        GoodsLineGrid grid(GoodsLineLayout::Sales19);
        QCOMPARE(grid.columnCount(), 19);
        QCOMPARE(grid.headerData(10, Qt::Horizontal).toString(), QString("折后金额"));
        repairFit fit;
        handOver(fit, "A", "甲", "库");
        grid.take(fit);
        const GoodsLineColumns &c = grid.columns();
        QCOMPARE(grid.cell(1, c.auxUnit), QString("箱"));
        QCOMPARE(c.auxUnit, 16);
        QCOMPARE(grid.cell(1, 17), QString("9"));
        QCOMPARE(grid.cell(1, 18), QString("4"));
        grid.writeEdited(1, {"2", "0.5", "10", "20", "0.9", "18"});
        QCOMPARE(grid.cell(1, 5), QString("0.9"));
        QCOMPARE(grid.cell(1, 10), QString("18"));
        QCOMPARE(grid.cell(1, 9), QString("20"));
    }

    void strayTargetRowLandsInTheEmptyRow()
    {
        GoodsLineGrid grid;
        repairFit fit;
        handOver(fit, "A", "甲", "库");
        grid.take(fit);
        fit.TargetRow = 0; // a window that forgot to count: nothing is overwritten or lost
        handOver(fit, "B", "乙", "库");
        QCOMPARE(fit.TargetRow, 1);
        QCOMPARE(grid.take(fit).row, 2);
        QCOMPARE(grid.cell(1, 1), QString("A"));
        QCOMPARE(fit.TargetRow, 2);
    }
};

QTEST_MAIN(TestGoodsLines)
#include "tst_goodslines.moc"
