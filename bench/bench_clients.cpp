// Several clients (one process each) posting five-line receipts into store through the receipt
// window's posting (goods rows at the moving average, receipt lines, the RK- voucher, the numbered
// receipt) at once, on PostgreSQL: (a) each client on goods of its own, (b) all clients on 1,000
// shared goods; the voucher tables hold two earlier months of vouchers, as in a shop in use.
// For C = 1, 2, 4, 8 clients (no more than the cores) it prints receipts per second, the ratio to
// one client, and how many receipts had to try again for a free number; then it checks that
// stock equals the sum of the voucher lines on every goods row, that no number was stored twice,
// that every receipt has its lines, and that no receipt failed or deadlocked.
// The header says whether the server commits to disk (SHOW fsync): the scratch cluster of
// scripts/pg-cluster.sh runs with fsync off unless started with ORV_PG_FSYNC=on.
// Usage: bench_clients [rounds [runs]]   (4 rounds by default; 900 receipts a round, one pinned
//                                         day each: numbers run to 999 a day; the median of the
//                                         runs is shown)
#include "benchdb.h"
#include "goods/goodsschema.h"
#include "ledger/ledger.h"
#include "purchasing/purchasingschema.h"
#include "purchasing/receiptposting.h"
#include "warehouse/warehouseschema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <barrier>
#include <random>
#include <thread>

using namespace orv;

