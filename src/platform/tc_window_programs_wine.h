#pragma once
// What the Wine side of Total Commander's window needs from the host: a Wine program, the
// bridge program, and whether a wineserver serves the prefix at all.
#include <string>

namespace quillon::platform {

// $WINELOADER, else the setting, else wine or wine64 on PATH, else Debian's loader. A variable or
// setting that names a program decides, also when that program is missing: the user asked for
// it. Empty when there is none to run.
std::string findWineProgram(const std::string& setting);

// quillon-tcbridge.exe beside the running program.
std::string defaultTcBridgeProgram();

// Total Commander can only run in a prefix whose wineserver runs; without one there is nothing to
// ask, and asking would start a server (and update a half-made prefix) for nothing.
bool wineServerRunning(const std::string& prefix);

} // namespace quillon::platform
