#include "warehouse/transfers.h"
#include "app/appglobals.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "warehouse/warehouseschema.h"

namespace orv {

namespace {
const QString kApproved = QStringLiteral("已审核");
const QString kInternalPartner = QStringLiteral("公司内部货品调拨");

std::optional<CheckFailure> transferLines(const GoodsLineGrid &grid, const QString &date)
{
    return checkInternalLines(grid, date, "货品不能为空", "日期");
}

double totalOf(const QVector<SavedLine> &lines)
{
    double total = 0;
    for (const SavedLine &l : lines)
        total = round4(total + l.amount);
    return total;
}

QString timeNow() { return Clock::localNow().toString(QStringLiteral("hh:mm:ss")); }

// Lines as the ledger moves them at `place` (empty: each line's own); a raise creating a row gives
// it 警戒库存 = the line's quantity.
QVector<Ledger::Line> movedAt(const QVector<Ledger::Line> &lines, StockModel::Op op, const QString &place = QString())
{
    QVector<Ledger::Line> out = lines;
    for (Ledger::Line &l : out) {
        l.op = op;
        l.kind = op == StockModel::Op::Lower ? QStringLiteral("出库") : QStringLiteral("入库");
        if (!place.isNull())
            l.goods.place = place;
        if (op == StockModel::Op::Raise)
            l.opts.warningStock = l.goods.qty;
    }
    return out;
}
} // namespace

std::optional<CheckFailure> checkWorkshopTransfer(const WorkshopTransferHeader &h, const GoodsLineGrid &grid)
{
    if (h.fromShop.isEmpty())
        return CheckFailure{QStringLiteral("请输入调出车间"), QStringLiteral("ComboBox5")};
    if (h.toShop.isEmpty())
        return CheckFailure{QStringLiteral("请输入调入车间"), QStringLiteral("ComboBoxRen")};
    return transferLines(grid, h.date);
}

std::optional<CheckFailure> checkWarehouseTransfer(const WarehouseTransferHeader &h, const GoodsLineGrid &grid)
{
    // Two empty places are the same place too.
    if (h.source == h.target)
        return CheckFailure{QStringLiteral("调出库和调入库不能为同一个仓库"), QStringLiteral("ComboBox5")};
    if (h.source.isEmpty())
        return CheckFailure{QStringLiteral("请输入调出仓库"), QStringLiteral("ComboBox5")};
    if (h.target.isEmpty())
        return CheckFailure{QStringLiteral("请输入调入仓库"), QStringLiteral("ComboBoxRen")};
    return transferLines(grid, h.date);
}

Transfers::Transfers(Connection &c)
    : m_conn(c), m_posting(c), m_workshopLines(c, QStringLiteral("调拨明细")),
      m_warehouseLines(c, QStringLiteral("货品调拨明细"))
{
}

Transfers::~Transfers() = default;

Transfers::Result Transfers::saveWorkshop(const WorkshopTransferHeader &h, const QVector<SavedLine> &lines)
{
    const InternalKind &receipt = internalKind(2), &requisition = internalKind(1);
    Result r;
    r.id = makeRecordID();
    const double total = totalOf(lines);

    // The receipt from the giving workshop and the requisition by the receiving one, as the
    // internal documents of those kinds store them.
    InternalHeader in;
    in.number = h.receiptNo;
    in.date = h.date;
    in.clerk = h.manager;
    in.party = h.fromShop;
    in.partyCode = h.fromCode;
    in.manager = h.shipper; // the receipt voucher's 联系人
    in.remark = h.remark;
    in.staff = {{QStringLiteral("送货员"), h.shipper}, {QStringLiteral("复核员"), h.checker}};
    InternalHeader out = in;
    out.number = h.requisitionNo;
    out.party = h.toShop;
    out.partyCode = h.toCode;
    out.manager = h.receiver;
    out.staff = {{QStringLiteral("领用员"), h.receiver}, {QStringLiteral("发货员"), h.shipper},
                 {QStringLiteral("复核员"), h.checker}};

    Ledger &ledger = m_posting.ledger();
    const QVector<Ledger::Line> base = InternalPosting::ledgerLines(requisition, lines);
    const QVector<Ledger::Line> raised = movedAt(base, StockModel::Op::Raise);
    const QVector<Ledger::Line> lowered = movedAt(base, StockModel::Op::Lower);

    Transaction tx(m_conn);
    // Every line must find its row holding what the lines ask of it before anything moves,
    // although the goods come back to it at once.
    const int shortLine = ledger.firstShortLine(lowered);
    if (shortLine >= 0) {
        r.shortRow = lines[shortLine].gridRow;
        return r; // rolled back
    }
    const Ledger::Result inPosted = ledger.post({VoucherIn, InternalPosting::voucherHeader(receipt, in, r.id), raised});
    if (!inPosted.ok()) {
        r.shortRow = lines[inPosted.failedLine].gridRow;
        return r;
    }
    const Ledger::Result outPosted =
        ledger.post({VoucherOut, InternalPosting::voucherHeader(requisition, out, r.id), lowered});
    if (!outPosted.ok()) {
        r.shortRow = lines[outPosted.failedLine].gridRow;
        return r;
    }

    QVector<QVariantList> receiptRows, requisitionRows, transferRows;
    DocumentLineWriter &receiptLines = m_posting.lineWriter(receipt, false);
    DocumentLineWriter &requisitionLines = m_posting.lineWriter(requisition, false);
    for (int i = 0; i < lines.size(); ++i) {
        const GoodsLine &g = base[i].goods;
        receiptRows << receiptLines.row(r.id, g, inPosted.moves[i]);
        requisitionRows << requisitionLines.row(r.id, g, outPosted.moves[i]);
        // The transfer's line keeps the stock after the move in both columns.
        StockMove after = outPosted.moves[i];
        after.stockBefore = after.stockAfter;
        after.auxBefore = after.auxAfter;
        transferRows << m_workshopLines.row(r.id, g, after);
    }
    receiptLines.insert(receiptRows);
    requisitionLines.insert(requisitionRows);
    m_workshopLines.insert(transferRows);

    const QString time = timeNow();
    r.number = ledger.numbers(workshopTransferNumbers())
                   .insertNumbered(
                       [&](const QString &no) {
                           m_conn.exec("insert into 调拨单(ID,单据编号,负责人,调出车间,调入车间,日期,摘要,发货员,收货员,"
                                       "复核员,金额合计,当前状态,时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                       {r.id, no, storedText(h.manager), storedText(h.fromShop), storedText(h.toShop),
                                        h.date, storedText(h.remark), storedText(h.shipper), storedText(h.receiver),
                                        storedText(h.checker), total, kApproved, time});
                       },
                       h.number);
    r.receiptNo = m_posting.insertHeader(receipt, in, r.id, total, kApproved);
    r.requisitionNo = m_posting.insertHeader(requisition, out, r.id, total, kApproved);
    ledger.vouchers().followRefNo(inPosted.voucher.id, h.receiptNo, r.receiptNo);
    ledger.vouchers().followRefNo(outPosted.voucher.id, h.requisitionNo, r.requisitionNo);
    tx.commit();
    return r;
}