namespace {
const int kGoods = 1000;        // per client in (a), shared in (b)
const int kLines = 5;
const int kPerRound = 900;      // receipts of one day

QString goodsNo(const QString &set, int i) { return QString("%1-%2").arg(set).arg(i, 4, 10, QChar('0')); }

struct Outcome {
    int receipts = 0;
    double seconds = 0;
    int errors = 0;
    int deadlocks = 0;
    quint64 retries = 0;
    QString firstError;
    double rate() const { return seconds > 0 ? receipts / seconds : 0; }
};

// One client: its own process, as the program's clients are. Connects, says "ready", waits
// for a line on stdin, then posts its share of each round's receipts on that round's day and
// prints what it did.
int runClient(const QStringList &args)
{
    const int k = args[2].toInt(), clients = args[3].toInt(), rounds = args[4].toInt(), firstDay = args[5].toInt();
    const QString set = args[6];
    ConnectionSettings settings;
    settings.server = qEnvironmentVariable("ORV_TEST_PG_HOST", "127.0.0.1");
    settings.user = qEnvironmentVariable("ORV_TEST_PG_USER", "postgres");
    settings.password = qEnvironmentVariable("ORV_TEST_PG_PASSWORD");
    settings.database = args[7];
    Connection conn("bench_client");
    conn.open(settings, Connection::SchemaMode::Leave);
    std::printf("ready\n");
    std::fflush(stdout);
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 2;
    Outcome out;
    {
        ReceiptPosting posting(conn);
        std::mt19937 rng(1000 * firstDay + k);
        std::uniform_int_distribution<int> pick(0, kGoods - 1);
        const int share = kPerRound / clients + (k < kPerRound % clients ? 1 : 0);
        for (int r = 0; r < rounds; ++r) {
            // Every client's share of a day stays within the day's 999 numbers.
            Clock::pin(QDateTime(QDate(2026, 1, 1).addDays(firstDay + r), QTime(3, 0), Qt::UTC));
            for (int n = 0; n < share; ++n) {
                ReceiptHeader h;
                h.date = Clock::utcNow().toString("yyyy-MM-dd");
                h.clerk = QString("00%1.客户端%1").arg(k);
                h.supplier = "DW1.供应商";
                h.supplierCode = "DW1";
                QVector<SavedLine> lines;
                QVector<int> ids;
                while (ids.size() < kLines) {
                    const int id = pick(rng);
                    if (!ids.contains(id))
                        ids << id;
                }
                for (int id : ids) {
                    const QString no = goodsNo(set, id);
                    const GoodsLine g = bench::receiptLine(no, "货品" + no, id);
                    SavedLine l;
                    l.gridRow = int(lines.size()) + 1;
                    l.goodsNo = g.goodsNo;
                    l.name = g.name;
                    l.place = g.place;
                    l.spec = g.spec;
                    l.unit = g.unit;
                    l.category = g.category;
                    l.qty = g.qty;
                    l.auxQty = g.auxQty;
                    l.price = g.price;
                    l.amount = g.amount;
                    l.ratio = 1.0;
                    lines << l;
                    h.payable += g.amount;
                }
                try {
                    // The number the window shows: read while every client reads the same one.
                    h.number = posting.ledger().numbers(receiptNumbers()).propose();
                    if (!posting.post(h, {}, lines).ok())
                        throw DbError("line refused");
                    ++out.receipts;
                } catch (const DbError &e) {
                    ++out.errors;
                    if (e.detail().contains("40P01") || e.detail().contains("deadlock"))
                        ++out.deadlocks;
                    if (out.firstError.isEmpty())
                        out.firstError = e.message() + " " + e.detail();
                }
            }
        }
    }
    conn.close();
    std::printf("posted=%d errors=%d deadlocks=%d retries=%llu first=%s\n", out.receipts, out.errors, out.deadlocks,
                static_cast<unsigned long long>(NumberedInsert::retries()), qPrintable(out.firstError.simplified()));
    return 0;
}

// Posts `rounds` rounds of kPerRound receipts with `clients` client processes; client k takes
// the goods of the set named by setOf(k). The time runs from the moment every client is
// connected until the last one is done.
Outcome run(const QString &database, int clients, int rounds, int &day, const std::function<QString(int)> &setOf)
{
    Outcome out;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int k = 0; k < clients; ++k) {
        auto p = std::make_unique<QProcess>();
        p->start(QCoreApplication::applicationFilePath(),
                 {"--client", QString::number(k), QString::number(clients), QString::number(rounds),
                  QString::number(day), setOf(k), database});
        procs.push_back(std::move(p));
    }
    day += rounds;
    for (auto &p : procs)
        while (!p->canReadLine() && p->state() != QProcess::NotRunning)
            p->waitForReadyRead(1000);
    for (auto &p : procs)
        if (p->readLine().trimmed() != "ready") {
            ++out.errors;
            out.firstError = "a client could not connect: " + QString::fromUtf8(p->readAllStandardError());
        }
    QElapsedTimer t;
    t.start();
    // QProcess buffers what is written: each "go" leaves before the first wait.
    for (auto &p : procs) {
        p->write("go\n");
        p->waitForBytesWritten(-1);
    }
    for (auto &p : procs) {
        p->closeWriteChannel();
        p->waitForFinished(-1);
    }
    out.seconds = t.nsecsElapsed() / 1e9;
    for (auto &p : procs) {
        const QString line = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
        for (const QString &part : line.section(" first=", 0, 0).split(' ')) {
            const int v = part.section('=', 1).toInt();
            if (part.startsWith("posted="))
                out.receipts += v;
            else if (part.startsWith("errors="))
                out.errors += v;
            else if (part.startsWith("deadlocks="))
                out.deadlocks += v;
            else if (part.startsWith("retries="))
                out.retries += part.section('=', 1).toULongLong();
        }
        const QString first = line.section(" first=", 1);
        if (out.firstError.isEmpty() && !first.isEmpty())
            out.firstError = first;
        if (p->exitCode() != 0) {
            ++out.errors;
            if (out.firstError.isEmpty())
                out.firstError = QString::fromUtf8(p->readAllStandardError());
        }
    }
    return out;
}

qint64 scalar(Connection &c, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(c.db());
    q.prepare(sql);
    for (const auto &v : binds)
        q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        std::fprintf(stderr, "%s failed\n", qPrintable(sql));
        std::exit(2);
    }
    return q.value(0).toLongLong();
}

