#include "ui/item_exclusion.h"

#include "app/settings.h"
#include "inventory/plugin_sections.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_location.h"
#include "tcdetect/tc_locator.h"

namespace quillon::ui {

ExclusionContext exclusionContext(const ExclusionParts& parts) {
    ExclusionContext context;
    context.tcDir = parts.tc.dir;
    context.tcExeFile = parts.tc.exeFile;
    context.programPath = parts.programPath;
    const TcLocator* locator = &parts.locator;
    context.toEnvPath = [locator](const QString& path) { return locator->ConvertTCPathToEnvPath(path); };
    const System* system = &parts.system;
    const QString tcDir = parts.tc.dir;
    context.expand = [system, tcDir](const QString& line) { return resolveTcPath(*system, line, tcDir); };
    return context;
}

int excludeItems(const ExclusionParts& parts, const QStringList& filePaths, ExcludeMode mode) {
    const ExclusionContext context = exclusionContext(parts);
    QStringList lines = parts.settings.exceptionList();
    int excluded = 0;
    for (auto it = filePaths.crbegin(); it != filePaths.crend(); ++it) {
        const ExcludeResult result = ExcludeItemFromList(parts.list, lines, *it, mode, context);
        if (!result.excluded)
            continue;
        ++excluded;
        if (result.doNotDetectTc)
            parts.settings.values.tcDisabled = true;
    }
    parts.settings.setExceptionList(lines);
    return excluded;
}

} // namespace quillon::ui
