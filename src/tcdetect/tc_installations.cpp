#include "tcdetect/tc_installations.h"

#include "app/system.h"
#include "tcdetect/tc_locator.h"

namespace quillon {

TcInstallationScan FindTcInstallations() {
    const platform::WinePrefixScan scan = platform::findWinePrefixes();
    TcInstallationScan result;
    for (const std::string& note : scan.notes)
        result.notes.append(QString::fromStdString(note));
    for (const platform::WinePrefixEntry& entry : scan.prefixes) {
        platform::PlatformOptions options;
        options.winePrefix = entry.prefix;
        options.wineProgram = entry.wineProgram;
        options.commanderVariables = false;
        System system(platform::Platform::create(options));
        const TcLocator locator(system);
        TcInstallation found;
        found.tcDir = locator.GetTCMainDir();
        if (found.tcDir.isEmpty())
            continue;
        found.manager = entry.manager;
        found.prefix = QString::fromStdString(system.platform().winePrefix());
        found.ini = locator.GetTCIniPath();
        found.exe = locator.GetTCExePath();
        found.wine = QString::fromStdString(entry.wineProgram);
        result.installations.append(found);
    }
    return result;
}

} // namespace quillon
