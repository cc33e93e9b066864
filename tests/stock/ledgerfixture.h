#pragma once
// Vouchers written as the postings write them, for the ledger tests: each voucher's lines carry
// the figures the ledgers read (类型, 数量, 金额, 原有库存数量, 结存).
#include "testdb.h"

#include "data/dbconnection.h"
#include "ledger/vouchers.h"

#include <QList>
#include <QString>

// Checks inside a modal driver, which returns the dialog's result.
#define MCOMPARE(a, b)                                                                                  \
    if (!QTest::qCompare(a, b, #a, #b, __FILE__, __LINE__))                                             \
        return int(QDialog::Rejected);
#define MVERIFY(c)                                                                                      \
    if (!QTest::qVerify(static_cast<bool>(c), #c, "", __FILE__, __LINE__))                             \
        return int(QDialog::Rejected);

namespace ledgertest {

struct Line {
    QString no = {}, name = {}, place = {}, spec = {}, unit = {}, kind = {};
    double qty = 0, amount = 0, before = 0, after = 0;
    QString category = {};
};

struct Voucher {
    int kind = orv::VoucherIn;
    QString date, refNo, refKind, maker;
    QList<Line> lines;
    bool reversed = false;
};

inline QString writeVoucher(orv::Connection &c, const Voucher &v)
{
    static const char *const categories[] = {"入库", "出库", "盘点"};
    orv::VoucherWriter w(c);
    orv::Transaction tx(c);
    const QString id = orv::makeRecordID();
    QVector<orv::VoucherLine> lines;
    for (const Line &l : v.lines) {
        orv::VoucherLine vl;
        vl.goodsNo = l.no;
        vl.name = l.name;
        vl.place = l.place;
        vl.spec = l.spec;
        vl.unit = l.unit;
        vl.kind = l.kind;
        vl.qty = l.qty;
        vl.amount = l.amount;
        vl.price = l.qty != 0 ? l.amount / l.qty : 0.0;
        vl.stockBefore = l.before;
        vl.stockAfter = l.after;
        vl.category = l.category;
        lines << vl;
    }
    w.writeLines(id, lines);
    orv::VoucherHeader h;
    h.refNo = v.refNo;
    h.refID = orv::makeRecordID();
    h.reason = v.refKind;
    h.date = v.date;
    h.maker = v.maker;
    h.category = QString::fromUtf8(categories[v.kind - 1]);
    h.partner = QStringLiteral("甲公司");
    h.partnerCode = QStringLiteral("DW1");
    w.writeHeader(v.kind, h, id);
    tx.commit();
    if (v.reversed)
        c.exec("update 出入库单 set 是否红冲 = ? where ID = ?", {true, id});
    return id;
}

} // namespace ledgertest
