#include "warehouse/internalposting.h"
#include "common/clock.h"

namespace orv {

std::optional<CheckFailure> checkInternalLines(const GoodsLineGrid &grid, const QString &date,
                                               const char *emptyCodeText, const char *dateCaption)
{
    if (!grid.hasLines())
        return CheckFailure{QStringLiteral("请输入货品"), QString()};
    const char *const texts[5] = {emptyCodeText, "货品名称不能为空", "货品数量不能为空", "货品单价不能为空",
                                  "货品金额不能为空"};
    if (auto f = emptyCells(grid, texts))
        return f;
    if (auto f = checkLineNumbers(grid))
        return f;
    return checkDateField(date, dateCaption, "Edit1Date");
}

InternalPosting::InternalPosting(Connection &c) : m_conn(c), m_ledger(c) {}

InternalPosting::~InternalPosting() = default;

QVector<Ledger::Line> InternalPosting::ledgerLines(const InternalKind &kind, const QVector<SavedLine> &lines)
{
    const bool raise = kind.direction == InternalDirection::In;
    QVector<Ledger::Line> out;
    out.reserve(lines.size());
    for (const SavedLine &l : lines) {
        Ledger::Line line;
        line.op = raise ? StockModel::Op::Raise : StockModel::Op::Lower;
        line.goods = goodsLineOf(l, l.supplier);
        if (raise && kind.warningStockOnNewRow)
            line.opts.warningStock = line.goods.qty;
        line.kind = raise ? QStringLiteral("入库") : QStringLiteral("出库");
        out.append(line);
    }
    return out;
}

int InternalPosting::firstShortRow(const InternalKind &kind, const QVector<SavedLine> &lines)
{
    if (kind.direction == InternalDirection::In)
        return 0;
    const int i = m_ledger.firstShortLine(ledgerLines(kind, lines));
    return i < 0 ? 0 : lines[i].gridRow;
}

VoucherHeader InternalPosting::voucherHeader(const InternalKind &kind, const InternalHeader &h, const QString &docID)
{
    VoucherHeader v;
    v.refNo = h.number;
    v.refID = docID;
    v.reason = QString::fromUtf8(kind.reason);
    v.date = h.date;
    v.maker = storedText(h.clerk);
    v.category = kind.direction == InternalDirection::In ? QStringLiteral("入库") : QStringLiteral("出库");
    v.remark = storedText(h.remark);
    v.auditor = QStringLiteral("");
    v.auditDate = h.date;
    v.partner = storedText(h.party);
    v.partnerCode = storedText(h.partyCode);
    v.contact = storedText(h.manager);
    v.phone = QStringLiteral("");
    return v;
}

DocumentLineWriter &InternalPosting::lineWriter(const InternalKind &kind, bool pending)
{
    auto &w = m_writers[{kind.kind, pending}];
    if (!w) {
        // The pending form leaves the stock columns and 拼音码 to the approval.
        const QStringList tail = pending ? QStringList{QStringLiteral("换算比率")}
                                         : QStringList{"换算比率", "结存", "原有库存数量", "辅助库存结存",
                                                       "原有辅助数量", "拼音码"};
        w = std::make_unique<DocumentLineWriter>(m_conn, QString::fromUtf8(kind.lines), tail);
    }
    return *w;
}

QString InternalPosting::insertHeader(const InternalKind &kind, const InternalHeader &h, const QString &docID,
                                      double total, const QString &state)
{
    QStringList columns{QStringLiteral("单据编号"), QStringLiteral("日期"), QString::fromUtf8(kind.operatorColumn),
                        QStringLiteral("ID"), QStringLiteral("当前状态"), QString::fromUtf8(kind.partyColumn),
                        QString::fromUtf8(kind.codeColumn)};
    QVariantList values{QString(), h.date, storedText(h.clerk), docID, state, storedText(h.party),
                        storedText(h.partyCode)};
    for (const InternalField &f : kind.staff) {
        if (!f.column)
            continue;
        const QString column = QString::fromUtf8(f.column);
        columns << column;
        values << storedText(h.staff.value(column));
    }
    columns << QStringLiteral("金额合计") << QStringLiteral("摘要") << QStringLiteral("时间");
    values << round4(total) << storedText(h.remark) << Clock::localNow().toString(QStringLiteral("hh:mm:ss"));
    const QString sql = "insert into " + QString::fromUtf8(kind.header) + " (" + columns.join(',') + ") values (" +
                        QString("?,").repeated(int(columns.size()) - 1) + "?)";
    return m_ledger.numbers(internalDocNumbers(kind.kind))
        .insertNumbered(
            [&](const QString &no) {
                values[0] = no;
                m_conn.exec(sql, values);
            },
            h.number);
}

InternalPosting::Result InternalPosting::save(const InternalKind &kind, const InternalHeader &h,
                                              const QVector<SavedLine> &lines)
{
    Result r;
    r.id = makeRecordID();
    double total = 0;
    for (const SavedLine &l : lines)
        total = round4(total + l.amount);

    Transaction tx(m_conn);
    const bool pending = kind.direction == InternalDirection::Pending;
    DocumentLineWriter &writer = lineWriter(kind, pending);
    QVector<QVariantList> rows;
    rows.reserve(lines.size());
    VoucherRef voucher;
    if (pending) {
        for (const SavedLine &l : lines)
            rows.append(writer.row(r.id, goodsLineOf(l, l.supplier), StockMove{}));
    } else {
        Ledger::Posting p;
        p.kind = kind.direction == InternalDirection::In ? VoucherIn : VoucherOut;
        p.header = voucherHeader(kind, h, r.id);
        p.lines = ledgerLines(kind, lines);
        const Ledger::Result posted = m_ledger.post(p);
        if (!posted.ok()) {
            r.shortRow = lines[posted.failedLine].gridRow;
            return r; // rolled back
        }
        voucher = posted.voucher;
        for (int i = 0; i < lines.size(); ++i)
            rows.append(writer.row(r.id, p.lines[i].goods, posted.moves[i]));
    }
    writer.insert(rows);
    r.number = insertHeader(kind, h, r.id, total, pending ? QStringLiteral("待审核") : QStringLiteral("已审核"));
    if (!pending)
        m_ledger.vouchers().followRefNo(voucher.id, h.number, r.number);
    tx.commit();
    return r;
}

} // namespace orv
