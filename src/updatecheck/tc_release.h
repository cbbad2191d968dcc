#pragma once
// Total Commander's latest release, read from two pages of its own web site: the announcement
// page (which also announces public betas and release candidates, with a link to their
// download page) and the download page (the current final release only).
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

// The two pages in the order a check run visits them. With pre-releases refused only the
// download page is read.
enum class TcReleasePage { Announcement, Download, Other };
QStringList TcReleasePageAddresses(const QString& tcSiteBase, bool doNotAcceptBeta);

// Which page an address names: its last path segment without query and extension, compared
// case-sensitively with "whatsnew" and "download".
TcReleasePage TcReleasePageOf(const QString& pageAddress);

// Pre-release words as version tags ("public beta" "Pß", "beta" "ß", "alpha" "α", "release
// candidate" "RC"), "final" and "public" dropped, no blanks.
QString NormalizeTcReleaseText(const QString& text);

// The raw release text of the announcement page: the first "Total Commander ... for Windows"
// line, lower-cased and cut down to the version words. Empty when there is none.
QString TcAnnouncementReleaseText(const QString& pageText);
// The raw release text of the download page: the first "Download version ... of Total Commander".
QString TcDownloadReleaseText(const QString& pageText);

// The announced release's download page: the first ".php" link of the announcement page,
// lower-cased; a relative link is resolved against the site's base address. Empty when none.
QString TcAnnouncedLinkOf(const QString& pageText, const QString& tcSiteBase);

// What one check run learns from Total Commander's site.
struct TcReleaseLookup {
    QStringList TcReleaseCandidates; // one normalised version text per parsed page
    QString TcAnnouncedLink;         // rewritten (or cleared) with every announcement page
};

// Parses a fetched page when it lies on Total Commander's site (host compared
// case-insensitively) and adds its candidate, if any, to the lookup. Returns false for an
// address on any other host, which is left to its own reader.
bool ParseTcReleasePage(const QString& pageAddress, const QString& pageText, const QString& tcSiteBase,
                        TcReleaseLookup& lookup);

// The newest of the candidates by version comparison; empty for no candidates.
QString ChooseLatestTcRelease(const QStringList& candidates);

// Beta, public beta or release candidate: the text holds "Pß", "PB", "ß", "B" or "RC" in any
// letter case.
bool IsTcPreRelease(const QString& releaseText);

// What the check run writes into Total Commander's row.
struct TcReleaseDecision {
    QString LatestVersion;
    bool UpdateAvailable = false;
    bool PreRelease = false;
    bool TcPreReleaseAccepted = false; // the download side then takes the announced link
};

// Nothing when there is no candidate: the row then stays as it was.
std::optional<TcReleaseDecision> DecideTcRelease(const QString& installedVersion,
                                                 const QStringList& candidates, bool doNotAcceptBeta);

} // namespace quillon
