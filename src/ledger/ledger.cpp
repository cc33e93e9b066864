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

Ledger::Result Ledger::post(const Posting &p) { return post(p, Document{}); }

Ledger::Result Ledger::post(const Posting &p, const Document &doc)
{
    m_conn.requireTransaction("过账");
    voucherPrefix(p.kind); // refuses unknown kinds before anything moves
    QVector<StockModel::Request> requests;
    requests.reserve(p.lines.size());
    for (const Line &l : p.lines)
        requests.append({l.op, l.goods, l.opts, l.allowNegative});
    Result r;
    // On PostgreSQL the changed rows, the lines and the numbered headers go to the server as one
    // statement: every round trip between the first row lock and the commit is a wait for every
    // client that needs one of those rows.
    const bool together = !m_conn.isSqlite() && p.lines.size() <= VoucherWriter::kLinesPerStatement &&
                          p.lines.size() <= DocumentLineWriter::kRowsPerStatement;
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
    const QVector<QVariantList> docRows = doc.lines && doc.rows ? doc.rows(r.moves) : QVector<QVariantList>();
    // The headers' numbers are taken last: no number lock is held while rows are moved.
    const QString id = makeRecordID();
    if (together) {
        writeTogether(p.kind, p.header, id, lines, rowWrites, doc, docRows, r);
        return r;
    }
    m_vouchers.writeLines(id, lines);
    if (doc.lines)
        doc.lines->insert(docRows);
    VoucherHeader header = p.header;
    if (doc.header) {
        r.documentNo = doc.header->insert(doc.headerValues, doc.shownNo);
        header.refNo = r.documentNo;
    }
    r.voucher = m_vouchers.writeHeader(p.kind, header, id);
    return r;
}

void Ledger::writeTogether(int kind, const VoucherHeader &header, const QString &id, const QVector<VoucherLine> &lines,
                           const StockModel::RowWrites &rows, const Document &doc,
                           const QVector<QVariantList> &docRows, Result &r)
{
    NumberedInsert &voucherHeader = m_vouchers.headerInsert(kind);
    auto &stmt = m_together[{kind, rows.rows, int(lines.size()), int(docRows.size()), doc.lines, doc.header}];
    if (!stmt) {
        QStringList parts;
        if (rows.rows > 0) {
            const StockModel::RowWritesSql update = StockModel::rowWrites(rows.rows);
            parts << update.values << "u as (" + update.update + ")";
        }
        if (!lines.isEmpty())
            parts << "l as (" + VoucherWriter::linesSql(int(lines.size())) + ")";
        if (!docRows.isEmpty())
            parts << "d as (" + doc.lines->insertSql(int(docRows.size())) + ")";
        QHash<int, QString> refNo;
        if (doc.header) {
            parts << "h as (" + doc.header->claimingSql() + ")";
            // The voucher names the document by the number it is given here.
            refNo.insert(VoucherWriter::kRefNoColumn, QStringLiteral("coalesce((select * from h), ?)"));
        }
        parts << "vh as (" + voucherHeader.claimingSql(refNo) + ")";
        stmt = std::make_unique<Statement>(m_conn, "with " + parts.join(", ") + " select (select * from vh), " +
                                                       (doc.header ? "(select * from h)" : "null"));
    }
    QVariantList binds = rows.binds;
    for (const VoucherLine &l : lines)
        VoucherWriter::appendLineBinds(binds, id, l);
    for (const QVariantList &row : docRows)
        binds += row;
    if (doc.header)
        binds += doc.header->claimingBinds(doc.headerValues, doc.shownNo);
    binds += voucherHeader.claimingBinds(VoucherWriter::headerValues(header, id), QString());
    StatementResult &q = stmt->exec(binds);
    QString voucherNo, documentNo;
    if (q.next()) {
        voucherNo = q.value(0).toString();
        documentNo = q.value(1).toString();
    }
    q.finish();
    // The rows and lines are written; only a number went to another save meanwhile.
    if ((doc.header && documentNo.isEmpty()) || voucherNo.isEmpty())
        NumberedInsert::noteRetry();
    VoucherHeader named = header;
    if (doc.header) {
        if (documentNo.isEmpty()) {
            documentNo = doc.header->insert(doc.headerValues, doc.shownNo);
            if (!voucherNo.isEmpty())
                m_vouchers.followRefNo(id, header.refNo, documentNo);
        }
        named.refNo = documentNo;
        r.documentNo = documentNo;
    }
    r.voucher = voucherNo.isEmpty() ? m_vouchers.writeHeader(kind, named, id) : VoucherRef{voucherNo, id};
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
