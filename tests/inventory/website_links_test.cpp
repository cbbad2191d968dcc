// The pages a WebsiteID leads to and the addresses that may be opened.
#include <gtest/gtest.h>

#include "inventory/website_links.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(WebsiteLinks, PageOfEachIdentifierForm) {
    const SiteAddresses sites{u"http://cat/"_s, u"http://ru/"_s, u"http://forum/"_s};
    struct Case {
        const char* id;
        bool russian;
        const char* url;
    };
    const Case cases[] = {
        {"12345", false, "http://forum/board/viewtopic.php?t=12345"},
        {"#678", true, "http://forum/board/viewtopic.php?p=678"},
        {"#268132#268132", false, "http://forum/board/viewtopic.php?p=268132#268132"},
        {"foo_bar", false, "http://cat/plugring/foo_bar.html"},
        {" foo_bar ", true, "http://ru/plugring/foo_bar.html"},
        {"a/../b?c", false, "http://cat/plugring/a%2F..%2Fb%3Fc.html"}, // stays one path segment
        {"", false, ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(websiteIdPageUrl(QString::fromUtf8(k.id), sites, k.russian), QString::fromUtf8(k.url))
            << k.id;
    EXPECT_EQ(itemDetailsUrl(u"http://cat/"_s, u"7zip"_s, catalogueLanguageTag(2073)),
              u"http://cat/get_plugin_details.php?id=7zip&lang=ru"_s);
    EXPECT_EQ(catalogueLanguageTag(1033), u"en"_s);
}

TEST(WebsiteLinks, OnlyWebAddressesOpen) {
    struct Case {
        const char* text;
        bool openable;
    };
    const Case cases[] = {
        {"http://example.org/x", true}, {" HTTPS://example.org ", true},
        {"file:///etc/passwd", false},  {"/etc/passwd", false},
        {"javascript:alert(1)", false}, {"http://", false},
        {"ftp://example.org/", false},  {"", false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(isOpenableWebAddress(QString::fromUtf8(k.text)), k.openable) << k.text;
}

} // namespace
} // namespace quillon
