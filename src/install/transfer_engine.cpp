#include "install/transfer_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <thread>
#include <vector>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "install/install_order.h"
#include "install/request_builder.h"

using namespace Qt::StringLiterals;

namespace quillon {

struct TransferEngine::Probe {
    bool ok = false;
    QString finalUrl;
    qint64 size = -1;
    bool html = false;
    QString serverName; // from Content-Disposition
    bool posted = false;
    QByteArray postedBody;
    QString error;
};

namespace {

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isHtml(const HttpResponse& response) {
    return response.header("Content-Type").trimmed().toLower().startsWith("text/html");
}

qint64 contentLength(const HttpResponse& response) {
    bool ok = false;
    const qint64 length = response.header("Content-Length").trimmed().toLongLong(&ok);
    return ok ? length : -1;
}

bool ended(TransferState state) {
    return state == TransferState::Done || state == TransferState::Failed ||
           state == TransferState::Cancelled;
}

// Scheme, host and port: what a browser counts as one server when it limits its connections.
QString serverOf(const QString& link) {
    const QUrl url(link.trimmed(), QUrl::TolerantMode);
    return url.scheme().toLower() + u"://"_s + url.host().toLower() + u':' +
           QString::number(url.port(url.scheme().compare(u"https"_s, Qt::CaseInsensitive) == 0 ? 443 : 80));
}

QString failureText(const HttpResponse& response) {
    if (!response.transferOk())
        return response.errorText.isEmpty() ? u"the transfer failed"_s : response.errorText;
    return u"the server answered %1"_s.arg(response.status);
}

} // namespace

TransferEngine::TransferEngine(DownloadRequestList requests, TransferSettings settings)
    : m_requests(std::move(requests)), m_settings(std::move(settings)) {}

void TransferEngine::setDownloadDirectory(const QString& directory) {
    QString folder = directory.trimmed();
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    m_settings.downloadDir = folder;
    for (DownloadRequest& request : m_requests) {
        // The database goes to the settings folder whatever the download folder is.
        if (request.Category == category::PluginDb)
            continue;
        request.LocalArchive = folder + u'/' + QFileInfo(request.LocalArchive).fileName();
    }
}

void TransferEngine::prepare() {
    m_requests = RemoveDuplicateRequests(m_requests);
    m_rows.clear();
    m_hosts.clear();
    m_tcItemPath.clear();
    const int count = static_cast<int>(m_requests.size());
    for (int i = 0; i < count; ++i) {
        DownloadRequest& request = m_requests[i];
        if (request.Category == category::TotalCmd) {
            const bool bitness64 = request.LocalArchive.contains(u"x64"_s, Qt::CaseInsensitive);
            const QStringList links = m_pageLinks ? m_pageLinks(m_settings.tcPackagePage) : QStringList();
            request.Url = TcPackageLinkForDownload(ClassifyTcPackageLinks(links), m_settings.packageChoice,
                                                   bitness64, m_settings.catalogueBase, request.Category);
            if (m_tcItemPath.isEmpty())
                m_tcItemPath = request.ItemPath;
        }
        const QString link = request.Url.trimmed();
        const bool mirrored = MirrorNumber(link).has_value();
        m_hosts.append(serverOf(mirrored ? m_settings.rules.mirrorBase : link));
        TransferRow row;
        row.id = RequestId(i, count);
        row.fileName = QFileInfo(request.LocalArchive).completeBaseName();
        row.url = request.Url;
        m_rows.append(row);
    }
}

void TransferEngine::run() {
    if (m_rows.size() != m_requests.size())
        prepare();
    {
        const std::lock_guard lock(m_mutex);
        m_claims.clear();
        m_started = QList<bool>(m_rows.size(), false);
        m_runningPerHost.clear();
        m_stopStarting = false;
    }
    if (m_settings.parallelDownloads <= 1 || m_rows.size() <= 1)
        runInTurn();
    else
        runSideBySide();
}

void TransferEngine::runInTurn() {
    for (int i = 0; i < m_requests.size(); ++i) {
        if (m_cancel.isCancelled()) {
            markUnstartedCancelled();
            return;
        }
        if (!m_cancel.waitWhilePaused())
            continue; // the next round marks the rest cancelled
        {
            const std::lock_guard lock(m_mutex);
            m_started[i] = true;
        }
        if (!processRequest(i))
            return;
        handOn(i);
    }
}

// The transfers run on threads of their own, each with its own connection; this thread installs
// what they finish, so installations never overlap and keep each folder's order.
void TransferEngine::runSideBySide() {
    QStringList folders;
    for (const DownloadRequest& request : std::as_const(m_requests))
        folders.append(InstallFolderKey(request));
    InstallOrder order(folders);
    const int threads = std::min(m_settings.parallelDownloads, static_cast<int>(m_rows.size()));
    std::vector<std::thread> transfers;
    {
        const std::lock_guard lock(m_mutex);
        m_transferThreads = threads;
    }
    for (int i = 0; i < threads; ++i)
        transfers.emplace_back([this, &order] { transferLoop(order); });
    for (;;) {
        QList<int> ready;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] {
                ready = order.takeReady();
                return !ready.isEmpty() || m_transferThreads == 0;
            });
        }
        if (ready.isEmpty())
            break;
        for (const int index : std::as_const(ready))
            handOn(index);
    }
    for (std::thread& transfer : transfers)
        transfer.join();
    if (m_cancel.isCancelled())
        markUnstartedCancelled();
}

