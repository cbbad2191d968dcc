#pragma once
// The update check run as core logic: Total Commander's row against
// its web site, every other row against the plugin catalogue's list, then the counters, the
// new snapshot and the error messages. A window follows it through CheckRunObserver; the CLI
// runs it without one.
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

#include "app/config_change.h"
#include "updatecheck/group_resolver.h"
#include "updatecheck/online_list.h"

namespace quillon {

class AppCore;
class IniDocument;
class Language;
class PageFetcher;
class UpdateList;

// Program-wide values the run reads and leaves for the download side, the row refresh and the
// windows; they live as long as the update list (AppCore keeps them).
struct UpdateCheckState {
    bool CheckRunning = false;
    bool ListLoaded = false;
    bool OnlineListFetched = false;
    bool TcNotFound = false;
    QString TcAnnouncedLink;
    bool TcPreReleaseAccepted = false;
    // Set by "autostartinstall": the download installs what it fetched.
    bool InstallAfterDownload = false;
    OnlineList OnlineRecords;
    DatabaseOnlineInfo DatabaseInfo;
    QHash<QString, QString> PublicationDates; // lower-cased path -> catalogue date

    // At every (re)load of the update list.
    void listLoaded(bool tcNotFound);
    // The catalogue date that gave the row of filePath its latest version; empty when none.
    QString publicationDate(const QString& filePath) const;
};

// What ReCountCheckedItems shows.
struct CheckCounters {
    int checked = 0;
    int rows = 0;
    int snapshotRows = 0;
    int snapshotUpdatable = 0;
    int snapshotUnknown = 0;
    QString checkedLabel;     // lbl_TotalUpdateNum
    QString allCaption;       // rb_All
    QString updatableCaption; // rb_Updatable
    QString unknownCaption;   // rb_Unknown
    bool updateSelectedEnabled = false;
    bool updateSelectedDefault = false; // instead of btn_SearchUpdates, when it has no focus
    bool searchEnabled = false;
};

// The counters of the list as it stands, with the captions in the language and the buttons'
// state from the check's.
CheckCounters CountCheckedItems(const UpdateList& list, const Language& language,
                                const UpdateCheckState& state);

// A window's part in the run; every hook may be left alone.
class CheckRunObserver {
public:
    virtual ~CheckRunObserver() = default;
    // Start: sorting off, the controls that could start a second run disabled, the list page
    // shown; end: those controls enabled again.
    virtual void runStarted() {}
    virtual void runFinished() {}
    // The progress bar: 0 at the start, 10 or 100 after Total Commander, maximum at the end.
    virtual void setProgress(int value) { (void)value; }
    virtual void setProgressToMaximum() {}
    // A row was resolved before the next; scroll: show it.
    virtual void rowResolved(int row, bool scroll) { (void)row, (void)scroll; }
    virtual void countersChanged(const CheckCounters& counters) { (void)counters; }
};

struct CheckRunResult {
    bool reloaded = false;   // the reload question was answered yes and the list reloaded
    bool tcChecked = false;  // Total Commander's site was asked
    bool tcAnswered = false; // and gave a release to compare with
    bool catalogueFetched = false;
    int recordCount = 0; // catalogue records obtained
    QStringList errors;  // the messages shown, "caption: text"
    CheckCounters counters;
    // GUI/JumpToFirstUpd: the row to select afterwards; nullopt leaves the selection alone.
    std::optional<int> selectRow;
    // "autostartdl" or "autostartinstall": download the marked rows now.
    bool startDownload = false;
};

// What a run reads and changes beside the settings, stores and Total Commander's facts it only
// reads from the core: the core's own, or a job's copies of them.
struct CheckWorkspace {
    UpdateList& list;
    UpdateCheckState& state;
    PageFetcher& fetcher;
    IniDocument& settingsStore;       // version overrides written
    IniDocument& userPluginInfoStore; // per-file memory written
};

class UpdateCheckRun {
public:
    UpdateCheckRun(AppCore& core, PageFetcher& fetcher, UpdateCheckState& state);
    // With the core's own fetcher and state, which outlive the run.
    explicit UpdateCheckRun(AppCore& core);
    // On copies: the reload question is the owner's to ask before (AskReloadBeforeCheck).
    UpdateCheckRun(AppCore& core, CheckWorkspace workspace);

    void setObserver(CheckRunObserver* observer) { m_observer = observer; }
    // The Configuration page's detection options as they stand now; default: the settings'.
    void setDetectionOptions(const DetectionOptions& options) { m_detection = options; }

    // One run. selectedRow: the selected row, or -1.
    CheckRunResult run(int selectedRow = -1);

    // The counters and the enabled state of the two main buttons after a change of marks.
    CheckCounters ReCountCheckedItems();

private:
    bool checkTotalCommander();
    int checkCatalogue(bool tcChecked);
    void reportErrors(CheckRunResult& result);
    void progress(int value);

    AppCore& m_core;
    UpdateList& m_list;
    PageFetcher& m_fetcher;
    UpdateCheckState& m_state;
    IniDocument& m_settingsStore;
    IniDocument& m_userPluginInfoStore;
    bool m_asksReload = true;
    CheckRunObserver* m_observer = nullptr;
    std::optional<DetectionOptions> m_detection;
};

} // namespace quillon
