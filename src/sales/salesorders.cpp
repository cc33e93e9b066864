#include "sales/salesorders.h"
#include "common/clock.h"
#include "data/dataset.h"
#include "documents/documentchecks.h"
#include "goods/goodspick.h"
#include "ledger/documentlines.h"
#include "sales/salesschema.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kOrders = QStringLiteral("销售订单");
constexpr int kOrderKind = 2; // the audit kind of the picker and the line editor

const char *const kHeaderColumns = "ID,单据编号,日期,购买单位,经办人,联系电话,应收款,实收款,挂账金额,单位编号,联系人,地址,"
                                   "客户折扣,开票员,送货员,发货员,复核员,销售单位,传真,销售单位编号,备注,流水号";

QString columnOf(SalesOrderField f)
{
    switch (f) {
    case SalesOrderField::Buyer: return QStringLiteral("购买单位");
    case SalesOrderField::Contact: return QStringLiteral("联系人");
    case SalesOrderField::Phone: return QStringLiteral("联系电话");
    case SalesOrderField::Address: return QStringLiteral("地址");
    case SalesOrderField::Memo: return QStringLiteral("备注");
    case SalesOrderField::Receivable: return QStringLiteral("应收款");
    case SalesOrderField::Received: return QStringLiteral("实收款");
    case SalesOrderField::OnAccount: return QStringLiteral("挂账金额");
    }
    return QString();
}
} // namespace

SalesOrders::SalesOrders(Connection &c)
    : m_conn(c), m_approval(c),
      m_billLines(std::make_unique<DocumentLineWriter>(
          c, QStringLiteral("销售明细"),
          QStringList{QStringLiteral("折扣"), QStringLiteral("折后金额"), QStringLiteral("成本价"), QStringLiteral("结存"),
                      QStringLiteral("原有库存数量"), QStringLiteral("换算比率"), QStringLiteral("辅助库存结存"),
                      QStringLiteral("原有辅助数量"), QStringLiteral("拼音码")}))
{
}

SalesOrders::~SalesOrders() = default;

void SalesOrders::openPending(DataSet &ds, const PendingSearch &search)
{
    openPendingDocuments(m_conn, ds, kOrders, QString::fromUtf8(kHeaderColumns), search);
}

void SalesOrders::openLines(DataSet &ds, const QString &orderID)
{
    ds.clear();
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,折扣,折后金额,仓位,供应商,类别,辅助数量,辅助单位,换算比率 "
              "from 销售订单明细 where ID = ? order by 流水号");
    ds.addBindValue(orderID);
    ds.open();
}

bool SalesOrders::saveText(const QString &orderID, SalesOrderField field, const QString &text)
{
    return setWhilePending(m_conn, kOrders, columnOf(field), storedText(text), orderID);
}

bool SalesOrders::saveAmount(const QString &orderID, SalesOrderField field, double amount)
{
    return setWhilePending(m_conn, kOrders, columnOf(field), round4(amount), orderID);
}

void SalesOrders::recomputeTotals(const QString &orderID)
{
    if (orderID.isEmpty())
        return;
    const QString sum = QStringLiteral("(select coalesce(sum(折后金额), 0) from 销售订单明细 where ID = ?)");
    m_conn.exec("update 销售订单 set 应收款 = " + sum + ", 实收款 = " + sum + ", 挂账金额 = 0 where ID = ? and 当前状态 = ?",
                {orderID, orderID, orderID, kPending});
}

bool SalesOrders::deleteLine(const QString &orderID, qint64 lineRowNo)
{
    Transaction tx(m_conn);
    if (!auditDocumentOpen(m_conn, kOrderKind, orderID))
        return false;
    m_conn.exec("delete from 销售订单明细 where 流水号 = ? and ID = ?", {lineRowNo, orderID});
    recomputeTotals(orderID);
    tx.commit();
    return true;
}

bool SalesOrders::cancel(qint64 rowNo) { return DocumentApproval::cancel(m_conn, kOrders, rowNo); }

SalesOrders::Approved SalesOrders::approve(const QString &orderID, const Approval &a)
{
    Approved out;
    const QDateTime now = Clock::localNow();
    const QString today = now.date().toString(Qt::ISODate);
    DocNumbers &numbers = ledger().numbers(salesBillNumbers());
    // The voucher names the bill by the number free now; should a direct sale take it before the
    // bill is stored, the voucher follows the number the bill was given.
    const QString shown = numbers.propose();

    DocumentApproval::Request r;
    r.headerTable = kOrders;
    r.lineTable = QStringLiteral("销售订单明细");
    r.docID = orderID;
    r.stateWrites = {{QStringLiteral("挂账金额"), round4(a.onAccount)}};
    r.extraColumns = {QStringLiteral("折扣"), QStringLiteral("折后金额"), QStringLiteral("成本价")};
    VoucherHeader &v = r.voucher;
    v.refNo = shown;
    v.refID = orderID;
    v.reason = QStringLiteral("货品销售");
    v.date = today;
    v.maker = QStringLiteral("");
    v.category = QStringLiteral("出库");
    v.remark = storedText(a.remark);
    v.auditor = QStringLiteral("");
    v.auditDate = today;
    v.partner = storedText(a.partner);
    v.partnerCode = storedText(a.partnerCode);
    v.contact = storedText(a.contact);
    v.phone = storedText(a.phone);
    v.department = storedText(a.department);

    QVector<QVariantList> billLines;
    r.eachTaken = [&](const ApprovalLine &l, const StockMove &m) {
        const QVariant cost = l.extras[2].isNull() ? QVariant(0.0) : l.extras[2];
        billLines << m_billLines->row(orderID, l.goods, m, {l.extras[0], l.extras[1], cost});
    };
    r.closing = [&](const DocumentApproval::Result &res) {
        m_billLines->insert(billLines);
        const QString time = now.toString(QStringLiteral("hh:mm:ss"));
        out.billNumber = numbers.insertNumbered(
            [&](const QString &no) {
                m_conn.exec("insert into 销售单(单据编号,日期,应收款,实收款,挂账金额,购买单位,联系电话,联系人,地址,备注,经办人,"
                            "客户折扣,ID,单位编号,当前状态,单据类别,销售单位,销售单位编号,送货员,发货员,复核员,开票员,"
                            "发票号码,开票金额,开票日期,时间) "
                            "select ?,?,应收款,实收款,挂账金额,购买单位,联系电话,联系人,地址,备注,经办人,客户折扣,ID,"
                            "单位编号,?,?,销售单位,销售单位编号,送货员,发货员,复核员,开票员,发票号码,开票金额,开票日期,? "
                            "from 销售订单 where ID = ? order by 流水号 limit 1",
                            {no, today, QStringLiteral("已审核"), QStringLiteral("销售出库"), time, orderID});
            },
            shown);
        ledger().vouchers().followRefNo(res.voucher.id, shown, out.billNumber);
    };
    out.result = m_approval.approve(r);
    return out;
}

} // namespace orv
