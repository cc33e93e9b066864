#include "purchasing/receiptposting.h"
#include "common/clock.h"
#include "purchasing/purchasingschema.h"
#include "warehouse/warehouseschema.h"

#include <QtNumeric>

namespace orv {

namespace {
const char *kLineColumns = "(编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,结存,"
                           "原有库存数量,换算比率,辅助库存结存,原有辅助数量,拼音码)";
constexpr int kLineValues = 20;

QVariant ratioValue(const std::optional<double> &r)
{
    return r ? QVariant(*r) : QVariant(QMetaType::fromType<double>());
}

QString localTime() { return Clock::localNow().toString(QStringLiteral("hh:mm:ss")); }

// The receipt's and the requisition's lines: one statement for a document's lines.
class LineInserts {
public:
    LineInserts(Connection &c, const QString &table) : m_conn(c), m_table(table) {}
    void insert(const QVector<QVariantList> &rows)
    {
        constexpr int kChunk = 32;
        for (qsizetype at = 0; at < rows.size(); at += kChunk) {
            const int n = int(qMin<qsizetype>(kChunk, rows.size() - at));
            auto &stmt = m_byRows[n];
            if (!stmt) {
                const QString one = "(" + QString("?,").repeated(kLineValues - 1) + "?)";
                QStringList all;
                for (int i = 0; i < n; ++i)
                    all << one;
                stmt = std::make_shared<Statement>(m_conn, "insert into " + m_table + " " +
                                                                QString::fromUtf8(kLineColumns) + " values " +
                                                                all.join(','));
            }
            QVariantList binds;
            binds.reserve(n * kLineValues);
            for (int i = 0; i < n; ++i)
                binds << rows[at + i];
            stmt->exec(binds).finish();
        }
    }

private:
    Connection &m_conn;
    QString m_table;
    QHash<int, std::shared_ptr<Statement>> m_byRows;
};

QVariantList lineRow(const SavedLine &l, const QString &id, const QString &supplier, const StockMove &m,
                     const QVariant &ratio)
{
    return {l.goodsNo, l.name, l.spec, l.unit, l.auxUnit, l.auxQty, l.qty, l.price, l.amount, id, l.barcode,
            l.place, supplier, l.category, m.stockAfter, m.stockBefore, ratio, m.auxAfter, m.auxBefore,
            storedText(m.mnemonic)};
}
} // namespace

GoodsLine goodsLineOf(const SavedLine &l, const QString &supplier)
{
    GoodsLine g;
    g.goodsNo = l.goodsNo;
    g.name = l.name;
    g.spec = l.spec;
    g.unit = l.unit;
    g.auxUnit = l.auxUnit;
    g.barcode = l.barcode;
    g.place = l.place;
    g.supplier = supplier;
    g.category = l.category;
    g.qty = l.qty;
    g.auxQty = l.auxQty;
    g.price = l.price;
    g.amount = l.amount;
    // An empty 换算比率 travels as NaN: the voucher line then stores NULL as the document line does.
    g.ratio = l.ratio.value_or(qQNaN());
    return g;
}

struct ReceiptPosting::Lines {
    explicit Lines(Connection &c) : receipt(c, QStringLiteral("采购入库明细")), issue(c, QStringLiteral("车间领用明细")) {}
    LineInserts receipt, issue;
};

ReceiptPosting::ReceiptPosting(Connection &c)
    : m_conn(c), m_ledger(c), m_lines(std::make_unique<Lines>(c)),
      m_refNo(c, "update 出入库单 set 引用单号 = ? where ID = ?")
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

    Transaction tx(m_conn);
    // The receipt: every goods row raised at its moving average price, or created.
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
    const Ledger::Result received = m_ledger.post(in);
    if (!received.ok())
        throw DbError(QStringLiteral("第%1行货品入库失败").arg(lines[received.failedLine].gridRow));

    QVector<QVariantList> receiptRows;
    receiptRows.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const StockMove &m = received.moves[i];
        const QVariant ratio = m.status == MoveStatus::Created ? QVariant(m.ratio) : ratioValue(lines[i].ratio);
        receiptRows.append(lineRow(lines[i], r.receiptID, supplier, m, ratio));
    }
    m_lines->receipt.insert(receiptRows);

    VoucherRef issued;
    if (issue.on) {
        // The direct issue takes back what the receipt just raised: every line is checked
        // before any is taken, so a shortage leaves nothing issued and nothing received.
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
        const Ledger::Result taken = m_ledger.post(out);
        if (!taken.ok()) {
            r.shortRow = lines[taken.failedLine].gridRow;
            return r;
        }
        issued = taken.voucher;
        QVector<QVariantList> issueRows;
        issueRows.reserve(lines.size());
        for (int i = 0; i < lines.size(); ++i)
            issueRows.append(lineRow(lines[i], r.receiptID, supplier, taken.moves[i], ratioValue(lines[i].ratio)));
        m_lines->issue.insert(issueRows);
        r.issueNo = m_ledger.numbers(internalDocNumbers(1))
                        .insertNumbered(
                            [&](const QString &no) {
                                m_conn.exec("insert into 车间领用(单据编号,日期,领用员,ID,摘要,领用部门,部门编号,部门经理,"
                                            "发货员,复核员,当前状态,金额合计,经办人,时间) values "
                                            "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                            {no, h.date, storedText(issue.picker), r.receiptID, storedText(h.memo),
                                             storedText(issue.department), storedText(issue.departmentCode),
                                             storedText(issue.manager), storedText(issue.shipper),
                                             storedText(h.checker), QStringLiteral("已审核"), 0.0,
                                             storedText(h.clerk), time});
                            },
                            issue.number);
    }

    r.receiptNo = m_ledger.numbers(receiptNumbers())
                      .insertNumbered(
                          [&](const QString &no) {
                              m_conn.exec("insert into 采购入库单(单据编号,开单日期,开单人,ID,当前状态,备注,供应商,"
                                          "合计应付,供应商编号,送货员,验收员,收货员,复核员,原始编号,实际付款,挂账金额,"
                                          "时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                          {no, h.date, storedText(h.clerk), r.receiptID, QStringLiteral("已入库"),
                                           storedText(h.memo), supplier, round4(h.payable),
                                           storedText(h.supplierCode), storedText(h.deliverer),
                                           storedText(h.inspector), storedText(h.receiver), storedText(h.checker),
                                           storedText(h.originalNo), round4(h.paid), round4(h.onAccount), time});
                          },
                          h.number);
    // The vouchers name the documents by the numbers they were finally given.
    if (r.receiptNo != h.number)
        m_refNo.exec({r.receiptNo, received.voucher.id}).finish();
    if (issue.on && r.issueNo != issue.number)
        m_refNo.exec({r.issueNo, issued.id}).finish();
    tx.commit();
    return r;
}

} // namespace orv
