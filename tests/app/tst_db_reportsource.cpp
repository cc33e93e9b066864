// The data module's datasets serve reports: found by dotted name, walked by a data band's cursor.
#include "testdb.h"

#include "app/reportdatasource.h"
#include "report/engine/frdataset.h"
#include "report/engine/frutils.h"

using namespace orv;
using namespace orv::test;

class TestReportSource : public QObject {
    Q_OBJECT
private slots:
    void walkedByAReportCursor()
    {
        TestDb t;
        for (const char *n : {"甲", "乙"})
            t.exec("insert into 用户管理(姓名,密码,权限,禁用) values(?,?,?,?)", {QString::fromUtf8(n), "x", "g", true});
        registerDataModuleForReports();
        DataSet &q = frmDataModule->ADOQuery(3);
        q.setSql("select 姓名,禁用,流水号 from 用户管理 order by 流水号");

        IfrDataSource *ds = nullptr;
        QString field;
        FindDataSetField("frmDataModule.ADOQuery3.\"姓名\"", ds, field);
        QVERIFY(ds);
        TfrDBDataSet cursor;
        cursor.SetDataSet(ds);
        cursor.Init(); // opens the dataset's query
        FindDataSetField("frmDataModule.ADOQuery3.\"姓名\"", ds, field); // fields known once open
        QCOMPARE(field, QString("姓名"));
        QCOMPARE(ds->RecordCount(), 3);
        QCOMPARE(ds->FieldType(1), TfrFieldType::Boolean);
        QStringList names;
        for (cursor.First(); !cursor.Eof(); cursor.Next())
            names << ds->Value(ds->FieldIndex("姓名")).toString();
        QCOMPARE(names, QStringList({"admin", "甲", "乙"}));

        const TfrBookmark second = 1;
        ds->GotoBookmark(second);
        QCOMPARE(ds->Value(0).toString(), QString("甲"));
        QCOMPARE(ds->Value(1).toBool(), true);
        QCOMPARE(ds->GetBookmark(), second);
    }
};

ORV_DB_TEST_MAIN(TestReportSource)
#include "tst_db_reportsource.moc"
