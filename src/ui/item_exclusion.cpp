#include "ui/item_exclusion.h"

#include "app/settings.h"
#include "engine/app_core.h"
#include "inventory/plugin_sections.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"

namespace quillon::ui {

ExclusionContext exclusionContext(AppCore& core) {
    ExclusionContext context;
    context.tcDir = core.tc().dir;
    context.tcExeFile = core.tc().exeFile;
    context.programPath = core.programPath();
    TcLocator* locator = &core.tcLocator();
    context.toEnvPath = [locator](const QString& path) { return locator->ConvertTCPathToEnvPath(path); };
    const System* system = &core.system();
    const QString tcDir = core.tc().dir;
    context.expand = [system, tcDir](const QString& line) { return resolveTcPath(*system, line, tcDir); };
    return context;
}

int excludeItems(AppCore& core, const QStringList& filePaths, ExcludeMode mode) {
    const ExclusionContext context = exclusionContext(core);
    QStringList lines = core.settings().exceptionList();
    int excluded = 0;
    for (auto it = filePaths.crbegin(); it != filePaths.crend(); ++it) {
        const ExcludeResult result = ExcludeItemFromList(core.updateList(), lines, *it, mode, context);
        if (!result.excluded)
            continue;
        ++excluded;
        if (result.doNotDetectTc)
            core.settings().values.tcDisabled = true;
    }
    core.settings().setExceptionList(lines);
    return excluded;
}

} // namespace quillon::ui
