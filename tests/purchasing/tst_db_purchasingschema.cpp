// The purchasing tables: columns in their order on both databases, numbers kept unique.
#include "schemacheck.h"
#include "testdb.h"
#include "purchasing/purchasingschema.h"

Q_DECLARE_METATYPE(orv::NumberRule)

using namespace orv;
using namespace orv::test;

namespace {
// The goods columns every purchasing line starts with.
const QStringList kLine = {"流水号", "编号", "名称", "规格", "单位", "辅助单位", "辅助数量", "数量", "单价",
                           "金额", "ID", "条码", "仓位", "供应商", "类别"};
} // namespace

class TestPurchasingSchema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    // One database for every row: each row reads or writes a table of its own.
    void initTestCase()
    {
        registerPurchasingSchema();
        db = std::make_unique<TestDb>();
    }
    void cleanupTestCase() { db.reset(); }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("采购订单") << "采购订单"
                              << QStringList{"流水号", "单据编号", "日期", "负责人", "供应商", "金额合计", "ID", "备注",
                                             "当前状态", "开票员", "申请人", "原始编号", "审核人", "审核日期"};
        QTest::newRow("采购订单明细") << "采购订单明细" << kLine + QStringList{"换算比率"};
        QTest::newRow("采购单") << "采购单"
                            << QStringList{"流水号", "单据编号", "日期", "负责人", "供应商", "金额合计", "ID", "备注",
                                           "当前状态", "开票员", "申请人"};
        QTest::newRow("采购明细") << "采购明细" << kLine + QStringList{"换算比率"};
        QTest::newRow("采购入库单") << "采购入库单"
                               << QStringList{"流水号", "单据编号", "开单日期", "开单人", "ID", "当前状态", "备注",
                                              "供应商", "合计应付", "供应商编号", "送货员", "验收员", "收货员",
                                              "复核员", "原始编号", "实际付款", "挂账金额", "时间", "是否红冲",
                                              "红冲操作员"};
        QTest::newRow("采购入库明细") << "采购入库明细"
                                 << kLine + QStringList{"结存", "原有库存数量", "换算比率", "辅助库存结存",
                                                        "原有辅助数量", "拼音码"};
        QTest::newRow("采购退货单") << "采购退货单"
                               << QStringList{"流水号", "单据编号", "日期", "经办人", "供应商", "合计应收", "ID",
                                              "备注", "当前状态", "单据类别", "供应商编号", "发货员", "复核员",
                                              "送货员", "实际收款", "挂账金额", "时间", "审核人", "审核日期",
                                              "是否红冲", "红冲操作员", "开票员", "负责人"};
        QTest::newRow("采购退货明细") << "采购退货明细"
                                 << kLine + QStringList{"换算比率", "结存", "原有库存数量", "辅助库存结存",
                                                        "原有辅助数量", "拼音码"};
        QTest::newRow("配件目录") << "配件目录"
                              << QStringList{"流水号", "编号", "名称", "规格", "单位", "所属车型", "进货价", "助记码",
                                             "仓位", "维修价", "销售价", "供应价", "库存", "警戒库存"};
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
        QTest::newRow("采购订单 CGDH-") << purchaseOrderNumbers() << false;
        QTest::newRow("采购单 CG-") << purchaseBillNumbers() << false;
        QTest::newRow("采购入库单 CGJH-") << receiptNumbers() << true;
        QTest::newRow("采购退货单 CGTH-") << purchaseReturnNumbers() << true;
    }
    void numbers()
    {
        QFETCH(NumberRule, rule);
        QFETCH(bool, reversible);
        expectUniqueNumbers(*db, rule, reversible);
    }
};

ORV_DB_TEST_MAIN(TestPurchasingSchema)
#include "tst_db_purchasingschema.moc"