Transfers::Result Transfers::saveWarehouse(const WarehouseTransferHeader &h, const QVector<SavedLine> &lines)
{
    Result r;
    r.id = makeRecordID();
    const double total = totalOf(lines);

    VoucherHeader v;
    v.refNo = h.number;
    v.refID = r.id;
    v.reason = QStringLiteral("货品调拨");
    v.date = h.date;
    v.maker = storedText(h.manager);
    v.remark = storedText(h.remark);
    v.auditor = QStringLiteral("");
    v.auditDate = h.date;
    v.partner = kInternalPartner;
    v.phone = QStringLiteral("");
    VoucherHeader outHeader = v, inHeader = v;
    outHeader.category = QStringLiteral("出库");
    inHeader.category = QStringLiteral("入库");

    const QVector<Ledger::Line> base = InternalPosting::ledgerLines(internalKind(1), lines);
    // The stock leaves the source place's row of the line's code and name, whatever place the
    // line was picked from, and the issue voucher books it there.
    const QVector<Ledger::Line> lowered = movedAt(base, StockModel::Op::Lower, h.source);
    const QVector<Ledger::Line> raised = movedAt(base, StockModel::Op::Raise, h.target);

    Ledger &ledger = m_posting.ledger();
    Transaction tx(m_conn);
    // The rows of both places at once, in the fixed order: a transfer the other way round never
    // holds a target row this one waits for while waiting for a source row it holds.
    QVector<GoodsLine> both;
    for (const QVector<Ledger::Line> *side : {&lowered, &raised})
        for (const Ledger::Line &l : *side)
            both << l.goods;
    ledger.stock().lockedRows(both);
    const int shortLine = ledger.firstShortLine(lowered);
    if (shortLine >= 0) {
        r.shortRow = lines[shortLine].gridRow;
        return r; // rolled back
    }
    const Ledger::Result outPosted = ledger.post({VoucherOut, outHeader, lowered});
    if (!outPosted.ok()) {
        r.shortRow = lines[outPosted.failedLine].gridRow;
        return r;
    }
    const Ledger::Result inPosted = ledger.post({VoucherIn, inHeader, raised});
    if (!inPosted.ok()) {
        r.shortRow = lines[inPosted.failedLine].gridRow;
        return r;
    }
    // The transfer's lines keep their own place, with the source row's stock before and after.
    QVector<QVariantList> rows;
    for (int i = 0; i < lines.size(); ++i)
        rows << m_warehouseLines.row(r.id, base[i].goods, outPosted.moves[i]);
    m_warehouseLines.insert(rows);

    const QString time = timeNow();
    r.number = ledger.numbers(warehouseTransferNumbers())
                   .insertNumbered(
                       [&](const QString &no) {
                           m_conn.exec("insert into 货品调拨单(ID,单据编号,负责人,调出仓位,调入仓位,日期,摘要,金额合计,"
                                       "当前状态,时间) values (?,?,?,?,?,?,?,?,?,?)",
                                       {r.id, no, storedText(h.manager), h.source, h.target, h.date,
                                        storedText(h.remark), total, kApproved, time});
                       },
                       h.number);
    ledger.vouchers().followRefNo(outPosted.voucher.id, h.number, r.number);
    ledger.vouchers().followRefNo(inPosted.voucher.id, h.number, r.number);
    tx.commit();
    return r;
}