// Under m_mutex: the first request not started whose server has room; -1 when none has.
int TransferEngine::nextStartable() const {
    for (int i = 0; i < m_started.size(); ++i) {
        if (!m_started.at(i) && m_runningPerHost.value(m_hosts.at(i)) < kTransfersPerHost)
            return i;
    }
    return -1;
}

void TransferEngine::transferLoop(InstallOrder& order) {
    for (;;) {
        int index = -1;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] {
                if (m_stopStarting || m_cancel.isCancelled() || !m_started.contains(false))
                    return true;
                index = nextStartable();
                return index >= 0;
            });
            if (index < 0) {
                --m_transferThreads;
                m_wake.notify_all();
                return;
            }
            m_started[index] = true;
            ++m_runningPerHost[m_hosts.at(index)];
        }
        const bool go = m_cancel.waitWhilePaused();
        const bool goOn = !go || processRequest(index);
        if (!go)
            editRow(index, [](TransferRow& row) { row.state = TransferState::Cancelled; });
        {
            const std::lock_guard lock(m_mutex);
            --m_runningPerHost[m_hosts.at(index)];
            const TransferRow& row = m_rows.at(index);
            order.finish(index, row.state == TransferState::Done && !row.localPath.isEmpty());
            m_stopStarting = m_stopStarting || !goOn;
        }
        m_wake.notify_all();
    }
}

void TransferEngine::markUnstartedCancelled() {
    for (int i = 0; i < m_rows.size(); ++i) {
        bool unstarted = false;
        {
            const std::lock_guard lock(m_mutex);
            unstarted = !m_started.at(i) && m_rows.at(i).state == TransferState::Queued;
        }
        if (unstarted)
            editRow(i, [](TransferRow& row) { row.state = TransferState::Cancelled; });
    }
}

void TransferEngine::handOn(int index) {
    DownloadRequest request;
    QString file;
    {
        const std::lock_guard lock(m_mutex);
        const TransferRow& row = m_rows.at(index);
        if (row.state != TransferState::Done || row.localPath.isEmpty())
            return;
        request = m_requests.at(index);
        file = row.localPath;
    }
    if (m_afterFile && m_cancel.waitWhilePaused())
        m_afterFile(index, request, file);
}

TransferRow TransferEngine::row(int index) const {
    const std::lock_guard lock(m_mutex);
    return m_rows.value(index);
}

int TransferEngine::rowCount() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

int TransferEngine::totalPercent() const {
    const std::lock_guard lock(m_mutex);
    return totalPercentLocked();
}

