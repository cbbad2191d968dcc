#pragma once
// Loads one Total Commander plugin file the way Total Commander would, checks the exports its
// kind needs, and unloads it again without calling any of them.
#include <string>

namespace quillon::bridge {

struct LoadVerdict {
    // loads, not-plugin, unreadable, not-pe, wrong-machine, missing-dll, init-failed,
    // missing-export, load-failed
    std::string result;
    std::string detail; // the DLL, export or machine concerned, or the loader's error
};

LoadVerdict checkPluginLoads(const std::wstring& path);

} // namespace quillon::bridge
