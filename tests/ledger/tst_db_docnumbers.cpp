// Document numbers, record IDs and the stock-movement voucher rows, on both databases.
#include "testdb.h"
#include "ledger/docnumbers.h"
#include "ledger/vouchers.h"
#include "common/clock.h"

#include <set>

using namespace orv;
using namespace orv::test;

namespace {
// Local time east of UTC, so a number that took the local date instead of the UTC one shows.
const bool kZone = (qputenv("TZ", "Asia/Shanghai"), true);

QDateTime utc(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC); }

struct PinnedClock {
    explicit PinnedClock(const QDateTime &t) { Clock::pin(t); }
    ~PinnedClock() { Clock::pin(QDateTime()); }
};

void addVoucherNo(TestDb &t, const QString &no) { t.exec("insert into 出入库单(单据编号) values(?)", {no}); }

QString textOf(DataSet &q, const char *field) { return q.fieldByName(field).asString(); }
} // namespace

class TestDocNumbers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_UNUSED(kZone);
        registerLedgerSchema();
    }
    void cleanup() { Clock::pin(QDateTime()); }

    void recordIdForm_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("head");
        QTest::newRow("09:30 UTC is hour 17") << utc(2026, 3, 5, 9, 30, 5) << "20260305173005";
        QTest::newRow("17:30 UTC is hour 25, date kept") << utc(2026, 3, 5, 17, 30, 0) << "20260305253000";
        QTest::newRow("midnight is 08") << utc(2026, 12, 31, 0, 0, 0) << "20261231080000";
        QTest::newRow("last second is 31") << utc(2027, 1, 9, 23, 59, 59) << "20270109315959";
    }
    void recordIdForm()
    {
        QFETCH(QDateTime, at);
        QFETCH(QString, head);
        PinnedClock pin(at);
        std::set<QString> seen;
        for (int i = 0; i < 500; ++i) {
            const QString id = makeRecordID();
            QCOMPARE(id.size(), 24);
            QCOMPARE(id.left(14), head);
            bool ok = false;
            const qint64 r = id.mid(14).toLongLong(&ok);
            QVERIFY(ok && r >= 0 && r < 2100000000);
            seen.insert(id);
        }
        // Made in one second, yet all different.
        QCOMPARE(int(seen.size()), 500);
    }

    void nextNumber_data()
    {
        QTest::addColumn<QStringList>("stored"); // in insert order
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of the day") << QStringList{} << 1 << "RK-260305-001";
        QTest::newRow("tenth") << QStringList{"RK-260305-009"} << 1 << "RK-260305-010";
        QTest::newRow("after 099") << QStringList{"RK-260305-099"} << 1 << "RK-260305-100";
        QTest::newRow("998 then 999") << QStringList{"RK-260305-998"} << 1 << "RK-260305-999";
        QTest::newRow("yesterday does not count") << QStringList{"RK-260304-005"} << 1 << "RK-260305-001";
        QTest::newRow("kinds count apart") << QStringList{"RK-260305-007"} << 2 << "CK-260305-001";
        QTest::newRow("stock taking") << QStringList{"PD-260305-001"} << 3 << "PD-260305-002";
        QTest::newRow("last inserted, not highest") << QStringList{"RK-260305-007", "RK-260305-002"} << 1
                                                    << "RK-260305-003";
        QTest::newRow("earlier row holds the next serial")
            << QStringList{"RK-260305-003", "RK-260305-004", "RK-260305-002"} << 1 << "RK-260305-005";
        QTest::newRow("tail not a serial") << QStringList{"RK-260305-001", "RK-260305-"} << 1 << "RK-260305-002";
        QTest::newRow("lower case prefix is another prefix") << QStringList{"rk-260305-004"} << 1 << "RK-260305-001";
    }
    void nextNumber()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        TestDb t;
        for (const auto &no : stored)
            addVoucherNo(t, no);
        // 17:30 UTC is already the next day in Beijing: the number keeps the UTC date.
        PinnedClock pin(utc(2026, 3, 5, 17, 30, 0));
        DocNumbers n(t.conn(), voucherNumberRule(kind));
        QCOMPARE(n.propose(), expected); // no transaction needed: nothing is reserved
        {
            Transaction tx(t.conn());
            QCOMPARE(n.next(), expected);
            QCOMPARE(n.makeFree(expected), expected); // free: stays
            // Stored under the number: a taken serial is found by the unique index and passed.
            QCOMPARE(n.insertNumbered([&](const QString &no) {
                t.conn().exec("insert into 出入库单(单据编号) values(?)", {no});
            }),
                     expected);
        } // rolled back
        Transaction tx(t.conn());
        VoucherWriter w(t.conn());
        QCOMPARE(w.writeHeader(kind, {}).number, expected);
    }

    // Allocation and every write of the ledger refuse to run outside a transaction.
    void outsideATransactionIsRefused()
    {
        TestDb t;
        DocNumbers n(t.conn(), voucherNumberRule(VoucherIn));
        VoucherWriter w(t.conn());
        const auto refused = [](const std::function<void()> &f) {
            try {
                f();
            } catch (const DbError &e) {
                return e.message().contains("必须在事务中执行");
            }
            return false;
        };
        QVERIFY(refused([&] { n.next(); }));
        QVERIFY(refused([&] { n.makeFree("RK-260305-001"); }));
        QVERIFY(refused([&] { n.insertNumbered([](const QString &) {}); }));
        QVERIFY(refused([&] { w.writeHeader(VoucherIn, {}); }));
        QVERIFY(refused([&] { w.writeLine("X", {}); }));
        QVERIFY(refused([&] { w.prepareHeader(frmDataModule->ADOQuery(14), VoucherIn); }));
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
    }

    void dayChangeRestartsSerial()
    {
        TestDb t;
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        Clock::pin(utc(2026, 3, 5, 23, 59, 59));
        QCOMPARE(w.writeHeader(VoucherIn, {}).number, QString("RK-260305-001"));
        QCOMPARE(w.writeHeader(VoucherIn, {}).number, QString("RK-260305-002"));
        QCOMPARE(w.writeHeader(VoucherOut, {}).number, QString("CK-260305-001"));
        Clock::pin(utc(2026, 3, 6, 0, 0, 1));
        const VoucherRef ref = w.writeHeader(VoucherIn, {});
        QCOMPARE(ref.number, QString("RK-260306-001"));
        QCOMPARE(ref.id.left(14), QString("20260306080001"));
        tx.commit();
    }

    void sanhaoMovesToFreeNumber()
    {
        TestDb t;
        for (const char *no : {"RK-260305-002", "RK-260305-003", "RK-260305-005"})
            addVoucherNo(t, no);
        Transaction tx(t.conn());
        DocNumbers n(t.conn(), voucherNumberRule(VoucherIn));
        // Taken, and so is the bumped number: moved on until free, never used twice.
        QCOMPARE(n.makeFree("RK-260305-002"), QString("RK-260305-004"));
        QCOMPARE(n.makeFree("RK-260305-001"), QString("RK-260305-001"));
        DocNumbers goods(t.conn(), {"出入库单", "单据编号", "HP", false});
        QCOMPARE(goods.makeFree("HP260305001"), QString("HP260305001"));
    }

    void serialPast999IsRefused()
    {
        TestDb t;
        addVoucherNo(t, "RK-260305-999");
        PinnedClock pin(utc(2026, 3, 5, 10, 0, 0));
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        try {
            w.writeHeader(VoucherIn, {});
            QFAIL("a 1000th number was made");
        } catch (const NumbersExhausted &e) {
            QCOMPARE(e.message(), QString("今日单据编号已用完：RK-260305-999 已是当天最后一个编号"));
        }
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 1);
        DocNumbers n(t.conn(), voucherNumberRule(VoucherIn));
        QVERIFY_THROWS_EXCEPTION(NumbersExhausted, n.makeFree("RK-260305-999"));
        // The other kinds still have their numbers.
        QCOMPARE(w.writeHeader(VoucherOut, {}).number, QString("CK-260305-001"));
    }

    // The serial after the day's last stored number (the last stored, not the highest), past
    // any taken one; a last number with no serial at its end starts the day again at 001.
    void voucherNumberAfterStoredOnes_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList{} << "RK-260305-001";
        QTest::newRow("after the last") << QStringList{"RK-260305-001", "RK-260305-002"} << "RK-260305-003";
        QTest::newRow("last stored is lower") << QStringList{"RK-260305-007", "RK-260305-004"} << "RK-260305-005";
        QTest::newRow("next is taken") << QStringList{"RK-260305-002", "RK-260305-001"} << "RK-260305-003";
        QTest::newRow("no serial at the end") << QStringList{"RK-260305-0x1"} << "RK-260305-001";
        QTest::newRow("other day") << QStringList{"RK-260304-005"} << "RK-260305-001";
    }
    void voucherNumberAfterStoredOnes()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, expected);
        TestDb t;
        for (const QString &no : stored)
            addVoucherNo(t, no);
        PinnedClock pin(utc(2026, 3, 5, 10, 0, 0));
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        QCOMPARE(w.writeHeader(VoucherIn, {}).number, expected);
        tx.commit();
        QCOMPARE(t.scalar("select count(*) from 出入库单 where 单据编号 = ?", {expected}).toInt(), 1);
    }

    void twoClientsNeverShareANumber()
    {
        TestDb t;
        PinnedClock pin(utc(2026, 3, 5, 10, 0, 0));
        const int perClient = 15;
        QStringList numbers[2];
        const QString failure = runClients(t, 2, [&](int n, Connection &conn) {
            VoucherWriter w(conn);
            for (int i = 0; i < perClient; ++i) {
                Transaction tx(conn);
                VoucherLine line;
                line.goodsNo = "G1";
                line.qty = 1;
                const QString id = makeRecordID();
                w.writeLine(id, line);
                const VoucherRef ref = w.writeHeader(VoucherIn, {}, id);
                tx.commit();
                numbers[n] << ref.number;
            }
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const QStringList all = numbers[0] + numbers[1];
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 2 * perClient);
        for (const auto &no : all)
            QVERIFY2(no.size() == 13 && no.startsWith("RK-260305-"), qPrintable(no));
        QCOMPARE(t.scalar("select count(distinct 单据编号) from 出入库单").toInt(), 2 * perClient);
        QCOMPARE(t.scalar("select count(*) from 出入库明细").toInt(), 2 * perClient);
    }

    // The number is read without a lock; a client that stored it first makes the insert clash
    // on the unique index, and the next free number is taken without a word to the operator.
    // Either way of inserting: failing on the index under a savepoint, or inserting nothing.
    void clashRetriesWithTheNextFreeNumber_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::newRow("insert fails") << false;
        QTest::newRow("insert does nothing") << true;
    }
    void clashRetriesWithTheNextFreeNumber()
    {
        QFETCH(bool, quiet);
        if (!TestDb::isPostgres())
            QSKIP("SQLite lets one writer at a time: no client can take the number meanwhile");
        TestDb t;
        PinnedClock pin(utc(2026, 3, 5, 10, 0, 0));
        auto other = t.secondClient("other");
        DocNumbers n(t.conn(), voucherNumberRule(VoucherIn));
        Transaction tx(t.conn());
        int calls = 0;
        const auto takeFirst = [&](const QString &no) {
            if (calls++ == 0)
                other->exec("insert into 出入库单(单据编号) values(?)", {no}); // committed at once
        };
        const QString got =
            quiet ? n.insertNumberedQuiet([&](const QString &no) {
                takeFirst(no);
                QSqlQuery q(t.conn().db());
                q.prepare("insert into 出入库单(单据编号, 原因) values(?, 'mine') on conflict (单据编号) do nothing");
                q.addBindValue(no);
                t.conn().run(q);
                return q.numRowsAffected() > 0;
            })
                  : n.insertNumbered([&](const QString &no) {
                        takeFirst(no);
                        t.conn().exec("insert into 出入库单(单据编号, 原因) values(?, 'mine')", {no});
                    });
        tx.commit();
        QCOMPARE(calls, 2);
        QCOMPARE(got, QString("RK-260305-002"));
        QCOMPARE(t.scalar("select 单据编号 from 出入库单 where 原因 = 'mine'").toString(), got);
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 2);
    }

    // A clash on another unique column is the caller's fault: reported, not retried.
    void otherClashIsNotRetried()
    {
        TestDb t;
        DocNumbers n(t.conn(), voucherNumberRule(VoucherIn));
        Transaction tx(t.conn());
        int calls = 0;
        QVERIFY_THROWS_EXCEPTION(UniqueViolation, n.insertNumbered([&](const QString &) {
            ++calls;
            t.conn().exec("insert into 出入库单(流水号) values(1)");
            t.conn().exec("insert into 出入库单(流水号) values(1)");
        }));
        QCOMPARE(calls, 1);
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
    }

    // A number another client is saving (not yet committed) is passed at once: the second
    // client does not wait for the first one's commit, and no number is stored twice.
    void numberBeingSavedIsPassedWithoutWaiting()
    {
        if (!TestDb::isPostgres())
            QSKIP("SQLite lets one writer at a time");
        TestDb t;
        PinnedClock pin(utc(2026, 3, 5, 10, 0, 0));
        auto other = t.secondClient("other");
        other->exec("set statement_timeout = 5000"); // a wait shows as a failure, not a hang
        VoucherWriter mine(t.conn()), theirs(*other);
        Transaction first(t.conn());
        QCOMPARE(mine.writeHeader(VoucherIn, {}).number, QString("RK-260305-001"));
        {
            Transaction second(*other);
            QCOMPARE(theirs.writeHeader(VoucherIn, {}).number, QString("RK-260305-002"));
            second.commit();
        }
        first.commit();
        QCOMPARE(t.scalar("select count(distinct 单据编号) from 出入库单").toInt(), 2);
    }

    void duplicateNumberIsRejectedByTheDatabase()
    {
        TestDb t;
        addVoucherNo(t, "RK-260305-001");
        DataSet q(&t.conn());
        q.setSql("insert into 出入库单(单据编号) values(?)");
        q.addBindValue("RK-260305-001");
        QVERIFY_THROWS_EXCEPTION(DbError, q.execSQL());
    }

    // The main window's protocol: prepare, the caller binds its part, execute.
    void preparedVoucherRows()
    {
        TestDb t;
        PinnedClock pin(utc(2026, 3, 5, 17, 30, 0));
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        DataSet &h = frmDataModule->ADOQuery(14);
        const VoucherRef ref = w.prepareHeader(h, VoucherOut);
        QCOMPARE(ref.number, QString("CK-260305-001"));
        QCOMPARE(ref.id.left(10), QString("2026030525"));
        h.bindValue(":jinchuID", ref.id);
        h.bindValue(":jinchuyinyongdanhao", "CGJH-260305-001");
        h.bindValue(":jinchuyinyongID", "202603052530001234567890");
        h.bindValue(":jinchuyinyongleibie", "车间领用");
        h.bindValue(":jinchuruqi", "2026-03-06");
        h.bindValue(":jinchuzhidanren", "001.张三");
        h.bindValue(":yuanyin", "车间领用");
        h.bindValue(":danjuleibie", "出库");
        h.bindValue(":beizhu", "it's a remark");
        h.bindValue(":shenheren", "");
        h.bindValue(":shenheriqi", "2026-03-06");
        h.bindValue(":danwei", "01.一车间");
        h.bindValue(":danweibianhao", "01");
        h.bindValue(":lianxiren", "李四");
        h.bindValue(":lianxidianhua", "");
        QCOMPARE(h.execSQL(), 1);

        DataSet &l = frmDataModule->ADOQuery(12);
        w.prepareLine(l);
        const QStringList params = {"pjNo", "pjName", "pjGg", "pjUnit", "pjPrice", "pjAmount", "pjMoney", "onlyID",
                                    "cangwei", "fuzhushuliang", "fuzhudanwei", "leibie", "gongyingshang", "tiaoma",
                                    "jiecun", "yuanyoukucun", "leixing", "huansuanbilv", "fuzhukucunjiecun",
                                    "yuanyoufuzhushuliang", "pinyinma"};
        const QVariantList values = {"HP260305001", "螺丝", "M6", "个", 2.5, 12.0, 30.0, ref.id, "一号库",
                                     2.0, "盒", "五金", "DW260301001.某厂", "6901234567890", 8.0, 20.0, "出库",
                                     6.0, 1.0, 3.0, "LS"};
        for (int i = 0; i < params.size(); ++i)
            l.bindValue(":" + params[i], values[i]);
        QCOMPARE(l.execSQL(), 1);
        tx.commit();

        DataSet r(&t.conn());
        r.setSql("select * from 出入库单");
        r.open();
        QCOMPARE(r.recordCount(), 1);
        const QList<QPair<const char *, QString>> header = {
            {"ID", ref.id}, {"引用单号", "CGJH-260305-001"}, {"引用ID", "202603052530001234567890"},
            {"引用类别", "车间领用"}, {"单据编号", "CK-260305-001"}, {"制单日期", "2026-03-06"},
            {"制单人", "001.张三"}, {"当前状态", "已审核"}, {"原因", "车间领用"}, {"单据类别", "出库"},
            {"单据备注", "it's a remark"}, {"审核人", ""}, {"审核日期", "2026-03-06"}, {"相关单位", "01.一车间"},
            {"单位编号", "01"}, {"联系人", "李四"}, {"联系电话", ""}, {"时间", "01:30:00"}, {"是否红冲", "False"}};
        for (const auto &[col, want] : header)
            QCOMPARE(textOf(r, col), want);
        QVERIFY(r.fieldByName("相关部门").isNull()); // left unbound
        QVERIFY(r.fieldByName("红冲操作员").isNull());

        r.setSql("select * from 出入库明细");
        r.open();
        QCOMPARE(r.recordCount(), 1);
        const QStringList cols = {"编号", "名称", "规格", "单位", "单价", "数量", "金额", "ID", "仓位", "辅助数量",
                                  "辅助单位", "类别", "供应商", "条码", "结存", "原有库存数量", "类型", "换算比率",
                                  "辅助库存结存", "原有辅助数量", "拼音码"};
        for (int i = 0; i < cols.size(); ++i)
            QCOMPARE(r.fieldByName(cols[i]).asString(), values[i].toString());

        // A line whose caller binds nothing is all NULL but its key.
        w.prepareLine(l);
        QCOMPARE(l.execSQL(), 1);
        QCOMPARE(t.scalar("select count(*) from 出入库明细 where 编号 is null and 数量 is null and ID is null").toInt(), 1);
    }

    void typedVoucherRows()
    {
        TestDb t;
        PinnedClock pin(utc(2026, 3, 5, 2, 4, 6));
        VoucherWriter w(t.conn());
        Transaction tx(t.conn());
        VoucherHeader h;
        h.refNo = "CGJH-260305-001";
        h.refID = "R1";
        h.reason = "采购进货";
        h.date = "2026/3/5";
        h.maker = "001.张三";
        h.category = "入库";
        h.auditDate = "2026-3-5";
        h.partner = "DW1.某厂";
        const QString id = makeRecordID();
        VoucherLine l;
        l.goodsNo = "HP1";
        l.name = "螺丝";
        l.price = "2.5";
        l.qty = "12";
        l.amount = 30.00004;
        l.auxQty = "";
        l.stockBefore = "0";
        l.stockAfter = 12;
        l.kind = "入库";
        l.ratio = "6";
        w.writeLine(id, l);
        l.qty = "1.23456";
        w.writeLine(id, l);
        l.qty = "twelve";
        QVERIFY_THROWS_EXCEPTION(DbError, w.writeLine(id, l));
        const VoucherRef ref = w.writeHeader(VoucherIn, h, id);
        tx.commit();

        DataSet r(&t.conn());
        r.setSql("select * from 出入库单");
        r.open();
        QCOMPARE(textOf(r, "ID"), ref.id);
        QCOMPARE(textOf(r, "单据编号"), QString("RK-260305-001"));
        QCOMPARE(textOf(r, "引用类别"), QString("采购进货"));
        QCOMPARE(textOf(r, "原因"), QString("采购进货"));
        QCOMPARE(textOf(r, "制单日期"), QString("2026-03-05"));
        QCOMPARE(textOf(r, "审核日期"), QString("2026-03-05"));
        QCOMPARE(textOf(r, "时间"), QString("10:04:06"));
        QCOMPARE(textOf(r, "是否红冲"), QString("False"));
        QVERIFY(r.fieldByName("审核人").isNull());
        QVERIFY(r.fieldByName("相关部门").isNull());
        r.setSql("select * from 出入库明细 order by 流水号");
        r.open();
        QCOMPARE(r.recordCount(), 2);
        QCOMPARE(textOf(r, "ID"), ref.id);
        QCOMPARE(textOf(r, "单价"), QString("2.5"));
        QCOMPARE(textOf(r, "数量"), QString("12"));
        QCOMPARE(textOf(r, "金额"), QString("30"));
        QCOMPARE(textOf(r, "结存"), QString("12"));
        QCOMPARE(textOf(r, "原有库存数量"), QString("0"));
        QCOMPARE(textOf(r, "换算比率"), QString("6"));
        QVERIFY(r.fieldByName("辅助数量").isNull());
        r.next();
        QCOMPARE(textOf(r, "数量"), QString("1.2346")); // a currency value
    }

    void failedSaveLeavesNoVoucher()
    {
        TestDb t;
        VoucherWriter w(t.conn());
        try {
            Transaction tx(t.conn());
            const VoucherRef ref = w.writeHeader(VoucherOut, {});
            VoucherLine l;
            l.qty = "x";
            w.writeLine(ref.id, l);
            tx.commit();
            QFAIL("a line with a quantity of \"x\" was written");
        } catch (const DbError &) {
        }
        QCOMPARE(t.scalar("select count(*) from 出入库单").toInt(), 0);
    }
};

ORV_DB_TEST_MAIN(TestDocNumbers)
#include "tst_db_docnumbers.moc"
