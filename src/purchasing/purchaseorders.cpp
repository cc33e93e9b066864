#include "purchasing/purchaseorders.h"
#include "data/dataset.h"
#include "documents/documentapproval.h"
#include "partners/partnerrules.h"
#include "purchasing/purchasingschema.h"

namespace orv {

namespace {
const QString kPending = QStringLiteral("待审核");
const QString kPassed = QStringLiteral("已审核");

QVariant ratioValue(const std::optional<double> &r)
{
    return r ? QVariant(*r) : QVariant(QMetaType::fromType<double>());
}

const char *kOrderLine = "insert into 采购订单明细 (编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,"
                         "供应商,类别,换算比率) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
} // namespace

PurchaseOrders::PurchaseOrders(Connection &c) : m_conn(c), m_ledger(c), m_line(c, kOrderLine) {}

PurchaseOrders::Saved PurchaseOrders::save(const OrderHeader &h, const QVector<SavedLine> &lines)
{
    Saved s;
    s.id = makeRecordID();
    double total = 0;
    for (const SavedLine &l : lines)
        total = round4(total + l.amount);
    Transaction tx(m_conn);
    for (const SavedLine &l : lines)
        m_line.exec({l.goodsNo, l.name, l.spec, l.unit, l.auxUnit, l.auxQty, l.qty, l.price, l.amount, s.id,
                     l.barcode, l.place, storedText(h.supplier), l.category, ratioValue(l.ratio)});
    s.number = m_ledger.numbers(purchaseOrderNumbers())
                   .insertNumbered(
                       [&](const QString &no) {
                           m_conn.exec("insert into 采购订单(单据编号,日期,负责人,供应商,金额合计,ID,备注,当前状态,"
                                       "开票员,申请人,原始编号) values (?,?,?,?,?,?,?,?,?,?,?)",
                                       {no, storedText(h.date), storedText(h.manager), storedText(h.supplier), total,
                                        s.id, storedText(h.memo), kPending, storedText(h.invoicer),
                                        storedText(h.applicant), storedText(h.originalNo)});
                       },
                       h.number);
    tx.commit();
    return s;
}

void PurchaseOrders::openPending(DataSet &ds, OrderSearch search, const QString &text)
{
    QString sql = "select * from 采购订单 where 当前状态 = ?";
    ds.clear();
    const char *column = nullptr;
    if (!text.isEmpty()) {
        switch (search) {
        case OrderSearch::All:
            break;
        case OrderSearch::ByNumber:
            column = "单据编号";
            break;
        case OrderSearch::BySupplier:
            column = "供应商";
            break;
        case OrderSearch::ByManager:
            column = "负责人";
            break;
        }
    }
    if (column)
        sql += " and " + containsCondition(m_conn, QString::fromUtf8(column));
    ds.setSql(sql + " order by 流水号");
    ds.addBindValue(kPending);
    if (column)
        ds.addBindValue(containsPattern(text));
    ds.open();
}

void PurchaseOrders::openLines(DataSet &ds, const QString &orderID)
{
    ds.clear();
    ds.setSql("select ID,流水号,编号,名称,规格,单位,数量,单价,金额,仓位,辅助数量,换算比率 from 采购订单明细 "
              "where ID = ? order by 流水号");
    ds.addBindValue(orderID);
    ds.open();
}

void PurchaseOrders::saveField(const QString &orderID, OrderField field, const QString &value)
{
    if (orderID.isEmpty())
        return;
    QString column;
    QString stored = storedText(value);
    switch (field) {
    case OrderField::Manager:
        column = "负责人";
        break;
    case OrderField::Date: {
        column = "日期";
        const auto d = storedDate(value);
        if (!d)
            throw DbError(QStringLiteral("日期不是有效的日期"));
        stored = *d;
        break;
    }
    case OrderField::Supplier:
        column = "供应商";
        break;
    case OrderField::Memo:
        column = "备注";
        break;
    }
    m_conn.exec("update 采购订单 set " + column + " = ? where ID = ?", {stored, orderID});
}

void PurchaseOrders::recomputeTotal(const QString &orderID)
{
    if (orderID.isEmpty())
        return;
    Transaction tx(m_conn);
    m_conn.exec("update 采购订单 set 金额合计 = (select coalesce(sum(金额), 0) from 采购订单明细 where ID = ?) "
                "where ID = ?",
                {orderID, orderID});
    tx.commit();
}

void PurchaseOrders::deleteLine(const QString &orderID, qint64 rowNo)
{
    Transaction tx(m_conn);
    m_conn.exec("delete from 采购订单明细 where 流水号 = ? and ID = ?", {rowNo, orderID});
    recomputeTotal(orderID);
    tx.commit();
}

std::optional<QString> PurchaseOrders::pass(const QString &orderID, const Pass &p)
{
    if (orderID.isEmpty())
        return std::nullopt;
    Transaction tx(m_conn);
    // Only a pending order passes: a client that passed or cancelled it first leaves nothing to do.
    QSqlQuery q(m_conn.db());
    q.prepare("update 采购订单 set 当前状态 = ?, 审核人 = ?, 审核日期 = ? where ID = ? and 当前状态 = ?");
    for (const QVariant &v : {QVariant(kPassed), QVariant(storedText(p.auditor)), QVariant(p.today), QVariant(orderID),
                              QVariant(kPending)})
        q.addBindValue(v);
    m_conn.run(q, q.lastQuery());
    if (q.numRowsAffected() <= 0)
        return std::nullopt;
    q.finish();

    DataSet order(&m_conn);
    order.setSql("select 金额合计, 开票员, 申请人 from 采购订单 where ID = ?");
    order.addBindValue(orderID);
    order.open();
    const QVariant total = order.fields(0).value();
    const QString invoicer = storedText(order.fields(1).asString());
    const QString applicant = storedText(order.fields(2).asString());

    m_conn.exec("insert into 采购明细 (编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,"
                "换算比率) select 编号,名称,规格,单位,辅助单位,辅助数量,数量,单价,金额,ID,条码,仓位,供应商,类别,换算比率 "
                "from 采购订单明细 where ID = ? order by 流水号",
                {orderID});
    const QString number = m_ledger.numbers(purchaseBillNumbers())
                               .insertNumbered(
                                   [&](const QString &no) {
                                       m_conn.exec("insert into 采购单(单据编号,日期,负责人,供应商,金额合计,ID,备注,"
                                                   "当前状态,开票员,申请人) values (?,?,?,?,?,?,?,?,?,?)",
                                                   {no, p.today, storedText(p.manager), storedText(p.supplier),
                                                    total.isNull() ? QVariant(0.0) : total, orderID,
                                                    storedText(p.memo), kPassed, invoicer, applicant});
                                   },
                                   p.wantedNo);
    tx.commit();
    return number;
}

bool PurchaseOrders::cancel(qint64 rowNo) { return DocumentApproval::cancel(m_conn, QStringLiteral("采购订单"), rowNo); }

} // namespace orv
