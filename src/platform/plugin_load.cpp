#include "platform/plugin_load.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <map>
#include <sstream>

namespace quillon::platform {
namespace {

QString lowerSuffix(std::string_view fileName) {
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

} // namespace

bool PluginLoadResult::broken() const {
    switch (state) {
    case PluginLoadState::NotPe:
    case PluginLoadState::WrongMachine:
    case PluginLoadState::MissingDll:
    case PluginLoadState::InitFailed:
    case PluginLoadState::MissingExport:
    case PluginLoadState::LoadFailed:
    case PluginLoadState::Crashed:
    case PluginLoadState::TimedOut:
        return true;
    default:
        return false;
    }
}

std::string pluginLoadStateName(PluginLoadState state) {
    switch (state) {
    case PluginLoadState::Loads:
        return "loads";
    case PluginLoadState::NotPe:
        return "not-pe";
    case PluginLoadState::WrongMachine:
        return "wrong-machine";
    case PluginLoadState::MissingDll:
        return "missing-dll";
    case PluginLoadState::InitFailed:
        return "init-failed";
    case PluginLoadState::MissingExport:
        return "missing-export";
    case PluginLoadState::LoadFailed:
        return "load-failed";
    case PluginLoadState::Crashed:
        return "crashed";
    case PluginLoadState::TimedOut:
        return "timed-out";
    case PluginLoadState::NotPlugin:
        return "not-plugin";
    case PluginLoadState::Unreadable:
        return "unreadable";
    case PluginLoadState::NoWine:
        return "no-wine";
    case PluginLoadState::No32BitWine:
        return "no-32-bit-wine";
    case PluginLoadState::BridgeMissing:
        return "no-bridge";
    case PluginLoadState::BridgeFailed:
        return "bridge-failed";
    case PluginLoadState::Cancelled:
        return "cancelled";
    }
    return "unknown";
}

bool isPluginFileName(std::string_view fileName) {
    static const QStringList suffixes{QStringLiteral("wcx"), QStringLiteral("wfx"), QStringLiteral("wlx"),
                                      QStringLiteral("wdx")};
    QString suffix = lowerSuffix(fileName);
    if (suffix.size() == 5 && suffix.endsWith(QLatin1String("64")))
        suffix.chop(2);
    return suffixes.contains(suffix);
}

bool isNamed64Bit(std::string_view fileName) {
    return isPluginFileName(fileName) && lowerSuffix(fileName).size() == 5;
}

PluginLoadResult pluginLoadResultFromOutput(const std::string& output, bool named64) {
    std::map<std::string, std::string> values;
    bool started = false;
    bool ended = false;
    std::istringstream lines(output);
    std::string line;
    while (!ended && std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ended = line == "end";
        started = started || line == "started 1";
        const std::size_t space = line.find(' ');
        if (space != std::string::npos)
            values[line.substr(0, space)] = line.substr(space + 1);
    }
    // A 64-bit Wine without its 32-bit half ends a 32-bit program before it runs, silently.
    if (!started)
        return {named64 ? PluginLoadState::BridgeFailed : PluginLoadState::No32BitWine, {}};
    if (!ended)
        return {PluginLoadState::Crashed, {}};
    static const std::map<std::string, PluginLoadState> states{
        {"loads", PluginLoadState::Loads},
        {"not-plugin", PluginLoadState::NotPlugin},
        {"unreadable", PluginLoadState::Unreadable},
        {"not-pe", PluginLoadState::NotPe},
        {"wrong-machine", PluginLoadState::WrongMachine},
        {"missing-dll", PluginLoadState::MissingDll},
        {"init-failed", PluginLoadState::InitFailed},
        {"missing-export", PluginLoadState::MissingExport},
        {"load-failed", PluginLoadState::LoadFailed},
    };
    const auto result = values.find("result");
    const auto detail = values.find("detail");
    const auto state = result == values.end() ? states.end() : states.find(result->second);
    if (state == states.end())
        return {PluginLoadState::Crashed, {}};
    return {state->second, detail == values.end() ? std::string() : detail->second};
}

PluginLoadCheck& noPluginLoadCheck() {
    class NoCheck final : public PluginLoadCheck {
    public:
        bool available() const override { return false; }
        PluginLoadResult check(const std::string&, Cancel) override { return {PluginLoadState::NoWine, {}}; }
    };
    static NoCheck none;
    return none;
}

std::string bridge32Beside(const std::string& bridge64) {
    return (std::filesystem::path(bridge64).parent_path() / "quillon-tcbridge32.exe").string();
}

} // namespace quillon::platform
