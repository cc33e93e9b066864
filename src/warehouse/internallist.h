#pragma once
// The list of an internal document kind: its approved documents in the one grid layout all
// kinds share (a column the kind does not keep stays empty), the searches, the lines, the
// delete, the reversal check, both exports and the print of a stored document.
#include "documents/documentlist.h"

namespace orv {

// The list of kind 1 to 7; throws DbError for another kind.
DocumentListConfig internalListConfig(int kind);

} // namespace orv
