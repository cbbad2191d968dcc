#include "platform/platform.h"

#include "platform/registry_win.h"
#include "platform/win_services.h"

namespace quillon::platform {
namespace {

class Win32Platform final : public Platform {
public:
    Win32Platform()
        : m_paths(win::makePathMapper()), m_environment(win::makeEnvironment()),
          m_folders(win::makeFolders()), m_tcWindow(win::makeTcWindow()), m_shell(win::makeShell()) {}

    const Registry& registry() const override { return m_registry; }
    const PathMapper& paths() const override { return *m_paths; }
    // One process environment serves both worlds.
    Environment& tcEnvironment() override { return *m_environment; }
    Environment& ownEnvironment() override { return *m_environment; }
    const Folders& folders() const override { return *m_folders; }
    TcWindow& tcWindow() override { return *m_tcWindow; }
    Shell& shell() override { return *m_shell; }
    std::string winePrefix() const override { return {}; }

private:
    Win32Registry m_registry;
    std::unique_ptr<PathMapper> m_paths;
    std::unique_ptr<Environment> m_environment;
    std::unique_ptr<Folders> m_folders;
    std::unique_ptr<TcWindow> m_tcWindow;
    std::unique_ptr<Shell> m_shell;
};

} // namespace

std::unique_ptr<Platform> Platform::create(const PlatformOptions&) {
    return std::make_unique<Win32Platform>();
}

} // namespace quillon::platform
