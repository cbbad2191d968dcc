#pragma once
// One download-and-install pass over rows of the update list, the same for both front ends.
// The requests are built on the owner's thread (building may ask the one-time install question
// and, through the prompter, which Total Commander package to take); the transfer, with each finished file
// installed, runs on any thread and stops with its token; the end of the pass (its messages and the clean-up)
// runs on the owner's thread again.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include "app/job_control.h"
#include "install/installer.h"
#include "install/request_builder.h"
#include "install/transfer_engine.h"

namespace quillon {

class AppCore;
class PageFetcher;
class Prompter;

enum class InstallChoice {
    Never,         // download only (the database is still put in place)
    AsSettingsSay, // rows with an update are installed when InstallAfterDL is ticked
    Always,        // every package fetched is installed, whatever the settings say
};

struct UpdatePassOptions {
    QList<int> rows;   // rows of the update list to fetch
    QString forceItem; // one item instead of rows (the plugin database)
    InstallChoice install = InstallChoice::AsSettingsSay;
    // The desktop program asks once whether downloads should be installed from now on; a run of
    // the command line neither asks that question nor takes its answer away from the window.
    bool askInstallQuestion = false;
    // Which Total Commander package to take is asked through the prompter; otherwise the stored
    // choice is taken (a preview, the external download manager, the command line).
    bool askPackage = false;
    // The running program is replaced only when the front end had that confirmed.
    bool replaceProgramConfirmed = true;
    // The requests are for an external download manager: its links (the catalogue's plain
    // address, Total Commander's package read from its download page while building).
    bool externalManager = false;
    // For a preview of the pass: nothing is installed, so no temporary directory is made.
    bool preview = false;
};

class UpdatePass {
public:
    UpdatePass(AppCore& core, Prompter& prompter, UpdatePassOptions options);
    ~UpdatePass();
    UpdatePass(const UpdatePass&) = delete;
    UpdatePass& operator=(const UpdatePass&) = delete;

    // Owner's thread, first: the requests of the chosen rows; the temporary directory made when
    // anything is to be installed.
    const DownloadRequestList& buildRequests();

    // Called on the thread of the transfer they are about, one call at a time; set before run().
    void setRowChanged(std::function<void(int index)> rowChanged);
    void setProgress(std::function<void(const TransferProgress&)> progress);
    // After each finished file's installation step (the request's index, its item and what it
    // did), on the pass's thread. The result's refresh is the owner's to apply.
    void setFileInstalled(
        std::function<void(int index, const QString& itemPath, const InstallStepResult&)> fileInstalled) {
        m_fileInstalled = std::move(fileInstalled);
    }

    // Any thread: every request fetched (ParallelDownloads at once) and each finished file
    // installed on this thread, one at a time. A cancel ends the pass within one network wait
    // slice; what finished stays finished.
    void run(const CancelToken& cancel);

    // Owner's thread, after run(): the end-of-pass messages (none after a cancel). What the
    // front end must do next.
    EndOfPassAction finish();
    // Any thread, after run(): request index installed again from the file it left (the
    // download window's "Reinstall / Update").
    InstallStepResult reinstall(int index);
    // When the pass's files are no longer wanted (the CLI at once, the window when it closes):
    // partial files and installed packages marked for deletion are removed.
    void cleanUp();

    const TransferEngine& transfer() const { return *m_engine; }
    TransferEngine& transfer() { return *m_engine; }
    // installs()[i]: what became of request i's file (NotInstalled when it was not installed).
    const QList<InstallStepResult>& installs() const { return m_installs; }
    // Why the pass could not do its work (an unusable proxy, a file that cannot be created).
    const QStringList& errors() const { return m_errors; }
    bool cancelled() const { return m_engine && m_engine->cancelled(); }
    // Whether the pass hands the request's file to the installer (whose own gate still decides).
    bool installsRequest(const DownloadRequest& request) const { return installs(request); }
    // The running program was replaced: it must be started again.
    bool restartRequired() const;

private:
    bool installs(const DownloadRequest& request) const;
    void installFinishedFile(int index, const DownloadRequest& request, const QString& localFile);

    AppCore& m_core;
    Prompter& m_prompter;
    UpdatePassOptions m_options;
    DownloadRequestList m_requests;
    std::unique_ptr<PageFetcher> m_pageReader;
    std::unique_ptr<TransferEngine> m_engine;
    std::unique_ptr<Installer> m_installer;
    QList<InstallStepResult> m_installs;
    std::function<void(int, const QString&, const InstallStepResult&)> m_fileInstalled;
    QStringList m_errors;
    bool m_proxyUsable = true;
    bool m_anyInstallRequest = false;
};

} // namespace quillon
