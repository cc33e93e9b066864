#include "warehouse/lossreports.h"
#include "data/dataset.h"
#include "documents/auditdocuments.h"
#include "documents/pendingdocuments.h"
#include "documents/documentchecks.h"
#include "goods/goodspick.h"
#include "warehouse/internalprint.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kReportTable = QStringLiteral("货品报损单");
const QString kLineTable = QStringLiteral("货品报损明细");
constexpr int kLossKind = 4; // the internal kind, and the audit kind of the picker and the line editor

void storeTotal(Connection &c, const QString &reportID)
{
    c.exec("update 货品报损单 set 金额合计 = (select coalesce(sum(金额), 0) from 货品报损明细 where ID = ?) "
           "where ID = ? and 当前状态 = ?",
           {reportID, reportID, kPending});
}
} // namespace

LossReports::LossReports(Connection &c) : m_conn(c), m_approval(c)
{
    // A line the picker adds or the line editor changes carries the total in its own transaction.
    setAuditLinesFollowUp(kLossKind, &storeTotal);
}

LossReports::~LossReports() = default;

void LossReports::openPending(DataSet &ds, const PendingSearch &search)
{
    openPendingDocuments(m_conn, ds, kReportTable,
                         QStringLiteral("ID,单据编号,日期,报损部门,开单员,金额合计,部门编号,复核员,摘要,流水号"), search);
}

void LossReports::openLines(DataSet &ds, const QString &reportID)
{
    ds.clear();
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,仓位,供应商,类别,辅助数量,辅助单位 "
              "from 货品报损明细 where ID = ? order by 流水号");
    ds.addBindValue(reportID);
    ds.open();
}

void LossReports::recomputeTotal(const QString &reportID)
{
    if (reportID.isEmpty())
        return;
    Transaction tx(m_conn);
    storeTotal(m_conn, reportID);
    tx.commit();
}

bool LossReports::deleteLine(const QString &reportID, qint64 lineRowNo)
{
    Transaction tx(m_conn);
    if (!auditDocumentOpen(m_conn, kLossKind, reportID))
        return false;
    m_conn.exec("delete from 货品报损明细 where 流水号 = ? and ID = ?", {lineRowNo, reportID});
    storeTotal(m_conn, reportID);
    tx.commit();
    return true;
}

DocumentApproval::Result LossReports::approve(const QString &reportID, const QString &auditor,
                                              const QString &auditDate)
{
    DataSet h(&m_conn);
    h.setSql("select 单据编号, 摘要, 报损部门, 部门编号 from 货品报损单 where ID = ?");
    h.addBindValue(reportID);
    h.open();
    if (h.isEmpty())
        return {};
    DocumentApproval::Request r;
    r.headerTable = kReportTable;
    r.lineTable = kLineTable;
    r.docID = reportID;
    r.stateWrites = {{QStringLiteral("审核人"), storedText(auditor)}, {QStringLiteral("审核日期"), auditDate}};
    VoucherHeader &v = r.voucher;
    v.refNo = storedText(h.fields(0).asString());
    v.refID = reportID;
    v.reason = QStringLiteral("货品报损");
    v.date = auditDate;
    v.maker = storedText(auditor);
    v.category = QStringLiteral("出库");
    v.remark = storedText(h.fields(1).asString());
    v.auditor = v.maker;
    v.auditDate = auditDate;
    v.partner = storedText(h.fields(2).asString());
    v.partnerCode = storedText(h.fields(3).asString());
    v.contact = QStringLiteral("");
    v.phone = QStringLiteral("");
    r.writeBackStock = true;
    // The goods taken go into '报损仓'. Its rows are looked up trimmed on both sides (a code typed
    // with a trailing blank still finds the row), all locked at once in the fixed order; a row
    // found is raised under its stored texts, a missing one is created with the trimmed ones.
    r.closing = [this, &r, &reportID](const DocumentApproval::Result &res) {
        StockModel &stock = m_approval.ledger().stock();
        QVector<int> taken;
        QVector<GoodsLine> lossGoods;
        for (int i = 0; i < res.lines.size(); ++i)
            if (res.taken(i)) {
                GoodsLine g = res.lines[i].goods;
                g.goodsNo = trimBlanks(g.goodsNo);
                g.name = trimBlanks(g.name);
                g.place = kLossPlace;
                taken << i;
                lossGoods << g;
            }
        const QVector<std::optional<GoodsRowRef>> rows = stock.lockedRowsTrimmed(lossGoods);
        Statement stored(m_conn, "select 编号, 名称 from 货品目录 where 流水号 = ?");
        QVector<StockModel::Request> raises;
        for (int k = 0; k < lossGoods.size(); ++k) {
            GoodsLine g = lossGoods[k];
            if (rows[k]) {
                StatementResult &q = stored.exec({rows[k]->rowNo});
                if (q.next()) {
                    g.goodsNo = q.value(0).toString();
                    g.name = q.value(1).toString();
                }
                q.finish();
            }
            NewRowOptions opts;
            opts.warningStock = g.qty;
            opts.rowID = QStringLiteral("");
            raises.append({StockModel::Op::Raise, g, opts});
        }
        const QVector<StockMove> moves = stock.apply(raises);
        QVector<VoucherLine> lines;
        for (int k = 0; k < moves.size(); ++k) {
            if (!moves[k].ok())
                throw DbError(QStringLiteral("报损仓货品行无法写入：") + lossGoods[k].goodsNo);
            // The receipt line names the line's goods at '报损仓', with the ratio of the row there.
            GoodsLine g = res.lines[taken[k]].goods;
            g.place = kLossPlace;
            g.ratio = moves[k].ratio;
            lines << voucherLine(g, moves[k], QStringLiteral("入库"));
        }
        // The receipt voucher carries the report's own record ID, as stored reports expect.
        VoucherWriter &vouchers = m_approval.ledger().vouchers();
        vouchers.writeLines(reportID, lines);
        VoucherHeader in = r.voucher;
        in.category = QStringLiteral("入库");
        vouchers.writeHeader(VoucherIn, in, reportID);
    };
    return m_approval.approve(r);
}

bool LossReports::cancel(qint64 rowNo) { return DocumentApproval::cancel(m_conn, kReportTable, rowNo); }

DocumentPrint LossReports::print(const QString &reportID)
{
    // The report as the loss report list prints it, under the audit's own title, its total the
    // sum of the lines it prints.
    DocumentPrint p = internalStoredPrint(m_conn, internalKind(kLossKind), reportID);
    p.set("Memo1", companyName(m_conn) + QStringLiteral("公司货品报损单"));
    p.set("Memo2", QStringLiteral("报损部门:"));
    p.set("Memo27", storedLineSums(m_conn, kLineTable, reportID).amount);
    return p;
}

} // namespace orv
