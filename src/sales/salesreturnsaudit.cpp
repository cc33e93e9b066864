#include "sales/salesreturnsaudit.h"
#include "data/dataset.h"
#include "documents/documentapproval.h"
#include "documents/documentchecks.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kReturns = QStringLiteral("销售退货单");

QString columnOf(SalesReturnField f)
{
    switch (f) {
    case SalesReturnField::Partner: return QStringLiteral("退回单位");
    case SalesReturnField::Contact: return QStringLiteral("联系人");
    case SalesReturnField::Phone: return QStringLiteral("联系电话");
    case SalesReturnField::Address: return QStringLiteral("地址");
    case SalesReturnField::Memo: return QStringLiteral("备注");
    case SalesReturnField::Auditor: return QStringLiteral("审核人");
    case SalesReturnField::AuditDate: return QStringLiteral("审核日期");
    case SalesReturnField::Receivable: return QStringLiteral("应退款");
    case SalesReturnField::Paid: return QStringLiteral("实退款");
    case SalesReturnField::OnAccount: return QStringLiteral("挂账金额");
    }
    return QString();
}
} // namespace

void SalesReturnsAudit::openPending(DataSet &ds, const PendingSearch &search)
{
    openPendingDocuments(m_conn, ds, kReturns, QStringLiteral("*"), search);
}

void SalesReturnsAudit::openLines(DataSet &ds, const QString &returnID)
{
    ds.clear();
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,折扣,折后金额,仓位,供应商,类别,辅助数量,辅助单位,结存,"
              "原有库存数量,换算比率 from 销售退货明细 where ID = ? order by 流水号");
    ds.addBindValue(returnID);
    ds.open();
}

bool SalesReturnsAudit::saveText(const QString &returnID, SalesReturnField field, const QString &text)
{
    return setWhilePending(m_conn, kReturns, columnOf(field), storedText(text), returnID);
}

bool SalesReturnsAudit::saveAmount(const QString &returnID, SalesReturnField field, double amount)
{
    return setWhilePending(m_conn, kReturns, columnOf(field), round4(amount), returnID);
}

bool SalesReturnsAudit::approve(const QString &returnID, double paid, double onAccount)
{
    if (returnID.isEmpty())
        return false;
    DataSet q(&m_conn);
    q.setSql("update 销售退货单 set 当前状态 = ?, 实退款 = ?, 挂账金额 = ? where ID = ? and 当前状态 = ?");
    for (const QVariant &v : QVariantList{QStringLiteral("已审核"), round4(paid), round4(onAccount), returnID, kPending})
        q.addBindValue(v);
    return q.execSQL() > 0;
}

bool SalesReturnsAudit::cancel(qint64 rowNo) { return DocumentApproval::cancel(m_conn, kReturns, rowNo); }

} // namespace orv
