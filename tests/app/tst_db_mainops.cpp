// The main window's shared voucher operations, used the way document windows post stock.
#include "testdb.h"

#include "ledger/vouchers.h"
#include "app/frmmain.h"

using namespace orv;
using namespace orv::test;

class TestMainOps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerLedgerSchema(); }

    void voucherThroughInsertAndInsertintoming()
    {
        TestDb t;
        Clock::pin(QDateTime(QDate(2026, 3, 5), QTime(2, 0), Qt::UTC));
        {
            Transaction tx(t.conn());
            G.gVoucherKind = 1;
            TfrmMain::insert();
            DataSet &h = frmDataModule->ADOQuery(14);
            h.bindValue("jinchuID", G.gNewRecordID);
            h.bindValue("jinchuyinyongdanhao", "CGJH-260305-001");
            h.bindValue("danjuleibie", "入库");
            h.execSQL();
            for (int i = 0; i < 2; ++i) {
                TfrmMain::insertintoming();
                DataSet &l = frmDataModule->ADOQuery(12);
                l.bindValue("pjNo", QString("HP26030500%1").arg(i + 1));
                l.bindValue("pjName", "钢管");
                l.bindValue("onlyID", G.gNewRecordID);
                l.bindValue("pjAmount", 3.0);
                l.bindValue("leixing", "入库");
                l.execSQL();
            }
            tx.commit();
        }
        QCOMPARE(G.gVoucherNo, QString("RK-260305-001"));
        QCOMPARE(G.gNewRecordID.size(), 24);
        QCOMPARE(t.scalar("select 单据编号 from 出入库单 where ID=?", {G.gNewRecordID}).toString(), G.gVoucherNo);
        QCOMPARE(t.scalar("select 当前状态 from 出入库单").toString(), QString("已审核"));
        QCOMPARE(t.scalar("select count(*) from 出入库明细 where ID=?", {G.gNewRecordID}).toInt(), 2);

        // The next voucher of the day takes the next serial; the other forwarders fill the
        // program state the same way.
        {
            Transaction tx(t.conn());
            TfrmMain::insert();
            QCOMPARE(G.gVoucherNo, QString("RK-260305-002"));
            QCOMPARE(TfrmMain::getTaskNo(), QString("RK-260305-002"));
            G.gVoucherNo = "RK-260305-001";
            QCOMPARE(TfrmMain::sanhao(), QString("RK-260305-002"));
            QCOMPARE(G.gVoucherNo, QString("RK-260305-002"));
        }
        QCOMPARE(TfrmMain::getDbIDField(), G.gNewRecordID);
        QCOMPARE(G.gNewRecordID.left(10), QString("2026030510"));
        Clock::pin(QDateTime());
    }
};

ORV_DB_TEST_MAIN(TestMainOps)
#include "tst_db_mainops.moc"