int TransferEngine::totalPercentLocked() const {
    int total = 0;
    for (const TransferRow& row : m_rows)
        total += ended(row.state) ? 100 : row.percent;
    return total;
}

void TransferEngine::runCleanup() {
    for (const QString& path : std::as_const(m_cleanup))
        ForceDeleteFile(path);
    m_cleanup.clear();
}

HttpRequest TransferEngine::baseRequest(const QString& url) {
    HttpRequest request;
    request.url = url;
    request.userAgent = UserAgentFor(url, m_settings.rules);
    request.extraHeaders = {{"Accept", "text/html, */*"}, {"Cache-Control", "no-cache"}};
    request.proxy = m_settings.proxy;
    if (m_settings.proxy.kind == ProxyKind::Http) {
        request.connectTimeoutMs = m_settings.httpTimeOutMs;
        request.readTimeoutMs = m_settings.httpTimeOutMs;
    }
    request.lowSpeedBytes = m_settings.lowSpeedBytes;
    request.lowSpeedSeconds = m_settings.lowSpeedSeconds;
    request.cancel = m_cancel.flag();
    request.cookies = &m_cookies;
    request.maxRedirects = m_settings.maxRedirects;
    return request;
}

void TransferEngine::editRow(int index, const std::function<void(TransferRow&)>& edit, bool notify) {
    {
        const std::lock_guard lock(m_mutex);
        edit(m_rows[index]);
    }
    if (notify)
        changed(index);
}

void TransferEngine::fail(int index, const QString& reason) {
    const bool cancelled = m_cancel.isCancelled();
    editRow(index, [&](TransferRow& row) {
        row.state = cancelled ? TransferState::Cancelled : TransferState::Failed;
        row.error = reason;
        row.size = -1;
    });
}

void TransferEngine::changed(int index) {
    if (!m_rowChanged)
        return;
    const std::lock_guard lock(m_callbackMutex);
    m_rowChanged(index);
}

void TransferEngine::reportProgress(int index, qint64 received, qint64 total) {
    const int percent =
        total > 0 ? static_cast<int>(qBound(qint64(0), 100 * received / total, qint64(100))) : 0;
    bool rowChanged = false;
    editRow(
        index,
        [&](TransferRow& row) {
            rowChanged = percent != row.percent;
            row.percent = percent;
        },
        false);
    if (rowChanged)
        changed(index);
    if (!m_progress)
        return;
    // Taken and reported under one lock: the total a front end sees never goes back.
    const std::lock_guard callbackLock(m_callbackMutex);
    TransferProgress progress{index, 0, received, total, percent, 0, 0};
    {
        const std::lock_guard lock(m_mutex);
        progress.count = static_cast<int>(m_rows.size());
        progress.totalPercent = totalPercentLocked();
        int running = 0;
        int sum = 0;
        for (const TransferRow& row : std::as_const(m_rows)) {
            if (row.state == TransferState::Retrieving || row.state == TransferState::Fetching) {
                ++running;
                sum += row.percent;
            }
        }
        progress.runningPercent = running > 0 ? sum / running : percent;
    }
    m_progress(progress);
}

