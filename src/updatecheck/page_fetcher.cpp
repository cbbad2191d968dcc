#include "updatecheck/page_fetcher.h"

#include <QElapsedTimer>
#include <QUrl>

#include "app/common/code_pages.h"
#include "app/common/urls.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings_values.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kErrorSection = u"ErrorMessages"_s;

bool sameSite(const QString& url, const QString& base) {
    const QString host = UrlHost(url, UrlHostMode::HostOnly);
    return !host.isEmpty() && host.compare(UrlHost(base, UrlHostMode::HostOnly), Qt::CaseInsensitive) == 0;
}

// The site's name after "www."; a host without "www." is named whole rather than left blank.
QString siteNameForMessage(const QString& base) {
    const QString name = UrlHost(base, UrlHostMode::NameAfterWww);
    if (!name.isEmpty())
        return name;
    return QUrl(base.trimmed(), QUrl::TolerantMode).host().trimmed().toLower();
}

} // namespace

FetchSettings FetchSettings::fromSettings(const SettingValues& values) {
    FetchSettings settings;
    settings.httpTimeOutMs = values.httpTimeOut;
    settings.maxPageBytes = values.maxPageMiB > 0 ? qint64(values.maxPageMiB) * 1024 * 1024 : 0;
    settings.proxy = ProxyFromSettings(values);
    settings.catalogueBase = values.siteCatalogue;
    settings.totalCommanderBase = values.siteTotalCommander;
    return settings;
}

quint8 ConnectionErrorKindAfter(quint8 current, long status, const QString& url,
                                const FetchSettings& settings) {
    if (status < 400 || status > 504 || status == 407)
        return kNoConnection;
    if (sameSite(url, settings.catalogueBase))
        return kCatalogueSiteError;
    if (sameSite(url, settings.totalCommanderBase))
        return kTcSiteError;
    return current;
}

std::optional<UserMessage> ConnectionErrorMessage(quint8 kind, const Language& language,
                                                  const FetchSettings& settings) {
    const QString caption = language.text(kErrorSection, u"CaptionError"_s, u"Error"_s);
    switch (kind) {
    case kNoConnection:
        return UserMessage{caption,
                           language.text(kErrorSection, u"DownloadError_02"_s,
                                         u"Error: No internet connection / invalid proxy settings."_s)};
    case kCatalogueSiteError:
    case kTcSiteError: {
        const QString& base =
            kind == kCatalogueSiteError ? settings.catalogueBase : settings.totalCommanderBase;
        Placeholders values;
        values.s = siteNameForMessage(base);
        return UserMessage{caption, language.format(kErrorSection, u"iNetError_01"_s,
                                                    u"Error: Host (%s) cannot be found."_s, values)};
    }
    default:
        return std::nullopt;
    }
}

QString DecodeAnsiPage(const QByteArray& bytes) {
    // Every byte becomes exactly one character.
    return DecodeWindows1252(bytes);
}

PageFetcher::PageFetcher(FetchSettings settings, const Language& language)
    : m_settings(std::move(settings)), m_language(language) {}

HttpRequest PageFetcher::requestFor(const QString& url) const {
    HttpRequest request;
    request.url = url;
    request.connectTimeoutMs = m_settings.httpTimeOutMs;
    request.readTimeoutMs = m_settings.httpTimeOutMs;
    // A server that sends a byte now and then passes the read time-out; a page, unlike a
    // package, has no reason to take longer than a few time-outs.
    // However the time-out came to be set, a page always has a deadline.
    constexpr int kFallbackTimeOutMs = 7000;
    request.totalTimeoutMs =
        (m_settings.httpTimeOutMs > 0 ? m_settings.httpTimeOutMs : kFallbackTimeOutMs) * kPageDeadlineFactor;
    request.maxBodyBytes = m_settings.maxPageBytes;
    request.proxy = m_settings.proxy.proxy;
    request.cancel = m_cancel;
    return request;
}

QString PageFetcher::GetURLAsString(const QString& url) {
    m_lastErrorText.clear();
    if (m_cancel && m_cancel->load())
        return {};
    const ProxySetup& proxy = m_settings.proxy;
    if (!proxy.ok) {
        Placeholders values;
        values.s = proxy.badPort;
        const QString text =
            proxy.missingHost
                ? m_language.text(kErrorSection, u"ProxyAddressError"_s,
                                  u"Error: The proxy is switched on but has no address."_s)
                : m_language.format(kErrorSection, u"ProxyPortError"_s,
                                    u"Error: The proxy port \"%s\" is not a number from 1 to 65535."_s,
                                    values);
        m_lastErrorText = text;
        m_failures.append(
            {PromptIcon::Error, m_language.text(kErrorSection, u"CaptionError"_s, u"Error"_s), text});
        m_connectionErrorKind = kNoConnection;
        return {};
    }

    const HttpRequest request = requestFor(url);
    QElapsedTimer clock;
    clock.start();
    const HttpResponse response = HttpClient::perform(request);
    // libcurl's clock and ours are read a moment apart; a slice of slack tells the page's
    // deadline from the read time-out, which ends far earlier.
    constexpr qint64 kClockSlackMs = 100;
    const bool deadlinePassed = response.timedOut && request.totalTimeoutMs > 0 &&
                                clock.elapsed() + kClockSlackMs >= request.totalTimeoutMs;
    if (response.transferOk() && response.status < 400)
        return DecodeAnsiPage(response.body);
    if (response.cancelled || (m_cancel && m_cancel->load()))
        return {};

    // A page that broke off is not handed on as if it were whole: callers would read a
    // shortened list as the truth.
    m_lastErrorText = response.errorText.isEmpty() ? u"HTTP %1"_s.arg(response.status) : response.errorText;
    if (response.tooLarge || deadlinePassed) {
        // The bare status number would say nothing here.
        Placeholders values;
        values.s = url;
        values.s2 = response.tooLarge ? QString::number(m_settings.maxPageBytes / (1024 * 1024))
                                      : QString::number((request.totalTimeoutMs + 999) / 1000);
        m_lastErrorText =
            response.tooLarge
                ? m_language.format(kErrorSection, u"PageTooLarge"_s,
                                    u"Error: The page %s is larger than %s2 MiB."_s, values)
                : m_language.format(kErrorSection, u"PageTooSlow"_s,
                                    u"Error: The page %s did not arrive within %s2 seconds."_s, values);
        m_failures.append({PromptIcon::Error, m_language.text(kErrorSection, u"CaptionError"_s, u"Error"_s),
                           m_lastErrorText});
        if (deadlinePassed)
            m_connectionErrorKind = kNoConnection;
        return {};
    }
    // The library's own words say what happened (a refused certificate is no dead line); a status
    // without them is named as such.
    QString reason = response.errorText.trimmed();
    if (reason.isEmpty() || (response.status >= 400 && !response.timedOut))
        reason = response.status > 0 ? u"HTTP %1"_s.arg(response.status) : u"no answer"_s;
    m_failures.append({PromptIcon::Information, QString(), QString::number(response.status),
                       QUrl(url).host() +
                           (QUrl(url).port() > 0 ? u":"_s + QString::number(QUrl(url).port()) : QString()) +
                           u": "_s + reason});
    m_connectionErrorKind = ConnectionErrorKindAfter(m_connectionErrorKind, response.status, url, m_settings);
    return {};
}

} // namespace quillon
