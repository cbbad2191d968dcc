#include "updatecheck/tc_release.h"

#include "app/common/urls.h"
#include "inventory/version_compare.h"
#include "updatecheck/anchored_span.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

// Each span runs to the last end text of its line, as the greedy "(.*)" of the expressions
// "(?<=Total Commander )(.*)(?=for Windows)", "(?<=Download version )(.*)(?=of Total Commander)"
// and "(?<=href=\")(.*)(.php)" did.
constexpr AnchoredSpanRule kAnnouncementRule{u"Total Commander ", u"for Windows"};
constexpr AnchoredSpanRule kDownloadRule{u"Download version ", u"of Total Commander"};
constexpr AnchoredSpanRule kPhpLinkRule{u"href=\"", u"php", 1, true};

// The page name part of an address: no query or fragment, no extension.
QString pageName(const QString& pageAddress) {
    QString name = UrlFileName(QUrl(pageAddress.trimmed(), QUrl::TolerantMode).path());
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

bool sameHost(const QString& address, const QString& base) {
    const QString host = UrlHost(address, UrlHostMode::HostOnly);
    return !host.isEmpty() && host.compare(UrlHost(base, UrlHostMode::HostOnly), Qt::CaseInsensitive) == 0;
}

} // namespace

QStringList TcReleasePageAddresses(const QString& tcSiteBase, bool doNotAcceptBeta) {
    if (doNotAcceptBeta)
        return {tcSiteBase + u"download.htm"_s};
    return {tcSiteBase + u"whatsnew.htm"_s, tcSiteBase + u"download.htm"_s};
}

TcReleasePage TcReleasePageOf(const QString& pageAddress) {
    const QString name = pageName(pageAddress);
    if (name == u"whatsnew"_s)
        return TcReleasePage::Announcement;
    if (name == u"download"_s)
        return TcReleasePage::Download;
    return TcReleasePage::Other;
}

QString NormalizeTcReleaseText(const QString& text) {
    QString result = text;
    result.remove(u"final"_s, Qt::CaseInsensitive);
    result.replace(u"public beta"_s, u"Pß"_s, Qt::CaseInsensitive);
    result.replace(u"alpha"_s, u"α"_s, Qt::CaseInsensitive);
    result.replace(u"beta"_s, u"ß"_s, Qt::CaseInsensitive);
    result.replace(u"rc"_s, u"RC"_s, Qt::CaseInsensitive);
    result.replace(u"release candidate"_s, u"RC"_s, Qt::CaseInsensitive);
    result.remove(u"public"_s, Qt::CaseInsensitive);
    result.remove(u' ');
    return result.trimmed();
}

QString TcAnnouncementReleaseText(const QString& pageText) {
    QString line = FirstAnchoredSpan(pageText, kAnnouncementRule).toLower().trimmed();
    // The version is what precedes the sentence's verb, conjunction, full stop or bracket.
    for (const QString& stop : {u" is "_s, u" and "_s, u". "_s, u".<"_s, u"("_s, u")"_s}) {
        const qsizetype at = line.indexOf(stop);
        if (at >= 0)
            line.truncate(at);
    }
    for (const QString& filler :
         {u"is now available"_s, u"are now available"_s, u"available"_s, u"for"_s, u"download"_s})
        line.remove(filler, Qt::CaseInsensitive);
    return line;
}

QString TcDownloadReleaseText(const QString& pageText) {
    return FirstAnchoredSpan(pageText, kDownloadRule);
}

QString TcAnnouncedLinkOf(const QString& pageText, const QString& tcSiteBase) {
    const QString link = FirstAnchoredSpan(pageText, kPhpLinkRule).toLower().trimmed();
    if (link.isEmpty())
        return {};
    if (link.contains(u"://"_s))
        return link; // absolute, on whichever host it names
    const QString baseHost = UrlHost(tcSiteBase, UrlHostMode::HostOnly);
    if (!baseHost.isEmpty() && link.startsWith(baseHost, Qt::CaseInsensitive)) {
        // Host written without a scheme.
        const QUrl base(tcSiteBase.trimmed(), QUrl::TolerantMode);
        return base.scheme() + u"://"_s + link;
    }
    const QUrl base(tcSiteBase.trimmed(), QUrl::TolerantMode);
    return base.resolved(QUrl(link, QUrl::TolerantMode)).toString();
}

bool ParseTcReleasePage(const QString& pageAddress, const QString& pageText, const QString& tcSiteBase,
                        TcReleaseLookup& lookup) {
    if (!sameHost(pageAddress, tcSiteBase))
        return false;
    QString raw;
    switch (TcReleasePageOf(pageAddress)) {
    case TcReleasePage::Announcement:
        raw = TcAnnouncementReleaseText(pageText);
        lookup.TcAnnouncedLink = TcAnnouncedLinkOf(pageText, tcSiteBase);
        break;
    case TcReleasePage::Download:
        raw = TcDownloadReleaseText(pageText);
        break;
    case TcReleasePage::Other:
        break;
    }
    const QString candidate = NormalizeTcReleaseText(raw);
    if (!candidate.isEmpty())
        lookup.TcReleaseCandidates.append(candidate);
    return true;
}

QString ChooseLatestTcRelease(const QStringList& candidates) {
    // By version, not as text: "9.22a" sorts after "10.0ß1" as text.
    QString latest;
    for (const QString& candidate : candidates) {
        if (latest.isEmpty() || ComplexVerGreater(latest, candidate))
            latest = candidate;
    }
    return latest;
}

bool IsTcPreRelease(const QString& releaseText) {
    for (const QString& mark : {u"Pß"_s, u"PB"_s, u"ß"_s, u"B"_s, u"RC"_s}) {
        if (releaseText.contains(mark, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::optional<TcReleaseDecision> DecideTcRelease(const QString& installedVersion,
                                                 const QStringList& candidates, bool doNotAcceptBeta) {
    if (candidates.isEmpty())
        return std::nullopt;
    TcReleaseDecision decision;
    decision.LatestVersion = ChooseLatestTcRelease(candidates);
    if (decision.LatestVersion.isEmpty())
        decision.LatestVersion = installedVersion;
    decision.PreRelease = IsTcPreRelease(decision.LatestVersion);
    decision.UpdateAvailable = ComplexVerGreater(installedVersion, decision.LatestVersion);
    decision.TcPreReleaseAccepted = decision.PreRelease && !doNotAcceptBeta;
    return decision;
}

} // namespace quillon
