#include "platform/bounded_process.h"
#include "platform/plugin_load.h"
#include "platform/win_services.h"

#include <QFileInfo>
#include <QProcessEnvironment>

#include <filesystem>

namespace quillon::platform::win {
namespace {

// The bridge runs as an ordinary program here, still in a process of its own.
class Win32PluginLoadCheck final : public PluginLoadCheck {
public:
    explicit Win32PluginLoadCheck(PluginLoadSetup setup) : m_setup(std::move(setup)) {}

    bool available() const override { return true; }

    PluginLoadResult check(const std::string& hostPath, Cancel cancel) override {
        const std::string name = std::filesystem::path(hostPath).filename().string();
        if (!isPluginFileName(name))
            return {PluginLoadState::NotPlugin, {}};
        const bool named64 = isNamed64Bit(name);
        const QString bridge = QString::fromStdString(named64 ? m_setup.bridge64 : m_setup.bridge32);
        if (!QFileInfo(bridge).isFile())
            return {PluginLoadState::BridgeMissing, {}};
        const BoundedRun run = runBounded(
            bridge, {QStringLiteral("load"), QString::fromStdString(hostPath).replace(u'/', u'\\')},
            QProcessEnvironment::systemEnvironment(), m_setup.limit, cancel);
        if (run.problem == TcWindowProblem::Cancelled)
            return {PluginLoadState::Cancelled, {}};
        if (run.problem == TcWindowProblem::TimedOut)
            return {PluginLoadState::TimedOut, {}};
        return pluginLoadResultFromOutput(run.output.toStdString(), true);
    }

private:
    PluginLoadSetup m_setup;
};

} // namespace

std::unique_ptr<PluginLoadCheck> makePluginLoadCheck(PluginLoadSetup setup) {
    return std::make_unique<Win32PluginLoadCheck>(std::move(setup));
}

} // namespace quillon::platform::win
