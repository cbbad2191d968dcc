#pragma once
// How the transfer treats links of particular hosts. The host names come from the settings
// ([Sites] RuleAHosts..RuleDHosts, Mirror); every rule here is a pure function of its inputs.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

struct SettingValues;

struct HostRules {
    QStringList fileHostLinks;  // A: links whose "/d/" leads to a page, not the file
    QStringList fileHostPages;  // B: the link serves a page that holds the file's link
    QStringList emptyUserAgent; // C: hosts that refuse browser user agents
    QStringList cloudDrive;     // D: redirects carry the file's id; failures do not count
    QString mirrorBase;         // E: base address of the mirror of "$" links, ends in "/"

    static HostRules fromSettings(const SettingValues& values);
};

// The url's host (letter case ignored) is one of hosts.
bool HostMatches(const QString& url, const QStringList& hosts);

// Rule A: every "/d/" becomes "/get.php?file=", and "&m" is appended.
QString RewriteFileHostLink(const QString& url);

// Rule B: the first anchor of the page whose text holds "/download/", "/dl/", "/down/", "/d/"
// or one of the hosts followed by "/"; its first href when that is a valid URL.
std::optional<QString> FileLinkFromPage(const QString& pageText, const QStringList& hosts);

// Rule C: an empty user agent for those hosts, the browser's for every other.
QByteArray UserAgentFor(const QString& url, const HostRules& rules);

// Rule D: a redirect target carrying "&id" (else "?id") leads to the host's
// "download.aspx?resid" address with the text after it (cut at "&", else "?"). Nothing when
// the target has no usable id.
std::optional<QString> CloudDriveDownloadAddress(const QString& target);

// Rule E: the mirror number of a "$" link; nothing for other links and for a "$" without a
// number.
std::optional<QString> MirrorNumber(const QString& url);
QString MirrorPostAddress(const QString& mirrorBase);
QByteArray MirrorPostBody(const QString& number);

// The local name a final address suggests: its last segment; after "file=" up to the next
// "&" (nothing without one); before "?"; URL-decoded and trimmed.
QString LocalNameFromAddress(const QString& finalUrl);

// The filename parameter of a Content-Disposition header (quoted or not; RFC 5987 filename*
// preferred); empty when there is none.
QString ContentDispositionFileName(const QByteArray& header);

// Why a name from the server cannot be stored; empty when it can. Refused: empty names,
// names with characters invalid in file names, any path separator or "..", no extension, and
// the extensions of web pages (".php", ".html", ".htm").
QString FileNameRefusal(const QString& name);

} // namespace quillon