// Stock against the voucher lines, numbers, lines per receipt: what went wrong, or empty.
QString check(Connection &c, const QString &like, int receipts)
{
    QStringList faults;
    const qint64 rows = scalar(c, "select count(*) from 货品目录 where 编号 like ?", {like});
    const qint64 off =
        scalar(c, "select count(*) from 货品目录 g left join (select 编号, 名称, 仓位, sum(数量) as moved from 出入库明细 "
                  "group by 编号, 名称, 仓位) d on d.编号 = g.编号 and d.名称 = g.名称 and d.仓位 = g.仓位 "
                  "where g.编号 like ? and g.库存 <> coalesce(d.moved, 0)",
               {like});
    if (off)
        faults << QString("stock differs from its voucher lines on %1 of %2 rows").arg(off).arg(rows);
    const qint64 twice =
        scalar(c, "select count(*) from (select 单据编号 from 出入库单 group by 单据编号 having count(*) > 1) x");
    if (twice)
        faults << QString("%1 numbers stored twice").arg(twice);
    const qint64 headers = scalar(c, "select count(*) from 出入库单 where 单据编号 like 'RK-26%'");
    const qint64 badLines =
        scalar(c, "select count(*) from 出入库单 h left join (select ID, count(*) as n from 出入库明细 group by ID) d "
                  "on d.ID = h.ID where coalesce(d.n, 0) <> ?",
               {kLines});
    const qint64 receiptHeaders = scalar(c, "select count(*) from 采购入库单");
    const qint64 receiptLines = scalar(c, "select count(*) from 采购入库明细");
    if (headers != receipts || receiptHeaders != receipts)
        faults << QString("%1 vouchers and %2 receipts stored for %3 posted").arg(headers).arg(receiptHeaders).arg(receipts);
    if (receiptLines != qint64(receipts) * kLines)
        faults << QString("%1 receipt lines for %2 receipts").arg(receiptLines).arg(receipts);
    const qint64 receiptsTwice =
        scalar(c, "select count(*) from (select 单据编号 from 采购入库单 group by 单据编号 having count(*) > 1) x");
    if (receiptsTwice)
        faults << QString("%1 receipt numbers stored twice").arg(receiptsTwice);
    if (badLines)
        faults << QString("%1 receipts without their %2 lines").arg(badLines).arg(kLines);
    return faults.join("; ");
}

