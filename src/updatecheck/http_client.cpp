#include "updatecheck/http_client.h"

#include <QDeadlineTimer>
#include <QUrl>

#include <curl/curl.h>

#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What the callbacks share with perform().
struct Transfer {
    const HttpRequest* request = nullptr;
    HttpResponse* response = nullptr;
    // The low-speed window: when it ends and how much had arrived when it began.
    QDeadlineTimer windowEnd;
    qint64 windowBytes = 0;
};

// libcurl's own low-speed check is taken by the read time-out (one byte a second); this one
// runs beside it from the progress callback, which libcurl calls at least once a second.
bool tooSlow(Transfer& transfer, qint64 received) {
    const HttpRequest& request = *transfer.request;
    if (request.lowSpeedBytes <= 0 || request.lowSpeedSeconds <= 0)
        return false;
    const qint64 window = qint64(request.lowSpeedSeconds) * 1000;
    if (transfer.windowEnd.isForever()) {
        transfer.windowEnd = QDeadlineTimer(window);
        transfer.windowBytes = received;
        return false;
    }
    if (!transfer.windowEnd.hasExpired())
        return false;
    if (received - transfer.windowBytes < request.lowSpeedBytes * request.lowSpeedSeconds)
        return true;
    transfer.windowEnd = QDeadlineTimer(window);
    transfer.windowBytes = received;
    return false;
}

bool cancelRequested(const HttpRequest& request) {
    return request.cancel && request.cancel->load();
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const HttpRequest& request = *transfer->request;
    HttpResponse& response = *transfer->response;
    const size_t bytes = size * count;
    if (cancelRequested(request)) {
        response.cancelled = true;
        return 0;
    }
    if (request.maxBodyBytes > 0 && response.bodyBytes + static_cast<qint64>(bytes) > request.maxBodyBytes) {
        response.tooLarge = true;
        return 0;
    }
    if (request.sink) {
        if (request.sink->write(data, static_cast<qint64>(bytes)) != static_cast<qint64>(bytes)) {
            response.sinkFailed = true;
            return 0;
        }
    } else {
        response.body.append(data, static_cast<qsizetype>(bytes));
    }
    response.bodyBytes += static_cast<qint64>(bytes);
    return bytes;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    HttpResponse& response = *transfer->response;
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
    // Each response of a redirect chain (and a proxy's CONNECT answer) starts anew.
    if (line.startsWith("HTTP/")) {
        response.headers.clear();
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        response.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    return bytes;
}

int onProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    const HttpRequest& request = *transfer->request;
    if (cancelRequested(request) || (request.progress && !request.progress(received, total))) {
        transfer->response->cancelled = true;
        return 1;
    }
    if (tooSlow(*transfer, received)) {
        transfer->response->tooSlow = true;
        return 1;
    }
    return 0;
}

// libcurl calls the progress function only about once a second while nothing arrives (a
// server that keeps us waiting, a slow name lookup); the multi interface wakes every slice so a
// cancel ends the request within one.
CURLcode performCancellable(CURL* curl, const HttpRequest& request, HttpResponse& response) {
    constexpr int kCancelSliceMs = 50;
    if (!request.cancel)
        return curl_easy_perform(curl);
    const std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), &curl_multi_cleanup);
    if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK)
        return curl_easy_perform(curl);
    CURLcode result = CURLE_OK;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0)
            break;
        if (cancelRequested(request)) {
            response.cancelled = true;
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, kCancelSliceMs, nullptr);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi.get(), curl);
    return result;
}

long proxyType(ProxyKind kind) {
    switch (kind) {
    case ProxyKind::Http:
        return CURLPROXY_HTTP;
    case ProxyKind::Socks4:
        // dante and most SOCKS4 servers have no 4A: the name is resolved here.
        return CURLPROXY_SOCKS4;
    case ProxyKind::Socks5:
        // The proxy resolves the name: it may see a DNS that this machine does not.
        return CURLPROXY_SOCKS5_HOSTNAME;
    case ProxyKind::None:
        break;
    }
    return CURLPROXY_HTTP;
}

