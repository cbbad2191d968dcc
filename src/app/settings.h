#pragma once
// The settings in memory: read from the settings store at start-up (with the rules that derive
// the download and temporary directories, the one-time proxy copy and the exclusion list) and
// written back into it at shutdown.
#include <QString>
#include <QStringList>

#include <functional>

#include "app/ini_document.h"
#include "app/settings_values.h"

namespace quillon {

class System;

// The update list's width in the designed window at the default client size; the GUI passes
// the real one.
inline constexpr int kDesignedUpdateListWidth = 449;
// The HTTP time-out (ms) a user may choose; a stored value outside takes the default.
inline constexpr int kHttpTimeOutMin = 500;
inline constexpr int kHttpTimeOutMax = 600000;
// Transfers at once that a user may choose; a stored value outside takes the default.
inline constexpr int kParallelDownloadsMin = 1;
inline constexpr int kParallelDownloadsMax = 16;

// What the rules need from the rest of the program.
struct SettingsContext {
    const System& system;
    QString programBaseName;
    QString programDir;      // host path
    QString tcIniFile;       // host path, the default of the manual plugin-list file
    QString downloadsFolder; // the user's Downloads folder with trailing "/", or empty
    QString useIniInTcDirAsLocated = QStringLiteral("False");
    int updateListWidth = kDesignedUpdateListWidth;
    // Paths inside Total Commander's directory written with "%COMMANDER_PATH%"; none: as is.
    std::function<QString(const QString&)> convertTcPathToEnvPath;
};

struct SettingsWriteOptions {
    bool externalLanguage = false; // the language came from the external file: keep CurrentLng
    bool ctrlHeld = false;         // saves the window position like GUI/AlwaysSavePos
};

class Settings {
public:
    Settings(); // the table's fixed defaults
    SettingValues values;

    void read(const IniDocument& store, const SettingsContext& context);
    // Puts every value into the store in the shutdown order; other content stays as it is.
    void write(IniDocument& store, const SettingsContext& context, const SettingsWriteOptions& options) const;
    // write() and the store written to its file; false and errorText when the file could not
    // be replaced (the old file is then untouched).
    bool save(IniDocument& store, const SettingsContext& context, const SettingsWriteOptions& options,
              QString* errorText = nullptr) const;

    bool downloadDirDefaulted() const { return m_downloadDirDefaulted; }
    bool downloadDirCreated() const { return m_downloadDirCreated; }
    QString expandedDownloadDir(const System& system) const;
    // A full host path, or empty (and refusal says why) when the setting expands to a relative one.
    QString expandedTempDirectory(const System& system, QString* refusal = nullptr) const;

    // Exclusion list: sorted, unique without regard to case after reading; one entry per line
    // of the memo that edits it.
    const QStringList& exceptionList() const { return m_exceptionList; }
    void setExceptionList(const QStringList& entries) { m_exceptionList = entries; }
    QString exceptionListText() const;
    void setExceptionListText(const QString& text);

    // Host names of the transfer rules 'A'..'D' (empty for another letter).
    QStringList ruleHosts(char rule) const;

private:
    void applyDefaults(const SettingsContext* context);

    QStringList m_exceptionList;
    bool m_downloadDirDefaulted = false;
    bool m_downloadDirCreated = false;
};

} // namespace quillon
