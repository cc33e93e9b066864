#include "load_salesorders.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "ledger/docnumbers.h"
#include "sales/salesorders.h"
#include "sales/salesschema.h"

#include <QSqlQuery>
#include <cstdio>
#include <memory>


namespace orv::bench::salesorders {

void registerTables() { registerSalesSchema(); }

void prepare(Connection &c, const QStringList &codes, const QStringList &names, int orders)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pick(0, int(codes.size()) - 1), qty(1, 3);
    Transaction tx(c);
    for (int o = 0; o < orders; ++o) {
        const QString id = makeRecordID();
        QList<int> used;
        double total = 0;
        while (used.size() < 3) {
            const int g = pick(rng);
            if (used.contains(g))
                continue;
            used << g;
            const double q = qty(rng);
            c.exec("insert into 销售订单明细(编号,名称,规格,单位,数量,单价,金额,ID,仓位,折扣,折后金额,换算比率) "
                   "values(?,?,?,?,?,?,?,?,?,?,?,?)",
                   {codes[g], names[g], "规格", "个", q, 5.0, q * 5, id, "一号库", 1.0, q * 5, 1.0});
            total += q * 5;
        }
        c.exec("insert into 销售订单(单据编号,日期,应收款,实收款,挂账金额,购买单位,单位编号,ID,当前状态,单据类别) "
               "values(?,?,?,?,?,?,?,?,?,?)",
               {QString("XSDD-251231-%1").arg(o + 1, 3, 10, QChar('0')), "2025-12-31", total, total, 0.0,
                "KH1.客户", "KH1", id, "待审核", "销售出库"});
    }
    tx.commit();
}

struct Client::State {
    explicit State(Connection &conn) : c(conn), orders(conn) {}
    Connection &c;
    SalesOrders orders;
    QStringList pool;
    int next = 0, approved = 0, raced = 0, shortOrders = 0, directSales = 0;
};

Client::Client(Connection &c, int index, int clients) : m(new State(c))
{
    QSqlQuery q(c.db());
    q.exec("select ID from 销售订单 order by 流水号");
    while (q.next())
        m->pool << q.value(0).toString();
    // Clients 0 and 1 start at the first order, 2 and 3 at a later one...
    m->next = (index / 2) * int(m->pool.size()) / qMax(1, (clients + 1) / 2);
}

Client::~Client() { delete m; }

void Client::step(std::mt19937 &rng)
{
    const int roll = std::uniform_int_distribution<int>(0, 7)(rng);
    if (roll >= 2 || m->pool.isEmpty())
        return;
    try {
        if (roll == 0) {
            const QString id = m->pool[m->next++ % m->pool.size()];
            SalesOrders::Approval a;
            a.partner = "KH1.客户";
            a.partnerCode = "KH1";
            switch (m->orders.approve(id, a).result.status) {
            case DocumentApproval::Status::Approved: ++m->approved; break;
            case DocumentApproval::Status::NotPending: ++m->raced; break;
            case DocumentApproval::Status::Short: ++m->shortOrders; break;
            }
            return;
        }
        // A direct sale's bill, numbered from the series the approvals number from.
        Transaction tx(m->c);
        m->orders.ledger().numbers(salesBillNumbers()).insertNumbered([&](const QString &no) {
            m->c.exec("insert into 销售单(单据编号,日期,ID,当前状态,单据类别,应收款,实收款,挂账金额) values(?,?,?,?,?,?,?,?)",
                      {no, Clock::localNow().date().toString(Qt::ISODate), makeRecordID(), "已审核", "直接销售", 0.0, 0.0, 0.0});
        });
        tx.commit();
        ++m->directSales;
    } catch (const std::exception &e) {
        ++m_errors;
        std::fprintf(stderr, "sales orders: %s\n", e.what());
    }
}

QString Client::report() const
{
    return QString("orders=%1 ordersraced=%2 ordersshort=%3 directsales=%4 ordererrors=%5")
        .arg(m->approved)
        .arg(m->raced)
        .arg(m->shortOrders)
        .arg(m->directSales)
        .arg(m_errors);
}

void Totals::add(const QString &report)
{
    for (const QString &part : report.split(' ')) {
        const int v = part.section('=', 1).toInt();
        if (part.startsWith("orders="))
            approved += v;
        else if (part.startsWith("ordersraced="))
            raced += v;
        else if (part.startsWith("ordersshort="))
            shortOrders += v;
        else if (part.startsWith("directsales="))
            directSales += v;
        else if (part.startsWith("ordererrors="))
            errors += v;
    }
}

QList<Check> checks()
{
    return {
        {"sales bill numbers given once", "select count(*) - count(distinct 单据编号) from 销售单"},
        {"orders approved once: one bill and one CK voucher naming it, none for a pending one",
         "select count(*) from 销售订单 o where (select count(*) from 销售单 b where b.ID = o.ID) <> "
         "case when o.当前状态 = '已审核' then 1 else 0 end or (select count(*) from 出入库单 v join 销售单 b on "
         "b.ID = v.引用ID and b.单据编号 = v.引用单号 where v.引用ID = o.ID and v.原因 = '货品销售') <> "
         "case when o.当前状态 = '已审核' then 1 else 0 end"},
        {"approved orders: a bill line and a voucher line for each line taken",
         "select count(*) from 销售订单 o where o.当前状态 = '已审核' and (select count(*) from 销售明细 l where "
         "l.ID = o.ID) <> (select count(*) from 出入库明细 m join 出入库单 v on m.ID = v.ID where v.引用ID = o.ID)"},
    };
}

} // namespace orv::bench::salesorders
