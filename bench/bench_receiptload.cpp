// Load: several client processes post receipts into store at once against one PostgreSQL
// database for a fixed time, half of them issued straight on to a workshop, some for goods not
// yet kept at their place (rows made by whichever client comes first) and some for goods whose
// stock was negative (a direct issue of those is refused whole). Between them they save
// workshop requisitions and finished-goods receipts on the same goods, some requisitions
// asking for more than is kept (refused whole), and approve pending purchase returns, two
// clients at a time working through the same returns, so that many a return is approved by
// one while the other tries it too; and transfers and loss approvals (load_transfers.h). Then it checks what they left:
// each goods row's stock is its opening stock plus its voucher lines, no number was given
// twice, no document is half written, each return was approved once, and no client met an error
// an operator would have seen.
// Usage: bench_receiptload [seconds (30)] [clients (8)]   server from ORV_TEST_PG_HOST
#include "benchdb.h"
#include "load_sales.h"
#include "load_salesorders.h"
#include "load_transfers.h"
#include "common/clock.h"
#include "goods/goodsschema.h"
#include "purchasing/purchasereturns.h"
#include "purchasing/purchasingschema.h"
#include "purchasing/receiptposting.h"
#include "sales/salesschema.h"
#include "warehouse/internalposting.h"
#include "warehouse/warehouseschema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QSqlError>
#include <QSqlQuery>
#include <random>

using namespace orv;

