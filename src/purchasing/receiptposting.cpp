#include "purchasing/receiptposting.h"
#include "common/clock.h"
#include "ledger/documentlines.h"
#include "purchasing/purchasingschema.h"
#include "warehouse/warehouseschema.h"

namespace orv {

namespace {
QString localTime() { return Clock::localNow().toString(QStringLiteral("hh:mm:ss")); }
} // namespace

struct ReceiptPosting::Lines {
    explicit Lines(Connection &c)
        : receipt(c, QStringLiteral("采购入库明细")), issue(c, QStringLiteral("车间领用明细")),
          receiptHeader(c, receiptNumbers(),
                        QStringLiteral("单据编号,开单日期,开单人,ID,当前状态,备注,供应商,合计应付,供应商编号,送货员,验收员,"
                                       "收货员,复核员,原始编号,实际付款,挂账金额,时间")
                            .split(',')),
          issueHeader(c, internalDocNumbers(1),
                      QStringLiteral("单据编号,日期,领用员,ID,摘要,领用部门,部门编号,部门经理,发货员,复核员,当前状态,金额合计,"
                                     "经办人,时间")
                          .split(','))
    {
    }
    DocumentLineWriter receipt, issue;
    NumberedInsert receiptHeader, issueHeader;
};

ReceiptPosting::ReceiptPosting(Connection &c)
    : m_conn(c), m_ledger(c), m_lines(std::make_unique<Lines>(c))
{
}

ReceiptPosting::~ReceiptPosting() = default;

ReceiptPosting::Result ReceiptPosting::post(const ReceiptHeader &h, const DirectIssue &issue,
                                            const QVector<SavedLine> &lines)
{
    Result r;
    r.receiptID = makeRecordID();
    const QString supplier = storedText(h.supplier);
    const QString time = localTime();
    // Everything that does not need the goods rows is made before the transaction takes them.
    Ledger::Posting in;
    in.kind = VoucherIn;
    in.header.refNo = h.number;
    in.header.refID = r.receiptID;
    in.header.reason = QStringLiteral("采购进货");
    in.header.date = h.date;
    in.header.maker = storedText(h.clerk);
    in.header.category = QStringLiteral("入库");
    in.header.remark = storedText(h.memo);
    in.header.auditor = QStringLiteral("");
    in.header.auditDate = h.date;
    in.header.partner = supplier;
    in.header.partnerCode = storedText(h.supplierCode);
    in.header.contact = QStringLiteral("");
    in.header.phone = QStringLiteral("");
    in.lines.reserve(lines.size());
    for (const SavedLine &l : lines)
        in.lines.append({StockModel::Op::Receive, goodsLineOf(l, supplier), {}, false, QStringLiteral("入库")});
    const QVariantList receiptValues = {QVariant(), h.date, storedText(h.clerk), r.receiptID, QStringLiteral("已入库"),
                                        storedText(h.memo), supplier, round4(h.payable), storedText(h.supplierCode),
                                        storedText(h.deliverer), storedText(h.inspector), storedText(h.receiver),
                                        storedText(h.checker), storedText(h.originalNo), round4(h.paid),
                                        round4(h.onAccount), time};
    const auto rowsOf = [&](DocumentLineWriter &writer, const Ledger::Posting &posting) {
        return [&writer, &posting, id = r.receiptID](const QVector<StockMove> &moves) {
            QVector<QVariantList> rows;
            rows.reserve(moves.size());
            for (int i = 0; i < moves.size(); ++i)
                rows.append(writer.row(id, posting.lines[i].goods, moves[i]));
            return rows;
        };
    };

    Transaction tx(m_conn);
    // The receipt: every goods row raised at its moving average price, or created; without a
    // direct issue its header is numbered by the posting's own statement.
    Ledger::Document receipt{&m_lines->receipt, rowsOf(m_lines->receipt, in), nullptr, {}, {}};
    if (!issue.on)
        receipt = {&m_lines->receipt, rowsOf(m_lines->receipt, in), &m_lines->receiptHeader, receiptValues, h.number};
    const Ledger::Result received = m_ledger.post(in, receipt);
    if (!received.ok())
        throw DbError(QStringLiteral("第%1行货品入库失败").arg(lines[received.failedLine].gridRow));
    if (!issue.on) {
        r.receiptNo = received.documentNo;
        tx.commit();
        return r;
    }

    // The direct issue takes back what the receipt just raised: every line is checked before
    // any is taken, so a shortage leaves nothing issued and nothing received.
    Ledger::Posting out;
    out.kind = VoucherOut;
    out.header = in.header;
    out.header.refNo = issue.number;
    out.header.reason = QStringLiteral("车间领用");
    out.header.category = QStringLiteral("出库");
    out.header.partner = storedText(issue.department);
    out.header.partnerCode = storedText(issue.departmentCode);
    out.header.contact = storedText(issue.manager);
    out.lines.reserve(lines.size());
    for (const SavedLine &l : lines)
        out.lines.append({StockModel::Op::Lower, goodsLineOf(l, supplier), {}, false, QStringLiteral("出库")});
    const int shortLine = m_ledger.firstShortLine(out.lines);
    if (shortLine >= 0) {
        r.shortRow = lines[shortLine].gridRow;
        return r; // rolled back
    }
    const QVariantList issueValues = {QVariant(), h.date, storedText(issue.picker), r.receiptID, storedText(h.memo),
                                      storedText(issue.department), storedText(issue.departmentCode),
                                      storedText(issue.manager), storedText(issue.shipper), storedText(h.checker),
                                      QStringLiteral("已审核"), 0.0, storedText(h.clerk), time};
    const Ledger::Result taken = m_ledger.post(
        out, {&m_lines->issue, rowsOf(m_lines->issue, out), &m_lines->issueHeader, issueValues, issue.number});
    if (!taken.ok()) {
        r.shortRow = lines[taken.failedLine].gridRow;
        return r;
    }
    r.issueNo = taken.documentNo;
    r.receiptNo = m_lines->receiptHeader.insert(receiptValues, h.number);
    // The receipt's voucher names it by the number it was finally given.
    m_ledger.vouchers().followRefNo(received.voucher.id, h.number, r.receiptNo);
    tx.commit();
    return r;
}

} // namespace orv
