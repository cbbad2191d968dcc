#include <gtest/gtest.h>

#include "install/download_request.h"
#include "install/host_rules.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(HostRules, LocalNameFromFinalAddress) {
    const struct {
        const char* url;
        const char* name;
    } cases[] = {
        {"http://h/get.php?file=name.zip&m", "name.zip"},
        {"http://h/dir/file.zip?x=1", "file.zip"},
        {"http://h/get.php?file=name.zip", ""}, // no "&": the suggestion stays
        {"http://h/a/My%20Plugin.zip", "My Plugin.zip"},
        {"http://h/a/..%2Fevil.zip", "../evil.zip"}, // decoded, so the refusal sees it
        {"http://h/", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalNameFromAddress(QString::fromLatin1(c.url)), QString::fromLatin1(c.name)) << c.url;
}

TEST(HostRules, ContentDispositionFileName) {
    const struct {
        const char* header;
        const char* name;
    } cases[] = {
        {"attachment; filename=\"pack.zip\"", "pack.zip"},
        {"attachment; filename=pack.zip; size=3", "pack.zip"},
        {"attachment; filename*=UTF-8''p%C3%A4ck.zip; filename=\"old.zip\"", "p\xC3\xA4"
                                                                             "ck.zip"},
        {"inline", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContentDispositionFileName(c.header), QString::fromUtf8(c.name)) << c.header;
}

TEST(HostRules, FileNameRefusal) {
    const struct {
        const char* name;
        bool refused;
    } cases[] = {
        {"wcx_foo.zip", false}, {"Setup.EXE", false},  {"", true},
        {"../x.zip", true},     {"a/b.zip", true},     {"a\\b.zip", true},
        {"..", true},           {"page.php", true},    {"index.HTML", true},
        {"x.htm", true},        {"noextension", true}, {"a:b.zip", true},
        {"trailingdot.", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!FileNameRefusal(QString::fromLatin1(c.name)).isEmpty(), c.refused) << c.name;
}

TEST(HostRules, RuleARewrite) {
    EXPECT_EQ(RewriteFileHostLink(u"http://files.example/d/abc/"_s),
              u"http://files.example/get.php?file=abc/&m"_s);
    EXPECT_TRUE(HostMatches(u"http://FILES.example/d/x"_s, {u"files.example"_s}));
    EXPECT_FALSE(HostMatches(u"http://other.example/d/x"_s, {u"files.example"_s}));
    EXPECT_FALSE(HostMatches(u"$12"_s, {u"files.example"_s}));
}

TEST(HostRules, RuleBTakesFirstAnchorWithDownloadMarker) {
    const struct {
        const char* page;
        std::optional<QString> link;
    } cases[] = {
        {"<a href=\"http://h/about\">x</a><a class=b href=\"http://h/dl/f.zip\">get</a>"
         "<a href=\"http://h/download/g.zip\">",
         u"http://h/dl/f.zip"_s},
        {"<a href=\"http://cdn.example/f.zip\">f</a>", u"http://cdn.example/f.zip"_s},
        {"<a href=\"/download/relative.zip\">f</a>", std::nullopt}, // not a valid URL
        {"<p>no anchors /download/</p>", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileLinkFromPage(QString::fromLatin1(c.page), {u"cdn.example"_s}), c.link) << c.page;
}

TEST(HostRules, RuleDAndE) {
    EXPECT_EQ(CloudDriveDownloadAddress(u"https://drive.example/redir?cid=1&id=AB!12&authkey=z"_s),
              u"https://drive.example/download.aspx?resid=AB!12"_s);
    EXPECT_EQ(CloudDriveDownloadAddress(u"https://drive.example/x?id=Q9"_s),
              u"https://drive.example/download.aspx?resid=Q9"_s);
    EXPECT_EQ(CloudDriveDownloadAddress(u"https://drive.example/plain"_s), std::nullopt);
    EXPECT_EQ(MirrorNumber(u"$762"_s), u"762"_s);
    EXPECT_EQ(MirrorNumber(u"$"_s), std::nullopt);
    EXPECT_EQ(MirrorNumber(u"$7a"_s), std::nullopt);
    EXPECT_EQ(MirrorNumber(u"http://h/$1"_s), std::nullopt);
}

TEST(DownloadRequest, DuplicatesIdsAndLines) {
    const DownloadRequestList requests{
        {u"http://h/a.zip"_s, u"/d/a.zip"_s, {}, u"packer"_s, u"/p/a.wcx"_s, u"0"_s},
        {u"HTTP://H/A.ZIP"_s, u"/d/b.zip"_s, {}, u"packer"_s, u"/p/b.wcx"_s, u"0"_s},
        {u"http://h/a"_s, u"/d/c.zip"_s, {}, u"packer"_s, u"/p/c.wcx"_s, u"0"_s}, // substring of a kept Url
        {u"http://h/c.zip"_s, u"/d/d.zip"_s, {}, u"packer"_s, u"/p/d.wcx"_s, u"1"_s},
    };
    const DownloadRequestList kept = RemoveDuplicateRequests(requests);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[1].ItemPath, u"/p/d.wcx"_s);
    EXPECT_EQ(DownloadRequest::fromLine(kept[1].toLine()), kept[1]);
    EXPECT_EQ(DownloadRequest::fromLine(u"a|b|c"_s), std::nullopt);

    EXPECT_EQ(RequestId(0, 12), u"01"_s);
    EXPECT_EQ(RequestId(11, 12), u"12"_s);
    EXPECT_EQ(RequestId(0, 10), u"1"_s);
    EXPECT_EQ(RequestId(9, 10), u"10"_s);
}

} // namespace
} // namespace quillon
