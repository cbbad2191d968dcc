#pragma once
// The platform layer as the Qt side of the program uses it: QString in and out, host paths in
// Qt's form ("/" separators) wherever a path leaves this class.
#include <memory>
#include <QString>

#include "platform/platform.h"

namespace quillon {

class System {
public:
    explicit System(std::unique_ptr<platform::Platform> platform);
    platform::Platform& platform() { return *m_platform; }
    const platform::Platform& platform() const { return *m_platform; }

    // Registry (64-bit view); the default when anything is missing or of another type.
    QString readRegistryString(platform::RegistryRoot root, const QString& keyPath, const QString& name,
                               const QString& defaultValue = {}) const;
    qint64 readRegistryInt(platform::RegistryRoot root, const QString& keyPath, const QString& name,
                           qint64 defaultValue) const;

    // Total Commander's world. Expansion uses the prefix's environment and the COMMANDER_*
    // variables; a result that is a Windows path is mapped to its host path.
    QString expandTcPath(const QString& text) const;     // unchanged when nothing expands
    QString expandTcVariable(const QString& text) const; // empty when nothing expands
    QString toHostPath(const QString& windowsOrHostPath) const;
    QString toWindowsPath(const QString& hostPath) const;

    // Quillon's own world (process environment with APPDATA, TEMP, USERPROFILE defined).
    QString expandEnvPath(const QString& text) const;
    QString expandEnvVariable(const QString& text) const;
    int setEnvVariable(const QString& name, const QString& value);

    // Folders, host paths. Trailing "/" as the platform interface states.
    QString specialFolderPath(int csidl) const;
    QString knownFolderPath(int csidl, const QString& knownFolderId) const;
    QString tempDirectory() const;
    QString windowsDirectory() const;
    QString windowsDrive() const;

    platform::TcWindow& tcWindow() { return m_platform->tcWindow(); }
    // The Wine program for Total Commander's window found again with this setting (or --wine):
    // $WINELOADER, else the setting, else the system's. True when another program is used now.
    bool useWineProgram(const QString& setting) {
        return m_platform->useWineProgram(setting.trimmed().toStdString());
    }
    platform::Shell& shell() { return m_platform->shell(); }

private:
    std::unique_ptr<platform::Platform> m_platform;
};

} // namespace quillon
