#pragma once
// The main window: the four pages, the search and download buttons with the progress bar, the
// language button and the status line. Long work runs as jobs off this window's thread; the
// window applies their results and never waits for them.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>

#include <memory>

#include "download_window.h"
#include "engine/check_job.h"
#include "engine/download_manager.h"
#include "engine/update_pass.h"
#include "install/backup_restore.h"
#include "inventory/inventory_pass.h"
#include "list_command.h"
#include "list_menu_rules.h"

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace quillon {
class AppCore;
struct ItemPageContext;
class RestoreJob;
struct RestoreResult;
} // namespace quillon

namespace quillon::ui {

class AboutPage;
class ConfigPage;
class TInfobox;
class JobRunner;
class MessageBoxPrompter;
class UpdatePage;
class UserDbPage;

class Ttc_Updater : public QMainWindow {
    Q_OBJECT
public:
    enum Page { TabUpdate, TabConfig, TabUserDB, TabAbout };

    Ttc_Updater(AppCore& core, MessageBoxPrompter& prompter, QWidget* parent = nullptr);
    ~Ttc_Updater() override;

    // A second start asked for this window.
    void bringToFront();
    void retranslate();

    // The commands behind the buttons and keys.
    void btn_SearchUpdatesClick();
    void btn_UpdateSelectedClick();
    void ReloadList();
    // Searches for updates of the list as it is (the button when no search runs).
    void searchForUpdates();
    // Downloads (and installs, as the settings say) the marked rows.
    void downloadMarked();

    // What changed in the core for refreshViews().
    enum class View : unsigned {
        List = 0x1,     // the update list: changed in place when its rows are the same
        Counters = 0x2, // the counts above the list and the buttons they enable
        Settings = 0x4, // the Configuration page
        UserDb = 0x8,   // the user database page
    };
    Q_DECLARE_FLAGS(Views, View)
    // The one place that tells the pages what changed in the core.
    void refreshViews(Views what);
    // Rows an installation changed, shown again in place; many files a second are shown at
    // most four times a second, so that repainting the list does not slow the pass.
    void refreshRowsSoon(const QList<int>& rows);
    void LNGPopupItemClick(quint32 lcid);

    UpdatePage& updatePage() { return *m_update; }
    ConfigPage& configPage() { return *m_config; }
    JobRunner& jobs() { return *m_jobs; }
    bool inventoryDone() const;
    // The last check's outcome, for those who follow the window (tests, screenshots).
    const CheckJobResult& lastCheck() const { return m_lastCheck; }
    // How the program is started again after it replaced itself; tests record the request.
    void setProgramStarter(std::function<bool(const QString&, const QStringList&)> start) {
        m_startProgram = std::move(start);
    }
    // The open download window, if any (tests drive it).
    TDownloadFiles* downloadWindow() const { return m_download; }
    void runListCommand(ListCommand command);
    // The marked updatable rows confirmed as latest (their versions remembered).
    void confirmUpdatableAsLatest();
    // What downloading the marked rows would do, shown before anything is done.
    void previewMarked();
    QDialog* previewWindow() const { return m_preview; }
    // What the context menu would enable now.
    MenuEnabling contextMenuState() const;
    QMenu* buildContextMenu();
    // The selected row's backups listed as a job, one chosen in a dialog and put back as a job,
    // the row refreshed.
    void restorePreviousVersion();
    // The selected plugin rows loaded by the plugin load check as a job; the results go to the
    // information box and one message.
    void checkSelectedPluginsLoad();
    // Where "Send to IDM..." starts the download manager; nullptr: really started.
    void setProgramLauncher(ProgramLauncher* launcher);

signals:
    void inventoryFinished();
    void checkFinished();
    // A jump to files in Total Commander (or the file manager) is over.
    void tcCallsFinished();
    // A restore of the context menu ended (the row is refreshed by then).
    void restoreFinished(bool restored);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitMinimumSize();
    void buildWidgets();
    void buildLanguageMenu();
    void FormActivate();
    // Moves the window to stored when Total Commander's window is up (centred over it instead
    // with centreOverIt, when its rectangle is known).
    void placeOverTotalCommander(QPoint stored, bool centreOverIt);
    void startInventory(bool reload);
    void inventoryApplied(const InventoryPassResult& result);
    void checkApplied(const CheckJobResult& result, bool cancelled);
    void setJobRunning(bool running, bool check);
    void countersChanged(const CheckCounters& counters);
    void pageChanged(int index);
    void updateStatusLine();
    void showStatus(const QString& text);
    void openPages(const QStringList& addresses, int selectedRows);
    // thenCommand: a command Total Commander is sent after the jump (0: none).
    void JumpToSelectedFiles(int mode, const QStringList& files, int thenCommand = 0);
    void excludeSelected(bool directory);
    void excludeMarked();
    void refreshSelectedItem();
    // The download window over rows (the marked ones, or the selection), or over one item
    // instead (the plugin database).
    void openDownloadWindow(const QList<int>& rows, InstallChoice install, const QString& item = {});
    DownloadManager downloadManager() const;
    void sendToDownloadManager(const QList<int>& rows);
    void downloadWindowClosed(EndOfPassAction action);
    void restoreChosenBackup(const QString& itemFile, const QString& archive);
    void restoreApplied(const RestoreJob& job, const QString& label, const RestoreResult& result);
    void openDatabaseBrowser(const QString& filePath);
    // Where a row's database entry is changed: its user entry (on the UserDB page), the plugin
    // database's entry in the browser, or a new user entry proposed from the file.
    void modifyDatabaseEntry(const QString& filePath);
    void editUserEntry(const QString& id);
    void showSelectionInInfoBox();
    // The selected rows' files (as the rows hold them) that are plugins by their names.
    QStringList selectedPluginFiles() const;
    void saveGeometryToSettings();
    ItemPageContext pageContext() const;
    QList<MenuRowFacts> selectedFacts() const;
    QString databaseEntryCaption() const;

    AppCore& m_core;
    MessageBoxPrompter& m_prompter;
    JobRunner* m_jobs;
    JobRunner* m_tcCalls; // calls to Total Commander's window, one at a time
    QTabWidget* tcUpdater_Pages;
    UpdatePage* m_update;
    ConfigPage* m_config;
    UserDbPage* m_userDb;
    AboutPage* m_about;
    QToolButton* btn_ChangeLng;
    QMenu* PopupMenuLng;
    QProgressBar* ProgressBar;
    QPushButton* btn_SearchUpdates;
    QPushButton* btn_UpdateSelected;
    QPushButton* btn_Reload;
    QLabel* lbl_databaseCount;
    QLabel* lbl_status;
    TInfobox* m_infoBox;
    CheckJobResult m_lastCheck;
    QPointer<TDownloadFiles> m_download;
    QPointer<QDialog> m_preview;
    std::function<bool(const QString&, const QStringList&)> m_startProgram;
    std::unique_ptr<ProgramLauncher> m_detachedLauncher = std::make_unique<DetachedLauncher>();
    ProgramLauncher* m_launcher = m_detachedLauncher.get();
    bool m_checkAfterReload = false; // a database update asked for a new check
    QList<int> m_rowsToRefresh;      // installed rows, shown again shortly
    bool m_autoDownloadDone = false; // and their download
    int m_rememberedHeight = 0;      // before the Configuration page made the window taller
    bool m_activated = false;
    bool m_placed = false; // centred, or over Total Commander, and the columns sized
    bool m_checkRunning = false;
    bool m_shutDownDone = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Ttc_Updater::Views)

} // namespace quillon::ui
