#include "sales/salesposting.h"
#include "common/clock.h"
#include "ledger/documentlines.h"
#include "sales/salesschema.h"

namespace orv {

namespace {
QString localTime() { return Clock::localNow().toString(QStringLiteral("hh:mm:ss")); }

QString goodsKey(const SavedLine &l) { return l.goodsNo + '\x1f' + l.name + '\x1f' + l.place; }

// The grid row of the first line that draws on the same goods row as line `k`.
int firstRowOfGoods(const QVector<SaleLine> &lines, int k)
{
    const QString key = goodsKey(lines[k].goods);
    for (const SaleLine &l : lines)
        if (goodsKey(l.goods) == key)
            return l.goods.gridRow;
    return lines[k].goods.gridRow;
}

QVariant dateOrNull(const QString &date) { return date.isEmpty() ? QVariant() : QVariant(date); }
} // namespace

NumberRule saleNumbers(SaleMode mode)
{
    switch (mode) {
    case SaleMode::Order:
        return salesOrderNumbers();
    case SaleMode::Return:
        return salesReturnNumbers();
    case SaleMode::Direct:
        break;
    }
    return salesBillNumbers();
}

QString saleHeaderTable(SaleMode mode) { return saleNumbers(mode).table; }

QString saleLineTable(SaleMode mode)
{
    switch (mode) {
    case SaleMode::Order:
        return QStringLiteral("销售订单明细");
    case SaleMode::Return:
        return QStringLiteral("销售退货明细");
    case SaleMode::Direct:
        break;
    }
    return QStringLiteral("销售明细");
}

QStringList saleIdTables() { return {QStringLiteral("销售订单"), QStringLiteral("销售单"), QStringLiteral("销售退货单")}; }

struct SalesPosting::Writers {
    explicit Writers(Connection &c)
        : order(c, QStringLiteral("销售订单明细"), {"折扣", "折后金额", "成本价", "换算比率"}),
          sale(c, QStringLiteral("销售明细"),
               {"折扣", "折后金额", "成本价", "结存", "原有库存数量", "换算比率", "辅助库存结存", "原有辅助数量", "拼音码"}),
          back(c, QStringLiteral("销售退货明细"),
               {"折扣", "折后金额", "结存", "原有库存数量", "成本价", "换算比率", "辅助库存结存", "原有辅助数量", "拼音码"})
    {
    }
    DocumentLineWriter order, sale, back;
};

SalesPosting::SalesPosting(Connection &c) : m_conn(c), m_ledger(c), m_writers(std::make_unique<Writers>(c)) {}

SalesPosting::~SalesPosting() = default;

SalesPosting::Result SalesPosting::save(SaleMode mode, const SaleHeader &h, const QVector<SaleLine> &lines)
{
    Result r;
    QVector<GoodsLine> goods;
    goods.reserve(lines.size());
    for (const SaleLine &l : lines)
        goods.append(goodsLineOf(l.goods, l.goods.supplier));

    Transaction tx(m_conn);
    r.id = makeShortRecordID(m_conn, saleIdTables());
    QVector<QVariantList> rows;
    rows.reserve(lines.size());
    if (mode == SaleMode::Order) {
        for (int i = 0; i < lines.size(); ++i)
            rows.append(m_writers->order.row(r.id, goods[i], StockMove{},
                                             {lines[i].discount, lines[i].discounted, lines[i].cost}));
        m_writers->order.insert(rows);
        r.number = insertHeader(mode, h, r.id);
        tx.commit();
        return r;
    }

    const bool direct = mode == SaleMode::Direct;
    Ledger::Posting p;
    p.kind = direct ? VoucherOut : VoucherIn;
    VoucherHeader &v = p.header;
    v.refNo = h.number;
    v.refID = r.id;
    v.reason = direct ? QStringLiteral("货品销售") : QStringLiteral("销售退货");
    v.date = h.date;
    v.maker = storedText(h.clerk);
    v.category = direct ? QStringLiteral("出库") : QStringLiteral("入库");
    v.remark = storedText(h.memo);
    v.auditor = storedText(h.checker);
    v.auditDate = h.date;
    v.partner = storedText(h.customer);
    v.partnerCode = storedText(h.customerCode);
    v.contact = storedText(h.contact);
    v.phone = storedText(h.phone);
    v.department = storedText(h.department);
    p.lines.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        Ledger::Line line;
        line.op = direct ? StockModel::Op::Lower : StockModel::Op::Raise;
        line.goods = goods[i];
        // A direct sale's voucher carries the discounted amount, a return's the undiscounted one.
        if (direct)
            line.goods.amount = lines[i].discounted;
        line.kind = direct ? QStringLiteral("出库") : QStringLiteral("入库");
        p.lines.append(line);
    }
    if (direct) {
        // The lines of one goods row are added up before anything moves.
        const int shortLine = m_ledger.firstShortLine(p.lines);
        if (shortLine >= 0) {
            r.shortRow = firstRowOfGoods(lines, shortLine);
            return r; // rolled back
        }
    } else {
        // A goods row the return creates takes an 18-character ID that no goods row holds.
        const QVector<std::optional<GoodsRowRef>> found = m_ledger.stock().lockedRows(goods);
        for (int i = 0; i < found.size(); ++i)
            if (!found[i])
                p.lines[i].opts.rowID = makeShortRecordID(m_conn, {QStringLiteral("货品目录")});
    }
    const Ledger::Result posted = m_ledger.post(p);
    if (!posted.ok()) {
        r.shortRow = firstRowOfGoods(lines, posted.failedLine);
        return r;
    }
    DocumentLineWriter &writer = direct ? m_writers->sale : m_writers->back;
    for (int i = 0; i < lines.size(); ++i)
        rows.append(writer.row(r.id, goods[i], posted.moves[i], {lines[i].discount, lines[i].discounted, lines[i].cost}));
    writer.insert(rows);
    r.number = insertHeader(mode, h, r.id);
    // The voucher names the bill by the number it was finally given.
    m_ledger.vouchers().followRefNo(posted.voucher.id, h.number, r.number);
    tx.commit();
    return r;
}

