#pragma once
// A small HTTP(S) client over libcurl: one fresh connection per request, optional HTTP or SOCKS
// proxy, redirects, time-outs, progress, cancellation and a size guard. Used for web pages and
// for downloads.
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace quillon {

enum class ProxyKind { None, Http, Socks4, Socks5 };

struct ProxySettings {
    ProxyKind kind = ProxyKind::None;
    QString host;
    quint16 port = 0;
    QString username; // empty: no authentication
    QString password;
};

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// Cookies kept in memory and shared by every request that names the jar, for the jar's life:
// a file host sets one on its page and wants it back with the download. Nothing is written to
// disk. Requests on several threads may share it (libcurl takes its locks).
class HttpCookieJar {
public:
    HttpCookieJar();
    ~HttpCookieJar();
    HttpCookieJar(const HttpCookieJar&) = delete;
    HttpCookieJar& operator=(const HttpCookieJar&) = delete;

    // libcurl's share handle; null when libcurl could not make one (requests then go without).
    void* handle() const { return m_share; }

private:
    void* m_share = nullptr;
    std::unique_ptr<std::mutex[]> m_locks; // one per kind of data libcurl shares
};

struct HttpRequest {
    enum class Method { Get, Head, Post };

    QString url;
    Method method = Method::Get;
    QByteArray postData;
    QByteArray postContentType; // empty: libcurl's form default
    HttpHeaders extraHeaders;

    // What sites see; web pages were written for browsers.
    QByteArray userAgent = kBrowserUserAgent;
    // 0 leaves libcurl's own connect limit. readTimeoutMs: the transfer is given up when no
    // byte arrives for this long (whole seconds, rounded up: libcurl's low-speed check).
    int connectTimeoutMs = 0;
    int readTimeoutMs = 0;
    // 0: none. The whole transfer, redirects included, is given up after this long.
    int totalTimeoutMs = 0;
    // 0: none. Given up when fewer than lowSpeedBytes a second arrive, averaged over
    // lowSpeedSeconds: a server that trickles would otherwise hold an unattended run for ever.
    qint64 lowSpeedBytes = 0;
    int lowSpeedSeconds = 0;
    bool followRedirects = true;
    int maxRedirects = 10;
    ProxySettings proxy; // kind None: a direct connection, whatever the environment says

    // 0: no limit. A larger body ends the transfer with tooLarge set.
    qint64 maxBodyBytes = 0;
    // Called while the transfer runs (also while it waits); false cancels it.
    std::function<bool(qint64 received, qint64 total)> progress;
    // Set from anywhere to cancel the transfer.
    const std::atomic_bool* cancel = nullptr;
    // When set, the body is written here instead of HttpResponse::body.
    QIODevice* sink = nullptr;
    // When set, cookies are sent from and stored into it; otherwise none are kept.
    HttpCookieJar* cookies = nullptr;

    static constexpr char kBrowserUserAgent[] =
        "Mozilla/5.0 (Windows NT 6.1; rv:25.0) Gecko/20100101 Firefox/25.0";
};

struct HttpResponse {
    int curlCode = 0; // CURLE_OK (0) when the transfer completed
    long status = 0;  // HTTP status of the last response; 0 when none arrived
    QString finalUrl; // after redirects
    QByteArray body;  // unless a sink was given
    qint64 bodyBytes = 0;
    HttpHeaders headers; // of the last response, names as sent
    QString errorText;   // libcurl's explanation; empty on success
    bool cancelled = false;
    bool tooLarge = false;
    bool tooSlow = false;  // under the low-speed limit
    bool timedOut = false; // the overall deadline (or libcurl's own idle limit) passed
    bool sinkFailed = false;

    // The transfer completed; the status may still be an error.
    bool transferOk() const { return curlCode == 0; }
    bool ok() const { return transferOk() && status >= 200 && status < 400; }
    QByteArray header(const QByteArray& name) const; // first match, any letter case
};

class HttpClient {
public:
    // Never throws; every failure is described in the response.
    static HttpResponse perform(const HttpRequest& request);
    static HttpResponse get(const QString& url);
};

} // namespace quillon
