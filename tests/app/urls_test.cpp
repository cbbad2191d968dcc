#include <gtest/gtest.h>

#include "app/common/urls.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(UrlHost, GivesSchemeHostOrNameAfterWww) {
    struct Case {
        QString url;
        QString mode0;
        QString mode1;
        QString mode2;
    };
    const Case cases[] = {
        {u"http://www.Example.com/plugins/list.php?x=1"_s, u"http://www.example.com/"_s,
         u"www.example.com/"_s, u"example.com"_s},
        {u"https://example.org"_s, u"https://example.org/"_s, u"example.org/"_s, u""_s},
        {u"http://127.0.0.1:8123/get_plugins_list.php"_s, u"http://127.0.0.1:8123/"_s, u"127.0.0.1:8123/"_s,
         u""_s},
        {u"not a url"_s, u""_s, u""_s, u""_s},
        {u""_s, u""_s, u""_s, u""_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlHost(c.url, 0), c.mode0) << c.url.toStdString();
        EXPECT_EQ(UrlHost(c.url, 1), c.mode1) << c.url.toStdString();
        EXPECT_EQ(UrlHost(c.url, 2), c.mode2) << c.url.toStdString();
    }
    EXPECT_EQ(UrlHost(u"http://www.example.com/"_s, 7), u""_s);
}

TEST(UrlFileNameAndSiteName, CutAtTheStatedMarkers) {
    EXPECT_EQ(UrlFileName(u"http://host/dir/file.zip"_s), u"file.zip"_s);
    EXPECT_EQ(UrlFileName(u"http://host/dir/"_s), u""_s);
    EXPECT_EQ(UrlFileName(u"file.zip"_s), u"file.zip"_s);

    const std::pair<QString, QString> sites[] = {
        {u"http://www.google.com/search?q="_s, u"google"_s},
        {u"https://www.bing.com/search?q="_s, u"bing"_s},
        {u"http://duckduckgo.com/?q="_s, u"duckduckgo"_s},
        {u"https://duckduckgo.com/?q="_s, u"duckduckgo"_s},
        {u"www.example.org"_s, u"example"_s},
        {u"http://localhost/"_s, u""_s},
        {u"search engine"_s, u""_s},
        {u""_s, u""_s},
    };
    for (const auto& [address, name] : sites)
        EXPECT_EQ(UrlSiteName(address), name) << address.toStdString();
}

TEST(IsValidUrl, NeedsAWellFormedUrlWithSchemeAndHost) {
    const std::pair<QString, bool> cases[] = {
        {u"http://www.example.com/"_s, true},
        {u"https://example.com/a%20b?x=1#f"_s, true},
        {u"ftp://127.0.0.1:2121/file"_s, true},
        {u"www.example.com"_s, false},
        {u"http://"_s, false},
        {u"http://exa mple.com/"_s, false},
        {u"http://example.com/a b"_s, false},
        {u" http://example.com/"_s, false},
        {u"file:///etc/passwd"_s, false},
        {u""_s, false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(IsValidUrl(text), valid) << text.toStdString();
}

} // namespace
