#pragma once
// `GetURLAsString`: the one way the update check reads a web page. It owns the program-wide
// `ConnectionErrorKind`, so one PageFetcher lives as long as the program.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <QList>

#include <optional>
#include <utility>

#include "app/prompter.h"
#include "updatecheck/http_client.h"
#include "updatecheck/proxy_config.h"

namespace quillon {

class Language;
struct SettingValues;

// 0 none, 1 no connection (no usable status), 2 the plugin catalogue site, 3 Total
// Commander's web site.
enum ConnectionErrorKinds : quint8 {
    kConnectionOk = 0,
    kNoConnection = 1,
    kCatalogueSiteError = 2,
    kTcSiteError = 3,
};

// What a fetch needs from the settings, taken once at start-up.
struct FetchSettings {
    int httpTimeOutMs = 7000;
    qint64 maxPageBytes = 32LL * 1024 * 1024; // 0: no limit
    ProxySetup proxy;
    QString catalogueBase;      // [Sites] Catalogue
    QString totalCommanderBase; // [Sites] TotalCommander

    static FetchSettings fromSettings(const SettingValues& values);
};

// The kind after a failed request for url with the given status (0: no response), starting
// from the current kind. A status from 400 to 504 names the site that answered it; 407 is the
// proxy refusing us, which is a connection problem whatever the site.
quint8 ConnectionErrorKindAfter(quint8 current, long status, const QString& url,
                                const FetchSettings& settings);

// The message the check run shows for a kind (none for 0): caption and text in the current
// language.
struct UserMessage {
    QString caption;
    QString text;
};
std::optional<UserMessage> ConnectionErrorMessage(quint8 kind, const Language& language,
                                                  const FetchSettings& settings);

// Page bytes as the system's ANSI code page reads them (Windows-1252 here); a charset the
// server names is not honoured.
QString DecodeAnsiPage(const QByteArray& bytes);

// A failed fetch as the user is to be told of it.
struct FetchFailure {
    PromptIcon icon = PromptIcon::Information;
    QString caption;
    QString text; // a bare failure: the HTTP status, 0 when no answer came
    // The host and what went wrong, in words ("127.0.0.1:8080: SSL certificate problem: ...");
    // the message that sums the failures up shows these.
    QString detail = {};
};

// Never asks or tells anything itself: it may run on any thread, and questions belong to the
// owner's. Its failures are kept for the caller to report once the work is over.
class PageFetcher {
public:
    PageFetcher(FetchSettings settings, const Language& language);

    // GET url; the body as text, or empty when the request failed. A failure is kept as its
    // bare status number and raises ConnectionErrorKind; a proxy that cannot be set up is
    // kept in words and nothing is fetched.
    // A page over maxPageBytes, or one still arriving after kPageDeadlineFactor times the
    // time-out, is given up and reported in words.
    QString GetURLAsString(const QString& url);
    static constexpr int kPageDeadlineFactor = 10;

    quint8 ConnectionErrorKind() const { return m_connectionErrorKind; }
    // At every (re)load of the update list.
    void resetConnectionErrorKind() { m_connectionErrorKind = kConnectionOk; }
    // A copy's kind taken over (a check job's outcome).
    void setConnectionErrorKind(quint8 kind) { m_connectionErrorKind = kind; }

    // The failures since the last call, oldest first.
    QList<FetchFailure> takeFailures() { return std::exchange(m_failures, {}); }
    const FetchSettings& settings() const { return m_settings; }
    // Options changed while the program runs reach the next fetch.
    void setSettings(FetchSettings settings) { m_settings = std::move(settings); }
    // While the flag is set every fetch ends at once, empty and silent: a cancelled check
    // neither reports nor counts the failures it caused itself. Null: never cancelled.
    void setCancelFlag(const std::atomic_bool* flag) { m_cancel = flag; }
    // The request GetURLAsString sends, for clients that fetch the same way.
    HttpRequest requestFor(const QString& url) const;
    // The libcurl explanation of the last failure, for a front end that wants detail.
    const QString& lastErrorText() const { return m_lastErrorText; }

private:
    FetchSettings m_settings;
    const Language& m_language;
    QList<FetchFailure> m_failures;
    const std::atomic_bool* m_cancel = nullptr;
    quint8 m_connectionErrorKind = kConnectionOk;
    QString m_lastErrorText;
};

} // namespace quillon