namespace {
const int kGoods = 1000;
const int kShortGoods = 10;   // goods 0..9 start at -100
const int kNewGoods = 20;     // NEW0..NEW19 at 二号库 have no row at first
const int kLines = 5;
const int kStocked = 50;      // goods 10..59 start at 1000: what the returns take
const int kReturns = 400;     // pending returns of three lines each

QString goodsNo(int i) { return QString("HP%1").arg(i, 6, 10, QChar('0')); }
QString goodsName(int i) { return QString("货品%1").arg(i); }

SavedLine line(int row, const QString &no, const QString &name, const QString &place, double qty, double price)
{
    SavedLine l;
    l.gridRow = row;
    l.goodsNo = no;
    l.name = name;
    l.place = place;
    l.spec = "规格";
    l.unit = "个";
    l.auxUnit = "箱";
    l.category = "五金";
    l.barcode = "";
    l.supplier = "DW1.供应商";
    l.goodsID = "";
    l.qty = qty;
    l.auxQty = 1;
    l.price = price;
    l.amount = round4(qty * price);
    l.ratio = 1.0;
    return l;
}

// The returns a client works through: clients 0 and 1 from the first, 2 and 3 from a later one...
int firstReturn(int index, int clients) { return (index / 2) * kReturns / qMax(1, (clients + 1) / 2); }

// One client: posts receipts until the time is up and prints what it did.
int runClient(int index, int clients, int seconds, const QString &database)
{
    ConnectionSettings s;
    s.server = qEnvironmentVariable("ORV_TEST_PG_HOST", "127.0.0.1");
    s.user = qEnvironmentVariable("ORV_TEST_PG_USER", "postgres");
    s.password = qEnvironmentVariable("ORV_TEST_PG_PASSWORD");
    s.database = database;
    Connection c(QString("load%1").arg(index));
    c.open(s, Connection::SchemaMode::Leave);
    ReceiptPosting posting(c);
    PurchaseReturns returns(c);
    bench::salesorders::Client salesOrders(c, index, clients);
    QStringList pool;
    {
        QSqlQuery q(c.db());
        q.exec("select ID from 采购退货单 order by 流水号");
        while (q.next())
            pool << q.value(0).toString();
    }
    int nextReturn = firstReturn(index, clients);
    int approved = 0, raced = 0, shortReturns = 0;
    InternalPosting internal(c);
    bench::SalesLoad sales(c, index, kGoods);
    bench::TransferLoad transfers(c, index, clients);
    std::mt19937 rng(1000 + index);
    std::uniform_int_distribution<int> goods(0, kGoods - 1), newGoods(0, kNewGoods - 1), coin(0, 9);
    int posted = 0, issued = 0, refused = 0, errors = 0, requisitions = 0, finished = 0, shortRefused = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds * 1000LL) {
        // A day has 999 numbers of a kind: each client moves to the next day every 100 receipts,
        // so the clients together never run a day out.
        const QDateTime day(QDate(2026, 1, 1).addDays(posted / 100), QTime(3, 0), Qt::UTC);
        Clock::pin(day);
        if (coin(rng) < 2) {
            sales.step(rng);
            continue;
        }
        if (coin(rng) < 2) {
            transfers.step(rng);
            continue;
        }
        salesOrders.step(rng);
        QVector<SavedLine> lines;
        QStringList used;
        while (lines.size() < kLines) {
            const bool isNew = coin(rng) == 0;
            const int g = isNew ? newGoods(rng) : goods(rng);
            const QString no = isNew ? QString("NEW%1").arg(g) : goodsNo(g);
            if (used.contains(no))
                continue;
            used << no;
            lines << line(int(lines.size()) + 1, no, isNew ? QString("新货%1").arg(g) : goodsName(g),
                          isNew ? "二号库" : "一号库", 1 + g % 7, 2.5 + g % 5);
        }
        // One document in five is internal: a requisition (a tenth of them for ten times the
        // usual amounts, which the stock rarely holds) or a finished-goods receipt.
        if (const int roll = coin(rng); roll < 2) {
            const InternalKind &kind = internalKind(roll == 0 ? 1 : 2);
            if (kind.kind == 1 && coin(rng) == 0)
                for (SavedLine &l : lines) {
                    l.qty *= 10;
                    l.amount = round4(l.qty * l.price);
                }
            InternalHeader ih;
            ih.date = day.date().toString("yyyy-MM-dd");
            ih.clerk = QString("00%1.客户端%1").arg(index);
            ih.party = "BM01.一车间";
            ih.partyCode = "BM01";
            try {
                ih.number = internal.ledger().numbers(internalDocNumbers(kind.kind)).propose();
                if (internal.firstShortRow(kind, lines) || !internal.save(kind, ih, lines).ok()) {
                    ++shortRefused;
                    continue;
                }
                ++(kind.kind == 1 ? requisitions : finished);
            } catch (const std::exception &e) {
                ++errors;
                std::fprintf(stderr, "client %d: %s\n", index, e.what());
            }
            continue;
        }
        ReceiptHeader h;
        h.date = day.date().toString("yyyy-MM-dd");
        h.clerk = QString("00%1.客户端%1").arg(index);
        h.supplier = "DW1.供应商";
        h.supplierCode = "DW1";
        double total = 0;
        for (const SavedLine &l : lines)
            total += l.amount;
        h.payable = h.paid = total;
        DirectIssue issue;
        issue.on = coin(rng) < 5;
        issue.department = "BM01.一车间";
        issue.departmentCode = "BM01";
        try {
            h.number = posting.ledger().numbers(receiptNumbers()).propose();
            if (issue.on)
                issue.number = posting.ledger().numbers(internalDocNumbers(1)).propose();
            const ReceiptPosting::Result r = posting.post(h, issue, lines);
            if (!r.ok()) {
                ++refused;
                continue;
            }
            ++posted;
            if (issue.on)
                ++issued;
        } catch (const std::exception &e) {
            ++errors;
            std::fprintf(stderr, "client %d: %s\n", index, e.what());
        }
        if (!pool.isEmpty() && coin(rng) < 5) {
            const QString id = pool[nextReturn++ % pool.size()];
            try {
                switch (returns.approve(id, {QString("00%1.客户端%1").arg(index), h.date, 0, 0}).status) {
                case DocumentApproval::Status::Approved:
                    ++approved;
                    break;
                case DocumentApproval::Status::NotPending:
                    ++raced;
                    break;
                case DocumentApproval::Status::Short:
                    ++shortReturns;
                    break;
                }
            } catch (const std::exception &e) {
                ++errors;
                std::fprintf(stderr, "client %d: %s\n", index, e.what());
            }
        }
    }
    errors += salesOrders.errors();
    std::printf("posted=%d issued=%d refused=%d requisitions=%d finished=%d short=%d errors=%d approved=%d "
                "raced=%d shortreturns=%d %s\n",
                posted, issued, refused, requisitions, finished, shortRefused, errors, approved, raced, shortReturns,
                qPrintable(sales.summary() + ' ' + salesOrders.report() + ' ' + transfers.totals().text()));
    return 0;
}

struct Check {
    const char *what;
    const char *sql; // counts the offending rows
};

