#include "purchasing/purchasereturns.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "documents/auditdocuments.h"
#include "documents/pendingdocuments.h"
#include "goods/goodspick.h"
#include "ledger/documentlines.h"
#include "partners/partnerrules.h"
#include "purchasing/purchasingschema.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kReturnTable = QStringLiteral("采购退货单");
constexpr int kReturnKind = 3; // the audit kind of the picker and the line editor

const char *kHeaderColumns = "ID,单据编号,日期,供应商,经办人,合计应收,供应商编号,开票员,负责人,送货员,发货员,复核员,"
                             "备注,流水号,实际收款,挂账金额";
} // namespace

PurchaseReturns::PurchaseReturns(Connection &c)
    : m_conn(c), m_approval(c),
      // No stock columns yet: the approval fills them.
      m_lines(std::make_unique<DocumentLineWriter>(c, QStringLiteral("采购退货明细"), QStringList{QStringLiteral("换算比率")}))
{
}

PurchaseReturns::~PurchaseReturns() = default;

PurchaseReturns::Saved PurchaseReturns::save(const ReturnHeader &h, const QVector<SavedLine> &lines)
{
    Saved s;
    s.id = makeRecordID();
    const QString supplier = storedText(h.supplier);
    QVector<QVariantList> rows;
    rows.reserve(lines.size());
    for (const SavedLine &l : lines)
        rows << m_lines->row(s.id, goodsLineOf(l, supplier), StockMove{});
    const QString time = Clock::localNow().toString(QStringLiteral("hh:mm:ss"));
    Transaction tx(m_conn);
    m_lines->insert(rows);
    s.number = m_approval.ledger()
                   .numbers(purchaseReturnNumbers())
                   .insertNumbered(
                       [&](const QString &no) {
                           m_conn.exec("insert into 采购退货单(单据编号,日期,经办人,供应商,合计应收,ID,备注,当前状态,单据类别,"
                                       "供应商编号,发货员,复核员,送货员,实际收款,挂账金额,时间) values "
                                       "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                       {no, storedText(h.date), storedText(h.clerk), supplier, round4(h.receivable),
                                        s.id, storedText(h.memo), kPending, QStringLiteral("采购退货"),
                                        storedText(h.supplierCode), storedText(h.shipper), storedText(h.checker),
                                        storedText(h.deliverer), round4(h.received), round4(h.onAccount), time});
                       },
                       h.number);
    tx.commit();
    return s;
}

void PurchaseReturns::openPending(DataSet &ds, const PendingSearch &search)
{
    openPendingDocuments(m_conn, ds, QStringLiteral("采购退货单"), QString::fromUtf8(kHeaderColumns), search);
}

void PurchaseReturns::openLines(DataSet &ds, const QString &returnID)
{
    ds.clear();
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,仓位,供应商,类别,辅助数量,辅助单位,换算比率 "
              "from 采购退货明细 where ID = ? order by 流水号");
    ds.addBindValue(returnID);
    ds.open();
}

void PurchaseReturns::recomputeTotals(const QString &returnID)
{
    if (returnID.isEmpty())
        return;
    m_conn.exec("update 采购退货单 set 合计应收 = (select coalesce(sum(金额), 0) from 采购退货明细 where ID = ?), "
                "实际收款 = (select coalesce(sum(金额), 0) from 采购退货明细 where ID = ?), 挂账金额 = 0 "
                "where ID = ? and 当前状态 = ?",
                {returnID, returnID, returnID, kPending});
}

bool PurchaseReturns::deleteLine(const QString &returnID, qint64 lineRowNo)
{
    Transaction tx(m_conn);
    if (!auditDocumentOpen(m_conn, kReturnKind, returnID))
        return false;
    m_conn.exec("delete from 采购退货明细 where 流水号 = ? and ID = ?", {lineRowNo, returnID});
    recomputeTotals(returnID);
    tx.commit();
    return true;
}

DocumentApproval::Result PurchaseReturns::approve(const QString &returnID, const Approval &a)
{
    DataSet h(&m_conn);
    h.setSql("select 单据编号, 备注, 供应商, 供应商编号 from 采购退货单 where ID = ?");
    h.addBindValue(returnID);
    h.open();
    if (h.isEmpty())
        return {};
    DocumentApproval::Request r;
    r.headerTable = kReturnTable;
    r.lineTable = QStringLiteral("采购退货明细");
    r.docID = returnID;
    r.stateWrites = {{QStringLiteral("审核人"), storedText(a.auditor)},
                     {QStringLiteral("审核日期"), a.auditDate},
                     {QStringLiteral("实际收款"), round4(a.received)},
                     {QStringLiteral("挂账金额"), round4(a.onAccount)}};
    VoucherHeader &v = r.voucher;
    v.refNo = storedText(h.fields(0).asString());
    v.refID = returnID;
    v.reason = QStringLiteral("采购退货");
    v.date = a.auditDate;
    v.maker = storedText(a.auditor);
    v.category = QStringLiteral("出库");
    v.remark = storedText(h.fields(1).asString());
    v.auditor = v.maker;
    v.auditDate = a.auditDate;
    v.partner = storedText(h.fields(2).asString());
    v.partnerCode = storedText(h.fields(3).asString());
    v.contact = QStringLiteral("");
    v.phone = QStringLiteral("");
    r.writeBackStock = true;
    return m_approval.approve(r);
}

bool PurchaseReturns::cancel(qint64 rowNo) { return DocumentApproval::cancel(m_conn, kReturnTable, rowNo); }

// As the return list prints it, but with the company's own title, full-width signature colons
// and the lines' sum as the total.
DocumentPrint PurchaseReturns::print(const QString &returnID)
{
    return storedPrint(m_conn,
                       {.templateName = QStringLiteral("tongyong2.frf"),
                        .title = QStringLiteral("公司进货退货单"),
                        .companyFromDatabase = true,
                        .header = QStringLiteral("采购退货单"),
                        .lines = QStringLiteral("采购退货明细"),
                        .partnerCaption = QStringLiteral("退回单位:"),
                        .paidCaption = QStringLiteral("实收款:"),
                        .paidColumn = QStringLiteral("实际收款"),
                        .signatures = {{"Memo28", "负责人：", "经办人"},
                                       {"Memo29", "发货员：", "发货员"},
                                       {"Memo30", "复核员：", "复核员"},
                                       {"Memo31", "送货员：", "送货员"}}},
                       returnID);
}

} // namespace orv
