#include "warehouse/internalprint.h"
#include "data/dataset.h"

namespace orv {

DocumentPrint internalPrint(Connection &c, const InternalKind &kind, const InternalPrintValues &v)
{
    DocumentPrint p;
    p.templateName = QStringLiteral("tongyong.frf");
    p.headBands = documentHeadBands();
    p.lineSlots = v.lineSlots;
    p.lines = v.lines;
    p.set("Memo1", companyName(c) + QString::fromUtf8(kind.printTitle));
    p.set("Memo2", QString::fromUtf8(kind.printParty));
    for (int i = 0; i < 4; ++i) {
        const InternalSignature &s = kind.signatures[i];
        if (s.caption)
            p.set(QStringLiteral("Memo%1").arg(28 + i),
                  signature(QString::fromUtf8(s.caption), v.column(QString::fromUtf8(s.column))));
    }
    p.set("Memo9", v.number);
    p.set("Memo5", v.date);
    p.set("Memo3", v.party);
    p.set("Memo7", v.remark);
    p.set("Memo26", v.qty);
    p.set("Memo25", v.auxQty);
    p.set("Memo27", v.amount);
    return p;
}

DocumentPrint internalStoredPrint(Connection &c, const InternalKind &kind, const QString &docID)
{
    DataSet h(&c);
    h.setSql("select * from " + QString::fromUtf8(kind.header) + " where ID = ?");
    h.addBindValue(docID);
    h.open();
    auto field = [&h](const QString &name) { return h.isEmpty() ? QString() : h.fieldByName(name).asString(); };
    const QString lines = QString::fromUtf8(kind.lines);
    const LineSums sums = storedLineSums(c, lines, docID);
    InternalPrintValues v;
    v.number = field("单据编号");
    v.date = field("日期");
    v.party = field(QString::fromUtf8(kind.partyColumn));
    v.remark = field("摘要");
    v.qty = sums.qty;
    v.auxQty = sums.auxQty;
    v.amount = field("金额合计");
    v.column = field;
    v.lines = storedPrintLines(c, lines, docID, v.lineSlots);
    return internalPrint(c, kind, v);
}

} // namespace orv
