#include "documents/documentapproval.h"
#include "data/dataset.h"

#include <QHash>
#include <QSqlQuery>
#include <QtNumeric>

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kApproved = QStringLiteral("已审核");

const char *const kLineColumns = "流水号,编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,条码,仓位,供应商,类别,换算比率";
constexpr int kLineValues = 15;

double numberOr0(const Field &f) { return f.isNull() ? 0 : round4(f.asFloat()); }
} // namespace

DocumentApproval::DocumentApproval(Connection &c) : m_conn(c), m_ledger(c) {}

DocumentApproval::~DocumentApproval() = default;

QString DocumentApproval::shortageMessage(const GoodsLine &l)
{
    return QStringLiteral("货品编号:") + trimBlanks(l.goodsNo) + QStringLiteral("名称:") + l.name +
           QStringLiteral("库存不足,操作被取消");
}

QVector<ApprovalLine> DocumentApproval::readLines(const Request &r)
{
    DataSet ds(&m_conn);
    QString columns = QString::fromUtf8(kLineColumns);
    if (!r.extraColumns.isEmpty())
        columns += ',' + r.extraColumns.join(',');
    ds.setSql("select " + columns + " from " + r.lineTable + " where ID = ? order by 流水号");
    ds.addBindValue(r.docID);
    ds.open();
    QVector<ApprovalLine> lines;
    lines.reserve(ds.recordCount());
    for (ds.first(); !ds.eof(); ds.next()) {
        ApprovalLine l;
        l.rowNo = ds.fields(0).value().toLongLong();
        GoodsLine &g = l.goods;
        g.goodsNo = ds.fields(1).asString();
        g.name = ds.fields(2).asString();
        g.spec = ds.fields(3).asString();
        g.unit = ds.fields(4).asString();
        g.auxUnit = ds.fields(5).asString();
        g.auxQty = numberOr0(ds.fields(6));
        if (ds.fields(7).isNull())
            throw DbError(QStringLiteral("货品编号:") + trimBlanks(g.goodsNo) + QStringLiteral("名称:") + g.name +
                          QStringLiteral("数量为空,操作被取消"));
        g.qty = round4(ds.fields(7).asFloat());
        g.price = numberOr0(ds.fields(8));
        g.amount = numberOr0(ds.fields(9));
        g.barcode = ds.fields(10).asString();
        g.place = ds.fields(11).asString();
        g.supplier = ds.fields(12).asString();
        g.category = ds.fields(13).asString();
        g.ratio = ds.fields(14).isNull() ? qQNaN() : ds.fields(14).asFloat();
        for (int i = 0; i < r.extraColumns.size(); ++i)
            l.extras << ds.fields(kLineValues + i).value();
        lines << l;
    }
    return lines;
}

DocumentApproval::Result DocumentApproval::approve(const Request &r)
{
    Result res;
    if (r.docID.isEmpty())
        return res;
    Transaction tx(m_conn);

    // 1. Only a pending document is approved: a client that approved or cancelled it first (its
    // commit waited for here) leaves no row to change.
    QString sets = QStringLiteral("当前状态 = ?");
    QVariantList binds{kApproved};
    for (const auto &[column, value] : r.stateWrites) {
        sets += ", " + column + " = ?";
        binds << value;
    }
    binds << r.docID << kPending;
    QSqlQuery state(m_conn.db());
    state.prepare("update " + r.headerTable + " set " + sets + " where ID = ? and 当前状态 = ?");
    for (const QVariant &v : std::as_const(binds))
        state.addBindValue(v);
    m_conn.run(state, state.lastQuery());
    if (state.numRowsAffected() <= 0)
        return res;
    state.finish();

    // 2. Every row at once, in the fixed order: two approvals naming the same goods in opposite
    // orders never wait on each other in a circle.
    res.lines = readLines(r);
    QVector<GoodsLine> goods;
    goods.reserve(res.lines.size());
    for (const ApprovalLine &l : std::as_const(res.lines))
        goods << l.goods;
    StockModel &stock = m_ledger.stock();
    const QVector<std::optional<GoodsRowRef>> rows = stock.lockedRowsTrimmed(goods);

    // 3. The document's quantity of a code and name, whatever the place, against each line's row.
    QHash<QString, double> demand;
    const auto keyOf = [](const GoodsLine &g) { return trimBlanks(g.goodsNo) + '\x1f' + trimBlanks(g.name); };
    for (const GoodsLine &g : std::as_const(goods))
        demand[keyOf(g)] = round4(demand.value(keyOf(g)) + g.qty);
    for (int i = 0; i < goods.size(); ++i) {
        const double available = rows[i] ? rows[i]->stock : 0;
        if (demand.value(keyOf(goods[i])) > available) {
            res.status = Status::Short;
            res.shortLine = i;
            res.message = shortageMessage(goods[i]);
            return res; // rolled back
        }
    }

    // 4. The lines taken from their rows, found by 流水号.
    QVector<StockModel::Take> takes;
    QVector<int> takeLine;
    for (int i = 0; i < goods.size(); ++i)
        if (rows[i]) {
            takes.append({*rows[i], goods[i].qty, goods[i].auxQty});
            takeLine << i;
        }
    const QVector<StockMove> taken = stock.lowerLocked(takes);
    res.moves.resize(goods.size()); // Missing until taken
    for (int k = 0; k < taken.size(); ++k)
        res.moves[takeLine[k]] = taken[k];

    // 5. The voucher: a line for each line taken; its number is taken last.
    QVector<VoucherLine> voucherLines;
    for (int i = 0; i < goods.size(); ++i)
        if (res.taken(i))
            voucherLines << voucherLine(goods[i], res.moves[i], QStringLiteral("出库"));
    const QString voucherID = r.voucherID.isEmpty() ? makeRecordID() : r.voucherID;
    m_ledger.vouchers().writeLines(voucherID, voucherLines);
    res.voucher = m_ledger.vouchers().writeHeader(VoucherOut, r.voucher, voucherID);

    // 6. What each taken line records.
    std::unique_ptr<Statement> writeBack;
    if (r.writeBackStock)
        writeBack = std::make_unique<Statement>(m_conn, "update " + r.lineTable +
                                                            " set 结存 = ?, 原有库存数量 = ?, 辅助库存结存 = ?, "
                                                            "原有辅助数量 = ?, 拼音码 = ? where 流水号 = ?");
    for (int i = 0; i < res.lines.size(); ++i) {
        if (!res.taken(i))
            continue;
        const StockMove &m = res.moves[i];
        if (writeBack)
            writeBack->exec({m.stockAfter, m.stockBefore, m.auxAfter, m.auxBefore,
                             m.mnemonic.isNull() ? QStringLiteral("") : m.mnemonic, res.lines[i].rowNo})
                .finish();
        if (r.eachTaken)
            r.eachTaken(res.lines[i], m);
    }

    // 7. The caller's closing writes, then all of it at once.
    res.status = Status::Approved;
    if (r.closing)
        r.closing(res);
    tx.commit();
    return res;
}

bool DocumentApproval::cancel(Connection &c, const QString &headerTable, qint64 rowNo)
{
    QSqlQuery q(c.db());
    q.prepare("update " + headerTable + " set 当前状态 = ? where 流水号 = ? and 当前状态 = ?");
    q.addBindValue(QStringLiteral("取消"));
    q.addBindValue(rowNo);
    q.addBindValue(kPending);
    c.run(q, q.lastQuery());
    return q.numRowsAffected() > 0;
}

} // namespace orv
