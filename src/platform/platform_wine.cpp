#include "platform/platform.h"

#include "platform/environment_wine.h"
#include "platform/folders_wine.h"
#include "platform/path_mapper_wine.h"
#include "platform/plugin_load_wine.h"
#include "platform/registry_wine.h"
#include "platform/shell_wine.h"
#include "platform/tc_window_programs_wine.h"
#include "platform/tc_window_wine.h"

#include <cstdlib>
#include <filesystem>

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

bool isWinePrefix(const std::string& dir) {
    std::error_code ec;
    return !dir.empty() && (fs::is_directory(fs::path(dir) / "dosdevices", ec) ||
                            fs::is_regular_file(fs::path(dir) / "system.reg", ec));
}

std::string choosePrefix(const PlatformOptions& options) {
    // An explicitly named prefix is taken as named, also when it is not a prefix: the user then
    // sees an empty Total Commander world instead of silently getting another one.
    if (!options.winePrefix.empty())
        return isWinePrefix(options.winePrefix) ? options.winePrefix : std::string();
    if (const char* env = std::getenv("WINEPREFIX"); env && *env)
        return isWinePrefix(env) ? std::string(env) : std::string();
    const std::string standard = hostHomeDirectory() + "/.wine";
    return isWinePrefix(standard) ? standard : std::string();
}

std::string absolute(const std::string& dir) {
    if (dir.empty())
        return dir;
    std::error_code ec;
    const fs::path path = fs::absolute(fs::path(dir), ec).lexically_normal();
    std::string text = ec ? dir : path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

PluginLoadSetup pluginLoadSetup(const PlatformOptions& options) {
    const std::string bridge =
        options.tcBridgeProgram.empty() ? defaultTcBridgeProgram() : options.tcBridgeProgram;
    return PluginLoadSetup{bridge, bridge32Beside(bridge)};
}

class WinePlatform final : public Platform {
public:
    WinePlatform(std::string prefix, const PlatformOptions& options)
        : m_prefix(absolute(prefix)), m_registry(m_prefix.empty() ? std::string() : m_prefix + "/user.reg",
                                                 m_prefix.empty() ? std::string() : m_prefix + "/system.reg"),
          m_paths(m_prefix), m_tcEnvironment(m_registry, m_prefix, options.commanderVariables),
          m_folders(m_ownEnvironment, m_paths, m_prefix),
          m_tcWindow(WineTcWindowSetup{m_prefix, findWineProgram(options.wineProgram),
                                       options.tcBridgeProgram.empty() ? defaultTcBridgeProgram()
                                                                       : options.tcBridgeProgram},
                     m_paths),
          m_pluginLoads(
              m_prefix, [this] { return m_tcWindow.wineProgram(); }, pluginLoadSetup(options), m_paths) {}

    const Registry& registry() const override { return m_registry; }
    const PathMapper& paths() const override { return m_paths; }
    Environment& tcEnvironment() override { return m_tcEnvironment; }
    Environment& ownEnvironment() override { return m_ownEnvironment; }
    const Folders& folders() const override { return m_folders; }
    TcWindow& tcWindow() override { return m_tcWindow; }
    Shell& shell() override { return m_shell; }
    PluginLoadCheck& pluginLoads() override { return m_pluginLoads; }
    std::string winePrefix() const override { return m_prefix; }
    std::string wineProgram() const override { return m_tcWindow.wineProgram(); }
    bool useWineProgram(const std::string& setting) override {
        return m_tcWindow.setWineProgram(findWineProgram(setting));
    }

private:
    std::string m_prefix;
    WineRegistry m_registry;
    WinePathMapper m_paths;
    OwnEnvironment m_ownEnvironment;
    WineTcEnvironment m_tcEnvironment;
    WineFolders m_folders;
    WineTcWindow m_tcWindow;
    DesktopShell m_shell;
    WinePluginLoadCheck m_pluginLoads;
};

} // namespace

std::unique_ptr<Platform> Platform::create(const PlatformOptions& options) {
    return std::make_unique<WinePlatform>(choosePrefix(options), options);
}

} // namespace quillon::platform
