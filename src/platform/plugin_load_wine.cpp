#include "platform/plugin_load_wine.h"

#include <QFileInfo>

#include <filesystem>

#include "platform/bounded_process.h"
#include "platform/tc_window_bridge_wine.h"
#include "platform/tc_window_programs_wine.h"

namespace quillon::platform {

WinePluginLoadCheck::WinePluginLoadCheck(std::string prefix, std::function<std::string()> wineProgram,
                                         PluginLoadSetup setup, const PathMapper& paths)
    : m_prefix(std::move(prefix)), m_wineProgram(std::move(wineProgram)), m_setup(std::move(setup)),
      m_paths(paths) {}

bool WinePluginLoadCheck::available() const {
    return !m_prefix.empty() && !m_wineProgram().empty();
}

bool WinePluginLoadCheck::live() const {
    return available() && wineServerRunning(m_prefix);
}

PluginLoadResult WinePluginLoadCheck::check(const std::string& hostPath, Cancel cancel) {
    const std::string name = std::filesystem::path(hostPath).filename().string();
    if (!isPluginFileName(name))
        return {PluginLoadState::NotPlugin, {}};
    const std::string wine = m_wineProgram();
    if (m_prefix.empty() || wine.empty())
        return {PluginLoadState::NoWine, {}};
    const bool named64 = isNamed64Bit(name);
    const std::string bridge = named64 ? m_setup.bridge64 : m_setup.bridge32;
    if (!QFileInfo(QString::fromStdString(bridge)).isFile())
        return {PluginLoadState::BridgeMissing, {}};
    if (!QFileInfo(QString::fromStdString(hostPath)).isFile())
        return {PluginLoadState::Unreadable, {}};
    const std::string windowsPath = m_paths.toWindowsPath(hostPath);
    if (windowsPath.empty())
        return {PluginLoadState::Unreadable, "no drive of the prefix holds it"};

    const BoundedRun run = runBounded(
        QString::fromStdString(wine),
        {QString::fromStdString(bridge), QStringLiteral("load"), QString::fromStdString(windowsPath)},
        bridgeEnvironment(m_prefix), m_setup.limit, cancel);
    if (run.problem == TcWindowProblem::Cancelled)
        return {PluginLoadState::Cancelled, {}};
    if (run.problem == TcWindowProblem::TimedOut)
        return {PluginLoadState::TimedOut, {}};
    return pluginLoadResultFromOutput(run.output.toStdString(), named64);
}

} // namespace quillon::platform
