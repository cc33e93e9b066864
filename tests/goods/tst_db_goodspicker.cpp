// The goods picker: its list and search, the line it builds, the hand-over to a receiving window
// as the document windows will receive it (merge of a goods already in the grid), dropped lines,
// and the audit mode's inserts with the line editor.
#include "docreceiver.h"
#include "goodsfixture.h"
#include "scriptedprompt.h"

#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/goodsschema.h"
#include "goods/listmodel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace orv;
using namespace orv::test;
using goodstest::addGoods;

namespace {
// The line editor as the receiver opens it: closed without a change.
int cancelEditor(QDialog *) { return int(QDialog::Rejected); }

void pickerModes(int caller, int price = 2, int filter = 1)
{
    G.gFitCaller = caller;
    G.gFitView = 2;
    G.gFitAction = 1;
    G.gFitFilter = filter;
    G.gFitPrice = price;
}

// Makes the list row of a goods current and picks it.
void pickRow(TfrmSelectFit &w, qint64 rowNo)
{
    const int row = w.listModel()->findRow("流水号", QString::number(rowNo));
    QVERIFY(row >= 0);
    w.setCurrentRow(row);
    w.pick();
}

QLabel *label(QWidget *w, const char *name) { return w->findChild<QLabel *>(name); }
QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }
} // namespace

