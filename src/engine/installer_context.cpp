#include "engine/installer_context.h"

#include <memory>

#include "app/common/files.h"
#include "app/language.h"
#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/installed_rows_refresher.h"
#include "install/rar_archive.h"
#include "install/rar_library.h"
#include "platform/platform.h"
#include "tcdetect/tc_locator.h"

namespace quillon {

InstallerContext InstallerContextFromCore(AppCore& core, Prompter* prompter) {
    InstallerContext context(prompter ? *prompter : core.prompter(), core.language());
    const SettingValues& values = core.settings().values;
    context.tcWindow = &core.system().tcWindow();
    if (values.verifyAfterInstall)
        context.pluginLoads = &core.system().platform().pluginLoads();
    context.tempDirectory =
        core.settings().expandedTempDirectory(core.system(), &context.tempDirectoryRefusal);
    context.settingsDir = core.settingsDir();
    context.programPath = core.programPath();
    context.tcDir = core.tc().dir;
    context.tcLanguage =
        core.tc().iniFile.isEmpty() ? QString() : core.tcLocator().GetTCLanguage(core.tc().iniFile).toUpper();
    QString unrar = FindUnrarLibrary(core.tc().dir);
    if (unrar.isEmpty())
        unrar = FindUnrarLibrary(core.programDir());
    if (unrar.isEmpty())
        unrar = rar::SystemLibrary();
    context.unrarLibrary = unrar;
    context.unpackLimits = UnpackLimits::fromSettings(values);
    context.preInstallAction = values.preInstallAction;
    context.postInstallAction = values.postInstallAction;
    context.installAfterDownload = values.installAfterDl;
    context.autoStartInstall = core.commandLine().autoStartInstall();
    // Shared: the installer's context is copied, the refresher's copies must stay one.
    const auto refresher = std::make_shared<InstalledRowsRefresher>(core);
    context.refreshRows = [refresher](const QString& itemPath) { return refresher->refresh(itemPath); };
    context.detectTcVersion = [refresher](const platform::TcWindowState* window) {
        return refresher->detectTcVersion(window);
    };
    context.startTotalCommander = [&core] {
        if (!core.tc().exeFile.isEmpty())
            core.system().tcWindow().launch(core.tc().exeFile.toStdString());
    };
    return context;
}

InstallRecovery RecoverCutOffInstallation(AppCore& core) {
    InstallJournalBounds bounds;
    QString refusal;
    bounds.tempDirectory = core.settings().expandedTempDirectory(core.system(), &refusal);
    if (!refusal.isEmpty())
        bounds.tempDirectory.clear();
    const std::string prefix = core.system().platform().winePrefix();
    if (!prefix.empty())
        bounds.itemRoots.append(QString::fromStdString(prefix));
    if (!core.tc().dir.isEmpty())
        bounds.itemRoots.append(core.tc().dir);
    bounds.programDir = core.programDir();
    bounds.itemRoots.append(bounds.programDir);
    return RecoverCutOffInstallation(InstallJournalPath(core.settingsDir()), bounds);
}

} // namespace quillon
