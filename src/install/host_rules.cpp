#include "install/host_rules.h"

#include <QRegularExpression>
#include <QUrl>

#include "app/common/files.h"
#include "app/common/urls.h"
#include "app/settings_values.h"
#include "updatecheck/http_client.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QStringList hostList(const QString& commaSeparated) {
    QStringList hosts;
    for (const QString& part : commaSeparated.split(u',', Qt::SkipEmptyParts)) {
        const QString host = part.trimmed().toLower();
        if (!host.isEmpty())
            hosts.append(host);
    }
    return hosts;
}

} // namespace

HostRules HostRules::fromSettings(const SettingValues& values) {
    HostRules rules;
    rules.fileHostLinks = hostList(values.ruleAHosts);
    rules.fileHostPages = hostList(values.ruleBHosts);
    rules.emptyUserAgent = hostList(values.ruleCHosts);
    rules.cloudDrive = hostList(values.ruleDHosts);
    rules.mirrorBase = values.siteMirror.trimmed();
    if (!rules.mirrorBase.isEmpty() && !rules.mirrorBase.endsWith(u'/'))
        rules.mirrorBase += u'/';
    return rules;
}

bool HostMatches(const QString& url, const QStringList& hosts) {
    const QString host = QUrl(url.trimmed()).host().toLower();
    return !host.isEmpty() && hosts.contains(host, Qt::CaseInsensitive);
}

QString RewriteFileHostLink(const QString& url) {
    QString rewritten = url;
    rewritten.replace(u"/d/"_s, u"/get.php?file="_s);
    return rewritten + u"&m"_s;
}

std::optional<QString> FileLinkFromPage(const QString& pageText, const QStringList& hosts) {
    static const QRegularExpression anchor(u"<a(\\s[^>]*)?>.*?(</a>)?"_s,
                                           QRegularExpression::DotMatchesEverythingOption);
    QStringList markers{u"/download/"_s, u"/dl/"_s, u"/down/"_s, u"/d/"_s};
    for (const QString& host : hosts)
        markers.append(host + u'/');
    auto matches = anchor.globalMatch(pageText);
    while (matches.hasNext()) {
        const QString text = matches.next().captured(0);
        const bool kept = std::any_of(markers.cbegin(), markers.cend(),
                                      [&](const QString& marker) { return text.contains(marker); });
        if (!kept)
            continue;
        // Only the first kept anchor counts, whatever its href holds.
        const qsizetype href = text.indexOf(u"href=\""_s, 0, Qt::CaseInsensitive);
        if (href < 0)
            return std::nullopt;
        const qsizetype start = href + 6;
        const qsizetype end = text.indexOf(u'"', start);
        if (end < 0)
            return std::nullopt;
        const QString link = text.mid(start, end - start);
        if (!IsValidUrl(link))
            return std::nullopt;
        return link;
    }
    return std::nullopt;
}

QByteArray UserAgentFor(const QString& url, const HostRules& rules) {
    if (HostMatches(url, rules.emptyUserAgent))
        return {};
    return QByteArray(HttpRequest::kBrowserUserAgent);
}

std::optional<QString> CloudDriveDownloadAddress(const QString& target) {
    if (!target.contains(u"id"_s))
        return std::nullopt;
    qsizetype at = target.indexOf(u"&id"_s);
    if (at < 0)
        at = target.indexOf(u"?id"_s);
    if (at < 0)
        return std::nullopt;
    QString id = target.mid(at + 3);
    qsizetype cut = id.indexOf(u'&');
    if (cut < 0)
        cut = id.indexOf(u'?');
    if (cut >= 0)
        id.truncate(cut);
    if (id.isEmpty())
        return std::nullopt;
    return UrlHost(target, UrlHostMode::SchemeAndHost) + u"download.aspx?resid"_s + id;
}

std::optional<QString> MirrorNumber(const QString& url) {
    const QString link = url.trimmed();
    if (!link.startsWith(u'$'))
        return std::nullopt;
    const QString number = link.mid(1).trimmed();
    static const QRegularExpression digits(u"^[0-9]+$"_s);
    if (!digits.match(number).hasMatch())
        return std::nullopt;
    return number;
}

QString MirrorPostAddress(const QString& mirrorBase) {
    return mirrorBase + u"gets.php"_s;
}

QByteArray MirrorPostBody(const QString& number) {
    return "id=" + QUrl::toPercentEncoding(number);
}

QString LocalNameFromAddress(const QString& finalUrl) {
    QString name = finalUrl.mid(finalUrl.lastIndexOf(u'/') + 1);
    const qsizetype file = name.indexOf(u"file="_s);
    if (file >= 0) {
        const qsizetype end = name.indexOf(u'&', file + 5);
        name = end < 0 ? QString() : name.mid(file + 5, end - file - 5);
    }
    const qsizetype query = name.indexOf(u'?');
    if (query >= 0)
        name.truncate(query);
    return QUrl::fromPercentEncoding(name.trimmed().toUtf8()).trimmed();
}

QString ContentDispositionFileName(const QByteArray& header) {
    const QString text = QString::fromUtf8(header);
    static const QRegularExpression extended(u"filename\\*\\s*=\\s*([^';]*)'[^']*'([^;]+)"_s,
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto match = extended.match(text); match.hasMatch())
        return QUrl::fromPercentEncoding(match.captured(2).trimmed().toUtf8()).trimmed();
    static const QRegularExpression plain(u"filename\\s*=\\s*(\"([^\"]*)\"|([^;]*))"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto match = plain.match(text); match.hasMatch())
        return (match.capturedLength(2) > 0 ? match.captured(2) : match.captured(3)).trimmed();
    return {};
}

QString FileNameRefusal(const QString& name) {
    if (name.trimmed().isEmpty())
        return u"no file name"_s;
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(u".."_s))
        return u"the file name \"%1\" holds a path"_s.arg(name);
    if (!HasValidFileNameChars(name))
        return u"the file name \"%1\" holds invalid characters"_s.arg(name);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    if (extension.size() < 2)
        return u"the file name \"%1\" has no extension"_s.arg(name);
    if (extension == ".php"_L1 || extension == ".html"_L1 || extension == ".htm"_L1)
        return u"\"%1\" is a web page, not a package"_s.arg(name);
    return {};
}

} // namespace quillon
