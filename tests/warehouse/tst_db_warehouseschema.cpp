// The tables of the internal documents and transfers: columns in their order on both
// databases, numbers kept unique.
#include "schemacheck.h"
#include "testdb.h"
#include "warehouse/warehouseschema.h"

Q_DECLARE_METATYPE(orv::NumberRule)

using namespace orv;
using namespace orv::test;

namespace {
QStringList header(const QStringList &kindColumns)
{
    return QStringList{"流水号", "单据编号", "日期"} + kindColumns +
           QStringList{"金额合计", "摘要", "时间", "是否红冲", "红冲操作员"};
}

const QStringList kGoods = {"流水号", "编号", "名称", "规格", "单位", "辅助单位", "辅助数量", "数量", "单价", "金额",
                            "ID", "条码", "仓位", "供应商", "类别"};
const QStringList kInternalLine =
    kGoods + QStringList{"换算比率", "结存", "原有库存数量", "辅助库存结存", "原有辅助数量", "拼音码"};
const QStringList kTransferLine =
    kGoods + QStringList{"结存", "原有库存数量", "换算比率", "辅助库存结存", "原有辅助数量", "拼音码"};
} // namespace

class TestWarehouseSchema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    // One database for every row: each row reads or writes a table of its own.
    void initTestCase()
    {
        registerWarehouseSchema();
        db = std::make_unique<TestDb>();
    }
    void cleanupTestCase() { db.reset(); }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("车间领用") << "车间领用"
                              << header({"经办人", "ID", "当前状态", "领用部门", "部门编号", "部门经理", "领用员",
                                         "发货员", "复核员"});
        QTest::newRow("成品入库单") << "成品入库单"
                               << header({"开单员", "ID", "当前状态", "相关单位", "单位编号", "部门经理", "送货员",
                                          "复核员"});
        QTest::newRow("次品返工单") << "次品返工单"
                               << header({"开单员", "ID", "当前状态", "相关单位", "单位编号", "部门经理", "送货员",
                                          "复核员"});
        QTest::newRow("货品报损单") << "货品报损单"
                               << header({"开单员", "ID", "当前状态", "报损部门", "部门编号", "部门经理", "财务"}) +
                                      QStringList{"审核人", "审核日期", "复核员"};
        QTest::newRow("借出单") << "借出单"
                            << header({"开单员", "ID", "当前状态", "借出单位", "单位编号", "借出员", "发货员", "开票员",
                                       "复核员"});
        QTest::newRow("归还单") << "归还单"
                            << header({"开单员", "ID", "当前状态", "归还单位", "单位编号", "归还员", "发货员", "开票员",
                                       "复核员"});
        QTest::newRow("赠送单") << "赠送单"
                            << header({"开单员", "ID", "当前状态", "赠送单位", "单位编号", "送货员", "发货员", "开票员",
                                       "复核员"});
        for (const char *lines : {"车间领用明细", "成品入库明细", "次品返工明细", "货品报损明细", "借出单明细",
                                  "归还单明细", "赠送明细"})
            QTest::newRow(lines) << QString::fromUtf8(lines) << kInternalLine;
        QTest::newRow("调拨单") << "调拨单"
                            << QStringList{"流水号", "ID", "单据编号", "负责人", "调出车间", "调入车间", "日期", "摘要",
                                           "发货员", "收货员", "复核员", "金额合计", "当前状态", "时间", "是否红冲",
                                           "红冲操作员"};
        QTest::newRow("调拨明细") << "调拨明细" << kTransferLine;
        QTest::newRow("货品调拨单") << "货品调拨单"
                               << QStringList{"流水号", "ID", "单据编号", "负责人", "调出仓位", "调入仓位", "日期", "摘要",
                                              "金额合计", "当前状态", "时间", "是否红冲", "红冲操作员"};
        QTest::newRow("货品调拨明细") << "货品调拨明细" << kTransferLine;
    }
    void columns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        expectColumns(*db, table, columns);
    }

    // The kinds' rules, as the windows number with them, against the tables and prefixes.
    void numbers_data()
    {
        QTest::addColumn<NumberRule>("rule");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("车间领用") << internalDocNumbers(1) << "车间领用" << "NBLY-";
        QTest::newRow("成品入库") << internalDocNumbers(2) << "成品入库单" << "CPRK-";
        QTest::newRow("次品返工") << internalDocNumbers(3) << "次品返工单" << "CPFG-";
        QTest::newRow("货品报损") << internalDocNumbers(4) << "货品报损单" << "HPBS-";
        QTest::newRow("货品借出") << internalDocNumbers(5) << "借出单" << "HPJC-";
        QTest::newRow("货品归还") << internalDocNumbers(6) << "归还单" << "HPGH-";
        QTest::newRow("公司赠送") << internalDocNumbers(7) << "赠送单" << "HPZS-";
        QTest::newRow("车间调拨") << workshopTransferNumbers() << "调拨单" << "HPDB-";
        QTest::newRow("仓库调拨") << warehouseTransferNumbers() << "货品调拨单" << "CKDB-";
    }
    void numbers()
    {
        QFETCH(NumberRule, rule);
        QFETCH(QString, table);
        QFETCH(QString, prefix);
        QCOMPARE(rule.table, table);
        QCOMPARE(rule.prefix, prefix);
        expectUniqueNumbers(*db, rule, true);
    }
};

ORV_DB_TEST_MAIN(TestWarehouseSchema)
#include "tst_db_warehouseschema.moc"
