#pragma once
// The update list's "Exclude from list" commands: the rows go at once and their lines join the
// exception list.
#include <QStringList>

#include "inventory/exclusion_edit.h"

namespace quillon {
class Settings;
class System;
class TcLocator;
class UpdateList;
struct TcLocation;
} // namespace quillon

namespace quillon::ui {

// What excluding rows reads and changes.
struct ExclusionParts {
    UpdateList& list;
    Settings& settings; // the exception list; Total Commander's detection switch
    const TcLocation& tc;
    const TcLocator& locator;
    const System& system;
    const QString& programPath;
};

ExclusionContext exclusionContext(const ExclusionParts& parts);

// Excludes the rows of these paths (processed from the last to the first); a Total Commander row
// switches its detection off. Returns how many were excluded.
int excludeItems(const ExclusionParts& parts, const QStringList& filePaths, ExcludeMode mode);

} // namespace quillon::ui