void setUp(Connection &c, int clients)
{
    c.exec("truncate 出入库明细, 出入库单, 货品目录, 采购入库单, 采购入库明细");
    // Goods of each client (A00-…, A01-…) and the shared ones (S-…), no stock yet.
    c.exec(QString("insert into 货品目录 (编号,名称,仓位,库存,辅助库存,进货价,出货价,换算比率,助记码,ID) "
                   "select s.set || '-' || lpad(i::text, 4, '0'), '货品' || s.set || '-' || lpad(i::text, 4, '0'), "
                   "'一号库', 0, 0, 0, 0, 1, 'HP', s.set || i from generate_series(0, %1) i, "
                   "(select 'A' || lpad(k::text, 2, '0') as set from generate_series(0, %2) k union all select 'S') s")
               .arg(kGoods - 1)
               .arg(clients - 1));
    // The vouchers of two earlier months, as a shop in use has them (on goods of no set).
    c.exec("insert into 出入库单 (ID,单据编号,制单日期,当前状态,原因,单据类别) "
           "select 'H' || d || '-' || n, 'RK-' || to_char(date '2025-11-01' + d, 'YYMMDD') || '-' || "
           "lpad(n::text, 3, '0'), to_char(date '2025-11-01' + d, 'YYYY-MM-DD'), '已审核', '采购进货', '入库' "
           "from generate_series(0, 59) d, generate_series(1, 100) n");
    c.exec("insert into 出入库明细 (编号,名称,仓位,数量,ID,类型) select 'H-' || k, '货品H-' || k, '一号库', 1, h.ID, '入库' "
           "from 出入库单 h, generate_series(1, 5) k");
    c.exec("vacuum analyze");
}
// Random reads and writes over 8 MiB a thread, like a server walking its buffers: how far the
// machine's caches and memory let C busy cores scale (compute alone scales fully here).
double memoryWalks(int threadsWanted)
{
    const size_t size = 8u << 20;
    const long steps = 200'000'000;
    std::vector<std::thread> threads;
    QElapsedTimer t;
    t.start();
    for (int k = 0; k < threadsWanted; ++k)
        threads.emplace_back([&, k] {
            std::vector<unsigned char> buf(size, 1);
            quint64 x = 1 + k;
            for (long i = 0; i < steps; ++i) {
                x = x * 6364136223846793005ULL + 1442695040888963407ULL;
                buf[(x >> 20) % size] += static_cast<unsigned char>(x);
            }
            if (buf[7] == 42) // keeps the walk from being optimised away
                std::printf(" ");
        });
    for (auto &th : threads)
        th.join();
    return threadsWanted * steps / (t.nsecsElapsed() / 1e9);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    registerGoodsSchema();
    registerPurchasingSchema();
    registerWarehouseSchema();
    if (app.arguments().size() >= 8 && app.arguments()[1] == "--client")
        return runClient(app.arguments());
    // The timed span includes the clients' connecting being done, their last commit and their
    // exit: a run takes some seconds of posting by default so that share stays small.
    int rounds = 4, reps = 3;
    QStringList numbers;
    for (int i = 1; i < argc; ++i)
        if (QString(argv[i]).toInt() > 0)
            numbers << argv[i];
    if (numbers.size() > 0)
        rounds = numbers[0].toInt();
    if (numbers.size() > 1)
        reps = numbers[1].toInt();
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    QVector<int> counts;
    for (int n : {1, 2, 4, 8})
        if (n <= cores)
            counts << n;
    bench::BenchDb b(true);
    Connection &c = b.conn();
    QString durability;
    {
        QSqlQuery q(c.db());
        q.exec("select current_setting('fsync'), current_setting('synchronous_commit'), version()");
        if (q.next())
            durability = "fsync " + q.value(0).toString() + ", synchronous_commit " + q.value(1).toString() + "; " +
                         q.value(2).toString().section(',', 0, 0);
    }
    int day = 0;
    std::printf("PostgreSQL %s (%s), %d cores; %d receipts of %d lines a run through the receipt window's posting, "
                "median of %d runs each\n",
                qPrintable(b.settings.server), qPrintable(durability), cores, rounds * kPerRound, kLines, reps);
    {
        const double walkOne = memoryWalks(1), walkMany = memoryWalks(counts.last());
        std::printf("memory walks alone (8 MiB a thread): %d threads = %.2f x one\n", counts.last(), walkMany / walkOne);
    }

    struct Workload {
        const char *title;
        QString like;
        std::function<QString(int)> setOf;
    };
    const Workload workloads[] = {
        {"(a) goods of its own", "A%", [](int k) { return QString("A%1").arg(k, 2, 10, QChar('0')); }},
        {"(b) 1,000 shared goods", "S%", [](int) { return QString("S"); }},
    };
    bool ok = true;
    for (const Workload &w : workloads) {
        std::printf("%s:\n", w.title);
        double one = 0;
        for (int n : counts) {
            std::vector<double> rates;
            Outcome total;
            QString faults;
            for (int r = 0; r < reps; ++r) {
                setUp(c, counts.last());
                const Outcome o = run(b.settings.database, n, rounds, day, w.setOf);
                rates.push_back(o.rate());
                const QString f = check(c, w.like, o.receipts);
                if (faults.isEmpty())
                    faults = f;
                total.receipts += o.receipts;
                total.errors += o.errors;
                total.deadlocks += o.deadlocks;
                total.retries += o.retries;
                if (total.firstError.isEmpty())
                    total.firstError = o.firstError;
            }
            const double rate = median(rates);
            if (n == 1)
                one = rate;
            std::printf("  C = %d: %.0f receipts/s = %.2f x one client; number retries %llu in %d receipts (%.2f%%); "
                        "errors %d, deadlocks %d; %s\n",
                        n, rate, one > 0 ? rate / one : 0, static_cast<unsigned long long>(total.retries), total.receipts,
                        total.receipts ? 100.0 * double(total.retries) / total.receipts : 0.0, total.errors,
                        total.deadlocks,
                        faults.isEmpty() ? "checks passed (stock = sum of voucher lines, no number twice, every receipt "
                                           "with its lines)"
                                         : qPrintable(faults));
            if (!total.firstError.isEmpty())
                std::printf("    first error: %s\n", qPrintable(total.firstError));
            std::fflush(stdout);
            ok = ok && faults.isEmpty() && total.errors == 0;
        }
    }
    return ok ? 0 : 1;
}
