// The sales tables: columns in their order on both databases, numbers kept unique.
#include "schemacheck.h"
#include "testdb.h"
#include "sales/salesschema.h"

Q_DECLARE_METATYPE(orv::NumberRule)

using namespace orv;
using namespace orv::test;

namespace {
// What the sales bill window writes into 销售订单 and 销售单.
const QStringList kBill = {"流水号", "单据编号", "日期", "应收款", "实收款", "挂账金额", "购买单位", "联系电话",
                           "联系人", "地址", "备注", "经办人", "客户折扣", "ID", "单位编号", "当前状态",
                           "单据类别", "销售单位", "销售单位编号", "送货员", "发货员", "复核员", "开票员",
                           "发票号码", "开票金额", "开票日期", "时间"};
const QStringList kLine = {"流水号", "编号", "名称", "规格", "单位", "辅助单位", "辅助数量", "数量", "单价", "金额",
                           "ID", "条码", "仓位", "供应商", "类别", "折扣", "折后金额"};
} // namespace

class TestSalesSchema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    // One database for every row: each row reads or writes a table of its own.
    void initTestCase()
    {
        registerSalesSchema();
        db = std::make_unique<TestDb>();
    }
    void cleanupTestCase() { db.reset(); }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("销售订单") << "销售订单" << kBill + QStringList{"传真", "货款合计"};
        QTest::newRow("销售订单明细") << "销售订单明细" << kLine + QStringList{"成本价", "换算比率"};
        QTest::newRow("销售单") << "销售单" << kBill + QStringList{"是否红冲", "红冲操作员"};
        QTest::newRow("销售明细") << "销售明细"
                              << kLine + QStringList{"成本价", "结存", "原有库存数量", "换算比率", "辅助库存结存",
                                                     "原有辅助数量", "拼音码"};
        QTest::newRow("销售退货单") << "销售退货单"
                               << QStringList{"流水号", "单据编号", "日期", "应退款", "实退款", "挂账金额", "退回单位",
                                              "联系电话", "联系人", "地址", "备注", "负责人", "客户折扣", "ID",
                                              "单位编号", "当前状态", "单据类别", "销售单位", "销售单位编号", "送货员",
                                              "发货员", "复核员", "时间", "审核人", "审核日期", "传真", "是否红冲",
                                              "红冲操作员"};
        QTest::newRow("销售退货明细") << "销售退货明细"
                                 << kLine + QStringList{"结存", "原有库存数量", "成本价", "换算比率", "辅助库存结存",
                                                        "原有辅助数量", "拼音码"};
        QTest::newRow("报价单") << "报价单"
                            << QStringList{"流水号", "ID", "单据编号", "报价日期", "货款合计", "折扣", "报价金额",
                                           "客户类别", "客户名称", "联系人", "联系电话", "传真", "地址", "经办人", "备注",
                                           "客户编号", "当前状态"};
        QTest::newRow("报价明细") << "报价明细"
                              << QStringList{"流水号", "配件编号", "配件名称", "规格", "单位", "所属车型", "数量", "单价",
                                             "金额", "仓位", "ID"};
    }
    void columns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        expectColumns(*db, table, columns);
    }

    void numbers_data()
    {
        QTest::addColumn<NumberRule>("rule");
        QTest::addColumn<bool>("reversible");
        QTest::newRow("销售订单 XSDD-") << salesOrderNumbers() << false;
        QTest::newRow("销售单 XSCK-") << salesBillNumbers() << true;
        QTest::newRow("销售退货单 XSTH-") << salesReturnNumbers() << true;
    }
    void numbers()
    {
        QFETCH(NumberRule, rule);
        QFETCH(bool, reversible);
        expectUniqueNumbers(*db, rule, reversible);
    }
};

ORV_DB_TEST_MAIN(TestSalesSchema)
#include "tst_db_salesschema.moc"
