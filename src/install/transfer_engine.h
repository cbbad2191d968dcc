#pragma once
// The transfer pass: fetches the queued requests, several side by side when the settings allow
// it, resolves links that do not point at the file itself, picks the local name from the
// server's answer, and reports per-file and total progress. Every file is written to a
// temporary name and renamed only when it arrived whole and was written whole, so a cut-off or
// cancelled transfer or a full disk leaves nothing behind. A file the pass did not create is
// never replaced, and no two requests of a pass write the same file.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "app/job_control.h"
#include "app/setting_modes.h"
#include "install/download_request.h"
#include "install/host_rules.h"
#include "updatecheck/http_client.h"

namespace quillon {

class AtomicFileWriter;
class InstallOrder;

struct TransferSettings {
    HostRules rules;
    ProxySettings proxy;
    int httpTimeOutMs = 0; // applied only through an HTTP proxy
    // A file slower than lowSpeedBytes a second over lowSpeedSeconds is given up; 0: never.
    qint64 lowSpeedBytes = 0;
    int lowSpeedSeconds = 0;
    QString downloadDir; // expanded host path
    int maxRedirects = 35;
    // Total Commander's package link, resolved before the pass.
    PackageChoice packageChoice = PackageChoice::Unified;
    QString tcPackagePage; // TcPackagePage()
    QString catalogueBase;
    // Transfers at once; 1 fetches one request after the other, each installed before the next.
    int parallelDownloads = 1;
};

// A server is never asked for more files at once than this, however many transfers run.
inline constexpr int kTransfersPerHost = 2;

enum class TransferState { Queued, Retrieving, Fetching, Done, Failed, Cancelled };

struct TransferRow {
    QString id;       // zero-padded number
    QString fileName; // shown name: the suggestion first, the local name after probing
    qint64 size = -1; // -1 unknown
    TransferState state = TransferState::Queued;
    int percent = 0;
    QString url;       // the link fetched, updated by every redirect
    QString localPath; // set once the file is complete
    QString error;     // why the row failed
};

struct TransferProgress {
    int index = 0;
    int count = 0;
    qint64 received = 0;
    qint64 total = 0;
    int filePercent = 0;    // 0..100
    int totalPercent = 0;   // 0..100 * count
    int runningPercent = 0; // 0..100: the transfers running now, together
};

class TransferEngine {
public:
    TransferEngine(DownloadRequestList requests, TransferSettings settings);

    // All link targets of a page (Total Commander's package page); empty when unreadable.
    void setPageLinks(std::function<QStringList(const QString&)> pageLinks) {
        m_pageLinks = std::move(pageLinks);
    }
    // The text of a file-hosting page (rule B); empty when unreadable.
    void setPageText(std::function<QString(const QString&)> pageText) { m_pageText = std::move(pageText); }
    // The row and progress callbacks come from the thread of the transfer they are about, one
    // call at a time.
    void setRowChanged(std::function<void(int)> rowChanged) { m_rowChanged = std::move(rowChanged); }
    void setProgress(std::function<void(const TransferProgress&)> progress) {
        m_progress = std::move(progress);
    }
    // Called after each complete file (the installer): on run()'s thread, one at a time, each
    // folder's files in request order (InstallOrder); it may add to the clean-up list.
    void setAfterFile(std::function<void(int, const DownloadRequest&, const QString&)> afterFile) {
        m_afterFile = std::move(afterFile);
    }

    // A preview: every link resolved, probed and named against the download folder as the pass
    // would, but nothing is written there. A request is fetched only when fetchFolder names a
    // folder for it (one of the caller's own, made already), under the name it would have; the
    // others end Done after the probe, without a local file.
    void setPreview(std::function<QString(int, const DownloadRequest&)> fetchFolder) {
        m_previewFolder = std::move(fetchFolder);
        m_preview = true;
    }

    // Before prepare(): the files go to directory instead (the user chose another one), each
    // under the name it had.
    void setDownloadDirectory(const QString& directory);
    // Duplicates removed, rows numbered, Total Commander's link resolved.
    void prepare();
    // The pass over every request; stops early on cancel or when a file cannot be created (the
    // transfers already running end first).
    void run();
    // Safe from any thread, from inside the callbacks and from a signal handler (one store to a
    // lock-free atomic).
    void cancel() { m_cancel.cancel(); }
    bool cancelled() const { return m_cancel.isCancelled(); }
    // The pass stops when this token is cancelled (the job's token), before run().
    void setCancelToken(const CancelToken& token) { m_cancel = token; }

    // After run(); while it runs, from its callbacks, use row() and rowCount().
    const DownloadRequestList& requests() const { return m_requests; }
    const QList<TransferRow>& rows() const { return m_rows; }
    // Any thread, any time.
    TransferRow row(int index) const;
    int rowCount() const;
    // 0..100 * rowCount(): every ended row counts whole.
    int totalPercent() const;
    // "Cannot create file" and the system's text, when that ended the pass.
    const QString& fatalError() const { return m_fatalError; }
    // The first Total Commander request's item (its executable, to restart it).
    const QString& tcItemPath() const { return m_tcItemPath; }

    // The pass's cookies: every request of the engine sends and keeps them, and so should the
    // page readers given above, since a file host sets its cookie on the page.
    HttpCookieJar& cookies() { return m_cookies; }

    QStringList& cleanupList() { return m_cleanup; }
    // Deletes every file of the clean-up list (failures ignored) and empties it.
    void runCleanup();

private:
    struct Probe;
    void runInTurn();
    void runSideBySide();
    void transferLoop(InstallOrder& order);
    int nextStartable() const;
    void markUnstartedCancelled();
    bool processRequest(int index);
    void handOn(int index);
    Probe probe(int index, const QString& link);
    bool fetch(int index, const QString& link, qint64 announced, AtomicFileWriter& file);
    // directory + name, or "name (n).ext" when a file the pass did not create has that name or
    // another request of the pass holds it; the name is held for index from then on.
    QString claimTarget(int index, const QString& directory, const QString& name);
    HttpRequest baseRequest(const QString& url);
    void editRow(int index, const std::function<void(TransferRow&)>& edit, bool notify = true);
    void fail(int index, const QString& reason);
    void changed(int index);
    void reportProgress(int index, qint64 received, qint64 total);
    int totalPercentLocked() const;

    DownloadRequestList m_requests;
    TransferSettings m_settings;
    QList<TransferRow> m_rows;
    QStringList m_hosts; // per request: the server its transfer starts at
    QStringList m_cleanup;
    QString m_fatalError;
    QString m_tcItemPath;

    // Guards the rows, the requests' local names, the claims and the schedule while transfers run.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    // Callbacks one at a time, so the front ends' lines and rows never interleave.
    std::mutex m_callbackMutex;
    QHash<QString, int> m_claims; // target (lower case) -> the request that holds it
    QList<bool> m_started;
    QHash<QString, int> m_runningPerHost;
    int m_transferThreads = 0;
    bool m_stopStarting = false;

    CancelToken m_cancel;
    HttpCookieJar m_cookies;
    std::function<QStringList(const QString&)> m_pageLinks;
    std::function<QString(const QString&)> m_pageText;
    std::function<void(int)> m_rowChanged;
    std::function<void(const TransferProgress&)> m_progress;
    std::function<void(int, const DownloadRequest&, const QString&)> m_afterFile;
    std::function<QString(int, const DownloadRequest&)> m_previewFolder;
    bool m_preview = false;
};

} // namespace quillon
