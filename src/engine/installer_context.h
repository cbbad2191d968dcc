#pragma once
// The installer's context as the core knows it.
#include "install/install_journal.h"
#include "install/installer.h"

namespace quillon {

class AppCore;
class Prompter;

// The context as AppCore knows it: settings, language, Total Commander's window and language,
// and the row refresh on copies of the core's list and stores taken now (on the owner's thread). prompter:
// questions go there instead of the core's.
InstallerContext InstallerContextFromCore(AppCore& core, Prompter* prompter = nullptr);

// Undoes an installation that a kill cut off (see RecoverCutOffInstallation), within the folders
// this core installs to: Total Commander's tree and the Wine prefix, the program's folder, and the
// scratch folders in the temporary directory.
InstallRecovery RecoverCutOffInstallation(AppCore& core);

} // namespace quillon
