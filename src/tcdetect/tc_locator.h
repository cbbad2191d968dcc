#pragma once
// Where Total Commander lives: its directory, executable and the wincmd.ini it uses, plus the
// language and font read from that file and the "%COMMANDER_PATH%" form of stored paths.
//
// Every call reads environment, registry and files anew; nothing is cached. Results are host
// paths ("/" separators); "" when nothing was found. Directories come without a trailing "/".
#include <QString>

namespace quillon {

class System;

class TcLocator {
public:
    explicit TcLocator(System& system) : m_system(system) {}

    QString GetTCMainDir() const;
    QString GetTCExePath() const;
    QString GetTCIniPath() const;
    // resType 0: the wincmd.ini to use for input; otherwise the UseIniInProgramDir value that
    // applies to input, in decimal.
    QString GetTCIniPath_UIIPDPath(const QString& input, int resType) const;
    // Language code of Total Commander's language file ("ENG" when none is set).
    QString GetTCLanguage(const QString& iniFile) const;
    // "Segoe UI Semibold" when Total Commander uses its new default font, else "".
    QString GetTCFont(const QString& iniFile) const;

    // Total Commander's variables written into a host path, longest-lived first:
    // COMMANDER_PATH, COMMANDER_DRIVE, COMMANDER_INI, COMMANDER_EXE.
    QString ConvertToEnvPath(const QString& input) const;
    // A path inside Total Commander's directory with that directory written as
    // "%COMMANDER_PATH%"; any other path trimmed and otherwise unchanged.
    QString ConvertTCPathToEnvPath(const QString& input) const;

    static constexpr const char* kRegistryKey = "Software\\Ghisler\\Total Commander";

private:
    // A COMMANDER_* variable as a host path (a Windows value is mapped); empty when unset.
    QString commanderVariable(const QString& name) const;
    QString registryInstallDir(bool currentUser) const;
    QString registryIniFileName(bool currentUser) const;
    // The directory's TOTALCMD.EXE, else its TOTALCMD64.EXE; "" when neither exists.
    QString executableIn(const QString& dir) const;
    // The default wincmd.ini on the Windows drive, "" when none exists.
    QString defaultIniFile() const;
    // An existing wincmd.ini named by a registry value or an expanded default; "" otherwise.
    QString existingIniFromText(const QString& windowsOrHostPath) const;

    System& m_system;
};

} // namespace quillon