// Each count must be 0.
const Check kChecks[] = {
    {"stock = opening stock + voucher lines",
     "select count(*) from 货品目录 g where round(g.库存, 4) <> round((case when g.编号 not like 'HP%' then 0 "
     "when g.仓位 <> '一号库' then 0 when g.编号 < 'HP000010' then -100 when g.编号 < 'HP000060' then 1000 else 0 end) + "
     "coalesce((select sum(case when m.类型 = '入库' then m.数量 else -m.数量 end) from 出入库明细 m "
     "where m.编号 = g.编号 and m.名称 = g.名称 and m.仓位 = g.仓位), 0), 4)"},
    {"one goods row per goods and place",
     "select count(*) from (select 编号, 名称, 仓位 from 货品目录 group by 编号, 名称, 仓位 having count(*) > 1) d"},
    {"receipt numbers given once", "select count(*) - count(distinct 单据编号) from 采购入库单"},
    {"requisition numbers given once", "select count(*) - count(distinct 单据编号) from 车间领用"},
    {"finished-goods receipt numbers given once", "select count(*) - count(distinct 单据编号) from 成品入库单"},
    {"voucher numbers given once", "select count(*) - count(distinct 单据编号) from 出入库单"},
    {"receipts with their five lines",
     "select count(*) from 采购入库单 h where (select count(*) from 采购入库明细 l where l.ID = h.ID) <> 5"},
    {"receipts with one RK voucher of five lines naming them",
     "select count(*) from 采购入库单 h where (select count(*) from 出入库单 v where v.引用ID = h.ID and v.单据类别 = '入库' "
     "and v.引用单号 = h.单据编号 and (select count(*) from 出入库明细 m where m.ID = v.ID) = 5) <> 1"},
    {"requisitions with their five lines",
     "select count(*) from 车间领用 r where (select count(*) from 车间领用明细 l where l.ID = r.ID) <> 5"},
    {"finished-goods receipts with five lines and one RK voucher of five lines naming them",
     "select count(*) from 成品入库单 r where (select count(*) from 成品入库明细 l where l.ID = r.ID) <> 5 or "
     "(select count(*) from 出入库单 v where v.引用ID = r.ID and v.单据类别 = '入库' and v.引用单号 = r.单据编号 "
     "and (select count(*) from 出入库明细 m where m.ID = v.ID) = 5) <> 1"},
    {"requisitions with one CK voucher of five lines naming them",
     "select count(*) from 车间领用 r where (select count(*) from 出入库单 v where v.引用ID = r.ID and v.单据类别 = '出库' "
     "and v.引用单号 = r.单据编号 and (select count(*) from 出入库明细 m where m.ID = v.ID) = 5) <> 1"},
    {"vouchers of a stored document",
     "select count(*) from 出入库单 v where not exists (select 1 from 采购退货单 h where h.ID = v.引用ID) and "
     "not exists (select 1 from 销售单 s where s.ID = v.引用ID) and not exists (select 1 from 销售退货单 s where s.ID = v.引用ID) and "
     "not exists (select 1 from 销售订单 o where o.ID = v.引用ID) and "
     "not exists (select 1 from 货品调拨单 t where t.ID = v.引用ID) and not exists (select 1 from 货品报损单 s where "
     "s.ID = v.引用ID) and "
     "((v.单据类别 = '入库' and not exists (select 1 from 采购入库单 h where "
     "h.ID = v.引用ID) and not exists (select 1 from 成品入库单 f where f.ID = v.引用ID)) or "
     "(v.单据类别 = '出库' and not exists (select 1 from 车间领用 r where r.ID = v.引用ID)))"},
    {"lines of a stored header",
     "select (select count(*) from 采购入库明细 l where not exists (select 1 from 采购入库单 h where h.ID = l.ID)) + "
     "(select count(*) from 车间领用明细 l where not exists (select 1 from 车间领用 h where h.ID = l.ID)) + "
     "(select count(*) from 成品入库明细 l where not exists (select 1 from 成品入库单 h where h.ID = l.ID)) + "
     "(select count(*) from 出入库明细 l where not exists (select 1 from 出入库单 h where h.ID = l.ID))"},
    {"returns approved once: one CK voucher each, none for a pending one",
     "select count(*) from 采购退货单 h where (select count(*) from 出入库单 v where v.引用ID = h.ID and "
     "v.单据类别 = '出库' and v.原因 = '采购退货' and v.引用单号 = h.单据编号) <> "
     "case when h.当前状态 = '已审核' then 1 else 0 end"},
    {"approved returns: a voucher line and the stock columns for each line taken",
     "select count(*) from 采购退货单 h where h.当前状态 = '已审核' and ((select count(*) from 出入库明细 m join 出入库单 v "
     "on m.ID = v.ID where v.引用ID = h.ID) <> (select count(*) from 采购退货明细 l where l.ID = h.ID and l.结存 is not null) "
     "or (select count(*) from 采购退货明细 l where l.ID = h.ID and l.结存 is not null) = 0)"},
};

