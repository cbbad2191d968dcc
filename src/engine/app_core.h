#pragma once
// The core object both front ends drive: it owns the system services, the in-memory stores,
// the settings and the language, knows where Total Commander is, and runs start-up and
// shutdown in their fixed order. It never shows anything: questions and messages go through
// the Prompter.
#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QString>

#include "app/command_line.h"
#include "app/ini_document.h"
#include "app/job_control.h"
#include "app/settings_values.h"
#include "engine/stores.h"
#include "inventory/database_loader.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "platform/platform.h"
#include "tcdetect/tc_location.h"

namespace quillon {

// What an inventory pass made of copies of the core's state; see AppCore::inventory().
struct InventoryOutcome {
    InventoryPassResult result;
    UpdateList list;
    SettingValues values;
    Stores stores;
    TcLocation tc;
    std::optional<DatabaseLoadResult> databaseState; // a reload's
};

class Language;
class PageFetcher;
class Prompter;
class Settings;
struct SettingsContext;
class System;
class TcLocator;
class UpdateList;
struct UpdateCheckState;
struct RowsRefresh;

struct StartOptions {
    // Empty: the directory of the running executable.
    QString programDir;
    // Empty: the running executable. Its leftover from a self-update is removed at start.
    QString programPath;
    // Empty: the settings file's location rules. Otherwise Quillon.ini, userdb.ini and
    // upluginfo.ini live here (the folder is created when missing).
    QString settingsDir;
    // Short name ("DEU") or locale identifier ("1031") chosen for this run; empty: the saved
    // choice, else the user's locale. Not an external-file choice, so it is saved at exit.
    QString language;
};

class AppCore {
public:
    AppCore(Prompter& prompter, const platform::PlatformOptions& platformOptions);
    AppCore(Prompter& prompter, std::unique_ptr<platform::Platform> platform);
    ~AppCore();
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;

    // Everything the main window's creation did that needs no window, in its order.
    void startUp(const CommandLine& commandLine, const StartOptions& options = {});
    // Writes the settings, the user database and the per-file memory, and removes an empty
    // temporary directory. Each file that cannot be written is reported through the Prompter;
    // the others are still written. ctrlHeld: the window position is saved whatever the
    // settings say. True when every file was written.
    bool shutDown(bool ctrlHeld = false);

    // Fills PluginDbStore and ChecksumDbStore (built-in copies, or database.dat when newer or
    // forced); a forced external database that does not exist is switched off.
    void LoadPluginDatabases();
    const DatabaseLoadResult& databaseState() const { return m_databaseState; }

    // The update list the inventory pass fills and the update check works on.
    UpdateList& updateList() { return *m_updateList; }
    const UpdateList& updateList() const { return *m_updateList; }
    // The inventory pass: rows for Total Commander, its plugins, add-ons and Quillon itself,
    // then the snapshot; sets InventoryDone. Needs startUp() first. Once cancel is set the pass
    // stops before the next file and the core stays as it was.
    InventoryPassResult runInventoryPass(const CancelToken& cancel = CancelToken());
    // The same pass for a job: computed on copies of the list, the settings, the stores and Total
    // Commander's location, from any thread while the owner leaves the core alone; with reload
    // the databases are loaded again and the list starts empty. step: after every identification.
    InventoryOutcome inventory(bool reload, const CancelToken& cancel,
                               const std::function<void(int, bool)>& step = {}) const;
    // Owner's thread: the outcome becomes the core's. A cancelled one changes nothing.
    void applyInventory(InventoryOutcome outcome);
    // The update check's state beside the list (latest versions' records and publication dates,
    // the flags the download side reads) and the one page fetcher, which keeps
    // ConnectionErrorKind: a window keeps both between checks, the CLI uses them for its run, and
    // the row refresh after an installation reads the state. Made on first use, the fetcher with
    // the settings as they are then; every inventory pass marks the list loaded in the state and
    // clears the fetcher's error kind. Need startUp() first.
    UpdateCheckState& updateCheckState();
    PageFetcher& pageFetcher();
    // RefreshPluginInfo over the core's stores and settings, with the publication dates of the
    // last check: the row gets the state that check would give it now. False for no valid row.
    bool RefreshPluginInfo(const QString& path, int row, const QString& installedFilePath, bool delay);
    // What a job's refresh after an installation changed (see InstalledRowsRefresher), applied
    // here on the owner's thread. The rows that changed.
    QList<int> applyRowsRefresh(const RowsRefresh& refresh);
    // Databases loaded again, rows deleted, the pass run again.
    InventoryPassResult ReloadList(const CancelToken& cancel = CancelToken());
    // Total Commander's row: appended (addItem, only right after the other rows were cleared)
    // or refreshed in place, with TCExeFile and TCWindowTitle found again.
    void DetectTCversion(bool addItem);

