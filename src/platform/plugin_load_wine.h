#pragma once
// Plugins loaded by the bridge under the prefix's Wine; the file is named to the bridge by its
// path in the prefix's drives.
#include <functional>

#include "platform/path_mapper.h"
#include "platform/plugin_load.h"

namespace quillon::platform {

class WinePluginLoadCheck final : public PluginLoadCheck {
public:
    // wineProgram is asked at each check: the settings may name another one meanwhile.
    WinePluginLoadCheck(std::string prefix, std::function<std::string()> wineProgram, PluginLoadSetup setup,
                        const PathMapper& paths);

    bool available() const override;
    bool live() const override;
    PluginLoadResult check(const std::string& hostPath, Cancel cancel = nullptr) override;

private:
    std::string m_prefix;
    std::function<std::string()> m_wineProgram;
    PluginLoadSetup m_setup;
    const PathMapper& m_paths;
};

} // namespace quillon::platform