QString readLog(const QTemporaryDir &logs, int client, const char *kind)
{
    QFile f(logs.filePath(QString("client%1.%2").arg(client).arg(kind)));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

qint64 scalar(Connection &c, const QString &sql)
{
    QSqlQuery q(c.db());
    if (!q.exec(sql) || !q.next()) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
        return -1;
    }
    return q.value(0).toLongLong();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 6 && args[1] == "--client")
        return runClient(args[2].toInt(), args[3].toInt(), args[4].toInt(), args[5]);
    const int seconds = args.size() > 1 ? qMax(1, args[1].toInt()) : 30;
    const int clients = args.size() > 2 ? qMax(1, args[2].toInt()) : 8;

    registerGoodsSchema();
    registerPurchasingSchema();
    registerWarehouseSchema();
    registerSalesSchema();
    bench::salesorders::registerTables();
    bench::BenchDb b(true);
    Connection &c = b.conn();
    {
        Transaction tx(c);
        QSqlQuery q(c.db());
        q.prepare("insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) values (?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kGoods; ++i) {
            for (const QVariant &v : {QVariant(goodsNo(i)), QVariant(goodsName(i)), QVariant("一号库"),
                                      QVariant(i < kShortGoods ? -100.0 : i < kShortGoods + kStocked ? 1000.0 : 0.0),
                                      QVariant(0.0), QVariant(3.0),
                                      QVariant(4.0), QVariant(1.0), QVariant("HP"), QVariant(makeRecordID())})
                q.addBindValue(v);
            c.run(q);
        }
        tx.commit();
    }
    {
        // The pending returns, of the stocked goods: three lines each, a code at most once.
        Clock::pin(QDateTime(QDate(2025, 12, 31), QTime(3, 0), Qt::UTC));
        PurchaseReturns returns(c);
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> stocked(kShortGoods, kShortGoods + kStocked - 1), qty(1, 3);
        for (int r = 0; r < kReturns; ++r) {
            QVector<SavedLine> lines;
            QStringList used;
            while (lines.size() < 3) {
                const int g = stocked(rng);
                if (used.contains(goodsNo(g)))
                    continue;
                used << goodsNo(g);
                lines << line(int(lines.size()) + 1, goodsNo(g), goodsName(g), "一号库", qty(rng), 3);
            }
            ReturnHeader h;
            h.date = "2025-12-31";
            h.supplier = "DW1.供应商";
            h.supplierCode = "DW1";
            returns.save(h, lines);
        }
        QStringList codes, names;
        for (int g = kShortGoods; g < kShortGoods + kStocked; ++g) {
            codes << goodsNo(g);
            names << goodsName(g);
        }
        bench::salesorders::prepare(c, codes, names, kReturns);
        Clock::pin(QDateTime());
        bench::seedLossReports(c);
    }

    std::printf("PostgreSQL load: %d client processes posting receipts of %d lines for %d s, approving %d pending "
                "returns two clients at a time\n",
                clients, kLines, seconds, kReturns);
    std::fflush(stdout);
    QTemporaryDir logs;
    QList<QProcess *> procs;
    for (int i = 0; i < clients; ++i) {
        auto *p = new QProcess(&app);
        // Files, not pipes: a client with much to say must never block on a pipe nobody reads yet
        // while it holds its transaction open.
        p->setStandardOutputFile(logs.filePath(QString("client%1.out").arg(i)));
        p->setStandardErrorFile(logs.filePath(QString("client%1.err").arg(i)));
        p->start(app.applicationFilePath(),
                 {"--client", QString::number(i), QString::number(clients), QString::number(seconds),
                  b.settings.database});
        procs << p;
    }
    int posted = 0, issued = 0, refused = 0, errors = 0, requisitions = 0, finished = 0, shortRefused = 0;
    int approved = 0, raced = 0, shortReturns = 0;
    bench::salesorders::Totals orders;
    bench::TransferTotals transferTotals;
    bool clientsOk = true;
    for (int i = 0; i < procs.size(); ++i) {
        QProcess *p = procs[i];
        if (!p->waitForFinished((seconds + 120) * 1000) || p->exitCode() != 0) {
            clientsOk = false;
            std::fprintf(stderr, "client %d did not finish: %s\n", i, qPrintable(readLog(logs, i, "err")));
            continue;
        }
        const QString out = readLog(logs, i, "out");
        const QString err = readLog(logs, i, "err");
        orders.add(out);
        for (const QString &part : out.split(' ')) {
            const int v = part.section('=', 1).toInt();
            if (part.startsWith("posted="))
                posted += v;
            else if (part.startsWith("issued="))
                issued += v;
            else if (part.startsWith("refused="))
                refused += v;
            else if (part.startsWith("requisitions="))
                requisitions += v;
            else if (part.startsWith("finished="))
                finished += v;
            else if (part.startsWith("short="))
                shortRefused += v;
            else if (part.startsWith("errors=") || part.startsWith("saleserrors="))
                errors += v;
            else if (part.startsWith("approved="))
                approved += v;
            else if (part.startsWith("raced="))
                raced += v;
            else if (part.startsWith("shortreturns="))
                shortReturns += v;
            else
                transferTotals.add(part);
        }
        std::printf("  client %d: %s\n", i, qPrintable(out));
        // The log also holds the numbers passed to another client: shown only when something failed.
        if (!out.contains("errors=0") && !err.isEmpty())
            std::printf("  client %d log:\n%s\n", i, qPrintable(err));
    }
    std::printf("totals: %d receipts posted (%.1f per second), %d of them issued to the workshop, %d direct issues "
                "refused for short stock, %d errors shown\n",
                posted, double(posted) / seconds, issued, refused, errors);
    std::printf("returns: %d approved, %d found settled by the other client first, %d refused for short stock\n",
                approved, raced, shortReturns);
    std::printf("sales orders: %d approved, %d found settled by the other client first, %d refused for short stock, "
                "%d direct-sale bill numbers taken on the same series\n",
                orders.approved, orders.raced, orders.shortOrders, orders.directSales);
    std::printf("internal: %d requisitions and %d finished-goods receipts saved, %d requisitions refused for short "
                "stock\n",
                requisitions, finished, shortRefused);
    std::printf("stored: %lld receipts, %lld requisitions, %lld vouchers, %lld voucher lines, %lld goods rows\n",
                scalar(c, "select count(*) from 采购入库单"), scalar(c, "select count(*) from 车间领用"),
                scalar(c, "select count(*) from 出入库单"), scalar(c, "select count(*) from 出入库明细"),
                scalar(c, "select count(*) from 货品目录"));
    bool ok = clientsOk && errors == 0;
    std::printf("check: no error shown to an operator ... %s\n", errors == 0 && clientsOk ? "ok" : "FAILED");
    const qint64 stored = scalar(c, "select count(*) from 采购入库单");
    std::printf("check: every receipt posted is stored ... %s\n", stored == posted ? "ok" : "FAILED");
    ok = ok && stored == posted;
    const qint64 approvedStored = scalar(c, "select count(*) from 采购退货单 where 当前状态 = '已审核'");
    std::printf("check: every return approval reported is stored, and only those ... %s\n",
                approvedStored == approved ? "ok" : "FAILED");
    ok = ok && approvedStored == approved;
    // A workshop transfer stores a requisition and a finished-goods receipt too.
    const bool internalStored =
        scalar(c, "select count(*) from 车间领用") == issued + requisitions + transferTotals.workshop &&
        scalar(c, "select count(*) from 成品入库单") == finished + transferTotals.workshop;
    std::printf("check: every internal document saved is stored, no refused one ... %s\n",
                internalStored ? "ok" : "FAILED");
    ok = ok && internalStored;
    const qint64 ordersStored = scalar(c, "select count(*) from 销售订单 where 当前状态 = '已审核'");
    std::printf("check: every order approval reported is stored, and only those ... %s\n",
                ordersStored == orders.approved ? "ok" : "FAILED");
    ok = ok && ordersStored == orders.approved;
    for (const auto &chk : bench::salesorders::checks()) {
        const qint64 bad = scalar(c, QString::fromUtf8(chk.sql));
        std::printf("check: %s ... %s\n", chk.what, bad == 0 ? "ok" : qPrintable(QString("FAILED (%1)").arg(bad)));
        ok = ok && bad == 0;
    }
    for (const Check &chk : kChecks) {
        const qint64 bad = scalar(c, QString::fromUtf8(chk.sql));
        std::printf("check: %s ... %s\n", chk.what, bad == 0 ? "ok" : qPrintable(QString("FAILED (%1)").arg(bad)));
        ok = ok && bad == 0;
    }
    for (const bench::SalesCheck &chk : bench::salesChecks()) {
        const qint64 bad = scalar(c, QString::fromUtf8(chk.sql));
        std::printf("check: %s ... %s\n", chk.what, bad == 0 ? "ok" : qPrintable(QString("FAILED (%1)").arg(bad)));
        ok = ok && bad == 0;
    }
    ok = bench::checkTransfers(c, transferTotals) && ok;
    std::printf("%s\n", ok ? "all checks passed" : "CHECKS FAILED");
    return ok ? 0 : 1;
}