    // The file a self-update leaves the old executable under: "QN_old.exe" beside a Windows
    // executable, "<name>_old" beside any other (Linux has no ".exe" to keep).
    static QString oldExecutableName(const QString& executablePath);

    // A --lang value: a short name ("DEU") or a decimal locale identifier; 0 when it is neither.
    static quint32 lcidFromLanguageOption(const QString& option);

    // "Quillon 0.8.6.8", with " [SAFE]" under the "safe" switch.
    QString windowCaption() const;

    System& system() { return *m_system; }
    Prompter& prompter() { return m_prompter; }
    const CommandLine& commandLine() const { return m_commandLine; }
    Settings& settings() { return *m_settings; }
    const Settings& settings() const { return *m_settings; }
    Language& language() { return *m_language; }
    const Language& language() const { return *m_language; }
    TcLocator& tcLocator() { return *m_tcLocator; }

    Stores& stores() { return m_stores; }
    const Stores& stores() const { return m_stores; }

    // Process-wide values. Directories without a trailing "/" unless stated.
    const QString& ProgramBaseName() const { return m_programBaseName; }
    const QString& programDir() const { return m_programDir; }
    const QString& programPath() const { return m_programPath; }
    QString settingsFile() const { return m_stores.settings.filePath(); }
    QString settingsDir() const;
    bool TCWindowExists() const;
    const TcLocation& tc() const { return m_tc; }
    // Another Wine program may find another executable: it is looked for again.
    void setTcExeFile(const QString& path) { m_tc.exeFile = path; }
    // With a trailing "/"; empty when the system cannot tell.
    const QString& DownloadsFolder() const { return m_downloadsFolder; }
    bool RestartMode() const { return m_commandLine.restartMode(); }
    bool ExternalLanguage() const;
    // The "/i=" file when it names an existing file, else empty (also read by the inventory).
    QString commandLineIniFile() const;

    // Set by every inventory pass that was not cancelled; a new start-up clears it.
    bool InventoryDone = false;

private:
    SettingsContext settingsContext() const;
    void openSettingsStores(const StartOptions& options);
    void chooseLanguage(const StartOptions& options);
    void removeOldExecutable();
    // The save-failure message naming fileName (without directory).
    void reportSaveFailure(const QString& fileName, const QString& reason);
    bool writeSettings(bool ctrlHeld);
    bool writeUserDb();
    bool writeUserPluginInfo();
    void removeEmptyTempDirectory();

    Prompter& m_prompter;
    std::unique_ptr<System> m_system;
    std::unique_ptr<TcLocator> m_tcLocator;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Language> m_language;
    std::unique_ptr<UpdateList> m_updateList;
    // After the settings and the language: the fetcher refers to the language and goes first.
    std::unique_ptr<UpdateCheckState> m_checkState;
    std::unique_ptr<PageFetcher> m_pageFetcher;
    DatabaseLoadResult m_databaseState;
    CommandLine m_commandLine;

    Stores m_stores;

    QString m_programBaseName;
    QString m_programDir;
    QString m_programPath;
    TcLocation m_tc;
    QString m_downloadsFolder;
    QString m_useIniInTcDirAsLocated = QStringLiteral("False");
    bool m_started = false;
};

} // namespace quillon
