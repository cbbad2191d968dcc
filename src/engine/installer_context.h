#pragma once
// The installer's context as the core knows it.
#include "install/installer.h"

namespace quillon {

class AppCore;
class Prompter;

// The context as AppCore knows it: settings, language, list, Total Commander's window and
// language, and the row refresh through the core's identification. prompter: questions go
// there instead of the core's.
InstallerContext InstallerContextFromCore(AppCore& core, Prompter* prompter = nullptr);

} // namespace quillon
