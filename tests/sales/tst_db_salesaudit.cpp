// Sales order audit and approval, sales return audit and the sales lists. Without windows: the
// approval's rows (two lines of one goods row chained, a line without stock passed over, the
// voucher and the bill under the order's ID), the demand over places, approving twice and from two
// clients, the bill number after a direct sale, and every change of a settled document refused.
// With windows: the order audit's field saves, line changes and approval with its print, the
// return audit's approval defaults, the in-place switch of both windows and the bill list's print.
#include "documentfixture.h"
#include "modalchecks.h"
#include "scriptedprompt.h"

#include "app/menutree.h"
#include "app/windowing.h"
#include "data/dataset.h"
#include "documents/documentlistwindow.h"
#include "goods/listmodel.h"
#include "ledger/docnumbers.h"
#include "sales/frmsalebillingshow.h"
#include "sales/frmsalequote.h"
#include "sales/frmtuiaud.h"
#include "sales/salesauditmenu.h"
#include "sales/saleslists.h"
#include "sales/salesorders.h"
#include "sales/salesreturnsaudit.h"
#include "sales/salesschema.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolButton>

using namespace orv;
using namespace orv::test;
using namespace documenttest;

namespace {

struct OrderLine {
    QString no, name;
    QVariant place;
    double qty = 0, price = 0, discount = 1;
    QVariant cost = QVariant();
};

const QVariant kNull = QVariant(QMetaType::fromType<QString>());

qint64 addRow(TestDb &t, const QString &no, const QString &name, const QVariant &place, double stock, double aux = 0)
{
    return addGoods(t, {{"编号", no}, {"名称", name}, {"仓位", place}, {"库存", stock}, {"辅助库存", aux}, {"助记码", "ZJ"}});
}

// A pending order as the order entry stores it: 应收款 = 实收款 = the lines' 折后金额.
QString addOrder(TestDb &t, const QList<OrderLine> &lines, const QString &number = "XSDD-260307-001",
                 const QString &date = "2026-03-07")
{
    const QString id = makeRecordID();
    double total = 0;
    for (const OrderLine &l : lines) {
        const double amount = l.qty * l.price, discounted = amount * l.discount;
        t.exec("insert into 销售订单明细(编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,折扣,"
               "折后金额,成本价,换算比率) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
               {l.no, l.name, "规格", "个", "箱", 1.0, l.qty, l.price, amount, id, "690", l.place, "DW9.供应商", "五金",
                l.discount, discounted, l.cost, 2.0});
        total += discounted;
    }
    t.exec("insert into 销售订单(单据编号,日期,应收款,实收款,挂账金额,购买单位,联系电话,联系人,地址,备注,经办人,客户折扣,ID,"
           "单位编号,当前状态,单据类别,销售单位,销售单位编号,送货员,发货员,复核员,开票员,发票号码,开票金额,开票日期,时间) "
           "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
           {number, date, total, total, 0.0, "KH1.华南商行", "13800000000", "王经理", "广州", "加急", "001.张三", 0.9, id,
            "KH1", "待审核", "销售出库", "BM1.销售部", "BM1", "004.赵六", "002.李四", "003.王五", "005.钱七", "FP1", 0.0,
            "2026-03-07", "09:00:00"});
    return id;
}

SalesOrders::Approval approval()
{
    return {"KH1.华南商行", "KH1", "王经理", "13800000000", "BM1.销售部", "加急", 5};
}

// A direct sale's bill, numbered from the same series as an approval's.
QString addDirectSale(TestDb &t)
{
    Ledger ledger(t.conn());
    Transaction tx(t.conn());
    const QString no = ledger.numbers(salesBillNumbers()).insertNumbered([&](const QString &n) {
        t.exec("insert into 销售单(单据编号,日期,ID,当前状态,单据类别,应收款,实收款,挂账金额) values(?,?,?,?,?,?,?,?)",
               {n, "2026-03-07", makeRecordID(), "已审核", "销售出库", 10.0, 10.0, 0.0});
    });
    tx.commit();
    return no;
}

// A pending sales return.
QString addReturn(TestDb &t, const QString &number, const QVariant &paid, double receivable = 40)
{
    const QString id = makeRecordID();
    t.exec("insert into 销售退货明细(编号,名称,规格,单位,数量,单价,金额,ID,折扣,折后金额) values(?,?,?,?,?,?,?,?,?,?)",
           {"A", "甲", "规格", "个", 4.0, 10.0, 40.0, id, 1.0, 40.0});
    t.exec("insert into 销售退货单(单据编号,日期,应退款,实退款,挂账金额,退回单位,联系人,负责人,ID,当前状态,单据类别,备注,"
           "发货员) values(?,?,?,?,?,?,?,?,?,?,?,?,?)",
           {number, "2026-03-07", receivable, paid, kNull, "KH1.华南商行", "王经理", "001.张三", id, "待审核", "销售退货",
            "退回", "002.李四"});
    return id;
}

QStringList rowTexts(TestDb &t, const QString &sql, const QVariantList &binds = {})
{
    DataSet d(&t.conn());
    d.setSql(sql);
    for (const QVariant &b : binds)
        d.addBindValue(b);
    d.open();
    QStringList out;
    for (d.first(); !d.eof(); d.next()) {
        QStringList row;
        for (int i = 0; i < d.fieldCount(); ++i)
            row << d.fields(i).asString();
        out << row.join('|');
    }
    return out;
}

QString orderState(TestDb &t, const QString &id)
{
    return t.scalar("select 当前状态 from 销售订单 where ID = ?", {id}).toString();
}

template <typename W> QLineEdit *field(W &w, const char *name)
{
    return w.auditPage()->template findChild<QLineEdit *>(QString::fromUtf8(name));
}

// A window shown and given the focus, as the operator opens it.
bool shownActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// Leaving a field as the operator does: the focus moves on.
void leave(QWidget *field, QWidget *next)
{
    field->setFocus();
    next->setFocus();
}

} // namespace

