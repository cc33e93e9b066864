#include "load_transfers.h"
#include "common/clock.h"
#include "warehouse/lossreports.h"
#include "warehouse/transfers.h"
#include "warehouse/warehouseschema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orv::bench {

namespace {
const int kReports = 300;   // pending loss reports of two lines each
const int kFirstStocked = 10, kStocked = 50; // goods 10..59 start at 1000 at 一号库
const int kGoods = 1000;

QString goodsNo(int i) { return QString("HP%1").arg(i, 6, 10, QChar('0')); }
QString goodsName(int i) { return QString("货品%1").arg(i); }

SavedLine transferLine(int row, int g, const QString &place, double qty)
{
    SavedLine l;
    l.gridRow = row;
    l.goodsNo = goodsNo(g);
    l.name = goodsName(g);
    l.place = place;
    l.unit = "个";
    l.qty = qty;
    l.auxQty = 1;
    l.price = 3;
    l.amount = round4(qty * 3);
    l.ratio = 1.0;
    return l;
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

QString TransferTotals::text() const
{
    return QString("warehouse=%1 workshop=%2 transfersrefused=%3 lossapproved=%4 lossraced=%5 lossshort=%6 "
                   "transfererrors=%7")
        .arg(warehouse).arg(workshop).arg(refused).arg(lossApproved).arg(lossRaced).arg(lossShort).arg(errors);
}

bool TransferTotals::add(const QString &word)
{
    const QString key = word.section('=', 0, 0);
    const int v = word.section('=', 1).toInt();
    int *const counts[] = {&warehouse, &workshop, &refused, &lossApproved, &lossRaced, &lossShort, &errors};
    const char *const keys[] = {"warehouse", "workshop", "transfersrefused", "lossapproved", "lossraced", "lossshort",
                                "transfererrors"};
    for (int i = 0; i < 7; ++i)
        if (key == QLatin1String(keys[i])) {
            *counts[i] += v;
            return true;
        }
    return false;
}

void seedLossReports(Connection &c)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> stocked(kFirstStocked, kFirstStocked + kStocked - 1), qty(1, 3);
    Transaction tx(c);
    for (int r = 0; r < kReports; ++r) {
        const QString id = QString("LOSS%1").arg(r, 6, 10, QChar('0'));
        c.exec("insert into 货品报损单(ID, 单据编号, 日期, 开单员, 报损部门, 部门编号, 金额合计, 当前状态) "
               "values (?, ?, '2025-12-31', '001.开单员', 'BM01.一车间', 'BM01', 0, '待审核')",
               {id, QString("HPBS-251231-L%1").arg(r)});
        for (int k = 0; k < 2; ++k) {
            const int g = stocked(rng);
            const double q = qty(rng);
            c.exec("insert into 货品报损明细(ID, 编号, 名称, 单位, 数量, 辅助数量, 单价, 金额, 仓位, 换算比率) "
                   "values (?, ?, ?, '个', ?, 1, 3, ?, '一号库', 1)",
                   {id, goodsNo(g), goodsName(g), q, q * 3});
        }
    }
    tx.commit();
}

struct TransferLoad::Parts {
    explicit Parts(Connection &c) : transfers(c), reports(c) {}
    Transfers transfers;
    LossReports reports;
};

TransferLoad::TransferLoad(Connection &c, int index, int clients)
    : m_parts(std::make_unique<Parts>(c)), m_index(index), m_nextReport((index / 2) * kReports / qMax(1, (clients + 1) / 2))
{
}

TransferLoad::~TransferLoad() = default;

void TransferLoad::step(std::mt19937 &rng)
{
    // Days of their own, far from the receipts': a day's 999 voucher numbers are shared by all.
    const QDateTime day(QDate(2030, 1, 1).addDays(m_steps++ / 50), QTime(3, 0), Qt::UTC);
    Clock::pin(day);
    std::uniform_int_distribution<int> roll(0, 9), stocked(kFirstStocked, kFirstStocked + kStocked - 1),
        any(0, kGoods - 1), qty(1, 4);
    const int what = roll(rng);
    try {
        if (what < 4) {
            const QString no = QString("LOSS%1").arg(m_nextReport++ % kReports, 6, 10, QChar('0'));
            switch (m_parts->reports.approve(no, QString("00%1.审核").arg(m_index), day.date().toString(Qt::ISODate))
                        .status) {
            case DocumentApproval::Status::Approved: ++m_totals.lossApproved; break;
            case DocumentApproval::Status::NotPending: ++m_totals.lossRaced; break;
            case DocumentApproval::Status::Short: ++m_totals.lossShort; break;
            }
            return;
        }
        // Five lines of distinct goods: the stocked ones mostly, now and then any (some short).
        QVector<SavedLine> lines;
        QList<int> used;
        const bool back = roll(rng) < 3; // the warehouse transfer's way back, from 三号库
        while (lines.size() < 5) {
            const int g = roll(rng) == 0 ? any(rng) : stocked(rng);
            if (used.contains(g))
                continue;
            used << g;
            lines << transferLine(int(lines.size()) + 1, g, "一号库", qty(rng));
        }
        Transfers::Result r;
        if (what < 7) {
            WarehouseTransferHeader h;
            h.date = day.date().toString(Qt::ISODate);
            h.manager = QString("00%1.客户端").arg(m_index);
            h.source = back ? "三号库" : "一号库";
            h.target = back ? "一号库" : "三号库";
            h.number = m_parts->transfers.ledger().numbers(warehouseTransferNumbers()).propose();
            r = m_parts->transfers.saveWarehouse(h, lines);
            if (r.ok())
                ++m_totals.warehouse;
        } else {
            WorkshopTransferHeader h;
            h.date = day.date().toString(Qt::ISODate);
            h.manager = QString("00%1.客户端").arg(m_index);
            h.fromShop = "BM01.一车间";
            h.toShop = "BM02.二车间";
            Ledger &ledger = m_parts->transfers.ledger();
            h.number = ledger.numbers(workshopTransferNumbers()).propose();
            h.receiptNo = ledger.numbers(internalDocNumbers(2)).propose();
            h.requisitionNo = ledger.numbers(internalDocNumbers(1)).propose();
            r = m_parts->transfers.saveWorkshop(h, lines);
            if (r.ok())
                ++m_totals.workshop;
        }
        if (!r.ok())
            ++m_totals.refused;
    } catch (const std::exception &e) {
        ++m_totals.errors;
        std::fprintf(stderr, "client %d: %s\n", m_index, e.what());
    }
}

bool checkTransfers(Connection &c, const TransferTotals &t)
{
    std::printf("transfers: %d warehouse and %d workshop transfers saved, %d refused for short stock; loss reports: "
                "%d approved, %d found settled by the other client first, %d refused for short stock\n",
                t.warehouse, t.workshop, t.refused, t.lossApproved, t.lossRaced, t.lossShort);
    struct Check {
        const char *what;
        QString sql; // counts the offending rows
    };
    const Check checks[] = {
        {"no error shown in the transfers and approvals", QString::number(t.errors)},
        {"every transfer saved is stored, no refused one",
         QString("(select count(*) from 货品调拨单) + (select count(*) from 调拨单) - %1").arg(t.warehouse + t.workshop)},
        {"every loss approval reported is stored, and only those",
         QString("(select count(*) from 货品报损单 where 当前状态 = '已审核') - %1").arg(t.lossApproved)},
        {"transfer numbers given once",
         "(select count(*) - count(distinct 单据编号) from 货品调拨单) + (select count(*) - count(distinct 单据编号) from 调拨单)"},
        {"warehouse transfers whole: five lines, a CK and an RK voucher of five lines each naming them",
         "select count(*) from 货品调拨单 h where (select count(*) from 货品调拨明细 l where l.ID = h.ID) <> 5 or "
         "(select count(*) from 出入库单 v where v.引用ID = h.ID and v.引用单号 = h.单据编号 and "
         "(select count(*) from 出入库明细 m where m.ID = v.ID and m.仓位 in (h.调出仓位, h.调入仓位)) = 5) <> 2"},
        {"workshop transfers whole: five lines and their receipt and requisition",
         "select count(*) from 调拨单 h where (select count(*) from 调拨明细 l where l.ID = h.ID) <> 5 or "
         "not exists (select 1 from 成品入库单 f where f.ID = h.ID) or not exists (select 1 from 车间领用 r where r.ID = h.ID)"},
        {"loss reports approved once: a CK voucher and an RK voucher under the report's ID each, none when pending",
         "select count(*) from 货品报损单 h where (select count(*) from 出入库单 v where v.引用ID = h.ID and v.原因 = '货品报损') <> "
         "case when h.当前状态 = '已审核' then 2 else 0 end or (h.当前状态 = '已审核' and not exists "
         "(select 1 from 出入库单 v where v.ID = h.ID and v.单据类别 = '入库'))"},
        {"loss lines: the stock columns of every line taken, and a 报损仓 line for each",
         "select count(*) from 货品报损单 h where h.当前状态 = '已审核' and (select count(*) from 货品报损明细 l where "
         "l.ID = h.ID and l.结存 is not null) <> (select count(*) from 出入库明细 m where m.ID = h.ID and m.仓位 = '报损仓')"},
    };
    bool ok = true;
    for (const Check &chk : checks) {
        const QString sql = chk.sql.startsWith("select") ? chk.sql : "select " + chk.sql;
        const qint64 bad = scalar(c, sql);
        std::printf("check: %s ... %s\n", chk.what, bad == 0 ? "ok" : qPrintable(QString("FAILED (%1)").arg(bad)));
        ok = ok && bad == 0;
    }
    return ok;
}

} // namespace orv::bench