QString SalesPosting::insertHeader(SaleMode mode, const SaleHeader &h, const QString &id)
{
    const QString time = localTime();
    const QString table = saleHeaderTable(mode);
    if (mode == SaleMode::Return)
        return m_ledger.numbers(saleNumbers(mode))
            .insertNumbered(
                [&](const QString &no) {
                    m_conn.exec("insert into 销售退货单(单据编号,日期,应退款,实退款,挂账金额,退回单位,联系电话,联系人,地址,"
                                "备注,负责人,客户折扣,ID,单位编号,当前状态,单据类别,销售单位,销售单位编号,送货员,发货员,"
                                "复核员,时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                {no, h.date, round4(h.due), round4(h.received), round4(h.onAccount),
                                 storedText(h.customer), storedText(h.phone), storedText(h.contact),
                                 storedText(h.address), storedText(h.memo), storedText(h.clerk),
                                 round4(h.customerDiscount), id, storedText(h.customerCode), QStringLiteral("已审核"),
                                 QStringLiteral("销售退货"), storedText(h.department), storedText(h.departmentCode),
                                 storedText(h.deliverer), storedText(h.shipper), storedText(h.checker), time});
                },
                h.number);
    const QString state = mode == SaleMode::Order ? QStringLiteral("待审核") : QStringLiteral("已审核");
    return m_ledger.numbers(saleNumbers(mode))
        .insertNumbered(
            [&](const QString &no) {
                m_conn.exec("insert into " + table +
                                "(单据编号,日期,应收款,实收款,挂账金额,购买单位,联系电话,联系人,地址,备注,经办人,客户折扣,ID,"
                                "单位编号,当前状态,单据类别,销售单位,销售单位编号,送货员,发货员,复核员,开票员,发票号码,"
                                "开票金额,开票日期,时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                            {no, h.date, round4(h.due), round4(h.received), round4(h.onAccount), storedText(h.customer),
                             storedText(h.phone), storedText(h.contact), storedText(h.address), storedText(h.memo),
                             storedText(h.clerk), round4(h.customerDiscount), id, storedText(h.customerCode), state,
                             QStringLiteral("销售出库"), storedText(h.department), storedText(h.departmentCode),
                             storedText(h.deliverer), storedText(h.shipper), storedText(h.checker),
                             storedText(h.invoicer), storedText(h.invoiceNo), round4(h.invoiceAmount),
                             dateOrNull(h.invoiceDate), time});
            },
            h.number);
}

} // namespace orv
