// The main road of a purchase through the real windows as the menu opens them: an order entered
// with the pickers, audited and passed into a bill, the bill imported into a receipt and posted,
// then a second receipt in the same window issued straight on to a workshop.
#include "purchasefixture.h"
#include "scriptedprompt.h"

#include "app/windowing.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "documents/frmselectpuch.h"
#include "goods/frmchoosegys.h"
#include "goods/frmmdf.h"
#include "goods/frmselectfit.h"
#include "goods/goodslineview.h"
#include "goods/listmodel.h"
#include "partners/frmduty.h"
#include "partners/frmyuangongmulu.h"
#include "partners/staffcombo.h"
#include "purchasing/frmpuch.h"
#include "purchasing/frmpuchaud.h"
#include "purchasing/frmpustore.h"
#include "purchasing/purchasingmenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace orv;
using namespace orv::test;
using namespace purchasetest;

namespace {

// The picker with one row: its first row is picked.
template <typename Picker> std::function<int(QDialog *)> pickFirst(void (Picker::*pickIt)())
{
    return [pickIt](QDialog *d) {
        auto *p = qobject_cast<Picker *>(d);
        MVERIFY(p);
        (p->*pickIt)();
        return p->result();
    };
}

// The goods picker: the goods of that code picked; the line editor then sets the quantity.
void pickGoods(ScriptedPrompt &p, const QString &code, const QString &qty)
{
    p.expectModal([code](QDialog *d) {
        auto *picker = qobject_cast<TfrmSelectFit *>(d);
        MVERIFY(picker);
        picker->setCurrentRow(picker->listModel()->findRow("编号", code));
        picker->pick();
        return int(QDialog::Accepted);
    });
    p.expectModal([qty](QDialog *d) {
        auto *qtyEdit = d->findChild<QLineEdit *>("Edit1");
        qtyEdit->selectAll();
        QTest::keyClicks(qtyEdit, qty);
        qobject_cast<TfrmMdf *>(d)->Button1Click();
        return int(QDialog::Accepted);
    });
}

double stock(TestDb &t, const QString &code)
{
    return t.scalar("select 库存 from 货品目录 where 编号 = ?", {code}).toDouble();
}
double price(TestDb &t, const QString &code)
{
    return t.scalar("select 进货价 from 货品目录 where 编号 = ?", {code}).toDouble();
}
} // namespace

class TestMainRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        registerPurchasingWindows();
        startEngine();
    }
    void init()
    {
        resetProgramState();
    }
    void cleanup() { Clock::pin(QDateTime()); }

    void orderAuditReceiptAndDirectIssue()
    {
        TestDb t;
        addSupplier(t, "DW1", "华东五金");
        t.exec("insert into 员工目录(工号, 姓名, 仓库管理员, 开票员, 送货员) values ('001', '张三', ?, ?, ?)", {true, true, true});
        t.exec("insert into 部门资料(部门编号, 部门名称, 部门经理) values ('BM01', '一车间', '周经理')");
        addGoods(t, {{"编号", "HP1"}, {"名称", "钢管"}, {"仓位", "一号库"}, {"单位", "根"}, {"库存", 10}, {"进货价", 5},
                     {"换算比率", 1}});
        addGoods(t, {{"编号", "HP2"}, {"名称", "角铁"}, {"仓位", "一号库"}, {"单位", "根"}, {"库存", 0}, {"进货价", 2},
                     {"换算比率", 1}});
        ScriptedPrompt p;

        // 采购订货: supplier, staff and goods from their pickers; saved and printed.
        p.expectModal([&](QDialog *d) {
            auto *w = qobject_cast<TfrmPuch *>(d);
            MVERIFY(w);
            MCOMPARE(w->findChild<QLineEdit *>("EditNo")->text(), QString("CGDH-260307-001"));
            p.expectModal(pickFirst<TfrmChooseGYS>(&TfrmChooseGYS::DBGrid1DblClick));
            w->SpeedButton3Click();
            p.expectModal(pickFirst<TfrmYuanGongMuLu>(&TfrmYuanGongMuLu::DBGrid1DblClick));
            w->SpeedButton7Click();
            p.expectModal(pickFirst<TfrmYuanGongMuLu>(&TfrmYuanGongMuLu::DBGrid1DblClick));
            w->SpeedButton9Click();
            pickGoods(p, "HP1", "10");
            w->SpeedButton2Click();
            pickGoods(p, "HP2", "4");
            w->SpeedButton2Click();
            w->goodsLines()->setData(w->goodsLines()->index(0, 8), "7"); // 单价 in place
            emit w->grid()->cellEdited();
            MCOMPARE(w->findChild<QLabel *>("Label4")->text(), QString("78"));
            w->findChild<QCheckBox *>("CheckBox1")->setChecked(true);
            p.expectMessage("您确实开单吗?", QMessageBox::Yes, "系统提示");
            p.expectMessage("采购订单保存成功");
            w->savesuoyou();
            MCOMPARE(w->lastPrint().dataBands.size(), 2);
            return int(QDialog::Accepted);
        });
        menuHandler("WindowCascadeItem")();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 供应商 from 采购订单").toString(), QString("DW1.华东五金"));
        QCOMPARE(t.scalar("select 负责人 from 采购订单").toString(), QString("001.张三"));
        QCOMPARE(t.scalar("select 金额合计 from 采购订单").toDouble(), 78.0);

        // 采购审核: passed into the bill.
        menuHandler("WindowTileItem")();
        QVERIFY(frmPuchAud);
        frmPuchAud->findChild<StaffCombo *>("ComboBox1")->setText("张三");
        p.expectMessage("审核完毕,采购单通过");
        frmPuchAud->SpeedButton5Click();
        QVERIFY(p.verifyDone());
        delete frmPuchAud.data();
        QCOMPARE(t.scalar("select 单据编号 from 采购单").toString(), QString("CG-260307-001"));

        // 验收入库: the bill imported and posted; then a second receipt issued to a workshop.
        p.expectModal([&](QDialog *d) {
            auto *w = qobject_cast<TfrmPuStore *>(d);
            MVERIFY(w);
            MCOMPARE(w->findChild<QLineEdit *>("EditStoreNo")->text(), QString("CGJH-260307-001"));
            p.expectModal(pickFirst<TfrmYuanGongMuLu>(&TfrmYuanGongMuLu::DBGrid1DblClick));
            w->staffButtonClick(4);
            p.expectModal(pickFirst<TfrmSelectPuch>(&TfrmSelectPuch::DBGrid1DblClick));
            w->SpeedButton3Click();
            MCOMPARE(w->goodsLines()->gridRowCount(), 4);
            MCOMPARE(w->supplierCode(), QString("DW1"));
            MCOMPARE(w->findChild<QLineEdit *>("Edit1")->text(), QString("78"));
            p.expectMessage("采购货品已经入库");
            w->savesuoyou();
            MCOMPARE(w->prints().size(), 1);

            pickGoods(p, "HP1", "10");
            w->SpeedButton6Click();
            w->findChild<QCheckBox *>("CheckBox1")->setChecked(true);
            w->directIssueToggled();
            p.expectModal(pickFirst<TfrmDuty>(&TfrmDuty::DBGrid17DblClick));
            w->SpeedButton14Click();
            MCOMPARE(w->findChild<QLineEdit *>("Edit4")->text(), QString("BM01.一车间"));
            MCOMPARE(w->findChild<QLineEdit *>("Edit6")->text(), QString("周经理"));
            p.expectMessage("采购货品已经入库");
            w->savesuoyou();
            MCOMPARE(w->prints().size(), 1); // the requisition, the print box unticked by the reset
            return int(QDialog::Accepted);
        });
        menuHandler("WindowTileItem2")();
        QVERIFY(p.verifyDone());

        // HP1: 10 @ 5, received 10 @ 7 (average 6), then 10 at that price received and issued at once.
        QCOMPARE(stock(t, "HP1"), 20.0);
        QCOMPARE(price(t, "HP1"), 6.0);
        QCOMPARE(stock(t, "HP2"), 4.0);
        QCOMPARE(price(t, "HP2"), 2.0);
        QCOMPARE(t.scalar("select count(*) from 采购入库单").toInt(), 2);
        QCOMPARE(t.scalar("select 供应商编号 from 采购入库单 where 单据编号 = 'CGJH-260307-001'").toString(),
                 QString("DW1"));
        DataSet v(&t.conn());
        v.setSql("select 单据编号, 引用单号, 引用类别 from 出入库单 order by 流水号");
        v.open();
        QStringList vouchers;
        for (v.first(); !v.eof(); v.next())
            vouchers << v.fields(0).asString() + ">" + v.fields(1).asString() + ">" + v.fields(2).asString();
        QCOMPARE(vouchers, (QStringList{"RK-260307-001>CGJH-260307-001>采购进货", "RK-260307-002>CGJH-260307-002>采购进货",
                                        "CK-260307-001>NBLY-260307-001>车间领用"}));
        QCOMPARE(t.scalar("select ID from 车间领用").toString(),
                 t.scalar("select ID from 采购入库单 where 单据编号 = 'CGJH-260307-002'").toString());
        // Every goods row's stock is what its voucher lines say.
        QCOMPARE(t.scalar("select count(*) from 货品目录 g where g.库存 <> (case when g.编号 = 'HP1' then 10 else 0 end) + "
                          "coalesce((select sum(case when m.类型 = '入库' then m.数量 else -m.数量 end) from 出入库明细 m "
                          "where m.编号 = g.编号 and m.仓位 = g.仓位), 0)")
                     .toInt(),
                 0);
    }
};

ORV_DB_TEST_MAIN(TestMainRoad)
#include "tst_db_mainroad.moc"