class TestGoodsPicker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerGoodsSchema();
        goodstest::registerDocumentTables();
    }
    void init() { G = AppGlobals{}; }
    void cleanup()
    {
        delete frmSelectFit.data();
        delete frmMdf.data();
    }

    void lineBuilding_data()
    {
        QTest::addColumn<QVariant>("ratio");
        QTest::addColumn<QVariant>("salePrice");
        QTest::addColumn<int>("fitPrice");
        QTest::addColumn<QString>("auxQty");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("amount");
        const QVariant null;
        QTest::newRow("ratio 4, purchase") << QVariant(4) << QVariant(15) << 2 << "0.25" << "10" << "10";
        QTest::newRow("ratio 4, sales") << QVariant(4) << QVariant(15) << 1 << "0.25" << "15" << "15";
        QTest::newRow("ratio 3") << QVariant(3) << QVariant(15) << 2 << "0.333333333333333" << "10" << "10";
        QTest::newRow("ratio 0") << QVariant(0) << QVariant(15) << 2 << "1" << "10" << "10";
        QTest::newRow("no ratio") << null << QVariant(15) << 2 << "0" << "10" << "10";
        QTest::newRow("no sale price") << QVariant(4) << null << 1 << "0.25" << "0" << "0";
        QTest::newRow("fractional price") << QVariant(0.5) << QVariant(2.35) << 1 << "2" << "2.35" << "2.35";
    }

    void lineBuilding()
    {
        QFETCH(QVariant, ratio);
        QFETCH(QVariant, salePrice);
        QFETCH(int, fitPrice);
        QFETCH(QString, auxQty);
        QFETCH(QString, price);
        QFETCH(QString, amount);
        TestDb t;
        const qint64 row = addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"规格", "Φ20"}, {"类别", "五金"},
                                         {"单位", "根"}, {"辅助单位", "箱"}, {"条码", "690"}, {"仓位", "一号库"},
                                         {"供应商", "DW1.甲"}, {"进货价", 10}, {"出货价", salePrice},
                                         {"换算比率", ratio}, {"库存", 7}, {"ID", "GID1"}});
        ScriptedPrompt p;
        DocReceiver receiver(1);
        pickerModes(1, fitPrice);
        TfrmSelectFit w(&receiver);
        w.show();
        p.expectModal(cancelEditor);
        pickRow(w, row);
        QVERIFY(p.verifyDone());
        QCOMPARE(receiver.arrived.size(), 1);
        const repairFit &f = receiver.arrived.first();
        QCOMPARE(f.GoodsNo, QString("HP1"));
        QCOMPARE(f.GoodsName, QString("钢管"));
        QCOMPARE(f.Spec, QString("Φ20"));
        QCOMPARE(f.Unit, QString("根"));
        QCOMPARE(f.AuxUnit, QString("箱"));
        QCOMPARE(f.Qty, QString("1"));
        QCOMPARE(f.AuxQty, auxQty);
        QCOMPARE(f.Price, price);
        QCOMPARE(f.Amount, amount);
        QCOMPARE(f.PurchasePrice, QString("10"));
        QCOMPARE(f.Ratio, ratio.isNull() ? QString() : generalNumber(ratio.toDouble()));
        QCOMPARE(f.GoodsID, QString("GID1"));
        QCOMPARE(f.Barcode, QString("690"));
        QCOMPARE(f.Place, QString("一号库"));
        QCOMPARE(f.Supplier, QString("DW1.甲"));
        QCOMPARE(f.Category, QString("五金"));
        QCOMPARE(f.GoodsRowNo, QString::number(row));
        QCOMPARE(f.Stock, QString("7"));
        QCOMPARE(f.TargetRow, 1);
        QVERIFY(w.staged().isEmpty());
        QCOMPARE(receiver.lines.cell(1, 9), amount);
    }

    void mergeIntoTheReceiversGrid()
    {
        TestDb t;
        const qint64 a = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "一号库"}, {"进货价", 2}, {"换算比率", 1}});
        const qint64 b = addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"仓位", "一号库"}, {"进货价", 3}, {"换算比率", 1}});
        const qint64 a2 = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"仓位", "二号库"}, {"进货价", 2}, {"换算比率", 1}});
        ScriptedPrompt p;
        DocReceiver receiver(3);
        pickerModes(2);
        TfrmSelectFit w(&receiver);
        w.show();
        QStringList editorOn;
        auto noteEditor = [&](QDialog *d) {
            editorOn << label(d, "Label2")->text() + "@" + label(d, "Label14")->text();
            MCOMPARE(G.gMdfMode, 3);
            MVERIFY(!edit(d, "Edit5")->isVisibleTo(d)); // no discount row outside the sales bill
            return int(QDialog::Rejected);
        };
        for (int i = 0; i < 4; ++i)
            p.expectModal(noteEditor);
        pickRow(w, a);
        pickRow(w, b);
        // A again: no new line; its line is selected and opened, TargetRow steps back.
        pickRow(w, a);
        QCOMPARE(receiver.current, 1);
        QCOMPARE(G.gRepFit.TargetRow, 2);
        QCOMPARE(receiver.lines.gridRowCount(), 4);
        // The same goods at another place is a line of its own, right below the last one.
        pickRow(w, a2);
        QCOMPARE(receiver.current, 3);
        QCOMPARE(G.gRepFit.TargetRow, 3);
        QVERIFY(p.verifyDone());
        QCOMPARE(editorOn, (QStringList{"A@一号库", "B@一号库", "A@一号库", "A@二号库"}));
        QCOMPARE(receiver.lines.cell(3, 12), QString("二号库"));
        QCOMPARE(receiver.totals.amount, QString("7"));
        QCOMPARE(receiver.messages.count(WM_FIT_CHOSEN), 4);
    }

    void aFailedHandOverIsDropped()
    {
        TestDb t;
        const qint64 a = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"进货价", 1}});
        const qint64 b = addGoods(t, {{"编号", "B"}, {"名称", "乙"}, {"进货价", 1}});
        ScriptedPrompt p;
        DocReceiver receiver(1);
        pickerModes(1);
        TfrmSelectFit w(&receiver);
        w.show();
        receiver.failNextLine = true;
        p.expectMessage("接收货品失败");
        pickRow(w, a);
        QVERIFY(w.staged().isEmpty());
        // The next pick hands over its own line, not the one that failed.
        p.expectModal(cancelEditor);
        pickRow(w, b);
        QVERIFY(p.verifyDone());
        QCOMPARE(receiver.arrived.size(), 1);
        QCOMPARE(receiver.arrived.first().GoodsNo, QString("B"));
        QCOMPARE(receiver.lines.cell(1, 1), QString("B"));
    }

    void linesWithoutAReceiverAreDropped()
    {
        TestDb t;
        const qint64 a = addGoods(t, {{"编号", "A"}, {"名称", "甲"}, {"进货价", 1}});
        ScriptedPrompt p; // nothing may be shown
        {
            // A caller value no window answers to.
            DocReceiver receiver(1);
            pickerModes(4);
            TfrmSelectFit w(&receiver);
            w.show();
            pickRow(w, a);
            QVERIFY(receiver.messages.isEmpty());
            QVERIFY(w.staged().isEmpty());
        }
        {
            // The receiving window was closed meanwhile.
            auto *receiver = new DocReceiver(1);
            pickerModes(1);
            TfrmSelectFit w(receiver);
            w.show();
            delete receiver;
            pickRow(w, a);
            QVERIFY(w.staged().isEmpty());
            QCOMPARE(G.gRepFit.GoodsNo, QString("A"));
        }
        QVERIFY(p.verifyDone());
    }

    void listAndSearch()
    {
        TestDb t;
        addGoods(t, {{"编号", "1"}, {"名称", "螺丝"}, {"助记码", "LS"}, {"库存", 1}, {"警戒库存", 5}});
        addGoods(t, {{"编号", "2"}, {"名称", "螺母"}, {"助记码", "LM"}, {"库存", 9}, {"警戒库存", 5}});
        addGoods(t, {{"编号", "3"}, {"名称", "垫片"}, {"助记码", "DP_"}, {"库存", 0}, {"警戒库存", 5}});
        DocReceiver receiver(1);
        pickerModes(1);
        TfrmSelectFit w(&receiver);
        w.show();
        QCOMPARE(w.windowTitle(), QString("选择货品"));
        QCOMPARE(w.listModel()->rowCount(), 3);
        QCOMPARE(w.goodsGrid()->currentIndex().row(), 0);
        QVERIFY(w.goodsGrid()->isColumnHidden(w.listModel()->fieldIndex("流水号")));
        auto *search = edit(&w, "EditContent");
        search->setText("l");
        QCOMPARE(w.listModel()->rowCount(), 2); // mnemonic codes match in any case
        search->setText("_");
        QCOMPARE(w.listModel()->rowCount(), 3); // "_" is a wildcard
        search->setText("s'");
        QCOMPARE(w.listModel()->rowCount(), 0);
        search->clear();
        QCOMPARE(w.listModel()->rowCount(), 3);

        // Goods below warning stock only, narrowed by the mnemonic code.
        pickerModes(1, 2, 2);
        TfrmSelectFit low(&receiver);
        low.show();
        QCOMPARE(low.listModel()->rowCount(), 2);
        edit(&low, "EditContent")->setText("l");
        QCOMPARE(low.listModel()->rowCount(), 1);
        QCOMPARE(low.listModel()->text(0, "名称"), QString("螺丝"));

        // Down and Up move the current row from anywhere; the search box keeps the focus.
        QTest::keyClick(search, Qt::Key_Down);
        QTest::keyClick(search, Qt::Key_Down);
        QCOMPARE(w.goodsGrid()->currentIndex().row(), 2);
        QTest::keyClick(search, Qt::Key_Up);
        QCOMPARE(w.goodsGrid()->currentIndex().row(), 1);
        QCOMPARE(w.focusWidget(), search);
    }

    void reloadsAfterTheGoodsDialogs()
    {
        TestDb t;
        for (int i = 1; i <= 3; ++i)
            addGoods(t, {{"编号", QString::number(i)}, {"名称", QString("货%1").arg(i)}, {"助记码", "H"}});
        DocReceiver receiver(1);
        pickerModes(1);
        TfrmSelectFit w(&receiver);
        w.show();
        frmSelectFit = &w;
        const qint64 third = t.scalar("select 流水号 from 货品目录 where 编号='3'").toLongLong();
        t.exec("update 货品目录 set 名称='改名' where 流水号=?", {third});
        G.gRepFit.GoodsRowNo = QString::number(third);
        QVERIFY(SendMessage(frmSelectFit, WM_CANGKU_MDF));
        QCOMPARE(w.currentRowNo(), third);
        QCOMPARE(w.listModel()->text(2, "名称"), QString("改名"));
        // After a new goods the whole list shows, a search notwithstanding.
        edit(&w, "EditContent")->setText("zz");
        QCOMPARE(w.listModel()->rowCount(), 0);
        addGoods(t, {{"编号", "4"}, {"名称", "新"}});
        QVERIFY(SendMessage(frmSelectFit, WM_CANGKU_NEW));
        QCOMPARE(w.listModel()->rowCount(), 4);
        QVERIFY(SendMessage(frmSelectFit, WM_FIT_MDF));
        frmSelectFit = nullptr;
    }

    void auditInserts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("price");
        QTest::newRow("purchase order") << 1 << "采购订单明细" << "10";
        QTest::newRow("sales order") << 2 << "销售订单明细" << "15";
        QTest::newRow("purchase return") << 3 << "采购退货明细" << "10";
        QTest::newRow("loss report") << 4 << "货品报损明细" << "10";
    }

    void auditInserts()
    {
        QFETCH(int, kind);
        QFETCH(QString, table);
        QFETCH(QString, price);
        TestDb t;
        const qint64 a = addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"单位", "根"},
                                       {"辅助单位", "箱"}, {"进货价", 10}, {"出货价", 15}, {"换算比率", 4},
                                       {"供应商", "DW1.甲"}, {"类别", "五金"}, {"条码", "690"}});
        ScriptedPrompt p;
        DocReceiver audit;
        G.gAuditKind = kind;
        G.gPuchDocID = "PUCHDOC";
        G.gDocID = "DOC";
        const QString docID = kind == 1 ? "PUCHDOC" : "DOC";
        // shenhexinjian opens the picker; the pick inserts the line and opens the editor on it.
        p.expectModal([&](QDialog *d) {
            MCOMPARE(G.gFitCaller, 14);
            MCOMPARE(G.gFitPrice, kind == 2 ? 1 : 2);
            auto *picker = qobject_cast<TfrmSelectFit *>(d);
            MVERIFY(picker);
            const int row = picker->listModel()->findRow("流水号", QString::number(a));
            picker->setCurrentRow(row);
            picker->pick();
            return int(QDialog::Rejected);
        });
        p.expectModal([&](QDialog *d) {
            MCOMPARE(G.gMdfMode, 8);
            MCOMPARE(label(d, "Label2")->text(), QString("HP1"));
            MCOMPARE(edit(d, "Edit3")->text(), price);
            MCOMPARE(edit(d, "Edit2")->text(), QString("0.25"));
            MCOMPARE(edit(d, "Edit5")->isVisibleTo(d), kind == 2);
            if (kind == 2)
                MCOMPARE(edit(d, "Edit5")->text(), QString("1"));
            // A new quantity: 8 gives 2 boxes.
            edit(d, "Edit1")->setText("8");
            emit edit(d, "Edit1")->textEdited("8");
            MCOMPARE(edit(d, "Edit2")->text(), QString("2"));
            qobject_cast<TfrmMdf *>(d)->Button1Click();
            return int(QDialog::Accepted);
        });
        shenhexinjian(&audit);
        QVERIFY(p.verifyDone());
        QCOMPARE(audit.messages, (QList<int>{WM_AUD_FIT_NEW, WM_AUD_FIT_UPDATE, WM_AUD_FIT_MDF}));
        DataSet q(&t.conn());
        q.setSql("select * from " + table);
        q.open();
        QCOMPARE(q.recordCount(), 1);
        auto field = [&q](const char *f) { return q.fieldByName(f).asString(); };
        QCOMPARE(field("编号"), QString("HP1"));
        QCOMPARE(field("ID"), docID);
        QCOMPARE(field("单价").toDouble(), price.toDouble());
        QCOMPARE(field("数量").toDouble(), 8.0);
        QCOMPARE(field("金额").toDouble(), 8 * price.toDouble());
        QCOMPARE(field("辅助数量").toDouble(), 2.0);
        QCOMPARE(field("辅助单位"), QString("箱"));
        QCOMPARE(field("供应商"), QString("DW1.甲"));
        QCOMPARE(field("换算比率").toDouble(), 4.0);
        QCOMPARE(G.gRepFit.RowNo, field("流水号"));
        if (kind == 2) {
            QCOMPARE(field("折扣").toDouble(), 1.0);
            QCOMPARE(field("折后金额").toDouble(), 120.0);
        }
    }
};

ORV_DB_TEST_MAIN(TestGoodsPicker)
#include "tst_db_goodspicker.moc"
