// Saving an internal document of each kind: the header, line and voucher rows from the kind's
// columns; the stock moved (out, in with a row created, none for the loss report); the stock
// check added up per goods row, a shortage writing nothing; a taken number moving on; the
// checks before the save; and the print's texts by kind.
#include "documentfixture.h"

#include "data/dataset.h"
#include "warehouse/internalposting.h"
#include "warehouse/internalprint.h"

Q_DECLARE_METATYPE(QVector<orv::SavedLine>)

using namespace orv;
using namespace orv::test;
using namespace documenttest;

namespace {

InternalHeader header(const InternalKind &k, const QString &number = QString())
{
    InternalHeader h;
    h.number = number.isEmpty() ? QString::fromUtf8(k.prefix) + "260307-001" : number;
    h.date = "2026-03-07";
    h.clerk = "001.张三";
    h.party = "BM01.一车间";
    h.partyCode = "BM01";
    h.manager = "周经理";
    h.remark = "三月";
    int n = 2;
    for (const InternalField &f : k.staff)
        if (f.column)
            h.staff.insert(QString::fromUtf8(f.column), QStringLiteral("00%1.员工%1").arg(n++));
    return h;
}

SavedLine line(int row, const QString &no, double qty, double auxQty = 1, double price = 3, const QString &place = "一号库")
{
    SavedLine l;
    l.gridRow = row;
    l.goodsNo = no;
    l.name = "货品" + no;
    l.spec = "规格";
    l.unit = "个";
    l.auxUnit = "箱";
    l.barcode = "690" + no;
    l.place = place;
    l.supplier = "DW9.货品的供应商";
    l.category = "五金";
    l.qty = qty;
    l.auxQty = auxQty;
    l.price = price;
    l.amount = round4(qty * price);
    l.ratio = 2.0;
    return l;
}

void addStock(TestDb &t, const QString &no, double stock, double aux = 4)
{
    addGoods(t, {{"编号", no}, {"名称", "货品" + no}, {"仓位", "一号库"}, {"库存", stock}, {"辅助库存", aux},
                 {"进货价", 3}, {"换算比率", 2}, {"助记码", "HP"}});
}

QVariantList row(TestDb &t, const QString &sql, const QVariantList &binds = {})
{
    DataSet q(&t.conn());
    q.setSql(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    q.open();
    QVariantList out;
    if (q.isEmpty())
        return out;
    for (int i = 0; i < q.fieldCount(); ++i)
        out << q.fields(i).value();
    return out;
}

int count(TestDb &t, const QString &table) { return t.scalar("select count(*) from " + table).toInt(); }

// Every table a save of the kind may write, counted, and the stock of every goods row.
QList<QVariant> footprint(TestDb &t, const InternalKind &k)
{
    QList<QVariant> out;
    for (const char *table : {k.header, k.lines, "出入库单", "出入库明细", "货品目录"})
        out << count(t, QString::fromUtf8(table));
    DataSet q(&t.conn());
    q.setSql("select 编号, 库存, 辅助库存 from 货品目录 order by 流水号");
    q.open();
    for (q.first(); !q.eof(); q.next())
        out << q.fields(0).asString() + ":" + q.fields(1).asString() + "/" + q.fields(2).asString();
    return out;
}

} // namespace

class TestInternalDocs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerTables(); }
    void init() { resetProgramState(); }
    void cleanup() { Clock::pin(QDateTime()); }

    // One line of goods A (stock 5, aux 4) saved by each kind: what every table holds after.
    void savedValues_data()
    {
        QTest::addColumn<int>("kind");
        for (const InternalKind &k : kInternalKinds)
            QTest::newRow(k.caption) << k.kind;
    }
    void savedValues()
    {
        QFETCH(int, kind);
        const InternalKind &k = internalKind(kind);
        TestDb t;
        addStock(t, "A", 5);
        InternalPosting posting(t.conn());
        const InternalHeader h = header(k);
        const QVector<SavedLine> lines{line(1, "A", 2, 1, 3)};
        QCOMPARE(posting.firstShortRow(k, lines), 0);
        const auto r = posting.save(k, h, lines);
        QVERIFY(r.ok());
        QCOMPARE(r.number, h.number);
        QCOMPARE(r.id.size(), 24);

        // The header: the kind's operator, party, code and staff columns.
        QString staffColumns;
        QVariantList staffValues;
        for (const InternalField &f : k.staff)
            if (f.column) {
                staffColumns += QString(",") + f.column;
                staffValues << h.staff.value(QString::fromUtf8(f.column));
            }
        const QString headerSql = QString("select 单据编号,日期,%1,ID,当前状态,%2,%3%4,金额合计,摘要 from %5")
                                      .arg(k.operatorColumn, k.partyColumn, k.codeColumn, staffColumns, k.header);
        const QString state = k.direction == InternalDirection::Pending ? "待审核" : "已审核";
        QCOMPARE(row(t, headerSql),
                 QVariantList({h.number, "2026-03-07", "001.张三", r.id, state, "BM01.一车间", "BM01"}) + staffValues +
                     QVariantList({6.0, "三月"}));
        QCOMPARE(t.scalar(QString("select 时间 from %1").arg(k.header)).toString().size(), 8);

        const QString lineSql = QString("select 编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,"
                                        "换算比率,结存,原有库存数量,辅助库存结存,原有辅助数量,拼音码 from %1")
                                    .arg(k.lines);
        const QVariantList goods{"A", "货品A", "规格", "个", "箱", 1.0, 2.0, 3.0, 6.0, r.id, "690A", "一号库",
                                 "DW9.货品的供应商", "五金", 2.0};
        switch (k.direction) {
        case InternalDirection::Pending: {
            // Lines only, no stock and no voucher.
            const QVariantList got = row(t, lineSql);
            QCOMPARE(got.mid(0, 15), goods);
            for (const QVariant &empty : got.mid(15))
                QVERIFY(empty.isNull());
            QCOMPARE(count(t, "出入库单"), 0);
            QCOMPARE(t.scalar("select 库存 from 货品目录").toDouble(), 5.0);
            return;
        }
        case InternalDirection::Out:
            QCOMPARE(row(t, lineSql), goods + QVariantList({3.0, 5.0, 3.0, 4.0, "HP"}));
            QCOMPARE(t.scalar("select 库存 from 货品目录").toDouble(), 3.0);
            break;
        case InternalDirection::In:
            QCOMPARE(row(t, lineSql), goods + QVariantList({7.0, 5.0, 5.0, 4.0, "HP"}));
            QCOMPARE(t.scalar("select 库存 from 货品目录").toDouble(), 7.0);
            break;
        }
        const bool in = k.direction == InternalDirection::In;
        const QVariantList v = row(t, "select 单据编号,引用单号,引用ID,引用类别,原因,单据类别,制单日期,制单人,单据备注,审核人,"
                                      "审核日期,相关单位,单位编号,联系人,联系电话,ID,相关部门 from 出入库单");
        QCOMPARE(v.mid(0, 15),
                 (QVariantList{in ? "RK-260307-001" : "CK-260307-001", h.number, r.id, k.reason, k.reason,
                               in ? "入库" : "出库", "2026-03-07", "001.张三", "三月", "", "2026-03-07", "BM01.一车间",
                               "BM01", "周经理", ""}));
        QVERIFY(v.value(15).toString() != r.id);
        QVERIFY(v.value(16).isNull());
        QCOMPARE(row(t, "select ID,类型,数量,金额,条码,结存,原有库存数量 from 出入库明细"),
                 (QVariantList{v.value(15), in ? "入库" : "出库", 2.0, 6.0, "690A", in ? 7.0 : 3.0, 5.0}));
    }

    // The check before saving adds up each goods row's lines; kinds that raise stock pass.
    void stockCheck_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVector<SavedLine>>("lines");
        QTest::addColumn<int>("shortRow");
        for (const InternalKind &k : kInternalKinds) {
            const bool passes = k.direction == InternalDirection::In;
            const QByteArray name(k.caption);
            QTest::newRow(name + ": all of the stock") << k.kind << QVector<SavedLine>{line(1, "A", 2), line(3, "A", 3)}
                                                       << 0;
            QTest::newRow(name + ": two lines over the stock")
                << k.kind << QVector<SavedLine>{line(1, "B", 1), line(2, "A", 3), line(4, "A", 2.5)} << (passes ? 0 : 4);
            QTest::newRow(name + ": no goods row at the place")
                << k.kind << QVector<SavedLine>{line(1, "A", 1), line(2, "A", 1, 1, 3, "二号库")} << (passes ? 0 : 2);
        }
    }
    void stockCheck()
    {
        QFETCH(int, kind);
        QFETCH(QVector<SavedLine>, lines);
        QFETCH(int, shortRow);
        TestDb t;
        addStock(t, "A", 5);
        addStock(t, "B", 1);
        InternalPosting posting(t.conn());
        QCOMPARE(posting.firstShortRow(internalKind(kind), lines), shortRow);
    }

    // A shortage met while posting (another client took the stock after the check) writes
    // nothing: no voucher, no line, no header, no stock moved.
    void shortAtPosting_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVector<SavedLine>>("lines");
        QTest::addColumn<int>("shortRow");
        for (const InternalKind &k : kInternalKinds)
            if (k.direction == InternalDirection::Out) {
                const QByteArray name(k.caption);
                QTest::newRow(name + ": second line of A")
                    << k.kind << QVector<SavedLine>{line(1, "A", 3), line(2, "B", 1), line(3, "A", 3)} << 3;
                QTest::newRow(name + ": no goods row")
                    << k.kind << QVector<SavedLine>{line(1, "A", 1), line(2, "Z", 1)} << 2;
            }
    }
    void shortAtPosting()
    {
        QFETCH(int, kind);
        QFETCH(QVector<SavedLine>, lines);
        QFETCH(int, shortRow);
        const InternalKind &k = internalKind(kind);
        TestDb t;
        addStock(t, "A", 5);
        addStock(t, "B", 1);
        const QList<QVariant> before = footprint(t, k);
        InternalPosting posting(t.conn());
        const auto r = posting.save(k, header(k), lines);
        QCOMPARE(r.shortRow, shortRow);
        QCOMPARE(footprint(t, k), before);
        // The same posting goes through once the stock is there.
        t.exec("update 货品目录 set 库存 = 10");
        addStock(t, "Z", 1);
        QVERIFY(posting.save(k, header(k), lines).ok());
    }

    // An in line of goods not kept at its place makes the row: 10 with 4 aux give ratio 2.5.
    void inLineCreatesRow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("warning");
        QTest::newRow("成品入库") << 2 << 0.0;
        QTest::newRow("货品归还") << 6 << 10.0;
    }
    void inLineCreatesRow()
    {
        QFETCH(int, kind);
        QFETCH(double, warning);
        const InternalKind &k = internalKind(kind);
        TestDb t;
        InternalPosting posting(t.conn());
        SavedLine l = line(1, "N", 10, 4, 3.5);
        l.name = "钢管";
        const auto r = posting.save(k, header(k), {l});
        QVERIFY(r.ok());
        const QVariantList made = row(t, "select 库存,辅助库存,进货价,出货价,换算比率,助记码,条码,类别,供应商,警戒库存,ID "
                                         "from 货品目录");
        QCOMPARE(made.mid(0, 9), (QVariantList{10.0, 4.0, 3.5, 3.5, 2.5, "GG", "690N", "五金", "DW9.货品的供应商"}));
        QCOMPARE(made.value(9).toDouble(), warning);
        QCOMPARE(made.value(10).toString().size(), 24);
        QVERIFY(made.value(10).toString() != r.id);
        const QString tail = "select 换算比率,结存,原有库存数量,辅助库存结存,原有辅助数量,拼音码 from ";
        QCOMPARE(row(t, tail + k.lines), (QVariantList{2.5, 10.0, 0.0, 4.0, 0.0, "GG"}));
        QCOMPARE(row(t, tail + "出入库明细"), (QVariantList{2.5, 10.0, 0.0, 4.0, 0.0, "GG"}));
    }

    // A number another client has taken moves on; the voucher names the number given.
    void takenNumberMovesOn()
    {
        TestDb t;
        addStock(t, "A", 5);
        const InternalKind &k = internalKind(1);
        t.exec("insert into 车间领用(单据编号, ID, 当前状态) values('NBLY-260307-007', 'x', '已审核')");
        InternalPosting posting(t.conn());
        const auto r = posting.save(k, header(k, "NBLY-260307-007"), {line(1, "A", 1)});
        QVERIFY(r.ok());
        QCOMPARE(r.number, QString("NBLY-260307-008"));
        QCOMPARE(t.scalar("select 单据编号 from 车间领用 where ID = ?", {r.id}).toString(), r.number);
        QCOMPARE(t.scalar("select 引用单号 from 出入库单").toString(), r.number);
    }

    // The checks before anything is written, in their order.
    void checks_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message"); // "" passes
        QTest::newRow("no line") << QList<Line>{} << "2026-03-07" << "请输入货品";
        QTest::newRow("a name without code")
            << QList<Line>{kA, {"", "乙", "一号库", "1", "2"}} << "2026-03-07" << "第2行货品编号不能为空";
        QTest::newRow("a code without name") << QList<Line>{{"B", "", "一号库", "1", "2"}} << "2026-03-07"
                                             << "第1行货品名称不能为空";
        QTest::newRow("no quantity") << QList<Line>{{"B", "乙", "一号库", "", "2"}} << "2026-03-07"
                                     << "第1行货品数量不能为空";
        QTest::newRow("no price") << QList<Line>{{"B", "乙", "一号库", "1", ""}} << "2026-03-07"
                                  << "第1行货品单价不能为空";
        QTest::newRow("an aux quantity that is no number")
            << QList<Line>{kA, {"B", "乙", "一号库", "1", "2", "x"}} << "2026-03-07" << "第2行辅助数量必须是数字";
        QTest::newRow("an empty aux quantity counts as 0")
            << QList<Line>{{"B", "乙", "一号库", "1", "2", ""}} << "2026-03-07" << "";
        QTest::newRow("a date that is none") << QList<Line>{kA} << "2026-13-07" << "制单日期不是有效的日期";
    }
    void checks()
    {
        QFETCH(QList<Line>, lines);
        QFETCH(QString, date);
        QFETCH(QString, message);
        GoodsLineGrid grid;
        fill(grid, lines);
        const auto f = checkInternalLines(grid, date);
        QCOMPARE(f ? f->message : QString(), message);
    }

    // The print's texts by kind: title, party caption, the four signatures (names by column;
    // captions alone in signature mode; the loss report keeps Memo29 of the template).
    void printTexts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("signatureMode");
        QTest::addColumn<QStringList>("texts"); // Memo1, Memo2, Memo28 .. Memo31 ("-" not set)
        QTest::newRow("车间领用") << 1 << 0
                              << QStringList{"我的公司内部领用单", "领用单位:", "部门经理:[部门经理]", "领用员:[领用员]",
                                             "发货员:[发货员]", "复核员:[复核员]"};
        QTest::newRow("成品入库") << 2 << 0
                              << QStringList{"我的公司成品入库单", "相关单位:", "部门经理:[部门经理]", "开单员:[开单员]",
                                             "送货员:[送货员]", "复核员:[复核员]"};
        QTest::newRow("次品返工") << 3 << 1
                              << QStringList{"我的公司次品返工单", "返回部门:", "部门经理:", "开单员:", "送货员:", "复核员:"};
        QTest::newRow("货品报损") << 4 << 0
                              << QStringList{"我的公司货品报损单", "报损部门:", "报损部门:[报损部门]", "-", "财务:[财务]",
                                             "负责人:[开单员]"};
        QTest::newRow("货品报损, signature mode")
            << 4 << 1 << QStringList{"我的公司货品报损单", "报损部门:", "报损部门:", "-", "财务:", "负责人:"};
        QTest::newRow("货品借出") << 5 << 0
                              << QStringList{"我的公司借出单", "借出单位:", "借出员:[借出员]", "发货员:[发货员]",
                                             "开票员:[开票员]", "复核员:[复核员]"};
        QTest::newRow("货品归还") << 6 << 0
                              << QStringList{"我的公司归还单", "还回单位:", "还回人:[归还员]", "发货员:[发货员]",
                                             "开票员:[开票员]", "复核员:[复核员]"};
        QTest::newRow("公司赠送") << 7 << 0
                              << QStringList{"我的公司公司赠送单", "赠送单位:", "开票员:[开票员]", "发货员:[发货员]",
                                             "复核员:[复核员]", "送货员:[送货员]"};
    }
    void printTexts()
    {
        QFETCH(int, kind);
        QFETCH(int, signatureMode);
        QFETCH(QStringList, texts);
        TestDb t;
        G.gPrintSignature = signatureMode;
        InternalPrintValues v;
        v.column = [](const QString &column) { return "[" + column + "]"; };
        const DocumentPrint p = internalPrint(t.conn(), internalKind(kind), v);
        QStringList got;
        for (const char *slot : {"Memo1", "Memo2", "Memo28", "Memo29", "Memo30", "Memo31"}) {
            const QString text = p.slot(QString::fromUtf8(slot));
            got << (text.isNull() ? QString("-") : text);
        }
        QCOMPARE(got, texts);
        QCOMPARE(p.templateName, QString("tongyong.frf"));
        QCOMPARE(p.headBands, (QStringList{"报表标题1", "主项头1", "主项头3"}));
    }
};


ORV_DB_TEST_MAIN(TestInternalDocs)
#include "tst_db_internaldocs.moc"
