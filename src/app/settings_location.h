#pragma once
// Where the settings file lives: next to wincmd.ini, in the program directory, under the user's
// application data folder, or in the temporary directory, whichever the rules pick first.
#include <QString>

namespace quillon {

class System;

struct SettingsLocationInput {
    QString programBaseName; // the settings file is this name + ".ini"
    QString programDir;      // host path
    QString tcIniFile;       // the wincmd.ini in use, host path; may be empty
};

struct SettingsLocation {
    QString filePath;
    // Configuration/UseIniInTCDir as read before the choice ("False" when absent), trimmed.
    QString useIniInTcDir;
    bool tcDirectoryMode = false;
};

// UseIniInTCDir selects the Total Commander directory: "true" in any letter case, or "1".
bool IsTcDirectoryMode(const QString& useIniInTcDir);

// Runs the location rules. May move an older "Quillon.ini" from the program directory next
// to wincmd.ini (never over a settings file that is already there). Never fails: when no
// directory is usable, the file goes into the temporary directory.
SettingsLocation LocateSettingsFile(const System& system, const SettingsLocationInput& input);

// The file for an explicitly given settings directory (no rules apply).
QString SettingsFileInDirectory(const QString& directory, const QString& programBaseName);

} // namespace quillon
