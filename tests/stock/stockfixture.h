#pragma once
// Shared pieces of the stock tests: the prompts of an export, statements run for their rows, and vouchers written as the
// postings write them, each voucher's lines carrying the figures the ledgers read (类型, 数量,
// 金额, 原有库存数量, 结存).
#include "modalchecks.h"
#include "scriptedprompt.h"
#include "testdb.h"

#include "data/dbconnection.h"
#include "ledger/vouchers.h"

#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

namespace stocktest {

// The prompts of an export the operator confirms: the question, the notice, the workbook opened.
inline void expectExport(orv::test::ScriptedPrompt &p)
{
    p.expectMessage("确认导出excel表吗？", QMessageBox::Ok, "提示");
    p.expectMessage("数据导出完成!", QMessageBox::Ok, "提示");
    p.expectExternal();
}

// A statement run with its values bound; a failure stops the test program.
inline QSqlQuery query(orv::test::TestDb &t, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(t.conn().db());
    q.prepare(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        qFatal("%s", qPrintable(sql));
    return q;
}

// Every row as its values joined by "|": NULL as "NULL", numbers in their shortest form.
inline QStringList rowValues(orv::test::TestDb &t, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q = query(t, sql, binds);
    QStringList out;
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < q.record().count(); ++i)
            r << (q.value(i).isNull() ? "NULL"
                  : q.value(i).typeId() == QMetaType::QString ? q.value(i).toString()
                                                              : QString::number(q.value(i).toDouble(), 'g', 15));
        out << r.join('|');
    }
    return out;
}


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

} // namespace stocktest
