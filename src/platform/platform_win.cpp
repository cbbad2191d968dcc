#include "platform/platform.h"

#include "platform/registry_win.h"
#include "platform/win_services.h"

#include <windows.h>

#include <filesystem>

namespace quillon::platform {
namespace {

// The bridges beside the running program, as the Windows package puts them.
PluginLoadSetup pluginLoadSetup(const PlatformOptions& options) {
    std::string bridge = options.tcBridgeProgram;
    if (bridge.empty()) {
        wchar_t self[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
        bridge = (std::filesystem::path(std::wstring(self, length)).parent_path() / "quillon-tcbridge.exe")
                     .string();
    }
    return PluginLoadSetup{bridge, bridge32Beside(bridge)};
}

class Win32Platform final : public Platform {
public:
    explicit Win32Platform(const PlatformOptions& options)
        : m_paths(win::makePathMapper()), m_environment(win::makeEnvironment()),
          m_folders(win::makeFolders()), m_tcWindow(win::makeTcWindow()), m_shell(win::makeShell()),
          m_pluginLoads(win::makePluginLoadCheck(pluginLoadSetup(options))) {}

    const Registry& registry() const override { return m_registry; }
    const PathMapper& paths() const override { return *m_paths; }
    // One process environment serves both worlds.
    Environment& tcEnvironment() override { return *m_environment; }
    Environment& ownEnvironment() override { return *m_environment; }
    const Folders& folders() const override { return *m_folders; }
    TcWindow& tcWindow() override { return *m_tcWindow; }
    Shell& shell() override { return *m_shell; }
    PluginLoadCheck& pluginLoads() override { return *m_pluginLoads; }
    std::string winePrefix() const override { return {}; }

private:
    Win32Registry m_registry;
    std::unique_ptr<PathMapper> m_paths;
    std::unique_ptr<Environment> m_environment;
    std::unique_ptr<Folders> m_folders;
    std::unique_ptr<TcWindow> m_tcWindow;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<PluginLoadCheck> m_pluginLoads;
};

} // namespace

std::unique_ptr<Platform> Platform::create(const PlatformOptions& options) {
    return std::make_unique<Win32Platform>(options);
}

} // namespace quillon::platform
