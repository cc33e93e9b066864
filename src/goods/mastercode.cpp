#include "goods/mastercode.h"
#include "data/dbconnection.h"
#include "ledger/docnumbers.h"

namespace orv {

QString proposeMasterCode(Connection &c, const NumberRule &rule, const QDateTime &utc)
{
    try {
        return DocNumbers(c, rule).propose(utc);
    } catch (const NumbersExhausted &) {
        return rule.prefix + numberDate(utc);
    }
}

bool codeMissing(const QString &code) { return code.trimmed().isEmpty(); }

QString bumpMasterCode(const QString &code)
{
    const QString serial = code.mid(8, 3);
    if (serial.size() != 3)
        return code;
    for (const QChar ch : serial)
        if (ch < '0' || ch > '9')
            return code;
    const int next = serial.toInt() + 1;
    return code.left(8) + (next >= 1000 ? QString() : QString("%1").arg(next, 3, 10, QChar('0')));
}

void lockMasterCodes(Connection &c, const NumberRule &rule)
{
    // The key DocNumbers locks for the table, so a code saved here and one the import allocates
    // wait for each other. A proposed code takes no lock and may be gone by the save.
    c.lockSequence("docno:" + rule.table);
}

NumberRule goodsCodeRule() { return {QStringLiteral("货品目录"), QStringLiteral("编号"), QStringLiteral("HP"), false}; }
NumberRule supplierCodeRule() { return {QStringLiteral("往来单位"), QStringLiteral("id"), QStringLiteral("DW"), false}; }

} // namespace orv
