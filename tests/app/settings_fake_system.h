#pragma once
// A platform whose registry, environment and folders the settings tests decide: no Wine prefix
// and no developer's environment leaks in.
#include <QString>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "app/settings.h"
#include "app/system.h"

namespace quillon::test {

struct FakeMachine {
    std::map<std::string, platform::RegistryValue> hkcu; // "key\\path|name", lower-cased
    std::map<std::string, std::string> ownEnvironment;   // names upper-cased
    std::string appData;                                 // specialFolderPath(26)
    std::string drive;                                   // windowsDrive(); "C:\" maps below it
    std::string temp = "/tmp/";

    void setRegistryString(const std::string& key, const std::string& name, const std::string& value) {
        hkcu[lower(key + "|" + name)] = {platform::RegistryValue::Type::String, value, 0};
    }
    void setRegistryDword(const std::string& key, const std::string& name, std::uint32_t value) {
        hkcu[lower(key + "|" + name)] = {platform::RegistryValue::Type::Dword, {}, value};
    }
    void setVariable(const std::string& name, const QString& value) {
        ownEnvironment[upper(name)] = value.toStdString();
    }

    static std::string lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        return text;
    }
    static std::string upper(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        return text;
    }
};

class FakePlatform : public platform::Platform,
                     platform::Registry,
                     platform::PathMapper,
                     platform::Environment,
                     platform::Folders,
                     platform::TcWindow,
                     platform::Shell {
public:
    explicit FakePlatform(FakeMachine& machine) : m(machine) {}

    const platform::Registry& registry() const override { return *this; }
    const platform::PathMapper& paths() const override { return *this; }
    platform::Environment& tcEnvironment() override { return *this; }
    platform::Environment& ownEnvironment() override { return *this; }
    const platform::Folders& folders() const override { return *this; }
    platform::TcWindow& tcWindow() override { return *this; }
    platform::Shell& shell() override { return *this; }
    std::string winePrefix() const override { return {}; }

    std::optional<platform::RegistryValue> read(platform::RegistryRoot root, std::string_view keyPath,
                                                std::string_view valueName) const override {
        if (root != platform::RegistryRoot::CurrentUser)
            return std::nullopt;
        const auto it = m.hkcu.find(FakeMachine::lower(std::string(keyPath) + "|" + std::string(valueName)));
        return it == m.hkcu.end() ? std::nullopt : std::optional(it->second);
    }
    std::vector<std::pair<std::string, platform::RegistryValue>> values(platform::RegistryRoot,
                                                                        std::string_view) const override {
        return {};
    }

    std::string toHostPath(std::string_view windowsPath) const override {
        if (m.drive.empty() || windowsPath.size() < 3 || std::tolower(windowsPath[0]) != 'c' ||
            windowsPath[1] != ':')
            return {};
        std::string rest(windowsPath.substr(3));
        std::replace(rest.begin(), rest.end(), '\\', '/');
        return m.drive + "/" + rest;
    }
    std::string toWindowsPath(std::string_view) const override { return {}; }

    std::optional<std::string> variable(std::string_view name) const override {
        const auto it = m.ownEnvironment.find(FakeMachine::upper(std::string(name)));
        return it == m.ownEnvironment.end() ? std::nullopt : std::optional(it->second);
    }
    int setVariable(std::string_view name, std::string_view value) override {
        m.ownEnvironment[FakeMachine::upper(std::string(name))] = value;
        return 0;
    }

    std::string specialFolderPath(int csidl) const override {
        return csidl == 26 ? m.appData : std::string();
    }
    std::string knownFolderPath(int, std::string_view) const override { return {}; }
    std::string tempDirectory() const override { return m.temp; }
    std::string windowsDirectory() const override { return {}; }
    std::string windowsDrive() const override { return m.drive; }

    platform::TcWindowState state(Cancel) override { return {}; }
    bool sendChangeDir(std::string_view, bool, Cancel) override { return false; }
    std::optional<std::string> request(std::string_view, Cancel) override { return std::nullopt; }
    bool sendCommand(int, Cancel) override { return false; }
    bool bringToFront(Cancel) override { return false; }
    bool closeAndWait(Cancel) override { return true; }
    bool launch(std::string_view) override { return false; }
    platform::TcWindowProblem lastProblem() const override { return platform::TcWindowProblem::None; }
    bool showFileInFileManager(std::string_view) override { return false; }

private:
    FakeMachine& m;
};

inline std::unique_ptr<System> makeFakeSystem(FakeMachine& machine) {
    return std::make_unique<System>(std::make_unique<FakePlatform>(machine));
}

inline SettingsContext makeSettingsContext(const System& system, const QString& programDir,
                                           const QString& tcIniFile, const QString& downloadsFolder) {
    return SettingsContext{system,
                           QStringLiteral("Quillon"),
                           programDir,
                           tcIniFile,
                           downloadsFolder,
                           QStringLiteral("False"),
                           kDesignedUpdateListWidth,
                           {}};
}

} // namespace quillon::test