// Sets every option; false with the reason when libcurl refuses one.
bool configure(CURL* curl, const HttpRequest& request, const QByteArray& url, Transfer& transfer,
               curl_slist* headers, QString& error) {
    CURLcode rc = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (rc == CURLE_OK)
            rc = curl_easy_setopt(curl, option, value);
    };
    set(CURLOPT_URL, url.constData());
    // Only the web: a link taken from a page must not open a local file or another protocol.
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_USERAGENT, request.userAgent.constData());
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    set(CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    set(CURLOPT_MAXREDIRS, static_cast<long>(request.maxRedirects));
    if (request.connectTimeoutMs > 0)
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
    if (request.totalTimeoutMs > 0)
        set(CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeoutMs));
    if (request.readTimeoutMs > 0) {
        // libcurl has no idle time-out of its own; less than one byte per second over the
        // whole period is the same thing at a resolution of one second.
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, static_cast<long>((request.readTimeoutMs + 999) / 1000));
    }

    const ProxySettings& proxy = request.proxy;
    const QByteArray proxyHost = proxy.host.toUtf8();
    const QByteArray proxyUser = proxy.username.toUtf8();
    const QByteArray proxyPassword = proxy.password.toUtf8();
    if (proxy.kind == ProxyKind::None) {
        // An empty proxy also keeps http_proxy and friends from the environment out.
        set(CURLOPT_PROXY, "");
    } else {
        set(CURLOPT_PROXY, proxyHost.constData());
        set(CURLOPT_PROXYPORT, static_cast<long>(proxy.port));
        set(CURLOPT_PROXYTYPE, proxyType(proxy.kind));
        // The configured proxy carries every request; no_proxy must not route around it.
        set(CURLOPT_NOPROXY, "");
        if (!proxy.username.isEmpty()) {
            set(CURLOPT_PROXYUSERNAME, proxyUser.constData());
            set(CURLOPT_PROXYPASSWORD, proxyPassword.constData());
            if (proxy.kind == ProxyKind::Http)
                set(CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_BASIC));
        }
    }

    switch (request.method) {
    case HttpRequest::Method::Get:
        set(CURLOPT_HTTPGET, 1L);
        break;
    case HttpRequest::Method::Head:
        set(CURLOPT_NOBODY, 1L);
        break;
    case HttpRequest::Method::Post:
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.postData.size()));
        set(CURLOPT_COPYPOSTFIELDS, request.postData.constData());
        break;
    }
    if (headers)
        set(CURLOPT_HTTPHEADER, headers);
    if (request.cookies && request.cookies->handle()) {
        set(CURLOPT_SHARE, static_cast<CURLSH*>(request.cookies->handle()));
        // An empty file name switches the cookie engine on without reading a file.
        set(CURLOPT_COOKIEFILE, "");
    }

    set(CURLOPT_WRITEFUNCTION, &onBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
    set(CURLOPT_HEADERFUNCTION, &onHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(&transfer));
    set(CURLOPT_XFERINFOFUNCTION, &onProgress);
    set(CURLOPT_XFERINFODATA, static_cast<void*>(&transfer));
    set(CURLOPT_NOPROGRESS, 0L);
    if (rc != CURLE_OK) {
        error = QString::fromUtf8(curl_easy_strerror(rc));
        return false;
    }
    return true;
}

void lockShared(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
    static_cast<std::mutex*>(locks)[data].lock();
}

void unlockShared(CURL*, curl_lock_data data, void* locks) {
    static_cast<std::mutex*>(locks)[data].unlock();
}

} // namespace

HttpCookieJar::HttpCookieJar() : m_locks(std::make_unique<std::mutex[]>(CURL_LOCK_DATA_LAST)) {
    initCurlOnce();
    CURLSH* share = curl_share_init();
    if (share &&
        (curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &lockShared) != CURLSHE_OK ||
         curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &unlockShared) != CURLSHE_OK ||
         curl_share_setopt(share, CURLSHOPT_USERDATA, static_cast<void*>(m_locks.get())) != CURLSHE_OK ||
         curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) != CURLSHE_OK)) {
        curl_share_cleanup(share);
        share = nullptr;
    }
    m_share = share;
}

HttpCookieJar::~HttpCookieJar() {
    if (m_share)
        curl_share_cleanup(static_cast<CURLSH*>(m_share));
}

QByteArray HttpResponse::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

HttpResponse HttpClient::get(const QString& url) {
    HttpRequest request;
    request.url = url;
    return perform(request);
}

HttpResponse HttpClient::perform(const HttpRequest& request) {
    initCurlOnce();
    HttpResponse response;
    response.finalUrl = request.url;

    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        response.curlCode = CURLE_FAILED_INIT;
        response.errorText = u"The HTTP library could not be initialised."_s;
        return response;
    }

    std::unique_ptr<curl_slist, SlistDeleter> headers;
    auto addHeader = [&headers](const QByteArray& line) {
        headers.reset(curl_slist_append(headers.release(), line.constData()));
    };
    for (const auto& [name, value] : request.extraHeaders)
        addHeader(name + ": " + value);
    if (request.method == HttpRequest::Method::Post && !request.postContentType.isEmpty())
        addHeader("Content-Type: " + request.postContentType);

    // The URL as typed may hold blanks or non-ASCII letters; libcurl wants it encoded.
    const QByteArray url = QUrl(request.url.trimmed(), QUrl::TolerantMode).toEncoded();
    Transfer transfer{&request, &response, QDeadlineTimer(QDeadlineTimer::Forever), 0};
    QString setupError;
    if (!configure(curl.get(), request, url, transfer, headers.get(), setupError)) {
        response.curlCode = CURLE_BAD_FUNCTION_ARGUMENT;
        response.errorText = setupError;
        return response;
    }

    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, errorBuffer);
    const CURLcode rc = performCancellable(curl.get(), request, response);
    response.curlCode = rc;

    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    response.status = status;
    char* effective = nullptr;
    if (curl_easy_getinfo(curl.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        response.finalUrl = QString::fromUtf8(effective);

    if (rc != CURLE_OK) {
        response.errorText = errorBuffer[0] ? QString::fromUtf8(errorBuffer).trimmed()
                                            : QString::fromUtf8(curl_easy_strerror(rc));
        response.timedOut = rc == CURLE_OPERATION_TIMEDOUT;
        if (response.tooLarge)
            response.errorText = u"The answer is larger than %1 bytes."_s.arg(request.maxBodyBytes);
        else if (response.tooSlow)
            response.errorText = u"Fewer than %1 bytes a second arrived over %2 s."_s.arg(
                QString::number(request.lowSpeedBytes), QString::number(request.lowSpeedSeconds));
        else if (response.sinkFailed)
            response.errorText = u"The received data could not be written."_s;
    }
    return response;
}

} // namespace quillon
