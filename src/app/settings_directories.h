#pragma once
// The download and temporary directories that start-up derives from the settings: a configured
// download directory that cannot be used is replaced by the first usable default.
#include <QString>

namespace quillon {

class System;
struct SettingsContext;

// Quillon's own paths (DownloadDir, TempDirectory) expanded with the program's environment,
// with "/" separators.
QString ExpandOwnPath(const System& system, const QString& path);

// "%APPDATA%" + separator + ProgramBaseName + separator, unexpanded.
QString DefaultTempDirectory(const QString& programBaseName);

struct DownloadDirChoice {
    QString directory;      // unexpanded, trailing "/"
    bool defaulted = false; // the configured directory was not usable
    bool created = false;   // the per-user download folder was created for this
};

// configured: the DownloadDir value; tempDirectory: the last resort (unexpanded).
DownloadDirChoice ChooseDownloadDirectory(const SettingsContext& context, const QString& configured,
                                          const QString& tempDirectory);

// The first start moves an untouched default temporary directory into a writable download
// directory; returns the temporary directory to use. Callers set OneTimeTempDirChange after.
QString MovedTempDirectory(const SettingsContext& context, const QString& tempDirectory,
                           const QString& downloadDir);

} // namespace quillon
