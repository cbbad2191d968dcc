#pragma once
// The update list's "Exclude from list" commands over the core: the rows go at once and their
// lines join the exception list.
#include <QStringList>

#include "inventory/exclusion_edit.h"

namespace quillon {
class AppCore;
}

namespace quillon::ui {

ExclusionContext exclusionContext(AppCore& core);

// Excludes the rows of these paths (processed from the last to the first); a Total Commander row
// switches its detection off. Returns how many were excluded.
int excludeItems(AppCore& core, const QStringList& filePaths, ExcludeMode mode);

} // namespace quillon::ui