namespace {
DocumentPrint transferPrint(Connection &c, const QString &title, const QString &sourceCaption,
                            const QString &targetCaption, const TransferPrintValues &v, const LineSlots &lineSlots,
                            const QList<QStringList> &lines)
{
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong1.frf");
    p.headBands = documentHeadBands(true);
    p.lineSlots = lineSlots;
    p.lines = lines;
    p.set("Memo1", companyName(c) + title);
    p.set("Memo2", sourceCaption);
    p.set("Memo10", targetCaption);
    for (const char *slot : {"Memo12", "Memo13", "Memo14", "Memo15"})
        p.set(QString::fromLatin1(slot), QString());
    p.set("Memo9", v.number);
    p.set("Memo5", v.date);
    p.set("Memo3", v.source);
    p.set("Memo33", v.target);
    p.set("Memo7", v.remark);
    p.set("Memo26", v.qty);
    p.set("Memo25", v.auxQty);
    p.set("Memo27", v.amount);
    p.set("Memo6", QStringLiteral("地址：") + G.gCompanyAddress + QStringLiteral("  电话：") + G.gCompanyPhone +
                       QStringLiteral(" ") + QStringLiteral("  传真:") + G.gCompanyFax);
    p.set("Memo8", G.gCompanyBusiness);
    return p;
}
} // namespace

DocumentPrint workshopTransferPrint(Connection &c, const TransferPrintValues &v, const LineSlots &lineSlots,
                                    const QList<QStringList> &lines)
{
    DocumentPrint p = transferPrint(c, QStringLiteral("车间调拨单"), QStringLiteral("调出单位:"),
                                    QStringLiteral("调入单位:"), v, lineSlots, lines);
    p.set("Memo28", signature(QStringLiteral("负责人:"), v.manager));
    p.set("Memo29", signature(QStringLiteral("发货员:"), v.shipper));
    p.set("Memo30", signature(QStringLiteral("收货员:"), v.receiver));
    p.set("Memo31", signature(QStringLiteral("复核员:"), v.checker));
    return p;
}

DocumentPrint warehouseTransferPrint(Connection &c, const TransferPrintValues &v, const LineSlots &lineSlots,
                                     const QList<QStringList> &lines, bool fromList)
{
    DocumentPrint p = transferPrint(c, QStringLiteral("仓库调拨单"), QStringLiteral("调出仓库:"),
                                    QStringLiteral("调入仓库:"), v, lineSlots, lines);
    p.set("Memo28", signature(QStringLiteral("负责人:"), v.manager, fromList ? QStringLiteral("负责人：") : QString()));
    for (const char *slot : {"Memo29", "Memo30", "Memo31"})
        p.set(QString::fromLatin1(slot), QString());
    return p;
}

DocumentPrint storedWarehouseTransferPrint(Connection &c, const QString &transferID)
{
    DataSet h(&c);
    h.setSql("select 单据编号, 日期, 调出仓位, 调入仓位, 摘要, 金额合计, 负责人 from 货品调拨单 where ID = ?");
    h.addBindValue(transferID);
    h.open();
    auto field = [&h](int i) { return h.isEmpty() ? QString() : h.fields(i).asString(); };
    const QString lineTable = QStringLiteral("货品调拨明细");
    const LineSums sums = storedLineSums(c, lineTable, transferID);
    TransferPrintValues v;
    v.number = field(0);
    v.date = field(1);
    v.source = field(2);
    v.target = field(3);
    v.remark = field(4);
    v.amount = field(5);
    v.manager = field(6);
    v.qty = sums.qty;
    v.auxQty = sums.auxQty;
    const LineSlots stored = documentLineSlots();
    return warehouseTransferPrint(c, v, stored, storedPrintLines(c, lineTable, transferID, stored), true);
}

} // namespace orv
