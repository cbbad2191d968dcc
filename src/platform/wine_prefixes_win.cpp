#include "platform/wine_prefixes.h"

namespace quillon::platform {

// Windows has one installation world: the registry and drives of the machine itself.
WinePrefixScan findWinePrefixes() {
    WinePrefixScan scan;
    scan.prefixes.push_back({PrefixManager::Native, {}, {}});
    return scan;
}

bool isWinePrefixFolder(const std::string&) {
    return false;
}

} // namespace quillon::platform
