#pragma once
// Whether a plugin file loads in a Windows process as Total Commander would load it: the bridge
// program loads it in a process of its own (never in Quillon's), checks the exports its kind
// needs, calls none of them, and unloads it. 32-bit files go to the 32-bit bridge.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace quillon::platform {

enum class PluginLoadState {
    Loads,
    // The file does not load in Total Commander:
    NotPe,
    WrongMachine,  // detail: the machine the file is built for
    MissingDll,    // detail: the DLL it imports that is missing, when found
    InitFailed,    // its DllMain refused
    MissingExport, // detail: the names of which one must exist
    LoadFailed,    // detail: the loader's error
    Crashed,       // the bridge ended while loading it
    TimedOut,
    // Nothing can be said about the file:
    NotPlugin, // not a packer, file system, lister or content plugin by its name
    Unreadable,
    NoWine,
    No32BitWine,
    BridgeMissing,
    BridgeFailed, // the bridge itself did not run
    Cancelled,
};

struct PluginLoadResult {
    PluginLoadState state = PluginLoadState::NotPlugin;
    std::string detail;

    bool loads() const { return state == PluginLoadState::Loads; }
    // Checked, and found not to load.
    bool broken() const;
};

// A stable name for machine-readable output ("loads", "missing-dll", ...).
std::string pluginLoadStateName(PluginLoadState state);

// .wcx, .wfx, .wlx, .wdx and their 64-bit names, in any case.
bool isPluginFileName(std::string_view fileName);
// .wcx64 and the like: Total Commander's 64-bit build loads those.
bool isNamed64Bit(std::string_view fileName);

// The bridge's answer to "load", as it wrote it, also when it ended early.
PluginLoadResult pluginLoadResultFromOutput(const std::string& output, bool named64);

class PluginLoadCheck {
public:
    using Cancel = const std::atomic_bool*;
    virtual ~PluginLoadCheck() = default;
    // False when no check can run at all here (no Wine).
    virtual bool available() const = 0;
    // A check now starts no Wine: the prefix's wineserver runs (always true on Windows). Checks
    // made in passing, after an installation, wait for that rather than boot a prefix.
    virtual bool live() const { return available(); }
    virtual PluginLoadResult check(const std::string& hostPath, Cancel cancel = nullptr) = 0;
};

struct PluginLoadSetup {
    std::string bridge64; // quillon-tcbridge.exe
    std::string bridge32; // quillon-tcbridge32.exe
    // A plugin whose DllMain hangs must not hang Quillon; a cold prefix's first run starts its
    // wineserver.
    std::chrono::milliseconds limit{20000};
};

// A check that can check nothing: every file "cannot check: Wine was not found".
PluginLoadCheck& noPluginLoadCheck();

// The 32-bit bridge beside the 64-bit one.
std::string bridge32Beside(const std::string& bridge64);

} // namespace quillon::platform
