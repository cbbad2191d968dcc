#pragma once
// What an installation changed in the update list and the stores identification writes,
// computed by the job on its own copies and applied by the list's owner on its own thread.
#include <QList>
#include <QString>

#include <optional>

#include "app/ini_edits.h"
#include "inventory/update_item.h"
#include "tcdetect/tc_version.h"

namespace quillon {

struct RowsRefresh {
    QList<UpdateItem> rows;                  // each refreshed row as it is now, found again by its FilePath
    bool tcRowChosen = false;                // Total Commander's row was among the chosen ones
    IniEdits userPluginInfo;                 // upluginfo.ini
    IniEdits settings;                       // the settings' version overrides
    std::optional<TcVersionFacts> tcVersion; // Total Commander's row detected again

    bool isEmpty() const {
        return rows.isEmpty() && userPluginInfo.isEmpty() && settings.isEmpty() && !tcVersion;
    }
};

} // namespace quillon
