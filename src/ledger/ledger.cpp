#include "ledger/ledger.h"

#include <QHash>

namespace orv {

Ledger::Ledger(Connection &c) : m_conn(c), m_stock(c), m_vouchers(c) {}

Ledger::~Ledger() = default;

DocNumbers &Ledger::numbers(const NumberRule &rule)
{
    const QString key = rule.table + '\x1f' + rule.column + '\x1f' + rule.prefix + (rule.dash ? "-" : "");
    auto &slot = m_numbers[key];
    if (!slot)
        slot = std::make_shared<DocNumbers>(m_conn, rule);
    return *slot;
}

Ledger::Result Ledger::post(const Posting &p)
{
    m_conn.requireTransaction("过账");
    voucherPrefix(p.kind); // refuses unknown kinds before anything moves
    QVector<StockModel::Request> requests;
    requests.reserve(p.lines.size());
    for (const Line &l : p.lines)
        requests.append({l.op, l.goods, l.opts, l.allowNegative});
    Result r;
    r.moves = m_stock.apply(requests);
    for (int i = 0; i < r.moves.size(); ++i)
        if (!r.moves[i].ok()) {
            r.failedLine = i;
            r.failure = r.moves[i].status;
            return r;
        }
    QVector<VoucherLine> lines;
    lines.reserve(p.lines.size());
    for (int i = 0; i < p.lines.size(); ++i) {
        const Line &l = p.lines[i];
        const QString kind = !l.kind.isEmpty() ? l.kind : (l.op == StockModel::Op::Lower ? "出库" : "入库");
        lines.append(voucherLine(l.goods, r.moves[i], kind));
    }
    // The header's number is taken last: no number lock is held while rows are moved.
    const QString id = makeRecordID();
    m_vouchers.writeLines(id, lines);
    r.voucher = m_vouchers.writeHeader(p.kind, p.header, id);
    return r;
}

int Ledger::firstShortLine(const QVector<Line> &lines)
{
    // Several lines may draw on one row: add up what each row must give.
    QHash<QString, double> need;
    for (int i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        if (l.op != StockModel::Op::Lower || l.allowNegative)
            continue;
        const QString key = l.goods.goodsNo + '\x1f' + l.goods.name + '\x1f' + l.goods.place;
        const double total = round4(need.value(key) + round4(l.goods.qty));
        need[key] = total;
        const auto row = m_stock.findRow(l.goods.goodsNo, l.goods.name, l.goods.place, m_conn.inTransaction());
        if (!row || round4(row->stock - total) < 0)
            return i;
    }
    return -1;
}

} // namespace orv
