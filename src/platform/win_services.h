#pragma once
// The Win32 implementations, put together by platform_win.cpp.
#include <memory>

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/path_mapper.h"
#include "platform/plugin_load.h"
#include "platform/shell.h"
#include "platform/tc_window.h"

namespace quillon::platform::win {

std::unique_ptr<PathMapper> makePathMapper();
std::unique_ptr<Environment> makeEnvironment();
std::unique_ptr<Folders> makeFolders();
std::unique_ptr<TcWindow> makeTcWindow();
std::unique_ptr<Shell> makeShell();
std::unique_ptr<PluginLoadCheck> makePluginLoadCheck(PluginLoadSetup setup);

} // namespace quillon::platform::win
