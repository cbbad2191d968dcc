#pragma once
// Every Wine prefix kept on this machine, by whichever prefix manager made it, with the Wine
// program that runs it. Only files are read: starting Wine would make or update prefixes, and a
// listing must be cheap enough to show in a window.
#include <string>
#include <string_view>
#include <vector>

namespace quillon::platform {

enum class PrefixManager {
    Native, // Windows itself: no prefix
    Wine,
    Winetricks,
    Bottles,
    Lutris,
    PlayOnLinux,
    CrossOver,
    Proton,
};

// "wine", "bottles", ... as written in machine-readable output and settings.
std::string_view prefixManagerName(PrefixManager manager);

struct WinePrefixEntry {
    PrefixManager manager = PrefixManager::Wine;
    std::string prefix;      // host path without trailing "/"; empty for Native
    std::string wineProgram; // the manager's runner; empty: the system's Wine
};

struct WinePrefixScan {
    // Each prefix once, named by the manager that knows most about it (its runner).
    std::vector<WinePrefixEntry> prefixes;
    // One line per manager file that could not be read; its entry is left out.
    std::vector<std::string> notes;
};

// On Windows: the machine's own installation as the one Native entry.
WinePrefixScan findWinePrefixes();

// A folder that Wine made: a registry file and a drive or its links.
bool isWinePrefixFolder(const std::string& dir);

} // namespace quillon::platform
