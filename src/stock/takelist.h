#pragma once
// 盘点单: the stock-taking bills that postings wrote, with the current bill's lines, searched by
// bill number, by the person in charge or by a goods code; a bill's header deleted (its lines,
// the stock and the voucher stay), its lines exported, the bill printed through "pandian.frf".
#include "documents/documentlist.h"

namespace orv {

DocumentListConfig takeListConfig();

} // namespace orv
