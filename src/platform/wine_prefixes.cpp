#include "platform/wine_prefixes.h"

namespace quillon::platform {

std::string_view prefixManagerName(PrefixManager manager) {
    switch (manager) {
    case PrefixManager::Native:
        return "windows";
    case PrefixManager::Wine:
        return "wine";
    case PrefixManager::Winetricks:
        return "winetricks";
    case PrefixManager::Bottles:
        return "bottles";
    case PrefixManager::Lutris:
        return "lutris";
    case PrefixManager::PlayOnLinux:
        return "playonlinux";
    case PrefixManager::CrossOver:
        return "crossover";
    case PrefixManager::Proton:
        return "proton";
    }
    return "wine";
}

} // namespace quillon::platform