// Follows redirects itself: rule C's user agent applies to every hop and rule D rewrites
// the cloud drive's targets.
TransferEngine::Probe TransferEngine::probe(int index, const QString& link) {
    Probe result;
    if (const auto number = MirrorNumber(link)) {
        if (m_settings.rules.mirrorBase.isEmpty()) {
            result.error = u"no download mirror is configured for \"%1\""_s.arg(link);
            return result;
        }
        HttpRequest post = baseRequest(MirrorPostAddress(m_settings.rules.mirrorBase));
        post.method = HttpRequest::Method::Post;
        post.postData = MirrorPostBody(*number);
        post.postContentType = "application/x-www-form-urlencoded";
        post.progress = [this, index](qint64 received, qint64 total) {
            reportProgress(index, received, total);
            return m_cancel.waitWhilePaused();
        };
        const HttpResponse response = HttpClient::perform(post);
        result.finalUrl = response.finalUrl;
        if (!response.ok() || response.body.isEmpty()) {
            result.error = response.ok() ? u"the mirror sent nothing"_s : failureText(response);
            return result;
        }
        result.ok = true;
        result.posted = true;
        result.postedBody = response.body;
        result.size = response.body.size();
        result.html = isHtml(response);
        result.serverName = ContentDispositionFileName(response.header("Content-Disposition"));
        return result;
    }

    QString url = link;
    for (int hop = 0;; ++hop) {
        editRow(
            index, [&url](TransferRow& row) { row.url = url; }, false);
        HttpRequest head = baseRequest(url);
        head.method = HttpRequest::Method::Head;
        head.followRedirects = false;
        const HttpResponse response = HttpClient::perform(head);
        if (response.transferOk() && isRedirect(response.status)) {
            const QString location = QString::fromUtf8(response.header("Location")).trimmed();
            if (location.isEmpty()) {
                result.error = u"a redirect without a target"_s;
                return result;
            }
            if (hop >= m_settings.maxRedirects) {
                result.error = u"more than %1 redirects"_s.arg(m_settings.maxRedirects);
                return result;
            }
            QString target = QUrl(url).resolved(QUrl(location)).toString();
            if (HostMatches(url, m_settings.rules.cloudDrive) ||
                HostMatches(target, m_settings.rules.cloudDrive)) {
                if (const auto address = CloudDriveDownloadAddress(target))
                    target = *address;
            }
            url = target;
            continue;
        }
        result.finalUrl = url;
        if (!response.ok()) {
            result.error = failureText(response);
            return result;
        }
        result.ok = true;
        result.size = contentLength(response);
        result.html = isHtml(response);
        result.serverName = ContentDispositionFileName(response.header("Content-Disposition"));
        return result;
    }
}

bool TransferEngine::processRequest(int index) {
    DownloadRequest request;
    {
        const std::lock_guard lock(m_mutex);
        request = m_requests.at(index);
    }
    editRow(index, [](TransferRow& row) { row.state = TransferState::Retrieving; });

    QString link = request.Url.trimmed();
    if (HostMatches(link, m_settings.rules.fileHostLinks))
        link = RewriteFileHostLink(link);
    if (HostMatches(link, m_settings.rules.fileHostPages) && m_pageText) {
        if (const auto found = FileLinkFromPage(m_pageText(link), m_settings.rules.fileHostPages))
            link = *found;
    }
    editRow(
        index, [&link](TransferRow& row) { row.url = link; }, false);

    const Probe probed = probe(index, link);
    if (!probed.ok) {
        fail(index, probed.error);
        return true;
    }
    if (probed.html) {
        fail(index, u"the server answered with a web page"_s);
        return true;
    }

    // The server's own name first; then the address's, except the mirror's form address.
    QString name = probed.serverName;
    if (name.isEmpty() &&
        !(probed.posted && probed.finalUrl == MirrorPostAddress(m_settings.rules.mirrorBase)))
        name = LocalNameFromAddress(probed.finalUrl);
    if (name.isEmpty())
        name = QUrl::fromPercentEncoding(QFileInfo(request.LocalArchive).fileName().toUtf8());
    if (request.Category == category::PluginDb)
        name = QFileInfo(name).completeBaseName() + u".dat"_s;
    if (const QString refusal = FileNameRefusal(name); !refusal.isEmpty()) {
        fail(index, refusal);
        return true;
    }
    if (probed.size <= 0) {
        fail(index, u"the server gave no file size"_s);
        return true;
    }
    const QString directory =
        m_settings.downloadDir.endsWith(u'/') ? m_settings.downloadDir : m_settings.downloadDir + u'/';
    const QString target = claimTarget(index, directory, name);
    name = QFileInfo(target).fileName();
    request.LocalArchive = target;
    {
        const std::lock_guard lock(m_mutex);
        m_requests[index].LocalArchive = target;
        m_rows[index].fileName = name;
        m_rows[index].size = probed.size;
    }
    QString written = target;
    if (m_preview) {
        const QString folder = m_previewFolder ? m_previewFolder(index, request) : QString();
        if (folder.isEmpty()) {
            editRow(index, [](TransferRow& row) { row.state = TransferState::Done; });
            return true;
        }
        written = WithoutTrailingSlash(folder) + u'/' + name;
    }
    editRow(index, [](TransferRow& row) { row.state = TransferState::Fetching; });

    // Written beside the target and renamed over it only when whole: a full disk, a cut-off
    // transfer or a cancel leaves nothing behind, not even a part.
    AtomicFileWriter file(written);
    if (!file.open()) {
        const QString error = u"Cannot create file: "_s + file.errorText();
        {
            const std::lock_guard lock(m_mutex);
            if (m_fatalError.isEmpty())
                m_fatalError = error;
        }
        fail(index, error);
        return false;
    }
    bool complete = false;
    if (probed.posted) {
        complete = file.write(probed.postedBody) == probed.postedBody.size();
        if (!complete)
            fail(index, file.errorText());
    } else {
        complete = fetch(index, probed.finalUrl, probed.size, file);
    }
    if (complete && !file.commit()) {
        fail(index, file.errorText());
        complete = false;
    }
    if (!complete) {
        file.discard();
        return true;
    }
    editRow(index, [&written](TransferRow& row) {
        row.state = TransferState::Done;
        row.percent = 100;
        row.localPath = written;
    });
    reportProgress(index, probed.size, probed.size);
    return true;
}