Q_DECLARE_METATYPE(QList<OrderLine>)

class TestSalesAudit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerTables();
        registerSalesSchema();
        startEngine();
    }
    void init()
    {
        resetProgramState();
        G.gCompanyName = "我的公司";
    }
    void cleanup()
    {
        delete frmSaleQuote.data();
        delete frmTuiAud.data();
        delete frmSaleBillingShow.data();
        Clock::pin(QDateTime());
    }

    // Two lines of one goods row take its stock one after the other; a line whose row holds no
    // stock is passed over; the voucher, the bill lines and the bill carry the order's ID.
    void approvalWritesBillAndVoucher()
    {
        TestDb t;
        const qint64 row = addRow(t, "A", "甲", "一号库", 10, 6);
        addRow(t, "C", "丙", "一号库", 0);
        const QString id = addOrder(t, {{"A", "甲", "一号库", 3, 10, 0.9}, {"A", "甲", "一号库", 2, 10, 1, 4.0},
                                        {"C", "丙", "一号库", 0, 5}});
        t.exec("update 销售订单 set 购买单位 = '改过的单位' where ID = ?", {id}); // after the audit took its partner
        SalesOrders orders(t.conn());
        const auto done = orders.approve(id, approval());
        QCOMPARE(int(done.result.status), int(DocumentApproval::Status::Approved));
        QCOMPARE(done.billNumber, QString("XSCK-260307-001"));
        QCOMPARE(t.scalar("select 库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 5.0);
        QCOMPARE(t.scalar("select 辅助库存 from 货品目录 where 流水号 = ?", {row}).toDouble(), 4.0);
        QCOMPARE(rowTexts(t, "select 编号,数量,原有库存数量,结存,原有辅助数量,辅助库存结存,折扣,折后金额,成本价,拼音码,ID "
                             "from 销售明细 order by 流水号"),
                 (QStringList{"A|3|10|7|6|5|0.9|27|0|ZJ|" + id, "A|2|7|5|5|4|1|20|4|ZJ|" + id}));
        QCOMPARE(rowTexts(t, "select 单据编号,引用单号,引用ID,引用类别,原因,单据类别,制单人,审核人,单据备注,相关单位,单位编号,"
                             "联系人,联系电话,相关部门,制单日期 from 出入库单"),
                 (QStringList{"CK-260307-001|XSCK-260307-001|" + id +
                              "|货品销售|货品销售|出库|||加急|KH1.华南商行|KH1|王经理|13800000000|BM1.销售部|2026-03-07"}));
        // The voucher lines carry 金额, not 折后金额.
        QCOMPARE(rowTexts(t, "select 编号,数量,金额,原有库存数量,结存,类型 from 出入库明细 order by 流水号"),
                 (QStringList{"A|3|30|10|7|出库", "A|2|20|7|5|出库"}));
        QCOMPARE(rowTexts(t, "select 当前状态,挂账金额 from 销售订单 where ID = ?", {id}), QStringList{"已审核|5"});
        QCOMPARE(rowTexts(t, "select 单据编号,日期,应收款,实收款,挂账金额,购买单位,单位编号,当前状态,单据类别,销售单位,开票员,"
                             "开票日期,时间,ID from 销售单"),
                 (QStringList{"XSCK-260307-001|2026-03-07|47|47|5|改过的单位|KH1|已审核|销售出库|BM1.销售部|005.钱七|"
                              "2026-03-07|02:00:00|" + id}));
    }

    // The demand of a code and name over every place of the order against each line's own row.
    void demandOverPlaces_data()
    {
        QTest::addColumn<QList<OrderLine>>("lines");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("3 at A and 3 at B, 5 each") << QList<OrderLine>{{"HP1", "螺丝", "A", 3, 1}, {"HP1", "螺丝", "B", 3, 1}}
                                                   << "货品编号:HP1名称:螺丝库存不足,操作被取消";
        QTest::newRow("demand equal to the stock") << QList<OrderLine>{{"HP1", "螺丝", "A", 2, 1}, {"HP1", "螺丝", "A", 3, 1}}
                                                   << QString();
        QTest::newRow("no row, empty place") << QList<OrderLine>{{"HP1", "螺丝", kNull, 1, 1}}
                                             << "货品编号:HP1名称:螺丝库存不足,操作被取消";
    }
    void demandOverPlaces()
    {
        QFETCH(QList<OrderLine>, lines);
        QFETCH(QString, refusal);
        TestDb t;
        addRow(t, "HP1", "螺丝", "A", 5);
        addRow(t, "HP1", "螺丝", "B", 5);
        const QString id = addOrder(t, lines);
        SalesOrders orders(t.conn());
        const auto done = orders.approve(id, approval());
        if (!refusal.isEmpty()) {
            QCOMPARE(int(done.result.status), int(DocumentApproval::Status::Short));
            QCOMPARE(done.result.message, refusal);
            QCOMPARE(orderState(t, id), QString("待审核"));
            for (const char *table : {"出入库单", "出入库明细", "销售单", "销售明细"})
                QCOMPARE(t.scalar(QString("select count(*) from ") + table).toInt(), 0);
            QCOMPARE(t.scalar("select sum(库存) from 货品目录").toDouble(), 10.0);
            return;
        }
        QCOMPARE(int(done.result.status), int(DocumentApproval::Status::Approved));
        QCOMPARE(rowTexts(t, "select 原有库存数量,结存 from 销售明细 order by 流水号"), (QStringList{"5|3", "3|0"}));
    }

    // A second 通过, a cancelled order and one approved by another client write nothing; two
    // clients working through the same orders approve each once, every bill numbered apart.
    void approvedOnce()
    {
        TestDb t;
        addRow(t, "HP1", "螺丝", "A", 100);
        const QString first = addOrder(t, {{"HP1", "螺丝", "A", 1, 1}});
        SalesOrders orders(t.conn());
        QCOMPARE(int(orders.approve(first, approval()).result.status), int(DocumentApproval::Status::Approved));
        QCOMPARE(int(orders.approve(first, approval()).result.status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(int(orders.approve(QString(), approval()).result.status), int(DocumentApproval::Status::NotPending));
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 销售单").toInt(), 1);

        const int each = 8;
        QStringList ids;
        for (int i = 0; i < each; ++i)
            ids << addOrder(t, {{"HP1", "螺丝", "A", 2, 1}}, QString("XSDD-260307-%1").arg(i + 2, 3, 10, QChar('0')));
        QAtomicInt approved = 0;
        const QString failure = runClients(t, 2, [&](int, Connection &conn) {
            SalesOrders mine(conn);
            for (const QString &id : std::as_const(ids))
                if (mine.approve(id, approval()).result.status == DocumentApproval::Status::Approved)
                    approved.fetchAndAddRelaxed(1);
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(approved.loadRelaxed(), each);
        QCOMPARE(t.scalar("select count(distinct 单据编号) from 销售单").toInt(), each + 1);
        QCOMPARE(t.scalar("select count(distinct 引用ID) from 出入库单").toInt(), each + 1);
        QCOMPARE(t.scalar("select 库存 from 货品目录").toDouble(), 100.0 - 1 - 2 * each);
        // Each voucher names the number its bill was given.
        QCOMPARE(t.scalar("select count(*) from 出入库单 v join 销售单 b on b.ID = v.引用ID and b.单据编号 = v.引用单号").toInt(),
                 each + 1);
    }

    // The direct sale and the approval draw on one XSCK- series.
    void billNumberAfterDirectSale()
    {
        TestDb t;
        addRow(t, "HP1", "螺丝", "A", 10);
        QCOMPARE(addDirectSale(t), QString("XSCK-260307-001"));
        const QString id = addOrder(t, {{"HP1", "螺丝", "A", 1, 1}});
        SalesOrders orders(t.conn());
        QCOMPARE(orders.approve(id, approval()).billNumber, QString("XSCK-260307-002"));
        QCOMPARE(t.scalar("select 引用单号 from 出入库单").toString(), QString("XSCK-260307-002"));
    }

    // Every change of an order or a return that is no longer pending writes nothing.
    void settledDocumentsUnchanged()
    {
        TestDb t;
        const QString order = addOrder(t, {{"HP1", "螺丝", "A", 1, 10}});
        const QString ret = addReturn(t, "XSTH-260307-001", 40.0);
        t.exec("update 销售订单 set 当前状态 = '已审核'");
        t.exec("update 销售退货单 set 当前状态 = '取消'");
        const qint64 orderRowNo = t.scalar("select 流水号 from 销售订单").toLongLong();
        const qint64 lineRowNo = t.scalar("select 流水号 from 销售订单明细").toLongLong();
        const qint64 returnRowNo = t.scalar("select 流水号 from 销售退货单").toLongLong();
        const QStringList orderBefore = rowTexts(t, "select * from 销售订单"), linesBefore = rowTexts(t, "select * from 销售订单明细");
        const QStringList returnBefore = rowTexts(t, "select * from 销售退货单");
        SalesOrders orders(t.conn());
        QVERIFY(!orders.saveText(order, SalesOrderField::Buyer, "别的"));
        QVERIFY(!orders.saveAmount(order, SalesOrderField::Received, 1));
        orders.recomputeTotals(order);
        QVERIFY(!orders.deleteLine(order, lineRowNo));
        QVERIFY(!orders.cancel(orderRowNo));
        SalesReturnsAudit returns(t.conn());
        QVERIFY(!returns.saveText(ret, SalesReturnField::Partner, "别的"));
        QVERIFY(!returns.saveAmount(ret, SalesReturnField::Paid, 1));
        QVERIFY(!returns.approve(ret, 1, 0));
        QVERIFY(!returns.cancel(returnRowNo));
        QCOMPARE(rowTexts(t, "select * from 销售订单"), orderBefore);
        QCOMPARE(rowTexts(t, "select * from 销售订单明细"), linesBefore);
        QCOMPARE(rowTexts(t, "select * from 销售退货单"), returnBefore);
    }

    // The order audit: a field saved on leaving it (an empty amount as 0), a line deleted with the
    // totals following, the approval with "审核成功" and the bill printed, the list moving on.
    void orderAuditWindow()
    {
        TestDb t;
        addRow(t, "A", "甲", "一号库", 10);
        const QString older = addOrder(t, {{"A", "甲", "一号库", 1, 10}}, "XSDD-260306-001", "2026-03-06");
        const QString id = addOrder(t, {{"A", "甲", "一号库", 3, 10, 0.9}, {"A", "甲", "一号库", 2, 10}});
        ScriptedPrompt p;
        G.gSaleListMode = 1;
        TfrmSaleQuote w;
        QVERIFY(shownActive(w));
        QCOMPARE(w.windowTitle(), QString("销售订单审核"));
        QCOMPARE(w.currentOrderID(), id);
        QCOMPARE(G.gDocID, id);
        QCOMPARE(field(w, "Edit7")->text(), QString("47"));
        field(w, "Edit8")->setText("");
        leave(field(w, "Edit8"), field(w, "Edit3"));
        QCOMPARE(t.scalar("select 实收款 from 销售订单 where ID = ?", {id}).toDouble(), 0.0);
        // A line deleted: 应收款 = 实收款 = the lines' 折后金额, 挂账金额 0, shown in the fields.
        auto *lines = w.auditPage()->findChild<QTableView *>("DBGridSaleFit");
        lines->setCurrentIndex(w.lineModel()->index(1, w.lineModel()->fieldIndex("编号")));
        p.expectMessage("删除后将不能恢复你确定要继续吗?", QMessageBox::Yes, "系统提示");
        w.SpeedButton8Click();
        QCOMPARE(rowTexts(t, "select 应收款,实收款,挂账金额 from 销售订单 where ID = ?", {id}), QStringList{"27|27|0"});
        QCOMPARE(field(w, "Edit8")->text(), QString("27"));
        // 购买单位 changes the order at once; the voucher keeps the partner taken at selection.
        field(w, "Edit2")->setText("KH2.新单位");
        leave(field(w, "Edit2"), field(w, "Edit3"));
        QCOMPARE(t.scalar("select 购买单位 from 销售订单 where ID = ?", {id}).toString(), QString("KH2.新单位"));
        // 实际收款 typed: 挂账金额 follows; a lone point is refused before anything is written.
        QLineEdit *received = field(w, "Edit8");
        received->selectAll();
        QTest::keyClicks(received, "20");
        QCOMPARE(field(w, "Edit9")->text(), QString("7"));
        field(w, "Edit9")->setText(".");
        p.expectMessage("挂账金额必须是数字");
        w.SpeedButton5Click();
        QCOMPARE(orderState(t, id), QString("待审核"));
        field(w, "Edit9")->setText("7");
        w.auditPage()->findChild<QCheckBox *>("CheckBox1")->setChecked(true);
        p.expectMessage("审核成功");
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(field(w, "No")->text(), QString("XSCK-260307-001"));
        QCOMPARE(t.scalar("select 相关单位 from 出入库单").toString(), QString("KH1.华南商行"));
        QCOMPARE(t.scalar("select 挂账金额 from 销售单").toDouble(), 7.0);
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "1", "3", "个", "10", "27", "0.9"}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司货品销售单"});
        QCOMPARE(printed(w.report(), "Memo33"), QStringList{"KH2.新单位"});
        QCOMPARE(printed(w.report(), "Memo27"), QStringList{"27"});
        QCOMPARE(printed(w.report(), "Memo28"), QStringList{"开票员:005.钱七"});
        QCOMPARE(printed(w.report(), "Memo11"), QStringList{"本单据由系统打印"});
        QCOMPARE(w.currentOrderID(), older);
    }

    // Another client approves the current order: leaving a field, a line delete, 取消 and 通过 write
    // nothing and the list follows.
    void orderAuditAfterOtherClient()
    {
        TestDb t;
        addRow(t, "A", "甲", "一号库", 10);
        const QString id = addOrder(t, {{"A", "甲", "一号库", 3, 10}});
        ScriptedPrompt p;
        G.gSaleListMode = 1;
        TfrmSaleQuote w;
        QVERIFY(shownActive(w));
        QCOMPARE(w.currentOrderID(), id);
        auto client = t.secondClient();
        SalesOrders elsewhere(*client);
        QCOMPARE(int(elsewhere.approve(id, approval()).result.status), int(DocumentApproval::Status::Approved));
        const QStringList before = rowTexts(t, "select * from 销售订单");
        field(w, "Edit9")->setText("99");
        leave(field(w, "Edit9"), field(w, "Edit3"));
        QCOMPARE(rowTexts(t, "select * from 销售订单"), before);
        QCOMPARE(w.orderModel()->dataRowCount(), 0);
        QCOMPARE(w.currentOrderID(), QString());
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 销售单").toInt(), 1);
    }

    // 通过 of a return: an empty 实退款 takes 应退款, an empty 挂账金额 is 0; with no return left,
    // or one settled by another client, nothing is written and nothing said.
    void returnAuditWindow()
    {
        TestDb t;
        const QString older = addReturn(t, "XSTH-260306-001", 30.0);
        t.exec("update 销售退货单 set 日期 = '2026-03-06' where ID = ?", {older});
        const QString id = addReturn(t, "XSTH-260307-001", kNull);
        ScriptedPrompt p;
        G.gSaleListMode = 1;
        TfrmTuiAud w;
        QVERIFY(shownActive(w));
        QCOMPARE(w.windowTitle(), QString("销售退货审核"));
        QCOMPARE(w.currentReturnID(), id);
        QCOMPARE(field(w, "Edit8")->text(), QString());
        // 审核人 saved on leaving it; the empty amounts show 0 but only the field left is written.
        field(w, "Edit7")->setText("009.审核员");
        leave(field(w, "Edit7"), field(w, "Edit2"));
        QCOMPARE(t.scalar("select 审核人 from 销售退货单 where ID = ?", {id}).toString(), QString("009.审核员"));
        QVERIFY(t.scalar("select 实退款 from 销售退货单 where ID = ?", {id}).isNull());
        field(w, "Edit8")->clear();
        field(w, "Edit9")->clear();
        p.expectMessage("财务审核完毕");
        w.SpeedButton5Click();
        QCOMPARE(rowTexts(t, "select 当前状态,实退款,挂账金额 from 销售退货单 where ID = ?", {id}), QStringList{"已审核|40|0"});
        QCOMPARE(w.currentReturnID(), older);
        auto client = t.secondClient();
        QVERIFY(SalesReturnsAudit(*client).approve(older, 30, 0));
        w.SpeedButton5Click(); // no message
        QCOMPARE(w.currentReturnID(), QString());
        w.SpeedButton5Click();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select 实退款 from 销售退货单 where ID = ?", {older}).toDouble(), 30.0);
    }

    // The menu entries switch one open window in place: caption, shown page and list.
    void inPlaceSwitch()
    {
        registerSalesListWindows();
        TestDb t;
        addRow(t, "A", "甲", "一号库", 10);
        const QString pending = addOrder(t, {{"A", "甲", "一号库", 1, 10}});
        const QString approved = addOrder(t, {{"A", "甲", "一号库", 2, 10}}, "XSDD-260307-002");
        QVERIFY(SalesOrders(t.conn()).approve(approved, approval()).billNumber.startsWith("XSCK-"));
        addReturn(t, "XSTH-260307-001", 40.0);
        addReturn(t, "XSTH-260307-002", 40.0);
        t.exec("update 销售退货单 set 当前状态 = '已审核' where 单据编号 = 'XSTH-260307-002'");

        menuHandler("N33")();
        QPointer<TfrmSaleQuote> w = frmSaleQuote;
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("销售订单审核"));
        QVERIFY(w->auditPage()->isVisible() && !w->listPage()->isVisible());
        QCOMPARE(w->currentOrderID(), pending);
        menuHandler("N38")();
        QCOMPARE(frmSaleQuote.data(), w.data());
        QCOMPARE(w->windowTitle(), QString("销售订单"));
        QVERIFY(!w->auditPage()->isVisible() && w->listPage()->isVisible());
        DocumentListModel *orders = w->listPage()->documentModel();
        QCOMPARE(orders->rowCount(), 2);
        QCOMPARE(orders->text(0, "ID"), approved);
        QCOMPARE(orders->text(1, "单据编号"), QString("合计："));
        QCOMPARE(orders->text(1, "应收款"), QString("20"));
        QCOMPARE(w->listPage()->findChild<QToolButton *>("SpeedButton10")->isVisible(), true);
        menuHandler("N33")();
        QCOMPARE(w->windowTitle(), QString("销售订单审核"));
        QVERIFY(w->auditPage()->isVisible());

        menuHandler("N40")();
        QVERIFY(frmTuiAud);
        QCOMPARE(frmTuiAud->windowTitle(), QString("销售退货单"));
        QVERIFY(frmTuiAud->listPage()->isVisible());
        QCOMPARE(frmTuiAud->listPage()->documentModel()->text(0, "单据编号"), QString("XSTH-260307-002"));
        menuHandler("N35")();
        QCOMPARE(frmTuiAud->windowTitle(), QString("销售退货审核"));
        QVERIFY(frmTuiAud->auditPage()->isVisible());
        QCOMPARE(frmTuiAud->returnModel()->dataRowCount(), 1);
        QVERIFY(!menuEntryVisible("N35", 34, "True"));
    }

    // The bill list: every bill with its totals, the print of a stored bill, the delete of the
    // header only, the export widths, the reversal not offered yet.
    void billList()
    {
        TestDb t;
        G.gPrivileges.fill("True");
        addRow(t, "A", "甲", "一号库", 10);
        addDirectSale(t);
        const QString id = addOrder(t, {{"A", "甲", "一号库", 3, 10, 0.9}});
        QVERIFY(!SalesOrders(t.conn()).approve(id, approval()).billNumber.isEmpty());
        ScriptedPrompt p;
        TfrmSaleBillingShow w;
        w.show();
        DocumentListModel *bills = w.documentModel();
        QCOMPARE(bills->rowCount(), 3);
        QCOMPARE(bills->text(2, "单据编号"), QString("合计："));
        QCOMPARE(bills->text(2, "应收款"), QString("37"));
        w.documentClicked(bills->findRow("ID", id));
        QCOMPARE(G.gDocID, id);
        w.printCurrent();
        const PrintRun &run = w.lastPrint();
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头2", "主项头3", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "1", "3", "个", "10", "27", "0.9"}));
        QCOMPARE(printed(w.report(), "Memo1"), QStringList{"我的公司货品销售单"});
        QCOMPARE(printed(w.report(), "Memo9"), QStringList{"XSCK-260307-002"});
        QCOMPARE(printed(w.report(), "Memo26"), QStringList{"3"});
        const ExportSheet sheet = w.list().listSheet();
        QCOMPARE(sheet.headers.size(), 21);
        QCOMPARE(sheet.widths, (QMap<int, double>{{1, 15}, {2, 15}, {4, 15}, {6, 20}, {21, 20}}));
        p.expectMessage("红字反冲功能尚未提供");
        w.reverseCurrent();
        p.expectMessage("您确实要删除吗?", QMessageBox::Yes, "系统提示");
        w.deleteCurrent();
        QVERIFY(p.verifyDone());
        QCOMPARE(t.scalar("select count(*) from 销售单").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 销售明细").toInt(), 1);
    }

    // The order and return lists' exports and the return print.
    void listExportsAndReturnPrint()
    {
        TestDb t;
        const QString id = addReturn(t, "XSTH-260307-001", 30.0);
        t.exec("update 销售退货单 set 当前状态 = '已审核', 挂账金额 = 10");
        QCOMPARE(salesOrderListConfig().listExportWidths, (QMap<int, double>{{1, 15}, {2, 15}, {4, 15}, {6, 20}}));
        QCOMPARE(salesOrderListConfig().listExportColumns.size(), 20);
        QVERIFY(salesOrderListConfig().remove.withLines);
        const DocumentListConfig returns = salesReturnListConfig();
        QCOMPARE(returns.listExportWidths, (QMap<int, double>{{1, 15}, {2, 15}, {4, 15}, {6, 22}, {19, 20}}));
        QCOMPARE(returns.listExportColumns.size(), 19);
        QVERIFY(!returns.remove.withLines);
        TfrReport report;
        const PrintRun run = printDocument(report, salesReturnPrint(t.conn(), id));
        QCOMPARE(run.bands, (QStringList{"报表标题1", "主项头1", "主项头3", "主项数据1", "主项脚1", "页脚1"}));
        QCOMPARE(run.dataBands[0], (QStringList{"甲", "规格", "", "4", "个", "10", "40"}));
        QCOMPARE(printed(report, "Memo1"), QStringList{"我的公司销售退货单"});
        QCOMPARE(printed(report, "Memo8"), QStringList{"30"});
        QCOMPARE(printed(report, "Memo11"), QStringList{"10"});
        QCOMPARE(printed(report, "Memo28"), QStringList{"负责人:001.张三"});
        QCOMPARE(printed(report, "Memo29"), QStringList{"发货员:002.李四"});
        QCOMPARE(printed(report, "Memo4"), QStringList{"本单据由系统打印"});
    }
};

ORV_DB_TEST_MAIN(TestSalesAudit)
#include "tst_db_salesaudit.moc"
