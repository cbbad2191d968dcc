#pragma once
// The installation of downloaded packages: the gate, unpacking, Total Commander's close
// request, the database move, the self-update rename, the copy with backups, the row refresh
// and the messages at the end of a transfer pass. Shows nothing itself: questions and messages
// go through the Prompter.
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/job_control.h"
#include "app/setting_modes.h"
#include "install/download_request.h"
#include "install/install_preview.h"
#include "install/self_update.h"
#include "install/unpack_limits.h"
#include "inventory/rows_refresh.h"
#include "platform/tc_window.h"

namespace quillon {

class Language;
class Prompter;

namespace platform {
class PluginLoadCheck;
class TcWindow;
} // namespace platform

// Total Commander's command numbers.
inline constexpr int kTcCommandBeforePluginInstall = 2913;

struct InstallerContext {
    InstallerContext(Prompter& prompterIn, const Language& languageIn)
        : prompter(prompterIn), language(languageIn) {}

    Prompter& prompter;
    const Language& language;
    platform::TcWindow* tcWindow = nullptr;
    // Replaced plugins that no longer load are put back (VerifyAfterInstall); none: not checked.
    platform::PluginLoadCheck* pluginLoads = nullptr;

    QString tempDirectory;        // expanded; parent of the package folders
    QString tempDirectoryRefusal; // why the configured one cannot be used; nothing is installed
    QString settingsDir;          // where "database.dat" lives
    QString programPath;          // the running executable
    QString tcDir;
    QString tcLanguage;   // upper case
    QString unrarLibrary; // empty: RAR packages are not installed
    UnpackLimits unpackLimits;
    BackupBeforeInstall preInstallAction = BackupBeforeInstall::None;
    AfterInstall postInstallAction = AfterInstall::Nothing;
    bool installAfterDownload = false; // InstallAfterDL ticked
    bool autoStartInstall = false;     // switch "autostartinstall"
    // The running program is replaced only when its front end had this confirmed (the CLI's
    // --yes; the window's user chose the row).
    bool replaceProgramConfirmed = true;
    QString packageInfoDir; // empty: the system's package database

    // What an installed request changed in the owner's rows (RefreshPluginInfo with Delay
    // false), computed on the installer's thread from the job's own copies and handed back in
    // the step's result; none: no row is refreshed (a preview).
    std::function<RowsRefresh(const QString& itemPath)> refreshRows;
    // Total Commander's version found again after its own update (DetectTCversion), on the
    // installer's thread. window: the answer its window gave during this installation when it
    // still holds; none: the window is asked, under Wine through the bridge.
    std::function<TcVersionFacts(const platform::TcWindowState* window)> detectTcVersion;
    // Starts Total Commander after its own update; none: it is left for the user to start.
    std::function<void()> startTotalCommander;
    // Blocking wait; tests may replace it. The default ends early when cancel is set.
    std::function<void(int milliseconds)> wait;
    // The pass's token: waits for Total Commander and the pauses end when it is cancelled.
    CancelToken cancel;
};

// What one install step did.
struct InstallStepResult {
    enum class Outcome {
        NotInstalled, // the gate said no (download only)
        Installed,
        Failed,
    };
    Outcome outcome = Outcome::NotInstalled;
    QStringList installedFiles;
    QStringList failedFiles;
    QString backupArchive;
    // Why the request was not installed, in words; empty when it was or the gate said no.
    QString error;
    // The row's state in the user's language when the list's own texts cannot say it: an update
    // put back because it does not load.
    QString rowStatus;
    // For the owner to apply on its own thread (see InstallerContext::refreshRows).
    RowsRefresh refresh;
};

// Why packages cannot be unpacked in tempDirectory, in words; empty when they can. create: the
// folder is made when missing (an installation); otherwise its nearest existing folder must let
// it be made (a preview, which writes nothing).
QString TemporaryDirectoryProblem(const QString& tempDirectory, bool create);

// What the end of the pass asks the front end to do.
enum class EndOfPassAction { None, Restart, ReloadAndCheck };

class Installer {
public:
    explicit Installer(InstallerContext context);

    // One request whose package lies at localFile. reinstall skips the gate.
    InstallStepResult installStep(const DownloadRequest& request, const QString& localFile,
                                  bool reinstall = false);

    // What installStep would do with the package at localFile, with nothing written but below
    // the temporary directory (which a preview points at a scratch folder of its own): no
    // question asked, Total Commander left alone, no row refreshed. earlier: see PreviewInstallCopy.
    InstallPreview previewStep(const DownloadRequest& request, const QString& localFile,
                               EarlierInstalls* earlier = nullptr);
    // Whether installStep would install the request at all (rather than leave it downloaded).
    bool wouldInstall(const DownloadRequest& request) const { return gateOpen(request, false); }

    // The messages after the last request of a pass (not after a reinstall). Restart: the
    // front end starts the program with RestartArguments() and closes; ReloadAndCheck: it
    // reloads the list and checks again.
    EndOfPassAction endOfPass(bool anyInstallRequest);

    // State of the pass.
    QStringList failedFiles() const; // sorted, unique
    SelfUpdateState selfUpdateState() const { return m_selfUpdate; }
    bool reloadAfterDownload() const { return m_reloadAfterDownload; }
    // Packages to delete when the pass is over (PostInstallAction bit 1).
    const QStringList& cleanupList() const { return m_cleanup; }
    // Starts a new pass: failed files, self-update state and clean-up list emptied.
    void resetPass();
    // For a pass run as a job (see InstallerContext::cancel).
    void setCancelToken(const CancelToken& token) { m_c.cancel = token; }

private:
    bool gateOpen(const DownloadRequest& request, bool reinstall) const;
    bool installDatabase(const QString& localFile, InstallStepResult& result);
    bool unpack(const DownloadRequest& request, const QString& localFile, const QString& packageFolder,
                QString* copySource, QString* errorText) const;
    InstallCopyOptions copyOptions(const DownloadRequest& request, const QString& copySource,
                                   const QString& packageFolder) const;
    bool closeTotalCommander();
    RowsRefresh refreshRows(const DownloadRequest& request);
    void pause(int milliseconds) const;

    InstallerContext m_c;
    QStringList m_rolledBack; // one text per plugin file put back because the new one does not load
    QStringList m_failedFiles;
    QHash<QString, QString> m_failureReasons; // failed path -> "path: why"
    QStringList m_cleanup;
    SelfUpdateState m_selfUpdate = SelfUpdateState::None;
    bool m_reloadAfterDownload = false;
    bool m_tcStarted = false;
    bool m_tcClosed = false; // this pass closed a running Total Commander
    // This installation found Total Commander not running: until it is started that answer holds,
    // and the bridge is not asked again for it.
    std::optional<platform::TcWindowState> m_tcWindowBeforeInstall;
};

} // namespace quillon
