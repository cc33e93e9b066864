#include "load_sales.h"
#include "common/clock.h"
#include "ledger/vouchers.h"
#include "sales/salesposting.h"

#include <cstdio>

namespace orv::bench {

namespace {
const int kLines = 5;
const int kNewGoods = 20; // XNEW0..XNEW19 at 三号库 have no row at first
} // namespace

struct SalesLoad::Impl {
    explicit Impl(Connection &c) : posting(c) {}
    SalesPosting posting;
};

SalesLoad::SalesLoad(Connection &c, int client, int goods)
    : m_impl(std::make_unique<Impl>(c)), m_client(client), m_goods(goods)
{
}

SalesLoad::~SalesLoad() = default;

void SalesLoad::step(std::mt19937 &rng)
{
    // Eight clients at 100 bills a day leave every series of a day well below its 999 numbers.
    const QDateTime day(QDate(2027, 1, 1).addDays((m_sales + m_short + m_returns) / 100), QTime(3, 0), Qt::UTC);
    Clock::pin(day);
    std::uniform_int_distribution<int> goods(0, m_goods - 1), newGoods(0, kNewGoods - 1), coin(0, 9);
    const bool isReturn = coin(rng) < 4;
    QVector<SaleLine> lines;
    QStringList used;
    double due = 0;
    while (lines.size() < kLines) {
        const bool isNew = isReturn && coin(rng) < 3;
        const int g = isNew ? newGoods(rng) : goods(rng);
        SaleLine l;
        SavedLine &s = l.goods;
        s.goodsNo = isNew ? QString("XNEW%1").arg(g) : QString("HP%1").arg(g, 6, 10, QChar('0'));
        if (used.contains(s.goodsNo))
            continue;
        used << s.goodsNo;
        s.gridRow = int(lines.size()) + 1;
        s.name = isNew ? QString("退货新品%1").arg(g) : QString("货品%1").arg(g);
        s.place = isNew ? "三号库" : "一号库";
        s.spec = "规格";
        s.unit = "个";
        s.auxUnit = "箱";
        s.category = "五金";
        s.qty = 1 + g % 3;
        s.auxQty = 1;
        s.price = 4 + g % 5;
        s.amount = round4(s.qty * s.price);
        s.ratio = 1.0;
        l.discount = 0.9;
        l.discounted = round4(s.amount * 0.9);
        l.cost = 3;
        due += isReturn ? s.amount : l.discounted;
        lines << l;
    }
    const SaleMode mode = isReturn ? SaleMode::Return : SaleMode::Direct;
    SaleHeader h;
    h.date = day.date().toString("yyyy-MM-dd");
    h.clerk = QString("00%1.客户端%1").arg(m_client);
    h.customer = "KH01.东方公司";
    h.customerCode = "KH01";
    h.department = "BM1.销售部";
    h.departmentCode = "BM1";
    h.due = h.received = due;
    try {
        h.number = m_impl->posting.ledger().numbers(saleNumbers(mode)).propose();
        const SalesPosting::Result r = m_impl->posting.save(mode, h, lines);
        if (!r.ok())
            ++m_short;
        else
            ++(isReturn ? m_returns : m_sales);
    } catch (const std::exception &e) {
        ++m_errors;
        std::fprintf(stderr, "client %d (sales): %s\n", m_client, e.what());
    }
}

QString SalesLoad::summary() const
{
    return QString("sales=%1 salesshort=%2 salereturns=%3 saleserrors=%4").arg(m_sales).arg(m_short).arg(m_returns).arg(m_errors);
}

QVector<SalesCheck> salesChecks()
{
    return {
        {"sales bill and return numbers given once",
         "select (select count(*) - count(distinct 单据编号) from 销售单) + "
         "(select count(*) - count(distinct 单据编号) from 销售退货单)"},
        {"sales record IDs given once",
         "select count(*) - count(distinct ID) from (select ID from 销售单 union all select ID from 销售退货单) i"},
        {"sales bills with five lines and one CK voucher of five lines naming them",
         "select count(*) from 销售单 s where (select count(*) from 销售明细 l where l.ID = s.ID) <> 5 or "
         "(select count(*) from 出入库单 v where v.引用ID = s.ID and v.单据类别 = '出库' and v.引用单号 = s.单据编号 "
         "and (select count(*) from 出入库明细 m where m.ID = v.ID) = 5) <> 1"},
        {"sales returns with five lines and one RK voucher of five lines naming them",
         "select count(*) from 销售退货单 s where (select count(*) from 销售退货明细 l where l.ID = s.ID) <> 5 or "
         "(select count(*) from 出入库单 v where v.引用ID = s.ID and v.单据类别 = '入库' and v.引用单号 = s.单据编号 "
         "and (select count(*) from 出入库明细 m where m.ID = v.ID) = 5) <> 1"},
        {"sales lines of a stored bill",
         "select (select count(*) from 销售明细 l where not exists (select 1 from 销售单 h where h.ID = l.ID)) + "
         "(select count(*) from 销售退货明细 l where not exists (select 1 from 销售退货单 h where h.ID = l.ID))"},
        {"goods rows a return created with an 18-character ID",
         "select count(*) from 货品目录 where 编号 like 'XNEW%' and length(ID) <> 18"},
    };
}

} // namespace orv::bench
