// The Qt-free link of the Win32 platform tests: the platform object builds a plugin load check,
// whose real implementation (Qt's process class running the bridge) is not part of this program.
#include "platform/plugin_load.h"
#include "platform/win_services.h"

namespace quillon::platform {

std::string bridge32Beside(const std::string& bridge64) {
    return bridge64;
}

namespace win {
namespace {

class UncheckedPluginLoads final : public PluginLoadCheck {
public:
    bool available() const override { return false; }
    PluginLoadResult check(const std::string&, Cancel) override {
        return {PluginLoadState::BridgeMissing, {}};
    }
};

} // namespace

std::unique_ptr<PluginLoadCheck> makePluginLoadCheck(PluginLoadSetup) {
    return std::make_unique<UncheckedPluginLoads>();
}

} // namespace win
} // namespace quillon::platform