QString TransferEngine::claimTarget(int index, const QString& directory, const QString& name) {
    const std::lock_guard lock(m_mutex);
    // Held names compare without letter case: on Windows two of them would be one file.
    auto taken = [this, index](const QString& path) {
        const auto holder = m_claims.constFind(path.toLower());
        if (holder != m_claims.cend())
            return *holder != index;
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    auto claim = [this, index](const QString& path) {
        m_claims.insert(path.toLower(), index);
        return path;
    };
    const QString wanted = directory + name;
    if (!taken(wanted))
        return claim(wanted);
    // A file of the user's (or of an earlier run) is never replaced: the next free name, as a
    // browser picks it.
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString base = info.suffix().isEmpty() ? name : info.completeBaseName();
    for (int n = 1;; ++n) {
        const QString candidate = directory + base + u" ("_s + QString::number(n) + u')' + suffix;
        if (!taken(candidate))
            return claim(candidate);
    }
}

bool TransferEngine::fetch(int index, const QString& link, qint64 announced, AtomicFileWriter& file) {
    HttpRequest get = baseRequest(link);
    get.sink = &file;
    // A body that goes on past the size the server announced is not the file: stopped there,
    // before it fills the disk.
    get.maxBodyBytes = announced;
    get.progress = [this, index](qint64 received, qint64 total) {
        if (total > 0)
            reportProgress(index, received, total);
        return m_cancel.waitWhilePaused();
    };
    const HttpResponse response = HttpClient::perform(get);
    if (!response.finalUrl.isEmpty())
        editRow(
            index, [&response](TransferRow& row) { row.url = response.finalUrl; }, false);
    if (response.cancelled || m_cancel.isCancelled()) {
        fail(index, u"cancelled"_s);
        return false;
    }
    if (response.tooLarge) {
        fail(index, u"the server sent more than the %1 bytes it announced"_s.arg(announced));
        return false;
    }
    if (response.sinkFailed || file.failed()) {
        fail(index, file.failed() ? file.errorText() : u"the file could not be written"_s);
        return false;
    }
    if (!response.ok() || response.status >= 300) {
        fail(index, failureText(response));
        return false;
    }
    if (isHtml(response)) {
        fail(index, u"the server answered with a web page"_s);
        return false;
    }
    const qint64 expected = contentLength(response);
    if ((expected >= 0 && response.bodyBytes != expected) || response.bodyBytes <= 0) {
        fail(index, u"the transfer ended after %1 bytes"_s.arg(response.bodyBytes));
        return false;
    }
    return true;
}

} // namespace quillon
