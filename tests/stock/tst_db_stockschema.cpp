// The stock-taking tables: columns in their order on both databases, bill numbers kept unique.
#include "schemacheck.h"
#include "testdb.h"
#include "stock/stockschema.h"

using namespace orv;
using namespace orv::test;

class TestStockSchema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db;

private slots:
    // One database for every row: each row reads or writes a table of its own.
    void initTestCase()
    {
        registerStockSchema();
        db = std::make_unique<TestDb>();
    }
    void cleanupTestCase() { db.reset(); }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("盘点单") << "盘点单"
                            << QStringList{"流水号", "单据编号", "日期", "负责人", "盈亏金额", "盈亏数量", "ID", "时间"};
        QTest::newRow("盘点明细") << "盘点明细"
                              << QStringList{"流水号", "编号", "名称", "数量", "单价", "实盘数量", "ID", "盘盈盘亏", "金额",
                                             "盘盈亏金额", "规格", "仓位", "单位", "辅助数量", "类别"};
    }
    void columns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        expectColumns(*db, table, columns);
    }

    void numbers()
    {
        expectUniqueNumbers(*db, stockTakeNumbers(), false);
    }
};

ORV_DB_TEST_MAIN(TestStockSchema)
#include "tst_db_stockschema.moc"
