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
    // On PostgreSQL the changed rows, the voucher lines and the numbered header go to the
    // server as one statement: every round trip a save makes is a wait for every client.
    const bool together = !m_conn.isSqlite() && p.lines.size() <= VoucherWriter::kLinesPerStatement;
    StockModel::RowWrites rowWrites;
    r.moves = m_stock.apply(requests, together ? &rowWrites : nullptr);
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
    if (together) {
        r.voucher = writeTogether(p.kind, p.header, id, lines, rowWrites);
        return r;
    }
    m_vouchers.writeLines(id, lines);
    r.voucher = m_vouchers.writeHeader(p.kind, p.header, id);
    return r;
}

VoucherRef Ledger::writeTogether(int kind, const VoucherHeader &header, const QString &id,
                                 const QVector<VoucherLine> &lines, const StockModel::RowWrites &rows)
{
    auto &stmt = m_together[{kind, rows.rows, int(lines.size())}];
    if (!stmt) {
        QStringList parts;
        if (rows.rows > 0) {
            const StockModel::RowWritesSql update = StockModel::rowWrites(rows.rows);
            parts << update.values << "u as (" + update.update + ")";
        }
        if (!lines.isEmpty())
            parts << "l as (" + VoucherWriter::linesSql(int(lines.size())) + ")";
        const QString head = m_vouchers.claimingHeaderSql(kind);
        stmt = std::make_unique<Statement>(m_conn, parts.isEmpty() ? head : "with " + parts.join(", ") + " " + head);
    }
    QVariantList binds = rows.binds;
    for (const VoucherLine &l : lines)
        VoucherWriter::appendLineBinds(binds, id, l);
    binds += m_vouchers.claimingHeaderBinds(kind, header, id);
    QSqlQuery &q = stmt->exec(binds);
    VoucherRef ref{QString(), id};
    if (q.next())
        ref.number = q.value(0).toString();
    q.finish();
    // The rows and lines are written; only the number went to another save.
    return ref.number.isEmpty() ? m_vouchers.writeHeader(kind, header, id) : ref;
}

int Ledger::firstShortLine(const QVector<Line> &lines)
{
    QVector<int> lowering;
    QVector<GoodsLine> goods;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].op == StockModel::Op::Lower && !lines[i].allowNegative) {
            lowering << i;
            goods << lines[i].goods;
        }
    // Every row is read (and locked) at once in the fixed order, never one by one in line order.
    const QVector<std::optional<GoodsRowRef>> rows = m_stock.lockedRows(goods);
    // Several lines may draw on one row: add up what each row must give.
    QHash<QString, double> need;
    for (int k = 0; k < lowering.size(); ++k) {
        const GoodsLine &g = goods[k];
        const QString key = g.goodsNo + '\x1f' + g.name + '\x1f' + g.place;
        const double total = round4(need.value(key) + round4(g.qty));
        need[key] = total;
        if (!rows[k] || round4(rows[k]->stock - total) < 0)
            return lowering[k];
    }
    return -1;
}

} // namespace orv
