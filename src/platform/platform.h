#pragma once
// The operating system as the rest of the program sees it. One implementation per platform,
// chosen at build time; create() builds the one for this machine.
#include <memory>
#include <string>

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/path_mapper.h"
#include "platform/plugin_load.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/tc_window.h"

namespace quillon::platform {

struct PlatformOptions {
    // Wine prefix (Linux): this, else $WINEPREFIX, else ~/.wine when it exists. Ignored on Windows.
    std::string winePrefix;
    // The Wine program that runs the bridge to Total Commander's window (Linux); empty: found on
    // the system.
    std::string wineProgram = {};
    // The bridge program; empty: the one beside the running program.
    std::string tcBridgeProgram = {};
    // Whether the process's COMMANDER_* variables belong to this prefix's Total Commander. They
    // name the copy that started Quillon (or the one start-up found), so a look into any other
    // prefix must go by that prefix's own files alone.
    bool commanderVariables = true;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual const Registry& registry() const = 0;
    virtual const PathMapper& paths() const = 0;
    // Total Commander's world: expansions give Windows paths; map them with paths().
    virtual Environment& tcEnvironment() = 0;
    // Quillon's own world: host paths.
    virtual Environment& ownEnvironment() = 0;
    virtual const Folders& folders() const = 0;
    virtual TcWindow& tcWindow() = 0;
    virtual Shell& shell() = 0;
    // Whether plugin files load, proven by the bridge in a process of its own. Without an
    // implementation nothing can be checked.
    virtual PluginLoadCheck& pluginLoads() { return noPluginLoadCheck(); }
    // The prefix in use, empty when none (and always on Windows).
    virtual std::string winePrefix() const = 0;
    // The Wine program that starts programs of the prefix, empty when there is none (and always
    // on Windows, where they start by themselves).
    virtual std::string wineProgram() const { return {}; }
    // Finds the Wine program again with this setting in the place PlatformOptions::wineProgram
    // had (the settings are read after the platform is made). True when another program is used
    // from now on. Windows has no Wine: always false.
    virtual bool useWineProgram(const std::string& setting) {
        (void)setting;
        return false;
    }

    static std::unique_ptr<Platform> create(const PlatformOptions& options);
};

} // namespace quillon::platform
