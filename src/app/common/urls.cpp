#include "app/common/urls.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace quillon {

QString UrlHost(const QString& url, UrlHostMode mode) {
    const QUrl parsed(url.trimmed(), QUrl::TolerantMode);
    const QString host = parsed.host();
    if (host.isEmpty())
        return {};
    // A port other than the scheme's own stays: base addresses such as a local test server
    // must keep pointing at it.
    const QString hostAndPort = parsed.port() >= 0 ? host + u':' + QString::number(parsed.port()) : host;
    switch (mode) {
    case UrlHostMode::SchemeAndHost:
        return parsed.scheme() + u"://"_s + hostAndPort + u'/';
    case UrlHostMode::HostOnly:
        return hostAndPort + u'/';
    case UrlHostMode::NameAfterWww: {
        const qsizetype at = host.indexOf(u"www."_s, 0, Qt::CaseInsensitive);
        if (at < 0)
            return {};
        return host.mid(at + 4).trimmed().toLower();
    }
    }
    return {};
}

QString UrlHost(const QString& url, int mode) {
    if (mode < 0 || mode > 2)
        return {};
    return UrlHost(url, static_cast<UrlHostMode>(mode));
}

QString UrlFileName(const QString& url) {
    return url.mid(url.lastIndexOf(u'/') + 1);
}

QString UrlSiteName(const QString& address) {
    qsizetype start = address.indexOf(u"www."_s, 0, Qt::CaseInsensitive);
    if (start >= 0) {
        start += 4;
    } else {
        // "://" rather than only "http://", so that https addresses have a name too.
        start = address.indexOf(u"://"_s);
        if (start < 0)
            return {};
        start += 3;
    }
    QString rest = address.mid(start);
    const qsizetype slash = rest.indexOf(u'/');
    if (slash >= 0)
        rest.truncate(slash);
    const qsizetype dot = rest.indexOf(u'.');
    if (dot <= 0)
        return {};
    return rest.left(dot);
}

bool IsValidUrl(const QString& text) {
    if (text.isEmpty() || text != text.trimmed())
        return false;
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty();
}

} // namespace quillon
