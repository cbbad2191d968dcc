#include "support/test_support.h"
#include "updatecheck/tc_release.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kBase = u"http://www.ghisler.com/"_s;

// An announcement page as the site lays it out: navigation, then one paragraph per release.
QString announcementPage(const QString& releaseLine, const QString& link = u"download_beta.php"_s) {
    return u"<html><head><title>Total Commander - What's new</title></head><body>\n"
           u"<p><a href=\""_s +
           link +
           u"\">"_s
           u"Download</a></p>\n<h2>"_s +
           releaseLine +
           u"</h2>\n"
           u"<p>Total Commander 11.03 was released on 01.05.2023 for Windows 95-11.</p>\n"
           u"</body></html>\n"_s;
}

QString downloadPage(const QString& versionWords) {
    return u"<html><body>\n<h1>Download</h1>\n<p>Download version "_s + versionWords +
           u"of Total Commander for Windows</p>\n<a href=\"amazons3.php\">x64</a>\n</body></html>\n"_s;
}

TEST(TcRelease, AnnouncementLineBecomesCandidate) {
    struct Case {
        QString line;
        QString candidate;
    };
    const std::vector<Case> cases = {
        {u"Total Commander 9.10 public beta 2 is now available for Windows"_s, u"9.10Pß2"_s},
        {u"Total Commander 11.51 final for Windows"_s, u"11.51"_s},
        {u"Total Commander 11.50 release candidate 3 is available for Windows"_s, u"11.50RC3"_s},
        {u"Total Commander 11.50 RC1 and the new plugins are now available for Windows"_s, u"11.50RC1"_s},
        {u"Total Commander 10.0 beta 4. Download for Windows"_s, u"10.0ß4"_s},
        {u"Total Commander 8.0 Alpha (build 2) for Windows"_s, u"8.0α"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        TcReleaseLookup lookup;
        ASSERT_TRUE(ParseTcReleasePage(kBase + u"whatsnew.htm"_s, announcementPage(c.line), kBase, lookup));
        EXPECT_EQ(lookup.TcReleaseCandidates, QStringList{c.candidate});
    }
    // No "for Windows" on any line: nothing to read.
    TcReleaseLookup lookup;
    ParseTcReleasePage(kBase + u"whatsnew.htm"_s, u"<h2>Total Commander 11.51 final</h2>"_s, kBase, lookup);
    EXPECT_TRUE(lookup.TcReleaseCandidates.isEmpty());
}

TEST(TcRelease, DownloadPageBecomesCandidate) {
    struct Case {
        QString words;
        QString candidate;
    };
    const std::vector<Case> cases = {
        {u"9.0a "_s, u"9.0a"_s},
        {u"11.51 final "_s, u"11.51"_s},
        {u"11.51 RC 2 "_s, u"11.51RC2"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.toStdString());
        TcReleaseLookup lookup;
        ASSERT_TRUE(ParseTcReleasePage(kBase + u"download.htm"_s, downloadPage(c.words), kBase, lookup));
        EXPECT_EQ(lookup.TcReleaseCandidates, QStringList{c.candidate});
        EXPECT_TRUE(lookup.TcAnnouncedLink.isEmpty());
    }
}

TEST(TcRelease, PagesAreToldApartByHostAndName) {
    struct Case {
        QString address;
        bool onTcSite;
        int candidates;
    };
    const QString page =
        announcementPage(u"Total Commander 11.51 final for Windows"_s) + downloadPage(u"11.51 "_s);
    const std::vector<Case> cases = {
        {u"http://WWW.Ghisler.com/whatsnew.htm"_s, true, 1},
        {u"http://www.ghisler.com/download.htm?lang=en"_s, true, 1},
        // Names are compared case-sensitively; other pages of the site give nothing.
        {u"http://www.ghisler.com/WhatsNew.htm"_s, true, 0},
        {u"http://www.ghisler.com/history.htm"_s, true, 0},
        {u"http://www.totalcmd.net/get_plugins_list.php"_s, false, 0},
        {u"http://ghisler.com/whatsnew.htm"_s, false, 0},
        {u"not an address"_s, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        TcReleaseLookup lookup;
        EXPECT_EQ(ParseTcReleasePage(c.address, page, kBase, lookup), c.onTcSite);
        EXPECT_EQ(lookup.TcReleaseCandidates.size(), c.candidates);
    }
}

TEST(TcRelease, AnnouncedLinkIsResolvedAgainstTheSite) {
    struct Case {
        QString base;
        QString link;
        QString expected;
    };
    const std::vector<Case> cases = {
        {kBase, u"download9.php"_s, u"http://www.ghisler.com/download9.php"_s},
        {kBase, u"/Beta/Download.php"_s, u"http://www.ghisler.com/beta/download.php"_s},
        {kBase, u"HTTP://WWW.GHISLER.COM/beta.php"_s, u"http://www.ghisler.com/beta.php"_s},
        {kBase, u"www.ghisler.com/beta.php"_s, u"http://www.ghisler.com/beta.php"_s},
        {kBase, u"https://mirror.example.org/tc/beta.php"_s, u"https://mirror.example.org/tc/beta.php"_s},
        // A local base address must not grow a "www." or a second scheme.
        {u"http://127.0.0.1:8123/"_s, u"beta.php"_s, u"http://127.0.0.1:8123/beta.php"_s},
        {u"http://127.0.0.1:8123/tc/"_s, u"beta.php"_s, u"http://127.0.0.1:8123/tc/beta.php"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        TcReleaseLookup lookup;
        ParseTcReleasePage(c.base + u"whatsnew.htm"_s,
                           announcementPage(u"Total Commander 11.51 final for Windows"_s, c.link), c.base,
                           lookup);
        EXPECT_EQ(lookup.TcAnnouncedLink, c.expected);
    }
}

TEST(TcRelease, AnnouncedLinkIsClearedByAPageWithoutOne) {
    TcReleaseLookup lookup;
    lookup.TcAnnouncedLink = u"http://www.ghisler.com/old.php"_s;
    ParseTcReleasePage(kBase + u"whatsnew.htm"_s, u"<p>Total Commander 11.51 final for Windows</p>"_s, kBase,
                       lookup);
    EXPECT_TRUE(lookup.TcAnnouncedLink.isEmpty());
    // The download page leaves it alone.
    lookup.TcAnnouncedLink = u"http://www.ghisler.com/beta.php"_s;
    ParseTcReleasePage(kBase + u"download.htm"_s, downloadPage(u"11.51 "_s), kBase, lookup);
    EXPECT_EQ(lookup.TcAnnouncedLink, u"http://www.ghisler.com/beta.php"_s);
}

TEST(TcRelease, LatestReleaseAndPreReleaseAcceptance) {
    struct Case {
        QString installed;
        QStringList candidates;
        bool doNotAcceptBeta;
        QString latest;
        bool update;
        bool preRelease;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {u"9.0a"_s, {u"9.10Pß2"_s, u"9.0a"_s}, false, u"9.10Pß2"_s, true, true, true},
        {u"9.0a"_s, {u"9.10Pß2"_s, u"9.0a"_s}, true, u"9.10Pß2"_s, true, true, false},
        // Refusing betas, the run reads only the download page.
        {u"9.0a"_s, {u"9.0a"_s}, true, u"9.0a"_s, false, false, false},
        {u"11.51"_s, {u"11.55Pß1"_s, u"11.51"_s}, false, u"11.55Pß1"_s, true, true, true},
        {u"11.51"_s, {u"11.51"_s, u"11.51"_s}, false, u"11.51"_s, false, false, false},
        // The final release outranks its own candidates and betas.
        {u"11.51RC2"_s, {u"11.51RC2"_s, u"11.51"_s}, false, u"11.51"_s, true, false, false},
        {u"11.50"_s, {u"11.51"_s, u"11.51ß3"_s}, false, u"11.51"_s, true, false, false},
        // A new major version must win although it sorts first as text.
        {u"9.22a"_s, {u"10.0ß1"_s, u"9.22a"_s}, false, u"10.0ß1"_s, true, true, true},
        {u"9.0"_s, {u"9.0RC1"_s}, false, u"9.0RC1"_s, false, true, true},
        // Any letter b counts as a pre-release mark.
        {u"9.0"_s, {u"9.0b"_s}, false, u"9.0b"_s, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(c.candidates.join(u", "_s) + u" over "_s + c.installed).toStdString());
        const std::optional<TcReleaseDecision> decision =
            DecideTcRelease(c.installed, c.candidates, c.doNotAcceptBeta);
        ASSERT_TRUE(decision.has_value());
        EXPECT_EQ(decision->LatestVersion, c.latest);
        EXPECT_EQ(decision->UpdateAvailable, c.update);
        EXPECT_EQ(decision->PreRelease, c.preRelease);
        EXPECT_EQ(decision->TcPreReleaseAccepted, c.accepted);
    }
    EXPECT_FALSE(DecideTcRelease(u"11.51"_s, {}, false).has_value());
}

TEST(TcRelease, PagesToFetch) {
    EXPECT_EQ(TcReleasePageAddresses(kBase, false),
              (QStringList{kBase + u"whatsnew.htm"_s, kBase + u"download.htm"_s}));
    EXPECT_EQ(TcReleasePageAddresses(kBase, true), QStringList{kBase + u"download.htm"_s});
}

} // namespace
} // namespace quillon

namespace quillon {
namespace {

// The expressions the release texts were once read with are the reference on small pages;
// the 1 MiB pages made them run for minutes and would hang here.
TEST(TcRelease, SpansAreWhatTheExpressionsFoundAndLargePagesEndQuickly) {
    const std::vector<QString> pages = {
        u"Total Commander 9.0 for Windows and for Windows 95\nTotal Commander 9.1 for Windows"_s,
        u"x Total Commander Total Commander 2 for Windows\r\n"_s,
        u"Total Commander \nfor Windows\nTotal Commander 3 for Windows\r"_s,
        u"for Windows Total Commander 4\nTotal Commander for Windows"_s,
        u"Download version 9.0a of Total Commander\n<a href=\"a.php\">b.php</a> href=\"php"_s,
        u"href=\"x.php href=\"\n href=\".php\nhref=\"php"_s,
        u"Total Commander Total Commander "_s,
    };
    const QString expressions[] = {u"(?<=Total Commander )(.*)(?=for Windows)"_s,
                                   u"(?<=Download version )(.*)(?=of Total Commander)"_s,
                                   u"(?<=href=\")(.*)(.php)"_s};
    const QString base = u"http://www.ghisler.com/"_s;
    for (const QString& page : pages) {
        QStringList spans;
        for (const QString& pattern : expressions)
            spans.append(QRegularExpression(pattern).match(page).captured(0));
        const QString announcement =
            TcAnnouncementReleaseText(u"Total Commander "_s + spans[0] + u"for Windows"_s);
        EXPECT_EQ(TcAnnouncementReleaseText(page), spans[0].isEmpty() ? QString() : announcement)
            << page.toStdString();
        EXPECT_EQ(TcDownloadReleaseText(page), spans[1]) << page.toStdString();
        EXPECT_EQ(TcAnnouncedLinkOf(page, base), TcAnnouncedLinkOf(u"href=\""_s + spans[2], base))
            << page.toStdString();
    }

    const QString announcements = u"Total Commander "_s.repeated(64 * 1024);
    const QString downloads = u"Download version "_s.repeated(64 * 1024);
    const QString links = u"href=\""_s.repeated(170 * 1024);
    EXPECT_EQ(TcAnnouncementReleaseText(announcements), QString());
    EXPECT_EQ(TcAnnouncementReleaseText(announcements + u"for Windows"_s),
              u"total commander "_s.repeated(64 * 1024 - 1).trimmed());
    EXPECT_EQ(TcDownloadReleaseText(downloads), QString());
    EXPECT_EQ(TcAnnouncedLinkOf(links, base), QString());
}

} // namespace
} // namespace quillon
