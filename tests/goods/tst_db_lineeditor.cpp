// The line editor: every gMdfMode, the conversion between 数量 and 辅助数量, discounts, the
// write-back of a grid line all at once, and the audit detail rows.
#include "docreceiver.h"
#include "goodsfixture.h"
#include "scriptedprompt.h"

#include "goods/frmmdf.h"
#include "goods/goodsschema.h"

#include <QLabel>
#include <QLineEdit>

using namespace orv;
using namespace orv::test;
using goodstest::addGoods;

namespace {
QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }

// Types into a field as the operator would: the text changes, then the field reacts.
void type(QWidget *d, const char *field, const QString &text)
{
    QLineEdit *e = edit(d, field);
    e->setText(text);
    emit e->textEdited(text);
}

// One line in the receiver's grid, current, as the picker would have handed it over.
void oneLine(DocReceiver &r, const QString &qty = "1", const QString &price = "2.5", const QString &aux = "0.25")
{
    repairFit &f = G.gRepFit;
    f.GoodsNo = "HP1";
    f.GoodsName = "钢管";
    f.Place = "一号库";
    f.Unit = "根";
    f.AuxUnit = "箱";
    f.Qty = qty;
    f.AuxQty = aux;
    f.Price = price;
    f.Amount = generalNumber(qty.toDouble() * price.toDouble());
    f.Ratio = "4";
    f.PurchasePrice = "2";
    f.TargetRow += 1;
    r.current = r.lines.take(f).row;
}

int press(QDialog *d)
{
    qobject_cast<TfrmMdf *>(d)->Button1Click();
    return d->result();
}
} // namespace

class TestLineEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        goodstest::registerDocumentTables();
    }
    void init() { G = AppGlobals{}; }
    void cleanup() { delete frmMdf.data(); }

    void conversions_data()
    {
        QTest::addColumn<QVariant>("ratio"); // invalid: the goods has no row
        QTest::addColumn<QStringList>("afterQty");   // 辅助数量, 金额 after typing 数量 8
        QTest::addColumn<QStringList>("afterAux");   // 数量, 金额 after typing 辅助数量 3
        QTest::newRow("ratio 4") << QVariant(4) << QStringList{"2", "20"} << QStringList{"12", "30"};
        QTest::newRow("ratio 0") << QVariant(0) << QStringList{"8", "20"} << QStringList{"3", "7.5"};
        QTest::newRow("ratio NULL") << QVariant(QMetaType::fromType<double>()) << QStringList{"0.25", "2.5"}
                                    << QStringList{"8", "2.5"};
        QTest::newRow("no goods row") << QVariant() << QStringList{"0.25", "2.5"} << QStringList{"8", "2.5"};
    }

    void conversions()
    {
        QFETCH(QVariant, ratio);
        QFETCH(QStringList, afterQty);
        QFETCH(QStringList, afterAux);
        TestDb t;
        if (ratio.isValid())
            addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"换算比率", ratio}});
        ScriptedPrompt p;
        DocReceiver r(1);
        oneLine(r);
        p.expectModal([&](QDialog *d) {
            MCOMPARE(edit(d, "Edit1")->text(), QString("1"));
            MCOMPARE(d->findChild<QLabel *>("Label26")->text(), QString("4"));
            type(d, "Edit1", "8");
            MCOMPARE(edit(d, "Edit2")->text(), afterQty[0]);
            MCOMPARE(edit(d, "Edit4")->text(), afterQty[1]);
            type(d, "Edit2", "3");
            MCOMPARE(edit(d, "Edit1")->text(), afterAux[0]);
            MCOMPARE(edit(d, "Edit4")->text(), afterAux[1]);
            // A new price always moves the amount.
            type(d, "Edit3", "1");
            MCOMPARE(edit(d, "Edit4")->text(), edit(d, "Edit1")->text());
            return press(d);
        });
        openLineEditor(&r, 1);
        QVERIFY(p.verifyDone());
        // The save writes 金额 = 数量 × 单价 in every case.
        QCOMPARE(r.lines.cell(1, 9), r.lines.cell(1, 7));
        QCOMPARE(r.lines.cell(1, 8), QString("1"));
    }

    void emptiedQuantities()
    {
        TestDb t;
        addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"换算比率", 4}});
        ScriptedPrompt p;
        DocReceiver r(1);
        oneLine(r, "8", "2.5", "2");
        p.expectModal([&](QDialog *d) {
            type(d, "Edit1", "");
            MCOMPARE(edit(d, "Edit2")->text(), QString("0"));
            MCOMPARE(edit(d, "Edit4")->text(), QString("20")); // the amount waits for a quantity
            type(d, "Edit1", "8");
            type(d, "Edit2", "");
            MCOMPARE(edit(d, "Edit1")->text(), QString("0"));
            MCOMPARE(edit(d, "Edit4")->text(), QString("0"));
            return int(QDialog::Rejected);
        });
        openLineEditor(&r, 1);
        QVERIFY(p.verifyDone());
        // Cancelled: the line is as it was.
        QCOMPARE(r.lines.cell(1, 7), QString("8"));
        QVERIFY(!r.messages.contains(WM_FIT_MDF));
    }

    void everyGridMode_data()
    {
        QTest::addColumn<int>("mode");
        for (int m : {1, 2, 3, 4, 5, 15})
            QTest::newRow(qPrintable(QString("mode %1").arg(m))) << m;
        QTest::newRow("mode 6, sales bill") << 6;
    }

    void everyGridMode()
    {
        QFETCH(int, mode);
        TestDb t;
        addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"换算比率", 4}});
        const bool sales = mode == 6;
        ScriptedPrompt p;
        DocReceiver r(mode, sales ? GoodsLineLayout::Sales19 : GoodsLineLayout::Standard16);
        oneLine(r);
        p.expectModal([&](QDialog *d) {
            MCOMPARE(G.gMdfMode, mode);
            MCOMPARE(edit(d, "Edit5")->isVisibleTo(d), sales);
            MCOMPARE(d->findChild<QLabel *>("Label23")->isVisibleTo(d), sales);
            MCOMPARE(d->findChild<QLabel *>("Label10")->text(), QString("箱"));
            MCOMPARE(d->findChild<QLabel *>("Label14")->text(), QString("一号库"));
            type(d, "Edit1", "2");
            type(d, "Edit3", "3");
            if (sales)
                type(d, "Edit5", "0.9");
            return press(d);
        });
        r.messages.clear();
        openLineEditor(&r, mode);
        QVERIFY(p.verifyDone());
        const GoodsLineColumns &c = r.lines.columns();
        QCOMPARE(r.lines.cell(1, c.qty), QString("2"));
        QCOMPARE(r.lines.cell(1, c.auxQty), QString("0.5"));
        QCOMPARE(r.lines.cell(1, c.price), QString("3"));
        QCOMPARE(r.lines.cell(1, c.amount), QString("6"));
        if (sales) {
            QCOMPARE(r.lines.cell(1, 5), QString("0.9"));
            QCOMPARE(r.lines.cell(1, 10), QString("5.4"));
        }
        QCOMPARE(r.messages, QList<int>{WM_FIT_MDF});
        QCOMPARE(r.totals.amount, QString("6"));
    }

    void salesDiscount()
    {
        TestDb t;
        ScriptedPrompt p;
        DocReceiver r(6, GoodsLineLayout::Sales19);
        oneLine(r, "10", "10");
        // 折扣 left empty: saved as 1, 折后金额 = 金额.
        p.expectModal([&](QDialog *d) { return press(d); });
        openLineEditor(&r, 6);
        QCOMPARE(r.lines.cell(1, 5), QString("1"));
        QCOMPARE(r.lines.cell(1, 10), QString("100"));
        // 0.9 of 100 is 90, shown while typing and written at the save.
        p.expectModal([&](QDialog *d) {
            MCOMPARE(edit(d, "Edit6")->text(), QString("100"));
            type(d, "Edit5", "0.9");
            MCOMPARE(edit(d, "Edit6")->text(), QString("90"));
            return press(d);
        });
        openLineEditor(&r, 6);
        QVERIFY(p.verifyDone());
        QCOMPARE(r.lines.cell(1, 10), QString("90"));
    }

    void aRejectedValueLeavesTheLine()
    {
        TestDb t;
        addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"换算比率", 4}});
        ScriptedPrompt p;
        DocReceiver r(1);
        oneLine(r, "2", "3");
        p.expectModal([&](QDialog *d) {
            type(d, "Edit1", "5");
            type(d, "Edit3", ".");
            MCOMPARE(edit(d, "Edit4")->text(), QString("15")); // a half-typed price moves nothing
            press(d);
            MVERIFY(d->isVisible()); // the editor stays open
            return int(QDialog::Rejected);
        });
        p.expectMessage("“.”不是有效的数字");
        openLineEditor(&r, 1);
        QVERIFY(p.verifyDone());
        QCOMPARE(r.lines.cell(1, 7), QString("2"));
        QCOMPARE(r.lines.cell(1, 8), QString("3"));
        QCOMPARE(r.lines.cell(1, 9), QString("6"));
        QVERIFY(!r.messages.contains(WM_FIT_MDF));
    }

    void keys()
    {
        TestDb t;
        ScriptedPrompt p;
        DocReceiver r(6, GoodsLineLayout::Sales19);
        oneLine(r);
        p.expectModal([&](QDialog *d) {
            // Digits and one decimal point only.
            edit(d, "Edit1")->clear();
            QTest::keyClicks(edit(d, "Edit1"), "1.2.3x");
            MCOMPARE(edit(d, "Edit1")->text(), QString("1.23"));
            QTest::keyClick(edit(d, "Edit1"), Qt::Key_Return);
            MCOMPARE(d->focusWidget(), edit(d, "Edit2"));
            QTest::keyClick(edit(d, "Edit2"), Qt::Key_Right);
            MCOMPARE(d->focusWidget(), edit(d, "Edit3"));
            QTest::keyClick(edit(d, "Edit3"), Qt::Key_Up);
            MCOMPARE(d->focusWidget(), edit(d, "Edit2"));
            QTest::keyClick(edit(d, "Edit2"), Qt::Key_Down);
            QTest::keyClick(edit(d, "Edit3"), Qt::Key_Return);
            MCOMPARE(d->focusWidget(), edit(d, "Edit4"));
            // The sales bill goes on to the discount, then saves from the discounted amount.
            QTest::keyClick(edit(d, "Edit4"), Qt::Key_Return);
            MCOMPARE(d->focusWidget(), edit(d, "Edit5"));
            QTest::keyClick(edit(d, "Edit5"), Qt::Key_Return);
            MCOMPARE(d->focusWidget(), edit(d, "Edit6"));
            QTest::keyClick(edit(d, "Edit6"), Qt::Key_Return);
            return d->result();
        });
        openLineEditor(&r, 6);
        QVERIFY(p.verifyDone());
        QCOMPARE(r.lines.cell(1, 7), QString("1.23"));
        QCOMPARE(r.lines.cell(1, 9), QString("3.075"));
        QVERIFY(r.messages.contains(WM_FIT_MDF));
    }

    void auditRows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("purchase order") << 1;
        QTest::newRow("sales order") << 2;
        QTest::newRow("purchase return") << 3;
        QTest::newRow("loss report") << 4;
    }

    void auditRows()
    {
        QFETCH(int, kind);
        TestDb t;
        const QString table = kind == 1 ? "采购订单明细" : kind == 2 ? "销售订单明细" : kind == 3 ? "采购退货明细" : "货品报损明细";
        t.exec("insert into " + table + " (编号,名称,仓位,单价,数量,金额,辅助数量,ID) values('A','甲','库',10,1,10,1,'D')");
        const qint64 other = t.scalar("select max(流水号) from " + table).toLongLong();
        t.exec("insert into " + table + " (编号,名称,仓位,单价,数量,金额,辅助数量,ID) values('B','乙','库',4,2,8,2,'D')");
        const qint64 row = t.scalar("select max(流水号) from " + table).toLongLong();
        if (kind == 2)
            t.exec("update 销售订单明细 set 折扣 = 0.5, 折后金额 = 3 where 流水号 = ?", {row});
        ScriptedPrompt p;
        DocReceiver audit;
        G.gAuditKind = kind;
        G.gRepFit.RowNo = QString::number(row);
        p.expectModal([&](QDialog *d) {
            MCOMPARE(d->findChild<QLabel *>("Label2")->text(), QString("B"));
            MCOMPARE(edit(d, "Edit5")->isVisibleTo(d), kind == 2);
            if (kind == 2)
                MCOMPARE(edit(d, "Edit6")->text(), QString("3")); // as stored, not recomputed
            // An empty field is no number: refused, the row unchanged.
            type(d, "Edit3", "");
            press(d);
            MVERIFY(d->isVisible());
            // 金额 is saved as shown: 数量 first, then the price that moves the amount.
            type(d, "Edit1", "3");
            type(d, "Edit3", "5");
            if (kind == 2)
                type(d, "Edit5", "0.8");
            return press(d);
        });
        p.expectMessage("“”不是有效的数字");
        shenhe(&audit);
        QVERIFY(p.verifyDone());
        QCOMPARE(audit.messages, QList<int>{WM_AUD_FIT_MDF});
        QCOMPARE(t.scalar("select 单价 from " + table + " where 流水号 = ?", {row}).toDouble(), 5.0);
        QCOMPARE(t.scalar("select 数量 from " + table + " where 流水号 = ?", {row}).toDouble(), 3.0);
        QCOMPARE(t.scalar("select 金额 from " + table + " where 流水号 = ?", {row}).toDouble(), 15.0);
        QCOMPARE(t.scalar("select 单价 from " + table + " where 流水号 = ?", {other}).toDouble(), 10.0);
        if (kind == 2) {
            QCOMPARE(t.scalar("select 折扣 from 销售订单明细 where 流水号 = ?", {row}).toDouble(), 0.8);
            QCOMPARE(t.scalar("select 折后金额 from 销售订单明细 where 流水号 = ?", {row}).toDouble(), 12.0);
        }
    }
};

ORV_DB_TEST_MAIN(TestLineEditor)
#include "tst_db_lineeditor.moc"
