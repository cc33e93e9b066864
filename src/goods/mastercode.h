#pragma once
// Codes of master rows ("HP" goods, "DW" suppliers, "KH" customers: prefix + yyMMdd + three-digit
// serial; department and staff codes are typed). They have no unique index (the rows of one goods
// item at several places share its code), so a save checks and stores its code under the table's
// number lock, held to its commit. No master row is saved without a code.
#include "common/clock.h"
#include "ledger/docnumbers.h"

#include <QDateTime>
#include <QString>

namespace orv {

// The code rules of goods (HP, 货品目录.编号) and suppliers (DW, 往来单位.ID; PostgreSQL keeps
// that column folded to lower case, hence "id"). The Excel import hands out the same codes.
NumberRule goodsCodeRule();
NumberRule supplierCodeRule();

// The code a new-record dialog shows: prefix + yyMMdd (UTC) + the day's next serial, or prefix +
// yyMMdd alone once the day's serials are used up. Reserves nothing; throws DbError when the
// table cannot be read.
QString proposeMasterCode(Connection &c, const NumberRule &rule, const QDateTime &utc = Clock::utcNow());

// Empty or only blanks: a save refuses it, whatever the table.
bool codeMissing(const QString &code);

// A taken code moved on once: its first eight characters, then characters 9 to 11 as a number
// plus one in three digits (nothing from 1000 on). A code without three digits there is
// returned as it is (the check that follows refuses it while it is taken).
QString bumpMasterCode(const QString &code);

// The number allocator's lock for the rule's table, inside the caller's transaction: no other
// client checks or stores a code of that table until this one commits.
void lockMasterCodes(Connection &c, const NumberRule &rule);

} // namespace orv
