#pragma once
// Total Commander's row of the update list, as its version detection found it.
#include "tcdetect/tc_version.h"

namespace quillon {

class UpdateList;

// DetectTCversion's effect on the list. addItem appends Total Commander's row (the inventory
// pass); otherwise row 0 is updated and, when the update check gave it a latest version, its
// state decided again. The row's snapshot line follows. False when there is no row 0 to update.
bool ApplyTcVersionRow(UpdateList& list, const TcVersionFacts& facts, bool addItem);

} // namespace quillon
