// A database of an earlier build, whose quantities were floating point, is brought to exact
// quantities when a client connects.
#include "testdb.h"
#include "data/schema.h"
#include "goods/goodsschema.h"

using namespace orv;
using namespace orv::test;

class TestMigrations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerGoodsSchema(); }

    void floatingQuantitiesBecomeExact()
    {
        TestDb t;
        if (TestDb::isPostgres()) {
            for (const char *col : {"库存", "进货价", "辅助库存"})
                t.conn().exec(QString("alter table 货品目录 alter column %1 type DOUBLE PRECISION").arg(col));
            t.conn().exec("alter table 出入库明细 alter column 结存 type DOUBLE PRECISION");
            t.conn().exec("alter table 货品仓库 alter column 库存 type DOUBLE PRECISION");
        }
        t.exec("update 架构版本 set 版本 = 1 where 子系统 in ('ledger', 'goods')");
        // What ten receipts of 0.1 left in a floating-point column.
        t.exec("insert into 货品目录(编号,名称,仓位,库存,进货价) values('HP1','螺丝','A',?,?)",
               {0.1 * 3 + 0.1 * 7 - 1e-12, 2.00004999});
        t.exec("insert into 货品仓库(仓位,库存,货品编号) values('A',?,'HP1')", {0.30000000000000004});

        t.conn().open(t.settings());

        QCOMPARE(Schema::storedVersion(t.conn(), "ledger"), Schema::latestVersion("ledger"));
        QCOMPARE(Schema::storedVersion(t.conn(), "goods"), Schema::latestVersion("goods"));
        // The stock compares equal to 1, as an issue of 1 will ask.
        QCOMPARE(t.scalar("select count(*) from 货品目录 where 库存 = 1 and 进货价 = 2").toInt(),
                 TestDb::isPostgres() ? 1 : 0);
        QCOMPARE(t.scalar("select count(*) from 货品仓库 where 库存 = 0.3").toInt(), TestDb::isPostgres() ? 1 : 0);
        if (TestDb::isPostgres()) {
            const QString types = t.scalar("select string_agg(table_name || '.' || column_name || ':' || data_type, ',' "
                                           "order by table_name, column_name) from information_schema.columns "
                                           "where (table_name = '货品目录' and column_name in ('库存','进货价','辅助库存')) "
                                           "or (table_name = '出入库明细' and column_name = '结存') "
                                           "or (table_name = '货品仓库' and column_name = '库存')")
                                      .toString();
            QVERIFY2(!types.contains("double"), qPrintable(types));
        }
    }
};

ORV_DB_TEST_MAIN(TestMigrations)
#include "tst_db_migrations.moc"
